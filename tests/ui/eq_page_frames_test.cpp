// What reaches the unit for a change made on an EQ page: the main window
// connected to the emulator over loopback TCP, a change driven through the
// page's own controls or handlers, and the last request frame the emulator
// got, its code and payload worked out here from the parameter image by the
// wire layout (not by the product's builder).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "app/main_dialog.h"
#include "emulator/device_emulator.h"
#include "eq/band_panel.h"
#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "link/param_block.h"
#include "model/ui_text.h"
#include "pages/dlg_echo.h"
#include "pages/dlg_fx.h"
#include "pages/dlg_mic.h"
#include "pages/eq_page.h"
#include "support/case_name.h"
#include "support/connected_main.h"
#include "support/device_block_layout.h"
#include "support/scripted_prompts.h"
#include "support/user_input.h"
#include "support/wire_payloads.h"

namespace {

using blocktest::Bytes;

using testsupport::Choose;
using testsupport::Hex;
using testsupport::Put16;
using testsupport::Put32;

Bytes BandPayload(int module, int band, const EqBand& b) {
    Bytes p{static_cast<std::uint8_t>(module), static_cast<std::uint8_t>(band)};
    testsupport::PutWireBand(p, b);
    return p;
}
Bytes PassPayload(const ParamImage& i, int filterId, int slopeByte, int word) {
    Bytes p{static_cast<std::uint8_t>(filterId), i.ParamBytes[static_cast<std::size_t>(slopeByte)]};
    Put16(p, i.ParamWords[static_cast<std::size_t>(word)]);
    return p;
}
Bytes FlagsPayload(std::uint32_t flags) {
    Bytes p;
    Put32(p, flags);
    return p;
}
Bytes EnablePayload(const ParamImage& i, int module, int maskWord) {
    Bytes p{static_cast<std::uint8_t>(module)};
    Put16(p, i.BandEnableMasks[static_cast<std::size_t>(maskWord)]);
    return p;
}
bool Bit(std::uint32_t word, int bit) { return (word >> bit) & 1u; }

// The user's own ways in: Enter in an edit, a pick in a combo, a click.
void TypeAndEnter(QLineEdit* edit, const char* text) {
    ASSERT_NE(edit, nullptr);
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
}
template <class T>
void Click(CEqPage& p, int id) {
    T* control = p.ControlAs<T>(id);
    ASSERT_NE(control, nullptr) << id;
    control->click();
}
void Key(CEqPage& p, int id, Qt::Key key) { testsupport::SliderKey(p, id, key); }
QLineEdit* PanelEdit(CEqPage& p, int base, int row) {
    return p.Panel()->ControlAs<QLineEdit>(base + CDlgVS::kEditIdStride * row);
}
void PanelBypass(CEqPage& p, int row) {
    QCheckBox* box = p.Panel()->ControlAs<QCheckBox>(CDlgVS::kBypassId + row);
    ASSERT_NE(box, nullptr);
    box->click();
}
// A left drag of a marker to a graph point (graph coordinates).
void Drag(CEqPage& p, int band, QPoint to) {
    QPoint from;
    ASSERT_TRUE(p.MarkerCentre(band, &from)) << band;
    p.OnLButtonDown(from);
    ASSERT_EQ(p.SelectedBand(), band);
    p.OnMouseMove(p.GraphRect().topLeft() + to);
    p.OnButtonUp();
}

struct FrameCase;
void PrintTo(const FrameCase& c, std::ostream* os);

struct FrameCase {
    const char* what;
    PageTableSlot slot;
    int systemMode;  // of the unit's block: 0 KTV, 1 cinema
    int mic;         // the Mic page's microphone, 0 or 1
    // Drives the change; the image is there to set a state up first.
    void (*act)(CEqPage&, ParamImage&);
    // The change is in the image (before, after).
    bool (*stored)(const ParamImage&, const ParamImage&);
    std::uint8_t code;
    int dataLength;  // the frame's data field: payload and pad
    Bytes (*payload)(const ParamImage&);
};

void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.what; }

