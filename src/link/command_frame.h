#pragma once
// CommandFrame, host to unit:
//   0xAA, u16 LE N (code plus data), code, N-1 data bytes, checksum
// The checksum makes bytes 1 .. N+3 sum to 0 modulo 256; the start byte is
// outside it. A frame is N + 4 bytes.
#include <array>
#include <cstdint>

constexpr std::uint8_t kCommandStart = 0xAA;

// The two's complement of the 8-bit sum of count bytes.
std::uint8_t ZeroSumCheck(const std::uint8_t* bytes, int count);

// The one frame buffer of the link: a frame is assembled in place, sent, and
// the buffer is reused for the next one.
class CommandFrame {
public:
    static constexpr int kCapacity = 2048;
    static constexpr int kMaxN = kCapacity - 4;

    // Where the code (byte 3) and the data (from byte 4) are placed.
    std::uint8_t* Body() { return bytes_.data() + 3; }
    // Writes the start byte, N and the checksum around a body already in
    // place; returns the frame size N + 4, or 0 when N is out of range.
    int Finish(int n);
    // Places code and data, then finishes; returns the frame size or 0.
    int Build(std::uint8_t code, const std::uint8_t* data, int dataLength);

    const std::uint8_t* Bytes() const { return bytes_.data(); }
    int Size() const { return size_; }

private:
    std::array<std::uint8_t, kCapacity> bytes_{};
    int size_ = 0;
};
