#include "eq/band_editor.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include "eq/spin_buttons.h"
#include "model/param_image.h"
#include "pages/eq_page.h"
#include "support/case_name.h"
#include "support/eq_pages.h"

namespace {

struct Edited {
    WPARAM band;
    LPARAM selectionOnly;
    EqBand record;  // the band as the page saw it when the message came
    bool operator==(const Edited& o) const {
        return band == o.band && selectionOnly == o.selectionOnly;
    }
};

// Stands in for the page: records each WM_EQ_BAND_EDITED as it arrives.
class RecordingPage : public platform::Window {
public:
    RecordingPage() {
        MapMessage(WM_EQ_BAND_EDITED, [this](WPARAM w, LPARAM l) -> LRESULT {
            const EqBand record = w < bands.size() ? bands[w] : EqBand{};
            received.push_back({w, l, record});
            return 0;
        });
    }
    std::vector<Edited> Take() { return std::exchange(received, {}); }
    std::span<EqBand> bands;
    std::vector<Edited> received;
};

constexpr int kMasterModule = 3;
constexpr int kEchoModule = 10;

class BandEditor : public ::testing::Test {
protected:
    void SetUp() override {
        InitParamImage(image);
        page.resize(800, 500);
        page.move(100, 50);
        page.show();
    }

    // An editor over one set of a module, shown without its modal loop.
    std::unique_ptr<CDlgEQ> Open(int moduleId, int band, int language = 1, bool cinema = false) {
        page.bands = EqModuleBands(image, moduleId, cinema);
        auto editor = std::make_unique<CDlgEQ>(&page, page.bands, moduleId, band, language);
        editor->show();
        return editor;
    }

    template <class T>
    static T* Get(const CDlgEQ& editor, int id) {
        T* control = editor.ControlAs<T>(id);
        EXPECT_NE(control, nullptr) << id;
        return control;
    }
    static QLineEdit* Edit(const CDlgEQ& editor, int id) { return Get<QLineEdit>(editor, id); }
    static QComboBox* Combo(const CDlgEQ& editor, int id) { return Get<QComboBox>(editor, id); }

    static void TypeAndEnter(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    static void Press(QComboBox* combo, Qt::Key key) {
        combo->setFocus();
        QTest::keyClick(combo, key);
    }
    static QStringList Items(QComboBox* combo) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
        return items;
    }

