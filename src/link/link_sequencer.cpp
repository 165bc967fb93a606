#include "link/link_sequencer.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "link/command_codes.h"

namespace {

// The requests of the block read (a header re-read and its chunks) and of
// the mode upload.
bool IsTransferStep(std::uint8_t code) {
    switch (code) {
        case CMD_READ_HEADER:
        case CMD_READ_BLOCK:
        case CMD_MODE_UPLOAD_START:
        case CMD_MODE_UPLOAD_DATA:
        case CMD_MODE_UPLOAD_END:
            return true;
        default:
            return false;
    }
}

// The next step of a running transfer, asked for by the reply to the last
// one: at most one of each waits at a time, and refusing it would stall the
// transfer.
bool IsNextTransferStep(std::uint8_t code) {
    return code == CMD_READ_BLOCK || code == CMD_MODE_UPLOAD_DATA || code == CMD_MODE_UPLOAD_END;
}

// WM_LINK_STEP parameters: (3, 4) a request completed, (1, 2) it timed out.
constexpr WPARAM kStepDone = 3;
constexpr LPARAM kStepDoneArg = 4;
constexpr WPARAM kStepTimedOut = 1;
constexpr LPARAM kStepTimedOutArg = 2;

}  // namespace

LinkSequencer::LinkSequencer(LinkHost& host, LinkTransport& usb, LinkTransport& wifi)
    : host_(host), usb_(usb), wifi_(wifi) {}

void LinkSequencer::ShowStatus(LinkStatus status) {
    host_.ShowStatus(LinkStatusText(status, language_));
}

// "OK" and "communicating" give way to a refusal until every request that
// waited then has gone out: replaced by the next reply's "OK" at once, the
// refusal would pass unseen.
void LinkSequencer::ShowProgress(LinkStatus status) {
    // A change refused for the block read due stays refused in words until
    // the pages show the block.
    if (refused_ && NothingWaiting() && !BlockReadDue()) refused_ = false;
    ShowStatus(refused_ ? LinkStatus::kNotSent : status);
}

void LinkSequencer::RefuseRequest() {
    refused_ = true;
    ShowStatus(LinkStatus::kNotSent);
}

bool LinkSequencer::ReReadWaiting() const {
    const auto last = std::find_if(line_.rbegin(), line_.rend(), [](const WaitingRequest& w) {
        return w.code == CMD_READ_HEADER || w.code == CMD_SELECT_MODE;
    });
    return last != line_.rend() && last->code == CMD_READ_HEADER;
}

bool LinkSequencer::BlockReadDue() const {
    if (block_read_.InProgress() || reread_due_) return true;
    auto replacesImage = [](std::uint8_t code) {
        return code == CMD_SELECT_MODE || code == CMD_READ_HEADER;
    };
    if (reply_pending_ && replacesImage(sent_code_)) return true;
    return std::any_of(line_.begin(), line_.end(),
                       [&](const WaitingRequest& w) { return replacesImage(w.code); });
}

bool LinkSequencer::TransferRunning() const {
    return block_read_.InProgress() || upload_ == Upload::kRunning;
}

bool LinkSequencer::StepOfRunningTransfer(std::uint8_t code) const {
    if (block_read_.InProgress()) return code == CMD_READ_BLOCK;
    return upload_ == Upload::kRunning &&
           (code == CMD_MODE_UPLOAD_DATA || code == CMD_MODE_UPLOAD_END);
}

std::vector<std::uint8_t> LinkSequencer::WaitingCodes() const {
    std::vector<std::uint8_t> codes;
    for (const WaitingRequest& w : line_) codes.push_back(w.code);
    return codes;
}

// --- sending ---------------------------------------------------------------

SendResult LinkSequencer::SendFrame(std::uint8_t code, const std::uint8_t* data, int length) {
    const int size = frame_.Build(code, data, length);
    keep_alive_ = link_type_ == kWifi ? kWifiKeepAlive : kUsbKeepAlive;
    if (size == 0) return SendResult::kNotSent;
    const SendResult result = Transport().Send(frame_.Bytes(), size);
    if (result == SendResult::kSent) {
        reply_pending_ = true;
        reply_timeout_ = link_type_ == kWifi ? kWifiReplyTimeout : kUsbReplyTimeout;
        parser_.Reset();
        sent_code_ = code;
    }
    return result;
}

// Sends and deals with a failed write here, after the transport has
// returned: never a new connect attempt from inside the send. Returns false
// when the link was dropped.
bool LinkSequencer::SendFromState(std::uint8_t code, const std::uint8_t* data, int length) {
    if (SendFrame(code, data, length) != SendResult::kFailed) return true;
    OnSendFailed();
    return false;
}

