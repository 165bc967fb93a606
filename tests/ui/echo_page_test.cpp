// The Echo page's own controls: the sliders of each echo type, the layout
// the type lays out, the type combo offline and while connected, captions.
#include <gtest/gtest.h>

#include <QComboBox>

#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "pages/dlg_echo.h"
#include "support/page_fixture.h"
#include "support/user_input.h"

namespace {

using testsupport::Commands;

constexpr int kMono = 0, kStereo = 1, kDual = 2;

class EchoPage : public testsupport::PageFixture<CDlgEcho> {
protected:
    void SetUp() override {
        page.SetLinkQuery([this] { return connected; });
        PageFixture::SetUp();
    }
    void Refresh(int type) {
        image.ParamBytes[85] = static_cast<std::uint8_t>(type);
        page.LoadFromImage();
    }
    QComboBox* Type() { return page.ControlAs<QComboBox>(CDlgEcho::kTypeComboId); }
    void Choose(int index) { testsupport::Choose(Type(), index); }
    CMySlider* Slider(int id) { return page.ControlAs<CMySlider>(id); }
    bool Shown(int id) { return page.Control(id)->isVisibleTo(&page); }

    bool connected = false;
};

}  // namespace

TEST_F(EchoPage, EachSliderStoresWhereTheTypeSaysShowsItsLabelAndSendsCode13) {
    struct Case {
        int type;
        SliderStep step;
    };
    const Case cases[] = {
        {kMono, {1228, true, 31, 0, Qt::Key_Right, 1, 1229, "1ms"}},
        {kMono, {1220, true, 30, 2, Qt::Key_Left, 1, 1221, "1ms"}},
        {kMono, {1224, false, 86, 0x80 | 100, Qt::Key_Left, 0x80 | 99, 1225, "99"}},
        {kMono, {1222, false, 87, 89, Qt::Key_Right, 90, 1223, "90%"}},
        {kMono, {1232, false, 91, 0x80, Qt::Key_Right, 0x81, 1235, "1"}},
        {kStereo, {1226, false, 92, 50, Qt::Key_Right, 51, 1227, "1%"}},
        {kStereo, {1233, false, 93, 1, Qt::Key_Left, 0, 1237, "-50%"}},
        {kDual, {1226, true, 32, 499, Qt::Key_Right, 500, 1227, "500ms"}},
        {kDual, {1233, true, 33, 0, Qt::Key_Right, 1, 1237, "1ms"}},
        {kDual, {1218, false, 88, 0x80 | 5, Qt::Key_Right, 0x80 | 6, 1219, "6"}},
        {kDual, {1234, false, 89, 60, Qt::Key_Left, 59, 1239, "59%"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type));
        image.ParamBytes[85] = static_cast<std::uint8_t>(c.type);
        const ParamImage before = image;
        ExpectSliderStep(c.step, 13);
        // Nothing else moved: in stereo the words 32 / 33 stay, otherwise the
        // bytes 92 / 93.
        for (int w : {32, 33}) {
            if (c.step.word && w == c.step.index) continue;
            EXPECT_EQ(image.ParamWords[w], before.ParamWords[w]) << w;
        }
        for (int b : {92, 93}) {
            if (!c.step.word && b == c.step.index) continue;
            EXPECT_EQ(image.ParamBytes[b], before.ParamBytes[b]) << b;
        }
    }
}

