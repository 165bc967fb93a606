// The output half of the Master, Surround, Centre and Subwoofer pages: where
// each control stores in either set, its label, what it posts, and what a
// refresh shows and never posts.
#include "pages/output_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTest>
#include <memory>
#include <string>

#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "model/param_image.h"
#include "support/case_name.h"
#include "support/comma_locale.h"
#include "support/eq_pages.h"
#include "support/recording_main.h"

namespace {

using testsupport::Command;
using testsupport::Commands;
using testsupport::RecordingMain;

class OutputPage : public ::testing::Test {
protected:
    void SetUp() override { InitParamImage(image); }
    // A page of this kind in this SystemMode, refreshed from the image.
    COutputPage& Page(EqPageKind kind, int systemMode) {
        image.ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(systemMode);
        made = testsupport::MakeEqPage(kind, &main);
        page = static_cast<COutputPage*>(made.get());
        page->Wire(&image);
        page->show();
        page->LoadFromImage();
        EXPECT_TRUE(main.Take().empty()) << "a refresh sends nothing";
        return *page;
    }
    // The user presses an arrow key on a slider: one step.
    void Press(int sliderId, Qt::Key key) {
        CMySlider* slider = page->Slider(sliderId);
        ASSERT_NE(slider, nullptr) << sliderId;
        QTest::keyClick(slider, key);
        platform::MessageQueue::Drain();
    }
    template <class T>
    void Click(int id) {
        T* control = page->ControlAs<T>(id);
        ASSERT_NE(control, nullptr) << id;
        control->click();
        platform::MessageQueue::Drain();
    }

    ParamImage image;
    RecordingMain main;
    std::unique_ptr<CEqPage> made;
    COutputPage* page = nullptr;
};

struct SliderCase {
    const char* what;
    EqPageKind kind;
    int systemMode;
    int sliderId;
    SliderField field;
    int from;
    Qt::Key key;  // Right one up, Left one down
    int labelId;
    const char* label;
    Command command;
};

// clang-format off
const SliderCase kSliderCases[] = {
    {"MasterVolumeOff", kEqMaster, 0, 1220, SliderField::Level(27), 1, Qt::Key_Left, 1221, "OFF", {14, 0}},
    {"MasterVolumeUnity", kEqMaster, 0, 1220, SliderField::Level(27), 74, Qt::Key_Right, 1221, "0.0dB", {14, 0}},
    {"MasterVolumeTop", kEqMaster, 0, 1220, SliderField::Level(27), 98, Qt::Key_Right, 1221, "12.0dB", {14, 0}},
    {"MasterCinemaVolume", kEqMaster, 1, 1220, SliderField::Level(116), 40, Qt::Key_Right, 1221, "-17.0dB", {14, 0}},
    {"MasterAutoVolume2", kEqMaster, 2, 1249, SliderField::Level(117), 2, Qt::Key_Left, 1250, "-37.0dB", {14, 0}},
    {"SurroundCinemaVolume2", kEqSurround, 1, 1249, SliderField::Level(125), 80, Qt::Key_Right, 1250, "3.0dB", {14, 2}},
    {"CentreCinemaMusicMixer", kEqCentre, 1, 1224, SliderField::Level(58), 49, Qt::Key_Right, 1225, "50%", {14, 4}},
    {"MasterMicDirect", kEqMaster, 0, 1226, SliderField::Level(29), 99, Qt::Key_Right, 1227, "100%", {14, 0}},
    {"SurroundReverbMixer", kEqSurround, 0, 1222, SliderField::Level(45), 1, Qt::Key_Left, 1223, "0%", {14, 2}},
    {"SubwooferEchoMixer", kEqSubwoofer, 2, 1551, SliderField::Level(72), 7, Qt::Key_Right, 1550, "8%", {14, 5}},
    {"SubwooferThreshold", kEqSubwoofer, 0, 1228, SliderField::Byte(73), 1, Qt::Key_Left, 1229, "-50db", {14, 5}},
    {"MasterCinemaRatio", kEqMaster, 1, 1230, SliderField::Byte(119), 3, Qt::Key_Left, 1231, "1:2", {14, 0}},
    {"SurroundAttack", kEqSurround, 0, 1232, SliderField::Byte(49), 89, Qt::Key_Right, 1233, "90ms", {14, 2}},
    {"CentreCinemaRelease", kEqCentre, 1, 1234, SliderField::Byte(137), 2, Qt::Key_Left, 1235, "0.1s", {14, 4}},
    {"MasterDelayTop", kEqMaster, 0, 1236, SliderField::Word(34), 2499, Qt::Key_Right, 1237, "50.00ms", {14, 0}},
    {"SurroundCinemaDelay2Top", kEqSurround, 1, 1244, SliderField::Word(43), 149, Qt::Key_Right, 1252, "15.0m", {14, 2}},
    {"SubwooferAutoDistance", kEqSubwoofer, 2, 1236, SliderField::Word(45), 10, Qt::Key_Right, 1237, "1.1m", {14, 5}},
    {"CentreCrossoverBottom", kEqCentre, 0, 1251, SliderField::Byte(115), 21, Qt::Key_Left, 1857, "40Hz", {62, 2}},
    {"SurroundCinemaCrossover", kEqSurround, 1, 1251, SliderField::Byte(114), 124, Qt::Key_Right, 1857, "250Hz", {62, 1}},
    {"SurroundKtvBackLeft", kEqSurround, 0, 1242, SliderField::Level(155), 0, Qt::Key_Right, 1243, "-37.0dB", {57, 0}},
    {"SurroundCinemaBackRight", kEqSurround, 1, 1253, SliderField::Level(158), 76, Qt::Key_Left, 1254, "0.0dB", {57, 0}},
};
// clang-format on

class OutputSliders : public OutputPage, public ::testing::WithParamInterface<SliderCase> {};

void StoreRaw(ParamImage& image, SliderField field, int v) {
    if (field.kind == SliderField::kWord) {
        image.ParamWords[static_cast<std::size_t>(field.index)] = static_cast<std::uint16_t>(v);
    } else {
        image.ParamBytes[static_cast<std::size_t>(field.index)] = static_cast<std::uint8_t>(v);
    }
}

}  // namespace

