#include "system/dlg_query.h"

#include <QPushButton>

#include "eq/dialog_units.h"
#include "platform/controls.h"

namespace {

struct QueryButton {
    int id;
    int answer;
    const char* caption;
    int x;
};
constexpr int kButtonY = 12;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 16;
constexpr QueryButton kButtons[] = {
    {CDlgQuery::kClearId, CDlgQuery::kClear, "清除", 10},
    {CDlgQuery::kRelearnId, CDlgQuery::kRelearn, "重新学习", 66},
    {CDlgQuery::kCancelId, CDlgQuery::kCancel, "取消", 122},
};
constexpr int kClientWidth = 182;
constexpr int kClientHeight = 40;

}  // namespace

CDlgQuery::CDlgQuery(QWidget* owner) : platform::Dialog(owner) {
    setObjectName("CDlgQuery");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(" ");
    setFixedSize(DluX(kClientWidth), DluY(kClientHeight));
    for (const QueryButton& b : kButtons) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption), this);
        button->setAutoDefault(false);
        button->setGeometry(DluRect(b.x, kButtonY, kButtonWidth, kButtonHeight));
        AddControl(b.id, button);
        const int answer = b.answer;
        platform::OnUserClick(button, [this, answer] { OnAnswer(answer); });
    }
}

int CDlgQuery::DoModal() {
    answer_ = kNone;
    RunModal();
    return answer_;
}

void CDlgQuery::OnAnswer(int answer) {
    answer_ = answer;
    EndModal(IDOK);
}