TEST_F(EchoPage, TheTypeLaysOutTheRightRowsRangesAndLeftCaptions) {
    struct Case {
        int type;
        bool level, delay, predelay, repeat;
        int delayMin, delayMax;
        const char* captions[4];  // 1465, 1466, 1467, 1469
    };
    const Case cases[] = {
        {kMono,
         false,
         false,
         false,
         false,
         1,
         500,
         {"Echo Delay", "Echo Repeat", "Echo Eff Level", "Echo Predelay"}},
        {kStereo,
         false,
         true,
         true,
         false,
         0,
         100,
         {"Echo Left Delay", "Echo Repeat", "Echo Eff Level", "Echo Predelay"}},
        {kDual,
         true,
         true,
         true,
         true,
         1,
         500,
         {"Echo Left Delay", "Echo Left Ch Repeat", "Echo Eff L Level", "Echo Left Ch Predelay"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        Refresh(c.type);
        EXPECT_EQ(page.LaidOutType(), c.type);
        EXPECT_EQ(Type()->currentIndex(), c.type);
        for (int id : {1470, 1219, 1218, 1853}) EXPECT_EQ(Shown(id), c.level) << id;
        for (int id : {1468, 1227, 1226}) EXPECT_EQ(Shown(id), c.delay) << id;
        for (int id : {1472, 1237, 1233}) EXPECT_EQ(Shown(id), c.predelay) << id;
        for (int id : {1474, 1239, 1234}) EXPECT_EQ(Shown(id), c.repeat) << id;
        EXPECT_EQ(Slider(1226)->Min(), c.delayMin);
        EXPECT_EQ(Slider(1226)->Max(), c.delayMax);
        EXPECT_EQ(Slider(1233)->Max(), 100);
        const int ids[4] = {1465, 1466, 1467, 1469};
        for (int k = 0; k < 4; ++k) EXPECT_EQ(page.ItemText(ids[k]), c.captions[k]) << ids[k];
        // Liveliness is never shown.
        for (int id : {1471, 1230, 1231}) EXPECT_FALSE(Shown(id)) << id;
    }
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(EchoPage, OfflineATypeLoadsTheDefaultsAndReLaysSendingNothing) {
    Refresh(kMono);
    image.ParamBytes[86] = 3;
    image.ParamWords[30] = 444;
    Choose(kStereo);
    EXPECT_EQ(image.ParamBytes[85], kStereo);
    const int bytes[] = {228, 60, 228, 60, 40, 0, 50, 50};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(image.ParamBytes[86 + k], bytes[k]) << 86 + k;
    const int words[] = {200, 0, 200, 0};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(image.ParamWords[30 + k], words[k]) << 30 + k;
    EXPECT_EQ(page.LaidOutType(), kStereo);
    EXPECT_FALSE(Shown(1218));
    EXPECT_FALSE(Shown(1234));
    EXPECT_EQ(page.ItemText(1227), "0%");
    EXPECT_EQ(page.ItemText(1237), "0%");
    EXPECT_EQ(page.ItemText(1221), "200ms");
    EXPECT_EQ(page.ControlAs<CMyBtn>(1852)->text(), "-");

    Choose(kDual);
    EXPECT_TRUE(Shown(1218));
    EXPECT_EQ(page.ItemText(1227), "200ms");
    EXPECT_EQ(Slider(1226)->Value(), 200);
    EXPECT_EQ(Slider(1226)->Max(), 500);
    // The type already held does nothing.
    image.ParamBytes[87] = 11;
    Choose(kDual);
    EXPECT_EQ(image.ParamBytes[87], 11);
    EXPECT_TRUE(main.Take().empty());
}

// The defaults move the sliders, and with them the positions the page
// remembers: a move back to the position handled before still counts.
TEST_F(EchoPage, AMoveBackAfterATypeChangeIsNotSwallowed) {
    Refresh(kMono);
    image.ParamWords[30] = 200;
    page.LoadFromImage();
    testsupport::SliderKey(page, 1220, Qt::Key_Right);  // 201
    main.Take();
    Choose(kStereo);  // delay back to 200
    EXPECT_EQ(Slider(1220)->Value(), 200);
    testsupport::SliderKey(page, 1220, Qt::Key_Right);
    EXPECT_EQ(image.ParamWords[30], 201);
    EXPECT_EQ(page.ItemText(1221), "201ms");
    EXPECT_EQ(main.Take(), (Commands{{13, 0}}));
}

TEST_F(EchoPage, ConnectedATypeAsksTheUnitAloneAndTakesNoInputUntilTheAnswer) {
    Refresh(kStereo);
    connected = true;
    const ParamImage before = image;
    Choose(kDual);
    EXPECT_EQ(main.Take(), (Commands{{58, 2}}));
    // The image keeps the type its values belong to until the answer.
    EXPECT_EQ(image.ParamBytes[85], kStereo);
    EXPECT_EQ(Type()->currentIndex(), kDual);
    EXPECT_TRUE(page.AwaitingType());
    EXPECT_FALSE(page.isEnabled());
    // The layout, and the field of the right delay, stay stereo's.
    EXPECT_EQ(page.LaidOutType(), kStereo);
    EXPECT_EQ(Slider(1226)->Max(), 100);
    EXPECT_FALSE(Shown(1218));
    page.PostMessage(WM_SLIDER_POS, 1226, 90);
    EXPECT_TRUE(main.Take().empty());
    EXPECT_EQ(image.ParamBytes[92], before.ParamBytes[92]);
    EXPECT_EQ(image.ParamWords[32], before.ParamWords[32]);

    // The answer: the type and the unit's values for it.
    image.ParamBytes[85] = kDual;
    image.ParamWords[32] = 321;
    page.OnTypeAnswer(image.ParamBytes[85]);
    EXPECT_FALSE(page.AwaitingType());
    EXPECT_TRUE(page.isEnabled());
    EXPECT_EQ(page.LaidOutType(), kDual);
    EXPECT_EQ(page.ItemText(1227), "321ms");
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(EchoPage, ACancelledTypeChangeReturnsTheComboToTheImagesType) {
    Refresh(kMono);
    connected = true;
    Choose(kStereo);
    main.Take();
    page.CancelTypeChange();
    EXPECT_EQ(image.ParamBytes[85], kMono);
    EXPECT_EQ(Type()->currentIndex(), kMono);
    EXPECT_EQ(page.LaidOutType(), kMono);
    EXPECT_FALSE(page.AwaitingType());
    EXPECT_TRUE(page.isEnabled());
    // With nothing waiting it does nothing.
    image.ParamBytes[85] = kDual;
    page.CancelTypeChange();
    EXPECT_EQ(image.ParamBytes[85], kDual);
    EXPECT_EQ(Type()->currentIndex(), kMono);
    EXPECT_TRUE(main.Take().empty());
}

// A whole-image refresh while the answer is awaited (a block read, a mode
// file, a boost read) lays out the image's own type over its own values; the
// page stays closed with the combo on the type asked for, and the answer
// lays out the type it brings.
TEST_F(EchoPage, ARefreshDuringTheWaitShowsTheImageAndTheAnswerStillLaysOut) {
    struct Case {
        const char* what;
        int imageType;
        int rightDelayMax;
        bool rightDelayShown;
        const char* rightDelayLabel;  // of the field the type lays out
    };
    const Case cases[] = {
        {"image kept", kStereo, 100, true, "20%"},
        {"image replaced by a mono one", kMono, 500, false, "250ms"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        connected = false;
        image.ParamBytes[92] = 70;
        image.ParamWords[32] = 250;
        Refresh(kStereo);
        connected = true;
        Choose(kDual);
        EXPECT_EQ(main.Take(), (Commands{{58, kDual}}));

        Refresh(c.imageType);
        EXPECT_TRUE(page.AwaitingType());
        EXPECT_FALSE(page.isEnabled());
        EXPECT_EQ(page.LaidOutType(), c.imageType);
        EXPECT_EQ(Type()->currentIndex(), kDual);
        EXPECT_EQ(Slider(1226)->Max(), c.rightDelayMax);
        EXPECT_EQ(Shown(1226), c.rightDelayShown);
        EXPECT_EQ(page.ItemText(1227), c.rightDelayLabel);
        EXPECT_EQ(image.ParamBytes[85], c.imageType);

        image.ParamBytes[85] = kDual;
        image.ParamWords[32] = 321;
        page.OnTypeAnswer(kDual);
        EXPECT_FALSE(page.AwaitingType());
        EXPECT_TRUE(page.isEnabled());
        EXPECT_EQ(page.LaidOutType(), kDual);
        EXPECT_EQ(Type()->currentIndex(), kDual);
        EXPECT_EQ(page.ItemText(1227), "321ms");
        testsupport::SliderKey(page, 1226, Qt::Key_Right);
        EXPECT_EQ(image.ParamWords[32], 322);
        EXPECT_EQ(image.ParamBytes[92], 70);
        EXPECT_EQ(main.Take(), (Commands{{13, 0}}));
    }
}

// A tick of the page's own timer, as the platform delivers it.
struct EchoTimerTick : CDlgEcho {
    static void Fire(CDlgEcho& page, int id) {
        void (CDlgEcho::*onTimer)(int) = &EchoTimerTick::OnTimer;
        (page.*onTimer)(id);
    }
};

TEST_F(EchoPage, AnAnswerThatNeverComesGivesUpAndReturnsToTheLaidOutType) {
    Refresh(kMono);
    connected = true;
    Choose(kStereo);
    main.Take();
    ASSERT_TRUE(page.AwaitingType());
    EXPECT_TRUE(page.HasTimer(CDlgEcho::kTypeAnswerTimer));
    EchoTimerTick::Fire(page, CDlgEcho::kTypeAnswerTimer);
    EXPECT_FALSE(page.AwaitingType());
    EXPECT_FALSE(page.HasTimer(CDlgEcho::kTypeAnswerTimer));
    EXPECT_EQ(image.ParamBytes[85], kMono);
    EXPECT_EQ(Type()->currentIndex(), kMono);
    EXPECT_TRUE(page.isEnabled());
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(EchoPage, ATypeOutsideTheListKeepsTheLayoutAndSelectsNothing) {
    Refresh(kDual);
    image.ParamWords[32] = 250;
    image.ParamBytes[92] = 10;
    Refresh(5);
    EXPECT_EQ(page.LaidOutType(), kDual);
    EXPECT_EQ(Type()->currentIndex(), -1);
    EXPECT_EQ(Slider(1226)->Value(), 250);
    EXPECT_EQ(page.ItemText(1227), "250ms");
    EXPECT_EQ(page.ItemText(1465), "Echo Left Delay");
    EXPECT_EQ(image.ParamBytes[85], 5);
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(EchoPage, ALanguageSwitchRecaptionsAndRefillsKeepingTheSelection) {
    Refresh(kDual);
    page.SetLanguage(1);
    EXPECT_EQ(Type()->currentIndex(), kDual);
    EXPECT_EQ(Type()->currentText().toStdString(), "双回声");
    EXPECT_EQ(page.ItemText(1469), UiText(1, 79));
    EXPECT_EQ(page.ItemText(1470), UiText(1, 194));
    Refresh(7);
    page.SetLanguage(0);
    EXPECT_EQ(Type()->currentIndex(), -1);
    EXPECT_EQ(Type()->itemText(0).toStdString(), "mono");
    EXPECT_EQ(page.ItemText(1469), "Echo Left Ch Predelay");
    EXPECT_TRUE(main.Take().empty());
}
