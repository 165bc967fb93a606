// What reaches the unit from the System page: the main window connected to
// the emulator over loopback TCP, each control driven as a user would, and
// the frames the emulator got, their payloads worked out here from the
// parameter image by the wire layout. Then the user-mode flows (recall,
// store, reset) end to end, and a block read that refreshes the page.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <set>

#include "app/main_dialog.h"
#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "link/command_codes.h"
#include "link/link_sequencer.h"
#include "link/param_block.h"
#include "support/busy_box_watch.h"
#include "support/case_name.h"
#include "support/connected_main.h"
#include "support/device_block_layout.h"
#include "support/scripted_prompts.h"
#include "support/wire_payloads.h"
#include "system/access_codes.h"
#include "system/dlg_sys.h"
#include "system/dlg_wifi.h"
#include "system/user_modes.h"

namespace {

using blocktest::Bytes;
using testsupport::BusyBoxWatch;
using testsupport::Hex;

constexpr int kSystemPageButton = 1815;

using testsupport::BytesPayload;
using testsupport::MicPayload;
using testsupport::MusicPayload;
using testsupport::SwModePayload;

Bytes Padded(const std::string& line) {
    std::string s = line;
    s.resize(20, ' ');
    return Bytes(s.begin(), s.end());
}

struct Ui {
    CQuavixDlg& dlg;
    CDlgSys& sys;
    template <class T>
    T* Get(int id) {
        T* c = sys.ControlAs<T>(id);
        EXPECT_NE(c, nullptr) << id;
        return c;
    }
    void Key(int sliderId, Qt::Key key) { QTest::keyClick(Get<CMySlider>(sliderId), key); }
    void Click(int id) { QTest::mouseClick(Get<QAbstractButton>(id), Qt::LeftButton); }
    void ClickMain(int id) {
        QTest::mouseClick(dlg.ControlAs<QAbstractButton>(id), Qt::LeftButton);
    }
    void Pick(int comboId, int index) {
        QComboBox* combo = Get<QComboBox>(comboId);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void Type(int editId, const std::string& text) {
        QLineEdit* edit = Get<QLineEdit>(editId);
        edit->setFocus();
        QTest::keyClicks(edit, QString::fromStdString(text));
    }
};

struct FrameCase {
    const char* what;
    int systemMode;
    void (*act)(Ui&);
    std::uint8_t code;
    Bytes (*payload)(const ParamImage&);
};
void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.what; }

// clang-format off
const FrameCase kCases[] = {
    {"MusicMaxKtv", 0, [](Ui& u) { u.Key(1080, Qt::Key_Left); }, 0x02, MusicPayload},
    {"MusicMaxCinema", 1, [](Ui& u) { u.Key(1080, Qt::Key_Left); }, 0x02, MusicPayload},
    {"MusicInit", 0, [](Ui& u) { u.Key(1081, Qt::Key_Right); }, 0x02, MusicPayload},
    {"MicMax", 0, [](Ui& u) { u.Key(1205, Qt::Key_Left); }, 0x05, MicPayload},
    {"MicInit", 0, [](Ui& u) { u.Key(1206, Qt::Key_Right); }, 0x05, MicPayload},
    {"EffectInit", 0, [](Ui& u) { u.Key(1215, Qt::Key_Right); }, 0x0A,
     [](const ParamImage& i) { return BytesPayload(i, {21}); }},
    {"DanceThreshold", 0, [](Ui& u) { u.Key(1084, Qt::Key_Left); }, 0x22, SwModePayload},
    {"DanceTime", 0, [](Ui& u) { u.Key(1086, Qt::Key_Right); }, 0x22, SwModePayload},
    {"DanceVol", 0, [](Ui& u) { u.Key(1088, Qt::Key_Left); }, 0x22, SwModePayload},
    {"SingVol", 0, [](Ui& u) { u.Key(1090, Qt::Key_Left); }, 0x22, SwModePayload},
    {"DanceAutoRadio", 0, [](Ui& u) { u.Click(CDlgSys::kSwAutoId); }, 0x22, SwModePayload},
    {"IrEnable", 0, [](Ui& u) { u.Click(CDlgSys::kIrEnableId); }, 0x08,
     [](const ParamImage& i) { return Bytes{static_cast<std::uint8_t>(i.UnlockFlags & 0xFF)}; }},
    {"UartEnable", 0, [](Ui& u) { u.Click(CDlgSys::kUartEnableId); }, 0x08,
     [](const ParamImage& i) { return Bytes{static_cast<std::uint8_t>(i.UnlockFlags & 0xFF)}; }},
    {"SetLogo", 0,
     [](Ui& u) {
         u.Type(CDlgSys::kLockNewPasswordEditId, AccessCodeText(AccessCode::kLogo));
         u.Type(CDlgSys::kLogoLine1EditId, "QUAVIX KARAOKE");
         u.Type(CDlgSys::kLogoLine2EditId, "ROOM 7");
         u.Click(CDlgSys::kSetLogoId);
     },
     0x17,
     [](const ParamImage&) {
         Bytes p{1};
         for (const char* line : {"QUAVIX KARAOKE", "ROOM 7"}) {
             const Bytes l = Padded(line);
             p.insert(p.end(), l.begin(), l.end());
         }
         return p;
     }},
    {"ClearLogo", 0,
     [](Ui& u) {
         u.Type(CDlgSys::kLockNewPasswordEditId, AccessCodeText(AccessCode::kLogo));
         u.Click(CDlgSys::kClearLogoId);
     },
     0x17,
     [](const ParamImage&) {
         Bytes p{0};
         p.resize(41, ' ');
         return p;
     }},
    // The kind buttons of the main window.
    {"KindCinema", 0, [](Ui& u) { u.ClickMain(1821); }, 0x3D,
     [](const ParamImage& i) { return Bytes{i.ParamBytes[kSystemModeByte]}; }},
    {"KindKtv", 1, [](Ui& u) { u.ClickMain(1820); }, 0x3D,
     [](const ParamImage& i) { return Bytes{i.ParamBytes[kSystemModeByte]}; }},
    {"PowerOnUserMode5", 0, [](Ui& u) { u.Pick(CDlgSys::kPowerOnComboId, 5); }, 0x3B,
     [](const ParamImage& i) { return Bytes{static_cast<std::uint8_t>(i.PowerOnMode)}; }},
};
// clang-format on

Bytes BlockOf(const ParamImage& image) {
    Bytes block(kDeviceParamBlockSize);
    PackDeviceParamBlock(image, block.data());
    return block;
}

class SystemPageFrames : public ::testing::Test {
protected:
    void ConnectIn(int systemMode) {
        ParamImage image;
        InitParamImage(image);
        image.ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(systemMode);
        unit.Connect(BlockOf(image));
        if (HasFatalFailure()) return;
        ShowSystemPage();
    }
    void ShowSystemPage() {
        Dlg().ControlAs<CMyBtn>(kSystemPageButton)->click();
        platform::MessageQueue::Drain();
        ASSERT_EQ(Dlg().CurrentPage(), kPageSys);
    }
    CQuavixDlg& Dlg() { return *unit.dlg; }
    CDlgSys& Sys() { return *static_cast<CDlgSys*>(Dlg().Page(kTableSys)); }
    Ui U() { return Ui{Dlg(), Sys()}; }
    // The codes sent, a run of block reads as one.
    static std::vector<std::uint8_t> Codes(const std::vector<emu::Command>& sent) {
        std::vector<std::uint8_t> codes;
        for (const emu::Command& c : sent)
            if (codes.empty() || codes.back() != c.code || c.code != 0x40) codes.push_back(c.code);
        return codes;
    }