// clang-format off
const FrameCase kCases[] = {
    {"MusicBandDragToTopLeft", kTableMusic, 0, 0,
     [](CEqPage& p, ParamImage&) { Drag(p, 3, {0, 0}); },
     [](const ParamImage&, const ParamImage& a) {
         return a.MusicEqBands[3].frequency == 20 && a.MusicEqBands[3].gain == 240;
     },
     0x03, 8, [](const ParamImage& i) { return BandPayload(2, 3, i.MusicEqBands[3]); }},
    {"MusicPanelQ", kTableMusic, 0, 0,
     [](CEqPage& p, ParamImage&) { TypeAndEnter(PanelEdit(p, CDlgVS::kQEditId, 6), "33.3"); },
     [](const ParamImage&, const ParamImage& a) { return a.MusicEqBands[6].q == 333; },
     0x03, 8, [](const ParamImage& i) { return BandPayload(2, 6, i.MusicEqBands[6]); }},
    {"MusicEqReset", kTableMusic, 0, 0,
     [](CEqPage& p, ParamImage& i) {
         i.MusicEqBands[0].gain = -95;
         i.BandEnableMasks[2] = 0x0FF0;
         Click<QPushButton>(p, 1072);
     },
     [](const ParamImage&, const ParamImage& a) {
         return a.MusicEqBands[0].gain == 0 && a.BandEnableMasks[2] == 0xFFFF;
     },
     0x04, 2, [](const ParamImage&) { return Bytes{2}; }},
    {"MusicEqBypass", kTableMusic, 0, 0,
     [](CEqPage& p, ParamImage&) { Click<QCheckBox>(p, 1079); },
     [](const ParamImage& b, const ParamImage& a) {
         return Bit(a.ParamFlags, 10) != Bit(b.ParamFlags, 10);
     },
     0x0F, 5, [](const ParamImage& i) { return FlagsPayload(i.ParamFlags); }},
    {"MusicLowPassEdit", kTableMusic, 0, 0,
     [](CEqPage& p, ParamImage&) { TypeAndEnter(p.ControlAs<QLineEdit>(CEqPage::kLpFreqEditId), "5000"); },
     [](const ParamImage&, const ParamImage& a) {
         return a.ParamWords[3] == 5000 && a.MusicEqBands[15].frequency == 5000;
     },
     0x11, 5, [](const ParamImage& i) { return PassPayload(i, 3, 8, 3); }},
    // The music and microphone pass filters have one copy, used in every kind.
    {"MusicCinemaLowPassEdit", kTableMusic, 1, 0,
     [](CEqPage& p, ParamImage&) { TypeAndEnter(p.ControlAs<QLineEdit>(CEqPage::kLpFreqEditId), "6000"); },
     [](const ParamImage&, const ParamImage& a) { return a.ParamWords[3] == 6000; },
     0x11, 5, [](const ParamImage& i) { return PassPayload(i, 3, 8, 3); }},
    {"MusicHighPassSlope", kTableMusic, 0, 0,
     [](CEqPage& p, ParamImage&) { Choose(p.ControlAs<QComboBox>(CEqPage::kHpSlopeComboId), 4); },
     [](const ParamImage&, const ParamImage& a) { return a.ParamBytes[7] == 4; },
     0x11, 5, [](const ParamImage& i) { return PassPayload(i, 2, 7, 2); }},
    {"MusicPanelBandEnable", kTableMusic, 0, 0,
     [](CEqPage& p, ParamImage&) { PanelBypass(p, 5); },
     [](const ParamImage& b, const ParamImage& a) {
         return ((a.BandEnableMasks[2] ^ b.BandEnableMasks[2]) & 0xFFFF) == (1u << 5);
     },
     0x49, 4, [](const ParamImage& i) { return EnablePayload(i, 2, 2); }},
    // Cinema: band 2 of the second set travels as band 2 of module 3.
    {"MasterCinemaPanelGain", kTableMaster, 1, 0,
     [](CEqPage& p, ParamImage&) { TypeAndEnter(PanelEdit(p, CDlgVS::kGainEditId, 2), "-6.5"); },
     [](const ParamImage& b, const ParamImage& a) {
         return a.MasterEqBands[12 + 2].gain == -65 &&
                a.MasterEqBands[2].gain == b.MasterEqBands[2].gain;
     },
     0x03, 8, [](const ParamImage& i) { return BandPayload(3, 2, i.MasterEqBands[12 + 2]); }},
    {"MasterCinemaBandDrag", kTableMaster, 1, 0,
     [](CEqPage& p, ParamImage&) { Drag(p, 4, {p.GraphRect().width() - 1, p.GraphRect().height() - 1}); },
     [](const ParamImage&, const ParamImage& a) {
         return a.MasterEqBands[12 + 4].frequency == 20000 && a.MasterEqBands[12 + 4].gain == -240;
     },
     0x03, 8, [](const ParamImage& i) { return BandPayload(3, 4, i.MasterEqBands[12 + 4]); }},
    {"MasterCinemaEqBypass", kTableMaster, 1, 0,
     [](CEqPage& p, ParamImage&) { Click<QCheckBox>(p, 1326); },
     [](const ParamImage& b, const ParamImage& a) {
         return Bit(a.CinemaParamFlags, 11) != Bit(b.CinemaParamFlags, 11) &&
                a.ParamFlags == b.ParamFlags;
     },
     0x0F, 5, [](const ParamImage& i) { return FlagsPayload(i.CinemaParamFlags); }},
    {"MasterCinemaLowPassEdit", kTableMaster, 1, 0,
     [](CEqPage& p, ParamImage&) { TypeAndEnter(p.ControlAs<QLineEdit>(CEqPage::kLpFreqEditId), "12345"); },
     [](const ParamImage& b, const ParamImage& a) {
         return a.ParamWords[17] == 12345 && a.ParamWords[5] == b.ParamWords[5];
     },
     0x11, 5, [](const ParamImage& i) { return PassPayload(i, 5, 123, 17); }},
    {"MasterCinemaHighPassSlope", kTableMaster, 1, 0,
     [](CEqPage& p, ParamImage&) { Choose(p.ControlAs<QComboBox>(CEqPage::kHpSlopeComboId), 3); },
     [](const ParamImage& b, const ParamImage& a) {
         return a.ParamBytes[122] == 3 && a.ParamBytes[37] == b.ParamBytes[37];
     },
     0x11, 5, [](const ParamImage& i) { return PassPayload(i, 4, 122, 16); }},
    {"SubwooferLowPass48Db", kTableSW, 0, 0,
     [](CEqPage& p, ParamImage&) { Choose(p.ControlAs<QComboBox>(CEqPage::kLpSlopeComboId), 7); },
     [](const ParamImage&, const ParamImage& a) {
         return a.ParamBytes[78] == 7 && a.SubwooferEqBands[5].slope == 7;
     },
     0x11, 5, [](const ParamImage& i) { return PassPayload(i, 15, 78, 15); }},
    // The echo pass filters travel in the echo settings.
    {"EchoLowPassEdit", kTableEcho, 0, 0,
     [](CEqPage& p, ParamImage&) { TypeAndEnter(p.ControlAs<QLineEdit>(CEqPage::kLpFreqEditId), "8000"); },
     [](const ParamImage&, const ParamImage& a) {
         return a.ParamWords[27] == 8000 && a.EchoEqBands[5].frequency == 8000;
     },
     0x0D, 22, testsupport::EchoPayload},
    {"EchoHighPassDragStopsAt1000", kTableEcho, 0, 0,
     [](CEqPage& p, ParamImage&) { Drag(p, 6, {p.GraphRect().width() - 1, 10}); },
     [](const ParamImage&, const ParamImage& a) {
         return a.ParamWords[26] == 1000 && a.EchoEqBands[6].frequency == 1000;
     },
     0x0D, 22, testsupport::EchoPayload},
    {"EchoEqReset", kTableEcho, 0, 0,
     [](CEqPage& p, ParamImage& i) {
         i.EchoEqBands[2].q = 55;
         i.BandEnableMasks[8] = 0;
         Click<QPushButton>(p, 1542);
     },
     [](const ParamImage&, const ParamImage& a) {
         return a.EchoEqBands[2].q == 10 && a.BandEnableMasks[8] == 0xFFFF;
     },
     0x04, 2, [](const ParamImage&) { return Bytes{10}; }},
    {"Mic2PanelFrequency", kTableMic, 0, 1,
     [](CEqPage& p, ParamImage&) { TypeAndEnter(PanelEdit(p, CDlgVS::kFreqEditId, 0), "1234"); },
     [](const ParamImage&, const ParamImage& a) { return a.Mic2EqBands[0].frequency == 1234; },
     0x03, 8, [](const ParamImage& i) { return BandPayload(1, 0, i.Mic2EqBands[0]); }},
    {"Mic2EqBypass", kTableMic, 0, 1,
     [](CEqPage& p, ParamImage&) { Click<QCheckBox>(p, 1092); },
     [](const ParamImage& b, const ParamImage& a) {
         return Bit(a.ParamFlags, 9) != Bit(b.ParamFlags, 9);
     },
     0x0F, 5, [](const ParamImage& i) { return FlagsPayload(i.ParamFlags); }},
    {"Mic2PanelBandEnable", kTableMic, 0, 1,
     [](CEqPage& p, ParamImage&) { PanelBypass(p, 3); },
     [](const ParamImage& b, const ParamImage& a) {
         return ((a.BandEnableMasks[1] ^ b.BandEnableMasks[1]) & 0xFFFF) == (1u << 3);
     },
     0x49, 4, [](const ParamImage& i) { return EnablePayload(i, 1, 1); }},
    // The pass filters are shared by both microphones.
    {"Mic2LowPassEdit", kTableMic, 0, 1,
     [](CEqPage& p, ParamImage&) { TypeAndEnter(p.ControlAs<QLineEdit>(CEqPage::kLpFreqEditId), "7000"); },
     [](const ParamImage&, const ParamImage& a) {
         return a.ParamWords[1] == 7000 && a.Mic1EqBands[15].frequency == 7000 &&
                a.Mic2EqBands[15].frequency == 7000;
     },
     0x11, 5, [](const ParamImage& i) { return PassPayload(i, 1, 20, 1); }},
    {"Mic2CinemaHighPassSlope", kTableMic, 1, 1,
     [](CEqPage& p, ParamImage&) { Choose(p.ControlAs<QComboBox>(CEqPage::kHpSlopeComboId), 5); },
     [](const ParamImage&, const ParamImage& a) { return a.ParamBytes[19] == 5; },
     0x11, 5, [](const ParamImage& i) { return PassPayload(i, 0, 19, 0); }},
    // The microphone, reverb and echo pages' own controls.
    {"MicNoiseGateKey", kTableMic, 0, 0,
     [](CEqPage& p, ParamImage&) { Key(p, 1215, Qt::Key_Left); },
     [](const ParamImage& b, const ParamImage& a) { return a.ParamBytes[14] == b.ParamBytes[14] - 1; },
     0x05, 9, testsupport::MicPayload},
    {"Mic1PolarityClick", kTableMic, 0, 0,
     [](CEqPage& p, ParamImage&) { Click<CMyBtn>(p, 1740); },
     [](const ParamImage& b, const ParamImage& a) { return a.ParamBytes[12] == (b.ParamBytes[12] ^ 0x80); },
     0x05, 9, testsupport::MicPayload},
    {"Mic2EqLinkOn", kTableMic, 0, 1,
     [](CEqPage& p, ParamImage& i) {
         i.ParamBytes[152] = 0;
         i.Mic2EqBands[4].gain = -77;
         p.LoadFromImage();
         Click<CMyBtn>(p, CDlgMic::kEqLinkId);
     },
     [](const ParamImage&, const ParamImage& a) {
         return a.ParamBytes[152] == 1 && a.Mic1EqBands[4].gain == -77;
     },
     0x3C, 3, [](const ParamImage&) { return Bytes{1, 1}; }},
    {"Mic2EqLinkOff", kTableMic, 0, 1,
     [](CEqPage& p, ParamImage&) { Click<CMyBtn>(p, CDlgMic::kEqLinkId); },
     [](const ParamImage&, const ParamImage& a) { return a.ParamBytes[152] == 0; },
     0x3C, 3, [](const ParamImage&) { return Bytes{1, 0}; }},
    // Linked microphones: the other one takes the changed band and its
    // enable bit, its slope stays; the unit hears of the shown one only.
    {"Mic1LinkedBypassGivesMic2TheBandAndItsBit", kTableMic, 0, 0,
     [](CEqPage& p, ParamImage& i) {
         i.ParamBytes[152] = 1;
         i.Mic2EqBands[5] = {3, 1, 321, 7, -77};
         i.BandEnableMasks[0] = 0xFFFF;
         i.BandEnableMasks[1] = 0xFFFF;
         p.LoadFromImage();
         PanelBypass(p, 5);
     },
     [](const ParamImage&, const ParamImage& a) {
         const EqBand& from = a.Mic1EqBands[5];
         const EqBand& to = a.Mic2EqBands[5];
         return Bit(a.BandEnableMasks[0], 5) == 0 && a.BandEnableMasks[1] == 0xFFFF - (1u << 5) &&
                std::tie(to.type, to.frequency, to.q, to.gain) ==
                    std::tie(from.type, from.frequency, from.q, from.gain) &&
                to.slope == 3;
     },
     0x49, 4, [](const ParamImage& i) { return EnablePayload(i, 0, 0); }},
    {"Mic2LinkedEditGivesMic1ItsBit", kTableMic, 0, 1,
     [](CEqPage& p, ParamImage& i) {
         i.ParamBytes[152] = 1;
         i.BandEnableMasks[0] = 0xFFFF - (1u << 2);
         i.BandEnableMasks[1] = 0xFFFF - (1u << 9);
         p.LoadFromImage();
         TypeAndEnter(PanelEdit(p, CDlgVS::kGainEditId, 2), "-4.5");
     },
     [](const ParamImage&, const ParamImage& a) {
         const EqBand& from = a.Mic2EqBands[2];
         const EqBand& to = a.Mic1EqBands[2];
         return from.gain == -45 && a.BandEnableMasks[0] == 0xFFFF &&
                a.BandEnableMasks[1] == 0xFFFF - (1u << 9) &&
                std::tie(to.type, to.frequency, to.q, to.gain) ==
                    std::tie(from.type, from.frequency, from.q, from.gain);
     },
     0x03, 8, [](const ParamImage& i) { return BandPayload(1, 2, i.Mic2EqBands[2]); }},
    {"ReverbInvertedLevelKeepsBit7", kTableFX, 0, 0,
     [](CEqPage& p, ParamImage& i) {
         i.ParamBytes[79] |= 0x80;
         Key(p, 1224, Qt::Key_Right);
     },
     [](const ParamImage& b, const ParamImage& a) { return a.ParamBytes[79] == (0x80 | (b.ParamBytes[79] + 1)); },
     0x0B, 15, testsupport::ReverbPayload},
    {"ReverbDecayKey", kTableFX, 0, 0,
     [](CEqPage& p, ParamImage&) { Key(p, 1226, Qt::Key_Left); },
     [](const ParamImage& b, const ParamImage& a) { return a.ParamWords[28] == b.ParamWords[28] - 1; },
     0x0B, 15, testsupport::ReverbPayload},
    {"ReverbTypePlate", kTableFX, 0, 0,
     [](CEqPage& p, ParamImage&) { Choose(p.ControlAs<QComboBox>(CDlgFX::kTypeComboId), 2); },
     [](const ParamImage&, const ParamImage& a) { return a.ParamBytes[80] == 2; },
     0x0B, 15, testsupport::ReverbPayload},
    {"EchoRepeatKey", kTableEcho, 0, 0,
     [](CEqPage& p, ParamImage&) { Key(p, 1222, Qt::Key_Right); },
     [](const ParamImage& b, const ParamImage& a) { return a.ParamBytes[87] == b.ParamBytes[87] + 1; },
     0x0D, 22, testsupport::EchoPayload},
    {"EchoDirectPolarityClick", kTableEcho, 0, 0,
     [](CEqPage& p, ParamImage&) { Click<CMyBtn>(p, 1854); },
     [](const ParamImage& b, const ParamImage& a) { return a.ParamBytes[91] == (b.ParamBytes[91] ^ 0x80); },
     0x0D, 22, testsupport::EchoPayload},
    // The unit's defaults hold stereo: the right delay is byte 92.
    {"EchoStereoRightDelay", kTableEcho, 0, 0,
     [](CEqPage& p, ParamImage&) { Key(p, 1226, Qt::Key_Right); },
     [](const ParamImage& b, const ParamImage& a) {
         return a.ParamBytes[85] == 1 && a.ParamBytes[92] == b.ParamBytes[92] + 1 &&
                a.ParamWords[32] == b.ParamWords[32];
     },
     0x0D, 22, testsupport::EchoPayload},
    {"EchoDualRightDelay", kTableEcho, 0, 0,
     [](CEqPage& p, ParamImage& i) {
         i.ParamBytes[85] = 2;
         p.LoadFromImage();
         Key(p, 1226, Qt::Key_Right);
     },
     [](const ParamImage& b, const ParamImage& a) {
         return a.ParamWords[32] == b.ParamWords[32] + 1 && a.ParamBytes[92] == b.ParamBytes[92];
     },
     0x0D, 22, testsupport::EchoPayload},
};
// clang-format on

