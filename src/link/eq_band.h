#pragma once
// The 8-byte band record of the parameter image.
#include <cstdint>

struct EqBand {
    std::uint8_t slope;  // pass filters: 0 flat .. 7
    std::uint8_t type;   // 0 PEQ, 1 low shelf, 2 high shelf, 3 low-pass, 4 high-pass
    std::uint16_t freq;  // Hz, 20..20000
    std::uint16_t q;     // Q x10
    std::int16_t gain;   // gain x10 dB
};
static_assert(sizeof(EqBand) == 8);
