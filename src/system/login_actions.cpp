// The system page's lock key and admin logins. The page sends the typed
// digits and the wanted state; the unit compares and answers, and the main
// window confirms or undoes the state from that answer.
#include <QLineEdit>

#include "eq/my_btn.h"
#include "link/command_codes.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "platform/controls.h"
#include "platform/prompts.h"
#include "system/dlg_sys.h"

namespace {

constexpr int kLockPasswordEditId = 1579;
constexpr int kAdminPasswordEditId = 1587;
constexpr int kAdminNewPasswordEditId = 1588;
constexpr int kAdminModifyId = 1589;
constexpr int kLockRadioIds[] = {1812, 1813};
constexpr int kAdminRadioIds[] = {1814, 1815, 1816};
constexpr int kLockDigits = 4;
constexpr int kAdminDigits = 6;
// The same Chinese text in both languages.
constexpr const char* kNotDigits = "密码必须是数字";

// The first count characters of text as digit values into out; false (out
// untouched) unless they are all '0'..'9'. The edits take digits only, and
// this check stands for whatever reached them another way.
bool FillDigits(const QString& text, int count, std::uint8_t* out) {
    if (text.size() < count) return false;
    for (int i = 0; i < count; ++i)
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9')) return false;
    for (int i = 0; i < count; ++i) out[i] = static_cast<std::uint8_t>(text[i].unicode() - '0');
    return true;
}

}  // namespace

void CDlgSys::ConnectLogins() {
    for (int i = 0; i < 2; ++i)
        platform::OnUserClick(ControlAs<CMyBtn>(kLockRadioIds[i]), [this, i] { OnLockState(i); });
    for (int i = 0; i < 3; ++i)
        platform::OnUserClick(ControlAs<CMyBtn>(kAdminRadioIds[i]), [this, i] { OnAdminLevel(i); });
    platform::OnUserClick(ControlAs<QAbstractButton>(kLockModifyId),
                          [this] { OnChangeLockPassword(); });
    platform::OnUserClick(ControlAs<QAbstractButton>(kAdminModifyId),
                          [this] { OnChangeAdminPassword(); });
    platform::OnUserEdit(ControlAs<QLineEdit>(kLockPasswordEditId),
                         [this](const std::string&) { OnLockPasswordEdit(); });
    platform::OnUserEdit(ControlAs<QLineEdit>(kAdminPasswordEditId),
                         [this](const std::string&) { OnAdminPasswordEdit(); });
    platform::OnUserEdit(ControlAs<QLineEdit>(kAdminNewPasswordEditId),
                         [this](const std::string&) { OnAdminPasswordEdit(); });
    OnLockPasswordEdit();
    OnAdminPasswordEdit();
}

void CDlgSys::OnLockPasswordEdit() {
    auto length = [this](int id) { return ControlAs<QLineEdit>(id)->text().size(); };
    const bool password = length(kLockPasswordEditId) == kLockDigits;
    for (int id : kLockRadioIds) EnableItem(id, password);
    EnableItem(kLockModifyId, password && length(kLockNewPasswordEditId) == kLockDigits);
}

void CDlgSys::OnAdminPasswordEdit() {
    auto length = [this](int id) { return ControlAs<QLineEdit>(id)->text().size(); };
    const bool password = length(kAdminPasswordEditId) == kAdminDigits;
    for (int id : kAdminRadioIds) EnableItem(id, password);
    EnableItem(kAdminModifyId, password && length(kAdminNewPasswordEditId) == kAdminDigits);
}

void CDlgSys::OnLockState(int state) {
    ParamImage* image = Image();
    if (!image) return;
    lockRadio_.Show(state);
    const QString password = ControlAs<QLineEdit>(kLockPasswordEditId)->text();
    if (!FillDigits(password, kLockDigits, lockRecord_.data())) {
        lockRadio_.Show(image->KeyLockOn != 0 ? 1 : 0);
        return;
    }
    lockRecord_[kLockDigits] = static_cast<std::uint8_t>(state);
    if ((image->KeyLockOn != 0) == (state != 0)) return;
    image->KeyLockOn = state;
    lockValue_ = state;
    PostCommand(CMD_LOCK_KEY, reinterpret_cast<LPARAM>(lockRecord_.data()));
}

void CDlgSys::OnAdminLevel(int level) {
    ParamImage* image = Image();
    if (!image) return;
    adminRadio_.Show(level);
    const QString password = ControlAs<QLineEdit>(kAdminPasswordEditId)->text();
    if (!FillDigits(password, kAdminDigits, adminRecord_.data())) {
        adminRadio_.Show(image->AdminMode);
        return;
    }
    adminRecord_[kAdminDigits] = static_cast<std::uint8_t>(level);
    if (image->AdminMode == level) return;
    image->AdminMode = level;
    adminValue_ = level;
    PostCommand(CMD_ADMIN_MODE, reinterpret_cast<LPARAM>(adminRecord_.data()));
}

void CDlgSys::OnChangeLockPassword() {
    std::array<std::uint8_t, 8> record{};
    const QString oldPassword = ControlAs<QLineEdit>(kLockPasswordEditId)->text();
    const QString newPassword = ControlAs<QLineEdit>(kLockNewPasswordEditId)->text();
    if (!FillDigits(oldPassword, kLockDigits, record.data())) return;
    if (!FillDigits(newPassword, kLockDigits, record.data() + kLockDigits)) {
        platform::MessageBox(this, kNotDigits, kAppTitle);
        return;
    }
    lockRecord_ = record;
    PostCommand(CMD_LOCK_PASSWORD, reinterpret_cast<LPARAM>(lockRecord_.data()));
}

void CDlgSys::OnChangeAdminPassword() {
    std::array<std::uint8_t, 12> record{};
    const QString oldPassword = ControlAs<QLineEdit>(kAdminPasswordEditId)->text();
    const QString newPassword = ControlAs<QLineEdit>(kAdminNewPasswordEditId)->text();
    if (!FillDigits(oldPassword, kAdminDigits, record.data()) ||
        !FillDigits(newPassword, kAdminDigits, record.data() + kAdminDigits))
        return;
    adminRecord_ = record;
    PostCommand(CMD_ADMIN_PASSWORD, reinterpret_cast<LPARAM>(adminRecord_.data()));
}
