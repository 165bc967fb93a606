// The EQ half shared by the eight EQ pages: the graph, dragging, the wheel,
// EQ BYPASS, EQ RESET, the band panel, the pass-filter row, the hidden
// single-band editor and the band editor dialog. Each page stands over its
// own parameter image and a recording main window.
#include "pages/eq_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>
#include <utility>
#include <vector>

#include "eq/band_editor.h"
#include "eq/band_panel.h"
#include "eq/my_slider.h"
#include "eq/spin_buttons.h"
#include "model/param_image.h"
#include "pages/dlg_mic.h"
#include "pages/dlg_music.h"
#include "support/eq_pages.h"
#include "support/recording_main.h"
#include "support/scripted_prompts.h"

namespace {

using testsupport::Command;
using testsupport::Commands;
using testsupport::RecordingMain;

class EqPageTest : public ::testing::Test {
protected:
    void Open(EqPageKind kind) {
        InitParamImage(image);
        page = testsupport::MakeEqPage(kind, &main);
        page->resize(1096, 605);
        page->Wire(&image);
        page->LoadFromImage();
        page->SetGraphState(2);
        page->EnsureSelection();
        page->RedrawCurve();
        main.Take();
    }
    QPoint Marker(int band) {
        QPoint c;
        EXPECT_TRUE(page->MarkerCentre(band, &c)) << band;
        return c;
    }
    EqBand& Band(int b) { return page->CurrentSet()[static_cast<std::size_t>(b)]; }
    // A graph point: column x, row y of the graph.
    QPoint At(int x, int y) { return page->GraphRect().topLeft() + QPoint(x, y); }
    template <class T>
    T* Get(int id) {
        T* c = page->ControlAs<T>(id);
        EXPECT_NE(c, nullptr) << id;
        return c;
    }
    static void TypeAndEnter(QLineEdit* edit, const QString& text) {
        edit->setText(text);
        emit edit->returnPressed();
    }

    testsupport::ScriptedPrompts prompts;
    ParamImage image;
    RecordingMain main;
    std::unique_ptr<CEqPage> page;
};

LPARAM BandArg(int band, int module) { return static_cast<LPARAM>(band) << 8 | module; }

struct PageCase {
    EqPageKind kind;
    int module;
    int lpFilterArg;    // lParam of the low-pass command
    unsigned passCode;  // the command that carries a pass filter
};
constexpr PageCase kPageCases[] = {
    {kEqMaster, 3, 5, 17},     {kEqSurround, 5, 9, 17}, {kEqCentre, 7, 13, 17},
    {kEqSubwoofer, 8, 15, 17}, {kEqMusic, 2, 3, 17},    {kEqMic, 0, 1, 17},
    {kEqReverb, 9, 0, 11},     {kEqEcho, 10, 0, 13},
};

class EveryEqPage : public EqPageTest, public ::testing::WithParamInterface<PageCase> {};

}  // namespace

// A left drag of a PEQ marker to the graph's corners stores the limits and
// posts the band; a move that changes nothing posts nothing.
TEST_P(EveryEqPage, LeftDragStoresFrequencyAndGainThenPostsTheBand) {
    const PageCase& c = GetParam();
    Open(c.kind);
    ASSERT_EQ(page->ModuleId(), c.module);
    const QPoint start = Marker(1);
    page->OnLButtonDown(start);
    EXPECT_EQ(page->SelectedBand(), 1);
    EXPECT_EQ(page->DragMode(), 1);
    page->OnMouseMove(start);
    main.Take();
    page->OnMouseMove(start);  // the same place again changes nothing
    EXPECT_TRUE(main.Take().empty());

    page->OnMouseMove(At(0, 5));  // left edge, above the +24 dB row
    EXPECT_EQ(Band(1).frequency, 20);
    EXPECT_EQ(Band(1).gain, 240);
    EXPECT_EQ(main.Take(), (Commands{{3, BandArg(1, c.module)}}));
    page->OnMouseMove(At(page->GraphRect().width() - 1, 260));  // right edge, -24 dB row
    EXPECT_EQ(Band(1).frequency, 20000);
    EXPECT_EQ(Band(1).gain, -240);
    page->OnMouseMove(At(600, 130));  // 2 dB above the 0 dB row
    EXPECT_EQ(Band(1).gain, 20);
    EXPECT_EQ(main.Take().size(), 2u);
    // The panel shows what the drag stored.
    EXPECT_EQ(page->Panel()->ControlAs<QLineEdit>(CDlgVS::kGainEditId + 8)->text(), "2.0");
    page->OnButtonUp();
    EXPECT_EQ(page->DragMode(), 0);
}

