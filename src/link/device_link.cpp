#include "link/device_link.h"

#include "link/command_codes.h"
#include "platform/window.h"

namespace {
constexpr int kLinkTickMs = 20;
}

DeviceLink::DeviceLink(platform::Window* host, LinkConfig config)
    : host_(host),
      hid_(config.hidVendorId, config.hidProductId),
      tcp_(config.tcpAddress, config.tcpPort),
      sequencer_(*this, hid_, tcp_) {}

DeviceLink::~DeviceLink() {
    // The host's pages may be gone already: nothing is called back now.
    hooks = Hooks{};
    OnDestroy();
    if (host_) host_->KillTimer(TIMER_LINK_TICK);
}

void DeviceLink::Start() { host_->SetTimer(TIMER_LINK_TICK, kLinkTickMs); }

bool DeviceLink::OnTimer(int id) {
    switch (id) {
        case TIMER_LINK_TICK:
            sequencer_.OnTick();
            return true;
        case TIMER_CONNECT_WATCH:
            sequencer_.OnConnectWatch();
            return true;
        case TIMER_LEARN_RETRY:
            sequencer_.OnLearnRetry();
            return true;
        default:
            return false;
    }
}

LRESULT DeviceLink::OnLinkStep(WPARAM wParam, LPARAM lParam) {
    sequencer_.OnLinkStep(wParam, lParam);
    return 0;
}

bool DeviceLink::OnSendCommand(unsigned code, LPARAM) {
    if (code != CMD_READ_BLOCK) return false;
    sequencer_.SubmitBlockChunkRequest();
    return true;
}

void DeviceLink::OnDestroy() {
    // Closes the socket and joins the reader whether or not a link counts
    // as active.
    sequencer_.CloseLink();
}

void DeviceLink::PostMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
    host_->PostMessage(msg, wParam, lParam);
}

void DeviceLink::SetTimer(int id, int intervalMs) { host_->SetTimer(id, intervalMs); }
void DeviceLink::KillTimer(int id) { host_->KillTimer(id); }

void DeviceLink::ShowStatus(const std::string& text) {
    if (hooks.statusText) hooks.statusText(text);
}
void DeviceLink::ShowConnectPressed(bool pressed) {
    if (hooks.connectPressed) hooks.connectPressed(pressed);
}
void DeviceLink::EnableLinkChoice(bool enabled) {
    if (hooks.linkChoiceEnabled) hooks.linkChoiceEnabled(enabled);
}
void DeviceLink::ApplyFeatureFlag(int flag) {
    if (hooks.featureFlag) hooks.featureFlag(flag);
}
void DeviceLink::OnLinkClosing() {
    if (hooks.linkClosing) hooks.linkClosing();
}
void DeviceLink::OnDisconnected() {
    if (hooks.disconnected) hooks.disconnected();
}
void DeviceLink::OnBlockRead(const DeviceBlockRead& read) {
    if (hooks.blockRead) hooks.blockRead(read);
}
ReplyOutcome DeviceLink::OnReply(const ReplyFrame& reply, bool answersRequest) {
    return hooks.reply ? hooks.reply(reply, answersRequest) : ReplyOutcome::kHandled;
}
int DeviceLink::LearnSlot() { return hooks.learnSlot ? hooks.learnSlot() : 0; }
void DeviceLink::OnRequestWritten(std::uint8_t code) {
    if (hooks.requestWritten) hooks.requestWritten(code);
}
