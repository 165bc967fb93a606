#pragma once
// The block read of the connect sequence: the DeviceBlockHeader from the
// 0x3F reply, then the DeviceParamBlock in chunks of at most 58 bytes (a
// chunk reply must fit one 64-byte HID input report), checked whole against
// the header's block checksum before anyone may unpack it.
//
// 0x3F reply data: bytes 0..14 the header, 15..16 the block length (u16 LE),
// 17 the block checksum (the block's 8-bit sum plus it is 0).
#include <array>
#include <cstdint>

class DeviceBlockRead {
public:
    static constexpr int kHeaderSize = 15;
    static constexpr int kHeaderReplySize = kHeaderSize + 3;
    static constexpr int kBlockLength = 1131;
    static constexpr int kBufferSize = 4096;
    static constexpr int kMaxChunk = 58;

    enum class Chunk { kMore, kComplete, kFailed };

    // Takes the data of a 0x3F reply. False when it is too short, when header
    // bytes 1..4 are not 0x13 0x01 0x03 0x05, or when the stated length is
    // not the unit's 1131.
    bool AcceptHeader(const std::uint8_t* data, int length);
    // The payload of the next 0x40 request: offset u16 LE, count u16 LE with
    // count = min(length - offset, 58), which is kept as the chunk count.
    void NextChunkRequest(std::uint8_t out[4]);
    // Takes the data of a 0x40 reply: the chunk count of bytes at the
    // offset. A reply shorter than the chunk, or a finished block whose
    // checksum fails, is kFailed.
    Chunk AcceptChunk(const std::uint8_t* data, int length);

    // A header was accepted and the block is not in whole yet.
    bool InProgress() const { return length_ > 0 && offset_ < length_; }

    const std::array<std::uint8_t, kHeaderSize>& Header() const { return header_; }
    const std::uint8_t* Block() const { return block_.data(); }
    int Length() const { return length_; }
    int Offset() const { return offset_; }
    int ChunkCount() const { return chunk_; }

private:
    std::array<std::uint8_t, kHeaderSize> header_{};
    std::array<std::uint8_t, kBufferSize> block_{};
    int length_ = 0;
    std::uint8_t checksum_ = 0;
    int offset_ = 0;
    int chunk_ = 0;
};
