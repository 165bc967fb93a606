#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "link/command_frame.h"
#include "link/reply_parser.h"
#include "link/wire_band.h"
#include "link_test_support.h"

namespace {

using linktest::Bytes;
using linktest::Reply;

Bytes FrameBytes(const CommandFrame& f) { return Bytes(f.Bytes(), f.Bytes() + f.Size()); }

struct Collected {
    std::uint8_t code;
    Bytes data;
};

std::vector<Collected> FeedAll(ReplyParser& p, const Bytes& bytes) {
    std::vector<Collected> out;
    for (std::uint8_t b : bytes) {
        if (p.Feed(b)) {
            const ReplyFrame f = p.Frame();
            out.push_back({f.code, Bytes(f.data, f.data + f.dataLength)});
        }
    }
    return out;
}

TEST(LinkCommandFrame, GoldenFrames) {
    struct Case {
        std::uint8_t code;
        Bytes data;
        Bytes wire;
    };
    const Case cases[] = {
        {0x1C, {}, {0xAA, 0x01, 0x00, 0x1C, 0xE3}},
        {0x3F, {}, {0xAA, 0x01, 0x00, 0x3F, 0xC0}},
        // select mode 3 with a zero pad byte
        {0x01, {0x03, 0x00}, {0xAA, 0x03, 0x00, 0x01, 0x03, 0x00, 0xF9}},
        // the first and the last chunk request of the block read
        {0x40,
         {0x00, 0x00, 0x3A, 0x00, 0x00},
         {0xAA, 0x06, 0x00, 0x40, 0x00, 0x00, 0x3A, 0x00, 0x00, 0x80}},
        {0x40,
         {0x4E, 0x04, 0x1D, 0x00, 0x00},
         {0xAA, 0x06, 0x00, 0x40, 0x4E, 0x04, 0x1D, 0x00, 0x00, 0x4B}},
    };
    for (const Case& c : cases) {
        CommandFrame f;
        ASSERT_EQ(f.Build(c.code, c.data.data(), static_cast<int>(c.data.size())),
                  static_cast<int>(c.wire.size()));
        EXPECT_EQ(FrameBytes(f), c.wire) << "code " << int(c.code);
    }
}

TEST(LinkCommandFrame, ChecksumZeroesTheSumAfterTheStartByte) {
    CommandFrame f;
    Bytes data(520);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 37 + 1);
    ASSERT_EQ(f.Build(0x47, data.data(), static_cast<int>(data.size())), 525);
    EXPECT_EQ(f.Bytes()[1], 0x09);  // N = 521
    EXPECT_EQ(f.Bytes()[2], 0x02);
    std::uint8_t sum = 0;
    for (int i = 1; i < f.Size(); ++i) sum = static_cast<std::uint8_t>(sum + f.Bytes()[i]);
    EXPECT_EQ(sum, 0);
}

TEST(LinkCommandFrame, RefusesDataBeyondTheBuffer) {
    CommandFrame f;
    Bytes data(CommandFrame::kCapacity);
    EXPECT_EQ(f.Build(0x47, data.data(), CommandFrame::kMaxN), 0);
    EXPECT_EQ(f.Build(0x47, data.data(), CommandFrame::kMaxN - 1), CommandFrame::kCapacity);
}

TEST(LinkReplyParser, IgnoresEverythingBeforeTheFirstSend) {
    ReplyParser p;
    EXPECT_TRUE(FeedAll(p, Reply(0x1C, {1, 2, 3, 0x13, 1})).empty());
    p.Reset();
    const auto got = FeedAll(p, Reply(0x1C, {1, 2, 3, 0x13, 1}));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].code, 0x1C);
    EXPECT_EQ(got[0].data, (Bytes{1, 2, 3, 0x13, 1}));
}

TEST(LinkReplyParser, ShortestReplyCarriesOnlyTheCode) {
    ReplyParser p;
    p.Reset();
    const auto got = FeedAll(p, Reply(0x01, {}));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].code, 0x01);
    EXPECT_TRUE(got[0].data.empty());
}

TEST(LinkReplyParser, LengthOutsideRangeIsRejectedAtTheSecondLengthByte) {
    for (const Bytes& head : {Bytes{0x55, 0x00, 0x00}, Bytes{0x55, 0x00, 0x06}}) {
        ReplyParser p;
        p.Reset();
        FeedAll(p, head);
        EXPECT_EQ(p.State(), ReplyParser::kWaitStart);
        // The bytes that follow are scanned for the next start byte.
        const auto got = FeedAll(p, Reply(0x2C, {1}));
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].code, 0x2C);
    }
    ReplyParser p;
    p.Reset();
    FeedAll(p, {0x55, 0xFF, 0x05});  // 1535, the longest allowed
    EXPECT_EQ(p.State(), ReplyParser::kBody);
}