void LinkSequencer::OnSendFailed() {
    if (state_ >= kConnected) {
        Disconnect(true);
    } else if (state_ != kIdle) {
        ConnectFailure(LinkStatus::kOpenFailed);
    }
}

bool LinkSequencer::Submit(const LinkRequest& r) {
    // Not connected: nothing to keep it for; the change stays in the image.
    if (state_ != kConnected || r.length < 0 || r.length > CommandFrame::kMaxN - 1 ||
        (r.length > 0 && r.data == nullptr)) {
        return false;
    }
    // The block about to come replaces the image: sent after it, the value
    // would leave the unit playing what no page shows. The pages show the
    // block once it is in; until then the status line says it was not sent.
    if (r.fromImage && BlockReadDue()) {
        RefuseRequest();
        return false;
    }
    if (r.code == CMD_READ_HEADER) {
        reread_due_ = false;
        // One header re-read brings the whole block: a second one would read
        // the same block again, unless a mode select waits between them.
        if (ReReadWaiting()) return true;
    }
    WaitingRequest w;
    w.code = r.code;
    if (r.length > 0) w.data.assign(r.data, r.data + r.length);
    w.key = r.key;
    w.fromImage = r.fromImage;
    // A next step goes first only into its own transfer: a learn retry
    // during the block read or an upload waits for its end like any other.
    w.nextStep = r.nextStep && (!TransferRunning() || StepOfRunningTransfer(r.code));
    w.builtWhole = r.builtWhole;
    w.usbTimeout = r.usbTimeout;
    w.wifiTimeout = r.wifiTimeout;

    if (w.nextStep) {
        // Asked for by the reply to the last step, before that reply's step
        // releases what waits: it goes now, or first once the request in
        // flight is answered.
        if (!reply_pending_) return SendRequest(w, false);
        line_.push_front(std::move(w));
        return true;
    }
    if (!reply_pending_ && line_.empty() && !TransferRunning()) return SendRequest(w, false);
    if (r.key != LinkRequest::kKeepsItsTurn) {
        // The newest value of a waiting change goes last, behind everything
        // that waited before it was made, and the older one leaves the line:
        // two controls' frames can carry the same byte, and the unit must end
        // on the value set last. Not past a request that keeps its turn, as a
        // mode select or a kind switch: the two values are for two states of
        // the unit, and both go.
        const auto older =
            std::find_if(line_.rbegin(), line_.rend(), [&](const WaitingRequest& waiting) {
                return waiting.key == r.key || waiting.key == LinkRequest::kKeepsItsTurn;
            });
        if (older != line_.rend() && older->key == r.key) {
            line_.erase(std::next(older).base());
            line_.push_back(std::move(w));
            return true;
        }
    }
    // The line's limit: not for a header re-read, which the window cannot
    // take back (the block read would never come; at most one waits behind
    // each mode select), nor for a kind switch, which the window has laid
    // out already.
    if (LineFull() && r.code != CMD_READ_HEADER && r.code != CMD_SYSTEM_MODE) {
        RefuseRequest();
        return false;
    }
    if (r.code == CMD_MODE_UPLOAD_START) upload_ = Upload::kTaken;
    line_.push_back(std::move(w));
    return true;
}

namespace {

LinkRequest RequestOf(std::uint8_t code, const std::uint8_t* data, int length) {
    LinkRequest r;
    r.code = code;
    r.data = data;
    r.length = length;
    return r;
}

}  // namespace

bool LinkSequencer::SubmitGeneric(std::uint8_t code, const std::uint8_t* data, int length) {
    LinkRequest r = RequestOf(code, data, length);
    r.key = ChangeKey(code);
    r.fromImage = true;
    return Submit(r);
}

bool LinkSequencer::SubmitInOrder(std::uint8_t code, const std::uint8_t* data, int length) {
    return Submit(RequestOf(code, data, length));
}

bool LinkSequencer::SubmitDirect(std::uint8_t code, const std::uint8_t* data, int length,
                                 int usbTimeout, int wifiTimeout) {
    LinkRequest r = RequestOf(code, data, length);
    r.nextStep = IsNextTransferStep(code);
    r.builtWhole = true;
    r.usbTimeout = usbTimeout;
    r.wifiTimeout = wifiTimeout;
    return Submit(r);
}

