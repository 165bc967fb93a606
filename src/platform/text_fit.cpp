#include "platform/text_fit.h"

#include <QApplication>
#include <QSet>
#include <QVariant>
#include <QWidget>

namespace platform {

namespace {
constexpr char kWidestTextProperty[] = "quavixWidestText";
constexpr char kFreeTextProperty[] = "quavixFreeText";
}  // namespace

QFont ProgramFont() {
    QFont font;
    font.setFamilies({"DejaVu Sans", "WenQuanYi Micro Hei"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kProgramFontPixels);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

void UseProgramFont() {
    // The styles scale their indicators and margins by the font DPI; pinned
    // at 96 they stay the size the layouts were measured with.
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
    QApplication::setFont(ProgramFont());
}

void SetWidestText(QWidget* control, std::string_view utf8) {
    SetWidestTexts(control, {std::string(utf8)});
}

void SetWidestTexts(QWidget* control, const std::vector<std::string>& utf8) {
    if (!control) return;
    control->setProperty(kWidestTextProperty, QStringList());
    AddWidestTexts(control, utf8);
}

void AddWidestTexts(QWidget* control, const std::vector<std::string>& utf8) {
    if (!control) return;
    QStringList texts = WidestTexts(control);
    // A delay label declares thousands of texts: a linear search for each
    // would take a quarter of a second.
    QSet<QString> known(texts.cbegin(), texts.cend());
    for (const std::string& text : utf8) {
        QString t = QString::fromStdString(text);
        if (known.contains(t)) continue;
        known.insert(t);
        texts.append(std::move(t));
    }
    control->setProperty(kWidestTextProperty, texts);
}

QStringList WidestTexts(const QWidget* control) {
    if (!control) return {};
    return control->property(kWidestTextProperty).toStringList();
}

void SetFreeText(QWidget* edit) {
    if (edit) edit->setProperty(kFreeTextProperty, true);
}

bool IsFreeText(const QWidget* edit) { return edit && edit->property(kFreeTextProperty).toBool(); }

}  // namespace platform
