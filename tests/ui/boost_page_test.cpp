// The Boost EQ page over its own parameter image and a recording main
// window: targets, the band columns driven as a user drives them, the
// graph, the enable boxes and the page's buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "eq/eq_graph.h"
#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "eq/spin_buttons.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "pages/dlg_bt.h"
#include "support/boost_preset_layout.h"
#include "support/case_name.h"
#include "support/connected_main.h"
#include "support/device_block_layout.h"
#include "support/recording_main.h"
#include "support/scripted_prompts.h"
#include "support/temp_folder.h"

namespace {

using testsupport::Command;
using testsupport::Commands;
using testsupport::Hex;
using testsupport::RecordingMain;

constexpr WPARAM kBand = 0x31;
constexpr WPARAM kEnable = 0x30;
constexpr WPARAM kStore = 0x33;

// The image holds MUSIC first: the runs of each target, written here from
// the image's layout.
EqBand& Boost(ParamImage& image, int target, int band) {
    static constexpr int kFirst[4] = {5, 0, 10, 13};
    return image.BoostBands[static_cast<std::size_t>(kFirst[target] + band)];
}

class BoostPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitParamImage(image);
        page.resize(1096, 605);
        page.Wire(&image);
        page.SetGraphState(2);
        page.SelectTarget(CDlgBt::kTargetMic);
        // Focus moves only in an active window: the page shown in its main.
        main.resize(1280, 680);
        main.show();
        main.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
        main.Take();
    }

    QLineEdit* Edit(int base, int band) { return page.ControlAs<QLineEdit>(base + band); }
    CMySlider* Slider(int band) { return page.ControlAs<CMySlider>(CDlgBt::kSliderId + band); }
    CMyBtn* TypeButton(int band, int type) {
        return page.ControlAs<CMyBtn>(CDlgBt::kTypeButtonId + 3 * band + type);
    }
    void Enter(int base, int band, const char* text) {
        QLineEdit* e = Edit(base, band);
        e->setFocus();
        e->setText(text);
        QTest::keyClick(e, Qt::Key_Return);
    }
    // One wheel notch over the widget (away from the user for up).
    void Wheel(QWidget* over, bool up) {
        const QPoint at(over->width() / 2, over->height() / 2);
        QWheelEvent e(at, over->mapToGlobal(at), QPoint(), QPoint(0, up ? 120 : -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &e);
    }
    void Spin(int band, bool up) {
        auto* s = page.ControlAs<SpinButtons>(CDlgBt::kQSpinId + band);
        ASSERT_NE(s, nullptr);
        (up ? s->UpButton() : s->DownButton())->click();
    }
    static Command BandCommand(int band, int target) {
        return {kBand, static_cast<LPARAM>(band) << 8 | target};
    }

    ParamImage image;
    RecordingMain main;
    CDlgBt page{&main};
};

// ---- Targets ------------------------------------------------------------------

struct TargetCase {
    const char* what;
    int target;
    int bands;
};
void PrintTo(const TargetCase& c, std::ostream* os) { *os << c.what; }

class BoostTargets : public BoostPageTest, public ::testing::WithParamInterface<TargetCase> {};

TEST_P(BoostTargets, ShowTheirBandsButtonAndBoxesAndSendNothing) {
    const TargetCase& c = GetParam();
    for (int b = 0; b < c.bands; ++b) {
        EqBand& band = Boost(image, c.target, b);
        band = {0, static_cast<std::uint8_t>(b % 3), static_cast<std::uint16_t>(100 * (b + 1)),
                static_cast<std::uint16_t>(5 + b), static_cast<std::int16_t>(-35 + 20 * b)};
    }
    image.BoostEnableFlags = 0x5;          // MIC and REV on
    Enter(CDlgBt::kGainEditId, 1, "3.0");  // leaves a selection behind
    main.Take();

    page.SelectTarget(c.target);
    EXPECT_EQ(page.CurrentTarget(), c.target);
    EXPECT_EQ(page.BandCount(), c.bands);
    EXPECT_EQ(page.SelectedBand(), -1);
    for (int b = 0; b < CDlgBt::kMaxBands; ++b) {
        SCOPED_TRACE(b);
        EXPECT_EQ(Slider(b)->isVisibleTo(&page), b < c.bands);
        EXPECT_EQ(Edit(CDlgBt::kFreqEditId, b)->isVisibleTo(&page), b < c.bands);
        EXPECT_EQ(TypeButton(b, 2)->isVisibleTo(&page), b < c.bands);
        if (b >= c.bands) continue;
        const EqBand& band = Boost(image, c.target, b);
        EXPECT_EQ(Slider(b)->Value(), 240 - band.gain);
        EXPECT_EQ(Edit(CDlgBt::kGainEditId, b)->text().toStdString(),
                  std::to_string(band.gain / 10) + "." + std::to_string(std::abs(band.gain % 10)))
            << band.gain;
        EXPECT_EQ(Edit(CDlgBt::kQEditId, b)->text(), QString("0.%1").arg(5 + b));
        EXPECT_EQ(Edit(CDlgBt::kFreqEditId, b)->text(), QString::number(100 * (b + 1)));
        for (int t = 0; t < 3; ++t) EXPECT_EQ(TypeButton(b, t)->Checked(), t == b % 3);
    }
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(page.ControlAs<CMyBtn>(CDlgBt::kTargetButtonId + k)->Checked(), k == c.target);
        EXPECT_EQ(page.ControlAs<QCheckBox>(CDlgBt::kEnableBoxIds[k])->isChecked(), k % 2 == 0);
    }
    EXPECT_TRUE(main.Take().empty());
}

