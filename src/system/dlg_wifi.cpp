#include "system/dlg_wifi.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <utility>

#include "eq/dialog_units.h"
#include "link/command_codes.h"
#include "model/ui_text.h"
#include "platform/controls.h"
#include "platform/prompts.h"
#include "platform/tcp_client.h"
#include "platform/text.h"
#include "platform/text_fit.h"
#include "system/link_query.h"
#include "system/wifi_frames.h"

namespace {

// The dialog's layout in dialog units. The station rows are hidden: the unit
// is set up as an access point only.
constexpr int kClientWidth = 210;
constexpr int kClientHeight = 98;

enum class Kind { kLabel, kEdit, kButton };
struct Item {
    int id;
    Kind kind;
    int x, y, width, height;
    bool shown;
    const char* caption[kLanguageCount];
};
constexpr Item kItems[] = {
    // Captioned by its state (kConnectCaption).
    {CDlgWifi::kConnectId, Kind::kButton, 10, 8, 80, 16, true, {}},
    {CDlgWifi::kApNameLabelId, Kind::kLabel, 10, 34, 62, 10, true, {"AP Name", "AP名称"}},
    {CDlgWifi::kApNameEditId, Kind::kEdit, 76, 32, 124, 14, true, {}},
    {CDlgWifi::kApPasswordLabelId, Kind::kLabel, 10, 54, 62, 10, true, {"AP Password", "AP密码"}},
    {CDlgWifi::kApPasswordEditId, Kind::kEdit, 76, 52, 124, 14, true, {}},
    {CDlgWifi::kSetApId, Kind::kButton, 76, 74, 52, 16, true, {"Set AP", "设置AP"}},
    {CDlgWifi::kRestoreId, Kind::kButton, 132, 74, 68, 16, true, {"Restore Wifi", "恢复出厂设置"}},
    {CDlgWifi::kStaNameLabelId, Kind::kLabel, 10, 102, 62, 10, false, {"STA Name", "STA名称"}},
    {CDlgWifi::kStaNameEditId, Kind::kEdit, 76, 100, 124, 14, false, {}},
    {CDlgWifi::kStaPasswordLabelId,
     Kind::kLabel,
     10,
     122,
     62,
     10,
     false,
     {"STA Password", "STA密码"}},
    {CDlgWifi::kStaPasswordEditId, Kind::kEdit, 76, 120, 124, 14, false, {}},
    {CDlgWifi::kSetStaId, Kind::kButton, 76, 142, 52, 16, false, {"Set Sta", "设置Sta"}},
};

constexpr const char* kTitle[kLanguageCount] = {"WIFI Setting", "WIFI模块设置"};
constexpr const char* kConnectCaption[2][kLanguageCount] = {{"Connect", "连接"},
                                                            {"Disconnect", "断开连接"}};
constexpr const char* kRestoreQuestion[kLanguageCount] = {"Confirm restore Wifi?",
                                                          "确定恢复出厂设置?"};
// The module's buttons, usable only while connected (Restore goes over the
// device link, but is disabled with the others when the module drops).
constexpr std::array<int, 3> kConnectedButtons = {CDlgWifi::kSetApId, CDlgWifi::kSetStaId,
                                                  CDlgWifi::kRestoreId};
// One read from the module takes at most this many bytes.
constexpr int kReceiveCapacity = 8192;

}  // namespace

CDlgWifi::CDlgWifi(platform::Window* owner, int language, const LinkConfig& link)
    : platform::Dialog(owner),
      owner_(owner),
      language_(language == kLanguageChinese ? kLanguageChinese : kLanguageEnglish),
      address_(link.tcpAddress),
      port_(link.wifiModulePort) {
    setObjectName("CDlgWifi");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(DluX(kClientWidth), DluY(kClientHeight));
    setWindowTitle(QString::fromUtf8(kTitle[language_]));
    BuildControls();
    ShowConnected(false);
    EnableItem(kRestoreId, true);
}

CDlgWifi::~CDlgWifi() {
    if (owner_) owner_->PostMessage(WM_SEND_COMMAND, CMD_WIFI_MODULE, 0);
    socket_.reset();
}

void CDlgWifi::BuildControls() {
    for (const Item& item : kItems) {
        QWidget* control = nullptr;
        switch (item.kind) {
            case Kind::kLabel:
                control = new QLabel(this);
                break;
            case Kind::kEdit: {
                auto* edit = new QLineEdit(this);
                platform::AcceptOnlyGbk(edit);
                platform::SetFreeText(edit);
                control = edit;
                break;
            }
            case Kind::kButton: {
                auto* button = new QPushButton(this);
                button->setAutoDefault(false);
                control = button;
                break;
            }
        }
        control->setGeometry(DluRect(item.x, item.y, item.width, item.height));
        control->setVisible(item.shown);
        AddControl(item.id, control);
        if (item.caption[language_]) SetItemText(item.id, item.caption[language_]);
    }
    const auto onClick = [this](int id, void (CDlgWifi::*handler)()) {
        platform::OnUserClick(ControlAs<QPushButton>(id), [this, handler] { (this->*handler)(); });
    };
    platform::SetWidestTexts(ControlAs<QPushButton>(kConnectId),
                             {kConnectCaption[0][language_], kConnectCaption[1][language_]});
    onClick(kConnectId, &CDlgWifi::OnConnectButton);
    onClick(kSetApId, &CDlgWifi::OnSetAp);
    onClick(kSetStaId, &CDlgWifi::OnSetSta);
    onClick(kRestoreId, &CDlgWifi::OnRestoreWifi);
}

