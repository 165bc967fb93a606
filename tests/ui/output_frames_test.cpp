// What reaches the unit for a change made on an output page, the calibration
// page or the main window's own controls: the main window connected to the
// emulator, the control driven as a user would, and the one request frame the
// emulator got, its payload worked out here from the image by the wire
// layout. Then a block read with bytes out of every range: every control shows
// it and nothing but the read itself reaches the unit.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QTest>
#include <ostream>
#include <set>
#include <vector>

#include "app/main_dialog.h"
#include "emulator/device_emulator.h"
#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "link/param_block.h"
#include "pages/dlg_cal.h"
#include "pages/output_page.h"
#include "support/case_name.h"
#include "support/connected_main.h"
#include "support/device_block_layout.h"
#include "support/scripted_prompts.h"
#include "support/wire_payloads.h"

namespace {

using blocktest::Bytes;
using testsupport::BytesPayload;
using testsupport::Hex;
using testsupport::MusicPayload;
using testsupport::OutputChannelPayload;
using testsupport::Put16;
using testsupport::Put32;

Bytes FlagsPayload(const ParamImage& i) {
    Bytes p;
    Put32(p, i.ParamBytes[kSystemModeByte] == 0 ? i.ParamFlags : i.CinemaParamFlags);
    return p;
}
COutputPage& Output(CQuavixDlg& d, PageTableSlot slot) {
    return *static_cast<COutputPage*>(d.Page(slot));
}
CDlgCal& Cal(CQuavixDlg& d) { return *static_cast<CDlgCal*>(d.Page(kTableCal)); }

// The user's ways in: an arrow key on a slider (up, or down from its end),
// a click.
void Step(platform::Window& w, int sliderId) {
    CMySlider* slider = w.ControlAs<CMySlider>(sliderId);
    ASSERT_NE(slider, nullptr) << sliderId;
    QTest::keyClick(slider, slider->Value() < slider->Max() ? Qt::Key_Right : Qt::Key_Left);
}
template <class T = CMyBtn>
void Click(platform::Window& w, int id) {
    T* control = w.ControlAs<T>(id);
    ASSERT_NE(control, nullptr) << id;
    control->click();
}

struct FrameCase {
    const char* what;
    int systemMode;   // of the unit's block: 0 KTV, 1 cinema, 2 auto
    int featureFlag;  // the handshake's
    void (*act)(CQuavixDlg&);
    std::uint8_t code;
    int dataLength;  // the frame's data field: payload and pad
    Bytes (*payload)(const ParamImage&);
};
void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.what; }