INSTANTIATE_TEST_SUITE_P(Boost, BoostTargets,
                         ::testing::Values(TargetCase{"Mic", 0, 5}, TargetCase{"Music", 1, 5},
                                           TargetCase{"Rev", 2, 3}, TargetCase{"Echo", 3, 3}),
                         testsupport::CaseName<TargetCase>);

TEST_F(BoostPageTest, TargetButtonsSwitchAndBackToMicShowsAllColumns) {
    page.ControlAs<CMyBtn>(CDlgBt::kTargetButtonId + CDlgBt::kTargetEcho)->click();
    EXPECT_EQ(page.CurrentTarget(), CDlgBt::kTargetEcho);
    EXPECT_FALSE(Slider(3)->isVisibleTo(&page));
    page.ControlAs<CMyBtn>(CDlgBt::kTargetButtonId + CDlgBt::kTargetMic)->click();
    EXPECT_TRUE(Slider(3)->isVisibleTo(&page));
    EXPECT_TRUE(Slider(4)->isVisibleTo(&page));
    // A target outside 0..3 changes nothing.
    for (int bad : {-1, 4}) page.SelectTarget(bad);
    EXPECT_EQ(page.CurrentTarget(), CDlgBt::kTargetMic);
    EXPECT_TRUE(main.Take().empty());
}

// ---- Gain ---------------------------------------------------------------------

struct GainCase {
    const char* what;
    const char* text;
    int stored;  // the gain x10 the band holds afterwards (it starts at 35)
};
void PrintTo(const GainCase& c, std::ostream* os) { *os << c.what; }

class BoostGainEntry : public BoostPageTest, public ::testing::WithParamInterface<GainCase> {};

TEST_P(BoostGainEntry, StoresAndSendsOrShowsTheStoredGainAgain) {
    const GainCase& c = GetParam();
    Boost(image, 0, 2).gain = 35;
    page.SelectTarget(0);
    main.Take();
    Enter(CDlgBt::kGainEditId, 2, c.text);
    EXPECT_EQ(Boost(image, 0, 2).gain, c.stored);
    const Commands sent = main.Take();
    if (c.stored == 35) {
        EXPECT_TRUE(sent.empty());
    } else {
        EXPECT_EQ(sent, (Commands{BandCommand(2, 0)}));
        EXPECT_EQ(page.SelectedBand(), 2);
    }
    // The edit and the slider show what the band holds, whatever was typed.
    char shown[16];
    std::snprintf(shown, sizeof shown, "%.1f", c.stored / 10.0);
    EXPECT_EQ(Edit(CDlgBt::kGainEditId, 2)->text().toStdString(), shown);
    EXPECT_EQ(Slider(2)->Value(), 240 - c.stored);
}

INSTANTIATE_TEST_SUITE_P(Boost, BoostGainEntry,
                         ::testing::Values(GainCase{"Lowest", "-24.0", -240},
                                           GainCase{"Highest", "24", 240},
                                           GainCase{"SixCharactersRefused", "-24.00", 35},
                                           GainCase{"AboveRangeRefused", "24.1", 35},
                                           GainCase{"JustAboveAsTypedRefused", "24.04", 35},
                                           GainCase{"HalfRoundsAwayFromZero", "1.25", 13},
                                           GainCase{"NegativeHalfRoundsAway", "-1.25", -13},
                                           GainCase{"InfinityRefused", "inf", 35},
                                           GainCase{"Equal", "3.5", 35}),
                         testsupport::CaseName<GainCase>);

