#pragma once
// The state machine of the connection to the unit. It runs on the UI
// thread: the Connect button starts and ends a connection, the 20 ms link
// tick polls for replies, counts reply time-outs and sends the keep-alive,
// and WM_LINK_STEP moves the connect sequence on and releases the line of
// waiting requests. Exactly one request is in flight at a time.
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
    // How many requests may wait behind the reply in flight. Far above what
    // a user's clicks pile up within one reply time-out (a newer change
    // replaces its older one); it only bounds a unit that has stopped
    // answering.
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

    // Every request of the command builder. While a reply is pending, a
    // transfer runs (a mode upload, the block read) or others wait, it waits
    // in one line and goes in the order handed over; a running transfer's
    // next step goes first. A change whose key a waiting change has goes
    // last, after everything that waited before it was made, and the older
    // one leaves the line; unless a request that keeps its turn waits
    // behind the older one, which then stays where it is.
    // Refused (false), with "busy, not sent" in the status line, when
    // kWaitingLimit requests wait already; a next step is always taken. A
    // request built from the image is not taken while the block read is due
    // (also refused with "busy, not sent"): the block brings the unit's own
    // values, which the pages then show.
    bool Submit(const LinkRequest& request) override;
    // The same for the kinds the tests and the window use by hand: a change
    // keyed by its code alone, a generic request that keeps its turn, and a
    // frame built whole.
    bool SubmitGeneric(std::uint8_t code, const std::uint8_t* data, int length);
    bool SubmitInOrder(std::uint8_t code, const std::uint8_t* data, int length);
    bool SubmitDirect(std::uint8_t code, const std::uint8_t* data, int length, int usbTimeout,
                      int wifiTimeout);
    // WM_SEND_COMMAND 0x40: the next chunk request of the block read, a
    // next step like any other.
    void SubmitBlockChunkRequest() override;
    bool UploadUnderWay() const override { return upload_ != Upload::kNone; }
    bool LineFull() const override { return line_.size() >= kWaitingLimit; }
    bool BlockReadDue() const override;

    int LinkState() const override { return state_; }
    bool LinkActive() const { return link_active_; }
    bool ReplyPending() const { return reply_pending_; }
    int ReplyTimeout() const { return reply_timeout_; }
    int KeepAliveCountdown() const { return keep_alive_; }
    // The requests waiting, and their codes, oldest first.
    std::size_t Waiting() const { return line_.size(); }
    std::vector<std::uint8_t> WaitingCodes() const;
    std::uint8_t ExpectedReplyCode() const { return expected_reply_code_; }
    const DeviceBlockRead& BlockRead() const { return block_read_; }

private:
    LinkTransport& Transport() { return link_type_ == kWifi ? wifi_ : usb_; }
    void ShowStatus(LinkStatus status);
    void ShowProgress(LinkStatus status);
    SendResult SendFrame(std::uint8_t code, const std::uint8_t* data, int length);
    bool SendFromState(std::uint8_t code, const std::uint8_t* data, int length);
    void OnSendFailed();
    struct WaitingRequest;
    // Sends a request now; false when nothing went out.
    bool SendRequest(const WaitingRequest& request, bool fromLine);
    // Tells the user that a request was refused because too many wait.
    void RefuseRequest();
    bool NothingWaiting() const { return line_.empty(); }
    // A header re-read waits with no mode select behind it.
    bool ReReadWaiting() const;
    // A transfer runs whose steps nothing may come between.
    bool TransferRunning() const;
    // The code is the next step of the transfer that runs.
    bool StepOfRunningTransfer(std::uint8_t code) const;
    void ReleaseQueue();
    // Sends the first request that may go; false when none may.
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

    // The requests that came while they could not go, oldest first; a
    // running transfer's next step is put at the front.
    struct WaitingRequest {
        std::uint8_t code = 0;
        std::vector<std::uint8_t> data;
        std::uint32_t key = LinkRequest::kKeepsItsTurn;
        bool fromImage = false;
        bool nextStep = false;
        bool builtWhole = false;
        int usbTimeout = 0;
        int wifiTimeout = 0;
    };
    std::deque<WaitingRequest> line_;
    // A request was refused for the line being full: the status line keeps
    // saying so until everything that waited has gone out.
    bool refused_ = false;
    // The mode upload: its start taken (waiting or sent), then running from
    // the start's write until the reply to its end.
    enum class Upload { kNone, kTaken, kRunning };
    Upload upload_ = Upload::kNone;
    // A mode select has been answered, and the window has yet to ask for
    // the header re-read that its answer brings.
    bool reread_due_ = false;

    CommandFrame frame_;
    ReplyParser parser_;
    std::array<std::uint8_t, 2048> receive_{};
    DeviceBlockRead block_read_;
};
