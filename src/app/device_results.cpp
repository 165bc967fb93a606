#include "app/device_results.h"

#include <algorithm>
#include <cstdint>

#include "link/command_codes.h"
#include "model/messages.h"

namespace {

constexpr int kStatusOk = 1;

// Texts by kind: English and Chinese, accepted and refused (none: the kind
// shows its one text whatever the status). Eight blanks on each side are part of them.
struct ResultText {
    int kind;
    const char* ok[2];
    const char* refused[2];
};

constexpr const char* kPasswordError[2] = {"        Password error        ",
                                           "        密码错误        "};
constexpr const char* kSavedOk[2] = {"        Saved OK        ", "        存储成功        "};

constexpr ResultText kResultTexts[] = {
    {RESULT_LOCK_KEY,
     {"        Modify Lockkey OK        ", "        更改成功        "},
     {kPasswordError[0], kPasswordError[1]}},
    {RESULT_LOCK_PASSWORD,
     {"        Modify lockkey password OK        ", "        更改成功        "},
     {kPasswordError[0], kPasswordError[1]}},
    {RESULT_ADMIN_MODE,
     {"        Modify Admin mode OK        ", "        更改成功        "},
     {kPasswordError[0], kPasswordError[1]}},
    {RESULT_ADMIN_PASSWORD,
     {"        Modify admin password OK        ", "        更改成功        "},
     {kPasswordError[0], kPasswordError[1]}},
    // These show their text whatever the status.
    {RESULT_SAVED, {kSavedOk[0], kSavedOk[1]}, {}},
    {RESULT_BOOST_SAVED, {kSavedOk[0], kSavedOk[1]}, {}},
    {RESULT_RESET_ALL, {"        Reset all OK        ", "        清除所有模式成功        "}, {}},
    {RESULT_LOGO_SET, {"        Set Logo OK        ", "        设置Logo成功        "}, {}},
    {RESULT_LEARN_TABLE, {kSavedOk[0], kSavedOk[1]}, {}},
};

}  // namespace

std::string DeviceResultText(int kind, bool ok, int language) {
    const int lang = language == 1 ? 1 : 0;
    for (const ResultText& t : kResultTexts) {
        if (t.kind != kind) continue;
        return !ok && t.refused[lang] ? t.refused[lang] : t.ok[lang];
    }
    return {};
}

void DeviceResults::Show(int kind, bool ok) {
    const std::string text = DeviceResultText(kind, ok, image_.Language);
    if (!text.empty() && hooks.messageBox) hooks.messageBox(text);
}

LRESULT DeviceResults::OnDeviceResult(WPARAM wParam) {
    const int kind = static_cast<int>((wParam >> 8) & 0xFF);
    const bool ok = (wParam & 0xFF) == kStatusOk;
    switch (kind) {
        // Confirmed before the box, the rest after it: the box's loop may
        // already handle the answer to a later pick, which must find this
        // answer's state confirmed.
        case RESULT_LOCK_KEY:
            Confirm(lockRequests_, ok, image_.KeyLockOn, image_.KeyLockConfirmed);
            Show(kind, ok);
            SettleLock(ok);
            break;
        case RESULT_ADMIN_MODE:
            Confirm(adminRequests_, ok, image_.AdminMode, image_.AdminModeConfirmed);
            Show(kind, ok);
            SettleAdmin(ok);
            break;
        case RESULT_LOCK_PASSWORD:
        case RESULT_ADMIN_PASSWORD:
        case RESULT_BOOST_SAVED:
        case RESULT_LOGO_SET:
        case RESULT_LEARN_TABLE:
            Show(kind, ok);
            break;
        case RESULT_SAVED:
            OnSaved();
            break;
        case RESULT_MODE_SELECTED:
            // The selected mode is now the unit's: read it back whole.
            Post(WM_SEND_COMMAND, CMD_READ_HEADER, 0);
            DeviceSequenceActive = 0;
            break;
        case RESULT_RESET_ALL:
            DeviceSequenceActive = 1;
            // The select's result ends the sequence; a slot the unit reported
            // outside its user modes would select nothing, so slot 0 it is.
            Post(WM_SEND_COMMAND, CMD_SELECT_MODE,
                 image_.CurrentModeSlot < kUserModeCount ? image_.CurrentModeSlot : 0);
            Show(kind, true);
            break;
        case RESULT_ECHO_TYPE:
            if (hooks.echoRefresh)
                hooks.echoRefresh(image_.ParamBytes[85], static_cast<int>(wParam & 0xFF));
            break;
        default:
            break;
    }
    return 0;
}

