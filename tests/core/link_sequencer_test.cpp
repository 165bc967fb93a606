#include "link/link_sequencer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "link_test_support.h"

namespace {

using linktest::Bytes;
using linktest::FakeHost;
using linktest::FakeTransport;
using linktest::LinkRig;
using linktest::Posted;
using linktest::Reply;

class LinkSequencerTest : public ::testing::Test, public LinkRig {};

TEST_F(LinkSequencerTest, UsbConnectRunsHandshakeHeaderAndBlockRead) {
    AutoAnswer(usb);
    featureFlag = 0;
    seq.OnConnectButton();
    EXPECT_EQ(host.statuses.front(), "Connectting...");
    EXPECT_EQ(host.posted.front().msg, WM_LINK_BUSY);
    EXPECT_TRUE(host.pressed);
    EXPECT_FALSE(host.choiceEnabled);
    ASSERT_EQ(usb.sent.size(), 1u);
    EXPECT_EQ(usb.sent[0], (Bytes{0xAA, 0x01, 0x00, 0x1C, 0xE3}));
    Pump();

    Tick();  // handshake reply, then the step sends the header request
    EXPECT_EQ(host.featureFlags, (std::vector<int>{0}));
    EXPECT_EQ(seq.LinkState(), 2);
    EXPECT_EQ(usb.sent.back(), (Bytes{0xAA, 0x01, 0x00, 0x3F, 0xC0}));

    Tick();  // header: the first chunk request goes out before the step makes it 3
    EXPECT_EQ(seq.LinkState(), 3);
    EXPECT_EQ(host.Status(), "connected");
    ASSERT_EQ(usb.sent.size(), 3u);
    EXPECT_EQ(usb.sent[2], (Bytes{0xAA, 0x06, 0x00, 0x40, 0x00, 0x00, 0x3A, 0x00, 0x00, 0x80}));

    for (int i = 0; i < 40 && host.block.empty(); ++i) Tick();
    EXPECT_EQ(host.block, block);
    EXPECT_EQ(usb.sent.size(), 2u + 20u);
    EXPECT_EQ(usb.sent.back()[4] | (usb.sent.back()[5] << 8), 1102);
    EXPECT_EQ(host.Status(), "OK");
    EXPECT_EQ(HandledCount(WM_REFRESH_PAGES), 1);
    EXPECT_EQ(HandledCount(WM_LINK_IDLE), 1);
    EXPECT_TRUE(host.pressed);
    EXPECT_FALSE(host.choiceEnabled);
}

TEST_F(LinkSequencerTest, ConnectFailuresShowTheirTextAndCloseTheLink) {
    struct Case {
        const char* what;
        std::function<void(LinkRig&)> arrange;
        int ticks;
        const char* status;
    };
    const Case cases[] = {
        {"no HID device", [](LinkRig& t) { t.usb.openResult = false; }, 0, "Open failed"},
        {"handshake write failed", [](LinkRig& t) { t.usb.sendResult = SendResult::kFailed; }, 0,
         "Open failed"},
        {"handshake not written", [](LinkRig& t) { t.usb.sendResult = SendResult::kNotSent; }, 0,
         "Open failed"},
        {"wrong device type", [](LinkRig& t) { t.deviceType = 0x12; }, 1, "Open failed1"},
        {"no handshake reply", [](LinkRig& t) { t.answering = false; }, 70, "Open failed0"},
        {"reader error on the handshake", [](LinkRig& t) { t.usb.failPoll = true; }, 1,
         "Open failed0"},
    };
    for (const Case& c : cases) {
        LinkRig t;
        t.AutoAnswer(t.usb);
        c.arrange(t);
        t.seq.OnConnectButton();
        t.Pump();
        t.Tick(c.ticks);
        SCOPED_TRACE(c.what);
        t.ExpectIdleAfterFailure(c.status);
        EXPECT_GE(t.usb.closes, 1);
        EXPECT_GE(t.host.closings, 1);
        EXPECT_EQ(t.usb.opens, 1);  // no fresh attempt from inside a failed send
    }
}

TEST_F(LinkSequencerTest, HandshakeTimesOutAfterExactly70Ticks) {
    AutoAnswer(usb);
    answering = false;
    seq.OnConnectButton();
    Tick(69);
    EXPECT_EQ(seq.LinkState(), 1);
    EXPECT_EQ(host.Status(), "Connectting...");
    Tick();
    ExpectIdleAfterFailure("Open failed0");
}

TEST_F(LinkSequencerTest, HandshakeReplyOnTheLastTickStillFails) {
    AutoAnswer(usb);
    answering = false;
    seq.OnConnectButton();
    Tick(69);
    usb.incoming.push_back(Reply(0x1C, {0, 0, 0, 0x13, 1}));
    Tick();
    ExpectIdleAfterFailure("Open failed0");
    EXPECT_EQ(usb.sent.size(), 1u);  // the step found the link idle
}

TEST_F(LinkSequencerTest, ShortHandshakeReplyIsNotTakenWhole) {
    AutoAnswer(usb);
    answering = false;
    seq.OnConnectButton();
    usb.incoming.push_back(Reply(0x1C, {0, 0, 0, 0x13}));
    Tick();
    ExpectIdleAfterFailure("Open failed1");
}

TEST_F(LinkSequencerTest, HeaderFailures) {
    struct Case {
        const char* what;
        Bytes reply;  // empty: none comes
        int ticks;
    };
    const Case cases[] = {
        {"no header in time", {}, 70},
        {"header byte 4 = 0x06",
         Reply(0x3F, {0, 0x13, 1, 3, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x6B, 0x04, 0}), 1},
        {"header reply too short", Reply(0x3F, {0, 0x13, 1, 3, 5}), 1},
    };
    for (const Case& c : cases) {
        LinkRig t;
        t.AutoAnswer(t.usb);
        t.seq.OnConnectButton();
        t.Pump();
        t.answering = false;
        t.Tick();  // handshake in, header request out
        ASSERT_EQ(t.seq.LinkState(), 2);
        if (!c.reply.empty()) t.usb.incoming.push_back(c.reply);
        t.Tick(c.ticks - 1);
        EXPECT_EQ(t.seq.LinkState(), 2) << c.what;
        t.Tick();
        SCOPED_TRACE(c.what);
        t.ExpectIdleAfterFailure("Open failed1");
    }
}

TEST_F(LinkSequencerTest, BadBlockChecksumEndsInOpenFailed1) {
    AutoAnswer(usb);
    seq.OnConnectButton();
    Pump();
    Tick(2);
    ASSERT_EQ(seq.LinkState(), 3);
    block[700] ^= 0x01;  // the unit's block no longer matches its header
    for (int i = 0; i < 40 && seq.LinkState() == 3; ++i) Tick();
    ExpectIdleAfterFailure("Open failed1");
    EXPECT_TRUE(host.block.empty());
    EXPECT_EQ(host.disconnects, 1);  // the connected link's clean-up ran
}

TEST_F(LinkSequencerTest, DuplicatedReplyAdvancesTheSequenceOnce) {
    AutoAnswer(usb);
    answering = false;
    seq.OnConnectButton();
    usb.incoming.push_back(Reply(0x1C, {0, 0, 0, 0x13, 1}));
    usb.incoming.push_back(Reply(0x1C, {0, 0, 0, 0x13, 1}));
    Tick();
    EXPECT_EQ(seq.LinkState(), 2);
    EXPECT_EQ(usb.sent.size(), 2u);
    EXPECT_TRUE(seq.ReplyPending());
    Tick(5);
    EXPECT_EQ(seq.LinkState(), 2);  // still waiting for the header
}

TEST_F(LinkSequencerTest, UnaskedFramesBeforeEveryChunkLeaveTheBlockReadGoing) {
    usb.onSend = [this](const Bytes& f) {
        if (f[3] == 0x40) usb.incoming.push_back(Reply(0x01, {0}));
        usb.incoming.push_back(Answer(f));
    };
    seq.OnConnectButton();
    Pump();
    for (int i = 0; i < 100 && host.block.empty(); ++i) Tick();
    EXPECT_EQ(host.block, block);
    EXPECT_EQ(usb.sent.size(), 2u + 20u) << "each chunk asked for once";
    EXPECT_EQ(std::count(host.replies.begin(), host.replies.end(), 0x01), 20)
        << "the unasked frames' handler ran";
    EXPECT_EQ(HandledCount(WM_REFRESH_PAGES), 1);
}

// A connected link with one request in flight and nothing answered yet.
struct InFlight {
    const char* what;
    void (*start)(LinkRig&);
    std::uint8_t code;
    bool transfer;      // a step of the block read or of the mode upload
    std::uint8_t next;  // what its own reply asks for next here, 0 nothing
};

void SendPlain(LinkRig& t, std::uint8_t code) {
    const std::uint8_t data[] = {0, 0};
    t.seq.SubmitInOrder(code, data, 2);
}
void SendUploadStep(LinkRig& t, std::uint8_t code) {
    const std::uint8_t data[] = {0x7A, 0x03, 0x11, 0, 0, 0, 0};
    t.seq.SubmitDirect(code, data, 7, 100, 130);
}

const InFlight kInFlight[] = {
    {"header re-read", [](LinkRig& t) { SendPlain(t, 0x3F); }, 0x3F, true, 0x40},
    {"chunk of a re-read",
     [](LinkRig& t) {
         SendPlain(t, 0x3F);
         t.usb.incoming.push_back(t.Answer(t.usb.sent.back()));
         t.Tick();
     },
     0x40, true, 0x40},
    {"upload start", [](LinkRig& t) { SendUploadStep(t, 0x41); }, 0x41, true, 0},
    {"upload data", [](LinkRig& t) { SendUploadStep(t, 0x42); }, 0x42, true, 0},
    {"upload end", [](LinkRig& t) { SendUploadStep(t, 0x43); }, 0x43, true, 0},
    {"a plain command", [](LinkRig& t) { SendPlain(t, 0x09); }, 0x09, false, 0},
};

TEST_F(LinkSequencerTest, OnlyItsOwnReplyCompletesATransferStep) {
    for (const InFlight& c : kInFlight) {
        SCOPED_TRACE(c.what);
        LinkRig t;
        t.ConnectUsb();
        t.answering = false;
        c.start(t);
        ASSERT_EQ(t.usb.SentCode(), c.code);
        const std::size_t sent = t.usb.sent.size();
        const int steps = t.HandledCount(WM_LINK_STEP);
        t.usb.incoming.push_back(Reply(0x2B, {1}));
        t.Tick();
        EXPECT_EQ(t.host.replies.back(), 0x2B) << "its handler runs";
        EXPECT_EQ(t.seq.ReplyPending(), c.transfer);
        EXPECT_EQ(t.HandledCount(WM_LINK_STEP), steps + (c.transfer ? 0 : 1));
        if (!c.transfer) continue;
        t.usb.incoming.push_back(t.Answer(t.usb.sent.back()));
        t.Tick();
        EXPECT_EQ(t.HandledCount(WM_LINK_STEP), steps + 1);
        EXPECT_EQ(t.usb.sent.size(), sent + (c.next != 0 ? 1 : 0));
        if (c.next != 0) {
            EXPECT_EQ(t.usb.SentCode(), c.next);
        }
    }
}

TEST_F(LinkSequencerTest, ChunkAnsweredOnlyByAnotherCodeTimesOut) {
    ConnectUsb();
    answering = false;
    SendPlain(*this, 0x3F);
    usb.incoming.push_back(Answer(usb.sent.back()));
    Tick();
    ASSERT_EQ(usb.SentCode(), 0x40);
    usb.incoming.push_back(Reply(0x09, {0}));
    Tick(LinkSequencer::kUsbReplyTimeout - 1);
    EXPECT_EQ(seq.LinkState(), 3);
    Tick();
    EXPECT_EQ(host.Status(), "failed");
    EXPECT_EQ(seq.LinkState(), 0);
}

TEST_F(LinkSequencerTest, KeepAliveGoesOutAfterQuietTicks) {
    for (int type : {0, 1}) {
        LinkRig t;
        if (type == 0) {
            t.ConnectUsb();
        } else {
            t.ConnectWifi();
        }
        FakeTransport& link = type == 0 ? t.usb : t.wifi;
        // The last reply was parsed one tick ago (that tick counted one).
        const int quiet = type == 0 ? 50 : 55;
        const std::size_t sent = link.sent.size();
        t.Tick(quiet - 2);
        EXPECT_EQ(link.sent.size(), sent) << "type " << type;
        t.Tick();
        ASSERT_EQ(link.sent.size(), sent + 1) << "type " << type;
        EXPECT_EQ(link.SentCode(), 0x1C);
        t.Tick();  // its reply
        EXPECT_EQ(t.host.Status(), "OK");
        EXPECT_EQ(t.seq.LinkState(), 3);
    }
}

TEST_F(LinkSequencerTest, TimeOutWhileConnectedShowsFailedAndDisconnects) {
    ConnectUsb();
    answering = false;
    const std::uint8_t data[] = {7, 0};
    seq.SubmitGeneric(0x09, data, 2);
    EXPECT_EQ(host.Status(), "communicating");
    Tick(69);
    EXPECT_EQ(seq.LinkState(), 3);
    Tick();
    EXPECT_EQ(host.Status(), "failed");  // not replaced by "Idle"
    EXPECT_EQ(seq.LinkState(), 0);
    EXPECT_FALSE(seq.LinkActive());
    EXPECT_EQ(host.disconnects, 1);
    EXPECT_FALSE(host.pressed);
    EXPECT_TRUE(host.choiceEnabled);
    EXPECT_EQ(seq.KeepAliveCountdown(), 0);
}

TEST_F(LinkSequencerTest, WifiTimeOutsAre130Ticks) {
    ConnectWifi();
    answering = false;
    const std::uint8_t data[] = {7, 0};
    seq.SubmitGeneric(0x09, data, 2);
    Tick(129);
    EXPECT_EQ(seq.LinkState(), 3);
    Tick();
    EXPECT_EQ(host.Status(), "failed");
}

// One request in flight; what comes meanwhile waits and goes in the order
// it came, each change once, with its newest value and in the newest one's
// turn: three of one control send only the last.
TEST_F(LinkSequencerTest, OneRequestInFlightAndEachWaitingChangeGoesWithItsNewestValue) {
    ConnectUsb();
    answering = false;
    const std::uint8_t a[] = {1, 0}, b[] = {2, 0}, c[] = {3, 0}, d[] = {4, 4, 0}, e[] = {5, 0},
                       f[] = {6, 6, 0};
    seq.SubmitGeneric(0x09, a, 2);
    const std::size_t sent = usb.sent.size();
    seq.SubmitGeneric(0x0A, b, 2);
    seq.SubmitGeneric(0x3B, c, 2);
    seq.SubmitGeneric(0x30, d, 3);
    seq.SubmitGeneric(0x0A, e, 2);
    seq.SubmitGeneric(0x30, f, 3);
    EXPECT_EQ(usb.sent.size(), sent);
    EXPECT_EQ(seq.WaitingCodes(), (std::vector<std::uint8_t>{0x3B, 0x0A, 0x30}));
    answering = true;
    usb.incoming.push_back(Reply(0x09, {0}));
    Tick();
    ASSERT_EQ(usb.sent.size(), sent + 1) << "one at a time";
    EXPECT_EQ(usb.sent.back(), (Bytes{0xAA, 0x03, 0x00, 0x3B, 3, 0, 0xBF}));
    Tick(4);
    ASSERT_EQ(usb.sent.size(), sent + 3);
    EXPECT_EQ(usb.sent[sent + 1], (Bytes{0xAA, 0x03, 0x00, 0x0A, 5, 0, 0xEE}));
    EXPECT_EQ(usb.sent[sent + 2], (Bytes{0xAA, 0x04, 0x00, 0x30, 6, 6, 0, 0xC0}));
    EXPECT_EQ(seq.Waiting(), 0u);
    EXPECT_EQ(host.Status(), "OK");
}

// A newer value of a waiting change: the older one leaves the line and the
// newer goes behind everything that waited before it was made, since
// another change waiting there may carry the same byte; never past a
// request that keeps its turn, behind which the older one stays. A learn
// retry still goes first, and an upload's steps follow each other with
// nothing between. Each frame carries its value in its first data byte.
TEST_F(LinkSequencerTest, ANewerValueGoesBehindWhatWaitedBeforeIt) {
    using Sent = std::vector<std::pair<std::uint8_t, std::uint8_t>>;  // code, first data byte
    auto change = [](LinkRig& t, std::uint8_t code, std::uint8_t value) {
        const std::uint8_t data[] = {value, 0};
        EXPECT_TRUE(t.seq.SubmitGeneric(code, data, 2));
    };
    auto inTurn = [](LinkRig& t, std::uint8_t code, std::uint8_t value) {
        const std::uint8_t data[] = {value, 0};
        EXPECT_TRUE(t.seq.SubmitInOrder(code, data, 2));
    };
    auto uploadStep = [](LinkRig& t, std::uint8_t code) {
        const std::uint8_t step[] = {0x7A, 0x03, 0x11, 0, 0, 0, 0};
        EXPECT_TRUE(t.seq.SubmitDirect(code, step, 7, 100, 130));
    };
    struct Case {
        const char* what;
        std::function<void(LinkRig&)> submit;
        std::vector<std::uint8_t> waiting;
        Sent sent;
    };
    const Case cases[] = {
        {"behind a change that waited after the older one",
         [&](LinkRig& t) {
             change(t, 0x0A, 1);
             change(t, 0x30, 2);
             change(t, 0x0A, 3);
         },
         {0x30, 0x0A},
         {{0x30, 2}, {0x0A, 3}}},
        {"each in turn",
         [&](LinkRig& t) {
             change(t, 0x0A, 1);
             change(t, 0x30, 2);
             change(t, 0x0A, 3);
             change(t, 0x30, 4);
             change(t, 0x05, 5);
             change(t, 0x0A, 6);
         },
         {0x30, 0x05, 0x0A},
         {{0x30, 4}, {0x05, 5}, {0x0A, 6}}},
        {"not past a request that keeps its turn",
         [&](LinkRig& t) {
             change(t, 0x0A, 1);
             change(t, 0x30, 2);
             inTurn(t, 0x3B, 3);
             change(t, 0x0A, 4);
         },
         {0x0A, 0x30, 0x3B, 0x0A},
         {{0x0A, 1}, {0x30, 2}, {0x3B, 3}, {0x0A, 4}}},
        {"past one that waited before the older one",
         [&](LinkRig& t) {
             inTurn(t, 0x3B, 1);
             change(t, 0x0A, 2);
             change(t, 0x30, 3);
             change(t, 0x0A, 4);
         },
         {0x3B, 0x30, 0x0A},
         {{0x3B, 1}, {0x30, 3}, {0x0A, 4}}},
        {"a learn retry still first",
         [&](LinkRig& t) {
             change(t, 0x0A, 1);
             change(t, 0x30, 2);
             LinkRequest retry;
             const std::uint8_t data[] = {5, 2, 0, 0, 0, 0, 0};
             retry.code = 0x44;
             retry.data = data;
             retry.length = 7;
             retry.nextStep = true;
             EXPECT_TRUE(t.seq.Submit(retry));
             change(t, 0x0A, 3);
         },
         {0x44, 0x30, 0x0A},
         {{0x44, 5}, {0x30, 2}, {0x0A, 3}}},
        {"during an upload, after its end",
         [&](LinkRig& t) {
             uploadStep(t, 0x41);
             change(t, 0x0A, 1);
             change(t, 0x30, 2);
             t.usb.incoming.push_back(Reply(0x09, {0}));
             t.Tick();
             t.usb.incoming.push_back(Reply(0x41, {0}));
             t.seq.OnTick();  // the start's reply is in, its step not yet handled
             uploadStep(t, 0x42);
             change(t, 0x0A, 3);
             t.Pump();
             t.usb.incoming.push_back(Reply(0x42, {0}));
             t.seq.OnTick();
             uploadStep(t, 0x43);
             t.Pump();
         },
         {0x30, 0x0A},
         {{0x41, 0x7A}, {0x42, 0x7A}, {0x43, 0x7A}, {0x30, 2}, {0x0A, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LinkRig t;
        t.ConnectUsb();
        t.answering = false;
        change(t, 0x09, 0);  // in flight
        const std::size_t from = t.usb.sent.size();
        c.submit(t);
        EXPECT_EQ(t.seq.WaitingCodes(), c.waiting);
        t.answering = true;
        t.usb.incoming.push_back(t.Answer(t.usb.sent.back()));
        for (int i = 0; i < 20 && (t.seq.Waiting() > 0 || t.seq.ReplyPending()); ++i) t.Tick();
        Sent sent;
        for (std::size_t i = from; i < t.usb.sent.size(); ++i)
            sent.push_back({t.usb.sent[i][3], t.usb.sent[i][4]});
        EXPECT_EQ(sent, c.sent);
    }
}

TEST_F(LinkSequencerTest, ChangeDuringTheBlockReadIsReplacedByTheBlock) {
    AutoAnswer(usb);
    seq.OnConnectButton();
    Pump();
    Tick(3);  // connected, block read running
    ASSERT_EQ(seq.LinkState(), 3);
    const std::uint8_t data[] = {9, 0};
    EXPECT_FALSE(seq.SubmitGeneric(0x09, data, 2));
    EXPECT_EQ(host.Status(), "busy, not sent");
    EXPECT_EQ(seq.Waiting(), 0u);
    Tick(2);
    EXPECT_EQ(host.Status(), "busy, not sent") << "while the block read runs";
    for (int i = 0; i < 40 && host.block.empty(); ++i) Tick();
    EXPECT_EQ(host.Status(), "OK") << "the pages show the block";
    ASSERT_FALSE(host.block.empty());
    Tick(3);
    EXPECT_EQ(usb.SentCode(), 0x40) << "nothing after the last chunk";

    // Nor is one taken while a header re-read waits or a mode select is
    // answered and its re-read not yet asked for; a request that keeps its
    // turn is, and goes after the block.
    answering = false;
    const std::uint8_t select[] = {4, 0}, lock[] = {1, 2, 3, 4, 1, 0};
    EXPECT_TRUE(seq.SubmitInOrder(0x01, select, 2));
    EXPECT_FALSE(seq.SubmitGeneric(0x09, data, 2));
    usb.incoming.push_back(Reply(0x01, {0}));
    Tick();
    EXPECT_TRUE(seq.BlockReadDue());
    EXPECT_FALSE(seq.SubmitGeneric(0x09, data, 2));
    SendPlain(*this, 0x3F);
    EXPECT_FALSE(seq.SubmitGeneric(0x09, data, 2));
    EXPECT_TRUE(seq.SubmitInOrder(0x2B, lock, 6));
    answering = true;
    usb.incoming.push_back(Answer(usb.sent.back()));
    host.block.clear();
    for (int i = 0; i < 40 && host.block.empty(); ++i) Tick();
    ASSERT_FALSE(host.block.empty());
    Tick(3);
    EXPECT_EQ(usb.SentCode(), 0x2B);
    EXPECT_FALSE(seq.BlockReadDue());
    EXPECT_TRUE(seq.SubmitGeneric(0x09, data, 2));
}

// A frame built whole waits its turn: behind the changes that came before
// it, which it no longer drops.
TEST_F(LinkSequencerTest, DirectFrameWaitsItsTurnBehindTheChangesBeforeIt) {
    ConnectUsb();
    answering = false;
    const std::uint8_t a[] = {1, 0}, b[] = {2, 0};
    seq.SubmitGeneric(0x09, a, 2);
    seq.SubmitGeneric(0x0A, b, 2);
    const std::uint8_t upload[] = {0x7A, 0x03, 0x11, 0, 0, 0, 0};
    const std::size_t sent = usb.sent.size();
    EXPECT_TRUE(seq.SubmitDirect(0x41, upload, 7, 100, 130));
    EXPECT_TRUE(seq.UploadUnderWay());
    EXPECT_EQ(usb.sent.size(), sent);
    EXPECT_EQ(seq.WaitingCodes(), (std::vector<std::uint8_t>{0x0A, 0x41}));
    usb.incoming.push_back(Reply(0x09, {0}));
    Tick();
    ASSERT_EQ(usb.sent.size(), sent + 1);
    EXPECT_EQ(usb.SentCode(), 0x0A);
    usb.incoming.push_back(Reply(0x0A, {0}));
    Tick();
    ASSERT_EQ(usb.sent.size(), sent + 2);
    EXPECT_EQ(usb.SentCode(), 0x41);
    EXPECT_EQ(seq.ReplyTimeout(), 100);
    EXPECT_NE(host.Status(), "communicating");
}

TEST_F(LinkSequencerTest, DirectFrameWhenIdleOfRequestsGoesAtOnceWithItsTimeOut) {
    ConnectWifi();
    const std::uint8_t table[] = {1, 2, 3};
    seq.SubmitDirect(0x47, table, 3, 50, 50);
    EXPECT_EQ(wifi.SentCode(), 0x47);
    EXPECT_EQ(seq.ReplyTimeout(), 50);
    EXPECT_EQ(seq.ExpectedReplyCode(), 0x47);
}

// The codes sent from the n-th frame on.
std::vector<std::uint8_t> CodesFrom(const FakeTransport& t, std::size_t n) {
    std::vector<std::uint8_t> codes;
    for (std::size_t i = n; i < t.sent.size(); ++i) codes.push_back(t.sent[i][3]);
    return codes;
}

// What a healthy connect sends and then, left alone, a keep-alive.
std::vector<std::uint8_t> ConnectThenKeepAlive() {
    std::vector<std::uint8_t> codes = {0x1C, 0x3F};
    codes.insert(codes.end(), 20, 0x40);
    codes.push_back(0x1C);
    return codes;
}

// An upload holds back what comes after its start until the reply to its
// end; one whose next step never comes (nothing asked for it before the
// reply's step) has ended there, and what waited goes. An upload start that
// could not be written holds back nothing.
TEST_F(LinkSequencerTest, WhatComesDuringAnUploadWaitsForItsEnd) {
    ConnectUsb();
    answering = false;
    const std::uint8_t change[] = {7, 0}, step[] = {0x7A, 0x03, 0x11, 0, 0, 0, 0};
    const std::size_t from = usb.sent.size();
    ASSERT_TRUE(seq.SubmitDirect(0x41, step, 7, 100, 130));
    EXPECT_TRUE(seq.SubmitGeneric(0x09, change, 2));
    usb.incoming.push_back(Reply(0x41, {0}));
    seq.OnTick();  // the start's reply is in, its step not yet handled
    EXPECT_TRUE(seq.SubmitDirect(0x42, step, 7, 100, 130)) << "asked for by the reply";
    Pump();
    EXPECT_EQ(CodesFrom(usb, from), (std::vector<std::uint8_t>{0x41, 0x42}));
    usb.incoming.push_back(Reply(0x42, {0}));
    seq.OnTick();
    EXPECT_TRUE(seq.SubmitDirect(0x43, step, 7, 100, 130));
    Pump();
    EXPECT_EQ(seq.WaitingCodes(), (std::vector<std::uint8_t>{0x09}));
    usb.incoming.push_back(Reply(0x43, {0}));
    Tick();
    EXPECT_EQ(CodesFrom(usb, from), (std::vector<std::uint8_t>{0x41, 0x42, 0x43, 0x09}));
    EXPECT_FALSE(seq.UploadUnderWay());
    EXPECT_EQ(std::vector<std::uint8_t>(host.written.end() - 4, host.written.end()),
              (std::vector<std::uint8_t>{0x41, 0x42, 0x43, 0x09}));

    // No next step: the upload has ended at its step.
    usb.incoming.push_back(Reply(0x09, {0}));
    Tick();
    const std::size_t stalled = usb.sent.size();
    ASSERT_TRUE(seq.SubmitDirect(0x41, step, 7, 100, 130));
    EXPECT_TRUE(seq.SubmitGeneric(0x09, change, 2));
    const int idles = HandledCount(WM_LINK_IDLE);
    usb.incoming.push_back(Reply(0x41, {0}));
    Tick();
    EXPECT_EQ(CodesFrom(usb, stalled), (std::vector<std::uint8_t>{0x41, 0x09}));
    EXPECT_FALSE(seq.UploadUnderWay());
    EXPECT_EQ(HandledCount(WM_LINK_IDLE), idles + 1) << "the Save's busy box closes";

    // Not written: nothing is under way.
    usb.incoming.push_back(Reply(0x09, {0}));
    Tick();
    usb.sendResult = SendResult::kNotSent;
    EXPECT_FALSE(seq.SubmitDirect(0x41, step, 7, 100, 130));
    EXPECT_FALSE(seq.UploadUnderWay());
}

// A command that keeps its turn waits behind those already waiting, also
// when the reply in flight is in and the step that releases them has not
// run yet.
TEST_F(LinkSequencerTest, InOrderCommandSubmittedBeforeTheReleaseGoesLast) {
    ConnectUsb();
    answering = false;
    const std::uint8_t plain[] = {1, 0};
    seq.SubmitGeneric(0x09, plain, 2);
    const std::size_t from = usb.sent.size();
    const std::uint8_t one[] = {1, 0}, two[] = {2, 0}, three[] = {3, 0};
    ASSERT_TRUE(seq.SubmitInOrder(0x01, one, 2));
    ASSERT_TRUE(seq.SubmitInOrder(0x01, two, 2));
    answering = true;
    usb.incoming.push_back(Reply(0x09, {0}));
    seq.OnTick();  // the reply is in; its step is posted, not yet handled
    ASSERT_FALSE(seq.ReplyPending());
    EXPECT_TRUE(seq.SubmitInOrder(0x01, three, 2));
    for (int i = 0; i < 10; ++i) Tick();
    ASSERT_EQ(usb.sent.size(), from + 3);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(usb.sent[from + i][4], static_cast<int>(i) + 1) << i;
}

// Frames built whole and chunk requests that come while a reply is due wait
// in the order they came; none takes another's place.
TEST_F(LinkSequencerTest, DirectFramesAndChunkRequestsWaitInTheOrderSent) {
    const std::uint8_t boost[] = {5, 0, 0, 0, 0}, table[] = {6, 0, 0, 0, 0};
    {
        SCOPED_TRACE("two direct frames behind a change");
        LinkRig t;
        t.ConnectUsb();
        t.answering = false;
        const std::uint8_t plain[] = {1, 0};
        t.seq.SubmitGeneric(0x09, plain, 2);
        const std::size_t from = t.usb.sent.size();
        t.seq.SubmitDirect(0x33, boost, 5, 50, 50);
        t.seq.SubmitDirect(0x47, table, 5, 50, 50);
        EXPECT_EQ(t.seq.Waiting(), 2u);
        t.answering = true;
        t.usb.incoming.push_back(t.Answer(t.usb.sent.back()));
        t.Tick(5);
        EXPECT_EQ(CodesFrom(t.usb, from - 1), (std::vector<std::uint8_t>{0x09, 0x33, 0x47}));
        EXPECT_EQ(t.host.Status(), "OK");
    }
    {
        // The re-read's header is in and the chunk request is posted: the
        // block read runs, and a boost save handled before the chunk request
        // and a learn table after it both wait for its end.
        SCOPED_TRACE("direct frames during the block read");
        LinkRig t;
        t.ConnectUsb();
        const std::size_t from = t.usb.sent.size();
        t.host.block.clear();
        SendPlain(t, 0x3F);
        t.seq.OnTick();
        t.seq.SubmitDirect(0x33, boost, 5, 50, 50);
        t.Pump();
        EXPECT_EQ(t.seq.WaitingCodes(), (std::vector<std::uint8_t>{0x33}));
        t.seq.SubmitDirect(0x47, table, 5, 50, 50);
        for (int i = 0; i < 60 && (t.seq.Waiting() > 0 || t.seq.ReplyPending()); ++i) t.Tick();
        std::vector<std::uint8_t> expected = {0x3F};
        expected.insert(expected.end(), 20, 0x40);
        expected.insert(expected.end(), {0x33, 0x47});
        EXPECT_EQ(CodesFrom(t.usb, from), expected);
        EXPECT_EQ(t.host.block, t.block);
    }
}

// A header re-read already waiting reads the block that a second one would
// read; behind a mode select that waits, the second one reads the new mode.
TEST_F(LinkSequencerTest, HeaderReReadAlreadyWaitingIsNotQueuedAgain) {
    ConnectUsb();
    answering = false;
    const std::uint8_t plain[] = {1, 0}, reread[] = {0, 0}, lock[] = {1, 2, 3, 4, 1, 0},
                       select[] = {4, 0};
    seq.SubmitGeneric(0x09, plain, 2);
    const std::size_t from = usb.sent.size();
    EXPECT_TRUE(seq.SubmitInOrder(0x3F, reread, 2));
    EXPECT_TRUE(seq.SubmitInOrder(0x3F, reread, 2));
    EXPECT_TRUE(seq.SubmitInOrder(0x2B, lock, 6));
    EXPECT_TRUE(seq.SubmitInOrder(0x3F, reread, 2));
    EXPECT_EQ(seq.Waiting(), 2u);
    EXPECT_TRUE(seq.SubmitInOrder(0x01, select, 2));
    EXPECT_TRUE(seq.SubmitInOrder(0x3F, reread, 2));
    EXPECT_EQ(seq.Waiting(), 4u);
    answering = true;
    usb.incoming.push_back(Answer(usb.sent.back()));
    for (int i = 0; i < 150 && (seq.ReplyPending() || seq.Waiting() > 0); ++i) Tick();
    std::vector<std::uint8_t> codes = CodesFrom(usb, from);
    codes.erase(std::remove(codes.begin(), codes.end(), 0x40), codes.end());
    EXPECT_EQ(codes, (std::vector<std::uint8_t>{0x3F, 0x2B, 0x01, 0x3F}));
}

// Each waiting line holds kWaitingLimit requests. One more is not sent and
// the status line says so, in the user's language, until what waited has
// gone out; the next step of a running transfer is taken all the same.
TEST_F(LinkSequencerTest, FullWaitingLineRefusesOneMoreAndSaysSo) {
    struct Case {
        const char* what;
        int language;
        bool direct;
        const char* refused;
    };
    const Case cases[] = {
        {"commands that keep their turn", 0, false, "busy, not sent"},
        {"frames built whole", 0, true, "busy, not sent"},
        {"frames built whole, in Chinese", 1, true, "忙，未发送"},
    };
    constexpr int kLimit = static_cast<int>(LinkSequencer::kWaitingLimit);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LinkRig t;
        t.seq.SetLanguage(c.language);
        t.ConnectUsb();
        t.answering = false;
        const std::uint8_t plain[] = {1, 0};
        t.seq.SubmitGeneric(0x09, plain, 2);
        const std::size_t from = t.usb.sent.size();
        auto waiting = [&] { return t.seq.Waiting(); };
        // The n-th request carries n, so the wire shows which went; true
        // when it was taken.
        auto submit = [&](int n) {
            const std::uint8_t data[] = {static_cast<std::uint8_t>(n), 0, 0, 0, 0};
            const std::size_t before = waiting();
            if (c.direct) {
                t.seq.SubmitDirect(0x33, data, 5, 50, 50);
            } else {
                EXPECT_EQ(t.seq.SubmitInOrder(0x2B, data, 2), n <= kLimit);
            }
            return waiting() > before;
        };
        for (int n = 1; n <= kLimit; ++n) ASSERT_TRUE(submit(n));
        EXPECT_FALSE(submit(kLimit + 1));
        EXPECT_EQ(t.host.Status(), c.refused);
        EXPECT_EQ(waiting(), LinkSequencer::kWaitingLimit);

        t.answering = true;
        t.usb.incoming.push_back(t.Answer(t.usb.sent.back()));
        for (int n = 1; n < kLimit; ++n) {
            t.Tick();
            ASSERT_EQ(t.host.Status(), c.refused) << "after " << n << " went";
        }
        t.Tick(3);
        EXPECT_EQ(t.host.Status(), "OK");
        ASSERT_EQ(t.usb.sent.size(), from + kLimit);
        for (int n = 1; n <= kLimit; ++n)
            EXPECT_EQ(t.usb.sent[from + static_cast<std::size_t>(n) - 1][4], n);
    }

    // A full line still takes the block read's next chunk request, first;
    // a stray upload step is no step of the block read and is refused like
    // any other. The re-read's header is in and its chunk request posted
    // when the boost saves come; they wait for the block read's end.
    {
        SCOPED_TRACE("the block read's chunks");
        LinkRig t;
        t.ConnectUsb();
        t.host.block.clear();
        const std::size_t from = t.usb.sent.size();
        SendPlain(t, 0x3F);
        t.seq.OnTick();
        const std::uint8_t data[] = {0, 0, 0, 0, 0};
        for (int n = 0; n <= kLimit; ++n) t.seq.SubmitDirect(0x33, data, 5, 50, 50);
        EXPECT_EQ(t.host.Status(), "busy, not sent");
        EXPECT_FALSE(t.seq.SubmitDirect(0x43, data, 5, 100, 130));
        t.Pump();
        EXPECT_EQ(t.seq.Waiting(), LinkSequencer::kWaitingLimit);
        for (int i = 0; i < 200 && (t.seq.Waiting() > 0 || t.seq.ReplyPending()); ++i) t.Tick();
        std::vector<std::uint8_t> expected = {0x3F};
        expected.insert(expected.end(), 20, 0x40);
        expected.insert(expected.end(), kLimit, 0x33);
        EXPECT_EQ(CodesFrom(t.usb, from), expected);
        EXPECT_EQ(t.host.block, t.block);
    }
    // And a running upload's next step; a header re-read and a kind switch,
    // which the window cannot take back, are taken past the limit.
    {
        SCOPED_TRACE("the upload's steps, a re-read, a kind switch");
        LinkRig t;
        t.ConnectUsb();
        t.answering = false;
        const std::size_t from = t.usb.sent.size();
        const std::uint8_t step[] = {0x7A, 0x03, 0x11, 0, 0, 0, 0}, lock[] = {1, 2, 3, 4, 1, 0},
                           kind[] = {1, 0};
        ASSERT_TRUE(t.seq.SubmitDirect(0x41, step, 7, 100, 130));
        for (int n = 0; n < kLimit; ++n) ASSERT_TRUE(t.seq.SubmitInOrder(0x2B, lock, 6));
        EXPECT_FALSE(t.seq.SubmitInOrder(0x2B, lock, 6));
        EXPECT_TRUE(t.seq.SubmitInOrder(0x3D, kind, 2));
        EXPECT_TRUE(t.seq.SubmitInOrder(0x3F, kind, 2));
        t.usb.incoming.push_back(Reply(0x41, {0}));
        t.seq.OnTick();
        EXPECT_TRUE(t.seq.SubmitDirect(0x42, step, 7, 100, 130));
        t.Pump();
        t.usb.incoming.push_back(Reply(0x42, {0}));
        t.seq.OnTick();
        EXPECT_TRUE(t.seq.SubmitDirect(0x43, step, 7, 100, 130));
        t.Pump();
        EXPECT_EQ(CodesFrom(t.usb, from), (std::vector<std::uint8_t>{0x41, 0x42, 0x43}));
        EXPECT_EQ(t.seq.Waiting(), LinkSequencer::kWaitingLimit + 2);
    }
}

// A learn retry goes first while no transfer runs; during an upload it is
// no step of the upload's and waits for its end.
TEST_F(LinkSequencerTest, ALearnRetryGoesFirstOnlyOutsideATransfer) {
    ConnectUsb();
    answering = false;
    const std::uint8_t change[] = {7, 0}, retry[] = {5, 2, 0, 0, 0, 0, 0},
                       step[] = {0x7A, 0x03, 0x11, 0, 0, 0, 0};
    LinkRequest request;
    request.code = 0x44;
    request.data = retry;
    request.length = 7;
    request.nextStep = true;
    seq.SubmitGeneric(0x09, change, 2);  // in flight
    seq.SubmitGeneric(0x0A, change, 2);
    EXPECT_TRUE(seq.Submit(request));
    EXPECT_EQ(seq.WaitingCodes(), (std::vector<std::uint8_t>{0x44, 0x0A}));

    usb.incoming.push_back(Reply(0x09, {0}));
    Tick();
    usb.incoming.push_back(Reply(0x44, {0}));
    Tick();
    usb.incoming.push_back(Reply(0x0A, {0}));
    Tick();
    const std::size_t from = usb.sent.size();
    ASSERT_TRUE(seq.SubmitDirect(0x41, step, 7, 100, 130));
    usb.incoming.push_back(Reply(0x41, {0}));
    seq.OnTick();  // the start is answered, its data step not yet asked
    EXPECT_TRUE(seq.Submit(request));
    EXPECT_TRUE(seq.SubmitDirect(0x42, step, 7, 100, 130));
    Pump();
    EXPECT_EQ(seq.WaitingCodes(), (std::vector<std::uint8_t>{0x44}));
    EXPECT_EQ(CodesFrom(usb, from), (std::vector<std::uint8_t>{0x41, 0x42}));
}

TEST_F(LinkSequencerTest, NothingWaitingOutlivesTheLink) {
    struct Case {
        const char* what;
        void (*end)(LinkRig&);
        const char* status;
    };
    const Case cases[] = {
        {"disconnect", [](LinkRig& t) { t.seq.OnConnectButton(); }, "Idle"},
        {"time-out", [](LinkRig& t) { t.Tick(LinkSequencer::kUsbReplyTimeout); }, "failed"},
        {"reader error",
         [](LinkRig& t) {
             t.usb.failPoll = true;
             t.Tick();
         },
         "Idle"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LinkRig t;
        t.ConnectUsb();
        t.answering = false;
        const std::uint8_t a[] = {1, 0}, b[] = {2, 0}, upload[] = {0x7A, 0x03, 0x11, 0, 0, 0, 0};
        t.seq.SubmitGeneric(0x09, a, 2);
        t.seq.SubmitDirect(0x41, upload, 7, 100, 130);  // waits for the reply in flight
        t.seq.SubmitGeneric(0x0A, b, 2);                // and this behind it
        ASSERT_EQ(t.seq.Waiting(), 2u);
        c.end(t);
        t.Pump();
        EXPECT_EQ(t.host.Status(), c.status);
        EXPECT_EQ(t.seq.Waiting(), 0u);
        EXPECT_FALSE(t.seq.UploadUnderWay());

        t.answering = true;
        t.host.block.clear();
        const std::size_t from = t.usb.sent.size();
        t.seq.OnConnectButton();
        t.Pump();
        for (int i = 0; i < 60 && t.host.block.empty(); ++i) t.Tick();
        t.Tick(LinkSequencer::kUsbKeepAlive + 1);
        EXPECT_EQ(CodesFrom(t.usb, from), ConnectThenKeepAlive());
    }
}

TEST_F(LinkSequencerTest, ChangeWhileConnectingIsNeitherSentNorQueued) {
    AutoAnswer(usb);
    const std::uint8_t a[] = {1, 0};
    seq.OnConnectButton();
    EXPECT_FALSE(seq.SubmitGeneric(0x09, a, 2));  // handshake in flight
    EXPECT_EQ(seq.Waiting(), 0u);
    Pump();
    Tick();
    ASSERT_EQ(seq.LinkState(), 2);
    EXPECT_FALSE(seq.SubmitGeneric(0x0A, a, 2));  // header request in flight
    EXPECT_FALSE(seq.SubmitDirect(0x33, a, 2, 50, 50));
    EXPECT_EQ(seq.Waiting(), 0u);
    for (int i = 0; i < 60 && host.block.empty(); ++i) Tick();
    Tick(LinkSequencer::kUsbKeepAlive + 1);
    EXPECT_EQ(CodesFrom(usb, 0), ConnectThenKeepAlive());
}

TEST_F(LinkSequencerTest, ConnectPressedWhileConnectingCancelsCleanly) {
    for (int type : {0, 1}) {
        LinkRig t;
        t.seq.SetLinkType(type);
        FakeTransport& link = type == 0 ? t.usb : t.wifi;
        t.AutoAnswer(link);
        t.answering = false;
        t.seq.OnConnectButton();
        t.Pump();
        t.Tick(3);
        t.seq.OnConnectButton();
        t.Pump();
        SCOPED_TRACE(type);
        t.ExpectIdleAfterFailure("Idle");
        EXPECT_GE(link.closes, 1);
        EXPECT_EQ(t.host.timers.count(TIMER_CONNECT_WATCH), 0u);

        // A later connect starts from nothing and goes through.
        t.answering = true;
        t.seq.OnConnectButton();
        if (type == 1) {
            link.connected = true;
            t.seq.OnConnectWatch();
        }
        t.Pump();
        for (int i = 0; i < 60 && t.host.block.empty(); ++i) t.Tick();
        EXPECT_EQ(t.seq.LinkState(), 3);
        EXPECT_EQ(link.opens, 2);
    }
}

TEST_F(LinkSequencerTest, FailedWriteOrReadWhileConnectedDisconnects) {
    for (int failure : {0, 1}) {
        LinkRig t;
        t.ConnectUsb();
        if (failure == 0) {
            t.usb.sendResult = SendResult::kFailed;
            const std::uint8_t a[] = {1, 0};
            t.seq.SubmitGeneric(0x09, a, 2);
        } else {
            t.answering = false;
            const std::uint8_t a[] = {1, 0};
            t.seq.SubmitGeneric(0x09, a, 2);
            t.usb.failPoll = true;
            t.Tick();
        }
        t.Pump();
        SCOPED_TRACE(failure);
        t.ExpectIdleAfterFailure("Idle");
        EXPECT_EQ(t.host.disconnects, 1);
        EXPECT_EQ(t.usb.opens, 1);
    }
}

TEST_F(LinkSequencerTest, WifiWatchGivesUpAtTheFourthMiss) {
    seq.SetLinkType(1);
    seq.OnConnectButton();
    EXPECT_EQ(wifi.opens, 1);
    EXPECT_EQ(host.timers.at(TIMER_CONNECT_WATCH), 1000);
    for (int i = 0; i < 3; ++i) seq.OnConnectWatch();
    EXPECT_EQ(seq.LinkState(), 1);
    seq.OnConnectWatch();
    Pump();
    ExpectIdleAfterFailure("Open failed");
    EXPECT_EQ(host.timers.count(TIMER_CONNECT_WATCH), 0u);
    EXPECT_GE(wifi.closes, 1);
}

TEST_F(LinkSequencerTest, WifiWatchSendsTheHandshakeOnceConnected) {
    AutoAnswer(wifi);
    seq.SetLinkType(1);
    seq.OnConnectButton();
    Tick(10);  // nothing is awaited before the watch
    EXPECT_TRUE(wifi.sent.empty());
    wifi.connected = true;
    seq.OnConnectWatch();
    EXPECT_EQ(host.timers.count(TIMER_CONNECT_WATCH), 0u);
    ASSERT_EQ(wifi.sent.size(), 1u);
    EXPECT_EQ(seq.ReplyTimeout(), 130);
    EXPECT_EQ(seq.KeepAliveCountdown(), 55);
}

TEST_F(LinkSequencerTest, HandshakeTimeOutOverWifiIs130Ticks) {
    AutoAnswer(wifi);
    answering = false;
    seq.SetLinkType(1);
    seq.OnConnectButton();
    wifi.connected = true;
    seq.OnConnectWatch();
    Tick(129);
    EXPECT_EQ(seq.LinkState(), 1);
    Tick();
    ExpectIdleAfterFailure("Open failed0");
}

TEST_F(LinkSequencerTest, BytesBetweenRequestsWaitForTheNextPoll) {
    ConnectWifi();
    const int polls = wifi.polls;
    wifi.incoming.push_back(Reply(0x77, {0}));
    Tick(5);
    EXPECT_EQ(wifi.polls, polls);  // nothing pending: no poll
    const std::uint8_t a[] = {1, 0};
    seq.SubmitGeneric(0x09, a, 2);
    Tick();
    // The early frame is parsed first and completes the request.
    ASSERT_FALSE(host.replies.empty());
    EXPECT_EQ(host.replies.back(), 0x09);
    EXPECT_EQ(host.replies[host.replies.size() - 2], 0x77);
}

TEST_F(LinkSequencerTest, ReplyHandlerThatClosesTheLinkEndsTheParse) {
    ConnectUsb();
    answering = false;
    host.onReply = [this](const ReplyFrame& f, bool) {
        if (f.code == 0x2C) {
            seq.CloseLink();
            return ReplyOutcome::kLinkClosed;
        }
        return ReplyOutcome::kHandled;
    };
    const std::uint8_t a[] = {1, 0};
    seq.SubmitGeneric(0x2C, a, 2);
    usb.incoming.push_back(Reply(0x2C, {1}));
    usb.incoming.push_back(Reply(0x2B, {1}));
    usb.onePerPoll = false;
    host.replies.clear();
    Tick();
    EXPECT_EQ(host.replies, (std::vector<std::uint8_t>{0x2C}));
}

TEST_F(LinkSequencerTest, LearnRetryIsOneShot) {
    seq.StartLearnRetry();
    EXPECT_EQ(host.timers.at(TIMER_LEARN_RETRY), 16);
    host.learnSlot = 0;
    seq.OnLearnRetry();
    EXPECT_EQ(host.timers.count(TIMER_LEARN_RETRY), 0u);
    EXPECT_EQ(host.Count(WM_SEND_COMMAND), 0);
    seq.StartLearnRetry();
    host.learnSlot = 5;
    seq.OnLearnRetry();
    ASSERT_EQ(host.Count(WM_SEND_COMMAND), 1);
    EXPECT_EQ(host.posted.back().w, 0x44u);
    EXPECT_EQ(host.posted.back().l, 0x205);
}

TEST_F(LinkSequencerTest, ChineseConnectingText) {
    usb.openResult = false;
    seq.SetLanguage(1);
    seq.OnConnectButton();
    EXPECT_EQ(host.statuses.front(), "正在连接...");
    EXPECT_EQ(host.Status(), "Open failed");
}

}  // namespace
