#include "link/socket_ring.h"

#include <algorithm>

void SocketRing::Clear() {
    write_ = 0;
    read_ = 0;
    count_ = 0;
}

int SocketRing::Write(const std::uint8_t* bytes, int n) {
    const int take = std::clamp(n, 0, Free());
    for (int i = 0; i < take; ++i) {
        ring_[static_cast<std::size_t>(write_)] = bytes[i];
        write_ = (write_ + 1) % kCapacity;
    }
    count_ += take;
    return take;
}

int SocketRing::Read(std::uint8_t* out, int capacity) {
    const int take = std::clamp(count_, 0, std::max(capacity, 0));
    for (int i = 0; i < take; ++i) {
        out[i] = ring_[static_cast<std::size_t>(read_)];
        read_ = (read_ + 1) % kCapacity;
    }
    count_ -= take;
    return take;
}
