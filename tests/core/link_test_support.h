#pragma once
// Fakes for the link sequencer's tests: a host that records what the
// sequencer shows and posts, and a transport the test answers by hand.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "link/device_block_read.h"
#include "link/link_host.h"
#include "link/link_sequencer.h"
#include "link/link_transport.h"

namespace linktest {

using Bytes = std::vector<std::uint8_t>;

// A reply frame built by hand from the byte layout, not by product code.
inline Bytes Reply(std::uint8_t code, const Bytes& data) {
    const int l = static_cast<int>(data.size()) + 1;
    Bytes r;
    r.reserve(data.size() + 5);
    r.push_back(0x55);
    r.push_back(static_cast<std::uint8_t>(l & 0xFF));
    r.push_back(static_cast<std::uint8_t>(l >> 8));
    r.push_back(static_cast<std::uint8_t>(~code));
    for (std::uint8_t b : data) r.push_back(b);
    std::uint8_t sum = 0;
    for (std::size_t i = 1; i < r.size(); ++i) sum = static_cast<std::uint8_t>(sum + r[i]);
    r.push_back(static_cast<std::uint8_t>(-sum));
    return r;
}

struct Posted {
    unsigned msg;
    WPARAM w;
    LPARAM l;
};

class FakeHost : public LinkHost {
public:
    void PostMessage(unsigned msg, WPARAM w, LPARAM l) override { posted.push_back({msg, w, l}); }
    void SetTimer(int id, int ms) override { timers[id] = ms; }
    void KillTimer(int id) override { timers.erase(id); }
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }
    void ShowConnectPressed(bool p) override { pressed = p; }
    void EnableLinkChoice(bool e) override { choiceEnabled = e; }
    void ApplyFeatureFlag(int f) override { featureFlags.push_back(f); }
    void OnLinkClosing() override { ++closings; }
    void OnDisconnected() override { ++disconnects; }
    void OnBlockRead(const DeviceBlockRead& r) override {
        block.assign(r.Block(), r.Block() + r.Length());
        if (onBlockRead) onBlockRead(r);
    }
    ReplyOutcome OnReply(const ReplyFrame& f, bool answersRequest) override {
        replies.push_back(f.code);
        return onReply ? onReply(f, answersRequest) : ReplyOutcome::kHandled;
    }
    int LearnSlot() override { return learnSlot; }
    void OnRequestWritten(std::uint8_t code) override {
        written.push_back(code);
        if (onWritten) onWritten(code);
    }

    std::string Status() const { return statuses.empty() ? "" : statuses.back(); }
    int Count(unsigned msg) const {
        int n = 0;
        for (const Posted& p : posted) n += p.msg == msg;
        return n;
    }

    std::deque<Posted> posted;
    std::map<int, int> timers;
    std::vector<std::string> statuses;
    bool pressed = false;
    bool choiceEnabled = true;
    std::vector<int> featureFlags;
    int closings = 0;
    int disconnects = 0;
    Bytes block;
    std::vector<std::uint8_t> replies;
    std::function<ReplyOutcome(const ReplyFrame&, bool answersRequest)> onReply;
    std::function<void(const DeviceBlockRead&)> onBlockRead;
    int learnSlot = 0;
    std::vector<std::uint8_t> written;
    std::function<void(std::uint8_t)> onWritten;
};

class FakeTransport : public LinkTransport {
public:
    bool Open() override {
        ++opens;
        return openResult;
    }
    bool IsConnected() const override { return connected; }
    SendResult Send(const std::uint8_t* frame, int size) override {
        if (sendResult != SendResult::kSent) return sendResult;
        sent.emplace_back(frame, frame + size);
        if (onSend) onSend(sent.back());
        return SendResult::kSent;
    }
    PollResult Poll(std::uint8_t* buffer, int capacity) override {
        ++polls;
        PollResult r;
        if (failPoll) {
            failPoll = false;
            r.failed = true;
            return r;
        }
        while (!incoming.empty() &&
               r.count + static_cast<int>(incoming.front().size()) <= capacity) {
            for (std::uint8_t b : incoming.front()) buffer[r.count++] = b;
            incoming.pop_front();
            if (onePerPoll) break;
        }
        return r;
    }
    void Close() override { ++closes; }

    // The code of the n-th sent frame, counted from the end (0 the last).
    std::uint8_t SentCode(std::size_t fromEnd = 0) const {
        return sent[sent.size() - 1 - fromEnd][3];
    }

