#pragma once
// The ring in which bytes received from the TCP socket wait for the link
// tick. It never overruns: a write takes only what fits, and the rest stays
// with the socket until the tick has made room.
#include <array>
#include <cstdint>

class SocketRing {
public:
    static constexpr int kCapacity = 8192;

    void Clear();
    int Count() const { return count_; }
    int Free() const { return kCapacity - count_; }
    // Appends at most Free() bytes; returns how many were taken.
    int Write(const std::uint8_t* bytes, int n);
    // Moves at most capacity bytes, oldest first, to out; returns how many.
    int Read(std::uint8_t* out, int capacity);

private:
    std::array<std::uint8_t, kCapacity> ring_{};
    int write_ = 0;
    int read_ = 0;
    int count_ = 0;
};
