#include "system/dlg_sys.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "model/ui_text.h"

namespace {
constexpr int kModeListId = 1827;
}

CDlgSys::CDlgSys(platform::Window* mainWindow) : CPage(mainWindow) {
    setObjectName("CDlgSys");
    modeList_ = new QTreeWidget(this);
    modeList_->setColumnCount(2);
    modeList_->setRootIsDecorated(false);
    modeList_->setGeometry(20, 300, 300, 280);
    AddControl(kModeListId, modeList_);
}

void CDlgSys::SetModeFiles(const std::vector<std::string>& names) {
    modeList_->clear();
    int row = 1;
    for (const std::string& name : names) {
        auto* item = new QTreeWidgetItem(modeList_);
        item->setText(0, QString::number(row++));
        item->setText(1, QString::fromStdString(name));
    }
}

void CDlgSys::SetLanguage(int language) {
    CPage::SetLanguage(language);
    modeList_->setHeaderLabels(
        {QString::fromUtf8(UiText(Language(), 215)), QString::fromUtf8(UiText(Language(), 216))});
}