    bool openResult = true;
    bool connected = false;
    SendResult sendResult = SendResult::kSent;
    std::vector<Bytes> sent;
    std::deque<Bytes> incoming;
    std::function<void(const Bytes&)> onSend;
    bool failPoll = false;
    bool onePerPoll = false;
    int opens = 0;
    int closes = 0;
    int polls = 0;
};

constexpr int kBlockLength = 1131;

// Everything a sequencer case needs: a host, two transports, a unit that
// answers from its block; table cases make one each.
struct LinkRig {
    LinkRig() {
        block.resize(kBlockLength);
        for (int i = 0; i < kBlockLength; ++i)
            block[i] = static_cast<std::uint8_t>(i * 5 + i / 256);
    }

    // What a healthy unit answers to a frame.
    Bytes Answer(const Bytes& frame) const {
        const std::uint8_t code = frame[3];
        switch (code) {
            case 0x1C:
                return Reply(code, {0, 0, 0, deviceType, featureFlag});
            case 0x3F: {
                std::uint8_t sum = 0;
                for (std::uint8_t b : block) sum = static_cast<std::uint8_t>(sum + b);
                Bytes d = header;
                d.push_back(static_cast<std::uint8_t>(statedLength & 0xFF));
                d.push_back(static_cast<std::uint8_t>(statedLength >> 8));
                d.push_back(static_cast<std::uint8_t>(-sum));
                return Reply(code, d);
            }
            case 0x40: {
                const int offset = frame[4] | (frame[5] << 8);
                const int count = frame[6] | (frame[7] << 8);
                return Reply(code, Bytes(block.begin() + offset, block.begin() + offset + count));
            }
            default:
                return Reply(code, {0});
        }
    }

    void AutoAnswer(FakeTransport& t) {
        t.onSend = [this, &t](const Bytes& f) {
            if (answering) t.incoming.push_back(Answer(f));
        };
    }

    // Hands the posted messages to the sequencer as the host window does;
    // onPosted sees each one first (a test's own WM_SEND_COMMAND handling).
    void Pump() {
        while (!host.posted.empty()) {
            const Posted p = host.posted.front();
            host.posted.pop_front();
            handled.push_back(p);
            if (onPosted && onPosted(p)) continue;
            if (p.msg == WM_LINK_STEP) seq.OnLinkStep(p.w, p.l);
            if (p.msg == WM_SEND_COMMAND && p.w == 0x40) seq.SubmitBlockChunkRequest();
        }
    }

    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            seq.OnTick();
            Pump();
        }
    }

    int HandledCount(unsigned msg) const {
        int n = 0;
        for (const Posted& p : handled) n += p.msg == msg;
        return n;
    }

    // Connects over USB and runs the block read to its end.
    void ConnectUsb() {
        AutoAnswer(usb);
        seq.OnConnectButton();
        Pump();
        for (int i = 0; i < 200 && host.block.empty(); ++i) Tick();
        ASSERT_EQ(seq.LinkState(), 3);
        ASSERT_FALSE(host.block.empty());
    }

    void ConnectWifi() {
        AutoAnswer(wifi);
        seq.SetLinkType(1);
        seq.OnConnectButton();
        wifi.connected = true;
        seq.OnConnectWatch();
        Pump();
        for (int i = 0; i < 200 && host.block.empty(); ++i) Tick();
        ASSERT_EQ(seq.LinkState(), 3);
    }

    void ExpectIdleAfterFailure(const std::string& status) {
        EXPECT_EQ(host.Status(), status);
        EXPECT_EQ(seq.LinkState(), 0);
        EXPECT_FALSE(seq.ReplyPending());
        EXPECT_FALSE(seq.LinkActive());
        EXPECT_FALSE(host.pressed);
        EXPECT_TRUE(host.choiceEnabled);
        EXPECT_GE(HandledCount(WM_LINK_IDLE), 1);
    }

    FakeHost host;
    FakeTransport usb;
    FakeTransport wifi;
    LinkSequencer seq{host, usb, wifi};
    Bytes block;
    std::vector<Posted> handled;
    std::uint8_t deviceType = 0x13;
    std::uint8_t featureFlag = 1;
    bool answering = true;
    // The block header the unit reports, and the block length it states.
    Bytes header = {0, 0x13, 1, 3, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    int statedLength = kBlockLength;
    // Returns true when it handled the message itself.
    std::function<bool(const Posted&)> onPosted;
};

}  // namespace linktest
