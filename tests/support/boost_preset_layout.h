#pragma once
// The tests' own writing of a boost preset file, from its layout and not by
// the product's packer: magic 0x95, the enable byte, the 8-byte records of
// MUSIC, MIC, REV and ECHO as the image holds them, the checksum, 0. No Qt:
// the core tests use it.
#include <cstdint>
#include <vector>

#include "model/param_image.h"

namespace testsupport {

// The checksum rule: 0x95 + the sum of all 132 bytes is 0 modulo 256 (the
// magic counts twice); byte 130 is set so that it holds.
inline void ResealBoostPreset(std::vector<std::uint8_t>& bytes) {
    unsigned sum = 0x95;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (i != 130) sum += bytes[i];
    if (bytes.size() > 130) bytes[130] = static_cast<std::uint8_t>(-sum & 0xFF);
}

inline std::vector<std::uint8_t> BoostPresetBytesOf(const ParamImage& image) {
    std::vector<std::uint8_t> f{0x95, static_cast<std::uint8_t>(image.BoostEnableFlags & 0xFF)};
    for (const EqBand& b : image.BoostBands) {
        const auto gain = static_cast<std::uint16_t>(b.gain);
        f.insert(f.end(),
                 {b.slope, b.type, static_cast<std::uint8_t>(b.frequency & 0xFF),
                  static_cast<std::uint8_t>(b.frequency >> 8),
                  static_cast<std::uint8_t>(b.q & 0xFF), static_cast<std::uint8_t>(b.q >> 8),
                  static_cast<std::uint8_t>(gain & 0xFF), static_cast<std::uint8_t>(gain >> 8)});
    }
    f.push_back(0);
    f.push_back(0);
    ResealBoostPreset(f);
    return f;
}

}  // namespace testsupport
