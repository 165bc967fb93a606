// The Reverb page's own controls: sliders and labels, polarity buttons and
// the reverb type.
#include <gtest/gtest.h>

#include <QComboBox>

#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "pages/dlg_fx.h"
#include "support/page_fixture.h"
#include "support/user_input.h"

namespace {

using testsupport::Commands;

class ReverbPage : public testsupport::PageFixture<CDlgFX> {
protected:
    QComboBox* Type() { return page.ControlAs<QComboBox>(CDlgFX::kTypeComboId); }
    void Choose(int index) { testsupport::Choose(Type(), index); }
};

}  // namespace

TEST_F(ReverbPage, SlidersStoreTheirFieldShowTheLabelAndSendCode11) {
    const SliderStep steps[] = {
        // The level of an inverted reverb keeps bit 7.
        {1224, false, 79, 0x80 | 20, Qt::Key_Right, 0x80 | 21, 1225, "21"},
        {1232, false, 81, 0x80 | 1, Qt::Key_Left, 0x80, 1233, "0"},
        {1226, true, 28, 501, Qt::Key_Left, 500, 1227, "500ms"},
        {1228, true, 29, 1, Qt::Key_Left, 0, 1229, "0ms"},
        {1230, false, 84, 98, Qt::Key_Right, 99, 1231, "99"},
    };
    for (const SliderStep& s : steps) ExpectSliderStep(s, 11);
}

TEST_F(ReverbPage, EveryPickOfATypeIsStoredAndSentChangedOrNot) {
    Choose(2);
    EXPECT_EQ(image.ParamBytes[80], 2);
    Choose(2);
    EXPECT_EQ(main.Take(), (Commands{{11, 0}, {11, 0}}));
}

TEST_F(ReverbPage, PolarityClickedTwiceReturnsTheByteAndSendsTwice) {
    const std::uint8_t first = image.ParamBytes[81];
    auto* button = page.ControlAs<CMyBtn>(1853);
    button->click();
    EXPECT_EQ(image.ParamBytes[81], first ^ 0x80);
    EXPECT_EQ(button->text(), "-");
    button->click();
    EXPECT_EQ(image.ParamBytes[81], first);
    EXPECT_EQ(main.Take(), (Commands{{11, 0}, {11, 0}}));
}

TEST_F(ReverbPage, TheTypeFromTheImageAndALanguageSwitchKeepTheSelection) {
    image.ParamBytes[80] = 1;
    page.LoadFromImage();
    EXPECT_EQ(Type()->currentText().toStdString(), "room");
    page.SetLanguage(1);
    EXPECT_EQ(Type()->currentIndex(), 1);
    EXPECT_EQ(Type()->currentText().toStdString(), "房间");
    // A type outside the list selects nothing, and a switch keeps none.
    image.ParamBytes[80] = 7;
    page.LoadFromImage();
    EXPECT_EQ(Type()->currentIndex(), -1);
    page.SetLanguage(0);
    EXPECT_EQ(Type()->currentIndex(), -1);
    EXPECT_EQ(Type()->count(), 3);
    EXPECT_EQ(image.ParamBytes[80], 7);
    EXPECT_EQ(page.ItemText(1468), "Reverb Decay");
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(ReverbPage, ARefreshMovesTheRememberedPositionToo) {
    testsupport::SliderKey(page, 1230, Qt::Key_Right);  // 85 -> 86
    main.Take();
    image.ParamBytes[84] = 85;
    page.LoadFromImage();
    EXPECT_EQ(page.ItemText(1231), "85");
    testsupport::SliderKey(page, 1230, Qt::Key_Right);
    EXPECT_EQ(image.ParamBytes[84], 86);
    EXPECT_EQ(main.Take(), (Commands{{11, 0}}));
}
