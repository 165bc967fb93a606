#include "platform/prompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <utility>

#include "model/messages.h"

namespace platform {

namespace {

class QtPrompts : public Prompts {
public:
    int MessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                   MbType type) override {
        QMessageBox box(parent);
        box.setWindowTitle(QString::fromStdString(caption));
        // Plain text: the device results and file messages carry blanks and
        // tabs that must show as they are.
        box.setTextFormat(Qt::PlainText);
        box.setText(QString::fromStdString(text));
        switch (type) {
            case MbType::Ok:
                box.setStandardButtons(QMessageBox::Ok);
                break;
            case MbType::YesNo:
                box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
                break;
            case MbType::OkCancel:
                box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
                break;
            case MbType::OkCancelQuestion:
                box.setIcon(QMessageBox::Question);
                box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
                break;
        }
        switch (box.exec()) {
            case QMessageBox::Ok:
                return IDOK;
            case QMessageBox::Yes:
                return IDYES;
            case QMessageBox::No:
                return IDNO;
            default:
                return IDCANCEL;
        }
    }

    std::optional<std::string> OpenFileName(QWidget* parent, const std::string& filter,
                                            const std::string&) override {
        const QString path = QFileDialog::getOpenFileName(parent, QString(), QString(),
                                                          QString::fromStdString(filter));
        if (path.isEmpty()) return std::nullopt;
        return path.toStdString();
    }

    std::optional<std::string> SaveFileName(QWidget* parent, const std::string& filter,
                                            const std::string& defaultSuffix) override {
        QFileDialog dlg(parent, QString(), QString(), QString::fromStdString(filter));
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setDefaultSuffix(QString::fromStdString(defaultSuffix));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
        return dlg.selectedFiles().front().toStdString();
    }
};

Prompts* g_installed = nullptr;

}  // namespace

Prompts& CurrentPrompts() {
    static QtPrompts qt;
    return g_installed ? *g_installed : qt;
}

Prompts* SetPrompts(Prompts* p) { return std::exchange(g_installed, p); }

}  // namespace platform
