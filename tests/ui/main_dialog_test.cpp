#include "app/main_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "eq/my_btn.h"
#include "pages/page.h"
#include "platform/settings.h"
#include "support/recording_dialog.h"
#include "system/access_codes.h"
#include "system/dlg_sys.h"
#include "system/dlg_wait.h"

namespace {

using TestDlg = testsupport::RecordingDialog;

class MainDialog : public ::testing::Test {
protected:
    void SetUp() override { platform::RemoveSetting("Lang"); }
    std::unique_ptr<TestDlg> Start() {
        auto dlg =
            std::make_unique<TestDlg>(QDir(folder_.path()).filePath("param_dir").toStdString());
        dlg->OnInitDialog();
        platform::MessageQueue::Drain();
        return dlg;
    }
    void WriteModeFile(const QString& name, int size) {
        QDir(folder_.path()).mkpath("param_dir");
        QFile f(QDir(folder_.path()).filePath("param_dir/" + name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, '\0'));
    }
    QTemporaryDir folder_;
};

bool Checked(const CQuavixDlg& dlg, int id) {
    auto* b = dlg.ControlAs<CMyBtn>(id);
    return b && b->Checked();
}

}  // namespace

TEST_F(MainDialog, StartsWithTheMusicPageAloneInTheSharedRectangle) {
    auto dlg = Start();
    EXPECT_EQ(dlg->windowTitle().toStdString(), "Professional Audio System");
    EXPECT_EQ(dlg->ItemText(1005), "V1.10");
    EXPECT_EQ(dlg->ItemText(1002), "Idle");
    EXPECT_TRUE(dlg->HasTimer(TIMER_LINK_TICK));
    EXPECT_EQ(dlg->CurrentPage(), kPageMusic);
    EXPECT_TRUE(Checked(*dlg, 1545));
    EXPECT_TRUE(Checked(*dlg, 1817));  // USB
    for (int slot = 0; slot < kPageTableSize; ++slot) {
        CPage* page = dlg->Page(static_cast<PageTableSlot>(slot));
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->geometry(), QRect(CQuavixDlg::kPageX, CQuavixDlg::kPageY,
                                          CQuavixDlg::kPageWidth, CQuavixDlg::kPageHeight));
        EXPECT_EQ(page->isVisibleTo(dlg.get()), slot == kTableMusic) << slot;
    }
    EXPECT_EQ(dlg->ItemText(1819), "EQ");
    EXPECT_FALSE(dlg->Control(1819)->isVisibleTo(dlg.get()));
    // The window fits a 1366 x 768 screen.
    EXPECT_LE(dlg->width(), 1366);
    EXPECT_LE(dlg->height(), 700);
}

// The top band is 0xDCDCDC: the link and mode-kind radios keep the left
// strip's 0xC8C8C8 on it, the language radios and the input rows its own.
TEST_F(MainDialog, TheTopBandsRadiosSitOnTheirGreys) {
    auto dlg = Start();
    const struct {
        int id;
        QRgb fill;
    } cases[] = {
        {1817, 0xFFC8C8C8}, {1818, 0xFFC8C8C8}, {1820, 0xFFC8C8C8}, {1821, 0xFFC8C8C8},
        {1834, 0xFFC8C8C8}, {1806, 0xFFDCDCDC}, {1807, 0xFFDCDCDC}, {1822, 0xFFDCDCDC},
    };
    for (const auto& c : cases) {
        QWidget* button = dlg->Control(c.id);
        ASSERT_NE(button, nullptr) << c.id;
        const QImage shot = button->grab().toImage();
        // The top right corner: beside the radio picture, above the caption.
        EXPECT_EQ(shot.pixel(shot.width() - 1, 0), c.fill) << c.id;
    }
}

