#pragma once
// Counts the busy boxes shown while it lives, also one that opens and closes
// within one turn of the loop (a poll of WaitBoxOpen could miss it).
#include <QApplication>
#include <QEvent>
#include <QObject>

#include "system/dlg_wait.h"

namespace testsupport {

class BusyBoxWatch : public QObject {
public:
    BusyBoxWatch() { qApp->installEventFilter(this); }
    ~BusyBoxWatch() override { qApp->removeEventFilter(this); }
    int shown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<CDlgWait*>(watched)) ++shown;
        return false;
    }
};

}  // namespace testsupport