// The slider's remembered position is the band's: after a switch of target
// a gain equal to the other target's last slider position is still a change.
TEST_F(BoostPageTest, GainAfterATargetSwitchIsStoredAndSent) {
    Slider(0)->setFocus();
    QTest::keyClick(Slider(0), Qt::Key_Up);  // MIC band 0: position 239, +0.1 dB
    platform::MessageQueue::Drain();
    EXPECT_EQ(Boost(image, 0, 0).gain, 1);
    EXPECT_EQ(main.Take(), (Commands{BandCommand(0, 0)}));

    page.SelectTarget(CDlgBt::kTargetEcho);
    ASSERT_EQ(Boost(image, 3, 0).gain, 0);
    Enter(CDlgBt::kGainEditId, 0, "0.1");
    EXPECT_EQ(Boost(image, 3, 0).gain, 1);
    EXPECT_EQ(main.Take(), (Commands{BandCommand(0, 3)}));

    page.SelectTarget(CDlgBt::kTargetRev);
    Wheel(Edit(CDlgBt::kGainEditId, 0), true);
    EXPECT_EQ(Boost(image, 2, 0).gain, 1);
    EXPECT_EQ(main.Take(), (Commands{BandCommand(0, 2)}));
}

TEST_F(BoostPageTest, SliderAndWheelStepTheGainWithinItsRange) {
    Boost(image, 0, 1).gain = 239;
    page.SelectTarget(0);
    QLineEdit* gain = Edit(CDlgBt::kGainEditId, 1);
    gain->setFocus();
    Wheel(gain, true);
    EXPECT_EQ(Boost(image, 0, 1).gain, 240);
    Wheel(gain, true);  // beyond 24.0 dB: nothing
    EXPECT_EQ(Boost(image, 0, 1).gain, 240);
    EXPECT_EQ(gain->text(), "24.0");
    EXPECT_EQ(main.Take(), (Commands{BandCommand(1, 0)}));
    // The slider handled by the user: each new position once.
    Slider(1)->setFocus();
    QTest::keyClick(Slider(1), Qt::Key_Down);
    platform::MessageQueue::Drain();
    EXPECT_EQ(Boost(image, 0, 1).gain, 239);
    EXPECT_EQ(gain->text(), "23.9");
    EXPECT_EQ(main.Take(), (Commands{BandCommand(1, 0)}));
}

// ---- Q and type -------------------------------------------------------------------

enum class QAction { kEnter, kSpinUp, kSpinDown, kWheelDown, kTypeLs, kTypeP };
struct QCase {
    const char* what;
    std::uint8_t type;
    std::uint16_t q;
    QAction action;
    const char* text;  // kEnter
    int storedQ;
    int storedType;
};
void PrintTo(const QCase& c, std::ostream* os) { *os << c.what; }

class BoostQ : public BoostPageTest, public ::testing::WithParamInterface<QCase> {};

TEST_P(BoostQ, KeepsQWithinTheRequestedTypesLimit) {
    const QCase& c = GetParam();
    EqBand& band = Boost(image, 1, 3);
    band.type = c.type;
    band.q = c.q;
    page.SelectTarget(CDlgBt::kTargetMusic);
    main.Take();
    switch (c.action) {
        case QAction::kEnter:
            Enter(CDlgBt::kQEditId, 3, c.text);
            break;
        case QAction::kSpinUp:
        case QAction::kSpinDown:
            Spin(3, c.action == QAction::kSpinUp);
            EXPECT_EQ(QApplication::focusWidget(), Edit(CDlgBt::kQEditId, 3));
            EXPECT_EQ(page.SelectedBand(), 3);
            break;
        case QAction::kWheelDown:
            Edit(CDlgBt::kQEditId, 3)->setFocus();
            Wheel(Edit(CDlgBt::kQEditId, 3), false);
            break;
        case QAction::kTypeLs:
            TypeButton(3, 1)->click();
            break;
        case QAction::kTypeP:
            TypeButton(3, 0)->click();
            break;
    }
    EXPECT_EQ(band.q, c.storedQ);
    EXPECT_EQ(band.type, c.storedType);
    const bool changed = c.storedQ != c.q || c.storedType != c.type;
    EXPECT_EQ(main.Take(), changed ? Commands{BandCommand(3, 1)} : Commands{});
    char shown[16];
    std::snprintf(shown, sizeof shown, "%.1f", c.storedQ / 10.0);
    EXPECT_EQ(Edit(CDlgBt::kQEditId, 3)->text().toStdString(), shown);
}