void LinkSequencer::SubmitBlockChunkRequest() {
    // Only a block read under way asks for a chunk: a stray request would
    // ask for nothing, and its reply would fail the block. The first one
    // goes while the link is still in LinkState 2.
    if (state_ < kHeaderRequested || !block_read_.InProgress()) return;
    std::uint8_t payload[5] = {};  // offset, count, one pad byte
    block_read_.NextChunkRequest(payload);
    WaitingRequest w;
    w.code = CMD_READ_BLOCK;
    w.data.assign(payload, payload + sizeof payload);
    w.nextStep = true;
    if (!reply_pending_) {
        SendRequest(w, false);
    } else {
        line_.push_front(std::move(w));
    }
}

bool LinkSequencer::SendRequest(const WaitingRequest& w, bool fromLine) {
    // A generic request sent as it comes says so; one released by a step
    // follows that step's "OK".
    if (!w.builtWhole && !fromLine) ShowProgress(LinkStatus::kCommunicating);
    expected_reply_code_ = fromLine && !w.builtWhole ? 0 : w.code;
    const bool written =
        SendFromState(w.code, w.data.data(), static_cast<int>(w.data.size())) && reply_pending_;
    if (w.code == CMD_MODE_UPLOAD_START) upload_ = written ? Upload::kRunning : Upload::kNone;
    if (!written) return false;
    const int timeout = link_type_ == kWifi ? w.wifiTimeout : w.usbTimeout;
    if (timeout > 0) reply_timeout_ = timeout;
    host_.OnRequestWritten(w.code);
    return true;
}

// Nothing that waited for one link goes out on the next.
void LinkSequencer::ForgetWaitingRequests() {
    line_.clear();
    refused_ = false;
    upload_ = Upload::kNone;
    reread_due_ = false;
}

void LinkSequencer::ReleaseQueue() {
    // A frame that could not be written leaves nothing in flight: the next
    // one goes now rather than wait for a step that no reply will bring.
    while (!reply_pending_ && state_ == kConnected && ReleaseNext()) {
    }
}

bool LinkSequencer::ReleaseNext() {
    if (line_.empty()) return false;
    // A running transfer's steps follow each other with nothing between.
    if (TransferRunning() && !line_.front().nextStep) return false;
    const WaitingRequest next = std::move(line_.front());
    line_.pop_front();
    SendRequest(next, true);
    return true;
}

// --- connect and close -----------------------------------------------------

void LinkSequencer::OnConnectButton() {
    if (state_ >= kConnected) {
        Disconnect(true);
    } else if (state_ != kIdle) {
        // Pressed again while connecting: the attempt is given up whole, so
        // that the next one starts from a closed device.
        ConnectFailure(LinkStatus::kIdle);
    } else {
        StartConnect();
    }
}

void LinkSequencer::StartConnect() {
    host_.PostMessage(WM_LINK_BUSY, 0, 0);
    host_.EnableLinkChoice(false);
    host_.ShowConnectPressed(true);
    ShowStatus(LinkStatus::kConnecting);
    state_ = kConnecting;
    reply_pending_ = false;
    ForgetWaitingRequests();
    if (link_type_ == kUsb) {
        if (!usb_.Open()) {
            ConnectFailure(LinkStatus::kOpenFailed);
            return;
        }
        link_active_ = true;
        expected_reply_code_ = CMD_HANDSHAKE;
        if (SendFrame(CMD_HANDSHAKE, nullptr, 0) != SendResult::kSent) {
            ConnectFailure(LinkStatus::kOpenFailed);
        }
        return;
    }
    watch_misses_ = 0;
    link_active_ = true;
    wifi_.Open();
    host_.SetTimer(TIMER_CONNECT_WATCH, kConnectWatchMs);
}

void LinkSequencer::OnConnectWatch() {
    if (state_ != kConnecting || link_type_ != kWifi) {
        host_.KillTimer(TIMER_CONNECT_WATCH);
        return;
    }
    if (wifi_.IsConnected()) {
        host_.KillTimer(TIMER_CONNECT_WATCH);
        link_active_ = true;
        expected_reply_code_ = CMD_HANDSHAKE;
        if (SendFrame(CMD_HANDSHAKE, nullptr, 0) != SendResult::kSent) {
            ConnectFailure(LinkStatus::kOpenFailed);
        }
        return;
    }
    if (++watch_misses_ >= kConnectWatchMisses) ConnectFailure(LinkStatus::kOpenFailed);
}