// clang-format off
const FrameCase kCases[] = {
    {"MasterVolumeKtv", 0, 1,
     [](CQuavixDlg& d) { Step(Output(d, kTableMaster), 1220); },
     0x0E, 20, [](const ParamImage& i) { return OutputChannelPayload(i, 0); }},
    {"SurroundCompressorCinema", 1, 1,
     [](CQuavixDlg& d) { Step(Output(d, kTableSurl), 1232); },
     0x0E, 12, [](const ParamImage& i) { return OutputChannelPayload(i, 2); }},
    {"CentreMixerKtv", 0, 1,
     [](CQuavixDlg& d) { Step(Output(d, kTableCout), 1226); },
     0x0E, 20, [](const ParamImage& i) { return OutputChannelPayload(i, 4); }},
    {"SubwooferDistanceCinema", 1, 1,
     [](CQuavixDlg& d) { Step(Output(d, kTableSW), 1236); },
     0x0E, 12, [](const ParamImage& i) { return OutputChannelPayload(i, 5); }},
    {"MasterPolarityAuto", 2, 1,
     [](CQuavixDlg& d) { Click(Output(d, kTableMaster), 1555); },
     0x0E, 12, [](const ParamImage& i) { return OutputChannelPayload(i, 0); }},
    {"SurroundBackPairCinema", 1, 1,
     [](CQuavixDlg& d) { Step(Output(d, kTableSurl), 1253); },
     0x39, 4, [](const ParamImage& i) { return BytesPayload(i, {155, 156, 157, 158}); }},
    {"SurroundBackPolarityKtv", 0, 1,
     [](CQuavixDlg& d) { Click(Output(d, kTableSurl), 1560); },
     0x39, 4, [](const ParamImage& i) { return BytesPayload(i, {155, 156, 157, 158}); }},
    {"MasterMuteKtv", 0, 1,
     [](CQuavixDlg& d) { Click<QCheckBox>(Output(d, kTableMaster), 1248); },
     0x0F, 5, FlagsPayload},
    {"SurroundBackMuteCinema", 1, 1,
     [](CQuavixDlg& d) { Click<QCheckBox>(Output(d, kTableSurl), 1255); },
     0x0F, 5, FlagsPayload},
    {"CentreCompBypassCinema", 1, 1,
     [](CQuavixDlg& d) { Click<QCheckBox>(Output(d, kTableCout), 1240); },
     0x0F, 5, FlagsPayload},
    {"MasterSmallCinema", 1, 1,
     [](CQuavixDlg& d) { Click(Output(d, kTableMaster), COutputPage::kSmallId); },
     0x3E, 4, [](const ParamImage& i) { return Bytes{0, i.ParamBytes[110], i.ParamBytes[113]}; }},
    {"CentreCrossoverCinema", 1, 1,
     [](CQuavixDlg& d) { Step(Output(d, kTableCout), 1251); },
     0x3E, 4, [](const ParamImage& i) { return Bytes{2, i.ParamBytes[112], i.ParamBytes[115]}; }},
    {"SurroundTestBoxFeatureOff", 0, 0,
     [](CQuavixDlg& d) {
         COutputPage& page = Output(d, kTableSurl);
         ASSERT_TRUE(page.ControlAs<QCheckBox>(1931)->isVisibleTo(&page));
         Click<QCheckBox>(Output(d, kTableSurl), 1931);
     },
     0x1B, 2, [](const ParamImage&) { return Bytes{4}; }},
    {"CalLevel", 1, 1,
     [](CQuavixDlg& d) { Step(Cal(d), 1886); },
     0x0E, 12, [](const ParamImage& i) { return OutputChannelPayload(i, 2); }},
    {"CalDistance", 1, 1,
     [](CQuavixDlg& d) { Step(Cal(d), 1913); },
     0x0E, 12, [](const ParamImage& i) { return OutputChannelPayload(i, 5); }},
    {"CalPolarity", 1, 1,
     [](CQuavixDlg& d) { Click(Cal(d), 1893); },
     0x0E, 12, [](const ParamImage& i) { return OutputChannelPayload(i, 4); }},
    {"CalChannel", 1, 1,
     [](CQuavixDlg& d) { Click(Cal(d), 1919); },
     0x1B, 2, [](const ParamImage&) { return Bytes{3}; }},
    {"MainToggle", 0, 1,
     [](CQuavixDlg& d) { Click(d, 1842); },
     0x38, 2, [](const ParamImage& i) { return Bytes{static_cast<std::uint8_t>(i.MainToggleBits)}; }},
    {"AudioRowKtv", 0, 1,
     [](CQuavixDlg& d) { Click(d, 1830); },  // HDMI3
     0x02, 13, MusicPayload},
    {"AudioRowCinema", 1, 1,
     [](CQuavixDlg& d) { Click(d, 1827); },  // OPTI
     0x02, 5, MusicPayload},
    {"AudioRowAuto", 2, 1,
     [](CQuavixDlg& d) { Click(d, 1829); },  // HDMI2
     0x06, 2, [](const ParamImage&) { return Bytes{3}; }},
    {"VideoRowKtv", 0, 1,
     [](CQuavixDlg& d) { Click(d, 1836); },  // HDMI4
     0x02, 13, MusicPayload},
    {"VideoRowAuto", 2, 1,
     [](CQuavixDlg& d) { Click(d, 1833); },  // HDMI3
     0x07, 2, [](const ParamImage&) { return Bytes{2}; }},
    {"SecondVideoRowCinema", 1, 1,
     [](CQuavixDlg& d) { Click(d, 1840); },  // HDMI4
     0x48, 3, [](const ParamImage& i) { return BytesPayload(i, {94, 95}); }},
    {"InputComboKtv", 0, 1,
     [](CQuavixDlg& d) { testsupport::Choose(d.ControlAs<QComboBox>(1859), 2); },
     0x02, 13, MusicPayload},
    {"InputComboAuto", 2, 1,
     [](CQuavixDlg& d) { testsupport::Choose(d.ControlAs<QComboBox>(1859), 4); },
     0x02, 5, MusicPayload},
};
// clang-format on

