// The persisted language value, kept in a temporary folder for the test.
#include "platform/settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <optional>
#include <string>

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        saved_ = platform::UseSettingsFolder(dir.path().toStdString());
        ASSERT_FALSE(saved_.empty()) << "the test main keeps the tests off the user's settings";
    }
    void TearDown() override { platform::UseSettingsFolder(saved_); }
    // Where the value must land: the organisation's folder.
    QString File() const { return dir.filePath("TARVEN SONICS/quavix.ini"); }

    QTemporaryDir dir;

private:
    std::string saved_;
};

TEST_F(Settings, LangIsWrittenUnderTheOrganisationAndReadBack) {
    EXPECT_EQ(platform::ReadSettingInt("Lang"), std::nullopt);
    for (int lang : {0, 1, 0}) {
        ASSERT_TRUE(platform::WriteSettingInt("Lang", lang));
        EXPECT_EQ(platform::ReadSettingInt("Lang"), lang);
    }
    ASSERT_TRUE(QFile::exists(File()));
    QSettings raw(File(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Lang").toInt(), 0);
    EXPECT_EQ(raw.allKeys(), QStringList{"Lang"});
}

TEST_F(Settings, AMissingOrNonIntegerValueReadsAsNothing) {
    const struct {
        QVariant stored;
        std::optional<int> expected;
    } cases[] = {
        {QVariant(), std::nullopt},             // missing
        {"1", 1},                               //
        {"0", 0},                               //
        {"-2", -2},                             //
        {"", std::nullopt},                     //
        {"abc", std::nullopt},                  //
        {"1.5", std::nullopt},                  //
        {"1x", std::nullopt},                   //
        {"0x1", std::nullopt},                  //
        {"true", std::nullopt},                 //
        {"99999999999", std::nullopt},          // beyond int
        {QStringList{"1", "2"}, std::nullopt},  // a list
    };
    for (const auto& c : cases) {
        {
            QSettings raw(File(), QSettings::IniFormat);
            raw.clear();
            if (c.stored.isValid()) raw.setValue("Lang", c.stored);
        }
        EXPECT_EQ(platform::ReadSettingInt("Lang"), c.expected)
            << c.stored.toString().toStdString();
    }
}

TEST_F(Settings, AWriteThatCannotBeStoredReportsFalse) {
    // The folder's place is taken by a file, so nothing can be created there.
    QFile blocker(dir.filePath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    platform::UseSettingsFolder(dir.filePath("blocked").toStdString());
    EXPECT_FALSE(platform::WriteSettingInt("Lang", 1));
    EXPECT_EQ(platform::ReadSettingInt("Lang"), std::nullopt);
}

}  // namespace