    testsupport::ScriptedPrompts prompts;
    testsupport::ConnectedMain unit;
};

class SystemPageFrame : public SystemPageFrames, public ::testing::WithParamInterface<FrameCase> {};

}  // namespace

TEST_P(SystemPageFrame, TheControlSendsExactlyOneFrame) {
    const FrameCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(ConnectIn(c.systemMode));
    const std::size_t mark = unit.Mark();
    Ui ui = U();
    c.act(ui);
    if (HasFatalFailure()) return;
    const std::vector<emu::Command> sent = unit.SettledRequestsSince(mark);
    ASSERT_EQ(sent.size(), 1u) << Hex(Codes(sent));
    EXPECT_EQ(sent[0].code, c.code);
    const Bytes payload = c.payload(Dlg().Image());
    ASSERT_GE(sent[0].data.size(), payload.size());
    EXPECT_EQ(Hex(Bytes(sent[0].data.begin(),
                        sent[0].data.begin() + static_cast<std::ptrdiff_t>(payload.size()))),
              Hex(payload));
    EXPECT_EQ(unit.device.WrongLengths(), 0);
    EXPECT_EQ(unit.device.Overlaps(), 0);
}
INSTANTIATE_TEST_SUITE_P(Controls, SystemPageFrame, ::testing::ValuesIn(kCases),
                         testsupport::CaseName<FrameCase>);

