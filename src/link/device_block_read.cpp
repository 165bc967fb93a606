#include "link/device_block_read.h"

#include <algorithm>
#include <cstring>

#include "link/command_codes.h"

namespace {
constexpr std::uint8_t kHeaderSignature[] = {DEVICE_TYPE_ID, 0x01, 0x03, 0x05};
}

bool DeviceBlockRead::AcceptHeader(const std::uint8_t* data, int length) {
    chunk_ = 0;
    if (length < kHeaderReplySize) return false;
    if (std::memcmp(data + 1, kHeaderSignature, sizeof kHeaderSignature) != 0) return false;
    const int stated = data[15] | (data[16] << 8);
    // The unit's block is 1131 bytes and the unpack reads exactly that: any
    // other stated length is a header that does not match.
    if (stated != kBlockLength) return false;
    std::memcpy(header_.data(), data, kHeaderSize);
    length_ = stated;
    checksum_ = data[17];
    offset_ = 0;
    return true;
}

void DeviceBlockRead::NextChunkRequest(std::uint8_t out[4]) {
    chunk_ = std::min(length_ - offset_, kMaxChunk);
    out[0] = static_cast<std::uint8_t>(offset_ & 0xFF);
    out[1] = static_cast<std::uint8_t>(offset_ >> 8);
    out[2] = static_cast<std::uint8_t>(chunk_ & 0xFF);
    out[3] = static_cast<std::uint8_t>(chunk_ >> 8);
}

DeviceBlockRead::Chunk DeviceBlockRead::AcceptChunk(const std::uint8_t* data, int length) {
    const int count = chunk_;
    chunk_ = 0;
    if (count <= 0 || length < count || offset_ + count > length_) return Chunk::kFailed;
    std::memcpy(block_.data() + offset_, data, static_cast<std::size_t>(count));
    offset_ += count;
    if (offset_ < length_) return Chunk::kMore;
    std::uint8_t sum = checksum_;
    for (int i = 0; i < length_; ++i) sum = static_cast<std::uint8_t>(sum + block_[i]);
    return sum == 0 ? Chunk::kComplete : Chunk::kFailed;
}