// The low-pass marker moves in frequency only, within the page's limits, and
// goes out with the page's pass-filter command after its word is written.
TEST_P(EveryEqPage, LowPassDragIsFrequencyOnlyWithinThePageLimits) {
    const PageCase& c = GetParam();
    Open(c.kind);
    const int lp = page->PeqCount();
    const std::int16_t gain = Band(lp).gain;
    page->SelectBand(lp);  // the selected marker wins over any lying on it
    page->OnLButtonDown(Marker(lp));
    ASSERT_EQ(page->SelectedBand(), lp);
    page->OnMouseMove(At(0, 5));
    const int low = page->Spec().lowPass.range.min;
    EXPECT_EQ(Band(lp).frequency, low);
    EXPECT_EQ(Band(lp).gain, gain);
    EXPECT_EQ(image.ParamWords[static_cast<std::size_t>(page->Spec().lowPass.word[0])], low);
    EXPECT_EQ(main.Take(), (Commands{{c.passCode, c.lpFilterArg}}));
    page->OnMouseMove(At(page->GraphRect().width() - 1, 200));
    EXPECT_EQ(Band(lp).frequency, page->Spec().lowPass.range.max);
    page->OnMouseMove(At(page->GraphRect().width() - 1, 20));  // vertical only: nothing
    EXPECT_EQ(main.Take().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Pages, EveryEqPage, ::testing::ValuesIn(kPageCases));

TEST_F(EqPageTest, LeavingTheGraphEndsTheDragAndReturningDoesNotResumeIt) {
    Open(kEqMusic);
    page->OnLButtonDown(Marker(3));
    page->OnMouseMove(At(400, 100));
    const EqBand kept = Band(3);
    page->OnMouseMove(At(400, -5));
    EXPECT_EQ(page->DragMode(), 0);
    page->OnMouseMove(At(300, 200));
    EXPECT_EQ(Band(3).frequency, kept.frequency);
    EXPECT_EQ(Band(3).gain, kept.gain);
}

TEST_F(EqPageTest, RightDragChangesQWithinTheTypeLimits) {
    Open(kEqMusic);
    const QPoint p = Marker(2);
    page->OnRButtonDown(p);
    EXPECT_EQ(page->DragMode(), 2);
    page->OnMouseMove(p + QPoint(5, 40));  // 0.1 of Q per pixel, vertical ignored
    EXPECT_EQ(Band(2).q, 15);
    EXPECT_EQ(main.Take(), (Commands{{3, BandArg(2, 2)}}));
    page->OnMouseMove(p - QPoint(60, 0));
    EXPECT_EQ(Band(2).q, 4);
    page->OnButtonUp();

    Band(4).type = kBandTypeLowShelf;
    Band(4).q = 50;  // above the shelf limit: the next move lowers it to 2.0
    page->OnRButtonDown(Marker(4));
    page->OnMouseMove(Marker(4) + QPoint(1, 0));
    EXPECT_EQ(Band(4).q, 20);
    // A right press on an unselected pass-filter marker is no hit.
    page->OnButtonUp();
    page->OnRButtonDown(Marker(page->PeqCount()));
    EXPECT_EQ(page->DragMode(), 0);
}

TEST_F(EqPageTest, WheelOnTheFocusedGraphNudgesTheSelectedGainByATenth) {
    Open(kEqMaster);
    page->show();
    page->OnLButtonDown(Marker(0));
    page->OnButtonUp();
    ASSERT_EQ(page->focusWidget(), page->Control(CEqPage::kFocusButtonId));
    page->OnMouseWheel(120);
    EXPECT_EQ(Band(0).gain, 1);
    EXPECT_EQ(main.Take(), (Commands{{3, BandArg(0, 3)}}));
    Band(0).gain = 240;
    page->OnMouseWheel(120);
    EXPECT_EQ(Band(0).gain, 240);
    EXPECT_TRUE(main.Take().empty());

    // With the focus on the high-pass edit a notch moves it by 1 Hz.
    Get<QLineEdit>(CEqPage::kHpFreqEditId)->setFocus();
    const int hp = page->PeqCount() + 1;
    const int before = Band(hp).frequency;
    page->OnMouseWheel(-120);
    EXPECT_EQ(Band(hp).frequency, before);  // 20 Hz is the floor
    page->OnMouseWheel(120);
    EXPECT_EQ(Band(hp).frequency, before + 1);
    EXPECT_EQ(main.Take(), (Commands{{17, 4}}));
}

TEST_F(EqPageTest, WheelOverAnUnfocusedComboActsOnTheFocusedControl) {
    Open(kEqMaster);
    page->show();
    page->OnLButtonDown(Marker(0));
    page->OnButtonUp();
    QComboBox* slope = Get<QComboBox>(CEqPage::kLpSlopeComboId);
    const int before = slope->currentIndex();
    QWheelEvent wheel(QPointF(5, 5), slope->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(slope, &wheel);
    EXPECT_EQ(slope->currentIndex(), before);
    EXPECT_EQ(Band(0).gain, 1);
}

namespace {

void SendWheel(QWidget* over, int angle) {
    QWheelEvent wheel(QPointF(5, 5), over->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, angle),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &wheel);
}

}  // namespace

// The Music page's skinned sliders turn by the wheel themselves: while one has
// the focus the page lets the turn reach it, over the slider, over another
// slider or over the graph, one step per notch.
TEST_F(EqPageTest, AFocusedMusicSliderStepsOncePerNotch) {
    Open(kEqMusic);
    image.ParamBytes[22] = 6;  // VOD gain, slider 1061, 0 .. 12
    image.ParamBytes[23] = 6;
    page->LoadFromImage();
    main.Take();
    page->show();
    auto* slider = Get<CMySlider>(1061);
    auto* other = Get<CMySlider>(1062);
    ASSERT_EQ(slider->Value(), 6);
    slider->setFocus();
    ASSERT_EQ(page->focusWidget(), slider);

    SendWheel(slider, 120);  // away from the user: right on a horizontal slider
    EXPECT_EQ(slider->Value(), 7);
    EXPECT_EQ(main.Take(), (Commands{{2, 0}}));
    EXPECT_EQ(image.ParamBytes[22], 7);

    for (int i = 0; i < 4; ++i) SendWheel(page.get(), -30);  // over the graph
    EXPECT_EQ(slider->Value(), 6);
    EXPECT_EQ(main.Take(), (Commands{{2, 0}}));
    EXPECT_EQ(image.ParamBytes[22], 6);

    SendWheel(other, 240);  // over the other slider: still the focused one
    EXPECT_EQ(slider->Value(), 8);
    EXPECT_EQ(other->Value(), 6);
    EXPECT_EQ(main.Take(), (Commands{{2, 0}, {2, 0}}));
    EXPECT_EQ(image.ParamBytes[22], 8);
    EXPECT_EQ(image.ParamBytes[23], 6);

    // With the graph focused, a turn over a slider nudges the band instead.
    page->OnLButtonDown(Marker(0));
    page->OnButtonUp();
    const int gain = Band(0).gain;
    SendWheel(slider, 120);
    EXPECT_EQ(slider->Value(), 8);
    EXPECT_EQ(Band(0).gain, gain + 1);
}

// The graph steps once per notch: four quarter notches make one, one event of
// two notches makes two, and a part notch is forgotten when the focus moves.
TEST_F(EqPageTest, TheGraphStepsOncePerNotch) {
    Open(kEqMaster);
    page->show();
    page->OnLButtonDown(Marker(0));
    page->OnButtonUp();
    ASSERT_EQ(page->focusWidget(), page->Control(CEqPage::kFocusButtonId));
    for (int i = 0; i < 3; ++i) SendWheel(page.get(), 30);
    EXPECT_EQ(Band(0).gain, 0);
    SendWheel(page.get(), 30);
    EXPECT_EQ(Band(0).gain, 1);
    SendWheel(page.get(), 240);
    EXPECT_EQ(Band(0).gain, 3);
    EXPECT_EQ(main.Take(), (Commands(3, {3, BandArg(0, 3)})));

    SendWheel(page.get(), 60);
    auto* hp = Get<QLineEdit>(CEqPage::kHpFreqEditId);
    hp->setFocus();
    const int hpBand = page->PeqCount() + 1;
    const int before = Band(hpBand).frequency;
    SendWheel(page.get(), 60);
    EXPECT_EQ(Band(hpBand).frequency, before);
    SendWheel(page.get(), 60);
    EXPECT_EQ(Band(hpBand).frequency, before + 1);
}

// A turn over the graph while a band panel edit has the focus steps that edit.
TEST_F(EqPageTest, WheelOverTheGraphStepsTheFocusedPanelEdit) {
    Open(kEqMaster);
    page->show();
    auto* gain =
        page->Panel()->ControlAs<QLineEdit>(CDlgVS::kGainEditId + CDlgVS::kEditIdStride * 2);
    ASSERT_NE(gain, nullptr);
    gain->setFocus();
    const int before = Band(2).gain;
    SendWheel(page.get(), 120);
    EXPECT_EQ(Band(2).gain, before + 1);
    EXPECT_EQ(main.Take(), (Commands{{3, BandArg(2, 3)}}));
}

TEST_F(EqPageTest, EqBypassTogglesTheEqOnBitOnlyWhenItDisagrees) {
    Open(kEqMaster);
    image.ParamBytes[kSystemModeByte] = 1;  // cinema: the cinema flag word
    image.CinemaParamFlags |= 1u << 11;
    page->LoadFromImage();
    auto* box = Get<QCheckBox>(1326);
    EXPECT_FALSE(box->isChecked());
    box->click();
    EXPECT_EQ(image.CinemaParamFlags & (1u << 11), 0u);
    EXPECT_EQ(page->Resp().overlayOn, 1);
    EXPECT_EQ(main.Take(), (Commands{{15, 0}}));
    box->setChecked(true);
    page->OnEqBypass();  // already agrees
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(EqPageTest, EqResetRestoresPeqBandsAndEnablesAllButLeavesPassFilters) {
    Open(kEqCentre);
    image.ParamBytes[kSystemModeByte] = 1;
    page->SelectBand(2);
    for (int b = 0; b < page->RecordsPerSet(); ++b) Band(b) = EqBand{3, 1, 900, 55, -70};
    image.BandEnableMasks[5] = 0x0003;
    Get<QPushButton>(1538)->click();
    for (int b = 0; b < page->PeqCount(); ++b) {
        EXPECT_EQ(Band(b).type, 0);
        EXPECT_EQ(Band(b).frequency, DefaultBandFreqs[static_cast<std::size_t>(91 + b)]);
        EXPECT_EQ(Band(b).q, 10);
        EXPECT_EQ(Band(b).gain, 0);
        EXPECT_EQ(Band(b).slope, 3);
    }
    EXPECT_EQ(Band(page->PeqCount()).frequency, 900);
    EXPECT_EQ(image.BandEnableMasks[5], 0xFFFF);
    EXPECT_EQ(page->SelectedBand(), 2);
    EXPECT_EQ(main.Take(), (Commands{{4, 7}}));
}

TEST_F(EqPageTest, PanelChangesSelectTheBandAndPostBandOrEnable) {
    Open(kEqMaster);
    image.ParamBytes[kSystemModeByte] = 1;
    page->LoadFromImage();
    auto* gain = page->Panel()->ControlAs<QLineEdit>(CDlgVS::kGainEditId + 2 * 8);
    TypeAndEnter(gain, "3.5");
    platform::MessageQueue::Drain();
    // The cinema set's band 2 is posted as band 2, not its array index.
    EXPECT_EQ(image.MasterEqBands[14].gain, 35);
    EXPECT_EQ(page->SelectedBand(), 2);
    EXPECT_EQ(main.Take(), (Commands{{3, 0x0203}}));
    page->Panel()->ControlAs<QCheckBox>(CDlgVS::kBypassId + 4)->click();
    platform::MessageQueue::Drain();
    EXPECT_EQ(image.BandEnableMasks[3] & (1u << 4), 0u);
    EXPECT_EQ(page->SelectedBand(), 4);
    EXPECT_EQ(main.Take(), (Commands{{73, 3}}));
}

TEST_F(EqPageTest, PassFilterEditsRefuseOutOfRangeAndStepOneHertz) {
    Open(kEqEcho);
    const int lp = page->PeqCount();
    auto* edit = Get<QLineEdit>(CEqPage::kLpFreqEditId);
    const int stored = Band(lp).frequency;
    for (const char* text : {"3000", "25000", "inf", "nan", "1e30", "abc"}) {
        TypeAndEnter(edit, text);
        EXPECT_EQ(Band(lp).frequency, stored) << text;
        EXPECT_EQ(edit->text().toInt(), stored) << text;
    }
    EXPECT_TRUE(main.Take().empty());
    TypeAndEnter(edit, "8000");
    EXPECT_EQ(Band(lp).frequency, 8000);
    EXPECT_EQ(image.ParamWords[27], 8000);
    EXPECT_EQ(main.Take(), (Commands{{13, 0}}));
    TypeAndEnter(edit, "16000");
    main.Take();
    emit page->ControlAs<SpinButtons>(CEqPage::kLpFreqSpinId)->Stepped(+1);
    EXPECT_EQ(Band(lp).frequency, 16000);
    EXPECT_TRUE(main.Take().empty());
    emit page->ControlAs<SpinButtons>(CEqPage::kLpFreqSpinId)->Stepped(-1);
    EXPECT_EQ(Band(lp).frequency, 15999);
    EXPECT_EQ(main.Take().size(), 1u);
    // The echo page has no slope combos.
    EXPECT_EQ(page->Control(CEqPage::kLpSlopeComboId), nullptr);
}

TEST_F(EqPageTest, SingleBandEditorClampsGainAndQAndRefusesNonFinite) {
    Open(kEqMusic);
    page->SelectBand(3);
    page->RedrawCurve();
    auto* gain = Get<QLineEdit>(CEqPage::kGainEditId);
    TypeAndEnter(gain, "30");
    EXPECT_EQ(Band(3).gain, 240);
    EXPECT_EQ(gain->text(), "24.0");
    TypeAndEnter(gain, "-0.05");
    EXPECT_EQ(Band(3).gain, -1);
    EXPECT_EQ(main.Take(), (Commands{{3, BandArg(3, 2)}, {3, BandArg(3, 2)}}));
    TypeAndEnter(gain, "inf");
    EXPECT_EQ(Band(3).gain, -1);
    EXPECT_TRUE(main.Take().empty());
    auto* q = Get<QLineEdit>(CEqPage::kQEditId);
    TypeAndEnter(q, "0.1");
    EXPECT_EQ(Band(3).q, 4);
    TypeAndEnter(q, "4.5");
    auto* type = Get<QComboBox>(CEqPage::kBandTypeComboId);
    type->setCurrentIndex(1);
    page->OnBandTypeSelect();
    EXPECT_EQ(Band(3).type, 1);
    EXPECT_EQ(Band(3).q, 7);
    EXPECT_EQ(q->text(), "0.7");
}

TEST_F(EqPageTest, SlopeChoiceWritesTheCinemaByteAndAKnownSlopeSendsNothing) {
    Open(kEqMaster);
    image.ParamBytes[kSystemModeByte] = 1;
    page->LoadFromImage();
    page->RedrawCurve();
    auto* lp = Get<QComboBox>(CEqPage::kLpSlopeComboId);
    lp->setCurrentIndex(image.ParamBytes[123]);
    page->OnLpSlopeSelect();
    EXPECT_TRUE(main.Take().empty());
    lp->setCurrentIndex(4);
    page->OnLpSlopeSelect();
    EXPECT_EQ(image.ParamBytes[123], 4);
    EXPECT_EQ(image.MasterEqBands[22].slope, 4);
    EXPECT_EQ(main.Take(), (Commands{{17, 5}}));
}

TEST_F(EqPageTest, SubwooferLowPassListEndsWithTheFortyEightDbEntry) {
    Open(kEqSubwoofer);
    auto* lp = Get<QComboBox>(CEqPage::kLpSlopeComboId);
    ASSERT_EQ(lp->count(), 8);
    EXPECT_EQ(lp->itemText(7), "butter_48db");
    EXPECT_EQ(Get<QComboBox>(CEqPage::kHpSlopeComboId)->itemText(7), "LR_24db");
    EXPECT_EQ(page->Resp().lowPass48Db, 1);
}

// Band numbers, slopes and types the page does not know, from the unit or a
// file, select nothing and index nothing.
TEST_F(EqPageTest, OutOfRangeNumbersSelectNothing) {
    Open(kEqMaster);
    image.ParamBytes[38] = 9;  // a low-pass slope the list does not hold
    Band(1).type = 7;
    page->LoadFromImage();
    page->SelectBand(1);
    page->RedrawCurve();
    EXPECT_EQ(Get<QComboBox>(CEqPage::kLpSlopeComboId)->currentIndex(), -1);
    EXPECT_EQ(Get<QComboBox>(CEqPage::kBandTypeComboId)->currentIndex(), -1);
    page->SendMessage(WM_EQ_BAND_EDITED, 40, 0);
    page->SendMessage(WM_PANEL_BAND_CHANGED, 30, 0);
    EXPECT_EQ(page->SelectedBand(), 1);
    EXPECT_TRUE(main.Take().empty());
    // The band index lists the page's PEQ bands only.
    EXPECT_EQ(Get<QComboBox>(CEqPage::kBandIndexComboId)->count(), 10);
}

TEST_F(EqPageTest, MicrophoneSelectionFollowsArrayModuleMaskAndBit) {
    Open(kEqMic);
    image.ParamBytes[152] = 0;
    auto* mic = static_cast<CDlgMic*>(page.get());
    mic->SelectMic(1);
    EXPECT_EQ(page->ModuleId(), 1);
    EXPECT_EQ(page->CurrentSet().data(), image.Mic2EqBands.data());
    auto* gain = Get<QLineEdit>(CEqPage::kGainEditId);
    page->SelectBand(0);
    page->RedrawCurve();
    TypeAndEnter(gain, "2");
    EXPECT_EQ(image.Mic2EqBands[0].gain, 20);
    EXPECT_EQ(image.Mic1EqBands[0].gain, 0);  // link off
    EXPECT_EQ(main.Take(), (Commands{{3, BandArg(0, 1)}}));

    image.ParamBytes[152] = 1;  // the mic EQ link
    TypeAndEnter(gain, "3");
    EXPECT_EQ(image.Mic1EqBands[0].gain, 30);
    auto* box = Get<QCheckBox>(1092);
    image.ParamFlags |= 3u << 8;
    box->click();
    EXPECT_EQ(image.ParamFlags & (3u << 8), 0u);
    main.Take();
    // Pass filters are shared by both microphones.
    auto* hp = Get<QLineEdit>(CEqPage::kHpFreqEditId);
    TypeAndEnter(hp, "120");
    EXPECT_EQ(image.Mic1EqBands[16].frequency, 120);
    EXPECT_EQ(image.Mic2EqBands[16].frequency, 120);
    EXPECT_EQ(image.ParamWords[0], 120);
    EXPECT_EQ(main.Take(), (Commands{{17, 0}}));
}

TEST_F(EqPageTest, NothingIsDrawnOrHitBeforeTheFirstRefresh) {
    InitParamImage(image);
    page = testsupport::MakeEqPage(kEqMusic, &main);
    page->Wire(&image);
    const QImage blank = page->Canvas().copy();
    page->RedrawCurve();
    EXPECT_EQ(page->Canvas(), blank);
    page->OnLButtonDown(page->GraphRect().center());
    EXPECT_EQ(page->DragMode(), 0);
    EXPECT_EQ(page->SelectedBand(), -1);
    page->LoadFromImage();
    page->SetGraphState(2);
    page->EnsureSelection();
    page->RedrawCurve();
    EXPECT_NE(page->Canvas(), blank);
    EXPECT_EQ(page->SelectedBand(), 0);
    EXPECT_TRUE(main.Take().empty());
}

// Nothing in the unit's own program opens the band editor; here a double
// click on a band marker does, on that band.
TEST_F(EqPageTest, DoubleClickOnAMarkerOpensTheBandEditorOnThatBand) {
    Open(kEqMaster);
    page->show();
    int shownBand = -1;
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<CDlgEQ*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        opened = true;
        shownBand = editor->Band();
        editor->ControlAs<QLineEdit>(CDlgEQ::kGainEditId)->setText("-6");
        editor->ApplyGain(0);
        editor->EndModal(IDOK);
    });
    QTest::mouseDClick(page.get(), Qt::LeftButton, Qt::NoModifier, Marker(5));
    platform::MessageQueue::Drain();
    ASSERT_TRUE(opened);
    EXPECT_EQ(shownBand, 5);
    EXPECT_EQ(Band(5).gain, -60);
    EXPECT_EQ(page->SelectedBand(), 5);
    EXPECT_EQ(main.Take(), (Commands{{3, BandArg(5, 3)}}));
}

TEST_F(EqPageTest, EditorOnThePassRowsSendsThePassFilter) {
    Open(kEqReverb);
    const int hp = page->PeqCount() + 1;
    Band(hp).frequency = 300;
    page->SendMessage(WM_EQ_BAND_EDITED, hp, 0);
    EXPECT_EQ(image.ParamWords[24], 300);
    EXPECT_EQ(page->SelectedBand(), hp);
    EXPECT_EQ(main.Take(), (Commands{{11, 0}}));
    page->SendMessage(WM_EQ_BAND_EDITED, 2, 1);  // selection only
    EXPECT_EQ(page->SelectedBand(), 2);
    EXPECT_TRUE(main.Take().empty());
}