TEST_F(SystemPageFrames, LanguageRadioSendsNothing) {
    ASSERT_NO_FATAL_FAILURE(ConnectIn(0));
    const std::size_t mark = unit.Mark();
    U().Click(CDlgSys::kChineseId);
    platform::MessageQueue::Drain();
    linktest::RunFor(300);
    EXPECT_EQ(Dlg().Language(), 1);
    EXPECT_EQ(Dlg().ItemText(1001), UiText(1, 0));
    EXPECT_TRUE(unit.RequestsSince(mark).empty());
}

TEST_F(SystemPageFrames, RecallSelectsTheSlotAndReadsTheUnitBack) {
    Bytes block = blocktest::MakeBlock(7);
    const std::string name = "BALLAD";
    std::fill(block.begin() + 870 + 16 * 6, block.begin() + 870 + 16 * 7, 0);
    std::copy(name.begin(), name.end(), block.begin() + 870 + 16 * 6);
    unit.Connect(block);
    if (HasFatalFailure()) return;
    ASSERT_NO_FATAL_FAILURE(ShowSystemPage());
    Ui ui = U();
    ui.Pick(CDlgSys::kUserModeComboId, 6);
    ASSERT_NE(Sys().SelectedUserMode(), Dlg().Image().CurrentModeSlot);

    bool boxSeen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { boxSeen |= Dlg().WaitBoxOpen(); });
    watch.start(5);
    const std::size_t mark = unit.Mark();
    ui.Click(CDlgSys::kRecallId);
    ASSERT_TRUE(linktest::WaitFor(
        [&] { return !Dlg().WaitBoxOpen() && unit.device.CountOf(0x40) > 0 && boxSeen; }, 10000));
    linktest::RunFor(300);
    const std::vector<emu::Command> sent = unit.RequestsSince(mark);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent[0].code, 0x01);
    EXPECT_EQ(sent[0].data.at(0), 6);
    EXPECT_EQ(Codes(sent), (std::vector<std::uint8_t>{0x01, 0x3F, 0x40}));
    EXPECT_TRUE(boxSeen);
    EXPECT_FALSE(Dlg().WaitBoxOpen());
    EXPECT_EQ(Dlg().Image().CurrentModeSlot, 6);
    EXPECT_EQ(Sys().SelectedUserMode(), 6);
    EXPECT_EQ(Sys().ControlAs<QComboBox>(CDlgSys::kUserModeComboId)->currentText(), "7 - BALLAD");
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(SystemPageFrames, SaveUploadsTheImageAsTheUnitStoresIt) {
    ParamImage image;
    InitParamImage(image);
    image.MusicEqBands[3].gain = -75;
    image.BandEnableMasks[4] = 0x0F0F;
    unit.Connect(BlockOf(image));
    if (HasFatalFailure()) return;
    ASSERT_NO_FATAL_FAILURE(ShowSystemPage());
    Ui ui = U();
    ui.Pick(CDlgSys::kUserModeComboId, 4);
    QLineEdit* name = ui.Get<QLineEdit>(CDlgSys::kModeNameEditId);
    name->clear();
    ui.Type(CDlgSys::kModeNameEditId, "NAME");
    const std::size_t mark = unit.Mark();
    ui.Click(CDlgSys::kSaveId);
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.device.Mode(4).has_value(); }, 10000));
    linktest::RunFor(300);
    platform::MessageQueue::Drain();

    const std::vector<emu::Command> sent = unit.RequestsSince(mark);
    std::vector<std::uint8_t> expected{0x41};
    expected.insert(expected.end(), 15, 0x42);
    expected.push_back(0x43);
    std::vector<std::uint8_t> codes;
    for (const emu::Command& c : sent) codes.push_back(c.code);
    EXPECT_EQ(Hex(codes), Hex(expected));
    EXPECT_TRUE(unit.device.UploadErrors().empty());
    const Bytes record = blocktest::ModeRecordFromImage(Dlg().Image());
    EXPECT_EQ(std::string(record.begin() + 854, record.begin() + 870), "NAME            ");
    EXPECT_EQ(Hex(unit.device.Mode(4)->record), Hex(record));
    EXPECT_EQ(Sys().ControlAs<QComboBox>(CDlgSys::kUserModeComboId)->currentText(), "5 - NAME");
    EXPECT_FALSE(Dlg().WaitBoxOpen());
}

