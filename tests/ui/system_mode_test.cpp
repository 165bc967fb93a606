// The mode kinds: the kind buttons, the input hand-over on entering auto,
// the one command 61 per switch, and the layout each kind gives the main
// window and the pages, also for a kind the unit reports outside the three.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/main_ids.h"
#include "eq/my_btn.h"
#include "link/command_codes.h"
#include "model/ui_text.h"
#include "pages/output_page.h"
#include "platform/settings.h"
#include "support/case_name.h"
#include "support/recording_dialog.h"
#include "system/dlg_sys.h"

namespace {

using Commands = std::vector<std::pair<int, LPARAM>>;

constexpr int kKtvButton = 1820, kCinemaButton = 1821, kAutoButton = 1834;
// Page buttons by PageIndex.
constexpr int kPageButtons[] = {1545, 1808, 1809, 1811, 1810, 1546,
                                1812, 1813, 1815, 1814, 1816, 1819};

class SystemMode : public ::testing::Test {
protected:
    void SetUp() override {
        platform::WriteSettingInt(kLangSettingName, 0);
        dlg = std::make_unique<testsupport::RecordingDialog>(
            QDir(folder.path()).filePath("param_dir").toStdString());
        dlg->OnInitDialog();
        platform::MessageQueue::Drain();
        dlg->commands.clear();
    }
    // The unit's kind and inputs, pushed in by a refresh as a block read does.
    void Refresh(int kind) {
        B(kSystemModeByte) = static_cast<std::uint8_t>(kind);
        dlg->RefreshAllPages();
        platform::MessageQueue::Drain();
    }
    void Click(int id) { QTest::mouseClick(dlg->ControlAs<QAbstractButton>(id), Qt::LeftButton); }
    void ClickAndDrain(int id) {
        Click(id);
        platform::MessageQueue::Drain();
    }
    std::uint8_t& B(int i) { return dlg->Image().ParamBytes[static_cast<std::size_t>(i)]; }
    bool Enabled(int id) { return dlg->Control(id)->isEnabled(); }
    CPage* Page(PageTableSlot slot) { return dlg->Page(slot); }
    bool Checked(int id) { return dlg->ControlAs<CMyBtn>(id)->Checked(); }

    QTemporaryDir folder;
    std::unique_ptr<testsupport::RecordingDialog> dlg;
};

}  // namespace

TEST_F(SystemMode, ClickingTheShownKindDoesNothing) {
    Refresh(0);
    dlg->commands.clear();
    ClickAndDrain(kKtvButton);
    EXPECT_TRUE(dlg->commands.empty());
    EXPECT_EQ(platform::MessageQueue::Pending(), 0u);
    EXPECT_EQ(B(kSystemModeByte), 0);
}

// The switch stores the kind at once; the layout and the command follow
// after the click, once each.
TEST_F(SystemMode, OneCommand61PerClickAfterTheHandler) {
    Refresh(0);
    dlg->commands.clear();
    Click(kCinemaButton);
    EXPECT_EQ(B(kSystemModeByte), 1);
    EXPECT_TRUE(Checked(kCinemaButton));
    EXPECT_FALSE(Checked(kKtvButton));
    EXPECT_TRUE(dlg->commands.empty());
    EXPECT_EQ(dlg->ItemText(1372), UiText(0, 2));  // not laid out yet
    platform::MessageQueue::Drain();
    EXPECT_EQ(dlg->ItemText(1372), UiText(0, 211));
    EXPECT_EQ(dlg->commands, (Commands{{CMD_SYSTEM_MODE, 1}}));
    dlg->commands.clear();
    ClickAndDrain(kCinemaButton);
    ClickAndDrain(kKtvButton);
    EXPECT_EQ(dlg->commands, (Commands{{CMD_SYSTEM_MODE, 0}}));
}

TEST_F(SystemMode, AutoButtonFollowsTheKtvInput) {
    B(6) = 3;  // AUX
    Refresh(0);
    EXPECT_FALSE(Enabled(kAutoButton));
    ClickAndDrain(kCinemaButton);
    EXPECT_FALSE(Enabled(kAutoButton));
    B(6) = 5;  // COAX
    Refresh(0);
    EXPECT_TRUE(Enabled(kAutoButton));
}

struct HandOver {
    const char* what;
    int from;
    int b6, b108, b153, b154;
    // Expected after the switch to auto.
    int b6After, b108After, b153After, b154After;
    // The audio and video buttons auto then shows checked; -1: an input not
    // taken over, whatever the row showed before.
    int audioButton, videoButton;
};
void PrintTo(const HandOver& c, std::ostream* os) { *os << c.what; }

