#pragma once
// ReplyFrame, unit to host:
//   0x55, u16 LE L (1..1535: code plus data), ~code, L-1 data bytes, checksum
// with bytes 1 .. L+3 summing to 0 modulo 256.
//
// The parser takes the bytes of each poll one at a time; its state survives
// between polls, so a reply may arrive split over several of them.
#include <array>
#include <cstdint>

constexpr std::uint8_t kReplyStart = 0x55;

struct ReplyFrame {
    std::uint8_t code;         // the command code it answers (the NOT is undone)
    const std::uint8_t* data;  // the data bytes after the code
    int dataLength;            // L - 1
};

class ReplyParser {
public:
    static constexpr int kMaxLength = 1535;

    enum State { kIgnore = -1, kWaitStart = 0, kLengthLow = 1, kLengthHigh = 2, kBody = 3 };

    // Back to waiting for 0x55. Every send does this, which also drops a
    // partly received frame. Until the first one, every byte is ignored.
    void Reset() { state_ = kWaitStart; }

    // Takes one byte. True when it completed a frame whose checksum holds;
    // Frame() then describes it until the next byte is fed.
    bool Feed(std::uint8_t b);
    ReplyFrame Frame() const;
    int State() const { return state_; }

private:
    int state_ = kIgnore;
    int length_ = 0;
    int index_ = 0;
    std::uint8_t sum_ = 0;
    // code, data and checksum of one frame
    std::array<std::uint8_t, kMaxLength + 1> body_{};
};
