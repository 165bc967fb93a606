#pragma once
#include <cstdint>

// One equaliser band as the parameter image keeps it. Pass filters (types 3
// and 4) read their slope byte; their gain only places their marker.
struct EqBand {
    uint8_t slope;       // pass-filter slope 0 flat .. 7 (types 3 and 4 only)
    uint8_t type;        // 0 peaking, 1 low shelf, 2 high shelf, 3 low-pass, 4 high-pass
    uint16_t frequency;  // Hz, 20..20000 in practice
    uint16_t q;          // Q x 10, 4..999 (shelves 4..20)
    int16_t gain;        // dB x 10, -240..240
};
static_assert(sizeof(EqBand) == 8, "EqBand is the unit's 8-byte band record");
