// Main of the page benchmarks: the windows run on Qt's offscreen platform in
// the program's font (as in the program and the tests), with settings kept in
// a temporary folder so that a language switch stores nothing of the user's.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>

#include "platform/settings.h"
#include "platform/text_fit.h"

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    platform::UseProgramFont();
    QTemporaryDir settingsDir;
    platform::UseSettingsFolder(settingsDir.path().toStdString());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
