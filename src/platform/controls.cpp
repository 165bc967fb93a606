#include "platform/controls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QValidator>

#include "platform/text.h"

namespace platform {

// Each connection has the control as its context, so it ends with it.

void OnUserSelect(QComboBox* combo, std::function<void(int index)> fn) {
    QObject::connect(combo, &QComboBox::activated, combo, std::move(fn));
}

void OnUserEdit(QLineEdit* edit, std::function<void(const std::string& utf8)> fn) {
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [fn = std::move(fn)](const QString& text) { fn(text.toStdString()); });
}

void OnUserClick(QAbstractButton* button, std::function<void()> fn) {
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [fn = std::move(fn)](bool) { fn(); });
}

namespace {

class GbkValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return FitsGbk(input.toStdString()) ? Acceptable : Invalid;
    }
};

}  // namespace

void AcceptOnlyGbk(QLineEdit* edit) { edit->setValidator(new GbkValidator(edit)); }

namespace {

// Draws each cell as usual, then its bottom and right edge: together the
// grid between the rows and the columns.
class GridLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(QColor::fromRgb(kGridLineRgb));
        const QRect r = option.rect;
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->restore();
    }
};

}  // namespace

void ShowAsGridList(QTreeWidget* list) {
    list->setRootIsDecorated(false);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setItemDelegate(new GridLineDelegate(list));
}

void SetComboSelection(QComboBox* combo, int index) {
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

void FillCombo(QComboBox* combo, const std::vector<std::string>& items, int index) {
    combo->clear();
    for (const std::string& item : items) combo->addItem(QString::fromStdString(item));
    SetComboSelection(combo, index);
}

void SetEditText(QLineEdit* edit, const std::string& utf8) {
    edit->setText(QString::fromStdString(utf8));
}

void RefillCombo(QComboBox* combo, const std::vector<std::string>& utf8Items) {
    const int keep = combo->currentIndex();
    combo->clear();
    for (const std::string& item : utf8Items) combo->addItem(QString::fromStdString(item));
    combo->setCurrentIndex(keep < combo->count() ? keep : -1);
}

}  // namespace platform
