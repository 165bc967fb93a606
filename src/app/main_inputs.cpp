// The main window's toggles, input rows and combo, the test-signal relay for
// the output pages, and the refresh of the output and calibration pages.
#include <QComboBox>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include "app/main_dialog.h"
#include "app/main_ids.h"
#include "eq/my_btn.h"
#include "link/command_codes.h"
#include "model/ui_text.h"
#include "pages/dlg_cal.h"
#include "pages/output_page.h"

namespace {

using namespace main_ids;

// The window's icon, shown minimised and while dragged: a speaker cone.
QIcon MainIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x2E, 0x73, 0xF6), 2));
    p.setBrush(QColor(0x50, 0x50, 0x50));
    p.drawRoundedRect(QRectF(5, 2, 22, 28), 4, 4);
    p.setBrush(QColor(0xC8, 0xC8, 0xC8));
    p.drawEllipse(QPointF(16, 20), 7, 7);
    p.drawEllipse(QPointF(16, 8), 3, 3);
    return QIcon(pixmap);
}

// The output pages and what each refresh pushes.
struct OutputPageSlot {
    PageIndex index;
    PageTableSlot slot;
};
constexpr OutputPageSlot kOutputPages[] = {
    {kPageMaster, kTableMaster},
    {kPageSurl, kTableSurl},
    {kPageCout, kTableCout},
    {kPageSW, kTableSW},
};

}  // namespace

void CQuavixDlg::WireMainControls() {
    setWindowIcon(MainIcon());
    MapMessage(WM_TEST_SIGNAL, &CQuavixDlg::OnTestSignal);
    for (int i = 0; i < kToggleCount; ++i)
        connect(Button(kFirstToggle + i), &QAbstractButton::clicked, this,
                [this, i] { OnMainToggle(i); });
    for (int i = 0; i < InputRows::kAudioButtons; ++i)
        connect(Button(kAudioRow[i]), &QAbstractButton::clicked, this,
                [this, i] { OnAudioRowButton(i); });
    for (int i = 0; i < InputRows::kVideoButtons; ++i) {
        connect(Button(kVideoRow[i]), &QAbstractButton::clicked, this,
                [this, i] { OnVideoRowButton(i); });
        connect(Button(kVideo2Row[i]), &QAbstractButton::clicked, this,
                [this, i] { OnVideo2RowButton(i); });
    }
    // Only the user's pick: the language switch refills and reselects it.
    connect(ControlAs<QComboBox>(kInputCombo), &QComboBox::activated, this,
            [this](int index) { OnInputComboChanged(index); });
}

void CQuavixDlg::OnMainToggle(int toggle) {
    CMyBtn* button = Button(kFirstToggle + toggle);
    if (!button) return;
    const int bit = 1 << toggle;
    if (button->Checked()) {
        image_.MainToggleBits &= ~bit;
        button->SetChecked(false);
    } else {
        image_.MainToggleBits |= bit;
        button->SetChecked(true);
    }
    PostMessage(WM_SEND_COMMAND, CMD_MAIN_TOGGLES, image_.MainToggleBits);
}

// ---- Input rows ---------------------------------------------------------------

void CQuavixDlg::ShowInputRows() {
    auto show = [this](const int* ids, int count, int checked) {
        for (int i = 0; i < count; ++i)
            if (CMyBtn* b = Button(ids[i])) b->SetChecked(i == checked);
    };
    show(kAudioRow, InputRows::kAudioButtons, inputRows_.CheckedButton(kInputAudio));
    show(kVideoRow, InputRows::kVideoButtons, inputRows_.CheckedButton(kInputVideo));
    show(kVideo2Row, InputRows::kVideoButtons, inputRows_.CheckedButton(kInputVideo2));
}