// Polarity buttons sit on a grey square of their own on the output, reverb,
// echo and system pages, and on the page's own grey on the microphone and
// calibration pages.
TEST_F(MainDialog, PolarityButtonsSitOnTheirPagesGrey) {
    auto dlg = Start();
    const struct {
        int page;
        QRgb fill;
    } cases[] = {
        {kPageMic, 0xFFF0F0F0},  {kPageCal, 0xFFF0F0F0},    {kPageFX, 0xFFC0C0C0},
        {kPageEcho, 0xFFC0C0C0}, {kPageMaster, 0xFFC0C0C0}, {kPageSurl, 0xFFC0C0C0},
        {kPageCout, 0xFFC0C0C0}, {kPageSW, 0xFFC0C0C0},     {kPageSys, 0xFFC0C0C0},
    };
    for (const auto& c : cases) {
        CPage* page = dlg->PageForIndex(c.page);
        ASSERT_NE(page, nullptr) << c.page;
        int buttons = 0;
        for (CMyBtn* button : page->findChildren<CMyBtn*>()) {
            if (button->text() != "+" && button->text() != "-") continue;
            ++buttons;
            const QImage shot = button->grab().toImage();
            EXPECT_EQ(shot.pixel(shot.width() - 1, shot.height() - 1), c.fill)
                << "page " << c.page << ", button " << button->objectName().toStdString();
        }
        EXPECT_GT(buttons, 0) << "page " << c.page;
    }
}

TEST_F(MainDialog, PageButtonsShowOnePageAtATime) {
    auto dlg = Start();
    dlg->SelectPage(kPageEcho);
    EXPECT_TRUE(dlg->PageForIndex(kPageEcho)->isVisibleTo(dlg.get()));
    EXPECT_FALSE(dlg->PageForIndex(kPageMusic)->isVisibleTo(dlg.get()));
    EXPECT_TRUE(Checked(*dlg, 1811));
    EXPECT_FALSE(Checked(*dlg, 1545));
    dlg->SelectPage(kPageSpare);  // the spare button shows no page at all
    for (int i = 0; i < kPageButtonCount; ++i) {
        if (CPage* p = dlg->PageForIndex(i)) {
            EXPECT_FALSE(p->isVisibleTo(dlg.get())) << i;
        }
    }
    // The Boost page stays hidden while it is not enabled.
    dlg->SelectPage(kPageBt);
    EXPECT_FALSE(dlg->PageForIndex(kPageBt)->isVisibleTo(dlg.get()));
}

TEST_F(MainDialog, NoStoredLanguageStartsInChineseAndStoresIt) {
    auto dlg = Start();
    EXPECT_EQ(dlg->Language(), 1);
    EXPECT_EQ(dlg->ItemText(1001), "连接");
    EXPECT_EQ(dlg->ItemText(1545), "音乐");
    EXPECT_TRUE(Checked(*dlg, 1807));
    EXPECT_EQ(platform::ReadSettingInt("Lang"), 1);
    // The system page's radio shows it too, so its English switches back.
    auto* sys = static_cast<CDlgSys*>(dlg->Page(kTableSys));
    EXPECT_TRUE(sys->ControlAs<CMyBtn>(CDlgSys::kChineseId)->Checked());
    EXPECT_FALSE(sys->ControlAs<CMyBtn>(CDlgSys::kEnglishId)->Checked());
    sys->ControlAs<QAbstractButton>(CDlgSys::kEnglishId)->click();
    platform::MessageQueue::Drain();
    EXPECT_EQ(dlg->Language(), 0);
}

TEST_F(MainDialog, StoredEnglishStartsInEnglish) {
    platform::WriteSettingInt("Lang", 0);
    auto dlg = Start();
    EXPECT_EQ(dlg->Language(), 0);
    EXPECT_EQ(dlg->ItemText(1001), "Connect");
    EXPECT_EQ(dlg->ItemText(1814), "Calibration");
    EXPECT_EQ(dlg->ItemText(1372), "Music");
    EXPECT_TRUE(Checked(*dlg, 1806));
}

TEST_F(MainDialog, LanguageSwitch) {
    platform::WriteSettingInt("Lang", 0);
    auto dlg = Start();
    // Any non-zero language is Chinese, stored as 1.
    dlg->PostMessage(WM_SET_LANGUAGE, 0, 5);
    platform::MessageQueue::Drain();
    EXPECT_EQ(dlg->Language(), 1);
    EXPECT_EQ(platform::ReadSettingInt("Lang"), 1);
    // wParam non-zero switches without storing.
    dlg->SendMessage(WM_SET_LANGUAGE, 1, 0);
    EXPECT_EQ(dlg->ItemText(1001), "Connect");
    EXPECT_EQ(platform::ReadSettingInt("Lang"), 1);
    // In the cinema kind the music slider is the master.
    dlg->Image().ParamBytes[107] = 1;
    dlg->SendMessage(WM_SET_LANGUAGE, 1, 0);
    EXPECT_EQ(dlg->ItemText(1372), "Master:");
    EXPECT_TRUE(dlg->commands.empty());  // a switch sends nothing
}