// The unit holds the defaults, in a system mode; its inputs are AUTO, COAX,
// HDMI1 and HDMI1, so that every row choice above changes something.
Bytes UnitBlock(int systemMode) {
    ParamImage image;
    InitParamImage(image);
    image.ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(systemMode);
    image.ParamBytes[6] = 1;
    image.ParamBytes[108] = 0;
    for (int b : {153, 154, 94, 95}) image.ParamBytes[static_cast<std::size_t>(b)] = 0;
    Bytes block(kDeviceParamBlockSize);
    PackDeviceParamBlock(image, block.data());
    return block;
}

class OutputFrames : public ::testing::TestWithParam<FrameCase> {
protected:
    void SetUp() override {
        const FrameCase& c = GetParam();
        emu::Knobs knobs = unit.device.GetKnobs();
        knobs.featureFlag = static_cast<std::uint8_t>(c.featureFlag);
        unit.device.SetKnobs(knobs);
        unit.Connect(UnitBlock(c.systemMode));
        if (HasFatalFailure()) return;
        ASSERT_EQ(unit.dlg->Image().ParamBytes[kSystemModeByte], c.systemMode);
        ASSERT_EQ(unit.dlg->Image().ExtendedFeatures, c.featureFlag);
    }

    testsupport::ScriptedPrompts prompts;
    testsupport::ConnectedMain unit;
};

}  // namespace

