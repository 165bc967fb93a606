// Every value slider of the pages, the Boost page's among them, dragged by
// the user's mouse to both ends of its range, and the main window's volume
// sliders moved by mouse and keys: the value each end leaves in the image and
// the one frame that end sends to the unit (the emulator, connected over
// loopback TCP), its payload worked out here from the image by the wire
// layout.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <ostream>
#include <span>
#include <vector>

#include "app/main_dialog.h"
#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "link/param_block.h"
#include "pages/page.h"
#include "support/case_name.h"
#include "support/connected_main.h"
#include "support/scripted_prompts.h"
#include "support/user_input.h"
#include "support/wire_payloads.h"
#include "system/access_codes.h"
#include "system/dlg_sys.h"

namespace {

using blocktest::Bytes;
using testsupport::BytesPayload;
using testsupport::EchoPayload;
using testsupport::Hex;
using testsupport::MicPayload;
using testsupport::MusicPayload;
using testsupport::OutputChannelPayload;
using testsupport::ReverbPayload;
using testsupport::SwModePayload;

// Where a slider's value lives: a byte, the level bits (0-6) of a level
// byte, a word, or a boost band's gain (x10 dB), which the slider shows
// upside down from +24 dB at position 0.
struct Value {
    enum Kind { kByte, kLevel, kWord, kBoostGain } kind;
    int index;
};
constexpr Value B(int i) { return {Value::kByte, i}; }
constexpr Value L(int i) { return {Value::kLevel, i}; }
constexpr Value W(int i) { return {Value::kWord, i}; }
constexpr Value G(int i) { return {Value::kBoostGain, i}; }
constexpr int kBoostGainAtTop = 240;
int Read(const ParamImage& image, Value v) {
    const auto i = static_cast<std::size_t>(v.index);
    switch (v.kind) {
        case Value::kByte:
            return image.ParamBytes[i];
        case Value::kLevel:
            return image.ParamBytes[i] & 0x7F;
        case Value::kWord:
            return image.ParamWords[i];
        case Value::kBoostGain:
            return kBoostGainAtTop - image.BoostBands[i].gain;
    }
    return -1;
}

// The page buttons, by the page they show.
constexpr int kMusicButton = 1545, kMicButton = 1808, kReverbButton = 1809, kEchoButton = 1811,
              kMasterButton = 1810, kSurroundButton = 1546, kCentreButton = 1812,
              kSubwooferButton = 1813, kSystemButton = 1815, kCalButton = 1814, kBoostButton = 1819;

using Payload = Bytes (*)(const ParamImage&);
Bytes Channel0(const ParamImage& i) { return OutputChannelPayload(i, 0); }
Bytes Channel2(const ParamImage& i) { return OutputChannelPayload(i, 2); }
Bytes Channel4(const ParamImage& i) { return OutputChannelPayload(i, 4); }
Bytes Channel5(const ParamImage& i) { return OutputChannelPayload(i, 5); }
Bytes BackPair(const ParamImage& i) { return BytesPayload(i, {155, 156, 157, 158}); }
Bytes EffectInit(const ParamImage& i) { return BytesPayload(i, {21}); }
// The speaker size and crossover of output 0 (main), 1 (surround), 2 (centre).
template <int kSpeaker>
Bytes Speaker(const ParamImage& i) {
    return Bytes{static_cast<std::uint8_t>(kSpeaker), i.ParamBytes[110 + kSpeaker],
                 i.ParamBytes[113 + kSpeaker]};
}

// A band of the boost page's MIC run (the image keeps MUSIC's five first):
// the target, the band, the band as it travels.
constexpr int kBoostMicFirst = 5;
template <int kBand>
Bytes BoostMicBand(const ParamImage& i) {
    Bytes p{0, static_cast<std::uint8_t>(kBand)};
    testsupport::PutWireBand(p, i.BoostBands[kBoostMicFirst + kBand]);
    return p;
}

struct SliderEnds {
    int pageButton;
    PageTableSlot slot;
    int id;
    int min, max;
    Value value;
    std::uint8_t code;
    Payload payload;
};

// clang-format off
const SliderEnds kMusic[] = {
    {kMusicButton, kTableMusic, 1061, 0, 12, B(22), 0x02, MusicPayload},
    {kMusicButton, kTableMusic, 1062, 0, 12, B(23), 0x02, MusicPayload},
    {kMusicButton, kTableMusic, 1063, 0, 12, B(24), 0x02, MusicPayload},
    {kMusicButton, kTableMusic, 1071, 0, 12, B(25), 0x02, MusicPayload},
    {kMusicButton, kTableMusic, 1139, 0, 14, B(9), 0x02, MusicPayload},
    {kMusicButton, kTableMusic, 1146, 0, 15, B(151), 0x02, MusicPayload},
};
const SliderEnds kMic[] = {
    {kMicButton, kTableMic, 1207, 0, 8, B(26), 0x05, MicPayload},
    {kMicButton, kTableMic, 1215, 0, 41, B(14), 0x05, MicPayload},
    {kMicButton, kTableMic, 1270, 0, 24, B(101), 0x05, MicPayload},
    {kMicButton, kTableMic, 1272, 0, 100, L(12), 0x05, MicPayload},
    {kMicButton, kTableMic, 1274, 0, 100, L(13), 0x05, MicPayload},
};
const SliderEnds kReverb[] = {
    {kReverbButton, kTableFX, 1224, 0, 100, L(79), 0x0B, ReverbPayload},
    {kReverbButton, kTableFX, 1226, 500, 5000, W(28), 0x0B, ReverbPayload},
    {kReverbButton, kTableFX, 1228, 0, 100, W(29), 0x0B, ReverbPayload},
    {kReverbButton, kTableFX, 1230, 20, 99, B(84), 0x0B, ReverbPayload},
    {kReverbButton, kTableFX, 1232, 0, 100, L(81), 0x0B, ReverbPayload},
};
// The dual type shows every row; the right delay and predelay are words.
const SliderEnds kEchoDual[] = {
    {kEchoButton, kTableEcho, 1228, 0, 100, W(31), 0x0D, EchoPayload},
    {kEchoButton, kTableEcho, 1220, 1, 500, W(30), 0x0D, EchoPayload},
    {kEchoButton, kTableEcho, 1224, 0, 100, L(86), 0x0D, EchoPayload},
    {kEchoButton, kTableEcho, 1222, 0, 90, B(87), 0x0D, EchoPayload},
    {kEchoButton, kTableEcho, 1233, 0, 100, W(33), 0x0D, EchoPayload},
    {kEchoButton, kTableEcho, 1226, 1, 500, W(32), 0x0D, EchoPayload},
    {kEchoButton, kTableEcho, 1232, 0, 100, L(91), 0x0D, EchoPayload},
    {kEchoButton, kTableEcho, 1218, 0, 100, L(88), 0x0D, EchoPayload},
    {kEchoButton, kTableEcho, 1234, 0, 90, B(89), 0x0D, EchoPayload},
};
// Stereo: the right delay and predelay are bytes around a centre of 50.
const SliderEnds kEchoStereo[] = {
    {kEchoButton, kTableEcho, 1226, 0, 100, B(92), 0x0D, EchoPayload},
    {kEchoButton, kTableEcho, 1233, 0, 100, B(93), 0x0D, EchoPayload},
};
const SliderEnds kMasterKtv[] = {
    {kMasterButton, kTableMaster, 1220, 0, 99, L(27), 0x0E, Channel0},
    {kMasterButton, kTableMaster, 1249, 0, 99, L(28), 0x0E, Channel0},
    {kMasterButton, kTableMaster, 1236, 0, 2500, W(34), 0x0E, Channel0},
    {kMasterButton, kTableMaster, 1244, 0, 2500, W(35), 0x0E, Channel0},
    {kMasterButton, kTableMaster, 1226, 0, 100, L(29), 0x0E, Channel0},
    {kMasterButton, kTableMaster, 1224, 0, 100, L(30), 0x0E, Channel0},
    {kMasterButton, kTableMaster, 1222, 0, 100, L(31), 0x0E, Channel0},
    {kMasterButton, kTableMaster, 1551, 0, 100, L(32), 0x0E, Channel0},
    {kMasterButton, kTableMaster, 1228, 0, 50, B(33), 0x0E, Channel0},
    {kMasterButton, kTableMaster, 1230, 2, 100, B(34), 0x0E, Channel0},
    {kMasterButton, kTableMaster, 1232, 1, 90, B(35), 0x0E, Channel0},
    {kMasterButton, kTableMaster, 1234, 1, 25, B(36), 0x0E, Channel0},
};
const SliderEnds kSurroundKtv[] = {
    {kSurroundButton, kTableSurl, 1220, 0, 99, L(41), 0x0E, Channel2},
    {kSurroundButton, kTableSurl, 1249, 0, 99, L(42), 0x0E, Channel2},
    {kSurroundButton, kTableSurl, 1236, 0, 2500, W(36), 0x0E, Channel2},
    {kSurroundButton, kTableSurl, 1244, 0, 2500, W(37), 0x0E, Channel2},
    {kSurroundButton, kTableSurl, 1226, 0, 100, L(43), 0x0E, Channel2},
    {kSurroundButton, kTableSurl, 1224, 0, 100, L(44), 0x0E, Channel2},
    {kSurroundButton, kTableSurl, 1222, 0, 100, L(45), 0x0E, Channel2},
    {kSurroundButton, kTableSurl, 1551, 0, 100, L(46), 0x0E, Channel2},
    {kSurroundButton, kTableSurl, 1228, 0, 50, B(47), 0x0E, Channel2},
    {kSurroundButton, kTableSurl, 1230, 2, 100, B(48), 0x0E, Channel2},
    {kSurroundButton, kTableSurl, 1232, 1, 90, B(49), 0x0E, Channel2},
    {kSurroundButton, kTableSurl, 1234, 1, 25, B(50), 0x0E, Channel2},
    {kSurroundButton, kTableSurl, 1242, 0, 99, L(155), 0x39, BackPair},
    {kSurroundButton, kTableSurl, 1253, 0, 99, L(156), 0x39, BackPair},
};
const SliderEnds kCentreKtv[] = {
    {kCentreButton, kTableCout, 1220, 0, 99, L(55), 0x0E, Channel4},
    {kCentreButton, kTableCout, 1236, 0, 2500, W(38), 0x0E, Channel4},
    {kCentreButton, kTableCout, 1226, 0, 100, L(57), 0x0E, Channel4},
    {kCentreButton, kTableCout, 1224, 0, 100, L(58), 0x0E, Channel4},
    {kCentreButton, kTableCout, 1222, 0, 100, L(59), 0x0E, Channel4},
    {kCentreButton, kTableCout, 1551, 0, 100, L(60), 0x0E, Channel4},
    {kCentreButton, kTableCout, 1228, 0, 50, B(61), 0x0E, Channel4},
    {kCentreButton, kTableCout, 1230, 2, 100, B(62), 0x0E, Channel4},
    {kCentreButton, kTableCout, 1232, 1, 90, B(63), 0x0E, Channel4},
    {kCentreButton, kTableCout, 1234, 1, 25, B(64), 0x0E, Channel4},
};
const SliderEnds kSubwooferKtv[] = {
    {kSubwooferButton, kTableSW, 1220, 0, 99, L(67), 0x0E, Channel5},
    {kSubwooferButton, kTableSW, 1236, 0, 2500, W(39), 0x0E, Channel5},
    {kSubwooferButton, kTableSW, 1226, 0, 100, L(69), 0x0E, Channel5},
    {kSubwooferButton, kTableSW, 1224, 0, 100, L(70), 0x0E, Channel5},
    {kSubwooferButton, kTableSW, 1222, 0, 100, L(71), 0x0E, Channel5},
    {kSubwooferButton, kTableSW, 1551, 0, 100, L(72), 0x0E, Channel5},
    {kSubwooferButton, kTableSW, 1228, 0, 50, B(73), 0x0E, Channel5},
    {kSubwooferButton, kTableSW, 1230, 2, 100, B(74), 0x0E, Channel5},
    {kSubwooferButton, kTableSW, 1232, 1, 90, B(75), 0x0E, Channel5},
    {kSubwooferButton, kTableSW, 1234, 1, 25, B(76), 0x0E, Channel5},
};
// The cinema kind: the speakers' distances and crossovers.
const SliderEnds kOutputsCinema[] = {
    {kMasterButton, kTableMaster, 1236, 0, 150, W(40), 0x0E, Channel0},
    {kMasterButton, kTableMaster, 1251, 20, 125, B(113), 0x3E, Speaker<0>},
    {kSurroundButton, kTableSurl, 1244, 0, 150, W(43), 0x0E, Channel2},
    {kSurroundButton, kTableSurl, 1251, 20, 125, B(114), 0x3E, Speaker<1>},
    {kCentreButton, kTableCout, 1251, 20, 125, B(115), 0x3E, Speaker<2>},
    {kSubwooferButton, kTableSW, 1236, 0, 150, W(45), 0x0E, Channel5},
};
// The start volumes stop at 86, below the maximum sliders' 99.
const SliderEnds kSystem[] = {
    {kSystemButton, kTableSys, 1080, 0, 99, B(4), 0x02, MusicPayload},
    {kSystemButton, kTableSys, 1081, 0, 86, B(3), 0x02, MusicPayload},
    {kSystemButton, kTableSys, 1205, 0, 99, B(11), 0x05, MicPayload},
    {kSystemButton, kTableSys, 1206, 0, 86, B(10), 0x05, MicPayload},
    {kSystemButton, kTableSys, 1215, 0, 99, B(21), 0x0A, EffectInit},
    {kSystemButton, kTableSys, 1084, 0, 60, B(98), 0x22, SwModePayload},
    {kSystemButton, kTableSys, 1086, 1, 30, B(99), 0x22, SwModePayload},
    {kSystemButton, kTableSys, 1088, 0, 99, B(96), 0x22, SwModePayload},
    {kSystemButton, kTableSys, 1090, 0, 99, B(97), 0x22, SwModePayload},
};
const SliderEnds kCalibration[] = {
    {kCalButton, kTableCal, 1876, 0, 99, L(116), 0x0E, Channel0},
    {kCalButton, kTableCal, 1878, 0, 99, L(117), 0x0E, Channel0},
    {kCalButton, kTableCal, 1882, 0, 99, L(124), 0x0E, Channel2},
    {kCalButton, kTableCal, 1886, 0, 99, L(125), 0x0E, Channel2},
    {kCalButton, kTableCal, 1890, 0, 99, L(132), 0x0E, Channel4},
    {kCalButton, kTableCal, 1894, 0, 99, L(140), 0x0E, Channel5},
    {kCalButton, kTableCal, 1898, 0, 150, W(40), 0x0E, Channel0},
    {kCalButton, kTableCal, 1901, 0, 150, W(41), 0x0E, Channel0},
    {kCalButton, kTableCal, 1904, 0, 150, W(42), 0x0E, Channel2},
    {kCalButton, kTableCal, 1907, 0, 150, W(43), 0x0E, Channel2},
    {kCalButton, kTableCal, 1910, 0, 150, W(44), 0x0E, Channel4},
    {kCalButton, kTableCal, 1913, 0, 150, W(45), 0x0E, Channel5},
};
// Position 0 is +24 dB, 480 is -24 dB.
const SliderEnds kBoostMic[] = {
    {kBoostButton, kTableBt, 1005, 0, 480, G(kBoostMicFirst + 0), 0x31, BoostMicBand<0>},
    {kBoostButton, kTableBt, 1006, 0, 480, G(kBoostMicFirst + 1), 0x31, BoostMicBand<1>},
    {kBoostButton, kTableBt, 1007, 0, 480, G(kBoostMicFirst + 2), 0x31, BoostMicBand<2>},
    {kBoostButton, kTableBt, 1008, 0, 480, G(kBoostMicFirst + 3), 0x31, BoostMicBand<3>},
    {kBoostButton, kTableBt, 1009, 0, 480, G(kBoostMicFirst + 4), 0x31, BoostMicBand<4>},
};
// clang-format on

// The Boost page comes with its access code typed on the System page.
void OpenBoostPage(CQuavixDlg& d) {
    d.ControlAs<CMyBtn>(kSystemButton)->click();
    platform::MessageQueue::Drain();
    auto* edit = d.Page(kTableSys)->ControlAs<QLineEdit>(CDlgSys::kLockNewPasswordEditId);
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QTest::keyClicks(edit, QString::fromStdString(AccessCodeText(AccessCode::kBoost)));
    platform::MessageQueue::Drain();
    ASSERT_TRUE(d.ControlAs<CMyBtn>(kBoostButton)->isVisibleTo(&d));
}

struct PageCase {
    const char* what;
    int systemMode;  // of the unit's block
    int echoType;    // of the unit's block
    std::span<const SliderEnds> sliders;
    void (*open)(CQuavixDlg&) = nullptr;  // makes the page's button appear
};
void PrintTo(const PageCase& c, std::ostream* os) { *os << c.what; }

const PageCase kPages[] = {
    {"Music", 0, 1, kMusic},
    {"Mic", 0, 1, kMic},
    {"Reverb", 0, 1, kReverb},
    {"EchoDual", 0, 2, kEchoDual},
    {"EchoStereo", 0, 1, kEchoStereo},
    {"MasterKtv", 0, 1, kMasterKtv},
    {"SurroundKtv", 0, 1, kSurroundKtv},
    {"CentreKtv", 0, 1, kCentreKtv},
    {"SubwooferKtv", 0, 1, kSubwooferKtv},
    {"OutputsCinema", 1, 1, kOutputsCinema},
    {"System", 0, 1, kSystem},
    {"Calibration", 1, 1, kCalibration},
    {"BoostMic", 0, 1, kBoostMic, OpenBoostPage},
};

Bytes BlockWith(void (*set)(ParamImage&, int, int), int a, int b) {
    ParamImage image;
    InitParamImage(image);
    set(image, a, b);
    Bytes block(kDeviceParamBlockSize);
    PackDeviceParamBlock(image, block.data());
    return block;
}

class UnitFixture {
protected:
    CQuavixDlg& Dlg() { return *unit.dlg; }
    // What reached the unit since mark, once the nth request is in: each
    // act's frame is waited for before the next act, and a frame too many
    // shows in the count after the last act.
    std::vector<emu::Command> Arrived(std::size_t mark, std::size_t n) {
        linktest::WaitFor([&] { return unit.RequestsSince(mark).size() >= n; }, 5000);
        return unit.RequestsSince(mark);
    }
    void ExpectFrame(const std::vector<emu::Command>& sent, std::size_t n, std::uint8_t code,
                     Payload payload) {
        ASSERT_EQ(sent.size(), n);
        const emu::Command& last = sent.back();
        EXPECT_EQ(last.code, code);
        const Bytes expected = payload(Dlg().Image());
        EXPECT_EQ(Hex(testsupport::Head(last.data, expected.size())), Hex(expected));
    }