    ParamImage image;
    RecordingPage page;
};

TEST_F(BandEditor, OpensOnTheBandInChinese) {
    image.MasterEqBands[2] = EqBand{0, kBandTypeLowShelf, 250, 15, -60};
    auto editor = Open(kMasterModule, 2);
    EXPECT_EQ(editor->PeqCount(), 10);
    EXPECT_EQ(editor->ItemText(CDlgEQ::kIndexLabelId), "当前位置");
    EXPECT_EQ(editor->ItemText(CDlgEQ::kQLabelId), "Q值");
    EXPECT_EQ(editor->ItemText(CDlgEQ::kOkId), "确定");
    QComboBox* index = Combo(*editor, CDlgEQ::kIndexComboId);
    ASSERT_EQ(index->count(), 12);
    EXPECT_EQ(index->itemText(0), "参量均衡1");
    EXPECT_EQ(index->itemText(10), "低通");
    EXPECT_EQ(index->itemText(11), "高通");
    EXPECT_EQ(index->currentIndex(), 2);
    QComboBox* type = Combo(*editor, CDlgEQ::kTypeComboId);
    EXPECT_EQ(Items(type), (QStringList{"参量均衡", "低架", "高架"}));
    EXPECT_EQ(type->currentIndex(), 1);
    EXPECT_EQ(Edit(*editor, CDlgEQ::kFreqEditId)->text(), "250");
    EXPECT_EQ(Edit(*editor, CDlgEQ::kGainEditId)->text(), "-6.0");
    EXPECT_EQ(Edit(*editor, CDlgEQ::kQEditId)->text(), "1.5");
    // Showing the first band tells the page nothing.
    EXPECT_TRUE(page.Take().empty());

    auto english = Open(kMasterModule, 0, 0);
    EXPECT_EQ(english->ItemText(CDlgEQ::kFreqLabelId), "Freq");
    EXPECT_EQ(Combo(*english, CDlgEQ::kIndexComboId)->itemText(9), "PEQ10");
    EXPECT_EQ(Combo(*english, CDlgEQ::kIndexComboId)->itemText(10), "LP");
    EXPECT_EQ(Items(Combo(*english, CDlgEQ::kTypeComboId)), (QStringList{"PEQ", "LS", "HS"}));
}

TEST_F(BandEditor, GainAndQAreClampedAndReportedAtOnce) {
    auto editor = Open(kMasterModule, 3);
    EqBand& band = image.MasterEqBands[3];
    TypeAndEnter(Edit(*editor, CDlgEQ::kGainEditId), "30");
    EXPECT_EQ(band.gain, 240);
    EXPECT_EQ(Edit(*editor, CDlgEQ::kGainEditId)->text(), "24.0");
    // Sent, not posted: the page has it before the editor goes on, with the
    // record already written.
    std::vector<Edited> got = page.Take();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], (Edited{3, 0, {}}));
    EXPECT_EQ(got[0].record.gain, 240);

    TypeAndEnter(Edit(*editor, CDlgEQ::kQEditId), "0.1");
    EXPECT_EQ(band.q, 4);
    EXPECT_EQ(Edit(*editor, CDlgEQ::kQEditId)->text(), "0.4");
    TypeAndEnter(Edit(*editor, CDlgEQ::kQEditId), "0.3");  // clamps to 0.4 again: nothing new
    EXPECT_EQ(Edit(*editor, CDlgEQ::kQEditId)->text(), "0.4");
    TypeAndEnter(Edit(*editor, CDlgEQ::kGainEditId), "inf");  // refused: the stored gain stays
    EXPECT_EQ(band.gain, 240);
    EXPECT_EQ(Edit(*editor, CDlgEQ::kGainEditId)->text(), "24.0");
    TypeAndEnter(Edit(*editor, CDlgEQ::kGainEditId), "-1e30");  // refused as well
    EXPECT_EQ(band.gain, 240);
    TypeAndEnter(Edit(*editor, CDlgEQ::kGainEditId), "-30");
    EXPECT_EQ(band.gain, -240);
    EXPECT_EQ(page.Take(), (std::vector<Edited>{{3, 0, {}}, {3, 0, {}}}));

    // The arrows step from the shown value: 0.1 dB, 0.1 of Q, 1 Hz.
    QTest::mouseClick(Get<SpinButtons>(*editor, CDlgEQ::kGainSpinId)->UpButton(), Qt::LeftButton);
    QTest::mouseClick(Get<SpinButtons>(*editor, CDlgEQ::kQSpinId)->UpButton(), Qt::LeftButton);
    const std::uint16_t hz = band.frequency;
    QTest::mouseClick(Get<SpinButtons>(*editor, CDlgEQ::kFreqSpinId)->DownButton(), Qt::LeftButton);
    EXPECT_EQ(band.gain, -239);
    EXPECT_EQ(band.q, 5);
    EXPECT_EQ(band.frequency, hz - 1);
    EXPECT_EQ(page.Take().size(), 3u);
}

TEST_F(BandEditor, FrequencyOutOfRangeRestoresTheStoredValue) {
    auto editor = Open(kMasterModule, 0);
    EqBand& band = image.MasterEqBands[0];
    const std::uint16_t stored = band.frequency;
    for (const char* typed : {"20001", "19", "abc", "1e3", "inf", ""}) {
        TypeAndEnter(Edit(*editor, CDlgEQ::kFreqEditId), typed);
        EXPECT_EQ(band.frequency, stored) << typed;
        EXPECT_EQ(Edit(*editor, CDlgEQ::kFreqEditId)->text(), QString::number(stored)) << typed;
    }
    EXPECT_TRUE(page.Take().empty());
    TypeAndEnter(Edit(*editor, CDlgEQ::kFreqEditId), "20000");
    EXPECT_EQ(band.frequency, 20000);
    EXPECT_EQ(page.Take(), (std::vector<Edited>{{0, 0, {}}}));
}