TEST_F(SystemPageFrames, RefusedSavesSendNothing) {
    ASSERT_NO_FATAL_FAILURE(ConnectIn(0));
    Ui ui = U();
    Dlg().Image().AdminModeConfirmed = 0;
    std::size_t mark = unit.Mark();
    ui.Click(CDlgSys::kSaveId);
    Dlg().Image().AdminModeConfirmed = 1;
    ui.Get<QLineEdit>(CDlgSys::kModeNameEditId)->setText("BAD{NAME");
    ui.Click(CDlgSys::kSaveId);
    platform::MessageQueue::Drain();
    linktest::RunFor(300);
    EXPECT_TRUE(unit.RequestsSince(mark).empty());
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].text, "must be in admin mode");
    EXPECT_EQ(prompts.shown()[1].text, "Invalide charater in mode name");
    for (const auto& shown : prompts.shown()) EXPECT_EQ(shown.caption, kAppTitle);
    EXPECT_FALSE(unit.device.Mode(0).has_value());
}

namespace {

// A Save the unit would not take now: the page asks before it posts, so the
// user sees the one box that says why and no busy box opening and closing;
// nothing of the Save reaches the unit, and what made it wait goes on whole.
struct RefusedSaveCase {
    const char* what;
    int unitPowerOnMode;
    // What is under way when Save is clicked, posted as its sender would.
    void (*arrange)(testsupport::ConnectedMain&);
    const char* text;
    std::vector<std::uint8_t> codes;  // at the unit, a run of 0x40 as one
};
void PrintTo(const RefusedSaveCase& c, std::ostream* os) { *os << c.what; }

std::vector<std::uint8_t> UploadCodes() {
    std::vector<std::uint8_t> codes{0x41};
    codes.insert(codes.end(), 15, 0x42);
    codes.push_back(0x43);
    return codes;
}

const RefusedSaveCase kRefusedSaveCases[] = {
    {"AnotherUploadRunning", 3,
     [](testsupport::ConnectedMain& u) {
         u.dlg->PostMessage(WM_SEND_COMMAND, CMD_MODE_UPLOAD_START, 3);
     },
     "Not sent: an upload to the equipment is still running", UploadCodes()},
    {"AModeSelectInFlight",
     3,
     [](testsupport::ConnectedMain& u) { u.dlg->PostMessage(WM_SEND_COMMAND, CMD_SELECT_MODE, 2); },
     "Not sent: the equipment is sending its parameters",
     {0x01, 0x3F, 0x40}},
    {"TheLineFull", 3, [](testsupport::ConnectedMain& u) { u.FillTheLine(); },
     "Not sent: the equipment is busy, too many requests are waiting",
     std::vector<std::uint8_t>(LinkSequencer::kWaitingLimit + 1, CMD_TEST_SIGNAL)},
    {"TheUnitsPowerOnModeOutOfRange",
     11,
     [](testsupport::ConnectedMain&) {},
     "Not sent: System: Power Mode 11, outside 0 .. 10",
     {}},
};

class SystemPageSaveNotTaken : public SystemPageFrames,
                               public ::testing::WithParamInterface<RefusedSaveCase> {};

}  // namespace

