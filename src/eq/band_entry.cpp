#include "eq/band_entry.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "model/param_image.h"

namespace {

// The blanks the C library skips before a number in the "C" locale.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text from its first non-blank character, within the characters read,
// with its sign taken off. Empty when no digit or decimal point can follow.
struct Signed {
    std::string_view rest;
    bool negative = false;
};

Signed SplitSign(std::string_view text) {
    text = text.substr(0, std::min(text.size(), kEntryMaxChars));
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    Signed s;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        s.negative = text[i] == '-';
        ++i;
    }
    s.rest = text.substr(i);
    // from_chars takes a sign of its own; a second sign is no number at all.
    if (!s.rest.empty() && (s.rest.front() == '+' || s.rest.front() == '-')) s.rest = {};
    return s;
}

// Far beyond any tenths field, and well inside float: a number is brought
// within this before it is taken to single precision.
constexpr double kTenthsReadBound = 1e9;

double RoundHalfAway(double x) { return x < 0 ? std::trunc(x - 0.5) : std::trunc(x + 0.5); }

EntryCommit Settle(double v, int stored, EntryRange range, OutOfRange rule) {
    if (v < range.min || v > range.max) {
        if (rule == OutOfRange::kRestore) return {stored, false};
        v = std::clamp(v, static_cast<double>(range.min), static_cast<double>(range.max));
    }
    const int value = static_cast<int>(v);
    return {value, value != stored};
}

}  // namespace

EntryRange QRangeForType(int type) { return type == kBandTypePeq ? kPeqQRange : kShelfQRange; }

std::optional<double> ReadEntryNumber(std::string_view text) {
    const Signed s = SplitSign(text);
    if (s.rest.empty()) return 0.0;
    double x = 0;
    const auto [end, ec] = std::from_chars(s.rest.data(), s.rest.data() + s.rest.size(), x,
                                           std::chars_format::general);
    if (ec == std::errc::invalid_argument) return 0.0;
    // A value no field could hold ("1e30") is refused with "inf" and "nan":
    // it is a typing slip, not a request for the limit.
    if (ec == std::errc::result_out_of_range || !std::isfinite(x) || x > kTenthsReadBound)
        return std::nullopt;
    return s.negative ? -x : x;
}

std::optional<long long> ReadEntryInteger(std::string_view text) {
    const Signed s = SplitSign(text);
    if (s.rest.empty() || !IsDigit(s.rest.front())) return 0;
    long long n = 0;
    const auto [end, ec] = std::from_chars(s.rest.data(), s.rest.data() + s.rest.size(), n);
    if (ec != std::errc()) return std::nullopt;
    return s.negative ? -n : n;
}

EntryCommit CommitIntegerEntry(std::string_view text, int step, int stored, EntryRange range,
                               OutOfRange rule) {
    const std::optional<long long> n = ReadEntryInteger(text);
    if (!n) return {stored, false};
    return Settle(static_cast<double>(*n) + step, stored, range, rule);
}

EntryCommit CommitTenthsEntry(std::string_view text, int step, int stored, EntryRange range,
                              OutOfRange rule) {
    const std::optional<double> x = ReadEntryNumber(text);
    if (!x) return {stored, false};
    // The editors have always read the entry in single precision, which
    // decides how a typed half rounds (-0.05 reads -0.0500000007: -0.1 dB).
    const float single = static_cast<float>(std::clamp(*x, -kTenthsReadBound, kTenthsReadBound));
    const float tenths = single * 10.0f;
    return Settle(RoundHalfAway(tenths) + step, stored, range, rule);
}

std::string FormatIntegerEntry(int value) {
    char buf[16];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, end);
}

std::string FormatTenthsEntry(int tenths) {
    char buf[32];
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, tenths / 10.0, std::chars_format::fixed, 1);
    return std::string(buf, end);
}

std::vector<std::string> IntegerEntryLimits(EntryRange range) {
    return {FormatIntegerEntry(range.min), FormatIntegerEntry(range.max)};
}

std::vector<std::string> TenthsEntryLimits(EntryRange range) {
    return {FormatTenthsEntry(range.min), FormatTenthsEntry(range.max)};
}

bool SetPeqBandType(EqBand& band, int type) {
    if (type < kBandTypePeq || type > kBandTypeHighShelf || type == band.type) return false;
    band.type = static_cast<std::uint8_t>(type);
    if (type != kBandTypePeq && band.q > kShelfQRange.max) band.q = kShelfResetQ;
    return true;
}
