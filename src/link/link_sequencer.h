#pragma once
// The state machine of the connection to the unit. It runs on the UI
// thread: the Connect button starts and ends a connection, the 20 ms link
// tick polls for replies, counts reply time-outs and sends the keep-alive,
// and WM_LINK_STEP moves the connect sequence on and releases the one-slot
// queue. Exactly one request is in flight at a time.
#include <array>
#include <cstdint>
#include <deque>
#include <vector>

#include "link/command_frame.h"
#include "link/command_link.h"
#include "link/device_block_read.h"
#include "link/link_host.h"
#include "link/link_status.h"
#include "link/link_transport.h"
#include "link/reply_parser.h"

class LinkSequencer : public CommandLink {
public:
    enum State { kIdle = 0, kConnecting = 1, kHeaderRequested = 2, kConnected = 3 };
    enum Type { kUsb = 0, kWifi = 1 };

    // Link ticks of 20 ms.
    static constexpr int kUsbReplyTimeout = 70;
    static constexpr int kWifiReplyTimeout = 130;
    static constexpr int kUsbKeepAlive = 50;
    static constexpr int kWifiKeepAlive = 55;
    static constexpr int kConnectWatchMs = 1000;
    static constexpr int kConnectWatchMisses = 4;
    static constexpr int kLearnRetryMs = 16;
    // The longest generic data field (the logo record and its pad).
    static constexpr int kCommandDataCapacity = 64;
    // How many frames may wait behind the reply in flight, in each of the
    // two waiting lines (frames built whole, commands that keep their turn).
    // Far above what a user's clicks pile up within one reply time-out; it
    // only bounds a unit that has stopped answering.
    static constexpr std::size_t kWaitingLimit = 32;

    LinkSequencer(LinkHost& host, LinkTransport& usb, LinkTransport& wifi);

    void SetLinkType(int type) { link_type_ = type == kWifi ? kWifi : kUsb; }
    int LinkType() const { return link_type_; }
    void SetLanguage(int language) { language_ = language; }

    // Connect 1001: connects when idle, cancels a connect in progress, and
    // disconnects when connected.
    void OnConnectButton();
    // TIMER_LINK_TICK.
    void OnTick();
    // TIMER_CONNECT_WATCH.
    void OnConnectWatch();
    // TIMER_LEARN_RETRY: one-shot; asks the unit again for the pending slot.
    void OnLearnRetry();
    void StartLearnRetry();
    // WM_LINK_STEP: wParam 3 the request succeeded, anything else it failed.
    void OnLinkStep(WPARAM wParam, LPARAM lParam);
    // Closes the link; 1 when one was active.
    int CloseLink();

    // A generic command of the command builder: data is the CommandData
    // (payload and pad) the frame carries. Sent now, or queued while a reply
    // is pending; a later command replaces a queued one.
    void SubmitGeneric(std::uint8_t code, const std::uint8_t* data, int length) override;
    // A generic command that a later one must not replace: sent now, or it
    // waits behind the commands of its kind already waiting. A header
    // re-read is not queued again while one waits with no mode select
    // behind it. The waiting ones go when the link closes, as the queue
    // does. False, with "busy, not sent" in the status line, when
    // kWaitingLimit commands wait already.
    bool SubmitInOrder(std::uint8_t code, const std::uint8_t* data, int length) override;
    // A frame built whole by the builder (mode upload, boost save, learn
    // table), with its own reply time-outs. It drops a queued command and
    // goes out at once, or waits behind the frames of its kind already
    // waiting. Refused, with "busy, not sent" in the status line, when
    // kWaitingLimit frames wait already; the next step of a running mode
    // upload is never refused.
    void SubmitDirect(std::uint8_t code, const std::uint8_t* data, int length, int usbTimeout,
                      int wifiTimeout) override;
    // WM_SEND_COMMAND 0x40: the next chunk request of the block read. It
    // waits like a direct frame but is never refused.
    void SubmitBlockChunkRequest() override;
    // The one-slot queue and the payload kept for it go.
    void DropQueuedCommand() override;