// The control's value lands in its field of the page's set, a level keeps its
// polarity, nothing else of the image moves, and exactly its command goes.
TEST_P(OutputSliders, AStepStoresItsFieldLabelsAndPostsOnce) {
    const SliderCase& c = GetParam();
    const bool level = c.field.kind == SliderField::kLevel;
    StoreRaw(image, c.field, level ? 0x80 | c.from : c.from);
    Page(c.kind, c.systemMode);
    const ParamImage before = image;
    Press(c.sliderId, c.key);
    const int to = c.from + (c.key == Qt::Key_Right ? 1 : -1);
    EXPECT_EQ(ReadField(image, c.field), to);
    if (level) {
        EXPECT_EQ(image.ParamBytes[static_cast<std::size_t>(c.field.index)], 0x80 | to);
    }
    ParamImage expected = before;
    StoreRaw(expected, c.field, level ? 0x80 | to : to);
    EXPECT_EQ(image.ParamBytes, expected.ParamBytes);
    EXPECT_EQ(image.ParamWords, expected.ParamWords);
    EXPECT_EQ(page->ItemText(c.labelId), c.label);
    EXPECT_EQ(main.Take(), (Commands{c.command}));
}

INSTANTIATE_TEST_SUITE_P(Pages, OutputSliders, ::testing::ValuesIn(kSliderCases),
                         testsupport::CaseName<SliderCase>);

TEST_F(OutputPage, TheCrossoverReadsLowerCaseAfterARefresh) {
    image.ParamBytes[113] = 20;
    Page(kEqMaster, 1);
    EXPECT_EQ(page->ItemText(1857), "40hz");
}

TEST_F(OutputPage, ACinemaDelayBeyondTheRangeShowsAtTheEndAndIsKept) {
    image.ParamWords[40] = 200;
    Page(kEqMaster, 1);
    EXPECT_EQ(page->Slider(1236)->Max(), 150);
    EXPECT_EQ(page->Slider(1236)->Value(), 150);
    EXPECT_EQ(image.ParamWords[40], 200);
    // Back in KTV the same slider covers 0.02 ms steps again.
    image.ParamBytes[kSystemModeByte] = 0;
    page->LoadFromImage();
    EXPECT_EQ(page->Slider(1236)->Max(), 2500);
    EXPECT_EQ(page->ItemText(1237), "0.00ms");
    EXPECT_TRUE(main.Take().empty());
}

