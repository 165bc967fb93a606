#pragma once
// The application of a program that runs the windows unseen (the window
// tests, the page benchmarks): Qt's offscreen platform unless the environment
// names another, the program's own font, and settings kept in a temporary
// folder so that nothing it stores reaches the user's.
#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>

#include "platform/settings.h"
#include "platform/text_fit.h"

namespace testsupport {

class OffscreenApp {
public:
    OffscreenApp(int& argc, char** argv) : app_(argc, argv) {
        platform::UseProgramFont();
        platform::UseSettingsFolder(settings_.path().toStdString());
    }

private:
    // Before the application exists.
    struct Platform {
        Platform() {
            if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
            QStandardPaths::setTestModeEnabled(true);
        }
    };
    Platform platform_;
    QApplication app_;
    QTemporaryDir settings_;
};

}  // namespace testsupport