// The unit's block holding the defaults, in a system mode.
Bytes DefaultsBlock(int systemMode) {
    ParamImage image;
    InitParamImage(image);
    image.ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(systemMode);
    Bytes block(kDeviceParamBlockSize);
    PackDeviceParamBlock(image, block.data());
    return block;
}

// Exactly one frame reached the unit since the mark: its code, its data
// length (payload and pad) and the payload at its head.
void ExpectOneFrame(const testsupport::ConnectedMain& unit, std::size_t mark, std::uint8_t code,
                    int dataLength, const Bytes& payload) {
    // A second command for the change would go out after this frame's reply.
    const std::vector<emu::Command> sent = unit.SettledRequestsSince(mark);
    ASSERT_EQ(sent.size(), 1u) << (sent.empty() ? 0 : int(sent.front().code));
    const emu::Command& last = sent.back();
    EXPECT_EQ(last.code, code);
    ASSERT_EQ(static_cast<int>(last.data.size()), dataLength);
    EXPECT_EQ(Hex(testsupport::Head(last.data, payload.size())), Hex(payload));
    EXPECT_EQ(unit.device.WrongLengths(), 0);
    EXPECT_EQ(unit.device.Overlaps(), 0);
}

class EqPageFrames : public ::testing::TestWithParam<FrameCase> {
protected:
    void SetUp() override {
        const FrameCase& c = GetParam();
        // The unit holds the defaults, in the case's system mode.
        unit.Connect(DefaultsBlock(c.systemMode));
        if (HasFatalFailure()) return;
        ASSERT_EQ(unit.dlg->Image().ParamBytes[kSystemModeByte], c.systemMode);
    }

