// The reply path fed arbitrary bytes: what the unit (or anything on the
// line) sends goes through the frame parser into the block read and the
// reply decoder, once on their own and once behind a connected-or-connecting
// link sequencer with the command builder answering its steps. Nothing may
// crash, read past a buffer or overflow.
//
// The first input byte picks the start state: the upload under way, the
// learn slot waiting, whether a reply answers the request in flight, the
// link type and the mode kind.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "link/command_builder.h"
#include "link/device_block_read.h"
#include "link/link_host.h"
#include "link/link_sequencer.h"
#include "link/link_transport.h"
#include "link/reply_decoder.h"
#include "link/reply_parser.h"

namespace {

struct Posted {
    unsigned msg;
    WPARAM w;
    LPARAM l;
};

class Host : public LinkHost {
public:
    void PostMessage(unsigned msg, WPARAM w, LPARAM l) override { posted.push_back({msg, w, l}); }
    void SetTimer(int, int) override {}
    void KillTimer(int) override {}
    void ShowStatus(const std::string&) override {}
    void ShowConnectPressed(bool) override {}
    void EnableLinkChoice(bool) override {}
    void OnBlockRead(const DeviceBlockRead& read) override {
        if (decoder) decoder->OnBlockRead(read);
    }
    ReplyOutcome OnReply(const ReplyFrame& reply, bool answersRequest) override {
        return decoder ? decoder->OnReply(reply, answersRequest) : ReplyOutcome::kHandled;
    }
    int LearnSlot() override { return 1; }

    ReplyDecoder* decoder = nullptr;
    std::deque<Posted> posted;
};

// Hands the input out a slice per poll, the slices of varying length (the
// start byte picks the pattern, and whether a frame comes whole) so replies
// arrive whole and split; every send succeeds.
class Transport : public LinkTransport {
public:
    Transport(const std::uint8_t* data, std::size_t size, std::uint8_t mode)
        : data_(data), size_(size), mode_(mode) {}
    bool Open() override { return true; }
    bool IsConnected() const override { return true; }
    SendResult Send(const std::uint8_t*, int) override { return SendResult::kSent; }
    PollResult Poll(std::uint8_t* buffer, int capacity) override {
        PollResult r;
        if (at_ >= size_) return r;
        std::size_t slice = 1 + (polls_++ * 37u + mode_) % 97u;
        // What looks like a whole frame comes in one poll, as a unit sends
        // it, so that a run of good replies can move the link on.
        if (data_[at_] == 0x55 && size_ - at_ >= 3 && !(mode_ & 0x08)) {
            slice = 4u + (data_[at_ + 1] | (data_[at_ + 2] << 8));
        }
        const std::size_t n = std::min({slice, size_ - at_, static_cast<std::size_t>(capacity)});
        for (std::size_t i = 0; i < n; ++i) buffer[i] = data_[at_ + i];
        at_ += n;
        r.count = static_cast<int>(n);
        return r;
    }
    void Close() override {}
    bool Done() const { return at_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::uint8_t mode_;
    std::size_t at_ = 0;
    std::size_t polls_ = 0;
};

void Setup(ParamImage& image, std::uint8_t mode) {
    InitParamImage(image);
    image.LearnSlotIndex = (mode >> 2) % 34;  // 0 none, 33 beyond the table
    image.ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>((mode >> 6) % 3);
}

// Parser, block read and decoder on their own.
void ReplyPath(const std::uint8_t* data, std::size_t size, std::uint8_t mode) {
    ParamImage image;
    Setup(image, mode);
    ModeUpload upload;
    upload.length = (mode & 1) ? 890 : 0;
    upload.offset = (mode & 2) ? 890 : 0;
    ReplyDecoder decoder(image, upload);
    int posts = 0;
    decoder.hooks.post = [&posts](unsigned, WPARAM, LPARAM) { ++posts; };
    decoder.hooks.learnRetry = [] {};
    ReplyParser parser;
    parser.Reset();
    DeviceBlockRead read;
    std::uint8_t request[4];
    const bool answers = (mode & 0x20) != 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (!parser.Feed(data[i])) continue;
        const ReplyFrame f = parser.Frame();
        switch (f.code) {
            case 0x3F:
                if (read.AcceptHeader(f.data, f.dataLength)) read.NextChunkRequest(request);
                break;
            case 0x40:
                switch (read.AcceptChunk(f.data, f.dataLength)) {
                    case DeviceBlockRead::Chunk::kMore:
                        read.NextChunkRequest(request);
                        break;
                    case DeviceBlockRead::Chunk::kComplete:
                        decoder.OnBlockRead(read);
                        break;
                    case DeviceBlockRead::Chunk::kFailed:
                        break;
                }
                break;
            default:
                decoder.OnReply(f, answers);
                break;
        }
    }
}

// The same bytes as the link sees them.
void LinkPath(const std::uint8_t* data, std::size_t size, std::uint8_t mode) {
    ParamImage image;
    Setup(image, mode);
    Host host;
    Transport usb(data, size, mode);
    Transport wifi(data, size, mode);
    LinkSequencer seq(host, usb, wifi);
    CommandBuilder builder(image, seq);
    ReplyDecoder decoder(image, builder.Upload());
    decoder.hooks.post = [&host](unsigned msg, WPARAM w, LPARAM l) { host.PostMessage(msg, w, l); };
    decoder.hooks.learnRetry = [] {};
    host.decoder = &decoder;
    seq.SetLinkType((mode & 0x10) ? LinkSequencer::kWifi : LinkSequencer::kUsb);
    seq.OnConnectButton();
    if (mode & 0x10) seq.OnConnectWatch();
    const Transport& active = (mode & 0x10) ? wifi : usb;
    // Bounded: a tick that polls takes at least one byte of the input.
    for (std::size_t ticks = 0; ticks < size + 2 && !active.Done(); ++ticks) {
        seq.OnTick();
        for (int handled = 0; !host.posted.empty() && handled < 64; ++handled) {
            const Posted p = host.posted.front();
            host.posted.pop_front();
            if (p.msg == WM_LINK_STEP) seq.OnLinkStep(p.w, p.l);
            if (p.msg == WM_SEND_COMMAND) builder.OnSendCommand(static_cast<unsigned>(p.w), p.l);
        }
        host.posted.clear();
        if (seq.LinkState() == 0) break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t mode = data[0];
    ReplyPath(data + 1, size - 1, mode);
    LinkPath(data + 1, size - 1, mode);
    return 0;
}
