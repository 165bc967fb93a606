// The calibration page: levels with polarity and distances on the cinema
// bytes and words, the test channel buttons and the timed walk, on the page
// alone and with the main window connected to the unit.
#include <gtest/gtest.h>

#include <QTest>

#include "app/main_dialog.h"
#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "link/param_block.h"
#include "model/param_image.h"
#include "pages/dlg_cal.h"
#include "support/connected_main.h"
#include "support/recording_main.h"
#include "support/scripted_prompts.h"

namespace {

using testsupport::Command;
using testsupport::Commands;
using testsupport::RecordingMain;

class CalPage : public ::testing::Test {
protected:
    void SetUp() override {
        InitParamImage(image);
        image.ParamBytes[kSystemModeByte] = 1;
        page.Wire(&image);
        page.show();
        page.LoadFromImage();
        ASSERT_TRUE(main.Take().empty());
    }
    void Press(int sliderId, Qt::Key key) {
        QTest::keyClick(page.Slider(sliderId), key);
        platform::MessageQueue::Drain();
    }
    void Click(int id) {
        page.ControlAs<CMyBtn>(id)->click();
        platform::MessageQueue::Drain();
    }
    // The test button shown checked; -1 none, -2 more than one.
    int CheckedCode() const {
        int code = -1;
        for (int c = 0; c <= CDlgCal::kChannels; ++c) {
            if (!page.ControlAs<CMyBtn>(CDlgCal::kOffButtonId + c)->Checked()) continue;
            code = code == -1 ? c : -2;
        }
        return code;
    }

    ParamImage image;
    RecordingMain main;
    CDlgCal page{&main};
};

}  // namespace

TEST_F(CalPage, LevelsAndDistancesStoreTheChannelsCinemaValues) {
    struct Case {
        int slider, label;
        bool level;
        int index, from;
        Qt::Key key;
        const char* text;
        LPARAM channel;
    };
    const Case cases[] = {
        {1876, 1875, true, 116, 1, Qt::Key_Left, "OFF", 0},
        {1878, 1879, true, 117, 74, Qt::Key_Right, "0.0dB", 0},
        {1886, 1887, true, 125, 98, Qt::Key_Right, "12.0dB", 2},
        {1890, 1891, true, 132, 2, Qt::Key_Left, "-37.0dB", 4},
        {1904, 1905, false, 42, 149, Qt::Key_Right, "15.0m", 2},
        {1913, 1914, false, 45, 1, Qt::Key_Left, "0.0m", 5},
    };
    for (const Case& c : cases) {
        if (c.level) {
            image.ParamBytes[static_cast<std::size_t>(c.index)] =
                static_cast<std::uint8_t>(0x80 | c.from);
        } else {
            image.ParamWords[static_cast<std::size_t>(c.index)] =
                static_cast<std::uint16_t>(c.from);
        }
        page.LoadFromImage();
        Press(c.slider, c.key);
        const int to = c.from + (c.key == Qt::Key_Right ? 1 : -1);
        if (c.level) {
            EXPECT_EQ(image.ParamBytes[static_cast<std::size_t>(c.index)], 0x80 | to) << c.slider;
        } else {
            EXPECT_EQ(image.ParamWords[static_cast<std::size_t>(c.index)], to) << c.slider;
        }
        EXPECT_EQ(page.ItemText(c.label), c.text) << c.slider;
        EXPECT_EQ(main.Take(), (Commands{{14, c.channel}})) << c.slider;
    }
}

TEST_F(CalPage, AMoveBackAfterARefreshIsStoredAndSent) {
    image.ParamWords[44] = 50;
    page.LoadFromImage();
    Press(1910, Qt::Key_Right);
    ASSERT_EQ(image.ParamWords[44], 51);
    main.Take();
    image.ParamWords[44] = 52;
    page.LoadFromImage();
    Press(1910, Qt::Key_Left);
    EXPECT_EQ(image.ParamWords[44], 51);
    EXPECT_EQ(main.Take(), (Commands{{14, 4}}));
}

TEST_F(CalPage, PolarityTwiceSendsTwiceAndRestoresTheByte) {
    image.ParamBytes[124] = 60;
    page.LoadFromImage();
    CMyBtn* button = page.ControlAs<CMyBtn>(1885);
    Click(1885);
    EXPECT_EQ(image.ParamBytes[124], 0x80 | 60);
    EXPECT_EQ(button->text(), "-");
    Click(1885);
    EXPECT_EQ(image.ParamBytes[124], 60);
    EXPECT_EQ(button->text(), "+");
    EXPECT_EQ(main.Take(), (Commands{{14, 2}, {14, 2}}));
}

TEST_F(CalPage, AChannelButtonSendsOnlyWhenTheSignalMoves) {
    Click(1921);  // Center Ch
    EXPECT_EQ(image.PinkNoiseState, 5);
    EXPECT_EQ(CheckedCode(), 5);
    Click(1921);
    Click(CDlgCal::kOffButtonId);
    EXPECT_EQ(image.PinkNoiseState, 0);
    EXPECT_EQ(main.Take(), (Commands{{27, 5}, {27, 0}}));
}