    testsupport::ScriptedPrompts prompts;
    testsupport::ConnectedMain unit;
};

}  // namespace

TEST_P(EqPageFrames, TheChangeIsStoredAndItsFrameReachesTheUnit) {
    const FrameCase& c = GetParam();
    CQuavixDlg& dlg = *unit.dlg;
    CEqPage* page = static_cast<CEqPage*>(dlg.Page(c.slot));
    ASSERT_NE(page, nullptr);
    if (c.mic) {
        static_cast<CDlgMic*>(page)->SelectMic(c.mic);
        ASSERT_EQ(page->ModuleId(), c.mic);
    }
    platform::MessageQueue::Drain();
    const std::size_t mark = unit.Mark();
    const ParamImage before = dlg.Image();
    c.act(*page, dlg.Image());
    if (HasFatalFailure()) return;
    // A slider reports its move as a posted message.
    platform::MessageQueue::Drain();
    const ParamImage& after = dlg.Image();
    EXPECT_TRUE(c.stored(before, after));

    ExpectOneFrame(unit, mark, c.code, c.dataLength, c.payload(after));
    EXPECT_TRUE(prompts.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(Pages, EqPageFrames, ::testing::ValuesIn(kCases),
                         testsupport::CaseName<FrameCase>);
namespace {

class EchoTypeOnUnit : public ::testing::Test {
protected:
    testsupport::ScriptedPrompts prompts;
    testsupport::ConnectedMain unit;
};

CDlgEcho* EchoPage(CQuavixDlg& dlg) { return static_cast<CDlgEcho*>(dlg.Page(kTableEcho)); }

}  // namespace

// A connected type change asks the unit alone; the page waits for the answer,
// which brings the unit's values and re-lays the page, and the next move
// carries the new type.
TEST_F(EchoTypeOnUnit, TheAnswerReLaysThePageAndTheNextMoveSendsTheNewType) {
    unit.Connect(DefaultsBlock(0));
    CDlgEcho* echo = EchoPage(*unit.dlg);
    ASSERT_EQ(echo->LaidOutType(), 1);
    emu::Knobs knobs;
    knobs.delayTicks = 10;  // holds the answer back a while
    unit.device.SetKnobs(knobs);
    const std::size_t mark = unit.Mark();
    Choose(echo->ControlAs<QComboBox>(CDlgEcho::kTypeComboId), 2);
    platform::MessageQueue::Drain();
    // Until the answer the page keeps the stereo layout and takes no input.
    EXPECT_EQ(echo->LaidOutType(), 1);
    EXPECT_TRUE(echo->AwaitingType());
    EXPECT_FALSE(echo->isEnabled());
    echo->PostMessage(WM_SLIDER_POS, 1226, 77);
    ExpectOneFrame(unit, mark, 0x3A, 2, Bytes{2});
    ASSERT_TRUE(linktest::WaitFor([&] { return !echo->AwaitingType(); }, 3000));
    EXPECT_EQ(echo->LaidOutType(), 2);
    EXPECT_TRUE(echo->isEnabled());
    EXPECT_EQ(echo->ControlAs<CMySlider>(1226)->Max(), 500);
    EXPECT_TRUE(echo->Control(1218)->isVisibleTo(echo));

    unit.device.SetKnobs({});
    const std::size_t next = unit.Mark();
    const ParamImage before = unit.dlg->Image();
    Key(*echo, 1226, Qt::Key_Right);
    platform::MessageQueue::Drain();
    EXPECT_EQ(unit.dlg->Image().ParamWords[32], before.ParamWords[32] + 1);
    EXPECT_EQ(unit.dlg->Image().ParamBytes[92], before.ParamBytes[92]);
    ExpectOneFrame(unit, next, 0x0D, 22, testsupport::EchoPayload(unit.dlg->Image()));
    EXPECT_EQ(unit.dlg->Image().ParamBytes[85], 2);
}

// No answer: the link drops, and the page returns to the type it is laid out
// for and takes input again.
TEST_F(EchoTypeOnUnit, ALinkLostBeforeTheAnswerReturnsToTheLaidOutType) {
    unit.Connect(DefaultsBlock(0));
    CDlgEcho* echo = EchoPage(*unit.dlg);
    emu::Knobs knobs;
    knobs.silentCodes = {0x3A};
    unit.device.SetKnobs(knobs);
    auto* combo = echo->ControlAs<QComboBox>(CDlgEcho::kTypeComboId);
    Choose(combo, 0);
    platform::MessageQueue::Drain();
    EXPECT_EQ(unit.dlg->Image().ParamBytes[85], 1);
    EXPECT_FALSE(echo->isEnabled());
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.dlg->ItemText(1002) == "failed"; }, 6000))
        << unit.dlg->ItemText(1002);
    platform::MessageQueue::Drain();
    EXPECT_EQ(unit.dlg->Image().ParamBytes[85], 1);
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(echo->LaidOutType(), 1);
    EXPECT_FALSE(echo->AwaitingType());
    EXPECT_TRUE(echo->isEnabled());
}

