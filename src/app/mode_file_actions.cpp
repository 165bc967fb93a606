// The main window's PC mode file messages: the window's part is to hand the
// flow its hooks and the page's names; PcModeFlow does the work.
#include <limits>
#include <optional>

#include "app/main_dialog.h"
#include "link/command_codes.h"
#include "link/link_sequencer.h"
#include "model/ui_text.h"
#include "platform/prompts.h"
#include "platform/text.h"
#include "system/dlg_sys.h"

namespace {

// A row or slot from a message: anything an int cannot hold is no index.
int IndexFrom(std::intptr_t value) {
    return value >= 0 && value <= std::numeric_limits<int>::max() ? static_cast<int>(value) : -1;
}

}  // namespace

void CQuavixDlg::WirePcModes() {
    auto* sys = static_cast<CDlgSys*>(pages_[kTableSys]);
    PcModeFlow::Hooks& h = pcModes_.hooks;
    h.post = [this](unsigned msg, WPARAM w, LPARAM l) { PostMessage(msg, w, l); };
    h.messageBox = [this](const std::string& text) {
        platform::MessageBox(this, text, kAppTitle, platform::MbType::Ok);
    };
    h.refreshPages = [this] { RefreshAllPages(); };
    // Not inside the connect sequence: a block read under way would replace
    // what was sent.
    h.canSend = [this](unsigned code) {
        return link_.LinkState() == LinkSequencer::kConnected &&
               !link_.Sequencer().BlockRead().InProgress() && CommandFrameKnown(code);
    };
    h.linkOpen = [this] { return link_.LinkState() != LinkSequencer::kIdle; };
    h.uploadRefusal = [this]() -> std::optional<UploadRefusal> {
        // Still connecting: the header and the block read come before any
        // upload, and the block replaces the image.
        if (link_.LinkState() != LinkSequencer::kConnected) return UploadRefusal::kBlockReadDue;
        return builder_.UploadRefusalNow();
    };
    h.listed = [sys](const std::string& name) { sys->AddModeFile(name); };
    sys->hooks.uploadRefusal = [this] { return builder_.UploadRefusalNow(); };
    sys->hooks.pcNameInFolder = [this](const std::string& name) {
        return pcModes_.FolderHolds(name);
    };
    results_.hooks.massSaveStep = [this](int index) { MassSaveStep(index); };

    MapMessage(WM_SAVE_MODE_FILE, &CQuavixDlg::OnSaveModeFile);
    MapMessage(WM_LOAD_MODE_FILE, &CQuavixDlg::OnLoadModeFile);
    MapMessage(WM_LOAD_MODE_TO_SLOT, &CQuavixDlg::OnLoadModeToSlot);
    MapMessage(WM_MASS_SAVE, &CQuavixDlg::OnMassSave);
}

LRESULT CQuavixDlg::OnSaveModeFile(WPARAM, LPARAM) {
    auto* sys = static_cast<CDlgSys*>(pages_[kTableSys]);
    if (const std::optional<std::string> pcName = sys->TakeCheckedPcName())
        pcModes_.SaveModeFile(*pcName, platform::Utf8ToGbk(sys->ModeNameText()));
    return 0;
}

LRESULT CQuavixDlg::OnMassSave(WPARAM, LPARAM) {
    pcModes_.MassSave(static_cast<CDlgSys*>(pages_[kTableSys])->MassSaveNames());
    return 0;
}

LRESULT CQuavixDlg::OnLoadModeFile(WPARAM, LPARAM row) {
    pcModes_.LoadModeFile(IndexFrom(row));
    return 0;
}

LRESULT CQuavixDlg::OnLoadModeToSlot(WPARAM row, LPARAM slot) {
    pcModes_.LoadModeToSlot(IndexFrom(static_cast<std::intptr_t>(row)), IndexFrom(slot));
    return 0;
}

void CQuavixDlg::MassSaveStep(int index) { pcModes_.MassSaveStep(index); }