TEST_F(MainDialog, LanguageButtonsPostTheSwitch) {
    platform::WriteSettingInt("Lang", 0);
    auto dlg = Start();
    dlg->ControlAs<QAbstractButton>(1807)->click();
    platform::MessageQueue::Drain();
    EXPECT_EQ(dlg->ItemText(1001), "连接");
    EXPECT_EQ(platform::ReadSettingInt("Lang"), 1);
    EXPECT_TRUE(Checked(*dlg, 1807));
    EXPECT_FALSE(Checked(*dlg, 1806));
}

// Both language radios show every switch, so a click on the other language
// in either always switches.
TEST_F(MainDialog, BothLanguageRadiosFollowEverySwitch) {
    platform::WriteSettingInt("Lang", 0);
    auto dlg = Start();
    auto* sys = static_cast<CDlgSys*>(dlg->Page(kTableSys));
    auto click = [&](platform::Window& w, int id) {
        w.ControlAs<QAbstractButton>(id)->click();
        platform::MessageQueue::Drain();
    };
    auto sysChecked = [&](int id) { return sys->ControlAs<CMyBtn>(id)->Checked(); };

    click(*dlg, 1807);  // the main window's Chinese
    EXPECT_EQ(dlg->Language(), 1);
    EXPECT_TRUE(sysChecked(CDlgSys::kChineseId));
    EXPECT_FALSE(sysChecked(CDlgSys::kEnglishId));
    click(*sys, CDlgSys::kEnglishId);  // back from the system page
    EXPECT_EQ(dlg->Language(), 0);
    EXPECT_EQ(dlg->ItemText(1001), "Connect");
    EXPECT_TRUE(Checked(*dlg, 1806));
    EXPECT_FALSE(Checked(*dlg, 1807));
    click(*sys, CDlgSys::kChineseId);
    click(*dlg, 1806);  // and back from the main window
    EXPECT_EQ(dlg->Language(), 0);
    EXPECT_TRUE(sysChecked(CDlgSys::kEnglishId));
    click(*sys, CDlgSys::kChineseId);
    EXPECT_EQ(dlg->Language(), 1);
    EXPECT_EQ(platform::ReadSettingInt("Lang"), 1);
    EXPECT_TRUE(dlg->commands.empty());
}

TEST_F(MainDialog, InputComboFollowsTheImage) {
    platform::WriteSettingInt("Lang", 0);
    auto dlg = Start();
    auto* combo = dlg->ControlAs<QComboBox>(1859);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 9);
    EXPECT_EQ(combo->currentIndex(), 0);  // ParamBytes[6] = 1, AUTO
    // HDMI4 has no item: no selection.
    dlg->Image().ParamBytes[6] = 10;
    dlg->SendMessage(WM_SET_LANGUAGE, 1, 0);
    EXPECT_EQ(combo->currentIndex(), -1);
    dlg->Image().ParamBytes[107] = 1;
    dlg->Image().ParamBytes[108] = 3;
    dlg->SendMessage(WM_SET_LANGUAGE, 1, 1);
    EXPECT_EQ(combo->count(), 5);
    EXPECT_EQ(combo->currentText().toStdString(), "HDMI2");
}

TEST_F(MainDialog, ListsTheModeFolderOnTheSystemPage) {
    WriteModeFile("b.bak", 1488);
    WriteModeFile("a", 1488);
    WriteModeFile("odd", 1487);
    auto dlg = Start();
    EXPECT_EQ(dlg->ModeFiles(), (std::vector<std::string>{"a", "b.bak"}));
    EXPECT_EQ(dlg->Image().ModeFileCount, 2);
    auto* list = dlg->Page(kTableSys)->ControlAs<QTreeWidget>(1827);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(1)->text(0).toStdString(), "2");
    EXPECT_EQ(list->topLevelItem(1)->text(1).toStdString(), "b.bak");
    // Its headers follow the language; its columns keep their widths, 40
    // and 160, the list's width beyond them left empty.
    const auto widths = [list] {
        return std::vector<int>{list->header()->sectionSize(0), list->header()->sectionSize(1)};
    };
    EXPECT_EQ(list->headerItem()->text(0).toStdString(), "序号");
    EXPECT_EQ(list->headerItem()->text(1).toStdString(), "模式名称");
    EXPECT_EQ(widths(), (std::vector<int>{40, 160}));
    dlg->SendMessage(WM_SET_LANGUAGE, 1, 0);
    EXPECT_EQ(list->headerItem()->text(0).toStdString(), "Index");
    EXPECT_EQ(list->headerItem()->text(1).toStdString(), "Mode Name");
    dlg->show();
    dlg->SelectPage(kPageSys);
    platform::MessageQueue::Drain();
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(widths(), (std::vector<int>{40, 160}));
}

