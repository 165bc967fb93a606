#include "pages/page.h"

#include <QGroupBox>
#include <QPainter>

#include "model/param_image.h"
#include "model/ui_text.h"
#include "platform/color.h"

namespace {
constexpr std::uint32_t kPageBackground = 0xF0F0F0;
// Group-box captions on the pages are drawn in 0xF6732E (a COLORREF); the
// box is a plain frame on the page background, the caption on its top line.
constexpr const char* kGroupStyle =
    "QGroupBox { color: #2e73f6; border: 1px solid #b4b4b4; border-radius: 3px;"
    " margin-top: 7px; }"
    "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }";
}  // namespace

QGroupBox* CreateGroupBox(CPage* page, int id, const QRect& rect) {
    auto* group = new QGroupBox(page);
    group->setGeometry(rect);
    group->setStyleSheet(kGroupStyle);
    group->lower();
    page->AddControl(id, group);
    return group;
}

CPage::CPage(platform::Window* mainWindow) : platform::Window(mainWindow), main_(mainWindow) {
    setAutoFillBackground(false);
}

void CPage::SetLanguage(int language) {
    language_ = language ? 1 : 0;
    ApplyCaptions();
}

void CPage::ApplyCaptions() {
    const int systemMode = image_ ? image_->ParamBytes[kSystemModeByte] : 0;
    for (const PageCaption& caption : Captions())
        if (Control(caption.id))
            SetItemText(caption.id, UiText(language_, CaptionRow(caption, systemMode)));
}

void CPage::PostCommand(unsigned code, LPARAM lParam) {
    if (main_) main_->PostMessage(WM_SEND_COMMAND, code, lParam);
}

bool NudgeForKey(int qtKey, int* column, int* up) {
    struct Nudge {
        int key, column, up;
    };
    static constexpr Nudge kNudges[] = {
        {Qt::Key_A, 0, 0}, {Qt::Key_Q, 0, 1}, {Qt::Key_S, 1, 0},
        {Qt::Key_W, 1, 1}, {Qt::Key_D, 2, 0}, {Qt::Key_E, 2, 1},
    };
    for (const Nudge& n : kNudges) {
        if (n.key == qtKey) {
            *column = n.column;
            *up = n.up;
            return true;
        }
    }
    return false;
}

bool CPage::OnKeyDown(int qtKey, const QString&) {
    int column = 0, up = 0;
    if (!NudgeForKey(qtKey, &column, &up)) return false;
    if (main_) main_->PostMessage(WM_KEY_NUDGE, column, up);
    return true;
}

void CPage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), platform::ColorFromRef(kPageBackground));
}