// A refresh moves the slider and what it remembers together: the user's move
// back to the position handled before the refresh is a change.
TEST_F(OutputPage, AMoveBackAfterARefreshIsStoredAndSent) {
    image.ParamBytes[28] = 40;
    Page(kEqMaster, 0);
    Press(1249, Qt::Key_Right);
    ASSERT_EQ(image.ParamBytes[28], 41);
    main.Take();
    image.ParamBytes[28] = 42;  // a block read brings another value
    page->LoadFromImage();
    EXPECT_TRUE(main.Take().empty());
    Press(1249, Qt::Key_Left);
    EXPECT_EQ(image.ParamBytes[28], 41);
    EXPECT_EQ(main.Take(), (Commands{{14, 0}}));
}

TEST_F(OutputPage, PolarityButtonsToggleBitSevenOfTheirSetAndAlwaysPost) {
    struct Case {
        EqPageKind kind;
        int systemMode, id, byte;
        Command command;
    };
    const Case cases[] = {
        {kEqMaster, 0, 1545, 27, {14, 0}},    {kEqMaster, 1, 1545, 116, {14, 0}},
        {kEqMaster, 2, 1555, 117, {14, 0}},   {kEqCentre, 1, 1546, 57, {14, 4}},
        {kEqSubwoofer, 0, 1547, 70, {14, 5}}, {kEqSurround, 1, 1556, 45, {14, 2}},
        {kEqSurround, 0, 1558, 46, {14, 2}},  {kEqSurround, 0, 1560, 155, {57, 0}},
        {kEqSurround, 1, 1561, 158, {57, 0}},
    };
    for (const Case& c : cases) {
        image.ParamBytes[static_cast<std::size_t>(c.byte)] = 33;
        Page(c.kind, c.systemMode);
        CMyBtn* button = page->ControlAs<CMyBtn>(c.id);
        ASSERT_NE(button, nullptr) << c.id;
        EXPECT_EQ(button->text(), "+");
        const auto before = image.ParamBytes;
        button->click();
        EXPECT_EQ(image.ParamBytes[static_cast<std::size_t>(c.byte)], 0x80 | 33) << c.id;
        EXPECT_EQ(button->text(), "-");
        EXPECT_TRUE(button->Checked());
        button->click();
        EXPECT_EQ(image.ParamBytes, before) << c.id;
        EXPECT_EQ(button->text(), "+");
        EXPECT_EQ(main.Take(), (Commands{c.command, c.command})) << c.id;
    }
}

TEST_F(OutputPage, MutesAndCompBypassChangeTheirBitOfTheSetsFlagWord) {
    struct Case {
        EqPageKind kind;
        int systemMode, id, bit;
        bool setWhileChecked;
    };
    const Case cases[] = {
        {kEqMaster, 0, 1241, 0, true},   {kEqMaster, 1, 1248, 1, true},
        {kEqSurround, 2, 1247, 6, true}, {kEqSurround, 0, 1255, 7, true},
        {kEqCentre, 1, 1241, 4, true},   {kEqSubwoofer, 0, 1241, 5, true},
        {kEqMaster, 1, 1240, 19, false}, {kEqSubwoofer, 0, 1240, 24, false},
    };
    for (const Case& c : cases) {
        image.ParamFlags = image.CinemaParamFlags = 0x00F00000;
        Page(c.kind, c.systemMode);
        auto* box = page->ControlAs<QCheckBox>(c.id);
        ASSERT_NE(box, nullptr) << c.id;
        std::uint32_t& word = c.systemMode == 0 ? image.ParamFlags : image.CinemaParamFlags;
        const std::uint32_t& other = c.systemMode == 0 ? image.CinemaParamFlags : image.ParamFlags;
        // The box shows the bit: a mute checked while set, Comp Bypass while clear.
        EXPECT_EQ(box->isChecked(), ((word >> c.bit) & 1) == (c.setWhileChecked ? 1u : 0u));
        const bool wasSet = (word >> c.bit) & 1;
        box->click();
        EXPECT_EQ(((word >> c.bit) & 1) != 0, !wasSet) << c.id;
        EXPECT_EQ(other, 0x00F00000u) << c.id;
        EXPECT_EQ(main.Take(), (Commands{{15, 0}})) << c.id;
        // The image already holds what the next click asks for: nothing to send.
        word ^= 1u << c.bit;
        box->click();
        EXPECT_EQ(((word >> c.bit) & 1) != 0, wasSet) << c.id;
        EXPECT_TRUE(main.Take().empty()) << c.id;
    }
}

