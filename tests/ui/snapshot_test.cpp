#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include "support/test_paths.h"

// The snapshot tool renders every page in both languages; each picture must
// show something (a blank or one-colour image means nothing was drawn).
TEST(Snapshot, RendersEveryPageInBothLanguages) {
    QTemporaryDir out;
    QProcess tool;
    tool.setProgram(QString::fromStdString(testsupport::BinaryDir() + "/tools/snapshot/snapshot"));
    tool.setArguments({out.path()});
    tool.start();
    ASSERT_TRUE(tool.waitForFinished(60000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();

    const QStringList pages = {
        "music",       "mic",    "mic2",       "reverb", "echo-mono",      "echo-stereo",
        "echo-dual",   "master", "surround",   "centre", "subwoofer",      "system",
        "calibration", "boost",  "boost-echo", "wifi",   "wifi-connected", "music-last-bands",
        "band-editor"};
    for (const char* lang : {"en", "zh"}) {
        for (const QString& page : pages) {
            const QString file = QDir(out.path()).filePath(page + "-" + QString(lang) + ".png");
            QImage image(file);
            ASSERT_FALSE(image.isNull()) << file.toStdString();
            if (!page.startsWith("wifi") && page != "band-editor") {
                EXPECT_GE(image.width(), 1000);
            }
            QSet<QRgb> colours;
            for (int y = 0; y < image.height(); y += 7)
                for (int x = 0; x < image.width(); x += 7) colours.insert(image.pixel(x, y));
            EXPECT_GT(colours.size(), 3) << file.toStdString();
        }
    }
}
