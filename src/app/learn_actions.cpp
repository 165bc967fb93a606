// Serial-code learning, the main window's side: the learn dialog runs here,
// and one slot is learned through the busy box while the link asks the
// unit until it reports the code it heard.
#include "app/main_dialog.h"
#include "link/command_codes.h"
#include "model/ui_text.h"
#include "platform/prompts.h"
#include "system/dlg_learn.h"
#include "system/dlg_query.h"
#include "system/dlg_wait.h"
#include "system/learn_codes.h"
#include "system/link_query.h"

namespace {

// The learn request's argument: the slot in the low byte, the operation in
// the next.
constexpr LPARAM kLearnStart = 0x100;
constexpr LPARAM kLearnCancel = 0x300;

// Learning a slot and downloading the table both need the unit's answer.
bool UnitConnected(const DeviceLink& link) { return link.LinkState() == LinkSequencer::kConnected; }

}  // namespace

LRESULT CQuavixDlg::OnOpenLearn(WPARAM, LPARAM) {
    if (learnDialog_) return 0;
    CDlgLearn dialog(this, image_);
    dialog.SetLinkQuery([this] { return UnitConnected(link_); });
    learnDialog_ = &dialog;
    dialog.DoModal();
    learnDialog_ = nullptr;
    return 0;
}

LRESULT CQuavixDlg::OnLearnItem(WPARAM wParam, LPARAM) {
    const int slot = wParam <= kLearnCodeCount ? static_cast<int>(wParam) : 0;
    LearnCode* code = LearnCodeOf(image_, slot);
    if (!code) return 0;
    // One slot at a time: the busy box of the pending one is still open.
    if (image_.LearnSlotIndex != 0) return 0;
    if ((*code)[0] != 0) {
        CDlgQuery query(this);
        const int answer = query.DoModal();
        if (answer == CDlgQuery::kClear) {
            code->fill(0);
            if (learnDialog_) learnDialog_->ShowCode(slot);
            return 0;
        }
        if (answer != CDlgQuery::kRelearn) return 0;
    }
    // Without a connected unit no answer could ever close the busy box.
    const LinkQuery connected = [this] { return UnitConnected(link_); };
    if (!ConnectedOrSaySo(this, connected, image_.Language, " ")) return 0;
    image_.LearnSlotIndex = slot;
    PostMessage(WM_LINK_BUSY, CDlgWait::kCustom, 0);
    PostMessage(WM_SEND_COMMAND, CMD_LEARN, slot | kLearnStart);
    return 0;
}

LRESULT CQuavixDlg::OnLearnResult(WPARAM length, LPARAM) {
    const int slot = image_.LearnSlotIndex;
    image_.LearnSlotIndex = 0;
    if (IsLearnSlot(slot)) {
        if (length != 0) {
            if (learnDialog_) learnDialog_->ShowCode(slot);
        } else {
            // The unit heard something too long to keep: it stops listening
            // only when told.
            PostMessage(WM_SEND_COMMAND, CMD_LEARN, kLearnCancel);
        }
    }
    PostMessage(WM_LINK_IDLE, 0, 0);
    return 0;
}

// A start the unit never got: no answer will close the busy box, and there
// is nothing to cancel. A closed link has ended the learn itself.
void CQuavixDlg::OnLearnRequestRefused(LPARAM argument) {
    const int slot = static_cast<int>(argument & 0xFF);
    if ((argument & ~LPARAM{0xFF}) != kLearnStart || slot == 0 || image_.LearnSlotIndex != slot)
        return;
    image_.LearnSlotIndex = 0;
    PostMessage(WM_LINK_IDLE, 0, 0);
    if (link_.Sequencer().LineFull())
        platform::MessageBox(this, LineFullText(image_.Language), " ", platform::MbType::Ok);
}

LRESULT CQuavixDlg::OnLearnCancel(WPARAM, LPARAM) {
    if (image_.LearnSlotIndex == 0) return 0;
    image_.LearnSlotIndex = 0;
    PostMessage(WM_SEND_COMMAND, CMD_LEARN, kLearnCancel);
    return 0;
}