TEST_P(OutputFrames, OneFrameReachesTheUnit) {
    const FrameCase& c = GetParam();
    CQuavixDlg& dlg = *unit.dlg;
    const std::size_t mark = unit.Mark();
    c.act(dlg);
    if (HasFatalFailure()) return;
    const std::vector<emu::Command> sent = unit.SettledRequestsSince(mark);
    ASSERT_EQ(sent.size(), 1u) << (sent.empty() ? 0 : int(sent.front().code));
    EXPECT_EQ(sent[0].code, c.code);
    const Bytes payload = c.payload(dlg.Image());
    ASSERT_EQ(static_cast<int>(sent[0].data.size()), c.dataLength);
    EXPECT_EQ(Hex(testsupport::Head(sent[0].data, payload.size())), Hex(payload));
    EXPECT_EQ(unit.device.WrongLengths(), 0);
    EXPECT_EQ(unit.device.Overlaps(), 0);
    EXPECT_TRUE(prompts.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(Controls, OutputFrames, ::testing::ValuesIn(kCases),
                         testsupport::CaseName<FrameCase>);

class OutputUnit : public ::testing::Test {
protected:
    testsupport::ScriptedPrompts prompts;
    testsupport::ConnectedMain unit;
};

// The unit takes the speaker size in cinema only; KTV keeps it in the image.
TEST_F(OutputUnit, SmallInKtvIsStoredAndReachesNothing) {
    unit.Connect(UnitBlock(0));
    ASSERT_FALSE(HasFatalFailure());
    const std::size_t mark = unit.Mark();
    Click(Output(*unit.dlg, kTableMaster), COutputPage::kSmallId);
    platform::MessageQueue::Drain();
    EXPECT_EQ(unit.dlg->Image().ParamBytes[110], 1);
    linktest::RunFor(300);
    EXPECT_TRUE(unit.RequestsSince(mark).empty());
}

TEST_F(OutputUnit, ACalibrationWalkSendsOneFramePerTick) {
    unit.Connect(UnitBlock(1));
    ASSERT_FALSE(HasFatalFailure());
    CDlgCal& cal = Cal(*unit.dlg);
    std::size_t mark = unit.Mark();
    Click(cal, CDlgCal::kRotateButtonId);
    // The test delivers the ticks.
    cal.KillTimer(TIMER_CAL_WALK);
    for (int code : {1, 5, 2, 4, 3, 6, 0}) {
        const std::vector<emu::Command> sent = unit.SettledRequestsSince(mark);
        ASSERT_EQ(sent.size(), 1u) << code;
        EXPECT_EQ(sent[0].code, 0x1B);
        EXPECT_EQ(Hex(testsupport::Head(sent[0].data, 1)),
                  Hex(Bytes{static_cast<std::uint8_t>(code)}));
        mark = unit.Mark();
        if (code) cal.OnTimer(TIMER_CAL_WALK);
    }
    EXPECT_FALSE(cal.Walking());
}

// A block and header whose bytes leave every range a control can show: the
// refresh sets every control from them, corrects only the second video
// inputs, and sends nothing; the unit sees only the read.
TEST_F(OutputUnit, ABlockOutOfRangeSetsEveryControlAndSendsNothing) {
    ParamImage image;
    InitParamImage(image);
    auto& b = image.ParamBytes;
    auto& u = image.ParamWords;
    b[kSystemModeByte] = 1;
    b[116] = 0x80 | 120;  // master left: inverted, level past the slider's end
    b[117] = 75;
    b[118] = 200;  // threshold
    b[29] = 0x80 | 30;
    b[110] = 7;  // speaker size: neither
    b[113] = 3;  // crossover under its range
    b[157] = 0x80 | 2;
    u[40] = 900;  // a distance far past 15.0 m
    u[45] = 12;
    image.CinemaParamFlags = (1u << 1) | (1u << 7);  // right mute, back right mute; comps off
    b[6] = 0;
    b[108] = 9;
    b[154] = 7;
    b[95] = 9;
    b[140] = 0x80 | 99;
    Bytes block(kDeviceParamBlockSize);
    PackDeviceParamBlock(image, block.data());
    emu::HeaderState header;
    header.options = 0x0A;  // toggles 0b101, lock off
    header.pinkNoise = 9;
    unit.device.SetHeader(header);
    unit.Connect(block);
    ASSERT_FALSE(HasFatalFailure());
    CQuavixDlg& dlg = *unit.dlg;
    const ParamImage& shown = dlg.Image();
    ASSERT_EQ(shown.PinkNoiseState, 9);

    COutputPage& master = Output(dlg, kTableMaster);
    EXPECT_EQ(master.Slider(1220)->Value(), 99);
    EXPECT_EQ(master.ItemText(1221), "22.5dB");
    EXPECT_EQ(master.ItemText(1545), "-");
    EXPECT_EQ(master.ItemText(1555), "+");
    EXPECT_EQ(master.ItemText(1250), "0.0dB");
    EXPECT_EQ(master.Slider(1228)->Value(), 50);
    EXPECT_EQ(master.ItemText(1229), "150db");
    EXPECT_EQ(master.ItemText(1546), "-");
    EXPECT_EQ(master.ItemText(1227), "30%");
    EXPECT_EQ(master.Slider(1236)->Value(), 150);
    EXPECT_EQ(master.ItemText(1237), "90.0m");
    EXPECT_EQ(master.Slider(1251)->Value(), 20);
    EXPECT_EQ(master.ItemText(1857), "6hz");
    EXPECT_EQ(master.SpeakerSize(), -1);
    EXPECT_FALSE(master.ControlAs<CMyBtn>(COutputPage::kLargeId)->Checked());
    EXPECT_FALSE(master.ControlAs<CMyBtn>(COutputPage::kSmallId)->Checked());
    EXPECT_FALSE(master.ControlAs<QCheckBox>(1241)->isChecked());
    EXPECT_TRUE(master.ControlAs<QCheckBox>(1248)->isChecked());
    EXPECT_TRUE(master.ControlAs<QCheckBox>(1240)->isChecked());
    COutputPage& surround = Output(dlg, kTableSurl);
    EXPECT_EQ(surround.ItemText(1243), "-36.5dB");
    EXPECT_EQ(surround.ItemText(1560), "-");
    EXPECT_TRUE(surround.ControlAs<QCheckBox>(1255)->isChecked());
    EXPECT_EQ(surround.ItemText(1412), "L Distance");
    for (PageTableSlot slot : {kTableMaster, kTableSurl, kTableCout, kTableSW}) {
        for (int id : {1930, 1931}) {
            if (auto* box = Output(dlg, slot).ControlAs<QCheckBox>(id)) {
                EXPECT_FALSE(box->isChecked()) << slot << " " << id;
            }
        }
    }

    CDlgCal& cal = Cal(dlg);
    EXPECT_EQ(cal.Slider(1876)->Value(), 99);
    EXPECT_EQ(cal.ItemText(1877), "-");
    EXPECT_EQ(cal.ItemText(1895), "12.0dB");
    EXPECT_EQ(cal.ItemText(1897), "-");
    EXPECT_EQ(cal.Slider(1898)->Value(), 150);
    EXPECT_EQ(cal.ItemText(1914), "1.2m");
    for (int id = CDlgCal::kOffButtonId; id <= CDlgCal::kOffButtonId + CDlgCal::kChannels; ++id)
        EXPECT_FALSE(cal.ControlAs<CMyBtn>(id)->Checked()) << id;

    // Main window: toggles from the header, no input button for indexes
    // outside their rows, the second video input set back to HDMI1.
    EXPECT_TRUE(dlg.ControlAs<CMyBtn>(1841)->Checked());
    EXPECT_FALSE(dlg.ControlAs<CMyBtn>(1842)->Checked());
    EXPECT_TRUE(dlg.ControlAs<CMyBtn>(1843)->Checked());
    for (int id :
         {1822, 1823, 1824, 1825, 1826, 1827, 1828, 1829, 1830, 1835, 1831, 1832, 1833, 1836})
        EXPECT_FALSE(dlg.ControlAs<CMyBtn>(id)->Checked()) << id;
    EXPECT_EQ(shown.ParamBytes[95], 0);
    EXPECT_TRUE(dlg.ControlAs<CMyBtn>(1837)->Checked());
    EXPECT_EQ(dlg.ControlAs<QComboBox>(1859)->currentIndex(), -1);
    // Everything else is the unit's, as read.
    EXPECT_EQ(shown.ParamBytes[110], 7);
    EXPECT_EQ(shown.ParamBytes[108], 9);
    EXPECT_EQ(shown.ParamBytes[6], 0);
    EXPECT_EQ(shown.ParamWords[40], 900);

    // Showing the pages refreshes them again, still sending nothing.
    for (int page : {kPageMaster, kPageSurl, kPageCout, kPageSW, kPageCal}) dlg.SelectPage(page);
    platform::MessageQueue::Drain();
    linktest::RunFor(300);
    const std::set<std::uint8_t> allowed{0x1C, 0x3F, 0x40};
    for (std::uint8_t code : unit.device.RequestCodes())
        EXPECT_TRUE(allowed.count(code)) << int(code);
}