TEST_P(SystemPageSaveNotTaken, SaysWhyAndOpensNoBusyBox) {
    const RefusedSaveCase& c = GetParam();
    emu::HeaderState header;
    header.powerOnMode = static_cast<std::int8_t>(c.unitPowerOnMode);
    unit.device.SetHeader(header);
    ASSERT_NO_FATAL_FAILURE(ConnectIn(0));
    emu::Knobs slow;
    slow.delayTicks = 5;  // 100 ms a reply: what was arranged is still under way
    unit.device.SetKnobs(slow);
    Ui ui = U();
    ui.Pick(CDlgSys::kUserModeComboId, 6);
    const std::size_t mark = unit.Mark();
    c.arrange(unit);
    if (HasFatalFailure()) return;
    platform::MessageQueue::Drain();
    BusyBoxWatch busy;
    ui.Click(CDlgSys::kSaveId);
    platform::MessageQueue::Drain();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, c.text);
    EXPECT_EQ(prompts.shown()[0].caption, kAppTitle);
    EXPECT_EQ(busy.shown, 0);
    EXPECT_FALSE(Dlg().WaitBoxOpen());

    const LinkSequencer& link = Dlg().Link().Sequencer();
    ASSERT_TRUE(linktest::WaitFor(
        [&] {
            return !link.ReplyPending() && link.Waiting() == 0 && !link.UploadUnderWay() &&
                   !link.BlockReadDue();
        },
        10000));
    linktest::RunFor(300);
    EXPECT_EQ(Hex(Codes(unit.RequestsSince(mark))), Hex(c.codes));
    EXPECT_TRUE(unit.device.UploadErrors().empty());
    EXPECT_FALSE(unit.device.Mode(6).has_value());
    EXPECT_EQ(prompts.shown().size(), 1u);
}
INSTANTIATE_TEST_SUITE_P(Saves, SystemPageSaveNotTaken, ::testing::ValuesIn(kRefusedSaveCases),
                         testsupport::CaseName<RefusedSaveCase>);