    testsupport::ScriptedPrompts prompts;
    testsupport::ConnectedMain unit;
};

class SliderEndsOnUnit : public UnitFixture, public ::testing::TestWithParam<PageCase> {};

}  // namespace

TEST_P(SliderEndsOnUnit, EachEndOfEveryRangeIsStoredAndSentOnce) {
    const PageCase& c = GetParam();
    unit.Connect(BlockWith(
        [](ParamImage& i, int kind, int echoType) {
            i.ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(kind);
            i.ParamBytes[85] = static_cast<std::uint8_t>(echoType);
        },
        c.systemMode, c.echoType));
    if (HasFatalFailure()) return;
    if (c.open) c.open(Dlg());
    if (HasFatalFailure()) return;
    const std::size_t mark = unit.Mark();
    std::size_t frames = 0;
    for (const SliderEnds& s : c.sliders) {
        SCOPED_TRACE(s.id);
        Dlg().ControlAs<CMyBtn>(s.pageButton)->click();
        platform::MessageQueue::Drain();
        platform::Window& page = *Dlg().Page(s.slot);
        // The far end first, so that both ends are changes.
        const bool maxFirst = Read(Dlg().Image(), s.value) == s.min;
        for (bool toMax : {maxFirst, !maxFirst}) {
            SCOPED_TRACE(toMax ? "to the maximum" : "to the minimum");
            testsupport::SliderDragToEnd(page, s.id, toMax);
            if (HasFatalFailure()) return;
            ++frames;
            ExpectFrame(Arrived(mark, frames), frames, s.code, s.payload);
            if (HasFatalFailure()) return;
            EXPECT_EQ(Read(Dlg().Image(), s.value), toMax ? s.max : s.min);
        }
    }
    linktest::RunFor(300);
    EXPECT_EQ(unit.RequestsSince(mark).size(), frames);
    EXPECT_EQ(unit.device.WrongLengths(), 0);
}

