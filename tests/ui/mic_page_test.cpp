// The Mic page's own controls: its sliders and labels, the polarity buttons,
// the Mic 1 / Mic 2 buttons and the EQ link box.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <tuple>
#include <vector>

#include "eq/band_panel.h"
#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "pages/dlg_mic.h"
#include "support/page_fixture.h"
#include "support/user_input.h"

namespace {

using testsupport::Commands;

class MicPage : public testsupport::PageFixture<CDlgMic> {
protected:
    CMyBtn* Button(int id) { return page.ControlAs<CMyBtn>(id); }
};

}  // namespace

TEST_F(MicPage, SlidersStoreTheirByteShowTheLabelAndSendCode5) {
    const SliderStep steps[] = {
        {1207, false, 26, 4, Qt::Key_Right, 5, 1212, "5"},
        {1215, false, 14, 1, Qt::Key_Left, 0, 1216, "OFF"},
        {1215, false, 14, 0, Qt::Key_Right, 1, 1216, "-80db"},
        {1215, false, 14, 40, Qt::Key_Right, 41, 1216, "-40db"},
        {1270, false, 101, 1, Qt::Key_Left, 0, 1271, "OFF"},
        {1270, false, 101, 23, Qt::Key_Right, 24, 1271, "24"},
        // An inverted microphone keeps its polarity.
        {1272, false, 12, 0x80 | 50, Qt::Key_Right, 0x80 | 51, 1273, "51"},
        {1274, false, 13, 7, Qt::Key_Left, 6, 1275, "6"},
    };
    for (const SliderStep& s : steps) ExpectSliderStep(s, 5);
}

TEST_F(MicPage, PolarityClicksToggleBit7AndSendEveryTime) {
    for (auto [id, byte] : {std::pair{1740, 12}, std::pair{1741, 13}}) {
        image.ParamBytes[byte] = 64;
        page.LoadFromImage();
        Button(id)->click();
        EXPECT_EQ(image.ParamBytes[byte], 0x80 | 64) << id;
        EXPECT_EQ(Button(id)->text(), "-");
        Button(id)->click();
        EXPECT_EQ(image.ParamBytes[byte], 64) << id;
        EXPECT_EQ(Button(id)->text(), "+");
        EXPECT_EQ(main.Take(), (Commands{{5, 0}, {5, 0}})) << id;
    }
}