TEST_F(MainDialog, MainSlidersStoreThenSend) {
    auto dlg = Start();
    dlg->SendMessage(WM_SLIDER_POS, 1004, 99 - 42);
    EXPECT_EQ(dlg->Image().ParamBytes[1], 42);
    EXPECT_EQ(dlg->ItemText(1077), "42");
    dlg->SendMessage(WM_SLIDER_POS, 1004, 99 - 42);  // the same value sends nothing more
    dlg->SendMessage(WM_SLIDER_POS, 9999, 0);        // unknown slider ignored
    // Cinema: the music slider drives ParamBytes[109].
    dlg->Image().ParamBytes[107] = 1;
    dlg->SendMessage(WM_SLIDER_POS, 1003, 99 - 7);
    EXPECT_EQ(dlg->Image().ParamBytes[109], 7);
    EXPECT_EQ(dlg->Image().ParamBytes[0], 50);
    platform::MessageQueue::Drain();
    EXPECT_EQ(dlg->commands, (std::vector<std::pair<int, LPARAM>>{{5, 0}, {2, 0}}));
}

TEST_F(MainDialog, KeyNudges) {
    auto dlg = Start();
    auto& b = dlg->Image().ParamBytes;
    struct Case {
        int systemMode, column, up;
        int index, start, maximumIndex, maximum, expected;
    } cases[] = {
        {0, 1, 1, 1, 80, 11, 80, 80},     // W at the mic maximum stays and sends nothing
        {0, 1, 1, 1, 50, 11, 99, 51},     // W raises the mic
        {0, 0, 0, 0, 0, 4, 99, 0},        // A at zero
        {1, 0, 1, 109, 60, 149, 60, 60},  // Q in cinema never passes its maximum
        {1, 0, 1, 109, 59, 149, 60, 60}, {1, 1, 1, 1, 50, 11, 99, 50},  // S/W do nothing in cinema
        {2, 0, 1, 0, 50, 4, 99, 50},                                    // the auto kind: nothing
        {0, 2, 0, 2, 35, 2, 99, 34},
    };
    for (const Case& c : cases) {
        dlg->commands.clear();
        b[107] = static_cast<std::uint8_t>(c.systemMode);
        b[c.maximumIndex] = static_cast<std::uint8_t>(c.maximum);
        b[c.index] = static_cast<std::uint8_t>(c.start);
        dlg->SendMessage(WM_KEY_NUDGE, c.column, c.up);
        platform::MessageQueue::Drain();
        EXPECT_EQ(b[c.index], c.expected) << c.systemMode << "/" << c.column;
        EXPECT_EQ(dlg->commands.size(), c.expected != c.start ? 1u : 0u);
    }
}

TEST_F(MainDialog, BusyAndIdleBackToBackLeaveNoBox) {
    auto dlg = Start();
    dlg->PostMessage(WM_LINK_BUSY, 0);
    dlg->PostMessage(WM_LINK_BUSY, 1);  // a second while one is open is ignored
    dlg->PostMessage(WM_LINK_IDLE);
    platform::MessageQueue::Drain();
    EXPECT_FALSE(dlg->WaitBoxOpen());
    EXPECT_EQ(dlg->WaitBox(), nullptr);
    // Idle without a box does nothing.
    dlg->SendMessage(WM_LINK_IDLE);
    EXPECT_FALSE(dlg->WaitBoxOpen());
}