const HandOver kHandOvers[] = {
    {"KtvHdmi2GivesCinemaInput3", 0, 8, 0, 1, 2, 8, 3, 1, 1, 7, 1},
    {"KtvCoaxGivesCinemaInput0", 0, 5, 4, 0, 3, 5, 0, 0, 0, 4, 0},
    // An analog KTV input has no cinema twin: the cinema input stays.
    {"KtvVodKeepsTheCinemaInput", 0, 2, 1, 2, 0, 2, 1, 2, 2, -1, 2},
    {"KtvInputOutOfRangeKept", 0, 40, 1, 9, 0, 40, 1, 9, 0, -1, -1},
    {"CinemaOptiGivesKtv6", 1, 3, 1, 0, 2, 6, 1, 2, 2, 5, 2},
    {"CinemaInputOutOfRangeKept", 1, 3, 9, 0, 7, 3, 9, 0, 7, -1, -1},
};

class SystemModeHandOver : public SystemMode, public ::testing::WithParamInterface<HandOver> {};

TEST_P(SystemModeHandOver, EnteringAutoCopiesOnlyInRangeInputs) {
    const HandOver& c = GetParam();
    B(6) = static_cast<std::uint8_t>(c.b6);
    B(108) = static_cast<std::uint8_t>(c.b108);
    B(153) = static_cast<std::uint8_t>(c.b153);
    B(154) = static_cast<std::uint8_t>(c.b154);
    Refresh(c.from);
    // A KTV input below COAX leaves the auto button disabled; the kind is
    // still switched by code for the hand-over.
    dlg->commands.clear();
    dlg->SetSystemMode(2);
    platform::MessageQueue::Drain();
    EXPECT_EQ(B(6), c.b6After);
    EXPECT_EQ(B(108), c.b108After);
    EXPECT_EQ(B(153), c.b153After);
    EXPECT_EQ(B(154), c.b154After);
    // Nothing but the kind goes out: the rows are redrawn, not stored.
    EXPECT_EQ(dlg->commands, (Commands{{CMD_SYSTEM_MODE, 2}}));
    const int autoRequest = dlg->Rows().Requested(kInputAudio, kInputAuto);
    EXPECT_GE(autoRequest, 0);
    EXPECT_LT(autoRequest, 6);
    // The rows show the inputs auto took over.
    if (c.audioButton >= 0) {
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(Checked(main_ids::kAudioRow[i]), i == c.audioButton) << i;
    }
    if (c.videoButton >= 0) {
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(Checked(main_ids::kVideoRow[i]), i == c.videoButton) << i;
    }
}
INSTANTIATE_TEST_SUITE_P(Inputs, SystemModeHandOver, ::testing::ValuesIn(kHandOvers),
                         testsupport::CaseName<HandOver>);

TEST_F(SystemMode, ForcedPages) {
    Refresh(0);
    dlg->SelectPage(kPageMusic);
    ClickAndDrain(kCinemaButton);
    EXPECT_EQ(dlg->CurrentPage(), kPageMaster);
    EXPECT_TRUE(Page(kTableMaster)->isVisible() || !dlg->isVisible());
    EXPECT_TRUE(Page(kTableMusic)->isHidden());
    ClickAndDrain(kKtvButton);
    EXPECT_EQ(dlg->CurrentPage(), kPageMaster);
    ClickAndDrain(kCinemaButton);
    dlg->SelectPage(kPageCal);
    ClickAndDrain(kKtvButton);
    EXPECT_EQ(dlg->CurrentPage(), kPageMusic);
}

TEST_F(SystemMode, AutoShowsOnlyTheSystemPageAndDisablesTheChannelPages) {
    B(6) = 6;
    Refresh(0);
    dlg->SelectPage(kPageEcho);
    ClickAndDrain(kAutoButton);
    EXPECT_EQ(dlg->CurrentPage(), kPageSys);
    EXPECT_TRUE(Page(kTableEcho)->isHidden());
    for (int page = kPageMusic; page <= kPageCal; ++page) {
        if (page == kPageSys) continue;
        EXPECT_FALSE(Enabled(kPageButtons[page])) << page;
    }
    for (int id : {1003, 1004, 1075}) EXPECT_FALSE(Enabled(id)) << id;
    for (int id : {1841, 1842, 1843}) EXPECT_TRUE(dlg->Control(id)->isHidden()) << id;
    EXPECT_FALSE(Page(kTableSys)->Control(CDlgSys::kMusicMaxSliderId)->isEnabled());
    ClickAndDrain(kCinemaButton);
    EXPECT_TRUE(Enabled(1003));
    EXPECT_FALSE(Enabled(1004));
    EXPECT_FALSE(dlg->Control(1841)->isHidden());
    EXPECT_TRUE(dlg->Control(1842)->isHidden());
    for (int page = kPageMaster; page <= kPageCal; ++page) {
        if (page == kPageSys) continue;
        EXPECT_TRUE(Enabled(kPageButtons[page])) << page;
    }
    EXPECT_FALSE(Enabled(kPageButtons[kPageMusic]));
    // The analog inputs are KTV's only.
    EXPECT_FALSE(Enabled(main_ids::kAudioRow[0]));
    EXPECT_TRUE(Enabled(main_ids::kAudioRow[4]));
}