// A whole-image refresh while the answer is awaited (here the one a boost
// read brings, arriving just before the reply that 58 waits behind) shows
// the image's own type and keeps the page closed; the answer then lays out
// the type with the unit's values, and the next move carries both.
TEST_F(EchoTypeOnUnit, ARefreshDuringTheWaitThenTheAnswerThenAMoveSendsTheAnsweredType) {
    Bytes block = DefaultsBlock(0);
    unit.Connect(block);
    CDlgEcho* echo = EchoPage(*unit.dlg);
    ASSERT_EQ(echo->LaidOutType(), 1);
    // The unit's right delay for dual differs from the image's.
    block[159 + 2 * 32] = 345 & 0xFF;
    block[160 + 2 * 32] = 345 >> 8;
    unit.device.SetBlock(block);
    emu::Knobs knobs;
    knobs.delayTicks = 25;
    const std::size_t boostAt = block.size() - 81;
    knobs.unasked = emu::UnaskedFrame{
        0x0B, 1, 0x32, Bytes(block.begin() + static_cast<std::ptrdiff_t>(boostAt), block.end())};
    unit.device.SetKnobs(knobs);
    auto* combo = echo->ControlAs<QComboBox>(CDlgEcho::kTypeComboId);
    const std::size_t mark = unit.Mark();
    Key(*static_cast<CEqPage*>(unit.dlg->Page(kTableFX)), 1224, Qt::Key_Right);
    Choose(combo, 2);
    platform::MessageQueue::Drain();
    // 58 goes out after the refresh the boost read brings.
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.device.CountOf(0x3A) == 1; }, 5000));
    EXPECT_TRUE(echo->AwaitingType());
    EXPECT_FALSE(echo->isEnabled());
    EXPECT_EQ(echo->LaidOutType(), 1);
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(unit.dlg->Image().ParamBytes[85], 1);
    EXPECT_EQ(echo->ControlAs<CMySlider>(1226)->Max(), 100);

    ASSERT_TRUE(linktest::WaitFor([&] { return !echo->AwaitingType(); }, 5000));
    EXPECT_TRUE(echo->isEnabled());
    EXPECT_EQ(echo->LaidOutType(), 2);
    EXPECT_EQ(unit.dlg->Image().ParamBytes[85], 2);
    EXPECT_EQ(echo->ItemText(1227), "345ms");

    unit.device.SetKnobs({});
    linktest::WaitFor([&] { return unit.dlg->ItemText(1002) == "OK"; }, 3000);
    const std::size_t next = unit.Mark();
    Key(*echo, 1226, Qt::Key_Right);
    platform::MessageQueue::Drain();
    EXPECT_EQ(unit.dlg->Image().ParamWords[32], 346);
    ExpectOneFrame(unit, next, 0x0D, 22, testsupport::EchoPayload(unit.dlg->Image()));
    std::vector<std::uint8_t> codes;
    for (const emu::Command& c : unit.RequestsSince(mark)) codes.push_back(c.code);
    EXPECT_EQ(codes, (std::vector<std::uint8_t>{0x0B, 0x3A, 0x0D}));
}

