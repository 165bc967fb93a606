#include "model/value_label.h"

#include <charconv>
#include <cmath>
#include <cstring>

std::string FormatValueLabel(const LabelFormat& format, int v) {
    if (format.custom) return format.custom(v);
    if (v == 0 && format.zeroText) return format.zeroText;
    std::string text = format.prefix;
    char buf[48];
    std::to_chars_result r;
    if (format.decimals <= 0 && format.scale == 1.0) {
        r = std::to_chars(buf, buf + sizeof buf, v + format.offset);
    } else {
        const double value = (v + format.offset) * format.scale;
        r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed,
                          format.decimals < 0 ? 0 : format.decimals);
    }
    text.append(buf, r.ptr);
    text += format.suffix;
    return text;
}

namespace {
bool SameText(const char* a, const char* b) { return a == b || (a && b && std::strcmp(a, b) == 0); }
}  // namespace

bool operator==(const LabelFormat& a, const LabelFormat& b) {
    return SameText(a.prefix, b.prefix) && a.offset == b.offset && a.scale == b.scale &&
           a.decimals == b.decimals && SameText(a.suffix, b.suffix) &&
           SameText(a.zeroText, b.zeroText) && a.custom == b.custom;
}