TEST_F(SystemMode, LabelsAndKtvOnlyControlsOfThePages) {
    struct Case {
        int kind;
        int mainRow, sysRow, delayRow;
        bool ktv;
    };
    for (const Case& c :
         {Case{0, 2, 38, 83, true}, Case{1, 211, 212, 243, false}, Case{0, 2, 38, 83, true}}) {
        Refresh(c.kind);
        EXPECT_EQ(dlg->ItemText(1372), UiText(0, c.mainRow)) << c.kind;
        EXPECT_EQ(Page(kTableSys)->ItemText(1386), UiText(0, c.sysRow)) << c.kind;
        EXPECT_EQ(Page(kTableMaster)->ItemText(1412), UiText(0, c.delayRow)) << c.kind;
        for (int id : {1222, 1224, 1226, 1551, 1546, 1547, 1556, 1558})
            EXPECT_EQ(Page(kTableMaster)->Control(id)->isEnabled(), c.ktv) << id;
        EXPECT_EQ(Page(kTableSys)->Control(1081)->isEnabled(), c.ktv);
        for (PageTableSlot slot : {kTableMaster, kTableSurl, kTableCout})
            for (int id : {1251, 1854, 1855, 1856})
                EXPECT_EQ(Page(slot)->Control(id)->isHidden(), c.ktv) << slot << " " << id;
        EXPECT_EQ(Enabled(kPageButtons[kPageCal]), !c.ktv);
        EXPECT_EQ(static_cast<COutputPage*>(Page(kTableMaster))->LaidSet(), c.ktv ? 0 : 1);
    }
}

TEST_F(SystemMode, RefreshWithTheKindUnchangedSendsNothing) {
    Refresh(1);
    dlg->commands.clear();
    Refresh(1);
    Refresh(2);
    EXPECT_TRUE(dlg->commands.empty());
    EXPECT_TRUE(Checked(kAutoButton));
}

// A kind the unit reports outside the three checks no button, is laid out
// as auto, and is kept and never sent.
TEST_F(SystemMode, UnknownKindIsLaidOutAsAutoAndKept) {
    Refresh(0);
    dlg->commands.clear();
    Refresh(7);
    EXPECT_EQ(dlg->KindRadioIndex(), -1);
    for (int id : {kKtvButton, kCinemaButton, kAutoButton}) EXPECT_FALSE(Checked(id)) << id;
    EXPECT_EQ(dlg->CurrentPage(), kPageSys);
    EXPECT_FALSE(Enabled(kPageButtons[kPageMaster]));
    EXPECT_EQ(B(kSystemModeByte), 7);
    EXPECT_TRUE(dlg->commands.empty());
    // Its main window takes no nudge, as in auto.
    dlg->PostMessage(WM_KEY_NUDGE, 0, 1);
    QTest::keyClick(dlg.get(), Qt::Key_Q);
    platform::MessageQueue::Drain();
    EXPECT_TRUE(dlg->commands.empty());
    // A click on a kind switches as from auto.
    ClickAndDrain(kCinemaButton);
    EXPECT_EQ(dlg->commands, (Commands{{CMD_SYSTEM_MODE, 1}}));
}

// An admin-level change shows the Music page afresh; the kind's forced page
// still applies after it.
TEST_F(SystemMode, AdminLevelChangeKeepsTheKindsPage) {
    Refresh(1);
    dlg->ApplyAdminMode(0);
    EXPECT_EQ(dlg->CurrentPage(), kPageMaster);
    Refresh(2);
    dlg->ApplyAdminMode(1);
    EXPECT_EQ(dlg->CurrentPage(), kPageSys);
    Refresh(0);
    dlg->ApplyAdminMode(0);
    EXPECT_EQ(dlg->CurrentPage(), kPageMusic);
}