// Every way back to idle from a connect attempt or a failed check: the link
// is closed first, then the status, the buttons and the busy box.
void LinkSequencer::ConnectFailure(LinkStatus status) {
    host_.PostMessage(WM_LINK_IDLE, 0, 0);
    CloseLink();
    // A check that fails once connected (a chunk, the block checksum, a
    // re-read header) drops a connected link: its clean-up runs as for a
    // disconnect, so no device sequence or key lock outlives the link.
    if (state_ >= kConnected) {
        host_.OnDisconnected();
        keep_alive_ = 0;
    }
    state_ = kIdle;
    reply_pending_ = false;
    ShowStatus(status);
    host_.ShowConnectPressed(false);
    host_.EnableLinkChoice(true);
}

void LinkSequencer::Disconnect(bool showIdle) {
    host_.PostMessage(WM_LINK_IDLE, 0, 0);
    CloseLink();
    host_.OnDisconnected();
    keep_alive_ = 0;
    state_ = kIdle;
    reply_pending_ = false;
    if (showIdle) ShowStatus(LinkStatus::kIdle);
    host_.ShowConnectPressed(false);
    host_.EnableLinkChoice(true);
}

int LinkSequencer::CloseLink() {
    host_.OnLinkClosing();
    host_.KillTimer(TIMER_CONNECT_WATCH);
    ForgetWaitingRequests();
    wifi_.Close();
    // Closed whether or not the link counts as active: no handle or reader
    // outlives a close.
    usb_.Close();
    if (!link_active_) return 0;
    link_active_ = false;
    return 1;
}

// --- tick and steps --------------------------------------------------------

void LinkSequencer::OnTick() {
    switch (state_) {
        case kConnecting:
            if (!reply_pending_ || reply_timeout_ <= 0) return;
            if (!ParseDeviceInput() || state_ != kConnecting) return;
            // Counted after the parse whatever it found: a handshake reply on
            // the last tick still ends the attempt.
            if (--reply_timeout_ == 0) ConnectFailure(LinkStatus::kOpenFailed0);
            return;
        case kHeaderRequested:
            if (!ParseDeviceInput() || state_ != kHeaderRequested) return;
            if (reply_pending_ && reply_timeout_ > 0 && --reply_timeout_ == 0) {
                ConnectFailure(LinkStatus::kOpenFailed1);
            }
            return;
        case kConnected:
            if (reply_pending_ && reply_timeout_ > 0 && --reply_timeout_ == 0) {
                reply_pending_ = false;
                host_.PostMessage(WM_LINK_STEP, kStepTimedOut, kStepTimedOutArg);
            }
            if (reply_pending_ && (!ParseDeviceInput() || state_ != kConnected)) return;
            if (!reply_pending_ && keep_alive_ > 0 && --keep_alive_ == 0) {
                expected_reply_code_ = CMD_HANDSHAKE;
                SendFromState(CMD_HANDSHAKE, nullptr, 0);
            }
            return;
        default:
            return;
    }
}

void LinkSequencer::OnLinkStep(WPARAM wParam, LPARAM) {
    if (state_ >= kConnected) {
        if (wParam == kStepDone) {
            ShowProgress(LinkStatus::kOk);
        } else {
            // The link is lost: "failed" stays in the status line.
            ShowStatus(LinkStatus::kFailed);
            Disconnect(false);
        }
    }
    switch (state_) {
        case kConnecting:
            state_ = kHeaderRequested;
            expected_reply_code_ = CMD_READ_HEADER;
            if (SendFrame(CMD_READ_HEADER, nullptr, 0) != SendResult::kSent) {
                ConnectFailure(LinkStatus::kOpenFailed);
            }
            break;
        case kHeaderRequested:
            if (wParam == kStepDone) {
                state_ = kConnected;
                ShowStatus(LinkStatus::kConnected);
                host_.ShowConnectPressed(true);
            }
            break;
        case kConnected:
            // The reply to an upload step asks for the next one before its
            // step comes here; an upload with none in flight now has ended
            // short of its end (its record could not be carried on), and
            // what waits for it goes.
            if (upload_ == Upload::kRunning && !reply_pending_) {
                upload_ = Upload::kNone;
                // No end will close the busy box of the Save.
                host_.PostMessage(WM_LINK_IDLE, 0, 0);
            }
            ReleaseQueue();
            break;
        default:
            break;
    }
}

void LinkSequencer::StartLearnRetry() { host_.SetTimer(TIMER_LEARN_RETRY, kLearnRetryMs); }

void LinkSequencer::OnLearnRetry() {
    host_.KillTimer(TIMER_LEARN_RETRY);
    const int slot = host_.LearnSlot();
    if (slot != 0) {
        host_.PostMessage(WM_SEND_COMMAND, CMD_LEARN, static_cast<LPARAM>(slot | 0x200));
    }
}

