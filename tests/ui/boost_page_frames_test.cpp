// What reaches the unit for a change made on the Boost EQ page: the main
// window connected to the emulator, the page shown as the main window shows
// it, a change driven through the page's own controls, and the frames the
// emulator got, their payload worked out here from the parameter image by
// the wire layout.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <ostream>
#include <string>
#include <vector>

#include "eq/my_btn.h"
#include "link/param_block.h"
#include "pages/dlg_bt.h"
#include "support/boost_preset_layout.h"
#include "support/case_name.h"
#include "support/connected_main.h"
#include "support/scripted_prompts.h"
#include "support/temp_folder.h"

namespace {

using blocktest::Bytes;
using testsupport::Hex;

constexpr std::uint8_t kBoostEnable = 0x30;
constexpr std::uint8_t kBoostBand = 0x31;
constexpr std::uint8_t kBoostSave = 0x33;
constexpr int kBoostBlockOffset = 1050;

// Where a target's run lies in the image, which holds MUSIC first; the wire
// counts MIC, MUSIC, REV, ECHO.
constexpr int kImageFirst[4] = {5, 0, 10, 13};
constexpr int kRunLength[4] = {5, 5, 3, 3};
const EqBand& ImageBand(const ParamImage& image, int target, int band) {
    return image.BoostBands[static_cast<std::size_t>(kImageFirst[target] + band)];
}

// Bands the unit holds: distinct values, every type of button, gains both
// ways.
ParamImage UnitImage() {
    ParamImage image;
    InitParamImage(image);
    for (int i = 0; i < 16; ++i) {
        image.BoostBands[static_cast<std::size_t>(i)] = {
            0, static_cast<std::uint8_t>(i % 3), static_cast<std::uint16_t>(60 + 997 * i),
            static_cast<std::uint16_t>(i % 3 == 0 ? 30 + i : 5 + i),
            static_cast<std::int16_t>(i % 2 ? -17 * i : 13 * i)};
    }
    image.BoostEnableFlags = 0x6;
    return image;
}

class BoostFramesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Bytes block(kDeviceParamBlockSize);
        PackDeviceParamBlock(UnitImage(), block.data());
        unit.Connect(block);
        if (HasFatalFailure()) return;
        unit.dlg->PostMessage(WM_BOOST_PAGE, 0, 1);
        platform::MessageQueue::Drain();
        page = static_cast<CDlgBt*>(unit.dlg->PageForIndex(kPageBt));
        ASSERT_TRUE(page->isVisibleTo(unit.dlg.get()));
    }
    void ShowTarget(int target) {
        page->ControlAs<CMyBtn>(CDlgBt::kTargetButtonId + target)->click();
        platform::MessageQueue::Drain();
        ASSERT_EQ(page->CurrentTarget(), target);
    }
    const ParamImage& Image() const { return unit.dlg->Image(); }

    testsupport::ScriptedPrompts prompts;
    testsupport::ConnectedMain unit;
    CDlgBt* page = nullptr;
};

// ---- One band change, one 0x31 frame ----------------------------------------------------

struct BandCase {
    const char* what;
    int target;
    int band;
    void (*act)(CDlgBt&, int band);
};
void PrintTo(const BandCase& c, std::ostream* os) { *os << c.what; }

void DragTo(CDlgBt& p, int band, QPoint graphPoint) {
    QPoint from;
    ASSERT_TRUE(p.MarkerCentre(band, &from)) << band;
    QTest::mousePress(&p, Qt::LeftButton, Qt::NoModifier, from);
    p.OnMouseMove(p.GraphRect().topLeft() + graphPoint);
    QTest::mouseRelease(&p, Qt::LeftButton, Qt::NoModifier, p.GraphRect().topLeft() + graphPoint);
}
void TypeGain(CDlgBt& p, int band) {
    QLineEdit* e = p.ControlAs<QLineEdit>(CDlgBt::kGainEditId + band);
    e->setText("-7.5");
    QTest::keyClick(e, Qt::Key_Return);
}
void ClickHighShelfOrPeak(CDlgBt& p, int band) {
    // A type the band does not have yet.
    const int type = p.Bands()[static_cast<std::size_t>(band)].type == 2 ? 0 : 2;
    p.ControlAs<CMyBtn>(CDlgBt::kTypeButtonId + 3 * band + type)->click();
}

class BoostBandFrames : public BoostFramesTest, public ::testing::WithParamInterface<BandCase> {};

TEST_P(BoostBandFrames, OneFrameCarriesTheTargetBandAndItsWireBand) {
    const BandCase& c = GetParam();
    if (c.target != CDlgBt::kTargetMic) ShowTarget(c.target);
    const ParamImage before = Image();
    const std::size_t mark = unit.Mark();
    c.act(*page, c.band);
    if (HasFatalFailure()) return;
    const EqBand& a = ImageBand(Image(), c.target, c.band);
    const EqBand& b = ImageBand(before, c.target, c.band);
    EXPECT_TRUE(a.gain != b.gain || a.frequency != b.frequency || a.type != b.type);

    const std::vector<emu::Command> sent = unit.SettledRequestsSince(mark);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].code, kBoostBand);
    Bytes payload{static_cast<std::uint8_t>(c.target), static_cast<std::uint8_t>(c.band)};
    testsupport::PutWireBand(payload, a);
    ASSERT_EQ(sent[0].data.size(), 8u);
    EXPECT_EQ(Hex(testsupport::Head(sent[0].data, payload.size())), Hex(payload));
    EXPECT_EQ(unit.device.WrongLengths(), 0);
    EXPECT_TRUE(prompts.shown().empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Boost, BoostBandFrames, ::testing::Values(
    BandCase{"MicDrag", CDlgBt::kTargetMic, 1, [](CDlgBt& p, int b) { DragTo(p, b, {200, 60}); }},
    BandCase{"MicGainEdit", CDlgBt::kTargetMic, 4, TypeGain},
    BandCase{"MicType", CDlgBt::kTargetMic, 2, ClickHighShelfOrPeak},
    BandCase{"EchoDrag", CDlgBt::kTargetEcho, 2, [](CDlgBt& p, int b) { DragTo(p, b, {900, 250}); }},
    BandCase{"EchoGainEdit", CDlgBt::kTargetEcho, 0, TypeGain},
    BandCase{"EchoType", CDlgBt::kTargetEcho, 1, ClickHighShelfOrPeak}),
    testsupport::CaseName<BandCase>);
