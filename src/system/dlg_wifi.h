#pragma once
// The WiFi module set-up: a modal dialog that talks to the unit's WiFi module
// over a TCP connection of its own (not the device link) to give it a new
// access-point name and password, or a station name and password. Its
// Restore button instead asks the unit, over the device link, to restore the
// module's factory settings; closing the dialog tells the unit it is closed.
// Both go to the main window as WM_SEND_COMMAND 55 (argument 1 and 0). The
// restore is refused in words while the main window's link is not connected.
//
// While connected, timer 20133 ticks every second: a keep-alive goes out when
// no setting waits for its reply, and four ticks without a byte from the
// module drop the connection.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "link/link_config.h"
#include "platform/window.h"
#include "system/link_query.h"

namespace platform {
class TcpClient;
}

class CDlgWifi : public platform::Dialog {
    Q_OBJECT
public:
    static constexpr int kConnectId = 1545;
    static constexpr int kSetApId = 1546;
    static constexpr int kSetStaId = 1547;
    static constexpr int kRestoreId = 1548;
    static constexpr int kApNameLabelId = 1990;
    static constexpr int kApPasswordLabelId = 1991;
    static constexpr int kApNameEditId = 1992;
    static constexpr int kApPasswordEditId = 1993;
    static constexpr int kStaNameLabelId = 1994;
    static constexpr int kStaPasswordLabelId = 1995;
    static constexpr int kStaNameEditId = 1996;
    static constexpr int kStaPasswordEditId = 1997;

    static constexpr int kTickMs = 1000;
    // Seconds without a byte from the module, counted up to this.
    static constexpr int kSilenceMax = 10;
    // More silent ticks than this drop the connection.
    static constexpr int kSilentTicksAllowed = 3;

    // owner: the main window (gets WM_SEND_COMMAND 55); language: 0 English,
    // 1 Chinese; link: the unit's address, and the module's port.
    CDlgWifi(platform::Window* owner, int language, const LinkConfig& link);
    // Whether the main window's link is connected, asked before a restore;
    // without one it never is.
    void SetLinkQuery(LinkQuery connected) { linkConnected_ = std::move(connected); }
    // Closing: tells the unit the dialog is closed, then drops the module.
    ~CDlgWifi() override;

    // Starts the tick and runs the dialog until it is closed.
    int DoModal();

    // Timer 20133.
    void OnTimer(int id) override;

    bool Connected() const { return connected_; }
    // The setting waiting for its reply: 0 none, else the AP or STA command.
    int PendingCommand() const { return pending_; }
    int Silence() const { return silence_; }

private:
    void BuildControls();
    void OnConnectButton();
    void OnSocketConnected(int error);
    void OnSocketReceive();
    void OnSetAp();
    void OnSetSta();
    void OnRestoreWifi();
    void SendSetting(std::uint8_t command, int nameEditId, int passwordEditId);
    void ShowConnected(bool connected);
    void Disconnect();
    void Message(const std::string& text);

    QPointer<platform::Window> owner_;
    LinkQuery linkConnected_;
    std::unique_ptr<platform::TcpClient> socket_;
    int language_;
    int pending_ = 0;
    int silence_ = 0;
    bool connected_ = false;
    std::string address_;
    std::uint16_t port_;
};

// The system page's WiFi button: runs the set-up over owner (the main window)
// in the page's language with the main window's link settings and its link
// query, until the user closes it.
int RunWifiSetup(platform::Window* owner, int language, const LinkConfig& link,
                 LinkQuery linkConnected);
