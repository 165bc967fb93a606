#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "link/device_block_read.h"
#include "link/socket_ring.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Block(int length) {
    Bytes b(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + i / 256 + 3);
    return b;
}

std::uint8_t NegSum(const Bytes& b) {
    std::uint8_t s = 0;
    for (std::uint8_t x : b) s = static_cast<std::uint8_t>(s + x);
    return static_cast<std::uint8_t>(-s);
}

Bytes HeaderReply(int length, std::uint8_t checksum) {
    Bytes d = {2, 0x13, 0x01, 0x03, 0x05, 0, 0, 0x0B, 1, 0, 0, 0, 0, 0, 3};
    d.push_back(static_cast<std::uint8_t>(length & 0xFF));
    d.push_back(static_cast<std::uint8_t>(length >> 8));
    d.push_back(checksum);
    return d;
}

struct Request {
    int offset;
    int count;
};

Request NextRequest(DeviceBlockRead& r) {
    std::uint8_t p[4];
    r.NextChunkRequest(p);
    return {p[0] | (p[1] << 8), p[2] | (p[3] << 8)};
}

// Runs the whole read against block; returns the requests and the result.
DeviceBlockRead::Chunk ReadAll(DeviceBlockRead& r, const Bytes& block,
                               std::vector<Request>* requests = nullptr) {
    for (;;) {
        const Request q = NextRequest(r);
        if (requests) requests->push_back(q);
        const auto result = r.AcceptChunk(block.data() + q.offset, q.count);
        if (result != DeviceBlockRead::Chunk::kMore) return result;
    }
}

TEST(LinkBlockRead, ReadsTheBlockIn20Chunks) {
    const Bytes block = Block(1131);
    DeviceBlockRead r;
    const Bytes header = HeaderReply(1131, NegSum(block));
    ASSERT_TRUE(r.AcceptHeader(header.data(), static_cast<int>(header.size())));
    std::vector<Request> requests;
    EXPECT_EQ(ReadAll(r, block, &requests), DeviceBlockRead::Chunk::kComplete);
    ASSERT_EQ(requests.size(), 20u);
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(requests[i].offset, 58 * i);
        EXPECT_EQ(requests[i].count, 58);
    }
    EXPECT_EQ(requests[19].offset, 1102);
    EXPECT_EQ(requests[19].count, 29);
    EXPECT_EQ(Bytes(r.Block(), r.Block() + 1131), block);
    EXPECT_EQ(r.Header()[0], 2);
    EXPECT_EQ(r.Header()[14], 3);
}

TEST(LinkBlockRead, OneFlippedBitFailsTheBlock) {
    const Bytes good = Block(1131);
    for (int at : {0, 57, 58, 600, 1130}) {
        Bytes block = good;
        block[static_cast<std::size_t>(at)] ^= 0x10;
        DeviceBlockRead r;
        const Bytes header = HeaderReply(1131, NegSum(good));
        ASSERT_TRUE(r.AcceptHeader(header.data(), static_cast<int>(header.size())));
        EXPECT_EQ(ReadAll(r, block), DeviceBlockRead::Chunk::kFailed) << "byte " << at;
    }
}

TEST(LinkBlockRead, RejectsBadHeaders) {
    struct Case {
        const char* what;
        Bytes data;
    };
    Bytes wrongByte4 = HeaderReply(1131, 0);
    wrongByte4[4] = 0x06;
    Bytes wrongType = HeaderReply(1131, 0);
    wrongType[1] = 0x12;
    Bytes shortReply = HeaderReply(1131, 0);
    shortReply.pop_back();
    const Case cases[] = {
        {"byte 4 = 0x06", wrongByte4},
        {"type byte", wrongType},
        {"short reply", shortReply},
        {"length below the block", HeaderReply(1130, 0)},
        {"length above the block", HeaderReply(1132, 0)},
        {"length the buffer holds", HeaderReply(4096, 0)},
        {"length beyond the buffer", HeaderReply(4097, 0)},
        {"length 0", HeaderReply(0, 0)},
    };
    for (const Case& c : cases) {
        DeviceBlockRead r;
        EXPECT_FALSE(r.AcceptHeader(c.data.data(), static_cast<int>(c.data.size()))) << c.what;
    }
}

TEST(LinkBlockRead, RefusedHeaderKeepsTheLastOne) {
    DeviceBlockRead r;
    const Bytes good = HeaderReply(1131, 0);
    ASSERT_TRUE(r.AcceptHeader(good.data(), static_cast<int>(good.size())));
    Bytes other = HeaderReply(2000, 0);
    other[0] = 7;
    EXPECT_FALSE(r.AcceptHeader(other.data(), static_cast<int>(other.size())));
    EXPECT_EQ(r.Header()[0], 2);
    EXPECT_EQ(r.Length(), 1131);
}

TEST(LinkBlockRead, ChunkShorterThanAskedFails) {
    const Bytes block = Block(1131);
    DeviceBlockRead r;
    const Bytes header = HeaderReply(1131, NegSum(block));
    ASSERT_TRUE(r.AcceptHeader(header.data(), static_cast<int>(header.size())));
    const Request q = NextRequest(r);
    EXPECT_EQ(r.AcceptChunk(block.data(), q.count - 1), DeviceBlockRead::Chunk::kFailed);
}

TEST(LinkBlockRead, ChunkWithoutARequestFails) {
    const Bytes block = Block(1131);
    DeviceBlockRead r;
    const Bytes header = HeaderReply(1131, NegSum(block));
    ASSERT_TRUE(r.AcceptHeader(header.data(), static_cast<int>(header.size())));
    const Request q = NextRequest(r);
    EXPECT_EQ(r.AcceptChunk(block.data(), q.count), DeviceBlockRead::Chunk::kMore);
    EXPECT_EQ(r.AcceptChunk(block.data() + 58, 58), DeviceBlockRead::Chunk::kFailed);
}

TEST(LinkSocketRing, NeverOverrunsAndKeepsOrderAcrossTheWrap) {
    SocketRing ring;
    Bytes in(SocketRing::kCapacity + 100);
    for (std::size_t i = 0; i < in.size(); ++i) in[i] = static_cast<std::uint8_t>(i % 251);
    EXPECT_EQ(ring.Write(in.data(), static_cast<int>(in.size())), SocketRing::kCapacity);
    EXPECT_EQ(ring.Free(), 0);
    EXPECT_EQ(ring.Write(in.data(), 1), 0);

    // Drains at most what the receive buffer holds, never more.
    Bytes out(2048 + 8, 0xCC);
    EXPECT_EQ(ring.Read(out.data(), 2048), 2048);
    for (int i = 2048; i < 2056; ++i) EXPECT_EQ(out[i], 0xCC);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 2048), Bytes(in.begin(), in.begin() + 2048));

    // Refill over the wrap and read everything back in order.
    EXPECT_EQ(ring.Write(in.data() + SocketRing::kCapacity, 100), 100);
    Bytes all;
    Bytes part(2048);
    while (int n = ring.Read(part.data(), 2048))
        all.insert(all.end(), part.begin(), part.begin() + n);
    EXPECT_EQ(all, Bytes(in.begin() + 2048, in.end()));
    EXPECT_EQ(ring.Count(), 0);
}

}  // namespace