// A change right after the type keeps 58 in its turn: both reach the unit,
// in order, and the answer opens the page again.
TEST_F(EchoTypeOnUnit, AChangeRightAfterTheTypeReachesTheUnitAfterIt) {
    unit.Connect(DefaultsBlock(0));
    CDlgEcho* echo = EchoPage(*unit.dlg);
    auto* reverb = static_cast<CEqPage*>(unit.dlg->Page(kTableFX));
    emu::Knobs knobs;
    knobs.delayTicks = 10;
    unit.device.SetKnobs(knobs);
    const std::size_t mark = unit.Mark();
    Key(*reverb, 1224, Qt::Key_Right);  // out; its reply is held
    Choose(echo->ControlAs<QComboBox>(CDlgEcho::kTypeComboId), 0);
    platform::MessageQueue::Drain();
    Key(*reverb, 1226, Qt::Key_Left);
    platform::MessageQueue::Drain();
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.RequestsSince(mark).size() >= 3; }, 5000));
    linktest::RunFor(300);
    const std::vector<emu::Command> sent = unit.RequestsSince(mark);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].code, 0x0B);
    EXPECT_EQ(sent[1].code, 0x3A);
    EXPECT_EQ(sent[1].data.front(), 0);
    EXPECT_EQ(sent[2].code, 0x0B);
    const Bytes payload = testsupport::ReverbPayload(unit.dlg->Image());
    EXPECT_EQ(testsupport::Head(sent[2].data, payload.size()), payload);
    EXPECT_FALSE(echo->AwaitingType());
    EXPECT_TRUE(echo->isEnabled());
    EXPECT_EQ(echo->LaidOutType(), 0);
    EXPECT_EQ(unit.dlg->Image().ParamBytes[85], 0);
}

