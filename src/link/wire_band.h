#pragma once
// WireBand: the 5-byte form in which an EqBand travels to and from the unit.
//   0, 1  frequency in Hz, low byte first
//   2     Q x10, bits 0-7
//   3     bits 0-3 Q x10 bits 8-11, bits 4-6 filter type, bit 7 gain negative
//   4     |gain x10|
// The slope does not travel; an unpacked band has slope 0.
#include <cstdint>

#include "model/param_image.h"

constexpr int kWireBandSize = 5;

void PackWireBand(const EqBand& band, std::uint8_t* out);
EqBand UnpackWireBand(const std::uint8_t* in);

// Packs count consecutive bands into count consecutive WireBands at
// destination; returns the position after the last one.
std::uint8_t* PackEqBands(const EqBand* source, int count, std::uint8_t* destination);