// A Recall the link refuses (the line of waiting requests is full): the
// busy box it posted behind the request opens and is closed again by the
// idle message the main window posts for a request not taken.
TEST_F(SystemPageFrames, ARecallTheLinkRefusesClosesItsBusyBox) {
    ASSERT_NO_FATAL_FAILURE(ConnectIn(0));
    emu::Knobs slow;
    slow.delayTicks = 5;
    unit.device.SetKnobs(slow);
    Ui ui = U();
    ui.Pick(CDlgSys::kUserModeComboId, 6);
    const int slot = Dlg().Image().CurrentModeSlot;
    ASSERT_NE(slot, 6);
    const std::size_t mark = unit.Mark();
    // EQ band changes, each of its own band: one in flight, the line full
    // behind it and some to spare (a reply may let one more go meanwhile);
    // the Recall's request comes behind them in the same turn.
    constexpr int kLimit = static_cast<int>(LinkSequencer::kWaitingLimit);
    for (int n = 0; n <= kLimit + 8; ++n)
        Dlg().PostMessage(WM_SEND_COMMAND, CMD_EQ_BAND, ((n % 17) << 8) | (n / 17));
    BusyBoxWatch busy;
    ui.Click(CDlgSys::kRecallId);
    ASSERT_TRUE(linktest::WaitFor([&] { return busy.shown == 1 && !Dlg().WaitBoxOpen(); }, 5000));
    EXPECT_EQ(Dlg().ItemText(1002), "busy, not sent");
    EXPECT_EQ(Dlg().Image().CurrentModeSlot, slot);

    const LinkSequencer& link = Dlg().Link().Sequencer();
    ASSERT_TRUE(
        linktest::WaitFor([&] { return !link.ReplyPending() && link.Waiting() == 0; }, 10000));
    linktest::RunFor(300);
    EXPECT_EQ(unit.device.CountOf(0x01), 0);
    for (const emu::Command& c : unit.RequestsSince(mark)) EXPECT_EQ(c.code, 0x03);
    EXPECT_EQ(busy.shown, 1);
    EXPECT_FALSE(Dlg().WaitBoxOpen());
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(SystemPageFrames, ResetAllOkResetsAndReadsTheUnitBackCancelSendsNothing) {
    // A current slot other than the first, so the select after the reset
    // shows it names the unit's slot.
    unit.device.SetCurrentSlot(4);
    ASSERT_NO_FATAL_FAILURE(ConnectIn(0));
    Ui ui = U();
    std::size_t mark = unit.Mark();
    prompts.Answer(IDCANCEL);
    ui.Click(CDlgSys::kResetId);
    platform::MessageQueue::Drain();
    linktest::RunFor(300);
    EXPECT_TRUE(unit.RequestsSince(mark).empty());

    const int slot = Dlg().Image().CurrentModeSlot;
    ASSERT_EQ(slot, 4);
    prompts.Answer(IDOK);
    mark = unit.Mark();
    const int blockReads = unit.device.CountOf(0x40);
    ui.Click(CDlgSys::kResetId);
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.device.CountOf(0x40) > blockReads; }, 10000));
    linktest::RunFor(300);
    const std::vector<emu::Command> sent = unit.RequestsSince(mark);
    EXPECT_EQ(Codes(sent), (std::vector<std::uint8_t>{0x14, 0x01, 0x3F, 0x40}));
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[1].data.at(0), slot);
    ASSERT_EQ(prompts.shown().size(), 3u);
    EXPECT_EQ(prompts.shown()[2].text, "        Reset all OK        ");
    EXPECT_EQ(Dlg().Results().DeviceSequenceActive, 0);
}

namespace {

// Recall, Save and Reset All (after its question) while the link is closed,
// or still connecting once the user has closed "Connectting...": the link
// could only drop the request, so the page says the unit is not connected,
// in the page's language under the caption of the button's other boxes,
// opens no busy box, and nothing of it reaches the unit once it connects.
struct NotConnectedCase {
    const char* what;
    int button;
    bool connecting;  // else disconnected
    int language;
    std::vector<std::string> texts;
    const char* caption;
};
void PrintTo(const NotConnectedCase& c, std::ostream* os) { *os << c.what; }

const NotConnectedCase kNotConnectedCases[] = {
    {"RecallClosed", CDlgSys::kRecallId, false, 0, {"Not connected to the equipment"}, kAppTitle},
    {"RecallConnectingChinese", CDlgSys::kRecallId, true, 1, {"未连接设备"}, kAppTitle},
    {"SaveClosedChinese", CDlgSys::kSaveId, false, 1, {"未连接设备"}, kAppTitle},
    {"SaveConnecting", CDlgSys::kSaveId, true, 0, {"Not connected to the equipment"}, kAppTitle},
    {"ResetAllClosed",
     CDlgSys::kResetId,
     false,
     0,
     {"Reset all ?", "Not connected to the equipment"},
     "Warning"},
    {"ResetAllConnectingChinese",
     CDlgSys::kResetId,
     true,
     1,
     {"清除所有模式?", "未连接设备"},
     "警告"},
};

class SystemPageNotConnected : public SystemPageFrames,
                               public ::testing::WithParamInterface<NotConnectedCase> {};

}  // namespace

