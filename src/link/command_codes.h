#pragma once
// Command codes the link itself sends, and what the unit must report.
#include <cstdint>

constexpr std::uint8_t CMD_HANDSHAKE = 0x1C;
constexpr std::uint8_t CMD_READ_HEADER = 0x3F;
constexpr std::uint8_t CMD_READ_BLOCK = 0x40;
constexpr std::uint8_t CMD_LEARN = 0x44;

// Byte 3 of the handshake reply data, and bytes 1..4 of the block header.
constexpr std::uint8_t DEVICE_TYPE_ID = 0x13;
