// The mode kinds (KTV, cinema, auto): the three kind buttons of the main
// window, the switch with its input hand-over, and the layout each kind gives
// the main window and the pages.
#include "app/main_dialog.h"
#include "app/main_ids.h"
#include "eq/my_btn.h"
#include "link/command_codes.h"
#include "model/ui_text.h"
#include "pages/output_page.h"
#include "system/dlg_sys.h"

namespace {

using namespace main_ids;

constexpr int kKindButtons[] = {1820, 1821, 1834};
constexpr int kKindKtv = 0;
constexpr int kKindCinema = 1;
constexpr int kKindAuto = 2;

// The layout column of a kind: any value beyond cinema is laid out as auto
// (the byte itself is kept).
int LayoutColumn(int kind) { return kind == kKindKtv || kind == kKindCinema ? kind : kKindAuto; }

// What a kind enables in the main window, by layout column (KTV, cinema,
// auto). Main music slider 1003; microphone and effect 1004, 1075; the
// second video row.
struct KindEnable {
    int id;
    bool on[3];
};
constexpr KindEnable kMainEnables[] = {
    {1003, {true, true, false}}, {1004, {true, false, false}}, {1075, {true, false, false}},
    {1837, {true, true, false}}, {1838, {true, true, false}},  {1839, {true, true, false}},
    {1840, {true, true, false}},
};
// Page buttons by PageIndex.
struct KindPages {
    int first, last;
    bool on[3];
};
constexpr KindPages kPageEnables[] = {
    {kPageMusic, kPageEcho, {true, false, false}},
    {kPageMaster, kPageSW, {true, true, false}},
    {kPageCal, kPageCal, {false, true, false}},
};
// The audio row's analog inputs (AUTO, VOD, AUX, BGM): KTV only; auto leaves
// them as they were.
constexpr int kAnalogInputs = InputRows::kFirstDigitalButton;
// The toggles under the main sliders shown per column.
constexpr int kTogglesShown[3] = {3, 1, 0};

// On the output pages, KTV only: the mixer levels and their polarity.
constexpr int kOutputKtvOnly[] = {1222, 1224, 1226, 1238, 1245, 1551, 1553,
                                  1546, 1547, 1554, 1556, 1557, 1558, 1559};
// On Master, Surround and Centre, outside KTV: speaker size and crossover.
constexpr int kCrossoverControls[] = {1251, 1853, 1854, 1855, 1856, 1857};
constexpr PageTableSlot kOutputSlots[] = {kTableMaster, kTableSurl, kTableCout, kTableSW};
constexpr PageTableSlot kCrossoverSlots[] = {kTableMaster, kTableSurl, kTableCout};

// Captions of the main window that differ by kind.
constexpr PageCaption kMusicSliderCaption{1372, 2, 211};

bool InRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

}  // namespace

void CQuavixDlg::WireModeKinds() {
    MapMessage(WM_SYSTEM_MODE_CHANGED, &CQuavixDlg::OnSystemModeChanged);
    kindRadio_ =
        RadioGroup{Button(kKindButtons[0]), Button(kKindButtons[1]), Button(kKindButtons[2])};
    kindRadio_.Show(kKindKtv);
    for (int kind = 0; kind < 3; ++kind)
        connect(Button(kKindButtons[kind]), &QAbstractButton::clicked, this,
                [this, kind] { OnModeKind(kind); });
}

void CQuavixDlg::OnModeKind(int kind) {
    if (kindRadio_.Index() == kind) return;
    SetSystemMode(kind);
}

