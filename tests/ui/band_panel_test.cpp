#include "eq/band_panel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <utility>
#include <vector>

#include "model/param_image.h"
#include "eq/spin_buttons.h"

namespace {

using Message = std::pair<WPARAM, LPARAM>;
using Messages = std::vector<Message>;

// Stands in for the page: records what the panel posts to it.
class RecordingPage : public platform::Window {
public:
    RecordingPage() {
        MapMessage(WM_PANEL_BAND_CHANGED, [this](WPARAM w, LPARAM l) -> LRESULT {
            received.emplace_back(w, l);
            return 0;
        });
    }
    // Delivers everything posted so far and hands it over.
    Messages Take() {
        platform::MessageQueue::Drain();
        return std::exchange(received, {});
    }
    Messages received;
};

constexpr int kMasterModule = 3;
constexpr int kMasterPeqCount = 10;
constexpr int kMasterSetOffset = 12;
constexpr int kMasterMask = 3;

// The master page's panel over a default image, as the page sets it up.
class BandPanel : public ::testing::Test {
protected:
    void SetUp() override {
        InitParamImage(image);
        page.resize(400, 300);
        panel = new CDlgVS(&page);
        panel->setGeometry(10, 30, 350, 208);
        panel->SetBands(image.MasterEqBands);
        panel->SetMasks(image.BandEnableMasks);
        panel->SetModuleId(kMasterModule);
        panel->SetScrollInfo(0, 300, 208);
        panel->SetBandCount(kMasterPeqCount);
        panel->RefreshAllBands();
        page.show();
        ASSERT_TRUE(page.Take().empty());
    }

    QLineEdit* Freq(int row) const { return Edit(CDlgVS::kFreqEditId, row); }
    QLineEdit* Gain(int row) const { return Edit(CDlgVS::kGainEditId, row); }
    QLineEdit* Q(int row) const { return Edit(CDlgVS::kQEditId, row); }
    QLineEdit* Edit(int base, int row) const {
        return panel->ControlAs<QLineEdit>(base + CDlgVS::kEditIdStride * row);
    }
    SpinButtons* Spin(int base, int row) const {
        return panel->ControlAs<SpinButtons>(base + CDlgVS::kEditIdStride * row);
    }
    QComboBox* Type(int row) const {
        return panel->ControlAs<QComboBox>(CDlgVS::kTypeComboId + row);
    }
    QCheckBox* Bypass(int row) const {
        return panel->ControlAs<QCheckBox>(CDlgVS::kBypassId + row);
    }