INSTANTIATE_TEST_SUITE_P(
    Boost, BoostQ,
    ::testing::Values(QCase{"PeakBelowRangeGives07", 0, 10, QAction::kEnter, "0.3", 7, 0},
                      QCase{"PeakTop", 0, 10, QAction::kEnter, "99.9", 999, 0},
                      QCase{"PeakAboveRangeGives07", 0, 10, QAction::kEnter, "100", 7, 0},
                      QCase{"ShelfTop", 1, 10, QAction::kEnter, "2.0", 20, 1},
                      QCase{"ShelfAboveItsLimitGives07", 2, 10, QAction::kEnter, "2.1", 7, 2},
                      QCase{"HugeGives07", 0, 10, QAction::kEnter, "1e30", 7, 0},
                      QCase{"SpinDownAtTheBottomStays", 0, 4, QAction::kSpinDown, nullptr, 4, 0},
                      QCase{"SpinUpAtTheShelfLimitStays", 1, 20, QAction::kSpinUp, nullptr, 20, 1},
                      QCase{"SpinUpBeyondTheShelfLimitGives04", 1, 50, QAction::kSpinUp, nullptr, 4,
                            1},
                      QCase{"SpinUpRaises", 0, 50, QAction::kSpinUp, nullptr, 51, 0},
                      QCase{"WheelDownLowers", 0, 50, QAction::kWheelDown, nullptr, 49, 0},
                      QCase{"LowShelfFromQ5Gives07", 0, 50, QAction::kTypeLs, nullptr, 7, 1},
                      QCase{"LowShelfKeepsAShelfQ", 0, 15, QAction::kTypeLs, nullptr, 15, 1},
                      QCase{"SameTypeSendsNothing", 0, 15, QAction::kTypeP, nullptr, 15, 0},
                      // A type the page has no button for is never sent back.
                      QCase{"UnknownTypeBecomesPeaking", 6, 15, QAction::kEnter, "1.5", 15, 0}),
    testsupport::CaseName<QCase>);

TEST_F(BoostPageTest, TypeButtonsCheckTheRequestedType) {
    Boost(image, 0, 0).type = 6;
    page.SelectTarget(0);
    for (int t = 0; t < 3; ++t) EXPECT_FALSE(TypeButton(0, t)->Checked()) << t;
    TypeButton(0, 2)->click();
    EXPECT_TRUE(TypeButton(0, 2)->Checked());
    EXPECT_FALSE(TypeButton(0, 0)->Checked());
    EXPECT_EQ(Boost(image, 0, 0).type, kBandTypeHighShelf);
}

// ---- Frequency ------------------------------------------------------------------------

TEST_F(BoostPageTest, FrequencyCommitsOnEnterOrFocusLossWithinRange) {
    const int stored = Boost(image, 0, 1).frequency;
    Enter(CDlgBt::kFreqEditId, 1, "19");
    EXPECT_EQ(Boost(image, 0, 1).frequency, stored);
    EXPECT_EQ(Edit(CDlgBt::kFreqEditId, 1)->text(), QString::number(stored));
    EXPECT_TRUE(main.Take().empty());

    Enter(CDlgBt::kFreqEditId, 1, "20000");
    EXPECT_EQ(Boost(image, 0, 1).frequency, 20000);
    EXPECT_EQ(main.Take(), (Commands{BandCommand(1, 0)}));
    Wheel(Edit(CDlgBt::kFreqEditId, 1), true);  // beyond 20000: nothing
    EXPECT_EQ(Boost(image, 0, 1).frequency, 20000);
    Wheel(Edit(CDlgBt::kFreqEditId, 1), false);
    EXPECT_EQ(Boost(image, 0, 1).frequency, 19999);
    EXPECT_EQ(main.Take(), (Commands{BandCommand(1, 0)}));

    QLineEdit* f = Edit(CDlgBt::kFreqEditId, 1);
    QTest::keyClick(f, Qt::Key_Backspace);
    QTest::keyClicks(f, "5");
    Edit(CDlgBt::kGainEditId, 4)->setFocus();
    EXPECT_EQ(Boost(image, 0, 1).frequency, 19995);
    EXPECT_EQ(main.Take(), (Commands{BandCommand(1, 0)}));
}

// ---- Focus and the graph ----------------------------------------------------------------