TEST_F(BandEditor, EchoPassFiltersKeepTheirNarrowRangesAndFixedSlopes) {
    auto editor = Open(kEchoModule, 5);  // the echo's low-pass row
    EXPECT_TRUE(editor->FixedPass());
    EqBand& lowPass = image.EchoEqBands[5];
    EqBand& highPass = image.EchoEqBands[6];
    EXPECT_FALSE(Combo(*editor, CDlgEQ::kTypeComboId)->isEnabled());
    struct Case {
        const char* typed;
        int expected;
    };
    const std::uint16_t lpStored = lowPass.frequency;
    for (const Case& c : {Case{"3999", lpStored}, Case{"16001", lpStored}, Case{"4000", 4000},
                          Case{"16000", 16000}}) {
        TypeAndEnter(Edit(*editor, CDlgEQ::kFreqEditId), c.typed);
        EXPECT_EQ(lowPass.frequency, c.expected) << c.typed;
    }
    Press(Combo(*editor, CDlgEQ::kIndexComboId), Qt::Key_Down);  // to the high-pass row
    EXPECT_EQ(editor->Band(), 6);
    const std::uint16_t hpStored = highPass.frequency;
    for (const Case& c :
         {Case{"1001", hpStored}, Case{"19", hpStored}, Case{"1000", 1000}, Case{"20", 20}}) {
        TypeAndEnter(Edit(*editor, CDlgEQ::kFreqEditId), c.typed);
        EXPECT_EQ(highPass.frequency, c.expected) << c.typed;
    }
    // The slope stays whatever the list would say.
    const std::uint8_t slope = highPass.slope;
    Press(Combo(*editor, CDlgEQ::kTypeComboId), Qt::Key_Down);
    EXPECT_EQ(highPass.slope, slope);
    EXPECT_EQ(page.Take(),
              (std::vector<Edited>{{5, 0, {}}, {5, 0, {}}, {6, 1, {}}, {6, 0, {}}, {6, 0, {}}}));
}

TEST_F(BandEditor, TheIndexListSwapsTheTypeListOnlyWhenCrossingToThePassRows) {
    image.MasterEqBands[10].slope = 3;  // the KTV set's low-pass record
    auto editor = Open(kMasterModule, 2, 0);
    QComboBox* index = Combo(*editor, CDlgEQ::kIndexComboId);
    QComboBox* type = Combo(*editor, CDlgEQ::kTypeComboId);
    Press(index, Qt::Key_Down);  // PEQ3 -> PEQ4
    EXPECT_EQ(editor->Band(), 3);
    EXPECT_EQ(Items(type), (QStringList{"PEQ", "LS", "HS"}));
    for (int i = 0; i < 7; ++i) QTest::keyClick(index, Qt::Key_Down);  // on to the low-pass row
    EXPECT_EQ(editor->Band(), 10);
    EXPECT_EQ(type->count(), 8);
    EXPECT_EQ(type->itemText(7), "LR_24db");
    EXPECT_EQ(type->currentIndex(), 3);
    EXPECT_TRUE(type->isEnabled());
    for (int id : {CDlgEQ::kGainEditId, CDlgEQ::kQEditId, CDlgEQ::kGainSpinId, CDlgEQ::kQSpinId}) {
        EXPECT_FALSE(editor->Control(id)->isEnabled()) << id;
    }
    // Each move reports the band shown, as a selection only.
    std::vector<Edited> moves = page.Take();
    ASSERT_EQ(moves.size(), 8u);
    EXPECT_EQ(moves.back(), (Edited{10, 1, {}}));

    // A pass row edits its slope; its gain and Q cannot be edited.
    Press(type, Qt::Key_Down);
    EXPECT_EQ(image.MasterEqBands[10].slope, 4);
    const std::int16_t gain = image.MasterEqBands[10].gain;
    TypeAndEnter(Edit(*editor, CDlgEQ::kGainEditId), "5");
    EXPECT_EQ(image.MasterEqBands[10].gain, gain);
    EXPECT_EQ(page.Take(), (std::vector<Edited>{{10, 0, {}}}));

    Press(index, Qt::Key_Up);  // back to PEQ10: the PEQ list again
    EXPECT_EQ(Items(type), (QStringList{"PEQ", "LS", "HS"}));
    EXPECT_TRUE(editor->Control(CDlgEQ::kGainEditId)->isEnabled());
}

// Slope 7 of the subwoofer's low-pass filter is its 48 dB filter: the editor
// names it as the page's own slope list does. Its high-pass row and the
// other pages keep the editor's list.
struct SlopeSevenCase {
    const char* what;
    EqPageKind kind;
    bool lowPass;
    int language;
    const char* item;
};
class BandEditorSlopeSeven : public BandEditor,
                             public ::testing::WithParamInterface<SlopeSevenCase> {};