void CQuavixDlg::FillInputCombo() {
    auto* combo = ControlAs<QComboBox>(kInputCombo);
    if (!combo) return;
    const QSignalBlocker block(combo);
    // The items follow the language and the kind (KTV lists the analogue
    // inputs too), so a kind switch refills them as a language switch does.
    QStringList items;
    for (const std::string& item : InputComboItems(image_.Language, image_.ParamBytes[107]))
        items << QString::fromStdString(item);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    if (shown != items) {
        combo->clear();
        combo->addItems(items);
    }
    // HDMI4 has no item, nor has an input the unit reports outside the list:
    // the combo is left without a selection.
    const auto& b = image_.ParamBytes;
    const int sel = inputRows_.Kind() == kInputKtv ? b[6] - 1 : b[108];
    combo->setCurrentIndex(sel >= 0 && sel < combo->count() ? sel : -1);
}

void CQuavixDlg::PostInputCommand(const std::optional<InputCommand>& command) {
    ShowInputRows();
    // The combo names the same input as the rows, whichever of them chose it.
    FillInputCombo();
    if (!command) return;
    // From COAX on, the KTV input can be kept when the kind turns to auto.
    if (inputRows_.Kind() == kInputKtv)
        EnableItem(kAutoKindButton, image_.ParamBytes[6] >= InputRows::kKtvCoax);
    PostMessage(WM_SEND_COMMAND, command->code, command->argument);
}

void CQuavixDlg::LoadInputRows() {
    inputRows_.Load();
    SelectInputRowA(1);
    SelectInputRowB(1);
    SelectInputRowC(1);
}

void CQuavixDlg::SelectInputRowA(int force) { PostInputCommand(inputRows_.SelectA(force != 0)); }
void CQuavixDlg::SelectInputRowB(int force) { PostInputCommand(inputRows_.SelectB(force != 0)); }
void CQuavixDlg::SelectInputRowC(int force) { PostInputCommand(inputRows_.SelectC(force != 0)); }

void CQuavixDlg::OnAudioRowButton(int button) {
    PostInputCommand(inputRows_.OnAudioButton(button));
}
void CQuavixDlg::OnVideoRowButton(int button) {
    PostInputCommand(inputRows_.OnVideoButton(button));
}
void CQuavixDlg::OnVideo2RowButton(int button) {
    PostInputCommand(inputRows_.OnVideo2Button(button));
}
void CQuavixDlg::OnInputComboChanged(int selection) {
    PostInputCommand(inputRows_.OnComboPick(selection));
}

// ---- Test signal -----------------------------------------------------------------

void CQuavixDlg::ShowTestSignal(int pinkNoiseState) {
    for (const OutputPageSlot& p : kOutputPages)
        if (auto* page = static_cast<COutputPage*>(pages_[p.slot]))
            page->ShowTestSignal(pinkNoiseState);
}

LRESULT CQuavixDlg::OnTestSignal(WPARAM, LPARAM) {
    // The sending page has stored the new state already.
    ShowTestSignal(image_.PinkNoiseState);
    PostMessage(WM_SEND_COMMAND, CMD_TEST_SIGNAL, image_.PinkNoiseState);
    return 0;
}

// ---- Output and calibration page refresh -----------------------------------------

void CQuavixDlg::RefreshPageBeforeShow(int pageIndex) {
    if (pageIndex == kPageCal) RefreshCalPage();
    for (const OutputPageSlot& p : kOutputPages) {
        if (p.index != pageIndex) continue;
        auto* page = static_cast<COutputPage*>(pages_[p.slot]);
        page->LoadFromImage();
        page->RedrawCurve();
    }
}

void CQuavixDlg::RefreshMasterPage() { RefreshPageBeforeShow(kPageMaster); }
void CQuavixDlg::RefreshSurroundPage() { RefreshPageBeforeShow(kPageSurl); }
void CQuavixDlg::RefreshCentrePage() { RefreshPageBeforeShow(kPageCout); }
void CQuavixDlg::RefreshSubwooferPage() { RefreshPageBeforeShow(kPageSW); }

void CQuavixDlg::RefreshCalPage() {
    if (auto* cal = static_cast<CDlgCal*>(pages_[kTableCal])) cal->LoadFromImage();
}