TEST_F(BoostPageTest, FocusIntoABandColumnSelectsIt) {
    EXPECT_EQ(page.SelectedBand(), -1);
    Edit(CDlgBt::kQEditId, 2)->setFocus();
    EXPECT_EQ(page.SelectedBand(), 2);
    EXPECT_TRUE(Slider(2)->Focused());
    Edit(CDlgBt::kFreqEditId, 4)->setFocus();
    EXPECT_EQ(page.SelectedBand(), 4);
    EXPECT_FALSE(Slider(2)->Focused());
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(BoostPageTest, DraggingAMarkerMovesItsBandAndSendsEachChangeOnce) {
    QPoint from;
    ASSERT_TRUE(page.MarkerCentre(3, &from));
    QTest::mousePress(&page, Qt::LeftButton, Qt::NoModifier, from);
    EXPECT_EQ(page.SelectedBand(), 3);
    EXPECT_EQ(QApplication::focusWidget(), Slider(3));
    const QRect g = page.GraphRect();
    QTest::mouseMove(&page, g.topLeft());
    page.OnMouseMove(g.topLeft());
    EXPECT_EQ(Boost(image, 0, 3).frequency, 20);
    EXPECT_EQ(Boost(image, 0, 3).gain, 240);
    EXPECT_EQ(Edit(CDlgBt::kGainEditId, 3)->text(), "24.0");
    EXPECT_EQ(Edit(CDlgBt::kFreqEditId, 3)->text(), "20");
    EXPECT_EQ(Slider(3)->Value(), 0);
    EXPECT_EQ(main.Take(), (Commands{BandCommand(3, 0)}));
    // Leaving the graph ends the drag.
    page.OnMouseMove(g.topLeft() - QPoint(0, 1));
    page.OnMouseMove(g.center());
    EXPECT_EQ(Boost(image, 0, 3).gain, 240);
    EXPECT_TRUE(main.Take().empty());
}

// Unlike the EQ pages' graphs, the boost graph has no Q drag and no band
// editor: the right button and a double click move no band and open no box.
TEST_F(BoostPageTest, TheRightButtonAndADoubleClickLeaveTheBandsAlone) {
    Boost(image, 0, 1).frequency = 200;
    Boost(image, 0, 3).frequency = 4000;
    page.SelectTarget(CDlgBt::kTargetMic);
    main.Record(WM_OPEN_EQ_EDITOR);
    const auto before = image.BoostBands;
    auto unchanged = [&] { return image.BoostBands == before; };
    QPoint selected, other;
    ASSERT_TRUE(page.MarkerCentre(3, &selected));
    ASSERT_TRUE(page.MarkerCentre(1, &other));
    QTest::mouseClick(&page, Qt::LeftButton, Qt::NoModifier, selected);
    ASSERT_EQ(page.SelectedBand(), 3);

    for (const QPoint at : {selected, other}) {
        QTest::mousePress(&page, Qt::RightButton, Qt::NoModifier, at);
        for (const QPoint by : {QPoint(40, 0), QPoint(-60, 30)}) {
            QMouseEvent move(QEvent::MouseMove, at + by, page.mapToGlobal(at + by), Qt::NoButton,
                             Qt::RightButton, Qt::NoModifier);
            QApplication::sendEvent(&page, &move);
        }
        QTest::mouseRelease(&page, Qt::RightButton, Qt::NoModifier, at);
        EXPECT_EQ(page.SelectedBand(), 3);
    }
    EXPECT_TRUE(unchanged());
    EXPECT_TRUE(main.Take().empty());

    bool boxOpened = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            boxOpened = true;
            box->close();
        }
    });
    QTest::mouseDClick(&page, Qt::LeftButton, Qt::NoModifier, other);
    EXPECT_TRUE(main.Take().empty());
    QApplication::processEvents();
    EXPECT_FALSE(boxOpened);
    EXPECT_TRUE(main.TakeMessages().empty());
    EXPECT_TRUE(unchanged());
    // The double click is two clicks: the band clicked is selected.
    EXPECT_EQ(page.SelectedBand(), 1);
}

TEST_F(BoostPageTest, CurveIsDrawnOnlyOnceTheGraphMay) {
    ParamImage fresh;
    InitParamImage(fresh);
    Boost(fresh, 0, 2).gain = 120;
    RecordingMain other;
    CDlgBt before(&other);
    before.Wire(&fresh);
    const QImage empty = before.Graph().Canvas().copy();
    before.SelectTarget(0);
    EXPECT_EQ(before.Graph().Canvas(), empty);
    before.SetGraphState(2);
    before.SelectTarget(0);
    EXPECT_NE(before.Graph().Canvas(), empty);
}

// ---- Enable boxes and buttons ---------------------------------------------------------