// clang-format on

// ---- Enable bits, Store, a block read ------------------------------------------------------

TEST_F(BoostFramesTest, AnEnableBoxClickedTwiceSetsThenClearsItsBit) {
    auto* echo = page->ControlAs<QCheckBox>(CDlgBt::kEnableBoxIds[CDlgBt::kTargetEcho]);
    ASSERT_FALSE(echo->isChecked());
    const std::size_t mark = unit.Mark();
    echo->click();
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.RequestsSince(mark).size() == 1; }, 5000));
    echo->click();
    const std::vector<emu::Command> sent = unit.SettledRequestsSince(mark);
    ASSERT_EQ(sent.size(), 2u);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(sent[k].code, kBoostEnable);
        ASSERT_EQ(sent[k].data.size(), 3u);
        EXPECT_EQ(sent[k].data[0], k == 0 ? 0x6 | 0x8 : 0x6) << k;
        EXPECT_EQ(sent[k].data[1], 0);
    }
}

TEST_F(BoostFramesTest, StoreKeepsEveryBandInTheUnitAndABlockReadShowsThem) {
    // A change the page sent band by band, then the whole setting stored.
    QLineEdit* gain = page->ControlAs<QLineEdit>(CDlgBt::kGainEditId + 3);
    gain->setText("5.5");
    QTest::keyClick(gain, Qt::Key_Return);
    unit.SettledRequestsSince(unit.Mark());
    const std::size_t mark = unit.Mark();
    page->ControlAs<QPushButton>(CDlgBt::kStoreId)->click();
    const std::vector<emu::Command> sent = unit.SettledRequestsSince(mark);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].code, kBoostSave);
    EXPECT_EQ(unit.device.WrongLengths(), 0);
    platform::MessageQueue::Drain();
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"        Saved OK        "}));

    // The unit keeps the enable byte and the bands in wire order.
    Bytes expected{static_cast<std::uint8_t>(Image().BoostEnableFlags)};
    for (int target = 0; target < 4; ++target)
        for (int b = 0; b < kRunLength[target]; ++b)
            testsupport::PutWireBand(expected, ImageBand(Image(), target, b));
    const Bytes block = unit.device.Block();
    EXPECT_EQ(Hex(Bytes(block.begin() + kBoostBlockOffset,
                        block.begin() + kBoostBlockOffset + static_cast<long>(expected.size()))),
              Hex(expected));

    // What the page shows after the next connection's block read.
    const ParamImage stored = Image();
    unit.dlg->ControlAs<CMyBtn>(1001)->click();
    platform::MessageQueue::Drain();
    unit.dlg->Image().BoostBands.fill({0, 0, 1000, 10, 0});
    unit.dlg->ControlAs<CMyBtn>(1001)->click();
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.dlg->ItemText(1002) == "OK"; }, 10000));
    platform::MessageQueue::Drain();
    EXPECT_TRUE(blocktest::SameBands(Image().BoostBands, stored.BoostBands));
    EXPECT_EQ(page->CurrentTarget(), CDlgBt::kTargetMic);
    EXPECT_EQ(gain->text(), "5.5");
    for (int b = 0; b < 5; ++b) {
        EXPECT_EQ(page->ControlAs<QLineEdit>(CDlgBt::kFreqEditId + b)->text(),
                  QString::number(ImageBand(stored, CDlgBt::kTargetMic, b).frequency))
            << b;
    }
}

TEST_F(BoostFramesTest, ALoadedFileGoesToTheUnitInWireOrder) {
    ParamImage file;
    InitParamImage(file);
    for (int i = 0; i < 16; ++i)
        file.BoostBands[static_cast<std::size_t>(i)] = {
            0, static_cast<std::uint8_t>((i + 1) % 3), static_cast<std::uint16_t>(30 + 1111 * i),
            static_cast<std::uint16_t>(4 + i), static_cast<std::int16_t>(7 * i - 50)};
    file.BoostEnableFlags = 0xB;
    const QString path = QDir(unit.folder.path()).filePath("preset.btpar");
    testsupport::WriteFileBytes(path.toStdString(), testsupport::BoostPresetBytesOf(file));

    const std::size_t mark = unit.Mark();
    prompts.AnswerFile(path.toStdString());
    page->ControlAs<QPushButton>(CDlgBt::kLoadFileId)->click();
    const std::vector<emu::Command> sent = unit.SettledRequestsSince(mark);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].code, kBoostSave);
    Bytes expected{0xB};
    for (int target = 0; target < 4; ++target)
        for (int b = 0; b < kRunLength[target]; ++b)
            testsupport::PutWireBand(expected, ImageBand(file, target, b));
    EXPECT_EQ(Hex(testsupport::Head(sent[0].data, expected.size())), Hex(expected));
    EXPECT_EQ(unit.device.WrongLengths(), 0);
    const Bytes block = unit.device.Block();
    EXPECT_EQ(Hex(Bytes(block.begin() + kBoostBlockOffset,
                        block.begin() + kBoostBlockOffset + static_cast<long>(expected.size()))),
              Hex(expected));
}

}  // namespace
