#include "link/reply_decoder.h"

#include <gtest/gtest.h>

#include "app/device_results.h"
#include "link/command_builder.h"
#include "link/command_codes.h"
#include "link/device_block_read.h"
#include "link_test_support.h"
#include "support/device_block_layout.h"

namespace {

using linktest::Bytes;
using linktest::LinkRig;
using linktest::Posted;
using linktest::Reply;

// The decoder on its own, fed reply frames by hand.
struct DecoderRig {
    DecoderRig() {
        InitParamImage(image);
        decoder.hooks.post = [this](unsigned msg, WPARAM w, LPARAM l) {
            posted.push_back({msg, w, l});
        };
        decoder.hooks.learnRetry = [this] { ++retries; };
    }
    ReplyOutcome Feed(std::uint8_t code, const Bytes& data, bool answers = true) {
        return decoder.OnReply(ReplyFrame{code, data.data(), static_cast<int>(data.size())},
                               answers);
    }

    ParamImage image;
    ModeUpload upload;
    ReplyDecoder decoder{image, upload};
    std::vector<Posted> posted;
    int retries = 0;
};

TEST(ReplyDecoder, ResultRepliesPostTheirKindAndStatus) {
    struct Case {
        std::uint8_t code;
        Bytes data;
        WPARAM result;
    };
    const Case cases[] = {
        {0x01, {}, 0x2100},  {0x14, {0}, 0x3200}, {0x16, {}, 0x2000},  {0x17, {0}, 0x3300},
        {0x2B, {1}, 0x0801}, {0x2B, {0}, 0x0800}, {0x2C, {1}, 0x0901}, {0x2D, {2, 9}, 0x0A02},
        {0x2E, {1}, 0x0B01}, {0x33, {0}, 0x3100}, {0x47, {}, 0x5100},
    };
    for (const Case& c : cases) {
        DecoderRig r;
        EXPECT_EQ(r.Feed(c.code, c.data), ReplyOutcome::kHandled);
        ASSERT_EQ(r.posted.size(), 1u) << "code 0x" << std::hex << int(c.code);
        EXPECT_EQ(r.posted[0].msg, WM_DEVICE_RESULT);
        EXPECT_EQ(r.posted[0].w, c.result);
        EXPECT_EQ(r.posted[0].l, 0);
    }
}

TEST(ReplyDecoder, BoostReadTakesTheWireOrder) {
    DecoderRig r;
    Bytes data = {0x0A};
    std::vector<blocktest::Wire> wires;
    for (int i = 0; i < 16; ++i) {
        wires.push_back({100 + i, 20 + i, i % 3, i % 2 ? -i : i});
        Bytes w(5);
        blocktest::WriteWire(wires.back(), w.data());
        data.insert(data.end(), w.begin(), w.end());
    }
    EXPECT_EQ(r.Feed(0x32, data), ReplyOutcome::kHandled);
    EXPECT_EQ(r.image.BoostEnableFlags, 0x0A);
    // Wire mic 5, music 5, reverb 3, echo 3; the image holds music first.
    const int imageIndex[16] = {5, 6, 7, 8, 9, 0, 1, 2, 3, 4, 10, 11, 12, 13, 14, 15};
    for (int i = 0; i < 16; ++i) {
        const EqBand& b = r.image.BoostBands[static_cast<std::size_t>(imageIndex[i])];
        EXPECT_EQ(b.frequency, wires[i].frequency) << i;
        EXPECT_EQ(b.q, wires[i].q) << i;
        EXPECT_EQ(b.type, wires[i].type) << i;
        EXPECT_EQ(b.gain, wires[i].gain) << i;
    }
    ASSERT_EQ(r.posted.size(), 1u);
    EXPECT_EQ(r.posted[0].msg, WM_REFRESH_PAGES);
}

TEST(ReplyDecoder, EchoTypeFillsItsBytesAndWords) {
    DecoderRig r;
    const Bytes data = {2,    11,   12,   13,   14, 15, 16,   17,  18,
                        0x34, 0x12, 0x78, 0x56, 1,  0,  0xFF, 0xFF};
    EXPECT_EQ(r.Feed(0x3A, data), ReplyOutcome::kHandled);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(r.image.ParamBytes[85 + i], data[i]) << i;
    EXPECT_EQ(r.image.ParamWords[30], 0x1234);
    EXPECT_EQ(r.image.ParamWords[31], 0x5678);
    EXPECT_EQ(r.image.ParamWords[32], 1);
    EXPECT_EQ(r.image.ParamWords[33], 0xFFFF);
    EXPECT_EQ(r.image.ParamBytes[84], ParamBytesDefaults[84]);
    EXPECT_EQ(r.image.ParamWords[34], ParamWordsDefaults[34]);
    ASSERT_EQ(r.posted.size(), 1u);
    EXPECT_EQ(r.posted[0].w, 0x3400u);
}

// An echo type answer goes to the newest request the link has written
// (the one in flight, or the last one another frame completed): each result
// names the request it answers, 0 when none written waits. The requests
// older than it are dropped, so one that never got its answer shifts no
// later one; a request still in the line is not answered; an upload taken
// after a request leaves that request's answer out of the image; a closed
// link forgets what it had taken.
TEST(ReplyDecoder, EchoTypeAnswersGoToTheNewestRequestWritten) {
    enum Kind { kTaken, kWritten, kRefused, kUpload, kClosed, kAnswer };
    struct Step {
        Kind kind;
        int value = 0;   // taken: the number expected; answer: the type it brings
        int number = 0;  // answer: the request number its result carries
        bool stored = true;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"two in turn",
         {{kTaken, 1}, {kWritten}, {kAnswer, 0, 1}, {kTaken, 2}, {kWritten}, {kAnswer, 2, 2}}},
        {"the second waiting in the line",
         {{kTaken, 1}, {kTaken, 2}, {kWritten}, {kAnswer, 0, 1}, {kWritten}, {kAnswer, 2, 2}}},
        {"one completed by another frame and never answered",
         {{kTaken, 1},
          {kWritten},
          {kTaken, 2},
          {kWritten},
          {kAnswer, 2, 2},
          {kTaken, 3},
          {kWritten},
          {kAnswer, 1, 3},
          {kAnswer, 0, 0}}},
        {"one completed by another frame, its late answer before the next is written",
         {{kTaken, 1}, {kWritten}, {kTaken, 2}, {kAnswer, 0, 1}, {kWritten}, {kAnswer, 2, 2}}},
        {"an answer nothing asked for",
         {{kAnswer, 1, 0}, {kTaken, 1}, {kWritten}, {kAnswer, 2, 1}}},
        {"an answer while the only request waits in the line",
         {{kTaken, 1}, {kAnswer, 2, 0}, {kWritten}, {kAnswer, 1, 1}}},
        {"a refused request", {{kTaken, 1}, {kRefused}, {kTaken, 2}, {kWritten}, {kAnswer, 2, 2}}},
        {"an upload between two requests",
         {{kTaken, 1},
          {kWritten},
          {kUpload},
          {kTaken, 2},
          {kAnswer, 0, 1, false},
          {kWritten},
          {kAnswer, 2, 2}}},
        {"an upload after one completed by another frame",
         {{kTaken, 1}, {kWritten}, {kUpload}, {kTaken, 2}, {kWritten}, {kAnswer, 2, 2}}},
        {"an upload with nothing waiting", {{kUpload}, {kTaken, 1}, {kWritten}, {kAnswer, 2, 1}}},
        {"a closed link",
         {{kTaken, 1},
          {kWritten},
          {kUpload},
          {kClosed},
          {kAnswer, 0, 0},
          {kTaken, 2},
          {kWritten},
          {kAnswer, 2, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DecoderRig r;
        int index = 0;
        for (const Step& s : c.steps) {
            SCOPED_TRACE(index++);
            switch (s.kind) {
                case kTaken:
                    EXPECT_EQ(r.decoder.OnEchoTypeRequested(), s.value);
                    break;
                case kWritten:
                    r.decoder.OnEchoTypeWritten();
                    break;
                case kRefused:
                    r.decoder.OnEchoTypeRefused();
                    break;
                case kUpload:
                    r.decoder.OnModeUploadTaken();
                    break;
                case kClosed:
                    r.decoder.OnLinkClosing();
                    break;
                case kAnswer: {
                    const ParamImage before = r.image;
                    r.posted.clear();
                    Bytes data(17, static_cast<std::uint8_t>(40 + index));
                    data[0] = static_cast<std::uint8_t>(s.value);
                    // The writes place the answer; whether the link thinks
                    // it answers the request in flight does not move it.
                    EXPECT_EQ(r.Feed(0x3A, data, index % 2 == 0), ReplyOutcome::kHandled);
                    ASSERT_EQ(r.posted.size(), 1u);
                    EXPECT_EQ(r.posted[0].w, static_cast<WPARAM>(0x3400 | s.number));
                    if (s.stored) {
                        EXPECT_EQ(r.image.ParamBytes[85], s.value);
                        EXPECT_EQ(r.image.ParamWords[33], (40 + index) * 0x101);
                    } else {
                        EXPECT_TRUE(r.image.ParamBytes == before.ParamBytes);
                        EXPECT_TRUE(r.image.ParamWords == before.ParamWords);
                    }
                    break;
                }
            }
        }
    }
}

// The number goes round through 1..255: 0 stays for an answer nothing asked
// for.
TEST(ReplyDecoder, EchoTypeRequestNumbersSkipZero) {
    DecoderRig r;
    for (int n = 1; n <= 255; ++n) ASSERT_EQ(r.decoder.OnEchoTypeRequested(), n);
    EXPECT_EQ(r.decoder.OnEchoTypeRequested(), 1);
}

TEST(ReplyDecoder, ShortRepliesAreMalformedAndChangeNothing) {
    struct Case {
        const char* what;
        std::uint8_t code;
        Bytes data;
        int learnSlot;
    };
    const Case cases[] = {
        {"lock key without status", 0x2B, {}, 0},
        {"lock password without status", 0x2C, {}, 0},
        {"admin mode without status", 0x2D, {}, 0},
        {"admin password without status", 0x2E, {}, 0},
        {"boost read one byte short", 0x32, Bytes(80, 7), 0},
        {"echo type one byte short", 0x3A, Bytes(16, 7), 0},
        {"learn without its count", 0x44, {}, 4},
        {"learn with fewer bytes than its count", 0x44, {5, 1, 2, 3}, 4},
    };
    for (const Case& c : cases) {
        DecoderRig r;
        r.image.LearnSlotIndex = c.learnSlot;
        const ParamImage before = r.image;
        EXPECT_EQ(r.Feed(c.code, c.data), ReplyOutcome::kMalformed) << c.what;
        EXPECT_TRUE(blocktest::SameImage(r.image, before)) << c.what;
        EXPECT_TRUE(r.posted.empty()) << c.what;
        EXPECT_EQ(r.retries, 0) << c.what;
    }
}

TEST(ReplyDecoder, LearnReplies) {
    struct Case {
        const char* what;
        int slot;
        Bytes data;
        int retries;
        std::vector<Posted> posted;
        LearnCode stored;  // LearnCodes[slot - 1] afterwards
    };
    const LearnCode untouched = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    LearnCode three = untouched;
    three[0] = 3, three[1] = 0xA0, three[2] = 0xA1, three[3] = 0xA2;
    LearnCode eight = untouched;
    for (int i = 0; i <= 8; ++i)
        eight[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i ? 0x10 + i : 8);
    const Case cases[] = {
        {"no slot waiting", 0, {3, 0xA0, 0xA1, 0xA2}, 0, {}, untouched},
        {"nothing learnt yet asks again", 7, {0}, 1, {}, untouched},
        {"three bytes", 7, {3, 0xA0, 0xA1, 0xA2, 0xEE}, 0, {{WM_LEARN_RESULT, 3, 1}}, three},
        {"eight bytes",
         32,
         {8, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18},
         0,
         {{WM_LEARN_RESULT, 8, 1}},
         eight},
        {"nine is too many",
         7,
         {9, 1, 2, 3, 4, 5, 6, 7, 8, 9},
         0,
         {{WM_LEARN_RESULT, 0, 0}},
         untouched},
        {"a slot beyond the table", 33, {3, 0xA0, 0xA1, 0xA2}, 0, {}, untouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DecoderRig r;
        for (LearnCode& code : r.image.LearnCodes) code = untouched;
        r.image.LearnSlotIndex = c.slot;
        EXPECT_EQ(r.Feed(0x44, c.data), ReplyOutcome::kHandled);
        EXPECT_EQ(r.retries, c.retries);
        ASSERT_EQ(r.posted.size(), c.posted.size());
        for (std::size_t i = 0; i < c.posted.size(); ++i) {
            EXPECT_EQ(r.posted[i].msg, c.posted[i].msg);
            EXPECT_EQ(r.posted[i].w, c.posted[i].w);
            EXPECT_EQ(r.posted[i].l, c.posted[i].l);
        }
        if (c.slot >= 1 && c.slot <= 32) {
            EXPECT_EQ(r.image.LearnCodes[static_cast<std::size_t>(c.slot - 1)], c.stored);
        }
        for (int s = 1; s <= 32; ++s) {
            if (s != c.slot) {
                EXPECT_EQ(r.image.LearnCodes[static_cast<std::size_t>(s - 1)], untouched);
            }
        }
    }
}

TEST(ReplyDecoder, UploadChainMovesOnOnlyWithTheReplyToItsStep) {
    DecoderRig r;
    r.upload.length = 890;
    r.upload.offset = 0;
    auto next = [&r]() -> WPARAM {
        if (r.posted.empty()) return 0;
        const Posted p = r.posted.back();
        r.posted.clear();
        return p.msg == WM_SEND_COMMAND ? p.w : (p.msg == WM_LINK_IDLE ? 0x1DE : 0xBAD);
    };
    r.Feed(0x41, {0}, false);
    EXPECT_EQ(next(), 0u);
    r.upload.offset = 33;
    r.Feed(0x41, {0});
    EXPECT_EQ(next(), 0x42u);
    EXPECT_EQ(r.upload.offset, 0);
    r.upload.offset = 60;
    r.Feed(0x42, {0});
    EXPECT_EQ(next(), 0x42u);
    r.Feed(0x42, {0}, false);
    EXPECT_EQ(next(), 0u);
    r.upload.offset = 890;
    r.Feed(0x42, {0});
    EXPECT_EQ(next(), 0x43u);
    r.Feed(0x43, {0}, false);
    EXPECT_EQ(next(), 0u);
    r.Feed(0x43, {0});
    EXPECT_EQ(next(), 0x1DEu);
}

TEST(ReplyDecoder, OtherCodesOnlyComplete) {
    DecoderRig r;
    const ParamImage before = r.image;
    for (std::uint8_t code : {0x1C, 0x02, 0x40, 0x3F, 0x7E}) {
        EXPECT_EQ(r.Feed(code, {1, 2, 3}), ReplyOutcome::kHandled);
    }
    EXPECT_TRUE(r.posted.empty());
    EXPECT_TRUE(blocktest::SameImage(r.image, before));
}

// The decoder behind a sequencer, as the main window wires it.
struct DecodedLink : LinkRig {
    DecodedLink() {
        InitParamImage(image);
        decoder.hooks.post = [this](unsigned msg, WPARAM w, LPARAM l) {
            host.PostMessage(msg, w, l);
        };
        host.onReply = [this](const ReplyFrame& f, bool answers) {
            return decoder.OnReply(f, answers);
        };
        host.onBlockRead = [this](const DeviceBlockRead& read) { decoder.OnBlockRead(read); };
    }
    ParamImage image;
    ModeUpload upload;
    ReplyDecoder decoder{image, upload};
    bool spoilChunk = false;
};

class ReplyDecoderLink : public ::testing::Test, public DecodedLink {};

TEST_F(ReplyDecoderLink, ConnectUnpacksHeaderAndBlock) {
    block = blocktest::MakeBlock(9);
    header = blocktest::MakeHeader(6, 0x6B, 2, -1, 3);
    ConnectUsb();
    blocktest::ExpectImageHoldsBlock(image, block);
    blocktest::ExpectImageHoldsHeader(image, header);
    EXPECT_EQ(HandledCount(WM_REFRESH_PAGES), 1);
    EXPECT_EQ(host.Status(), "OK");
}

TEST_F(ReplyDecoderLink, ChecksThatFailLeaveTheImageAsItWas) {
    struct Case {
        const char* what;
        std::function<void(DecodedLink&)> spoil;
    };
    const Case cases[] = {
        {"block length 1130", [](DecodedLink& l) { l.statedLength = 1130; }},
        {"block length 2000", [](DecodedLink& l) { l.statedLength = 2000; }},
        {"block length 4097", [](DecodedLink& l) { l.statedLength = 4097; }},
        {"header byte 4", [](DecodedLink& l) { l.header[4] = 0x06; }},
        {"one bit of the block", [](DecodedLink& l) { l.spoilChunk = true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DecodedLink l;
        l.block = blocktest::MakeBlock(3);
        l.header = blocktest::MakeHeader(6, 0x6B, 2, -1, 3);
        c.spoil(l);
        const ParamImage before = l.image;
        l.AutoAnswer(l.usb);
        if (l.spoilChunk) {
            // The unit's block changes under its checksum half-way.
            l.usb.onSend = [&l](const Bytes& f) {
                Bytes reply = l.Answer(f);
                if (f[3] == 0x40 && (f[4] | (f[5] << 8)) == 580) {
                    Bytes d(reply.begin() + 4, reply.end() - 1);
                    d[6] ^= 0x04;
                    reply = Reply(0x40, d);
                }
                l.usb.incoming.push_back(reply);
            };
        }
        l.seq.OnConnectButton();
        l.Pump();
        for (int i = 0; i < 60 && l.seq.LinkState() != 0; ++i) l.Tick();
        l.ExpectIdleAfterFailure("Open failed1");
        EXPECT_TRUE(blocktest::SameImage(l.image, before));
        EXPECT_EQ(l.HandledCount(WM_REFRESH_PAGES), 0);
        int chunks = 0;
        for (const Bytes& f : l.usb.sent) chunks += f[3] == 0x40;
        if (!l.spoilChunk) {
            EXPECT_EQ(chunks, 0) << "a chunk asked for after a bad header";
        }
    }
}

TEST_F(ReplyDecoderLink, MalformedReplyWhileConnectingFailsTheConnect) {
    AutoAnswer(usb);
    answering = false;
    seq.OnConnectButton();
    Pump();
    usb.incoming.push_back(Reply(0x1C, {0, 0, 0, 0x13, 1}));
    Tick();
    ASSERT_EQ(seq.LinkState(), 2);
    usb.incoming.push_back(Reply(0x2D, {}));  // no status byte
    Tick();
    ExpectIdleAfterFailure("Open failed1");
    EXPECT_EQ(host.Count(WM_DEVICE_RESULT), 0);
}

TEST_F(ReplyDecoderLink, MalformedReplyWhileConnectedIsDropped) {
    ConnectUsb();
    answering = false;
    const ParamImage before = image;
    const std::uint8_t data[] = {2, 0};
    seq.SubmitGeneric(0x3A, data, 2);
    // A whole echo-type reply, then one cut short, in one poll: the short
    // one must not be filled from the bytes of the first.
    Bytes full = {1, 21, 22, 23, 24, 25, 26, 27, 28, 1, 0, 2, 0, 3, 0, 4, 0};
    Bytes cut = {2, 31, 32, 33};
    usb.onePerPoll = false;
    usb.incoming.push_back(Reply(0x3A, cut));
    Tick();
    EXPECT_TRUE(seq.ReplyPending()) << "a dropped reply completed the request";
    EXPECT_TRUE(blocktest::SameImage(image, before));
    EXPECT_EQ(HandledCount(WM_DEVICE_RESULT), 0);
    EXPECT_EQ(seq.LinkState(), 3);

    usb.incoming.push_back(Reply(0x3A, full));
    usb.incoming.push_back(Reply(0x3A, cut));
    Tick();
    EXPECT_FALSE(seq.ReplyPending());
    for (int i = 0; i < 9; ++i) EXPECT_EQ(image.ParamBytes[85 + i], full[i]) << i;
    EXPECT_EQ(image.ParamWords[33], 4);
    EXPECT_EQ(HandledCount(WM_DEVICE_RESULT), 1);
}

TEST_F(ReplyDecoderLink, ChunkReplyOutsideABlockReadIsIgnored) {
    block = blocktest::MakeBlock(4);
    ConnectUsb();
    answering = false;
    const Bytes readBlock = host.block;
    const ParamImage before = image;
    const std::uint8_t data[] = {1, 0};
    seq.SubmitGeneric(0x09, data, 2);
    usb.incoming.push_back(Reply(0x40, Bytes(58, 0x77)));
    Tick();
    EXPECT_EQ(seq.LinkState(), 3);
    EXPECT_EQ(host.block, readBlock);
    EXPECT_TRUE(blocktest::SameImage(image, before));
    // A stray request for a chunk asks for nothing either.
    const std::size_t sent = usb.sent.size();
    seq.SubmitBlockChunkRequest();
    EXPECT_EQ(usb.sent.size(), sent);
}

TEST_F(ReplyDecoderLink, HeaderReReadWhileConnectedReadsTheBlockAgain) {
    block = blocktest::MakeBlock(4);
    ConnectUsb();
    block = blocktest::MakeBlock(8);
    header = blocktest::MakeHeader(2, 0x01, 1, 0, 0);
    const std::uint8_t data[] = {0, 0};
    seq.SubmitGeneric(0x3F, data, 2);
    for (int i = 0; i < 40 && HandledCount(WM_REFRESH_PAGES) < 2; ++i) Tick();
    EXPECT_EQ(HandledCount(WM_REFRESH_PAGES), 2);
    blocktest::ExpectImageHoldsBlock(image, block);
    blocktest::ExpectImageHoldsHeader(image, header);
    EXPECT_EQ(seq.LinkState(), 3);
}

// Through the link, the unit answering by hand: a type request it completes
// with another frame and never answers leaves the next request's answer to
// the next request; the late answer of one completed early, coming while the
// next waits behind another request, is its own, and the next one's is the
// next one's.
TEST_F(ReplyDecoderLink, AnEchoTypeAnswerGoesToTheRequestItAnswers) {
    ConnectUsb();
    answering = false;
    usb.onePerPoll = true;
    host.onWritten = [this](std::uint8_t code) {
        if (code == CMD_ECHO_TYPE) decoder.OnEchoTypeWritten();
    };
    // As the main window hands a pick to the link.
    auto pick = [this](std::uint8_t type) {
        const int number = decoder.OnEchoTypeRequested();
        EXPECT_TRUE(seq.SubmitInOrder(CMD_ECHO_TYPE, &type, 1));
        return number;
    };
    auto unitSends = [this](std::uint8_t code, const Bytes& data) {
        usb.incoming.push_back(Reply(code, data));
        Tick();
    };
    auto answer = [](std::uint8_t type) {
        Bytes d(17, 0x21);
        d[0] = type;
        return d;
    };
    auto lastResult = [this]() -> WPARAM {
        for (auto p = handled.rbegin(); p != handled.rend(); ++p)
            if (p->msg == WM_DEVICE_RESULT) return p->w;
        return 0;
    };

    const int first = pick(0);
    ASSERT_EQ(usb.SentCode(), CMD_ECHO_TYPE);
    unitSends(0x7E, {1});
    ASSERT_FALSE(seq.ReplyPending()) << "another frame completes the request";
    EXPECT_EQ(lastResult(), 0u);

    const int second = pick(2);
    ASSERT_EQ(usb.SentCode(), CMD_ECHO_TYPE);
    unitSends(CMD_ECHO_TYPE, answer(2));
    EXPECT_EQ(lastResult(), static_cast<WPARAM>(0x3400 | second)) << "request " << first;
    EXPECT_EQ(image.ParamBytes[85], 2);

    const int third = pick(1);
    unitSends(0x7E, {1});
    const std::uint8_t signal = 0;
    ASSERT_TRUE(seq.SubmitInOrder(CMD_TEST_SIGNAL, &signal, 1));
    const int fourth = pick(0);
    ASSERT_EQ(seq.WaitingCodes(), std::vector<std::uint8_t>{CMD_ECHO_TYPE});
    unitSends(CMD_ECHO_TYPE, answer(1));
    EXPECT_EQ(lastResult(), static_cast<WPARAM>(0x3400 | third));
    EXPECT_EQ(image.ParamBytes[85], 1);
    ASSERT_EQ(usb.SentCode(), CMD_ECHO_TYPE) << "the step releases the fourth";
    unitSends(CMD_ECHO_TYPE, answer(0));
    EXPECT_EQ(lastResult(), static_cast<WPARAM>(0x3400 | fourth));
    EXPECT_EQ(image.ParamBytes[85], 0);
}

// The builder, the decoder and the device results behind a sequencer, each
// posted message handled as the main window handles it.
struct BuiltLink : DecodedLink {
    BuiltLink() {
        results.hooks.post = [this](unsigned msg, WPARAM w, LPARAM l) {
            host.PostMessage(msg, w, l);
        };
        onPosted = [this](const Posted& p) {
            if (p.msg == WM_SEND_COMMAND) builder.OnSendCommand(static_cast<unsigned>(p.w), p.l);
            if (p.msg == WM_DEVICE_RESULT) results.OnDeviceResult(p.w);
            return p.msg == WM_SEND_COMMAND || p.msg == WM_DEVICE_RESULT;
        };
    }
    void Post(unsigned code, LPARAM argument = 0) {
        host.PostMessage(WM_SEND_COMMAND, code, argument);
    }
    CommandBuilder builder{image, seq};
    DeviceResults results{image};
};

// A selected mode is read back whole, even when its re-read has to wait for
// a reply in flight and more requests come in behind it: the block read
// runs to its end (the pages refresh, the busy box closes) and the image
// holds the unit's new mode. A change or a boost save made before the block
// is in is not sent: the block replaces the image, and sent after it, the
// old mode's values would land on the new one.
TEST(ReplyDecoderChain, ModeSelectedIsReadBackWhateverComesBehindTheReRead) {
    struct Case {
        const char* what;
        void (*behind)(BuiltLink&);
    };
    const Case cases[] = {
        {"a change", [](BuiltLink& l) { l.Post(CMD_MUSIC_SETTINGS); }},
        {"two changes",
         [](BuiltLink& l) {
             l.Post(CMD_MUSIC_SETTINGS);
             l.Post(CMD_MIC_SETTINGS);
         }},
        {"a boost save", [](BuiltLink& l) { l.Post(CMD_BOOST_SAVE); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuiltLink l;
        l.block = blocktest::MakeBlock(4);
        l.ConnectUsb();
        l.block = blocktest::MakeBlock(8);  // the mode the unit switches to
        // The select goes out; a WiFi module request waits for its reply and
        // goes out when it is in, ahead of the re-read the select's result
        // asks for. A change behind the select is not taken.
        l.Post(CMD_SELECT_MODE, 3);
        l.Post(CMD_WIFI_MODULE, 0);
        l.Post(CMD_EFFECT_VOLUME);
        l.Pump();
        l.Tick();
        ASSERT_EQ(l.usb.SentCode(), CMD_WIFI_MODULE);
        ASSERT_TRUE(l.seq.ReplyPending());
        const std::size_t from = l.usb.sent.size();
        const int idles = l.HandledCount(WM_LINK_IDLE);
        c.behind(l);
        l.Pump();
        for (int i = 0; i < 80 && l.HandledCount(WM_REFRESH_PAGES) < 2; ++i) l.Tick();
        EXPECT_EQ(l.HandledCount(WM_REFRESH_PAGES), 2);
        EXPECT_GT(l.HandledCount(WM_LINK_IDLE), idles) << "the busy box stays open";
        blocktest::ExpectImageHoldsBlock(l.image, l.block);
        EXPECT_EQ(l.seq.LinkState(), 3);
        for (std::size_t i = from; i < l.usb.sent.size(); ++i) {
            const std::uint8_t code = l.usb.sent[i][3];
            EXPECT_TRUE(code == CMD_READ_HEADER || code == CMD_READ_BLOCK) << int{code};
        }
        EXPECT_EQ(l.usb.sent[from - 1][3], CMD_WIFI_MODULE);
    }
}

// A mode select that has to wait for a reply in flight is not replaced by a
// change made behind it: the user's Recall and the reset-all and mass-save
// chains all end in the block read it starts.
TEST(ReplyDecoderChain, ModeSelectWaitingBehindAReplyIsNotReplacedByAChange) {
    BuiltLink l;
    l.block = blocktest::MakeBlock(4);
    l.ConnectUsb();
    l.block = blocktest::MakeBlock(8);
    // The first change goes out at once; its reply lets the second go, whose
    // reply is still to come when the select is posted.
    l.Post(CMD_MIC_SETTINGS);
    l.Post(CMD_EFFECT_VOLUME);
    l.Pump();
    l.Tick();
    ASSERT_EQ(l.usb.SentCode(), CMD_EFFECT_VOLUME);
    ASSERT_TRUE(l.seq.ReplyPending());
    l.Post(CMD_SELECT_MODE, 3);
    l.Post(CMD_MUSIC_SETTINGS);
    l.Pump();
    for (int i = 0; i < 80 && l.HandledCount(WM_REFRESH_PAGES) < 2; ++i) l.Tick();
    EXPECT_EQ(l.HandledCount(WM_REFRESH_PAGES), 2) << "the selected mode was never read back";
    blocktest::ExpectImageHoldsBlock(l.image, l.block);
    EXPECT_EQ(l.seq.LinkState(), 3);
}

}  // namespace
