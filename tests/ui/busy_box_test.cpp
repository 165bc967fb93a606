#include <gtest/gtest.h>

#include <QTimer>

#include "system/dlg_wait.h"

namespace {

// A window that records the messages it receives.
class Recorder : public platform::Window {
public:
    Recorder() {
        MapMessage(WM_LEARN_CANCEL, [this](WPARAM w, LPARAM l) -> LRESULT {
            cancels.push_back({w, l});
            return 0;
        });
    }
    std::vector<std::pair<WPARAM, LPARAM>> cancels;
};

}  // namespace

TEST(BusyBox, TextsByModeAndLanguage) {
    struct Case {
        int mode, language;
        const char* text;
    } cases[] = {
        {0, 0, "Connectting..."}, {0, 1, "正在联机..."}, {1, 0, "Loading..."},
        {1, 1, "正在加载..."},    {2, 0, "Saving..."},   {2, 1, "正在存储..."},
        {2, 5, "Saving..."},  // anything but 1 is English
        {3, 0, "custom"},         {3, 1, "custom"},      {4, 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WaitBoxText(c.mode, c.language, "custom"), c.text) << c.mode << "/" << c.language;
}

TEST(BusyBox, BarRunsZeroToHundredAndStartsOver) {
    CDlgWait box(nullptr);
    std::vector<int> seen;
    for (int i = 0; i < 103; ++i) {
        box.OnTimer(TIMER_BUSY_BAR);
        seen.push_back(box.Position());
    }
    EXPECT_EQ(seen[0], 1);
    EXPECT_EQ(seen[98], 99);
    EXPECT_EQ(seen[99], 100);
    EXPECT_EQ(seen[100], 0);
    EXPECT_EQ(seen[101], 1);
    box.OnTimer(9999);  // another timer id leaves the bar alone
    EXPECT_EQ(box.Position(), seen[102]);
}

TEST(BusyBox, CustomTextNeverCutsACharacter) {
    CDlgWait box(nullptr);
    std::string text;
    for (int i = 0; i < 50; ++i) text += "学";  // 150 bytes
    box.SetCustomText(text);
    box.SetMode(CDlgWait::kCustom);
    QTimer::singleShot(0, &box, [&box] { box.EndModal(IDOK); });
    box.DoModal();
    EXPECT_EQ(box.Text().size(), 126u);  // 42 whole characters within 127 bytes
}

TEST(BusyBox, EveryClosingTellsTheOwnerToCancelTheLearn) {
    Recorder owner;
    {
        CDlgWait box(&owner);
        QTimer::singleShot(0, &box, [&box] { box.close(); });  // the close box
        box.DoModal();
    }
    {
        CDlgWait box(&owner);
        QTimer::singleShot(0, &box, [&box] { box.PostMessage(WM_CLOSE); });  // from code
        box.DoModal();
    }
    platform::MessageQueue::Drain();
    ASSERT_EQ(owner.cancels.size(), 2u);
    for (auto [w, l] : owner.cancels) {
        EXPECT_EQ(w, 1u);
        EXPECT_EQ(l, 0);
    }
}
