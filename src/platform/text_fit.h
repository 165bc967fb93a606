#pragma once
// What keeps every text whole in the program's fixed-size windows: one font
// for all of them, sized in pixels, so that neither the desktop's font size
// nor its font DPI moves a caption out of its control; and, on each control
// that shows changing values, the widest value it must show.
#include <QFont>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace platform {

// The font's height in pixels. Every layout of the windows is measured for it.
constexpr int kProgramFontPixels = 12;

// DejaVu Sans for Latin text, WenQuanYi Micro Hei for the Chinese captions
// (both installed by scripts/setup), kProgramFontPixels high.
QFont ProgramFont();

// Makes ProgramFont the font of every window and has the styles draw their
// frames, arrows and check marks at 96 DPI whatever the desktop reports.
// Called once, right after the QApplication exists, by the program, the
// tests' main and the snapshot tool, so that all three see the same layout.
void UseProgramFont();

// Declares the widest text a control will show (an edit's widest legal value
// with its sign, "-24.0"; a value label's widest label). Whoever creates an
// edit or a value label declares it there; the layout test checks that it
// fits the control at the program's font. Every edit declares one.
void SetWidestText(QWidget* control, std::string_view utf8);
// The same for a control whose widest text depends on the font: every text
// it can show (a slider label's text for each position), each of which must
// fit.
void SetWidestTexts(QWidget* control, const std::vector<std::string>& utf8);
// Adds texts to those declared, for a control whose range or format changes
// at run time (it must fit every text of every format).
void AddWidestTexts(QWidget* control, const std::vector<std::string>& utf8);
// The declared texts; empty when none were declared.
QStringList WidestTexts(const QWidget* control);

// An edit of free text (a name, a password) has no widest value: a text
// longer than the edit scrolls in it. Its creator says so here instead of
// declaring one.
void SetFreeText(QWidget* edit);
bool IsFreeText(const QWidget* edit);

}  // namespace platform