int CDlgWifi::DoModal() {
    SetTimer(TIMER_WIFI, kTickMs);
    const int result = RunModal();
    KillTimer(TIMER_WIFI);
    return result;
}

void CDlgWifi::ShowConnected(bool connected) {
    for (int id : kConnectedButtons) EnableItem(id, connected);
    SetItemText(kConnectId, kConnectCaption[connected ? 1 : 0][language_]);
}

// Every press while not connected starts on a fresh socket: an attempt still
// under way, or one the module refused, is dropped with the old one, so it
// never stands in the way of this one. While connected the button reads
// Disconnect and does so.
void CDlgWifi::OnConnectButton() {
    if (connected_) {
        Disconnect();
        return;
    }
    silence_ = 0;
    socket_ = std::make_unique<platform::TcpClient>();
    socket_->onConnect = [this](int error) { OnSocketConnected(error); };
    socket_->onReceive = [this] { OnSocketReceive(); };
    socket_->Connect(address_, port_);
}

void CDlgWifi::OnSocketConnected(int error) {
    // A refused or failed attempt shows nothing; the user presses Connect
    // again.
    if (error != 0) return;
    connected_ = true;
    silence_ = 0;
    // A setting sent on an earlier connection gets no reply on this one.
    pending_ = 0;
    ShowConnected(true);
}

// The module closing its end is noticed by the silence rule alone. The
// socket is closed here and replaced on the next Connect: a tick may come
// from a box's loop inside one of its notifications.
void CDlgWifi::Disconnect() {
    connected_ = false;
    pending_ = 0;
    socket_->Close();
    ShowConnected(false);
}

void CDlgWifi::OnTimer(int id) {
    if (id != TIMER_WIFI || !connected_) return;
    if (silence_ < kSilenceMax) ++silence_;
    if (silence_ > kSilentTicksAllowed) {
        Disconnect();
        return;
    }
    if (pending_ == 0)
        socket_->Send(kWifiKeepAliveFrame.data(), static_cast<int>(kWifiKeepAliveFrame.size()));
}

void CDlgWifi::OnSocketReceive() {
    std::array<std::uint8_t, kReceiveCapacity> in;
    const int count = socket_->Receive(in.data(), static_cast<int>(in.size()));
    if (count <= 0) return;
    silence_ = 0;
    const std::optional<WifiReplyFrame> reply =
        ParseWifiReply(in.data(), static_cast<std::size_t>(count));
    if (!reply || pending_ == 0 || reply->command != pending_) return;
    pending_ = 0;
    // Shown once this notification has returned: the socket reports no more
    // data while one of its notifications runs, so a box opened in here
    // would leave the module's keep-alive answers unread, and the connection
    // dropped, for as long as the box stays up.
    QMetaObject::invokeMethod(
        this, [this, text = std::string(WifiReplyText(*reply, language_))] { Message(text); },
        Qt::QueuedConnection);
}

void CDlgWifi::OnSetAp() { SendSetting(WIFI_CMD_SET_AP, kApNameEditId, kApPasswordEditId); }

void CDlgWifi::OnSetSta() { SendSetting(WIFI_CMD_SET_STA, kStaNameEditId, kStaPasswordEditId); }

void CDlgWifi::SendSetting(std::uint8_t command, int nameEditId, int passwordEditId) {
    // The checks count the GBK bytes that go out, so no field is cut.
    const std::string name = platform::Utf8ToGbk(ItemText(nameEditId));
    const std::string password = platform::Utf8ToGbk(ItemText(passwordEditId));
    const WifiFieldCheck check = CheckWifiFields(command, name, password);
    if (check != WifiFieldCheck::kOk) {
        Message(WifiCheckText(check, language_));
        return;
    }
    if (!connected_) return;
    pending_ = command;
    const WifiSetFrame frame =
        command == WIFI_CMD_SET_AP ? WifiApFrame(name, password) : WifiStaFrame(name, password);
    socket_->Send(frame.data(), static_cast<int>(frame.size()));
}

// The restore goes to the unit over the main window's link: with that link
// closed the question is not asked, as no answer to it could do anything.
void CDlgWifi::OnRestoreWifi() {
    if (!ConnectedOrSaySo(this, linkConnected_, language_, "")) return;
    if (platform::MessageBox(this, kRestoreQuestion[language_], "", platform::MbType::YesNo) !=
        IDYES)
        return;
    if (owner_) owner_->PostMessage(WM_SEND_COMMAND, CMD_WIFI_MODULE, 1);
}

void CDlgWifi::Message(const std::string& text) {
    platform::MessageBox(this, text, "", platform::MbType::Ok);
}

int RunWifiSetup(platform::Window* owner, int language, const LinkConfig& link,
                 LinkQuery linkConnected) {
    CDlgWifi dlg(owner, language, link);
    dlg.SetLinkQuery(std::move(linkConnected));
    return dlg.DoModal();
}