    // What a user does: replace the text, press Enter.
    static void TypeAndEnter(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    static void ClickBox(QCheckBox* box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }

    EqBand& Band(int index) { return image.MasterEqBands[static_cast<std::size_t>(index)]; }

    ParamImage image;
    RecordingPage page;
    CDlgVS* panel = nullptr;
};

TEST_F(BandPanel, RefreshShowsEveryShownRowFromItsBand) {
    Band(3) = EqBand{0, kBandTypeHighShelf, 4000, 7, -35};
    panel->RefreshBand(3);
    EXPECT_EQ(Freq(3)->text(), "4000");
    EXPECT_EQ(Gain(3)->text(), "-3.5");
    EXPECT_EQ(Q(3)->text(), "0.7");
    EXPECT_EQ(Type(3)->currentText(), "HS");
    EXPECT_EQ(Type(0)->count(), 3);
    EXPECT_EQ(panel->ControlAs<QLabel>(CDlgVS::kRowLabelId + 3)->text(), "4");
    EXPECT_EQ(panel->MaskIndex(), kMasterMask);
    // Refreshing writes the controls from code: nothing is reported.
    EXPECT_TRUE(page.Take().empty());
}

TEST_F(BandPanel, FrequencyEntries) {
    const std::uint16_t stored = Band(1).frequency;
    struct Case {
        const char* typed;
        const char* shown;
        int stored;
        Messages posted;
    };
    const Case cases[] = {
        {"25000", nullptr, stored, {}},  // out of range: the stored value comes back
        {"abc", nullptr, stored, {}},   {"inf", nullptr, stored, {}},
        {"1e3", nullptr, stored, {}},   {"1200", "1200", 1200, {{1, 1200}}},
        {" 1200 ", "1200", 1200, {}},  // the same value posts nothing
        {"20", "20", 20, {{1, 20}}},    {"20000", "20000", 20000, {{1, 20000}}},
    };
    for (const Case& c : cases) {
        TypeAndEnter(Freq(1), c.typed);
        const QString shown = c.shown ? QString(c.shown) : QString::number(stored);
        EXPECT_EQ(Freq(1)->text(), shown) << c.typed;
        EXPECT_EQ(Band(1).frequency, c.stored) << c.typed;
        EXPECT_EQ(page.Take(), c.posted) << c.typed;
        EXPECT_EQ(panel->LastRow(), 1);
    }
}

TEST_F(BandPanel, GainAndQEntriesRestoreWhatIsOutOfRange) {
    TypeAndEnter(Gain(2), "-2.25");
    EXPECT_EQ(Band(2).gain, -23);
    EXPECT_EQ(Gain(2)->text(), "-2.3");
    EXPECT_EQ(page.Take(), (Messages{{2, -23}}));

    for (const char* typed : {"-24.1", "30", "1e30", "nan", "-inf"}) {
        TypeAndEnter(Gain(2), typed);
        EXPECT_EQ(Band(2).gain, -23) << typed;
        EXPECT_EQ(Gain(2)->text(), "-2.3") << typed;
    }
    TypeAndEnter(Gain(2), "junk");  // not a number is 0.0 dB, which is in range
    EXPECT_EQ(Band(2).gain, 0);
    EXPECT_EQ(page.Take(), (Messages{{2, 0}}));

    const std::uint16_t q = Band(2).q;
    TypeAndEnter(Q(2), "0.3");
    EXPECT_EQ(Band(2).q, q);
    EXPECT_EQ(Q(2)->text(),
              QString::fromStdString(std::to_string(q / 10) + "." + std::to_string(q % 10)));
    TypeAndEnter(Q(2), "45");
    EXPECT_EQ(Band(2).q, 450);
    EXPECT_EQ(page.Take(), (Messages{{2, 450}}));
}

TEST_F(BandPanel, ArrowsStepOneUnitAndRefuseToLeaveTheRange) {
    Band(4) = EqBand{0, kBandTypeLowShelf, 20000, 20, 240};
    panel->RefreshBand(4);
    QTest::mouseClick(Spin(CDlgVS::kFreqSpinId, 4)->DownButton(), Qt::LeftButton);
    EXPECT_EQ(Band(4).frequency, 19999);
    EXPECT_EQ(Freq(4)->text(), "19999");
    QTest::mouseClick(Spin(CDlgVS::kFreqSpinId, 4)->UpButton(), Qt::LeftButton);
    QTest::mouseClick(Spin(CDlgVS::kFreqSpinId, 4)->UpButton(), Qt::LeftButton);  // past 20000
    EXPECT_EQ(Band(4).frequency, 20000);
    // A shelf's Q stops at 2.0, the gain at +24.0 dB: the value stays, nothing is posted.
    QTest::mouseClick(Spin(CDlgVS::kQSpinId, 4)->UpButton(), Qt::LeftButton);
    QTest::mouseClick(Spin(CDlgVS::kGainSpinId, 4)->UpButton(), Qt::LeftButton);
    EXPECT_EQ(Band(4).q, 20);
    EXPECT_EQ(Q(4)->text(), "2.0");
    EXPECT_EQ(Band(4).gain, 240);
    QTest::mouseClick(Spin(CDlgVS::kGainSpinId, 4)->DownButton(), Qt::LeftButton);
    EXPECT_EQ(Band(4).gain, 239);
    EXPECT_EQ(Gain(4)->text(), "23.9");
    EXPECT_EQ(page.Take(), (Messages{{4, 19999}, {4, 20000}, {4, 239}}));
    // An arrow commits the typed text too, one step on from it.
    Freq(4)->setText("1000");
    QTest::mouseClick(Spin(CDlgVS::kFreqSpinId, 4)->UpButton(), Qt::LeftButton);
    EXPECT_EQ(Band(4).frequency, 1001);
}

TEST_F(BandPanel, ShelfTypesFallBackToQ07AndPeqKeepsIt) {
    Band(0).q = 30;
    panel->RefreshBand(0);
    Type(0)->setFocus();
    QTest::keyClick(Type(0), Qt::Key_Down);  // PEQ -> LS
    EXPECT_EQ(Band(0).type, kBandTypeLowShelf);
    EXPECT_EQ(Band(0).q, 7);
    EXPECT_EQ(Q(0)->text(), "0.7");
    QTest::keyClick(Type(0), Qt::Key_Up);  // back to PEQ
    EXPECT_EQ(Band(0).type, kBandTypePeq);
    EXPECT_EQ(Band(0).q, 7);
    EXPECT_EQ(page.Take(), (Messages{{0, 0}, {0, 0}}));
}

TEST_F(BandPanel, BypassBoxesFollowTheMaskBits) {
    std::uint16_t& mask = image.BandEnableMasks[kMasterMask];
    mask = 0xFFFF & ~(1u << 5);
    panel->RefreshAllBands();
    for (int row = 0; row < CDlgVS::kMaxRows; ++row) {
        EXPECT_EQ(Bypass(row)->isChecked(), row == 5) << row;
    }
    ClickBox(Bypass(2));  // bypass band 2: its bit is cleared
    EXPECT_EQ(mask, 0xFFFF & ~(1u << 5) & ~(1u << 2));
    ClickBox(Bypass(5));  // band 5 back in
    EXPECT_EQ(mask, 0xFFFF & ~(1u << 2));
    EXPECT_EQ(page.Take(),
              (Messages{{2 | CDlgVS::kMaskChanged, 0}, {5 | CDlgVS::kMaskChanged, 0}}));
    // The mask changed behind the box's back: a click that makes the box agree
    // with the bit changes and posts nothing.
    mask &= ~(1u << 7);
    ClickBox(Bypass(7));
    EXPECT_TRUE(Bypass(7)->isChecked());
    EXPECT_EQ(mask, 0xFFFF & ~(1u << 2) & ~(1u << 7));
    EXPECT_TRUE(page.Take().empty());
}

TEST_F(BandPanel, TheSecondSetIsEditedButThePanelRowIsPosted) {
    panel->SetSetOffset(kMasterSetOffset);
    panel->SetUseSecondSet(true);
    Band(kMasterSetOffset + 2).frequency = 500;
    panel->RefreshAllBands();
    EXPECT_EQ(Freq(2)->text(), "500");
    TypeAndEnter(Freq(2), "640");
    EXPECT_EQ(Band(kMasterSetOffset + 2).frequency, 640);
    EXPECT_NE(Band(2).frequency, 640);
    EXPECT_EQ(page.Take(), (Messages{{2, 640}}));
}

TEST_F(BandPanel, BandCountShowsThatManyRows) {
    const struct {
        int count, shown;
    } cases[] = {{5, 5}, {15, 15}, {10, 10}, {0, 1}, {99, 15}, {-3, 1}};
    for (const auto& c : cases) {
        panel->SetBandCount(c.count);
        EXPECT_EQ(panel->Count(), c.shown) << c.count;
        for (int row = 0; row < CDlgVS::kMaxRows; ++row) {
            const bool shown = row < c.shown;
            EXPECT_EQ(Freq(row)->isVisibleTo(panel), shown) << c.count << " row " << row;
            EXPECT_EQ(Bypass(row)->isVisibleTo(panel), shown) << c.count << " row " << row;
            EXPECT_EQ(Spin(CDlgVS::kQSpinId, row)->isVisibleTo(panel), shown);
            EXPECT_EQ(panel->Control(CDlgVS::kRowLabelId + row)->isVisibleTo(panel), shown);
        }
    }
    // A row beyond the count is left alone.
    panel->SetBandCount(5);
    Freq(7)->setText("keep");
    panel->RefreshBand(7);
    panel->ApplyFrequency(7, 1);
    EXPECT_EQ(Freq(7)->text(), "keep");
    EXPECT_TRUE(page.Take().empty());
}

TEST_F(BandPanel, TheWheelStepsTheFocusedEdit) {
    Band(6).gain = 0;
    panel->RefreshBand(6);
    Gain(6)->setFocus();
    auto wheel = [](QWidget* over, int angle) {
        QWheelEvent e(QPointF(5, 5), over->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, angle),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &e);
    };
    wheel(Gain(6), 120);  // away from the user
    wheel(Gain(6), 120);
    wheel(Gain(6), -120);
    // Over another row's type combo the wheel still goes to the focused edit.
    const int type = Type(1)->currentIndex();
    wheel(Type(1), -120);
    EXPECT_EQ(Type(1)->currentIndex(), type);
    EXPECT_EQ(Band(6).gain, 0);
    EXPECT_EQ(Gain(6)->text(), "0.0");
    EXPECT_EQ(panel->LastRow(), 6);
    EXPECT_EQ(page.Take(), (Messages{{6, 1}, {6, 2}, {6, 1}, {6, 0}}));
    // Typed text is committed with the step.
    Freq(6)->setFocus();
    Freq(6)->setText("300");
    wheel(Freq(6), 120);
    EXPECT_EQ(Band(6).frequency, 301);
}

// A high-resolution wheel or a touchpad sends a notch in small events, a
// fast turn several notches in one: one step per whole notch, the rest kept
// for the same edit only.
TEST_F(BandPanel, TheWheelStepsOncePerNotch) {
    Band(6).gain = 0;
    Band(6).frequency = 300;
    panel->RefreshBand(6);
    auto wheel = [](QWidget* over, int angle) {
        QWheelEvent e(QPointF(5, 5), over->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, angle),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &e);
    };
    Gain(6)->setFocus();
    for (int i = 0; i < 3; ++i) wheel(Gain(6), 30);
    EXPECT_EQ(Band(6).gain, 0);
    EXPECT_TRUE(page.Take().empty());
    wheel(Gain(6), 30);
    EXPECT_EQ(Band(6).gain, 1);
    EXPECT_EQ(page.Take().size(), 1u);
    wheel(Type(2), -240);  // over a combo, still the focused edit
    EXPECT_EQ(Band(6).gain, -1);
    EXPECT_EQ(Gain(6)->text(), "-0.1");
    EXPECT_EQ(page.Take().size(), 2u);

