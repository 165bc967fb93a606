#pragma once
#include <cstddef>
#include <cstdint>

// One band record. PC mode files store it byte for byte, so the layout (and
// the little-endian words) is part of the file format.
struct EqBand {
    std::uint8_t slope;       // pass filters: PassSlope 0 flat .. 7
    std::uint8_t type;        // 0 PEQ, 1 low shelf, 2 high shelf, 3 low-pass, 4 high-pass
    std::uint16_t frequency;  // Hz, 20..20000
    std::uint16_t q;          // Q x10, 4..999 (shelves 4..20)
    std::int16_t gain;        // gain x10 dB, -240..240
};
static_assert(sizeof(EqBand) == 8);
static_assert(offsetof(EqBand, frequency) == 2 && offsetof(EqBand, q) == 4 &&
              offsetof(EqBand, gain) == 6);