TEST_F(BoostPageTest, EnableBoxesSetAndClearTheirBit) {
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        image.BoostEnableFlags = 0;
        page.SelectTarget(0);
        auto* box = page.ControlAs<QCheckBox>(CDlgBt::kEnableBoxIds[k]);
        box->click();
        EXPECT_EQ(image.BoostEnableFlags, 1 << k);
        box->click();
        EXPECT_EQ(image.BoostEnableFlags, 0);
        EXPECT_EQ(main.Take(), (Commands{{kEnable, 1 << k}, {kEnable, 0}}));
    }
}

TEST_F(BoostPageTest, StoreSendsTheWholeSetting) {
    page.ControlAs<QPushButton>(CDlgBt::kStoreId)->click();
    EXPECT_EQ(main.Take(), (Commands{{kStore, 0}}));
}

// ---- Preset files --------------------------------------------------------------------

constexpr const char* kFilter = "Param Files (*.btpar);;All Files(*.*)";
const std::string kSaved = " \t   存储成功 \t   ";
const std::string kSaveFailed = " \t   存储失败 \t   ";
const std::string kLoadFailed = " \t   加载失败 \t  ";

using Bytes = std::vector<std::uint8_t>;

using testsupport::BoostPresetBytesOf;
using testsupport::ResealBoostPreset;
using testsupport::WriteFileBytes;
Bytes ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray a = file.readAll();
    return Bytes(a.begin(), a.end());
}

class BoostFiles : public BoostPageTest {
protected:
    void ShapeBands(ParamImage& i, int seed) {
        for (int k = 0; k < 16; ++k) {
            i.BoostBands[static_cast<std::size_t>(k)] = {
                0, static_cast<std::uint8_t>((k + seed) % 3),
                static_cast<std::uint16_t>(20 + 1234 * k + seed),
                static_cast<std::uint16_t>(k % 3 == 0 ? 40 + k : 4 + k),
                static_cast<std::int16_t>((k % 2 ? -1 : 1) * (15 * k + seed))};
        }
        i.BoostEnableFlags = 0x9;
    }
    void ClickSave(std::optional<std::string> path) {
        prompts.AnswerFile(std::move(path));
        page.ControlAs<QPushButton>(CDlgBt::kSaveFileId)->click();
    }
    void ClickLoad(std::optional<std::string> path) {
        prompts.AnswerFile(std::move(path));
        page.ControlAs<QPushButton>(CDlgBt::kLoadFileId)->click();
    }
    std::string Path(const char* name) const {
        return QDir(folder.path()).filePath(name).toStdString();
    }

    testsupport::ScriptedPrompts prompts;
    QTemporaryDir folder;
};

TEST_F(BoostFiles, SaveThenLoadGivesTheSameSettingShownAndStoredInTheUnit) {
    ShapeBands(image, 3);
    page.SelectTarget(CDlgBt::kTargetEcho);
    main.setWindowTitle("Professional Audio System");
    const ParamImage saved = image;
    ClickSave(Path("live.btpar"));
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].kind, testsupport::ScriptedPrompts::Kind::SaveFile);
    EXPECT_EQ(prompts.shown()[0].filter, kFilter);
    EXPECT_EQ(prompts.shown()[0].defaultSuffix, "btpar");
    EXPECT_EQ(prompts.shown()[1].text, kSaved);
    EXPECT_EQ(prompts.shown()[1].caption, "Professional Audio System");
    EXPECT_EQ(Hex(ReadBytes(QString::fromStdString(Path("live.btpar")))),
              Hex(BoostPresetBytesOf(saved)));
    EXPECT_TRUE(main.Take().empty());

    prompts.Clear();
    ShapeBands(image, 7);
    image.BoostEnableFlags = 0x6;
    page.SelectTarget(CDlgBt::kTargetEcho);
    ClickLoad(Path("live.btpar"));
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].kind, testsupport::ScriptedPrompts::Kind::OpenFile);
    EXPECT_EQ(prompts.shown()[0].filter, kFilter);
    EXPECT_TRUE(blocktest::SameBands(image.BoostBands, saved.BoostBands));
    EXPECT_EQ(image.BoostEnableFlags, 0x9);
    EXPECT_EQ(main.Take(), (Commands{{kStore, 0}}));
    // The page shows the loaded bands of the target it was on.
    EXPECT_EQ(page.CurrentTarget(), CDlgBt::kTargetEcho);
    EXPECT_EQ(Edit(CDlgBt::kFreqEditId, 2)->text(),
              QString::number(Boost(image, CDlgBt::kTargetEcho, 2).frequency));
    EXPECT_TRUE(page.ControlAs<QCheckBox>(CDlgBt::kEnableBoxIds[3])->isChecked());
}