    // A part notch on the gain does not finish a notch on the frequency.
    wheel(Gain(6), 60);
    Freq(6)->setFocus();
    wheel(Freq(6), 60);
    EXPECT_EQ(Band(6).frequency, 300);
    EXPECT_EQ(Band(6).gain, -1);
    EXPECT_TRUE(page.Take().empty());
    wheel(Freq(6), 60);
    EXPECT_EQ(Band(6).frequency, 301);
}

TEST_F(BandPanel, ScrollsByLinesAndPagesWithinTheRange) {
    panel->SetBandCount(15);
    panel->SetScrollInfo(0, 440, 208);
    QScrollBar* bar = panel->ScrollBar();
    EXPECT_EQ(bar->maximum(), 440 - 208);
    const struct {
        QAbstractSlider::SliderAction action;
        int position;
    } steps[] = {
        {QAbstractSlider::SliderSingleStepAdd, 15},  {QAbstractSlider::SliderPageStepAdd, 223},
        {QAbstractSlider::SliderPageStepAdd, 232},   {QAbstractSlider::SliderSingleStepAdd, 232},
        {QAbstractSlider::SliderSingleStepSub, 217}, {QAbstractSlider::SliderPageStepSub, 9},
        {QAbstractSlider::SliderSingleStepSub, 0},   {QAbstractSlider::SliderToMaximum, 232},
        {QAbstractSlider::SliderToMinimum, 0},
    };
    for (const auto& s : steps) {
        bar->triggerAction(s.action);
        EXPECT_EQ(bar->value(), s.position) << s.action;
        EXPECT_EQ(panel->Rows()->y(), -s.position) << s.action;
    }
    // The last row fits inside the range the page gives a fifteen-band panel.
    const QRect lastRow = Bypass(14)->geometry();
    EXPECT_LE(lastRow.bottom(), 440);
    EXPECT_GE(lastRow.top(), 208);
}