void CQuavixDlg::SetSystemMode(int kind) {
    auto& b = image_.ParamBytes;
    const int from = kindRadio_.Index();
    kindRadio_.Show(kind);
    if (kind == b[kSystemModeByte]) return;
    // Entering auto takes the inputs over from the kind it leaves; an input
    // outside its row is left where it is, so nothing out of range is
    // stored or sent.
    if (kind == kKindAuto && from == kKindKtv) {
        const int v = b[6];
        if (InRange(v, InputRows::kKtvCoax, InputRows::kAudioButtons)) {
            b[108] = static_cast<std::uint8_t>(v - InputRows::kKtvCoax);
            inputRows_.SetRequested(kInputAudio, kInputAuto, b[108]);
        }
        if (InRange(b[153], 0, InputRows::kVideoButtons - 1)) {
            b[154] = b[153];
            inputRows_.SetRequested(kInputVideo, kInputAuto, b[154]);
        }
    } else if (kind == kKindAuto && from == kKindCinema) {
        if (InRange(b[108], 0, InputRows::kAudioButtons - InputRows::kFirstDigitalButton - 1)) {
            b[6] = static_cast<std::uint8_t>(b[108] + InputRows::kKtvCoax);
            inputRows_.SetRequested(kInputAudio, kInputAuto, b[108]);
        }
        if (InRange(b[154], 0, InputRows::kVideoButtons - 1)) {
            b[153] = b[154];
            inputRows_.SetRequested(kInputVideo, kInputAuto, b[153]);
        }
    }
    b[kSystemModeByte] = static_cast<std::uint8_t>(kind);
    PostMessage(WM_SYSTEM_MODE_CHANGED, 0, kind);
    // Posted with the kind stored, so the switch reaches the link before
    // any change made from now on: each of those is built in the new kind's
    // form, which a unit still in the old kind would misread.
    PostMessage(WM_SEND_COMMAND, CMD_SYSTEM_MODE, kind);
}

LRESULT CQuavixDlg::OnSystemModeChanged(WPARAM, LPARAM) {
    // The sender has stored the kind.
    ApplySystemMode(image_.ParamBytes[kSystemModeByte]);
    return 0;
}

void CQuavixDlg::ApplyForcedPage(int kind) {
    switch (LayoutColumn(kind)) {
        case kKindKtv:
            if (requestedPage_ == kPageCal) SelectPage(kPageMusic);
            break;
        case kKindCinema:
            if (requestedPage_ < kPageMaster) SelectPage(kPageMaster);
            break;
        default:
            SelectPage(kPageSys);
            break;
    }
}

void CQuavixDlg::ApplySystemMode(int kind) {
    const int column = LayoutColumn(kind);
    const bool ktv = column == kKindKtv;
    auto* sys = static_cast<CDlgSys*>(pages_[kTableSys]);

    // Labels.
    SetItemText(kMusicSliderCaption.id,
                UiText(image_.Language, CaptionRow(kMusicSliderCaption, kind)));
    for (PageTableSlot slot : kOutputSlots)
        static_cast<COutputPage*>(pages_[slot])->LayForSystemMode(kind);

    // What the kind enables, the input rows, the forced page.
    EnableItem(kAutoKindButton, column == kKindAuto || image_.ParamBytes[6] >= InputRows::kKtvCoax);
    for (const KindPages& p : kPageEnables)
        for (int page = p.first; page <= p.last; ++page) EnablePageButton(page, p.on[column]);
    for (const KindEnable& e : kMainEnables) EnableItem(e.id, e.on[column]);
    ShowMainVolumes();
    if (column != kKindAuto)
        for (int i = 0; i < kAnalogInputs; ++i) EnableItem(kAudioRow[i], ktv);
    for (int i = 0; i < kToggleCount; ++i) ShowItem(kFirstToggle + i, i < kTogglesShown[column]);
    SelectInputRowA(1);
    SelectInputRowB(1);
    SelectInputRowC(1);
    if (column != kKindAuto) ApplyForcedPage(kind);

    // Controls used in KTV only, then the system page's value texts.
    for (PageTableSlot slot : kOutputSlots)
        for (int id : kOutputKtvOnly) pages_[slot]->EnableItem(id, ktv);
    if (sys) sys->ApplySystemMode(kind);

    // Speaker size and crossover outside KTV.
    for (PageTableSlot slot : kCrossoverSlots)
        for (int id : kCrossoverControls) pages_[slot]->ShowItem(id, !ktv);

    RefreshMasterPage();
    RefreshSurroundPage();
    RefreshCentrePage();
    RefreshSubwooferPage();
    if (column == kKindAuto) ApplyForcedPage(kind);
}