// A state the unit reports outside 0..6 checks no test button.
TEST_F(CalPage, ATestStateOutOfRangeChecksNoButton) {
    for (int state : {-1, 7, 200}) {
        image.PinkNoiseState = state;
        page.LoadFromImage();
        EXPECT_EQ(CheckedCode(), -1) << state;
    }
    image.PinkNoiseState = 6;
    page.LoadFromImage();
    EXPECT_EQ(CheckedCode(), 6);
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(CalPage, AWalkVisitsTheSpeakersTopToBottomThenTurnsTheSignalOff) {
    Click(CDlgCal::kRotateButtonId);
    EXPECT_TRUE(page.Walking());
    EXPECT_TRUE(page.HasTimer(TIMER_CAL_WALK));
    EXPECT_TRUE(page.ControlAs<CMyBtn>(CDlgCal::kRotateButtonId)->Checked());
    EXPECT_EQ(CheckedCode(), 1);
    EXPECT_EQ(main.Take(), (Commands{{27, 1}}));
    for (int code : {5, 2, 4, 3, 6}) {
        page.OnTimer(TIMER_CAL_WALK);
        EXPECT_EQ(CheckedCode(), code);
        EXPECT_EQ(image.PinkNoiseState, code);
        EXPECT_EQ(main.Take(), (Commands{{27, code}}));
    }
    page.OnTimer(TIMER_CAL_WALK);
    EXPECT_FALSE(page.Walking());
    EXPECT_FALSE(page.HasTimer(TIMER_CAL_WALK));
    EXPECT_FALSE(page.ControlAs<CMyBtn>(CDlgCal::kRotateButtonId)->Checked());
    EXPECT_EQ(CheckedCode(), 0);
    EXPECT_EQ(main.Take(), (Commands{{27, 0}}));
    page.OnTimer(TIMER_CAL_WALK);
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(CalPage, RotateOrAChannelButtonStopsAWalk) {
    Click(CDlgCal::kRotateButtonId);
    page.OnTimer(TIMER_CAL_WALK);
    main.Take();
    // Rotate again: the signal stays on the Center, nothing is sent.
    Click(CDlgCal::kRotateButtonId);
    EXPECT_FALSE(page.Walking());
    EXPECT_FALSE(page.HasTimer(TIMER_CAL_WALK));
    EXPECT_EQ(image.PinkNoiseState, 5);
    EXPECT_EQ(CheckedCode(), 5);
    EXPECT_TRUE(main.Take().empty());
    // The channel that has the signal already: the walk stops, nothing is sent.
    Click(CDlgCal::kRotateButtonId);
    main.Take();
    Click(1917);
    EXPECT_FALSE(page.Walking());
    EXPECT_EQ(page.Step(), 0);
    EXPECT_TRUE(main.Take().empty());
    // The link closes.
    Click(CDlgCal::kRotateButtonId);
    main.Take();
    page.StopAutoStep();
    EXPECT_FALSE(page.Walking());
    EXPECT_FALSE(page.HasTimer(TIMER_CAL_WALK));
    EXPECT_EQ(image.PinkNoiseState, 1);
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(CalPage, ChannelCodesOfTheWalk) {
    const int expected[] = {0, 1, 5, 2, 4, 3, 6, 0};
    for (int step = 0; step <= 7; ++step)
        EXPECT_EQ(CDlgCal::ChannelCodeForStep(step), expected[step]) << step;
    EXPECT_EQ(CDlgCal::ChannelCodeForStep(-1), 0);
}

TEST_F(CalPage, CaptionsFollowTheLanguage) {
    page.SetLanguage(0);
    EXPECT_EQ(page.ItemText(1924), "Speaker Level");
    EXPECT_EQ(page.ItemText(1888), "Sur R Vol");
    EXPECT_EQ(page.ItemText(1915), "LFE Distance");
    EXPECT_EQ(page.ItemText(1922), "LFE Ch");
    EXPECT_EQ(page.ItemText(CDlgCal::kRotateButtonId), "Rotate");
    EXPECT_EQ(page.ItemText(CDlgCal::kOffButtonId), "OFF");
    page.SetLanguage(1);
    EXPECT_EQ(page.ItemText(CDlgCal::kRotateButtonId), "轮流");
}

// The walk with the unit there: the main window connected to the emulator
// in the cinema kind. The unit drops the connection in the middle of the
// walk: the walk stops there, the signal stays on its channel and nothing
// more is sent.
TEST(CalWalkOnUnit, ALinkTheUnitClosesStopsTheWalk) {
    testsupport::ScriptedPrompts prompts;
    testsupport::ConnectedMain unit;
    ParamImage cinema;
    InitParamImage(cinema);
    cinema.ParamBytes[kSystemModeByte] = 1;
    blocktest::Bytes block(kDeviceParamBlockSize);
    PackDeviceParamBlock(cinema, block.data());
    unit.Connect(block);
    if (::testing::Test::HasFatalFailure()) return;
    CQuavixDlg& dlg = *unit.dlg;
    dlg.ControlAs<CMyBtn>(1814)->click();  // the Calibration page
    platform::MessageQueue::Drain();
    auto& cal = *static_cast<CDlgCal*>(dlg.Page(kTableCal));
    CMyBtn* rotate = cal.ControlAs<CMyBtn>(CDlgCal::kRotateButtonId);

    const std::size_t mark = unit.Mark();
    rotate->click();
    platform::MessageQueue::Drain();
    const std::vector<emu::Command> sent = unit.SettledRequestsSince(mark);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].code, 27);
    EXPECT_EQ(testsupport::Head(sent[0].data, 1), blocktest::Bytes{1});
    ASSERT_TRUE(cal.Walking());

    // The unit's close shows as a reply that never comes: the link closes
    // with the keep-alive's time-out.
    unit.server.Close();
    ASSERT_TRUE(linktest::WaitFor([&] { return dlg.Link().LinkState() == 0; }, 10000))
        << dlg.ItemText(1002);
    EXPECT_FALSE(cal.Walking());
    EXPECT_EQ(cal.Step(), 0);
    EXPECT_FALSE(cal.HasTimer(TIMER_CAL_WALK));
    EXPECT_FALSE(rotate->Checked());
    EXPECT_EQ(dlg.Image().PinkNoiseState, 1);
    EXPECT_EQ(unit.RequestsSince(mark).size(), 1u);
}