TEST_F(BoostFiles, TheEnableByteIsTakenWhole) {
    Bytes f = BoostPresetBytesOf(image);
    f[1] = 0xF5;
    ResealBoostPreset(f);
    WriteFileBytes(Path("high.btpar"), f);
    image.BoostEnableFlags = 0x100;
    ClickLoad(Path("high.btpar"));
    EXPECT_EQ(image.BoostEnableFlags, 0xF5);
}

struct RefusedFile {
    const char* what;
    void (*spoil)(Bytes&);
};
void PrintTo(const RefusedFile& c, std::ostream* os) { *os << c.what; }

class BoostRefusedFiles : public BoostFiles, public ::testing::WithParamInterface<RefusedFile> {};

TEST_P(BoostRefusedFiles, ChangeNothingAndSayTheLoadFailed) {
    ShapeBands(image, 1);
    Bytes f = BoostPresetBytesOf(image);
    GetParam().spoil(f);
    WriteFileBytes(Path("bad.btpar"), f);
    ShapeBands(image, 2);
    page.SelectTarget(CDlgBt::kTargetMusic);
    const ParamImage before = image;
    const QString shownFreq = Edit(CDlgBt::kFreqEditId, 0)->text();
    ClickLoad(Path("bad.btpar"));
    EXPECT_TRUE(blocktest::SameImage(image, before));
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{kLoadFailed}));
    EXPECT_EQ(Edit(CDlgBt::kFreqEditId, 0)->text(), shownFreq);
    EXPECT_TRUE(main.Take().empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Boost, BoostRefusedFiles, ::testing::Values(
    RefusedFile{"Short", [](Bytes& f) { f.pop_back(); ResealBoostPreset(f); }},
    RefusedFile{"Long", [](Bytes& f) { f.push_back(0); }},
    RefusedFile{"Empty", [](Bytes& f) { f.clear(); }},
    RefusedFile{"WrongMagic", [](Bytes& f) { f[0] = 0x94; ResealBoostPreset(f); }},
    RefusedFile{"LastByteNotZero", [](Bytes& f) { f[131] = 1; ResealBoostPreset(f); }},
    RefusedFile{"OneByteChanged", [](Bytes& f) { f[50] ^= 0x10; }},
    // The plain sum of every byte is 0, which is not the file's rule.
    RefusedFile{"PlainSumZero", [](Bytes& f) { f[130] = static_cast<std::uint8_t>(f[130] + 0x95); }},
    RefusedFile{"GainOutOfRange", [](Bytes& f) { f[2 + 6] = 0x2D; f[2 + 7] = 0x01; ResealBoostPreset(f); }},
    RefusedFile{"QBelowRange", [](Bytes& f) { f[42 + 4] = 3; f[42 + 5] = 0; ResealBoostPreset(f); }},
    RefusedFile{"FrequencyAboveRange", [](Bytes& f) { f[106 + 2] = 0x21; f[106 + 3] = 0x4E; ResealBoostPreset(f); }},
    RefusedFile{"PassFilterType", [](Bytes& f) { f[82 + 1] = 3; ResealBoostPreset(f); }},
    RefusedFile{"SlopeOutOfRange", [](Bytes& f) { f[114] = 8; ResealBoostPreset(f); }}),
    testsupport::CaseName<RefusedFile>);
// clang-format on

TEST_F(BoostFiles, AMissingFileSaysTheLoadFailed) {
    const ParamImage before = image;
    ClickLoad(Path("none.btpar"));
    EXPECT_TRUE(blocktest::SameImage(image, before));
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{kLoadFailed}));
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(BoostFiles, AFailedSaveSaysSoAndKeepsTheOldFileWhole) {
    ClickSave(Path("no-such-folder/x.btpar"));
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{kSaveFailed}));
}