namespace {

constexpr int kLockStateByte = 4;   // after the 4 digits
constexpr int kAdminLevelByte = 6;  // after the 6 digits

}  // namespace

// The confirmed copy takes the state the answered request carried (the
// value itself when none is known to wait), so answers to quick picks
// confirm each in turn, in the order the unit answers.
void DeviceResults::Confirm(Pending& pending, bool ok, int value, int& confirmed) {
    int carried = value;
    if (!pending.empty()) {
        carried = pending.front();
        pending.pop_front();
    }
    if (ok) confirmed = carried;
}

// The value follows the confirmed copy on a refusal and once nothing waits
// any more.
void DeviceResults::SettleLock(bool ok) {
    const int before = image_.KeyLockOn;
    if (!ok || lockRequests_.empty()) image_.KeyLockOn = image_.KeyLockConfirmed;
    if ((!ok || image_.KeyLockOn != before) && hooks.systemLock)
        hooks.systemLock(image_.KeyLockOn != 0 ? 1 : 0);
}

void DeviceResults::SettleAdmin(bool ok) {
    if (!ok || adminRequests_.empty()) image_.AdminMode = image_.AdminModeConfirmed;
    if (hooks.systemAdmin) hooks.systemAdmin(image_.AdminMode);
    // The main window is laid out for the level the unit holds.
    if (ok && hooks.applyAdminMode) hooks.applyAdminMode(image_.AdminModeConfirmed);
}

void DeviceResults::RevertLock() {
    lockRequests_.clear();
    image_.KeyLockOn = image_.KeyLockConfirmed;
    if (hooks.systemLock) hooks.systemLock(image_.KeyLockOn != 0 ? 1 : 0);
}

void DeviceResults::RevertAdmin() {
    adminRequests_.clear();
    image_.AdminMode = image_.AdminModeConfirmed;
    if (hooks.systemAdmin) hooks.systemAdmin(image_.AdminMode);
}

void DeviceResults::OnLoginRequest(unsigned code, LPARAM record, bool handed) {
    if (code != CMD_LOCK_KEY && code != CMD_ADMIN_MODE) return;
    const bool lock = code == CMD_LOCK_KEY;
    if (!handed || record == 0) {
        lock ? RevertLock() : RevertAdmin();
        return;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(record);
    if (lock) {
        lockRequests_.push_back(bytes[kLockStateByte]);
    } else {
        adminRequests_.push_back(bytes[kAdminLevelByte]);
    }
}

void DeviceResults::OnLinkClosing() {
    if (!lockRequests_.empty()) RevertLock();
    if (!adminRequests_.empty()) RevertAdmin();
}

void DeviceResults::OnSaved() {
    auto& b = image_.ParamBytes;
    if (DeviceSequenceActive == 0) {
        // A single store: the stored maxima hold for the live volumes too.
        b[0] = std::min(b[0], b[4]);
        b[1] = std::min(b[1], b[11]);
        b[109] = std::min(b[109], b[149]);
        if (hooks.mainVolumes) hooks.mainVolumes();
        Show(RESULT_SAVED, true);
    } else if (MassSaveIndex >= 0) {
        // Counted down first: a step that fails ends the chain and clears it.
        const int index = MassSaveIndex--;
        if (hooks.massSaveStep) hooks.massSaveStep(index);
    } else {
        // The chain has ended: slot 0 is selected, and its result re-reads
        // the block and ends the sequence.
        Post(WM_SEND_COMMAND, CMD_SELECT_MODE, 0);
        Show(RESULT_SAVED, true);
    }
}
