#pragma once
// Runs a test's script inside a modal dialog's own loop: once the dialog of
// type D is the modal window, script runs on it and the dialog is closed
// with its close box. Call before whatever opens the dialog; the returned
// flag says whether the script ran.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <functional>
#include <memory>

namespace testsupport {

template <class D>
std::shared_ptr<bool> WhenModal(std::function<void(D&)> script) {
    auto ran = std::make_shared<bool>(false);
    QTimer::singleShot(0, [ran, script = std::move(script)] {
        auto* dlg = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dlg) {
            ADD_FAILURE() << "the expected dialog is not the modal window";
            return;
        }
        *ran = true;
        script(*dlg);
        dlg->close();
    });
    return ran;
}

}  // namespace testsupport
