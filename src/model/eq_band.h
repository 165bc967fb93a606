#pragma once
#include <cstddef>
#include <cstdint>

#include "model/byte_order.h"

// One band record. PC mode files and boost presets store it as it lies in
// memory on the unit's PC: 8 bytes, the words little-endian.
struct EqBand {
    std::uint8_t slope;       // pass filters: PassSlope 0 flat .. 7
    std::uint8_t type;        // 0 PEQ, 1 low shelf, 2 high shelf, 3 low-pass, 4 high-pass
    std::uint16_t frequency;  // Hz, 20..20000
    std::uint16_t q;          // Q x10, 4..999 (shelves 4..20)
    std::int16_t gain;        // gain x10 dB, -240..240
    bool operator==(const EqBand&) const = default;
};
static_assert(sizeof(EqBand) == 8);
static_assert(offsetof(EqBand, frequency) == 2 && offsetof(EqBand, q) == 4 &&
              offsetof(EqBand, gain) == 6);

constexpr std::uint8_t kBandTypePeq = 0;
constexpr std::uint8_t kBandTypeLowShelf = 1;
constexpr std::uint8_t kBandTypeHighShelf = 2;
constexpr std::uint8_t kBandTypeLowPass = 3;
constexpr std::uint8_t kBandTypeHighPass = 4;

// The limits of a band's fields in their stored units, inclusive.
constexpr int kBandFrequencyMin = 20;
constexpr int kBandFrequencyMax = 20000;
constexpr int kBandQMin = 4;
constexpr int kBandQMax = 999;
constexpr int kBandGainMin = -240;
constexpr int kBandGainMax = 240;
constexpr int kPassSlopeMax = 7;

// The first field of a band outside what a file may hold, with its value and
// the range a loader accepts (kNone: every field inside). Its type is at most
// maxType (a file kind that holds no pass filters allows only 0..2). A pass
// filter (low-pass, high-pass) is its slope and frequency alone: its Q and
// gain go unused, and the program holds 0 in them.
enum class BandField { kNone, kSlope, kType, kFrequency, kQ, kGain };
struct BandFieldCheck {
    BandField field = BandField::kNone;
    int value = 0;
    int min = 0;
    int max = 0;
};
constexpr BandFieldCheck FirstBandFieldOutOfRange(const EqBand& band, int maxType) {
    const bool passFilter = band.type == kBandTypeLowPass || band.type == kBandTypeHighPass;
    const BandFieldCheck fields[] = {
        {BandField::kSlope, band.slope, 0, kPassSlopeMax},
        {BandField::kType, band.type, 0, maxType},
        {BandField::kFrequency, band.frequency, kBandFrequencyMin, kBandFrequencyMax},
        {BandField::kQ, band.q, passFilter ? 0 : kBandQMin, passFilter ? 0xFFFF : kBandQMax},
        {BandField::kGain, band.gain, passFilter ? -0x8000 : kBandGainMin,
         passFilter ? 0x7FFF : kBandGainMax},
    };
    for (const BandFieldCheck& f : fields)
        if (f.value < f.min || f.value > f.max) return f;
    return {};
}

// Every field of the band inside its limits: a file's band is checked with
// this before it reaches the image.
constexpr bool EqBandInRange(const EqBand& band, int maxType) {
    return FirstBandFieldOutOfRange(band, maxType).field == BandField::kNone;
}

// What one microphone's band gives the other while their EQs are linked:
// type, frequency, Q and gain. The slope byte stays the target's own.
constexpr void CopyLinkedBand(const EqBand& from, EqBand& to) {
    to.type = from.type;
    to.frequency = from.frequency;
    to.q = from.q;
    to.gain = from.gain;
}

constexpr std::size_t kEqBandRecordSize = 8;

// A band as a file's 8-byte record: slope, type, frequency, Q x10, gain x10.
inline void WriteEqBandRecord(const EqBand& band, std::uint8_t* out) {
    out[0] = band.slope;
    out[1] = band.type;
    WriteU16(band.frequency, out + 2);
    WriteU16(band.q, out + 4);
    WriteU16(static_cast<std::uint16_t>(band.gain), out + 6);
}

inline EqBand ReadEqBandRecord(const std::uint8_t* in) {
    return EqBand{in[0], in[1], ReadU16(in + 2), ReadU16(in + 4),
                  static_cast<std::int16_t>(ReadU16(in + 6))};
}
