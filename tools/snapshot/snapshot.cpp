// Renders the main window with each page shown, in each language, to PNG
// files in the folder named on the command line. Runs on Qt's offscreen
// platform; settings go to a temporary folder, never the user's.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "app/main_dialog.h"
#include "platform/settings.h"
#include "platform/window.h"

namespace {

struct Shot {
    int pageIndex;
    const char* name;
};
constexpr Shot kShots[] = {
    {kPageMusic, "music"},     {kPageMic, "mic"},       {kPageFX, "reverb"},
    {kPageEcho, "echo"},       {kPageMaster, "master"}, {kPageSurl, "surround"},
    {kPageCout, "centre"},     {kPageSW, "subwoofer"},  {kPageSys, "system"},
    {kPageCal, "calibration"}, {kPageBt, "boost"},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: snapshot OUTPUT_FOLDER\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QTemporaryDir settings;
    platform::UseSettingsFolder(settings.path().toStdString());
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "snapshot: cannot create %s\n", argv[1]);
        return 1;
    }

    CQuavixDlg dlg(QDir(settings.path()).filePath("param_dir").toStdString());
    dlg.OnInitDialog();
    dlg.Image().BoostPageEnabled = 1;
    dlg.show();
    platform::MessageQueue::Drain();

    int written = 0;
    for (int language = 0; language < 2; ++language) {
        if (language)
            dlg.OnChinese();
        else
            dlg.OnEnglish();
        platform::MessageQueue::Drain();
        for (const Shot& shot : kShots) {
            dlg.SelectPage(shot.pageIndex);
            platform::MessageQueue::Drain();
            app.processEvents();
            const QString file =
                QDir(out).filePath(QString("%1-%2.png").arg(shot.name, language ? "zh" : "en"));
            if (!dlg.grab().save(file)) {
                std::fprintf(stderr, "snapshot: cannot write %s\n", qPrintable(file));
                return 1;
            }
            ++written;
        }
    }
    std::printf("snapshot: %d images in %s\n", written, argv[1]);
    return 0;
}