TEST(LinkReplyParser, ReplySplitOverPollsIsOneFrame) {
    const Bytes r = Reply(0x40, {9, 8, 7, 6, 5, 4});
    for (std::size_t cut = 1; cut < r.size(); ++cut) {
        ReplyParser p;
        p.Reset();
        EXPECT_TRUE(FeedAll(p, Bytes(r.begin(), r.begin() + cut)).empty());
        const auto got = FeedAll(p, Bytes(r.begin() + cut, r.end()));
        ASSERT_EQ(got.size(), 1u) << "cut at " << cut;
        EXPECT_EQ(got[0].data, (Bytes{9, 8, 7, 6, 5, 4}));
    }
}

TEST(LinkReplyParser, BadChecksumDropsOnlyThatFrame) {
    Bytes bad = Reply(0x05, {1, 2});
    bad.back() ^= 0x01;
    Bytes both = bad;
    const Bytes good = Reply(0x09, {3});
    both.insert(both.end(), good.begin(), good.end());
    ReplyParser p;
    p.Reset();
    const auto got = FeedAll(p, both);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].code, 0x09);
}

TEST(LinkReplyParser, TwoFramesInOnePollAndNoiseBetween) {
    Bytes bytes = {0x00, 0x13, 0xAA};
    const Bytes a = Reply(0x3F, {1, 2, 3}), b = Reply(0x40, {4});
    bytes.insert(bytes.end(), a.begin(), a.end());
    bytes.insert(bytes.end(), {0x00, 0x00});
    bytes.insert(bytes.end(), b.begin(), b.end());
    ReplyParser p;
    p.Reset();
    const auto got = FeedAll(p, bytes);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].code, 0x3F);
    EXPECT_EQ(got[1].code, 0x40);
}

TEST(LinkReplyParser, StartByteInsideAFrameIsData) {
    ReplyParser p;
    p.Reset();
    const auto got = FeedAll(p, Reply(0x40, {0x55, 0x01, 0x00}));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].data, (Bytes{0x55, 0x01, 0x00}));
}

TEST(LinkReplyParser, ResetDropsAPartFrame) {
    const Bytes r = Reply(0x1C, {0, 0, 0, 0x13, 1});
    ReplyParser p;
    p.Reset();
    FeedAll(p, Bytes(r.begin(), r.begin() + 5));
    p.Reset();
    EXPECT_TRUE(FeedAll(p, Bytes(r.begin() + 5, r.end())).empty());
    EXPECT_EQ(FeedAll(p, r).size(), 1u);
}

TEST(LinkWireBand, GoldenBands) {
    struct Case {
        EqBand band;
        std::uint8_t wire[5];
    };
    const Case cases[] = {
        {{0, 0, 1000, 14, -1}, {0xE8, 0x03, 0x0E, 0x80, 0x01}},
        {{0, 0, 20000, 999, 0}, {0x20, 0x4E, 0xE7, 0x03, 0x00}},
        {{0, 1, 20, 4, 240}, {0x14, 0x00, 0x04, 0x10, 0xF0}},
        {{0, 4, 125, 20, -240}, {0x7D, 0x00, 0x14, 0xC0, 0xF0}},
        {{0, 2, 8000, 0x0FFF, 5}, {0x40, 0x1F, 0xFF, 0x2F, 0x05}},
    };
    for (const Case& c : cases) {
        std::uint8_t out[5] = {};
        PackWireBand(c.band, out);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(out[i], c.wire[i]) << "byte " << i;
        const EqBand back = UnpackWireBand(c.wire);
        EXPECT_EQ(back.frequency, c.band.frequency);
        EXPECT_EQ(back.type, c.band.type);
        EXPECT_EQ(back.q, c.band.q);
        EXPECT_EQ(back.gain, c.band.gain);
    }
}

TEST(LinkWireBand, SlopeDoesNotTravel) {
    const EqBand band{7, 3, 500, 7, 0};
    std::uint8_t out[5];
    PackWireBand(band, out);
    const EqBand back = UnpackWireBand(out);
    EXPECT_EQ(back.slope, 0);
    EXPECT_EQ(back.type, 3);
}

TEST(LinkWireBand, PackEqBandsPacksARunAndReturnsTheEnd) {
    const EqBand bands[3] = {{0, 0, 100, 10, 10}, {0, 0, 200, 20, -20}, {0, 0, 300, 30, 30}};
    std::uint8_t out[16] = {};
    out[15] = 0xEE;
    EXPECT_EQ(PackEqBands(bands, 3, out), out + 15);
    EXPECT_EQ(out[15], 0xEE);
    for (int i = 0; i < 3; ++i) {
        const EqBand back = UnpackWireBand(out + 5 * i);
        EXPECT_EQ(back.frequency, bands[i].frequency);
        EXPECT_EQ(back.gain, bands[i].gain);
    }
}

}  // namespace
