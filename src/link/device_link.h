#pragma once
// The device link of the main window: the link sequencer with its two
// transports, running on the host window's message queue and timers. The
// host owns it and forwards to it:
//   OnTimer(id)                     -> OnTimer(id)  (20124, 20127, 20132)
//   WM_LINK_STEP                    -> OnLinkStep(wParam, lParam)
//   WM_SEND_COMMAND 0x40            -> OnSendCommand(code, lParam)
//                                      (the main window's command builder
//                                      sends every code through Commands())
//   button 1001 (via LinkControls)  -> OnConnectButton()
//   WM_DESTROY                      -> OnDestroy()
#include <cstdint>
#include <functional>
#include <string>

#include "model/messages.h"
#include "link/hid_transport.h"
#include "link/link_config.h"
#include "link/link_host.h"
#include "link/link_sequencer.h"
#include "link/tcp_transport.h"

namespace platform {
class Window;
}

class DeviceLink : private LinkHost {
public:
    // What the main window does for the link; each may be left empty.
    struct Hooks {
        std::function<void(const std::string&)> statusText;  // static 1002
        std::function<void(bool)> connectPressed;            // Connect 1001 checked
        std::function<void(bool)> linkChoiceEnabled;         // USB 1817, WIFI 1818
        std::function<void(int)> featureFlag;                // ApplyFeatureFlag
        std::function<void()> linkClosing;                   // stop the calibration walk
        std::function<void()> disconnected;                  // Connect caption, sequence, key lock
        std::function<void(const DeviceBlockRead&)> blockRead;  // unpack the block
        // Every reply but the block read's (LinkHost::OnReply).
        std::function<ReplyOutcome(const ReplyFrame&, bool answersRequest)> reply;
        std::function<int()> learnSlot;
        // A request was written to the unit (LinkHost::OnRequestWritten).
        std::function<void(std::uint8_t code)> requestWritten;
    };

    explicit DeviceLink(platform::Window* host, LinkConfig config = {});
    // Closes the link: the reader thread is joined before the window goes.
    ~DeviceLink() override;

    // Starts the 20 ms link tick on the host.
    void Start();
    // True when id is one of the link's timers.
    bool OnTimer(int id);
    void OnConnectButton() { sequencer_.OnConnectButton(); }
    LRESULT OnLinkStep(WPARAM wParam, LPARAM lParam);
    // The codes whose requests the link builds itself (the block read);
    // false for every other code.
    bool OnSendCommand(unsigned code, LPARAM lParam);
    void OnDestroy();

    // A change keyed by its code, and a frame built whole, by hand.
    bool SendCommand(std::uint8_t code, const std::uint8_t* data, int length) {
        return sequencer_.SubmitGeneric(code, data, length);
    }
    bool SendDirect(std::uint8_t code, const std::uint8_t* data, int length, int usbTimeout,
                    int wifiTimeout) {
        return sequencer_.SubmitDirect(code, data, length, usbTimeout, wifiTimeout);
    }
    void StartLearnRetry() { sequencer_.StartLearnRetry(); }
    int CloseLink() { return sequencer_.CloseLink(); }

    // 0 USB, 1 WiFi.
    void SetLinkType(int type) { sequencer_.SetLinkType(type); }
    int LinkType() const { return sequencer_.LinkType(); }
    void SetLanguage(int language) { sequencer_.SetLanguage(language); }

    int LinkState() const { return sequencer_.LinkState(); }
    bool LinkActive() const { return sequencer_.LinkActive(); }
    bool ReplyPending() const { return sequencer_.ReplyPending(); }
    const LinkSequencer& Sequencer() const { return sequencer_; }
    // The command builder's way to the link.
    CommandLink& Commands() { return sequencer_; }
    const TcpTransport& Tcp() const { return tcp_; }

    Hooks hooks;

private:
    void PostMessage(unsigned msg, WPARAM wParam, LPARAM lParam) override;
    void SetTimer(int id, int intervalMs) override;
    void KillTimer(int id) override;
    void ShowStatus(const std::string& text) override;
    void ShowConnectPressed(bool pressed) override;
    void EnableLinkChoice(bool enabled) override;
    void ApplyFeatureFlag(int flag) override;
    void OnLinkClosing() override;
    void OnDisconnected() override;
    void OnBlockRead(const DeviceBlockRead& read) override;
    ReplyOutcome OnReply(const ReplyFrame& reply, bool answersRequest) override;
    int LearnSlot() override;
    void OnRequestWritten(std::uint8_t code) override;

    platform::Window* host_;
    HidTransport hid_;
    TcpTransport tcp_;
    LinkSequencer sequencer_;
};