INSTANTIATE_TEST_SUITE_P(Pages, SliderEndsOnUnit, ::testing::ValuesIn(kPages),
                         testsupport::CaseName<PageCase>);

namespace {

// The main window's vertical sliders: the value is 99 less the position (the
// top is 99), the music and microphone volumes stop at their maximum.
struct MainSlider {
    int id;
    int volumeByte;
    int maximum;  // the maximum's byte in the block; 99 when none
    std::uint8_t code;
    Payload payload;
};
Bytes EffectVolume(const ParamImage& i) { return BytesPayload(i, {2}); }
const MainSlider kMainSliders[] = {
    {1003, 0, 80, 0x02, MusicPayload},
    {1004, 1, 70, 0x05, MicPayload},
    {1075, 2, 99, 0x09, EffectVolume},
};
constexpr int kStartVolume = 40;

class MainSlidersOnUnit : public UnitFixture, public ::testing::Test {};

}  // namespace

TEST_F(MainSlidersOnUnit, KeysStepAndTheMouseReachesBothEndsWithinTheMaximum) {
    unit.Connect(BlockWith(
        [](ParamImage& i, int start, int) {
            for (int b : {0, 1, 2})
                i.ParamBytes[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(start);
            i.ParamBytes[4] = 80;
            i.ParamBytes[11] = 70;
        },
        kStartVolume, 0));
    if (HasFatalFailure()) return;
    struct Act {
        const char* what;
        void (*act)(CQuavixDlg&, int id);
        int (*value)(int maximum);
    };
    const Act acts[] = {
        {"Up", [](CQuavixDlg& d, int id) { testsupport::SliderKey(d, id, Qt::Key_Up); },
         [](int) { return kStartVolume + 1; }},
        {"Down", [](CQuavixDlg& d, int id) { testsupport::SliderKey(d, id, Qt::Key_Down); },
         [](int) { return kStartVolume; }},
        {"DragToTop", [](CQuavixDlg& d, int id) { testsupport::SliderDragToEnd(d, id, false); },
         [](int maximum) { return maximum; }},
        {"DragToBottom", [](CQuavixDlg& d, int id) { testsupport::SliderDragToEnd(d, id, true); },
         [](int) { return 0; }},
    };
    const std::size_t mark = unit.Mark();
    std::size_t frames = 0;
    for (const MainSlider& s : kMainSliders) {
        for (const Act& a : acts) {
            SCOPED_TRACE(std::to_string(s.id) + " " + a.what);
            a.act(Dlg(), s.id);
            if (HasFatalFailure()) return;
            ++frames;
            ExpectFrame(Arrived(mark, frames), frames, s.code, s.payload);
            if (HasFatalFailure()) return;
            const int v = a.value(s.maximum);
            EXPECT_EQ(Dlg().Image().ParamBytes[static_cast<std::size_t>(s.volumeByte)], v);
            // A slider moved past the maximum springs back to it.
            EXPECT_EQ(Dlg().ControlAs<CMySlider>(s.id)->Value(), 99 - v);
        }
    }
    linktest::RunFor(300);
    EXPECT_EQ(unit.RequestsSince(mark).size(), frames);
}