TEST_F(MainDialog, BoxClosedByTheUserLeavesNoDanglingPointer) {
    auto dlg = Start();
    QTimer::singleShot(0, dlg.get(), [&] {
        ASSERT_NE(dlg->WaitBox(), nullptr);
        EXPECT_EQ(dlg->WaitBox()->Text(), "正在联机...");
        dlg->WaitBox()->close();
    });
    dlg->SendMessage(WM_LINK_BUSY, 0);
    EXPECT_FALSE(dlg->WaitBoxOpen());
    EXPECT_EQ(dlg->WaitBox(), nullptr);
    dlg->SendMessage(WM_LINK_IDLE);  // a late idle finds no box
    // A new busy opens a box again.
    dlg->PostMessage(WM_LINK_IDLE);
    dlg->SendMessage(WM_LINK_BUSY, 2);
    EXPECT_FALSE(dlg->WaitBoxOpen());
}

TEST_F(MainDialog, TogglesFlipTheirBitAndSendTheBits) {
    auto dlg = Start();
    dlg->Image().MainToggleBits = 0b100;
    dlg->RefreshAllPages();
    EXPECT_TRUE(Checked(*dlg, 1843));
    dlg->ControlAs<CMyBtn>(1841)->click();
    EXPECT_TRUE(Checked(*dlg, 1841));
    dlg->ControlAs<CMyBtn>(1843)->click();
    EXPECT_FALSE(Checked(*dlg, 1843));
    EXPECT_EQ(dlg->Image().MainToggleBits, 0b001);
    platform::MessageQueue::Drain();
    EXPECT_EQ(dlg->commands, (std::vector<std::pair<int, LPARAM>>{{56, 0b101}, {56, 0b001}}));
}

// A KTV pick in the combo enables the auto kind from COAX on, as a click on
// the audio row does, and the row shows the input picked.
TEST_F(MainDialog, AKtvComboPickActsAsARowClick) {
    auto dlg = Start();
    dlg->Image().ParamBytes[6] = 5;
    dlg->RefreshAllPages();
    auto* combo = dlg->ControlAs<QComboBox>(1859);
    auto pick = [&](int index) {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    };
    pick(1);  // VOD
    EXPECT_EQ(dlg->Image().ParamBytes[6], 2);
    EXPECT_FALSE(dlg->Control(1834)->isEnabled());
    EXPECT_TRUE(Checked(*dlg, 1823));
    EXPECT_FALSE(Checked(*dlg, 1826));
    pick(5);  // OPTI
    EXPECT_TRUE(dlg->Control(1834)->isEnabled());
    EXPECT_TRUE(Checked(*dlg, 1827));
    // Code setting the combo is no pick.
    combo->setCurrentIndex(0);
    EXPECT_EQ(dlg->Image().ParamBytes[6], 6);
    platform::MessageQueue::Drain();
    EXPECT_EQ(dlg->commands, (std::vector<std::pair<int, LPARAM>>{{2, 0}, {2, 0}}));
}

// The combo names the input the rows chose; setting it is no pick.
TEST_F(MainDialog, TheComboFollowsARowChoice) {
    auto dlg = Start();
    auto* combo = dlg->ControlAs<QComboBox>(1859);
    struct Case {
        int systemMode, buttonId;
        int comboIndex;
    };
    const Case cases[] = {
        {0, 1826, 4},   // COAX
        {0, 1835, -1},  // HDMI4 has no item
        {0, 1832, 7},   // the video row's HDMI2 moves the HDMI audio input
        {1, 1827, 1},   // OPTI
        {1, 1830, 4},   // HDMI3
    };
    for (const Case& c : cases) {
        dlg->Image().ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(c.systemMode);
        dlg->RefreshAllPages();
        dlg->commands.clear();
        dlg->ControlAs<CMyBtn>(c.buttonId)->click();
        EXPECT_EQ(combo->currentIndex(), c.comboIndex) << c.buttonId;
        platform::MessageQueue::Drain();
        EXPECT_EQ(dlg->commands, (std::vector<std::pair<int, LPARAM>>{{2, 0}})) << c.buttonId;
    }
}

// A kind switch lists the kind's inputs, the stored one selected, as a
// language switch does.
TEST_F(MainDialog, AKindSwitchRefillsTheCombo) {
    platform::WriteSettingInt("Lang", 0);
    auto dlg = Start();
    auto* combo = dlg->ControlAs<QComboBox>(1859);
    dlg->Image().ParamBytes[6] = 3;    // AUX
    dlg->Image().ParamBytes[108] = 2;  // HDMI1
    dlg->RefreshAllPages();
    ASSERT_EQ(combo->currentText().toStdString(), "AUX");
    auto kind = [&](int buttonId) {
        dlg->ControlAs<CMyBtn>(buttonId)->click();
        platform::MessageQueue::Drain();
    };
    kind(1821);  // cinema
    EXPECT_EQ(combo->count(), 5);
    EXPECT_EQ(combo->currentText().toStdString(), "HDMI1");
    kind(1820);  // KTV
    EXPECT_EQ(combo->count(), 9);
    EXPECT_EQ(combo->currentText().toStdString(), "AUX");
}

