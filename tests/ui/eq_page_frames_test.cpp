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
#include <vector>

#include "app/main_dialog.h"
#include "emulator/device_emulator.h"
#include "eq/band_panel.h"
#include "eq/my_btn.h"
#include "link/param_block.h"
#include "model/ui_text.h"
#include "pages/dlg_mic.h"
#include "pages/eq_page.h"
#include "support/case_name.h"
#include "support/connected_main.h"
#include "support/device_block_layout.h"
#include "support/scripted_prompts.h"

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
Bytes EchoSettingsPayload(const ParamImage& i) {
    Bytes p;
    for (int b = 85; b <= 93; ++b) p.push_back(i.ParamBytes[static_cast<std::size_t>(b)]);
    for (int u : {26, 27, 30, 31, 32, 33}) Put16(p, i.ParamWords[static_cast<std::size_t>(u)]);
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
     0x0D, 22, EchoSettingsPayload},
    {"EchoHighPassDragStopsAt1000", kTableEcho, 0, 0,
     [](CEqPage& p, ParamImage&) { Drag(p, 6, {p.GraphRect().width() - 1, 10}); },
     [](const ParamImage&, const ParamImage& a) {
         return a.ParamWords[26] == 1000 && a.EchoEqBands[6].frequency == 1000;
     },
     0x0D, 22, EchoSettingsPayload},
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
};
// clang-format on

class EqPageFrames : public ::testing::TestWithParam<FrameCase> {
protected:
    void SetUp() override {
        const FrameCase& c = GetParam();
        // The unit holds the defaults, in the case's system mode.
        ParamImage image;
        InitParamImage(image);
        image.ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(c.systemMode);
        Bytes block(kDeviceParamBlockSize);
        PackDeviceParamBlock(image, block.data());
        unit.Connect(block);
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
    const ParamImage& after = dlg.Image();
    EXPECT_TRUE(c.stored(before, after));

    // A second command for the change would go out after this frame's reply.
    const std::vector<emu::Command> sent = unit.SettledRequestsSince(mark);
    ASSERT_EQ(sent.size(), 1u) << (sent.empty() ? 0 : int(sent.front().code));
    const emu::Command& last = sent.back();
    EXPECT_EQ(last.code, c.code);
    const Bytes payload = c.payload(after);
    ASSERT_EQ(static_cast<int>(last.data.size()), c.dataLength);
    EXPECT_EQ(Hex(testsupport::Head(last.data, payload.size())), Hex(payload));
    EXPECT_EQ(unit.device.WrongLengths(), 0);
    EXPECT_EQ(unit.device.Overlaps(), 0);
    EXPECT_TRUE(prompts.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(Pages, EqPageFrames, ::testing::ValuesIn(kCases),
                         testsupport::CaseName<FrameCase>);
