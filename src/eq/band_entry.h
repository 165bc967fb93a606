#pragma once
// What a typed band value means: how an edit's text is read, checked against
// the field's limits and shown again. Shared by the band panel, the band
// editor and the EQ pages' editor controls, so that every edit of a band
// reads the same text the same way.
//
// Reading is locale-independent: the application runs under the user's
// locale (Qt sets it at start-up), in which the C library's strtod and printf
// may take ',' as the decimal point. Here '.' is the only decimal point and
// no value ever depends on the locale.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/eq_band.h"

// The editors read at most this many characters of an edit's text.
constexpr std::size_t kEntryMaxChars = 9;

// Limits of a field, inclusive, in the stored units (Hz, Q x10, gain x10 dB).
struct EntryRange {
    int min;
    int max;
};
constexpr EntryRange kFrequencyRange{kBandFrequencyMin, kBandFrequencyMax};
constexpr EntryRange kGainRange{kBandGainMin, kBandGainMax};
constexpr EntryRange kPeqQRange{kBandQMin, kBandQMax};
constexpr EntryRange kShelfQRange{4, 20};

// The Q limits of a band of this type: a PEQ band (type 0) has the full range,
// every other type the shelf range.
EntryRange QRangeForType(int type);

// What an entry outside its limits does: the band panel and every frequency
// edit restore the stored value; the editors' gain and Q edits clamp.
enum class OutOfRange { kRestore, kClamp };

// The number at the start of the text (its first kEntryMaxChars characters),
// as the C library's atof reads it in the "C" locale: leading blanks, an
// optional sign, a decimal number with an optional exponent; the rest is
// ignored. Text holding no number reads as 0. nullopt: the entry is refused,
// since the number is not finite ("inf", "nan") or far beyond any field
// ("1e30").
std::optional<double> ReadEntryNumber(std::string_view text);

// The same for an integer, as atoi reads it: decimal digits only, so "1e3"
// reads 1 and "12.7" reads 12.
std::optional<long long> ReadEntryInteger(std::string_view text);

// The result of committing an edit: the value to store and to show again.
// changed: it differs from the stored value, so it is stored and reported.
struct EntryCommit {
    int value;
    bool changed;
};

// An integer field (frequency): the text's integer plus step (one updown or
// wheel step, 0 for Enter). A refused entry keeps the stored value.
EntryCommit CommitIntegerEntry(std::string_view text, int step, int stored, EntryRange range,
                               OutOfRange rule);

// A tenths field (gain, Q): the text's number in single precision times ten,
// halves rounded away from zero, plus step. A refused entry keeps the stored
// value. Limits are checked and clamped before any conversion to an integer,
// so a huge entry never overflows.
EntryCommit CommitTenthsEntry(std::string_view text, int step, int stored, EntryRange range,
                              OutOfRange rule);

// How the edits show a value: "%d", and "%1.1f" of tenths / 10.
std::string FormatIntegerEntry(int value);
std::string FormatTenthsEntry(int tenths);

// A field's limits as its edit shows them: among them is the widest value
// the edit must show whole ("20000", "-24.0", "99.9").
std::vector<std::string> IntegerEntryLimits(EntryRange range);
std::vector<std::string> TenthsEntryLimits(EntryRange range);

// A shelf set from a wider Q gets Q 0.7.
constexpr std::uint16_t kShelfResetQ = 7;

// A PEQ band's type choice (0 PEQ, 1 low shelf, 2 high shelf). Stores it when
// it is one of those and differs from the band's type; a shelf then keeps its
// Q within the shelf range by falling back to 0.7. Returns whether the type
// was stored. Any other type (no selection, a pass filter) changes nothing.
bool SetPeqBandType(EqBand& band, int type);
