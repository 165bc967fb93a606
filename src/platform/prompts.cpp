#include "platform/prompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
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
        QFileDialog dlg(parent);
        UseFilters(dlg, filter);
        dlg.setFileMode(QFileDialog::ExistingFile);
        return Chosen(dlg);
    }

    std::optional<std::string> SaveFileName(QWidget* parent, const std::string& filter,
                                            const std::string& defaultSuffix) override {
        QFileDialog dlg(parent);
        UseFilters(dlg, filter);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setDefaultSuffix(QString::fromStdString(defaultSuffix));
        return Chosen(dlg);
    }

private:
    // The windows write their filters as Windows reads them, where "*.*"
    // matches every file; Qt matches it only against names with a dot, so a
    // file named without an extension could not be picked. Each filter keeps
    // its caption as written and gets a last group of the patterns Qt is to
    // use: the dialog shows a filter up to that group (HideNameFilterDetails)
    // and filters by it.
    static void UseFilters(QFileDialog& dlg, const std::string& filter) {
        static const QRegularExpression patternGroup(QStringLiteral(R"re(\(([^()]*)\)\s*$)re"));
        QStringList filters;
        for (const QString& f :
             QString::fromStdString(filter).split(QStringLiteral(";;"), Qt::SkipEmptyParts)) {
            const QRegularExpressionMatch m = patternGroup.match(f);
            QStringList patterns =
                (m.hasMatch() ? m.captured(1) : f).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (QString& p : patterns)
                if (p == QLatin1String("*.*")) p = QStringLiteral("*");
            filters << f + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                           QLatin1Char(')');
        }
        dlg.setOption(QFileDialog::HideNameFilterDetails);
        dlg.setNameFilters(filters);
    }

    static std::optional<std::string> Chosen(QFileDialog& dlg) {
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
