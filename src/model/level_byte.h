#pragma once
// A level byte (an output, mixer, microphone or effect level) keeps the level
// in bits 0-6 and the polarity, inverted phase, in bit 7. A level edit keeps
// the polarity; a polarity click keeps the level.
#include <cstdint>

namespace level_byte {

inline constexpr std::uint8_t kPolarityBit = 0x80;
inline constexpr std::uint8_t kLevelMask = 0x7F;

constexpr int Level(std::uint8_t byte) { return byte & kLevelMask; }
constexpr bool Inverted(std::uint8_t byte) { return (byte & kPolarityBit) != 0; }
constexpr std::uint8_t WithLevel(std::uint8_t byte, int level) {
    return static_cast<std::uint8_t>((byte & kPolarityBit) | (level & kLevelMask));
}
constexpr std::uint8_t PolarityToggled(std::uint8_t byte) {
    return static_cast<std::uint8_t>(byte ^ kPolarityBit);
}
// The polarity button's caption: "+" in phase, "-" inverted.
constexpr const char* PolarityCaption(bool inverted) { return inverted ? "-" : "+"; }

}  // namespace level_byte