    int LinkState() const override { return state_; }
    bool LinkActive() const { return link_active_; }
    bool ReplyPending() const { return reply_pending_; }
    int ReplyTimeout() const { return reply_timeout_; }
    int KeepAliveCountdown() const { return keep_alive_; }
    int QueuedCommand() const { return queued_command_; }
    std::size_t InOrderWaiting() const { return in_order_.size(); }
    std::size_t DirectWaiting() const { return deferred_.size(); }
    std::uint8_t ExpectedReplyCode() const { return expected_reply_code_; }
    const DeviceBlockRead& BlockRead() const { return block_read_; }

private:
    LinkTransport& Transport() { return link_type_ == kWifi ? wifi_ : usb_; }
    void ShowStatus(LinkStatus status);
    void ShowProgress(LinkStatus status);
    SendResult SendFrame(std::uint8_t code, const std::uint8_t* data, int length);
    bool SendFromState(std::uint8_t code, const std::uint8_t* data, int length);
    void OnSendFailed();
    void SendOrDefer(std::uint8_t code, const std::uint8_t* data, int length, int usbTimeout,
                     int wifiTimeout);
    void SendDirectFrame(std::uint8_t code, const std::uint8_t* data, int length, int usbTimeout,
                         int wifiTimeout);
    // Tells the user that a request was refused because too many wait.
    void RefuseRequest();
    bool NothingWaiting() const;
    // A header re-read waits with no mode select behind it.
    bool ReReadWaiting() const;
    void ReleaseQueue();
    // Sends the first request that waits; false when none waits.
    bool ReleaseNext();
    void ForgetWaitingRequests();
    void StartConnect();
    void ConnectFailure(LinkStatus status);
    void Disconnect(bool showIdle);
    // Returns false when the link was closed while parsing.
    bool ParseDeviceInput();
    bool HandleReply(const ReplyFrame& reply);
    bool OnHeaderReply(const ReplyFrame& reply);
    bool OnChunkReply(const ReplyFrame& reply);
    void OnReadFailed();

    LinkHost& host_;
    LinkTransport& usb_;
    LinkTransport& wifi_;

    int link_type_ = kUsb;
    int language_ = 0;
    int state_ = kIdle;
    bool link_active_ = false;
    bool reply_pending_ = false;
    int reply_timeout_ = 0;
    int keep_alive_ = kUsbKeepAlive;
    std::uint8_t expected_reply_code_ = 0;
    // The code of the frame in flight: only its reply may feed the block read.
    std::uint8_t sent_code_ = 0;
    int watch_misses_ = 0;

    // The one-slot queue: the code of the latest generic command that came
    // while a reply was pending; its payload stays in CommandData.
    int queued_command_ = 0;
    std::array<std::uint8_t, kCommandDataCapacity> command_data_{};
    int command_data_length_ = 0;

    // Direct frames and block read requests that came while a reply was
    // pending, oldest first; they go before the in-order commands and the
    // queued command.
    struct DeferredDirect {
        std::uint8_t code = 0;
        std::vector<std::uint8_t> data;
        int usbTimeout = 0;
        int wifiTimeout = 0;
    };
    std::deque<DeferredDirect> deferred_;

    // Generic commands of SubmitInOrder that came while a reply was pending,
    // oldest first; released after a deferred frame, before the queue.
    struct InOrderCommand {
        std::uint8_t code = 0;
        std::array<std::uint8_t, kCommandDataCapacity> data{};
        int length = 0;
    };
    std::deque<InOrderCommand> in_order_;
    // A request was refused for the waiting lines being full: the status
    // line keeps saying so until everything that waited has gone out.
    bool refused_ = false;

    CommandFrame frame_;
    ReplyParser parser_;
    std::array<std::uint8_t, 2048> receive_{};
    DeviceBlockRead block_read_;
};