namespace {

// What a block read must leave on the three pages, worked out from the
// block: a slider's position and its label's text.
struct Shown {
    PageTableSlot slot;
    int sliderId, labelId;
    int value;
    const char* label;
};

}  // namespace

// A block read shows the unit's values on every control of the microphone,
// reverb and echo pages, and sends nothing but the read itself.
TEST_F(EchoTypeOnUnit, ABlockReadShowsTheUnitOnTheMicReverbAndEchoPages) {
    Bytes block = blocktest::MakeBlock(11);
    struct Set {
        int at, value;
    };
    // Bytes, then words (block offset 159 + 2 x index).
    for (const Set& s : {Set{14, 20}, Set{26, 3}, Set{101, 7}, Set{12, 0x80 | 33}, Set{13, 64},
                         Set{79, 0x80 | 45}, Set{81, 12}, Set{80, 2}, Set{84, 50}, Set{85, 2},
                         Set{86, 0x80 | 70}, Set{87, 33}, Set{88, 0x80 | 90}, Set{89, 10},
                         Set{90, 60}, Set{91, 0x80 | 5}, Set{92, 77}, Set{93, 20}, Set{152, 0}})
        block[static_cast<std::size_t>(s.at)] = static_cast<std::uint8_t>(s.value);
    for (const Set& s :
         {Set{28, 1234}, Set{29, 55}, Set{30, 321}, Set{31, 42}, Set{32, 456}, Set{33, 78}}) {
        block[static_cast<std::size_t>(159 + 2 * s.at)] = static_cast<std::uint8_t>(s.value & 0xFF);
        block[static_cast<std::size_t>(160 + 2 * s.at)] = static_cast<std::uint8_t>(s.value >> 8);
    }
    unit.Connect(block);
    const Shown shown[] = {
        {kTableMic, 1207, 1212, 3, "3"},      {kTableMic, 1215, 1216, 20, "-61db"},
        {kTableMic, 1270, 1271, 7, "7"},      {kTableMic, 1272, 1273, 33, "33"},
        {kTableMic, 1274, 1275, 64, "64"},    {kTableFX, 1224, 1225, 45, "45"},
        {kTableFX, 1232, 1233, 12, "12"},     {kTableFX, 1226, 1227, 1234, "1234ms"},
        {kTableFX, 1228, 1229, 55, "55ms"},   {kTableFX, 1230, 1231, 50, "50"},
        {kTableEcho, 1228, 1229, 42, "42ms"}, {kTableEcho, 1220, 1221, 321, "321ms"},
        {kTableEcho, 1224, 1225, 70, "70"},   {kTableEcho, 1222, 1223, 33, "33%"},
        {kTableEcho, 1232, 1235, 5, "5"},     {kTableEcho, 1218, 1219, 90, "90"},
        {kTableEcho, 1234, 1239, 10, "10%"},  {kTableEcho, 1226, 1227, 456, "456ms"},
        {kTableEcho, 1233, 1237, 78, "78ms"}, {kTableEcho, 1230, 1231, 60, "60"},
    };
    for (const Shown& s : shown) {
        CPage* page = unit.dlg->Page(s.slot);
        SCOPED_TRACE(std::to_string(s.sliderId));
        ASSERT_NE(page->ControlAs<CMySlider>(s.sliderId), nullptr);
        EXPECT_EQ(page->ControlAs<CMySlider>(s.sliderId)->Value(), s.value);
        EXPECT_EQ(page->ItemText(s.labelId), s.label);
    }
    struct Polarity {
        PageTableSlot slot;
        int id;
        const char* caption;
    };
    for (const Polarity& p : {Polarity{kTableMic, 1740, "-"}, Polarity{kTableMic, 1741, "+"},
                              Polarity{kTableFX, 1852, "-"}, Polarity{kTableFX, 1853, "+"},
                              Polarity{kTableEcho, 1852, "-"}, Polarity{kTableEcho, 1853, "-"},
                              Polarity{kTableEcho, 1854, "-"}}) {
        auto* button = unit.dlg->Page(p.slot)->ControlAs<CMyBtn>(p.id);
        ASSERT_NE(button, nullptr) << p.id;
        EXPECT_EQ(button->text().toStdString(), p.caption) << p.id;
        EXPECT_EQ(button->Checked(), std::string(p.caption) == "-") << p.id;
    }
    EXPECT_EQ(unit.dlg->Page(kTableFX)->ControlAs<QComboBox>(CDlgFX::kTypeComboId)->currentIndex(),
              2);
    CDlgEcho* echo = EchoPage(*unit.dlg);
    EXPECT_EQ(echo->ControlAs<QComboBox>(CDlgEcho::kTypeComboId)->currentIndex(), 2);
    EXPECT_EQ(echo->LaidOutType(), 2);
    EXPECT_EQ(echo->ItemText(1469), "Echo Left Ch Predelay");
    EXPECT_FALSE(unit.dlg->Page(kTableMic)->ControlAs<CMyBtn>(CDlgMic::kEqLinkId)->Checked());
    const bool mic1EqOn = (unit.dlg->Image().ParamFlags >> 8) & 1;
    EXPECT_EQ(unit.dlg->Page(kTableMic)->ControlAs<QCheckBox>(1092)->isChecked(), !mic1EqOn);
    for (std::uint8_t code : unit.device.RequestCodes())
        EXPECT_TRUE(code == 0x1C || code == 0x3F || code == 0x40) << int(code);
}