TEST_P(SystemPageNotConnected, SaysSoAndSendsNothing) {
    const NotConnectedCase& c = GetParam();
    if (c.connecting) {
        ASSERT_NO_FATAL_FAILURE(unit.StartConnecting(testsupport::DefaultsBlock(), 25));
        ASSERT_NO_FATAL_FAILURE(ShowSystemPage());
    } else {
        ASSERT_NO_FATAL_FAILURE(ConnectIn(0));
        U().ClickMain(1001);  // disconnect
        ASSERT_TRUE(linktest::WaitFor([&] { return Dlg().ItemText(1002) == "Idle"; }, 5000));
    }
    Ui ui = U();
    if (c.language == 1) ui.Click(CDlgSys::kChineseId);
    platform::MessageQueue::Drain();
    ui.Pick(CDlgSys::kUserModeComboId, 6);
    const std::size_t mark = unit.Mark();
    {
        BusyBoxWatch busy;
        if (c.button == CDlgSys::kResetId) prompts.Answer(IDOK);
        ui.Click(c.button);
        platform::MessageQueue::Drain();
        EXPECT_EQ(prompts.Texts(), c.texts);
        for (const auto& shown : prompts.shown()) EXPECT_EQ(shown.caption, c.caption);
        EXPECT_EQ(busy.shown, 0);
        EXPECT_FALSE(Dlg().WaitBoxOpen());
    }

    if (c.connecting)
        unit.Hold(0);
    else
        U().ClickMain(1001);  // connect again
    const LinkSequencer& link = Dlg().Link().Sequencer();
    ASSERT_TRUE(linktest::WaitFor(
        [&] {
            return link.LinkState() == LinkSequencer::kConnected && !link.BlockReadDue() &&
                   !link.ReplyPending() && link.Waiting() == 0;
        },
        10000))
        << Dlg().ItemText(1002);
    linktest::RunFor(300);
    const std::vector<emu::Command> sent = unit.RequestsSince(mark);
    EXPECT_EQ(Hex(Codes(sent)), Hex({0x3F, 0x40}));
    EXPECT_FALSE(unit.device.Mode(6).has_value());
    EXPECT_EQ(Dlg().Image().CurrentModeSlot, unit.device.CurrentSlot());
}
INSTANTIATE_TEST_SUITE_P(Buttons, SystemPageNotConnected, ::testing::ValuesIn(kNotConnectedCases),
                         testsupport::CaseName<NotConnectedCase>);

class SystemPageBlockRead : public SystemPageFrames, public ::testing::WithParamInterface<int> {};