TEST_P(BandEditorSlopeSeven, NamesTheLastSlopeAsItsPageDoes) {
    const SlopeSevenCase& c = GetParam();
    auto eqPage = testsupport::MakeEqPage(c.kind, &page);
    const int row = eqPage->PeqCount() + (c.lowPass ? 0 : 1);
    auto editor = Open(eqPage->ModuleId(), row, c.language);
    QComboBox* type = Combo(*editor, CDlgEQ::kTypeComboId);
    ASSERT_EQ(type->count(), 8);
    EXPECT_EQ(type->itemText(7).toStdString(), c.item);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, BandEditorSlopeSeven,
    ::testing::Values(
        SlopeSevenCase{"subwoofer low-pass English", kEqSubwoofer, true, 0, "butter_48db"},
        SlopeSevenCase{"subwoofer low-pass Chinese", kEqSubwoofer, true, 1, "巴特沃斯48db"},
        SlopeSevenCase{"subwoofer high-pass English", kEqSubwoofer, false, 0, "LR_24db"},
        SlopeSevenCase{"subwoofer high-pass Chinese", kEqSubwoofer, false, 1, "林奎茨-瑞利24db"},
        SlopeSevenCase{"master low-pass English", kEqMaster, true, 0, "LR_24db"},
        SlopeSevenCase{"music low-pass Chinese", kEqMusic, true, 1, "林奎茨-瑞利24db"}),
    testsupport::CaseName<SlopeSevenCase>);

TEST_F(BandEditor, SubwooferRowsSwapTheSlopeNamesAndKeepTheSlope) {
    auto eqPage = testsupport::MakeEqPage(kEqSubwoofer, &page);
    eqPage->SetLanguage(0);
    const int lowPass = eqPage->PeqCount();
    EqModuleBands(image, eqPage->ModuleId(), false)[static_cast<std::size_t>(lowPass)].slope = 2;
    auto editor = Open(eqPage->ModuleId(), lowPass, 0);
    QComboBox* index = Combo(*editor, CDlgEQ::kIndexComboId);
    QComboBox* type = Combo(*editor, CDlgEQ::kTypeComboId);
    // The same name as the page's own low-pass slope list.
    EXPECT_EQ(type->itemText(7),
              eqPage->ControlAs<QComboBox>(CEqPage::kLpSlopeComboId)->itemText(7));

    // Picking it stores slope 7, as any slope.
    type->setCurrentIndex(6);
    Press(type, Qt::Key_Down);
    EXPECT_EQ(page.bands[static_cast<std::size_t>(lowPass)].slope, 7);
    EXPECT_EQ(page.Take(), (std::vector<Edited>{{static_cast<WPARAM>(lowPass), 0, {}}}));

    Press(index, Qt::Key_Down);  // the high-pass row
    EXPECT_EQ(editor->Band(), lowPass + 1);
    EXPECT_EQ(type->itemText(7), "LR_24db");
    Press(index, Qt::Key_Up);  // back to the low-pass row
    EXPECT_EQ(type->itemText(7), "butter_48db");
    EXPECT_EQ(type->currentIndex(), 7);
}

TEST_F(BandEditor, AShelfTypeFallsBackToQ07) {
    image.MasterEqBands[1].q = 30;
    auto editor = Open(kMasterModule, 1);
    Press(Combo(*editor, CDlgEQ::kTypeComboId), Qt::Key_Down);
    EXPECT_EQ(image.MasterEqBands[1].type, kBandTypeLowShelf);
    EXPECT_EQ(image.MasterEqBands[1].q, 7);
    EXPECT_EQ(Edit(*editor, CDlgEQ::kQEditId)->text(), "0.7");
    // A shelf's Q stops at 2.0.
    TypeAndEnter(Edit(*editor, CDlgEQ::kQEditId), "4.5");
    EXPECT_EQ(image.MasterEqBands[1].q, 20);
    Press(Combo(*editor, CDlgEQ::kTypeComboId), Qt::Key_Up);
    EXPECT_EQ(image.MasterEqBands[1].type, kBandTypePeq);
    EXPECT_EQ(image.MasterEqBands[1].q, 20);
    EXPECT_EQ(page.Take().size(), 3u);
}

