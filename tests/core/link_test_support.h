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
#include "link/link_transport.h"

namespace linktest {

using Bytes = std::vector<std::uint8_t>;

// A reply frame built by hand from the byte layout, not by product code.
inline Bytes Reply(std::uint8_t code, const Bytes& data) {
    const int l = static_cast<int>(data.size()) + 1;
    Bytes r = {0x55, static_cast<std::uint8_t>(l & 0xFF), static_cast<std::uint8_t>(l >> 8),
               static_cast<std::uint8_t>(~code)};
    r.insert(r.end(), data.begin(), data.end());
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
    }
    bool OnReply(const ReplyFrame& f) override {
        replies.push_back(f.code);
        return onReply ? onReply(f) : true;
    }
    int LearnSlot() override { return learnSlot; }

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
    std::function<bool(const ReplyFrame&)> onReply;
    int learnSlot = 0;
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

}  // namespace linktest