TEST_P(SystemPageBlockRead, RefreshesEveryControlAndSendsOnlyTheRead) {
    const int kind = GetParam();
    Bytes block = blocktest::MakeBlock(11 + static_cast<unsigned>(kind));
    block[107] = static_cast<std::uint8_t>(kind);
    emu::HeaderState header;
    header.options = 0x21;  // locked, IR disabled
    header.adminLevel = 0;
    header.powerOnMode = 7;
    unit.device.SetHeader(header);
    unit.device.SetCurrentSlot(3);
    unit.Connect(block);
    if (HasFatalFailure()) return;
    CDlgSys& sys = Sys();
    Ui ui = U();

    struct Slider {
        int id, label, byte;
    };
    const int maxByte = kind == 0 ? 4 : 149;
    for (const Slider& s : {Slider{1080, 1082, maxByte}, Slider{1081, 1083, 3},
                            Slider{1205, 1554, 11}, Slider{1206, 1213, 10}, Slider{1215, 1217, 21},
                            Slider{1088, 1089, 96}, Slider{1090, 1091, 97}}) {
        CMySlider* slider = ui.Get<CMySlider>(s.id);
        const int v = block[static_cast<std::size_t>(s.byte)];
        EXPECT_EQ(slider->Value(), std::clamp(v, slider->Min(), slider->Max())) << s.id;
        EXPECT_EQ(sys.ItemText(s.label), std::to_string(v)) << s.id;
    }
    EXPECT_EQ(sys.ItemText(1085), std::to_string(block[98] - 60) + "db");
    EXPECT_EQ(sys.ItemText(1087), std::to_string(block[99]) + "s");
    for (const Slider& s : {Slider{1084, 1085, 98}, Slider{1086, 1087, 99}}) {
        CMySlider* slider = ui.Get<CMySlider>(s.id);
        const int v = block[static_cast<std::size_t>(s.byte)];
        EXPECT_EQ(slider->Value(), std::clamp(v, slider->Min(), slider->Max())) << s.id;
    }
    const bool swAuto = (block[846 + 3] >> 3) & 1;  // ParamFlags bit 27
    EXPECT_EQ(ui.Get<CMyBtn>(CDlgSys::kSwAutoId)->Checked(), swAuto);
    EXPECT_EQ(ui.Get<CMyBtn>(CDlgSys::kSwManualId)->Checked(), !swAuto);
    EXPECT_FALSE(ui.Get<CMyBtn>(CDlgSys::kIrEnableId)->Checked());
    EXPECT_TRUE(ui.Get<CMyBtn>(CDlgSys::kUartEnableId)->Checked());
    EXPECT_TRUE(ui.Get<CMyBtn>(1813)->Checked());
    EXPECT_TRUE(ui.Get<CMyBtn>(1814)->Checked());
    EXPECT_FALSE(ui.Get<CMyBtn>(1815)->Checked());
    EXPECT_EQ(ui.Get<QComboBox>(CDlgSys::kPowerOnComboId)->currentIndex(), 7);
    QComboBox* modes = ui.Get<QComboBox>(CDlgSys::kUserModeComboId);
    EXPECT_EQ(modes->currentIndex(), 3);
    ModeName slot3{};
    std::copy(block.begin() + 870 + 48, block.begin() + 870 + 64, slot3.begin());
    EXPECT_EQ(modes->currentText().toStdString(), UserModeItem(3, slot3));
    std::string current(block.begin() + 854, block.begin() + 870);
    current.erase(current.find_last_not_of(std::string(" \0", 2)) + 1);
    EXPECT_EQ(sys.ItemText(CDlgSys::kModeNameEditId), current);
    // The kind's layout.
    EXPECT_EQ(sys.ItemText(1386), UiText(0, kind == 0 ? 38 : 212));
    EXPECT_EQ(sys.Control(1081)->isEnabled(), kind == 0);
    EXPECT_EQ(sys.Control(1080)->isEnabled(), kind != 2);
    EXPECT_EQ(Dlg().KindRadioIndex(), kind);
    if (kind == 2) {
        EXPECT_EQ(Dlg().CurrentPage(), kPageSys);
    }

    const std::set<std::uint8_t> allowed{0x1C, 0x3F, 0x40};
    for (std::uint8_t code : unit.device.RequestCodes())
        EXPECT_TRUE(allowed.count(code)) << int(code);
}
INSTANTIATE_TEST_SUITE_P(Kinds, SystemPageBlockRead, ::testing::Values(0, 1, 2));

TEST_F(SystemPageFrames, WifiCodeShowsTheButtonThatRunsTheSetUp) {
    ASSERT_NO_FATAL_FAILURE(ConnectIn(0));
    Ui ui = U();
    QWidget* wifi = ui.Get<QWidget>(CDlgSys::kWifiId);
    ASSERT_TRUE(wifi->isHidden());
    ui.Type(CDlgSys::kLockNewPasswordEditId, AccessCodeText(AccessCode::kWifi));
    ASSERT_FALSE(wifi->isHidden());
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* setUp = qobject_cast<CDlgWifi*>(QApplication::activeModalWidget());
        shown = setUp != nullptr;
        if (setUp) setUp->close();
    });
    ui.Click(CDlgSys::kWifiId);
    EXPECT_TRUE(shown);
}