TEST_F(MainDialog, ATestBoxTakesTheSignalFromEveryOtherPage) {
    auto dlg = Start();
    dlg->ApplyFeatureFlag(0);
    auto box = [&](PageTableSlot slot, int id) {
        return dlg->Page(slot)->ControlAs<QAbstractButton>(id);
    };
    box(kTableMaster, 1930)->click();
    platform::MessageQueue::Drain();
    EXPECT_TRUE(box(kTableMaster, 1930)->isChecked());
    box(kTableSurl, 1931)->click();
    platform::MessageQueue::Drain();
    EXPECT_EQ(dlg->Image().PinkNoiseState, 4);
    EXPECT_FALSE(box(kTableMaster, 1930)->isChecked());
    EXPECT_TRUE(box(kTableSurl, 1931)->isChecked());
    EXPECT_FALSE(box(kTableCout, 1930)->isChecked());
    EXPECT_EQ(dlg->commands, (std::vector<std::pair<int, LPARAM>>{{27, 1}, {27, 4}}));
}

TEST_F(MainDialog, ShowingAnOutputOrTheCalibrationPageRefreshesIt) {
    auto dlg = Start();
    dlg->Image().ParamBytes[117] = 0x80 | 10;  // the cinema set, shown below
    dlg->Image().ParamWords[43] = 77;
    dlg->Image().ParamBytes[kSystemModeByte] = 1;
    dlg->Image().ParamWords[42] = 33;
    dlg->SelectPage(kPageMaster);
    EXPECT_EQ(dlg->Page(kTableMaster)->ItemText(1250), "-32.5dB");
    EXPECT_EQ(dlg->Page(kTableMaster)->ItemText(1555), "-");
    dlg->SelectPage(kPageSurl);
    EXPECT_EQ(dlg->Page(kTableSurl)->ItemText(1237), "3.3m");
    dlg->SelectPage(kPageCal);
    EXPECT_EQ(dlg->Page(kTableCal)->ItemText(1908), "7.7m");
    platform::MessageQueue::Drain();
    EXPECT_TRUE(dlg->commands.empty());
}

TEST_F(MainDialog, TheBoostSwitchShowsAndHidesItsPageButton) {
    auto dlg = Start();
    EXPECT_FALSE(dlg->Control(1819)->isVisibleTo(dlg.get()));
    dlg->SendMessage(WM_BOOST_PAGE, 0, 1);
    EXPECT_TRUE(dlg->Control(1819)->isVisibleTo(dlg.get()));
    EXPECT_EQ(dlg->CurrentPage(), kPageBt);
    EXPECT_TRUE(Checked(*dlg, 1819));
    dlg->SendMessage(WM_BOOST_PAGE, 0, 7);  // neither show nor hide
    EXPECT_TRUE(dlg->Control(1819)->isVisibleTo(dlg.get()));
    dlg->SendMessage(WM_BOOST_PAGE, 0, 0);
    EXPECT_FALSE(dlg->Control(1819)->isVisibleTo(dlg.get()));
    EXPECT_FALSE(Checked(*dlg, 1819));
    EXPECT_EQ(dlg->CurrentPage(), kPageSys);
}

// The Boost access code typed into the system page's new lock password
// edit reveals the Boost page button and shows its page.
TEST_F(MainDialog, TheBoostAccessCodeShowsTheBoostPage) {
    auto dlg = Start();
    dlg->SelectPage(kPageSys);
    auto* sys = static_cast<CDlgSys*>(dlg->Page(kTableSys));
    auto* edit = sys->ControlAs<QLineEdit>(CDlgSys::kLockNewPasswordEditId);
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QTest::keyClicks(edit, QString::fromStdString(AccessCodeText(AccessCode::kBoost)));
    platform::MessageQueue::Drain();
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_TRUE(dlg->Control(1819)->isVisibleTo(dlg.get()));
    EXPECT_EQ(dlg->CurrentPage(), kPageBt);
    EXPECT_TRUE(dlg->commands.empty());
}