TEST_F(MicPage, TheMicButtonsChooseTheEqShownAndSendNothing) {
    image.ParamFlags &= ~(1u << 9);  // mic 2's EQ off: EQ BYPASS ticked
    page.LoadFromImage();
    auto* bypass = page.ControlAs<QCheckBox>(1092);
    EXPECT_TRUE(Button(CDlgMic::kMic1ButtonId)->Checked());
    EXPECT_FALSE(bypass->isChecked());
    Button(CDlgMic::kMic2ButtonId)->click();
    EXPECT_EQ(page.CurrentMic(), 1);
    EXPECT_EQ(page.ModuleId(), 1);
    EXPECT_FALSE(Button(CDlgMic::kMic1ButtonId)->Checked());
    EXPECT_TRUE(Button(CDlgMic::kMic2ButtonId)->Checked());
    EXPECT_TRUE(bypass->isChecked());
    // Pressing the shown microphone again changes nothing.
    Button(CDlgMic::kMic2ButtonId)->click();
    EXPECT_TRUE(Button(CDlgMic::kMic2ButtonId)->Checked());
    EXPECT_EQ(page.CurrentMic(), 1);
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(MicPage, LinkOnCopiesTheShownMicToTheOtherAndTellsTheUnitOnce) {
    image.ParamBytes[152] = 0;
    page.LoadFromImage();
    page.SelectMic(1);
    for (int b = 0; b < 17; ++b) {
        image.Mic2EqBands[b] = {static_cast<std::uint8_t>(b % 3), 2,
                                static_cast<std::uint16_t>(100 + b), 33,
                                static_cast<std::int16_t>(-b)};
        image.Mic1EqBands[b].slope = 5;
    }
    image.ParamFlags &= ~(1u << 9);
    image.BandEnableMasks[1] = 0x1234;
    CMyBtn* link = Button(CDlgMic::kEqLinkId);
    ASSERT_FALSE(link->Checked());
    link->click();
    EXPECT_TRUE(link->Checked());
    for (int b = 0; b < 17; ++b) {
        SCOPED_TRACE(b);
        const EqBand& m1 = image.Mic1EqBands[b];
        EXPECT_EQ(m1.type, 2);
        EXPECT_EQ(m1.frequency, 100 + b);
        EXPECT_EQ(m1.q, 33);
        EXPECT_EQ(m1.gain, -b);
        EXPECT_EQ(m1.slope, 5);  // the slope stays
    }
    EXPECT_EQ((image.ParamFlags >> 8) & 1u, 0u);
    EXPECT_EQ(image.BandEnableMasks[0], 0x1234);
    EXPECT_EQ(image.ParamBytes[152], 1);
    EXPECT_EQ(main.Take(), (Commands{{60, 0x101}}));

    link->click();
    EXPECT_EQ(image.ParamBytes[152], 0);
    EXPECT_EQ(main.Take(), (Commands{{60, 1}}));
}

TEST_F(MicPage, LinkOnWhileTheUnitIsLinkedCopiesButSendsNothing) {
    CMyBtn* link = Button(CDlgMic::kEqLinkId);
    ASSERT_TRUE(link->Checked());  // the default: linked
    link->click();
    EXPECT_EQ(main.Take(), (Commands{{60, 0}}));
    image.ParamBytes[152] = 1;  // the unit was linked again meanwhile
    image.Mic1EqBands[2].gain = 55;
    link->click();
    EXPECT_EQ(image.Mic2EqBands[2].gain, 55);
    EXPECT_TRUE(main.Take().empty());
    // Unticking when the unit is unlinked already sends nothing either.
    image.ParamBytes[152] = 0;
    link->click();
    EXPECT_TRUE(main.Take().empty());
}

// While linked, an edit of the shown microphone's bands gives the other
// microphone their type, frequency, Q and gain; its slope bytes stay its own.
TEST_F(MicPage, ALinkedBandEditKeepsTheOtherMicsSlopes) {
    struct Case {
        const char* what;
        void (*act)(CDlgMic&);
        std::vector<int> bands;  // the bands the edit changes
    };
    const Case cases[] = {
        {"panel gain",
         [](CDlgMic& p) {
             auto* gain =
                 p.Panel()->ControlAs<QLineEdit>(CDlgVS::kGainEditId + 2 * CDlgVS::kEditIdStride);
             gain->setText("-4.5");
             QTest::keyClick(gain, Qt::Key_Return);
         },
         {2}},
        {"EQ reset",
         [](CDlgMic& p) { p.ControlAs<QPushButton>(1542)->click(); },
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InitParamImage(image);
        image.ParamBytes[152] = 1;
        for (int b = 0; b < 15; ++b) {
            image.Mic1EqBands[b].slope = 6;
            image.Mic2EqBands[b].slope = 3;
            image.Mic2EqBands[b].q = static_cast<std::uint16_t>(20 + b);
        }
        page.LoadFromImage();
        page.SelectMic(1);
        const ParamImage before = image;
        c.act(page);
        platform::MessageQueue::Drain();
        for (int b : c.bands) {
            SCOPED_TRACE(b);
            const EqBand& mine = image.Mic2EqBands[b];
            const EqBand& other = image.Mic1EqBands[b];
            EXPECT_NE(std::make_tuple(mine.frequency, mine.q, mine.gain),
                      std::make_tuple(before.Mic2EqBands[b].frequency, before.Mic2EqBands[b].q,
                                      before.Mic2EqBands[b].gain));
            EXPECT_EQ(std::make_tuple(other.type, other.frequency, other.q, other.gain),
                      std::make_tuple(mine.type, mine.frequency, mine.q, mine.gain));
        }
        // The PEQ bands; the pass filters' slopes come from their bytes.
        for (int b = 0; b < 15; ++b) {
            EXPECT_EQ(image.Mic1EqBands[b].slope, 6) << b;
            EXPECT_EQ(image.Mic2EqBands[b].slope, 3) << b;
        }
        main.Take();
        page.SelectMic(0);
    }
}

TEST_F(MicPage, ARefreshShowsTheImageSendsNothingAndAMoveBackCounts) {
    testsupport::SliderKey(page, 1207, Qt::Key_Right);  // 4 -> 5
    main.Take();
    image.ParamBytes[26] = 4;
    image.ParamBytes[13] = 0x80 | 20;
    image.ParamBytes[152] = 0;
    page.LoadFromImage();
    EXPECT_EQ(page.ControlAs<CMySlider>(1207)->Value(), 4);
    EXPECT_EQ(page.ItemText(1212), "4");
    EXPECT_EQ(page.ControlAs<CMySlider>(1274)->Value(), 20);
    EXPECT_EQ(Button(1741)->text(), "-");
    EXPECT_FALSE(Button(CDlgMic::kEqLinkId)->Checked());
    EXPECT_TRUE(main.Take().empty());
    // Back to the position handled before the refresh: a change.
    testsupport::SliderKey(page, 1207, Qt::Key_Right);
    EXPECT_EQ(main.Take(), (Commands{{5, 0}}));
    EXPECT_EQ(image.ParamBytes[26], 5);
    EXPECT_EQ(page.ItemText(1212), "5");
}

TEST_F(MicPage, CaptionsFollowTheLanguage) {
    page.SetLanguage(0);
    EXPECT_EQ(page.ItemText(1392), "Mic FBX");
    EXPECT_EQ(page.ItemText(1397), "Mic Noise Gate");
    EXPECT_EQ(page.ItemText(CDlgMic::kEqLinkId), "Mic EQ Link");
    page.SetLanguage(1);
    EXPECT_EQ(page.ItemText(1401), UiText(1, 49));
    EXPECT_EQ(page.ItemText(CDlgMic::kEqLinkId), UiText(1, 199));
    EXPECT_TRUE(main.Take().empty());
}
