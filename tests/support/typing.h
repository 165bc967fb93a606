#pragma once
// Text typed into a control as a user enters it: plain ASCII as key presses,
// anything else (Chinese, an emoji) as an input method commits it, since no
// key of a keyboard carries it.
#include <QInputMethodEvent>
#include <QString>
#include <QTest>
#include <QWidget>

namespace testsupport {

inline void TypeText(QWidget* control, const QString& text) {
    QString run;
    bool ascii = true;
    const auto flush = [&] {
        if (run.isEmpty()) return;
        if (ascii) {
            QTest::keyClicks(control, run);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(run);
            QCoreApplication::sendEvent(control, &commit);
        }
        run.clear();
    };
    for (const QChar c : text) {
        const bool isAscii = c.unicode() < 0x80;
        if (isAscii != ascii) {
            flush();
            ascii = isAscii;
        }
        run += c;
    }
    flush();
}

}  // namespace testsupport
