#include "system/mass_save_dlg.h"

#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "model/ui_text.h"
#include "platform/controls.h"
#include "platform/text.h"

namespace {

constexpr int kClientWidth = 512;
constexpr int kClientHeight = 306;

enum class Kind { kListBox, kListView, kButton };
struct Item {
    int id;
    Kind kind;
    int x, y, width, height;
    const char* caption[kLanguageCount];
};
constexpr const char* kTitle[kLanguageCount] = {"Mass Save", "批量存储到设备"};
constexpr Item kItems[] = {
    {CMassSaveDlg::kSourceListId, Kind::kListBox, 10, 10, 180, 250, {}},
    {CMassSaveDlg::kAddAllId, Kind::kButton, 200, 70, 80, 28, {"Add All", "全部加入"}},
    {CMassSaveDlg::kAddId, Kind::kButton, 200, 110, 80, 28, {"Add", "加入"}},
    {CMassSaveDlg::kDelId, Kind::kButton, 200, 150, 80, 28, {"Del", "删除"}},
    {CMassSaveDlg::kChosenListId, Kind::kListView, 290, 10, 212, 250, {}},
    {CMassSaveDlg::kMassSaveId, Kind::kButton, 290, 268, 212, 28, {kTitle[0], kTitle[1]}},
};

// The chosen list's columns: number and name, centred.
constexpr int kNumberWidth = 40;
constexpr int kNameWidth = 160;
constexpr const char* kColumnTitles[2][kLanguageCount] = {{"No.", "序号"}, {"Name", "名称"}};

// Each row keeps the name's bytes beside the text it shows.
constexpr int kNameRole = Qt::UserRole;

QString ShownName(const std::string& pcName) {
    return QString::fromStdString(platform::FileNameText(pcName));
}

}  // namespace

CMassSaveDlg::CMassSaveDlg(platform::Window* page, const std::vector<std::string>& pcNames,
                           int language, MassSaveList& massSaveList)
    : platform::Dialog(page), page_(page), massSaveList_(massSaveList), pcNames_(pcNames) {
    setObjectName("CMassSaveDlg");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    const int lang = language == kLanguageChinese ? kLanguageChinese : kLanguageEnglish;
    setWindowTitle(QString::fromUtf8(kTitle[lang]));
    BuildControls(lang);
}

void CMassSaveDlg::BuildControls(int language) {
    for (const Item& item : kItems) {
        QWidget* control = nullptr;
        switch (item.kind) {
            case Kind::kListBox: {
                source_ = new QListWidget(this);
                source_->setSelectionMode(QAbstractItemView::SingleSelection);
                control = source_;
                break;
            }
            case Kind::kListView: {
                chosen_ = new QTreeWidget(this);
                chosen_->setColumnCount(2);
                platform::ShowAsGridList(chosen_);
                chosen_->setSelectionMode(QAbstractItemView::SingleSelection);
                chosen_->setHeaderLabels({QString::fromUtf8(kColumnTitles[0][language]),
                                          QString::fromUtf8(kColumnTitles[1][language])});
                chosen_->header()->setDefaultAlignment(Qt::AlignCenter);
                chosen_->header()->setSectionsMovable(false);
                chosen_->header()->setStretchLastSection(false);
                chosen_->setColumnWidth(0, kNumberWidth);
                chosen_->setColumnWidth(1, kNameWidth);
                control = chosen_;
                break;
            }
            case Kind::kButton: {
                auto* button = new QPushButton(this);
                button->setAutoDefault(false);
                control = button;
                break;
            }
        }
        control->setGeometry(item.x, item.y, item.width, item.height);
        AddControl(item.id, control);
        if (item.caption[language]) SetItemText(item.id, item.caption[language]);
    }
    for (const std::string& name : pcNames_) {
        auto* row = new QListWidgetItem(ShownName(name), source_);
        row->setData(kNameRole, QByteArray::fromStdString(name));
    }
    const auto onClick = [this](int id, void (CMassSaveDlg::*handler)()) {
        platform::OnUserClick(ControlAs<QPushButton>(id), [this, handler] { (this->*handler)(); });
    };
    onClick(kAddAllId, &CMassSaveDlg::OnAddAll);
    onClick(kAddId, &CMassSaveDlg::OnAdd);
    onClick(kDelId, &CMassSaveDlg::OnDel);
    onClick(kMassSaveId, &CMassSaveDlg::OnMassSave);
}

int CMassSaveDlg::DoModal() { return RunModal(); }

std::vector<std::string> CMassSaveDlg::Chosen() const {
    std::vector<std::string> names;
    for (int i = 0; i < chosen_->topLevelItemCount(); ++i)
        names.push_back(chosen_->topLevelItem(i)->data(1, kNameRole).toByteArray().toStdString());
    return names;
}

void CMassSaveDlg::AppendChosen(const std::string& pcName) {
    auto* row = new QTreeWidgetItem(chosen_);
    row->setText(1, ShownName(pcName));
    row->setData(1, kNameRole, QByteArray::fromStdString(pcName));
    row->setTextAlignment(0, Qt::AlignCenter);
    row->setTextAlignment(1, Qt::AlignCenter);
    Renumber();
}

void CMassSaveDlg::Renumber() {
    for (int i = 0; i < chosen_->topLevelItemCount(); ++i)
        chosen_->topLevelItem(i)->setText(0, QString::number(i + 1));
}

void CMassSaveDlg::OnAddAll() {
    chosen_->clear();
    const std::size_t count = std::min<std::size_t>(pcNames_.size(), kMaxChosen);
    for (std::size_t i = 0; i < count; ++i) AppendChosen(pcNames_[i]);
}

void CMassSaveDlg::OnAdd() {
    if (chosen_->topLevelItemCount() >= kMaxChosen) return;
    const QList<QListWidgetItem*> picked = source_->selectedItems();
    if (picked.isEmpty()) return;
    // The same mode may go to the unit more than once.
    AppendChosen(picked.front()->data(kNameRole).toByteArray().toStdString());
}

void CMassSaveDlg::OnDel() {
    const QList<QTreeWidgetItem*> picked = chosen_->selectedItems();
    if (picked.isEmpty()) return;
    delete picked.front();
    Renumber();
}

void CMassSaveDlg::OnMassSave() {
    if (chosen_->topLevelItemCount() == 0) return;
    massSaveList_ = Chosen();
    if (page_) page_->PostMessage(WM_MASS_SAVE_REQUEST, 0, 0);
}
