#pragma once
// The text of a slider's value label: prefix, (v + offset) x scale printed
// with a fixed number of decimals, suffix; zeroText stands for v = 0 where
// the level is "off". Numbers print with "." in every locale.
#include <string>

struct LabelFormat {
    const char* prefix = "";
    int offset = 0;
    double scale = 1.0;
    int decimals = 0;
    const char* suffix = "";
    // Shown for v == 0 when set ("OFF").
    const char* zeroText = nullptr;
    // A label no arithmetic describes (the pitch's "b3" / "0" / "#2").
    std::string (*custom)(int v) = nullptr;
};

std::string FormatValueLabel(const LabelFormat& format, int v);
// Field by field, the texts by their characters.
bool operator==(const LabelFormat& a, const LabelFormat& b);

// A few formats several pages share.
namespace label_formats {
// 0: "OFF", else (v - 75) x 0.5 dB: the output and record volumes.
inline constexpr LabelFormat kVolumeDb{"", -75, 0.5, 1, "dB", "OFF"};
inline constexpr LabelFormat kPlain{};
inline constexpr LabelFormat kPercent{"", 0, 1.0, 0, "%"};
inline constexpr LabelFormat kMs{"", 0, 1.0, 0, "ms"};
inline constexpr LabelFormat kMetres{"", 0, 0.1, 1, "m"};
}  // namespace label_formats