TEST_F(OutputPage, LargeAndSmallStoreAndSendTheSpeakerSizeInEveryKind) {
    for (int systemMode : {0, 1}) {
        image.ParamBytes[110] = 0;
        Page(kEqMaster, systemMode);
        EXPECT_TRUE(page->ControlAs<CMyBtn>(COutputPage::kLargeId)->Checked());
        Click<CMyBtn>(COutputPage::kLargeId);
        EXPECT_TRUE(main.Take().empty()) << "Large was shown already";
        Click<CMyBtn>(COutputPage::kSmallId);
        EXPECT_EQ(image.ParamBytes[110], 1);
        EXPECT_TRUE(page->ControlAs<CMyBtn>(COutputPage::kSmallId)->Checked());
        EXPECT_FALSE(page->ControlAs<CMyBtn>(COutputPage::kLargeId)->Checked());
        EXPECT_EQ(main.Take(), (Commands{{62, 0}}));
    }
}

// A size the unit reports outside Large and Small selects neither, is kept,
// and is sent by nobody; the buttons still work.
TEST_F(OutputPage, ASpeakerSizeOutOfRangeChecksNeitherAndIsKept) {
    image.ParamBytes[112] = 7;
    Page(kEqCentre, 1);
    EXPECT_EQ(page->SpeakerSize(), -1);
    EXPECT_FALSE(page->ControlAs<CMyBtn>(COutputPage::kLargeId)->Checked());
    EXPECT_FALSE(page->ControlAs<CMyBtn>(COutputPage::kSmallId)->Checked());
    EXPECT_EQ(image.ParamBytes[112], 7);
    page->LoadFromImage();
    EXPECT_TRUE(main.Take().empty());
    Click<CMyBtn>(COutputPage::kLargeId);
    EXPECT_EQ(image.ParamBytes[112], 0);
    EXPECT_EQ(main.Take(), (Commands{{62, 2}}));
    image.ParamBytes[112] = 200;
    page->LoadFromImage();
    Click<CMyBtn>(COutputPage::kSmallId);
    EXPECT_EQ(image.ParamBytes[112], 1);
    EXPECT_EQ(main.Take(), (Commands{{62, 2}}));
}

TEST_F(OutputPage, ATestBoxTakesTheSignalAndAnOldBoxLetsGoOfNothing) {
    image.PinkNoiseState = 3;  // the surround's left output has it
    Page(kEqMaster, 0);
    Click<QCheckBox>(1930);
    EXPECT_EQ(image.PinkNoiseState, 1);
    EXPECT_EQ(main.testSignals, (std::vector<int>{1}));
    Click<QCheckBox>(1931);
    EXPECT_EQ(image.PinkNoiseState, 2);
    // 1930 is still ticked on screen until the main window clears it; its
    // untick finds the signal elsewhere and changes nothing.
    Click<QCheckBox>(1930);
    EXPECT_EQ(image.PinkNoiseState, 2);
    Click<QCheckBox>(1931);
    EXPECT_EQ(image.PinkNoiseState, 0);
    main.Take();
    EXPECT_EQ(main.testSignals, (std::vector<int>{1, 2, 0}));
    EXPECT_TRUE(main.received.empty());
}

TEST_F(OutputPage, TestBoxesShowOnlyTheirOwnOutputs) {
    Page(kEqSurround, 0);
    struct Case {
        int state;
        bool left, right;
    };
    for (const Case& c : {Case{3, true, false}, Case{4, false, true}, Case{1, false, false},
                          Case{0, false, false}, Case{-3, false, false}, Case{9, false, false}}) {
        page->ShowTestSignal(c.state);
        EXPECT_EQ(page->ControlAs<QCheckBox>(1930)->isChecked(), c.left) << c.state;
        EXPECT_EQ(page->ControlAs<QCheckBox>(1931)->isChecked(), c.right) << c.state;
    }
    EXPECT_TRUE(main.Take().empty());
    EXPECT_TRUE(main.testSignals.empty());
}

