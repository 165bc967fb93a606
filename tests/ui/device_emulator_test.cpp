// The emulator's own checks: a fake that accepted anything would let a
// wrong frame pass the end-to-end tests.
#include "emulator/device_emulator.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <vector>

namespace {

using emu::Bytes;
using emu::DeviceEmulator;
using emu::EncodeCommand;

// Sends one command; returns the reply data, or nullopt for no reply.
std::optional<Bytes> Ask(DeviceEmulator& d, std::uint8_t code, const Bytes& data) {
    const Bytes frame = EncodeCommand(code, data);
    const auto replies = d.OnHostBytes(frame.data(), frame.size());
    for (std::size_t i = 0; i < replies.size(); ++i) d.OnReplyDelivered();
    if (replies.empty()) return std::nullopt;
    const Bytes& r = replies[0].bytes;
    return Bytes(r.begin() + 4, r.end() - 1);
}

Bytes Record(std::uint8_t fill) {
    Bytes r(890);
    for (std::size_t i = 0; i < r.size(); ++i) r[i] = static_cast<std::uint8_t>(fill + i);
    return r;
}

std::uint8_t Check(const Bytes& record) {
    return static_cast<std::uint8_t>(-std::accumulate(record.begin(), record.end(), 0u));
}

// Uploads record in chunks of chunk bytes; spoil may change each frame's data.
void Upload(DeviceEmulator& d, const Bytes& record, std::uint8_t slotByte, int length = 890,
            std::uint8_t check = 0, bool useCheck = false,
            const std::function<void(int, Bytes&)>& spoil = {}) {
    const std::uint8_t c = useCheck ? check : Check(record);
    Ask(d, 0x41,
        {static_cast<std::uint8_t>(length & 0xFF), static_cast<std::uint8_t>(length >> 8), c, 0, 0,
         0, 0});
    for (int offset = 0, k = 0; offset < 890; offset += 60, ++k) {
        const int count = std::min(60, 890 - offset);
        // Offset, count and a zero, the chunk, four zero pad bytes.
        Bytes data(4 + count + 4, 0);
        data[0] = static_cast<std::uint8_t>(offset & 0xFF);
        data[1] = static_cast<std::uint8_t>(offset >> 8);
        data[2] = static_cast<std::uint8_t>(count);
        std::copy(record.begin() + offset, record.begin() + offset + count, data.begin() + 4);
        if (spoil) spoil(k, data);
        Ask(d, 0x42, data);
    }
    Ask(d, 0x43, {slotByte, 2, 0, 0, 0, 0});
}

TEST(DeviceEmulator, FramesOfTheWrongLengthGetNoAnswer) {
    struct Case {
        std::uint8_t code;
        int length;
        bool fits;
    };
    const Case cases[] = {
        {0x09, 2, true},   {0x09, 1, false},  {0x02, 13, true},  {0x02, 5, true},
        {0x02, 12, false}, {0x0E, 20, true},  {0x0E, 12, true},  {0x0E, 15, false},
        {0x17, 42, true},  {0x17, 41, false}, {0x47, 520, true}, {0x47, 516, false},
        {0x3F, 0, true},   {0x3F, 2, true},   {0x39, 4, true},   {0x39, 5, false},
        {0x16, 2, false},  {0x0C, 2, false},
    };
    for (const Case& c : cases) {
        DeviceEmulator d;
        const auto reply = Ask(d, c.code, Bytes(static_cast<std::size_t>(c.length), 0));
        EXPECT_EQ(reply.has_value(), c.fits)
            << std::hex << int(c.code) << " " << std::dec << c.length;
        EXPECT_EQ(d.WrongLengths(), c.fits ? 0 : 1);
    }
}

// The unasked frame goes just before the chosen reply, or in its place; the
// other replies come as ever.
TEST(DeviceEmulator, UnaskedFrameGoesJustBeforeTheChosenReplyOrInItsPlace) {
    for (const bool instead : {false, true}) {
        SCOPED_TRACE(instead ? "in its place" : "just before");
        DeviceEmulator d;
        emu::Knobs k;
        k.unasked = emu::UnaskedFrame{0x40, 2, 0x2C, {1}, instead};
        d.SetKnobs(k);
        const Bytes chunk = {0, 0, 58, 0, 0};
        std::vector<std::size_t> counts;
        for (int i = 0; i < 3; ++i) {
            const Bytes frame = EncodeCommand(0x40, chunk);
            const auto replies = d.OnHostBytes(frame.data(), frame.size());
            counts.push_back(replies.size());
            if (i == 1) {
                ASSERT_EQ(replies.size(), instead ? 1u : 2u);
                EXPECT_EQ(replies[0].bytes, emu::EncodeReply(0x2C, {1}));
                if (!instead) {
                    EXPECT_EQ(replies[1].bytes[3], static_cast<std::uint8_t>(~0x40));
                }
            }
            for (std::size_t r = 0; r < replies.size(); ++r) d.OnReplyDelivered();
        }
        EXPECT_EQ(counts, (std::vector<std::size_t>{1, instead ? 1u : 2u, 1}));
        EXPECT_EQ(d.Overlaps(), 0);
    }
}

TEST(DeviceEmulator, StoresAWholeUploadAndBecomesIt) {
    DeviceEmulator d;
    const Bytes record = Record(3);
    Upload(d, record, 0x87);
    EXPECT_TRUE(d.UploadErrors().empty());
    const auto mode = d.Mode(7);
    ASSERT_TRUE(mode.has_value());
    EXPECT_EQ(mode->record, record);
    EXPECT_TRUE(mode->fromFile);
    EXPECT_EQ(mode->powerOnMode, 2);
    EXPECT_EQ(d.CurrentSlot(), 7);
    const Bytes block = d.Block();
    EXPECT_TRUE(std::equal(record.begin(), record.begin() + 870, block.begin()));
    EXPECT_TRUE(std::equal(record.begin() + 870, record.end(), block.begin() + 1030));
    EXPECT_TRUE(
        std::equal(record.begin() + 854, record.begin() + 870, block.begin() + 870 + 7 * 16));
    EXPECT_EQ(d.Header()[0], 7);
}

TEST(DeviceEmulator, RefusesUploadsThatBreakTheRules) {
    struct Case {
        const char* what;
        std::function<void(DeviceEmulator&)> upload;
    };
    const Bytes record = Record(9);
    const Case cases[] = {
        {"length 889", [&](DeviceEmulator& d) { Upload(d, record, 1, 889); }},
        {"wrong checksum",
         [&](DeviceEmulator& d) { Upload(d, record, 1, 890, Check(record) + 1, true); }},
        {"a chunk skipped",
         [&](DeviceEmulator& d) {
             Upload(d, record, 1, 890, 0, false, [](int k, Bytes& data) {
                 if (k == 3) data[0] = static_cast<std::uint8_t>(data[0] + 60);
             });
         }},
        {"trailing bytes not zero",
         [&](DeviceEmulator& d) {
             Upload(d, record, 1, 890, 0, false, [](int k, Bytes& data) {
                 if (k == 0) data.back() = 1;
             });
         }},
        {"slot 10", [&](DeviceEmulator& d) { Upload(d, record, 10); }},
        {"a flag other than 0x80", [&](DeviceEmulator& d) { Upload(d, record, 0x21); }},
        {"an end without data",
         [&](DeviceEmulator& d) {
             Ask(d, 0x43, {1, 0, 0, 0, 0, 0});
         }},
    };
    for (const Case& c : cases) {
        DeviceEmulator d;
        c.upload(d);
        EXPECT_FALSE(d.UploadErrors().empty()) << c.what;
        for (int slot = 0; slot < 10; ++slot) EXPECT_FALSE(d.Mode(slot).has_value()) << c.what;
    }
}

TEST(DeviceEmulator, LoginStatusEchoTypeAndLearnScript) {
    DeviceEmulator d;
    emu::Knobs k;
    k.loginStatus[0x2C] = 0;
    k.learnScript = {0, 2, 9};
    d.SetKnobs(k);
    EXPECT_EQ(Ask(d, 0x2B, Bytes(6, 0)), (Bytes{1}));
    EXPECT_EQ(Ask(d, 0x2C, Bytes(9, 0)), (Bytes{0}));
    const auto echo = Ask(d, 0x3A, {2, 0});
    ASSERT_TRUE(echo.has_value());
    ASSERT_EQ(echo->size(), 17u);
    EXPECT_EQ((*echo)[0], 2);
    const Bytes learn = Bytes(7, 0);
    EXPECT_EQ(Ask(d, 0x44, learn), (Bytes{0}));
    EXPECT_EQ(Ask(d, 0x44, learn), (Bytes{2, 0xC0, 0xC1}));
    EXPECT_EQ(Ask(d, 0x44, learn)->size(), 10u);
    EXPECT_EQ(Ask(d, 0x44, learn), (Bytes{0})) << "the script has run out";
}

}  // namespace