TEST_F(BandEditor, TheCinemaSetIsEditedUnderItsOwnRowNumbers) {
    auto editor = Open(kMasterModule, 2, 1, true);
    TypeAndEnter(Edit(*editor, CDlgEQ::kFreqEditId), "777");
    EXPECT_EQ(image.MasterEqBands[12 + 2].frequency, 777);
    EXPECT_NE(image.MasterEqBands[2].frequency, 777);
    EXPECT_EQ(page.Take(), (std::vector<Edited>{{2, 0, {}}}));
}

TEST_F(BandEditor, ValuesTheListsLackAndRowsTheSetLacksSelectNothing) {
    image.MasterEqBands[0].type = 9;    // junk from a file
    image.MasterEqBands[11].slope = 8;  // the high-pass slope, past the list
    auto editor = Open(kMasterModule, 0);
    QComboBox* type = Combo(*editor, CDlgEQ::kTypeComboId);
    EXPECT_EQ(type->currentIndex(), -1);
    Press(type, Qt::Key_Down);  // a real choice from there is stored
    EXPECT_EQ(image.MasterEqBands[0].type, type->currentIndex());
    auto pass = Open(kMasterModule, 11);
    EXPECT_EQ(Combo(*pass, CDlgEQ::kTypeComboId)->currentIndex(), -1);
    page.Take();

    // A band row past the set shows and edits nothing until one is picked.
    const auto before = image.MasterEqBands;
    auto lost = Open(kMasterModule, 12);
    EXPECT_EQ(Combo(*lost, CDlgEQ::kIndexComboId)->currentIndex(), -1);
    EXPECT_TRUE(Edit(*lost, CDlgEQ::kFreqEditId)->text().isEmpty());
    TypeAndEnter(Edit(*lost, CDlgEQ::kFreqEditId), "500");
    lost->ApplyGain(1);
    lost->ApplyQ(1);
    Press(Combo(*lost, CDlgEQ::kTypeComboId), Qt::Key_Down);
    EXPECT_EQ(std::memcmp(&before, &image.MasterEqBands, sizeof before), 0);
    EXPECT_TRUE(page.Take().empty());
    Press(Combo(*lost, CDlgEQ::kIndexComboId), Qt::Key_Down);
    EXPECT_EQ(lost->Band(), 0);
    EXPECT_TRUE(Edit(*lost, CDlgEQ::kFreqEditId)->isEnabled());
    EXPECT_EQ(page.Take(), (std::vector<Edited>{{0, 1, {}}}));

    auto none = std::make_unique<CDlgEQ>(&page, std::span<EqBand>(), kMasterModule, 0, 0);
    EXPECT_EQ(Combo(*none, CDlgEQ::kIndexComboId)->count(), 0);
    none->ApplyFrequency(1);
    EXPECT_TRUE(page.Take().empty());
}

TEST_F(BandEditor, RunsModallyOverThePageUntilOk) {
    page.bands = EqModuleBands(image, kMasterModule);
    CDlgEQ editor(&page, page.bands, kMasterModule, 4, 1);
    bool stillOpen = false;
    QTimer::singleShot(0, &editor, [&] {
        // Enter and Escape never close it.
        QTest::keyClick(Combo(editor, CDlgEQ::kIndexComboId), Qt::Key_Escape);
        QTest::keyClick(Combo(editor, CDlgEQ::kIndexComboId), Qt::Key_Return);
        QTest::keyClick(&editor, Qt::Key_Escape);
        TypeAndEnter(Edit(editor, CDlgEQ::kGainEditId), "3.5");
        QCoreApplication::processEvents();
        stillOpen = editor.IsModalRunning();
        QTest::mouseClick(Get<QPushButton>(editor, CDlgEQ::kOkId), Qt::LeftButton);
    });
    editor.DoModal();
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(editor.IsModalRunning());
    EXPECT_EQ(image.MasterEqBands[4].gain, 35);
    EXPECT_EQ(page.Take(), (std::vector<Edited>{{4, 0, {}}}));
    // Centred over the page, 20 pixels below its top.
    const QPoint pageTop = page.mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(editor.x(), pageTop.x() + (page.width() - editor.width()) / 2);
    EXPECT_EQ(editor.y(), pageTop.y() + 20);
}

}  // namespace
