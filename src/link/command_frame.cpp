#include "link/command_frame.h"

#include <cstring>

std::uint8_t ZeroSumCheck(const std::uint8_t* bytes, int count) {
    std::uint8_t sum = 0;
    for (int i = 0; i < count; ++i) sum = static_cast<std::uint8_t>(sum + bytes[i]);
    return static_cast<std::uint8_t>(-sum);
}

int CommandFrame::Finish(int n) {
    if (n < 1 || n > kMaxN) {
        size_ = 0;
        return 0;
    }
    bytes_[0] = kCommandStart;
    bytes_[1] = static_cast<std::uint8_t>(n & 0xFF);
    bytes_[2] = static_cast<std::uint8_t>(n >> 8);
    bytes_[n + 3] = ZeroSumCheck(bytes_.data() + 1, n + 2);
    size_ = n + 4;
    return size_;
}

int CommandFrame::Build(std::uint8_t code, const std::uint8_t* data, int dataLength) {
    if (dataLength < 0 || dataLength + 1 > kMaxN) {
        size_ = 0;
        return 0;
    }
    bytes_[3] = code;
    if (dataLength > 0) std::memcpy(bytes_.data() + 4, data, static_cast<std::size_t>(dataLength));
    return Finish(dataLength + 1);
}