// --- replies ---------------------------------------------------------------

bool LinkSequencer::ParseDeviceInput() {
    if (!link_active_) return true;
    const PollResult polled = Transport().Poll(receive_.data(), static_cast<int>(receive_.size()));
    if (polled.failed) {
        OnReadFailed();
        return false;
    }
    for (int i = 0; i < polled.count; ++i) {
        if (parser_.Feed(receive_[static_cast<std::size_t>(i)]) && !HandleReply(parser_.Frame())) {
            return false;
        }
    }
    return true;
}

void LinkSequencer::OnReadFailed() {
    // The reader gave up (no report in time) or the device is gone.
    switch (state_) {
        case kConnecting:
            ConnectFailure(LinkStatus::kOpenFailed0);
            break;
        case kHeaderRequested:
            ConnectFailure(LinkStatus::kOpenFailed1);
            break;
        default:
            Disconnect(true);
            break;
    }
}

bool LinkSequencer::HandleReply(const ReplyFrame& reply) {
    // Only the reply to the request in flight may move the block read: a
    // duplicate or late frame must not restart or shift it.
    const bool answersRequest = reply_pending_ && reply.code == sent_code_;
    switch (reply.code) {
        case CMD_READ_HEADER:
            if (answersRequest && !OnHeaderReply(reply)) return false;
            break;
        case CMD_READ_BLOCK:
            if (answersRequest && !OnChunkReply(reply)) return false;
            break;
        default:
            // The window asks for the header re-read when it has the answer
            // of a mode select: until then the block read is due.
            if (reply.code == CMD_SELECT_MODE && state_ == kConnected) reread_due_ = true;
            switch (host_.OnReply(reply, answersRequest)) {
                case ReplyOutcome::kHandled:
                    break;
                case ReplyOutcome::kMalformed:
                    // Dropped whole: it completes nothing, so the request
                    // runs into its time-out. A connect does not wait for
                    // that.
                    if (state_ == kConnecting || state_ == kHeaderRequested) {
                        ConnectFailure(LinkStatus::kOpenFailed1);
                        return false;
                    }
                    return true;
                case ReplyOutcome::kLinkClosed:
                    return false;
            }
            if (!link_active_) return false;
            break;
    }
    // Completion. A frame that comes when nothing is in flight completes
    // nothing, so a duplicated reply cannot advance the sequence twice.
    if (!reply_pending_) return true;
    if (state_ == kConnecting || state_ == kHeaderRequested) {
        if (reply.code != expected_reply_code_) return true;
        reply_pending_ = false;
        if (reply.code == CMD_HANDSHAKE) {
            if (reply.dataLength < 5 || reply.data[3] != DEVICE_TYPE_ID) {
                ConnectFailure(LinkStatus::kOpenFailed1);
                return false;
            }
            host_.ApplyFeatureFlag(reply.data[4] != 0 ? 1 : 0);
        }
    } else {
        // A transfer moves on only with the reply to its own step: an
        // unasked frame completing a chunk request would leave the block
        // read waiting for a chunk nobody asked for.
        if (IsTransferStep(sent_code_) && reply.code != sent_code_) return true;
        reply_pending_ = false;
        if (sent_code_ == CMD_MODE_UPLOAD_END) upload_ = Upload::kNone;
    }
    host_.PostMessage(WM_LINK_STEP, kStepDone, kStepDoneArg);
    return true;
}

bool LinkSequencer::OnHeaderReply(const ReplyFrame& reply) {
    if (!block_read_.AcceptHeader(reply.data, reply.dataLength)) {
        ConnectFailure(LinkStatus::kOpenFailed1);
        return false;
    }
    // No change built from the image waits behind the re-read: none was
    // taken while it was due.
    host_.PostMessage(WM_SEND_COMMAND, CMD_READ_BLOCK, 0);
    return true;
}

bool LinkSequencer::OnChunkReply(const ReplyFrame& reply) {
    switch (block_read_.AcceptChunk(reply.data, reply.dataLength)) {
        case DeviceBlockRead::Chunk::kMore:
            host_.PostMessage(WM_SEND_COMMAND, CMD_READ_BLOCK, 0);
            return true;
        case DeviceBlockRead::Chunk::kComplete:
            host_.OnBlockRead(block_read_);
            host_.PostMessage(WM_REFRESH_PAGES, 0, 0);
            host_.PostMessage(WM_LINK_IDLE, 0, 0);
            return true;
        case DeviceBlockRead::Chunk::kFailed:
            break;
    }
    ConnectFailure(LinkStatus::kOpenFailed1);
    return false;
}
