#include "link/link_sequencer.h"

#include <algorithm>
#include <cstring>

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
    if (refused_ && NothingWaiting()) refused_ = false;
    ShowStatus(refused_ ? LinkStatus::kNotSent : status);
}

void LinkSequencer::RefuseRequest() {
    refused_ = true;
    ShowStatus(LinkStatus::kNotSent);
}

bool LinkSequencer::ReReadWaiting() const {
    const auto last =
        std::find_if(in_order_.rbegin(), in_order_.rend(), [](const InOrderCommand& c) {
            return c.code == CMD_READ_HEADER || c.code == CMD_SELECT_MODE;
        });
    return last != in_order_.rend() && last->code == CMD_READ_HEADER;
}

bool LinkSequencer::NothingWaiting() const { return deferred_.empty() && in_order_.empty(); }

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

void LinkSequencer::SubmitGeneric(std::uint8_t code, const std::uint8_t* data, int length) {
    // Not connected, or the block read is about to replace the image: the
    // change stays in the image only. Queued now, it would reach the unit
    // after the block read and leave it playing what no page shows.
    if (state_ != kConnected || block_read_.InProgress()) {
        DropQueuedCommand();
        return;
    }
    if (length < 0 || length > kCommandDataCapacity) return;
    if (length > 0) std::memcpy(command_data_.data(), data, static_cast<std::size_t>(length));
    command_data_length_ = length;
    if (reply_pending_) {
        queued_command_ = code;
        return;
    }
    ShowProgress(LinkStatus::kCommunicating);
    expected_reply_code_ = code;
    queued_command_ = 0;
    SendFromState(code, command_data_.data(), command_data_length_);
}

bool LinkSequencer::SubmitInOrder(std::uint8_t code, const std::uint8_t* data, int length) {
    // Not connected: nothing to keep it for. During the block read it waits
    // like any other request and goes out after it.
    if (state_ != kConnected || length < 0 || length > kCommandDataCapacity) return false;
    if (reply_pending_ || !in_order_.empty()) {
        // One header re-read brings the whole block: a second one would read
        // the same block again, unless a mode select waits between them.
        if (code == CMD_READ_HEADER && ReReadWaiting()) return true;
        if (in_order_.size() >= kWaitingLimit) {
            RefuseRequest();
            return false;
        }
        InOrderCommand& waiting = in_order_.emplace_back();
        waiting.code = code;
        if (length > 0) std::memcpy(waiting.data.data(), data, static_cast<std::size_t>(length));
        waiting.length = length;
        return true;
    }
    ShowProgress(LinkStatus::kCommunicating);
    expected_reply_code_ = code;
    SendFromState(code, data, length);
    // Out and awaiting its reply; not when nothing went out or the failed
    // write dropped the link.
    return reply_pending_;
}

void LinkSequencer::SubmitDirect(std::uint8_t code, const std::uint8_t* data, int length,
                                 int usbTimeout, int wifiTimeout) {
    if (state_ < kConnecting) {
        DropQueuedCommand();
        return;
    }
    if (length < 0 || length > CommandFrame::kMaxN - 1) return;
    if (deferred_.size() >= kWaitingLimit && !IsNextTransferStep(code)) {
        RefuseRequest();
        return;
    }
    DropQueuedCommand();
    SendOrDefer(code, data, length, usbTimeout, wifiTimeout);
}

void LinkSequencer::SubmitBlockChunkRequest() {
    // Only a block read under way asks for a chunk: a stray request would
    // ask for nothing, and its reply would fail the block.
    if (state_ < kConnecting || !block_read_.InProgress()) return;
    std::uint8_t payload[5] = {};  // offset, count, one pad byte
    block_read_.NextChunkRequest(payload);
    // Not through CommandData: a command the user queued meanwhile stays
    // queued and goes out after the block read.
    if (!reply_pending_) ShowProgress(LinkStatus::kCommunicating);
    SendOrDefer(CMD_READ_BLOCK, payload, sizeof payload, 0, 0);
}

// A frame that must not wait behind the one-slot queue; timeouts of 0 keep
// the send's own reply time-out.
void LinkSequencer::SendOrDefer(std::uint8_t code, const std::uint8_t* data, int length,
                                int usbTimeout, int wifiTimeout) {
    // One request in flight: the frame waits, behind those that came before
    // it. Also once the reply is in and before its step has released them;
    // only a running transfer's next step goes at once then, as the block
    // read goes before anything that waits.
    if (reply_pending_ || (!deferred_.empty() && !IsNextTransferStep(code))) {
        DeferredDirect& waiting = deferred_.emplace_back();
        waiting.code = code;
        waiting.data.assign(data, data + length);
        waiting.usbTimeout = usbTimeout;
        waiting.wifiTimeout = wifiTimeout;
        return;
    }
    SendDirectFrame(code, data, length, usbTimeout, wifiTimeout);
}

void LinkSequencer::SendDirectFrame(std::uint8_t code, const std::uint8_t* data, int length,
                                    int usbTimeout, int wifiTimeout) {
    expected_reply_code_ = code;
    if (SendFromState(code, data, length) && reply_pending_) {
        const int timeout = link_type_ == kWifi ? wifiTimeout : usbTimeout;
        if (timeout > 0) reply_timeout_ = timeout;
    }
}

void LinkSequencer::DropQueuedCommand() {
    queued_command_ = 0;
    command_data_.fill(0);
    command_data_length_ = 0;
}

// Nothing that waited for one link goes out on the next.
void LinkSequencer::ForgetWaitingRequests() {
    DropQueuedCommand();
    deferred_.clear();
    in_order_.clear();
    refused_ = false;
}

void LinkSequencer::ReleaseQueue() {
    // The block read asks for its next chunk before this step runs; what
    // waits goes once that reply is in too. A frame that could not be
    // written leaves nothing in flight: the next one goes now rather than
    // wait for a step that no reply will bring.
    while (!reply_pending_ && state_ == kConnected && ReleaseNext()) {
    }
}

bool LinkSequencer::ReleaseNext() {
    if (!deferred_.empty()) {
        const DeferredDirect next = std::move(deferred_.front());
        deferred_.pop_front();
        SendDirectFrame(next.code, next.data.data(), static_cast<int>(next.data.size()),
                        next.usbTimeout, next.wifiTimeout);
        return true;
    }
    if (!in_order_.empty()) {
        const InOrderCommand next = in_order_.front();
        in_order_.pop_front();
        expected_reply_code_ = 0;
        SendFromState(next.code, next.data.data(), next.length);
        return true;
    }
    if (queued_command_ == 0) return false;
    const auto code = static_cast<std::uint8_t>(queued_command_ & 0xFF);
    queued_command_ = 0;
    expected_reply_code_ = 0;
    SendFromState(code, command_data_.data(), command_data_length_);
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
    }
    host_.PostMessage(WM_LINK_STEP, kStepDone, kStepDoneArg);
    return true;
}

bool LinkSequencer::OnHeaderReply(const ReplyFrame& reply) {
    if (!block_read_.AcceptHeader(reply.data, reply.dataLength)) {
        ConnectFailure(LinkStatus::kOpenFailed1);
        return false;
    }
    // The block replaces the image: a change queued before it would undo
    // what the pages are about to show.
    DropQueuedCommand();
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