// A band the file could not load back (a value read from the unit) is never
// written: the refusal names the group, the band, the field, the value and
// its range in the window's language, and neither a new file nor an old one
// changes.
TEST_F(BoostFiles, ASaveRefusedForAValueNamesItAndWritesNothing) {
    const struct {
        int target, band;
        void (*spoil)(EqBand&);
        const char* english;
        const char* chinese;
    } cases[] = {
        {CDlgBt::kTargetMusic, 1, [](EqBand& b) { b.gain = -255; },
         "Boost EQ MUSIC band 2: gain -25.5 dB, outside -24.0 dB .. 24.0 dB",
         "音乐均衡 第2段: 增益 -25.5 dB, 超出范围 -24.0 dB .. 24.0 dB"},
        {CDlgBt::kTargetMic, 0, [](EqBand& b) { b.q = 0; },
         "Boost EQ MIC band 1: Q 0.0, outside 0.4 .. 99.9",
         "麦克风均衡 第1段: Q值 0.0, 超出范围 0.4 .. 99.9"},
        {CDlgBt::kTargetEcho, 2, [](EqBand& b) { b.frequency = 19; },
         "Boost EQ ECHO band 3: frequency 19 Hz, outside 20 Hz .. 20000 Hz",
         "回声均衡 第3段: 频率 19 Hz, 超出范围 20 Hz .. 20000 Hz"},
        {CDlgBt::kTargetRev, 1, [](EqBand& b) { b.type = kBandTypeLowPass; },
         "Boost EQ REV band 2: type 3, outside 0 .. 2", "混响均衡 第2段: 类型 3, 超出范围 0 .. 2"},
        {CDlgBt::kTargetMusic, 4, [](EqBand& b) { b.slope = 8; },
         "Boost EQ MUSIC band 5: slope 8, outside 0 .. 7",
         "音乐均衡 第5段: 斜率 8, 超出范围 0 .. 7"},
    };
    const std::string old = Path("old.btpar");
    const Bytes oldBytes = BoostPresetBytesOf(image);
    WriteFileBytes(old, oldBytes);
    const ParamImage good = image;
    for (const auto& c : cases) {
        for (int language : {kLanguageEnglish, kLanguageChinese}) {
            SCOPED_TRACE(std::string(c.english) + ", language " + std::to_string(language));
            image = good;
            image.Language = language;
            c.spoil(Boost(image, c.target, c.band));
            for (const std::string& path : {old, Path("new.btpar")}) {
                prompts.Clear();
                ClickSave(path);
                const std::string failed = FileResultText(FileResult::kSaveFailed, language);
                EXPECT_EQ(
                    prompts.Texts(),
                    (std::vector<std::string>{
                        failed + "\n" + (language == kLanguageChinese ? c.chinese : c.english)}));
            }
            EXPECT_EQ(Hex(ReadBytes(QString::fromStdString(old))), Hex(oldBytes));
            EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("new.btpar"))));
            EXPECT_TRUE(main.Take().empty());
        }
    }
}

TEST_F(BoostFiles, CancelledDialogsDoNothing) {
    const ParamImage before = image;
    ClickSave(std::nullopt);
    ClickLoad(std::nullopt);
    EXPECT_EQ(prompts.shown().size(), 2u);
    EXPECT_TRUE(prompts.Texts().empty());
    EXPECT_TRUE(blocktest::SameImage(image, before));
    EXPECT_TRUE(main.Take().empty());
}

// ---- In the main window ----------------------------------------------------------------

TEST(BoostPageInMain, EachShowingStartsOnMicAndCloseReturnsToTheSystemPage) {
    QTemporaryDir folder;
    CQuavixDlg dlg(QDir(folder.path()).filePath("param_dir").toStdString());
    dlg.OnInitDialog();
    platform::MessageQueue::Drain();
    auto* boost = static_cast<CDlgBt*>(dlg.PageForIndex(kPageBt));
    EXPECT_EQ(boost->GraphState(), 2);
    EXPECT_FALSE(boost->isVisibleTo(&dlg));

    for (int showing = 0; showing < 2; ++showing) {
        SCOPED_TRACE(showing);
        boost->SelectTarget(CDlgBt::kTargetEcho);
        dlg.PostMessage(WM_BOOST_PAGE, 0, 1);
        platform::MessageQueue::Drain();
        EXPECT_TRUE(boost->isVisibleTo(&dlg));
        EXPECT_EQ(dlg.CurrentPage(), kPageBt);
        EXPECT_EQ(boost->CurrentTarget(), CDlgBt::kTargetMic);
        EXPECT_EQ(dlg.Image().BoostPageEnabled, 1);
        // Shown again while it is the current page: back on MIC all the same.
        boost->SelectTarget(CDlgBt::kTargetRev);
        dlg.PostMessage(WM_BOOST_PAGE, 0, 1);
        platform::MessageQueue::Drain();
        EXPECT_EQ(boost->CurrentTarget(), CDlgBt::kTargetMic);

        boost->ControlAs<QPushButton>(CDlgBt::kCloseId)->click();
        platform::MessageQueue::Drain();
        EXPECT_FALSE(boost->isVisibleTo(&dlg));
        EXPECT_EQ(dlg.CurrentPage(), kPageSys);
        EXPECT_TRUE(dlg.PageForIndex(kPageSys)->isVisibleTo(&dlg));
        EXPECT_EQ(dlg.Image().BoostPageEnabled, 0);
    }
}

}  // namespace