TEST_F(OutputPage, CaptionsFollowTheKindAndTheLanguage) {
    struct Case {
        EqPageKind kind;
        int systemMode, id;
        const char* text;
    };
    const Case cases[] = {
        {kEqMaster, 0, 1412, "L Delay"},
        {kEqMaster, 1, 1412, "L Distance"},
        {kEqSurround, 2, 1414, "R Distance"},
        {kEqCentre, 0, 1412, "Output Delay"},
        {kEqSubwoofer, 1, 1412, "Distance"},
        {kEqCentre, 0, 1402, "Output Vol"},
        {kEqMaster, 0, 1402, "L ch Vol"},
        {kEqSurround, 0, 1413, "BS L vol"},
        {kEqSubwoofer, 0, 1930, "Test Signal"},
        {kEqMaster, 0, 1931, "Rch Test"},
        {kEqCentre, 0, 1241, "Mute"},
        {kEqSurround, 0, 1255, "BS R Mute"},
        {kEqCentre, 1, COutputPage::kSmallId, "Small"},
    };
    for (const Case& c : cases) {
        Page(c.kind, c.systemMode);
        page->SetLanguage(0);
        EXPECT_EQ(page->ItemText(c.id), c.text) << c.id;
        page->SetLanguage(1);
        EXPECT_NE(page->ItemText(c.id), c.text) << c.id;
        EXPECT_FALSE(page->ItemText(c.id).empty()) << c.id;
    }
}

// Large and Small each read beside their own box: the caption's first inked
// column follows the 16-pixel box within a few pixels, on every page with the
// speaker group and in both languages, so "Large" never sits against the
// Small box.
TEST_F(OutputPage, SpeakerSizeCaptionsSitBesideTheirOwnBoxes) {
    constexpr int kBoxWidth = 16;
    constexpr int kMostGap = 6;
    for (EqPageKind kind : {kEqMaster, kEqSurround, kEqCentre}) {
        Page(kind, 1);
        for (int language : {0, 1}) {
            page->SetLanguage(language);
            for (int id : {COutputPage::kLargeId, COutputPage::kSmallId}) {
                CMyBtn* button = page->ControlAs<CMyBtn>(id);
                ASSERT_NE(button, nullptr) << id;
                const QImage picture = button->grab().toImage();
                int firstInk = -1;
                for (int x = kBoxWidth; x < picture.width() && firstInk < 0; ++x)
                    for (int y = 0; y < picture.height(); ++y)
                        if (qGray(picture.pixel(x, y)) < 128) {
                            firstInk = x;
                            break;
                        }
                SCOPED_TRACE(std::to_string(kind) + " " + std::to_string(id) + " " +
                             std::to_string(language));
                ASSERT_GE(firstInk, 0) << "no caption drawn";
                EXPECT_LE(firstInk - kBoxWidth, kMostGap);
            }
        }
    }
}

TEST_F(OutputPage, OnePageHasOnlyItsOwnControls) {
    Page(kEqSubwoofer, 1);
    for (int id : {1249, 1244, 1251, 1242, 1253, 1555, 1931, 1248, COutputPage::kLargeId})
        EXPECT_EQ(page->Control(id), nullptr) << id;
    Page(kEqCentre, 1);
    EXPECT_NE(page->Control(1251), nullptr);
    EXPECT_EQ(page->Control(1244), nullptr);
}

TEST_F(OutputPage, LabelsPrintAPointInADecimalCommaLocale) {
    const testsupport::CLocaleAfter restore;
    if (!testsupport::UseCommaLocale()) GTEST_SKIP() << "no locale with a decimal comma";
    image.ParamBytes[116] = 76;
    image.ParamWords[40] = 125;
    image.ParamBytes[121] = 7;
    Page(kEqMaster, 1);
    EXPECT_EQ(page->ItemText(1221), "0.5dB");
    EXPECT_EQ(page->ItemText(1237), "12.5m");
    EXPECT_EQ(page->ItemText(1235), "0.7s");
    image.ParamBytes[kSystemModeByte] = 0;
    image.ParamWords[34] = 1234;
    page->LoadFromImage();
    EXPECT_EQ(page->ItemText(1237), "24.68ms");
}