TEST_F(BandPanel, BypassCaptionsFollowTheLanguage) {
    panel->SetLanguage(1);
    EXPECT_EQ(Bypass(0)->text(), "旁路");
    EXPECT_EQ(Bypass(14)->text(), "旁路");
    panel->SetLanguage(0);
    EXPECT_EQ(Bypass(3)->text(), "Bypass");
}

TEST_F(BandPanel, TypesTheListLacksSelectNothing) {
    Band(1).type = 7;  // from a file or the unit
    Band(2).type = kBandTypeLowPass;
    panel->RefreshAllBands();
    EXPECT_EQ(Type(1)->currentIndex(), -1);
    EXPECT_EQ(Type(2)->currentIndex(), -1);
    EXPECT_EQ(Type(3)->currentIndex(), 0);
    // Picking a real type from there stores it.
    Type(1)->setFocus();
    QTest::keyClick(Type(1), Qt::Key_Down);
    EXPECT_EQ(Band(1).type, Type(1)->currentIndex());
    EXPECT_LE(Band(1).type, kBandTypeHighShelf);
}

TEST_F(BandPanel, NoBandsNoMaskWordAndRowsPastTheArrayDoNothing) {
    // No bands yet (a page before the image is handed over).
    panel->SetBands({});
    Freq(0)->setText("500");
    panel->RefreshAllBands();
    EXPECT_EQ(Freq(0)->text(), "500");
    TypeAndEnter(Freq(0), "600");
    TypeAndEnter(Gain(0), "1");
    QTest::mouseClick(Spin(CDlgVS::kQSpinId, 0)->UpButton(), Qt::LeftButton);
    Type(0)->setFocus();
    QTest::keyClick(Type(0), Qt::Key_Down);
    EXPECT_TRUE(page.Take().empty());

    // A short array with a set offset that runs past its end: the rows past
    // it are left alone, the others work.
    std::array<EqBand, 7> shortSet{};
    shortSet.fill(EqBand{0, 0, 1000, 10, 0});
    panel->SetBands(shortSet);
    panel->SetSetOffset(5);
    panel->SetUseSecondSet(true);
    panel->SetBandCount(5);
    panel->RefreshAllBands();
    TypeAndEnter(Freq(1), "700");
    TypeAndEnter(Freq(2), "800");
    EXPECT_EQ(shortSet[6].frequency, 700);
    EXPECT_EQ(page.Take(), (Messages{{1, 700}}));

    // A module id the image does not have: no mask word, the boxes do nothing.
    const auto masks = image.BandEnableMasks;
    panel->SetModuleId(42);
    EXPECT_EQ(panel->MaskIndex(), -1);
    ClickBox(Bypass(0));
    EXPECT_EQ(image.BandEnableMasks, masks);
    EXPECT_TRUE(page.Take().empty());
}

}  // namespace
