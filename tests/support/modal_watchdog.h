#pragma once
// Ends a modal loop that outlives a test's wait. A wait runs the event loop
// until its condition holds; a modal dialog opened inside it (the busy box
// of a connect, a re-read) runs a loop of its own, and the wait cannot look
// at its clock again until that loop ends. A box that never closes would
// hang the test. Once the wait's own time and a grace have passed, the
// watchdog fails the test, naming the dialog and its texts, and ends the
// dialog's loop, so that the wait returns and reports its condition unmet.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <string>

#include "model/messages.h"
#include "platform/window.h"

namespace testsupport {

class ModalWatchdog {
public:
    // The grace lets a dialog that closes a little after the wait's time (a
    // slow sanitizer build) end by itself; a hang ends this much later.
    static constexpr int kGraceMs = 10000;
    // When ending one modal loop shows another under it.
    static constexpr int kNextMs = 500;

    explicit ModalWatchdog(int patienceMs) : patienceMs_(patienceMs) {
        clock_.start();
        timer_.callOnTimeout([this] { EndTopModal(); });
        timer_.start(patienceMs + kGraceMs);
    }
    ModalWatchdog(const ModalWatchdog&) = delete;
    ModalWatchdog& operator=(const ModalWatchdog&) = delete;

private:
    void EndTopModal() {
        timer_.setInterval(kNextMs);
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        std::string texts;
        for (const QLabel* label : modal->findChildren<QLabel*>())
            if (!label->text().isEmpty()) texts += " \"" + label->text().toStdString() + "\"";
        ADD_FAILURE() << "modal " << modal->metaObject()->className() << " \""
                      << modal->objectName().toStdString() << "\"" << texts << " still open "
                      << clock_.elapsed() << " ms into a wait of " << patienceMs_
                      << " ms; the test's watchdog ended its loop";
        if (auto* dialog = qobject_cast<platform::Dialog*>(modal)) {
            dialog->EndModal(IDCANCEL);
        } else {
            modal->close();
        }
    }

    int patienceMs_;
    QElapsedTimer clock_;
    QTimer timer_;
};

}  // namespace testsupport
