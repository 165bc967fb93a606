// The main window against the emulator, over loopback TCP and the fake HID
// back end: the block read into the parameter image, every command, the
// mode upload, the unit's answers as results and message boxes, and the
// failures that must leave the image alone.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "app/main_dialog.h"
#include "emulator/device_emulator.h"
#include "emulator/emulator_hid.h"
#include "emulator/emulator_tcp_server.h"
#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "link_host_window.h"
#include "model/ui_text.h"
#include "platform/settings.h"
#include "support/device_block_layout.h"
#include "support/emulated_main.h"
#include "support/scripted_prompts.h"
#include "system/dlg_sys.h"

namespace {

using emu::Bytes;
using linktest::WaitFor;

constexpr char kHidPath[] = "/dev/hidraw-fake-protocol";
constexpr int kWaitMs = 10000;

enum class Transport { kUsb, kWifi };

class DeviceProtocol : public ::testing::Test {
protected:
    void SetUp() override {
        platform::WriteSettingInt(kLangSettingName, 0);
        platform::SetHidBackend(&hid);
        hid.AddDevice(kHidPath, 0x10C4, 0x0300, &device);
        ASSERT_TRUE(server.Listen());
        device.SetBlock(blocktest::MakeBlock(21));
        dlg = testsupport::StartMainOnEmulator(folder, server);
    }
    void TearDown() override {
        dlg.reset();
        platform::SetHidBackend(nullptr);
    }

    CMyBtn* Button(int id) { return dlg->ControlAs<CMyBtn>(id); }
    ParamImage& Image() { return dlg->Image(); }
    CDlgSys* Sys() { return static_cast<CDlgSys*>(dlg->Page(kTableSys)); }

    bool BlockIsIn(int reads) {
        return dlg->Link().LinkState() == 3 && !dlg->WaitBoxOpen() &&
               device.CountOf(0x40) >= 20 * reads && !dlg->Link().ReplyPending();
    }
    void Connect(Transport t) {
        const int reads = device.CountOf(0x40) / 20 + 1;
        if (t == Transport::kWifi) Button(1818)->click();
        Button(1001)->click();
        ASSERT_TRUE(
            WaitFor([&] { return BlockIsIn(reads) || dlg->Link().LinkState() == 0; }, kWaitMs))
            << dlg->ItemText(1002);
        ASSERT_TRUE(BlockIsIn(reads)) << dlg->ItemText(1002);
    }
    // Posts one command as a page does and waits for the unit's answer.
    void Command(unsigned code, LPARAM argument = 0) {
        const int before = device.CountOf(static_cast<std::uint8_t>(code));
        dlg->PostMessage(WM_SEND_COMMAND, code, argument);
        ASSERT_TRUE(WaitFor(
            [&] {
                return device.CountOf(static_cast<std::uint8_t>(code)) > before &&
                       !dlg->Link().ReplyPending();
            },
            kWaitMs))
            << "0x" << std::hex << code;
        platform::MessageQueue::Drain();
    }
    void ExpectCleanTraffic() {
        EXPECT_EQ(device.Overlaps(), 0);
        EXPECT_EQ(device.WrongLengths(), 0);
        EXPECT_EQ(device.BadFrames(), 0);
        EXPECT_TRUE(device.UploadErrors().empty());
    }

    QTemporaryDir folder;
    emu::DeviceEmulator device;
    emu::EmulatorHidBackend hid;
    emu::EmulatorTcpServer server{device};
    testsupport::ScriptedPrompts prompts;
    std::unique_ptr<CQuavixDlg> dlg;
};

class DeviceProtocolBothWays : public DeviceProtocol,
                               public ::testing::WithParamInterface<Transport> {};

TEST_P(DeviceProtocolBothWays, ConnectReadsTheBlockIntoTheImage) {
    emu::HeaderState header;
    header.options = 0x67;  // key lock, toggles 0 and 1, both unlock flags
    header.adminLevel = 2;
    header.pinkNoise = 4;
    header.powerOnMode = 7;
    device.SetHeader(header);
    device.SetCurrentSlot(5);
    Connect(GetParam());
    EXPECT_EQ(dlg->ItemText(1002), "OK");
    blocktest::ExpectImageHoldsBlock(Image(), device.Block());
    blocktest::ExpectImageHoldsHeader(Image(), device.Header());
    EXPECT_EQ(dlg->AppliedAdminMode(), 2);
    EXPECT_EQ(Sys()->LockValue(), 1);
    EXPECT_EQ(Sys()->AdminValue(), 2);
    EXPECT_TRUE(Button(1841)->Checked());
    EXPECT_TRUE(Button(1842)->Checked());
    EXPECT_FALSE(Button(1843)->Checked());
    const int music = Image().ParamBytes[0];
    EXPECT_EQ(dlg->ControlAs<CMySlider>(1003)->Value(), 99 - music);
    EXPECT_EQ(dlg->ItemText(1076), std::to_string(music));
    EXPECT_TRUE(Button(1822 + 0)->Checked() == (Image().ParamBytes[6] == 1));
    ExpectCleanTraffic();
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_P(DeviceProtocolBothWays, EveryCommandReachesTheUnitWithItsLength) {
    Connect(GetParam());
    static const std::uint8_t logo[41] = {'L', 'o', 'g', 'o'};
    static const std::uint8_t lock[5] = {1, 2, 3, 4, 1};
    static const std::uint8_t lockChange[8] = {1, 2, 3, 4, 4, 3, 2, 1};
    static const std::uint8_t admin[7] = {1, 2, 3, 4, 5, 6, 1};
    static const std::uint8_t adminChange[12] = {1, 2, 3, 4, 5, 6, 6, 5, 4, 3, 2, 1};
    struct Sent {
        unsigned code;
        LPARAM argument;
    };
    const Sent sent[] = {
        {0x02, 0},
        {0x03, (3 << 8) | 2},
        {0x04, 2},
        {0x05, 0},
        {0x08, 0},
        {0x09, 0},
        {0x0A, 0},
        {0x0B, 0},
        {0x0D, 0},
        {0x0E, 2},
        {0x0E, 5},
        {0x0F, 0},
        {0x11, 9},
        {0x17, reinterpret_cast<LPARAM>(logo)},
        {0x1B, 3},
        {0x22, 0},
        {0x2B, reinterpret_cast<LPARAM>(lock)},
        {0x2C, reinterpret_cast<LPARAM>(lockChange)},
        {0x2D, reinterpret_cast<LPARAM>(admin)},
        {0x2E, reinterpret_cast<LPARAM>(adminChange)},
        {0x30, 0x0101},
        {0x31, (2 << 8) | 3},
        {0x33, 0},
        {0x37, 1},
        {0x38, 3},
        {0x39, 0},
        {0x3A, 1},
        {0x3B, 0},
        {0x3C, 0x0100},
        {0x3D, 0},
        {0x47, 0},
        {0x48, 0},
        {0x49, 3},
    };
    for (const Sent& s : sent) Command(s.code, s.argument);
    // The kinds' own lengths: the cinema music settings and channel.
    Image().ParamBytes[kSystemModeByte] = 1;
    Command(0x02);
    Command(0x0E, 1);
    Command(0x3E, 2);
    ExpectCleanTraffic();
    EXPECT_EQ(dlg->Link().LinkState(), 3);
}

TEST_P(DeviceProtocolBothWays, ModeUploadIsStoredAndReadBack) {
    Connect(GetParam());
    // What the system page's mode-name edit holds.
    dlg->Builder().hooks.modeNameText = [] { return std::string("Stage 16 chars!!"); };
    Image().ParamBytes[9] = 3;
    Image().MusicEqBands[4] = {0, 1, 1234, 56, -78};
    Image().BandEnableMasks[2] = 0x0F0F;
    const int uploads = device.CountOf(0x43);
    dlg->PostMessage(WM_SEND_COMMAND, 0x41, 4 | 0x80);
    ASSERT_TRUE(WaitFor(
        [&] { return device.CountOf(0x43) > uploads && !dlg->Link().ReplyPending(); }, kWaitMs));
    EXPECT_EQ(device.CountOf(0x42), 15);
    ExpectCleanTraffic();
    const std::optional<emu::StoredMode> mode = device.Mode(4);
    ASSERT_TRUE(mode.has_value());
    EXPECT_TRUE(mode->fromFile);
    EXPECT_EQ(Image().CurrentModeSlot, 4);
    EXPECT_EQ(std::string(Image().ModeNameTable[4].data(), 16), "Stage 16 chars!!");
    // The stored mode is now the unit's block: it says what the image holds.
    blocktest::ExpectImageHoldsBlock(Image(), device.Block());

    // Selecting it again re-reads the whole block.
    Command(0x01, 4);
    ASSERT_TRUE(WaitFor([&] { return BlockIsIn(2); }, kWaitMs));
    blocktest::ExpectImageHoldsBlock(Image(), device.Block());
    EXPECT_EQ(device.CountOf(0x3F), 2);
}

// The unit sends a frame nobody asked for just before a chunk's reply and
// before an upload step's reply: its handler runs (a result box), and the
// block read and the upload still go to their ends.
TEST_P(DeviceProtocolBothWays, UnaskedFramesLeaveTheBlockReadAndTheUploadGoing) {
    emu::Knobs k;
    k.unasked = emu::UnaskedFrame{0x40, 5, 0x2C, {1}};
    device.SetKnobs(k);
    Connect(GetParam());
    EXPECT_EQ(device.CountOf(0x40), 20);
    blocktest::ExpectImageHoldsBlock(Image(), device.Block());
    EXPECT_EQ(prompts.Texts().size(), 1u);

    k.unasked = emu::UnaskedFrame{0x42, 3, 0x2C, {1}};
    device.SetKnobs(k);
    dlg->PostMessage(WM_SEND_COMMAND, 0x41, 6);
    ASSERT_TRUE(
        WaitFor([&] { return device.CountOf(0x43) == 1 && !dlg->Link().ReplyPending(); }, kWaitMs))
        << dlg->ItemText(1002);
    EXPECT_EQ(device.CountOf(0x42), 15);
    EXPECT_TRUE(device.Mode(6).has_value());
    EXPECT_EQ(prompts.Texts().size(), 2u);
    EXPECT_EQ(dlg->Link().LinkState(), 3);
    ExpectCleanTraffic();
}

// The unit falls silent and the link drops; the user nudges the music
// volume while the keep-alive waits for its reply, or after the drop. On the
// next connect the unit's own value wins, on the page and at the unit:
// nothing the user did meanwhile is sent.
TEST_P(DeviceProtocolBothWays, ChangesWhileTheLinkIsDownAreNotSentAfterReconnect) {
    Bytes block = blocktest::MakeBlock(21);
    block[0] = 41;  // music volume
    block[4] = 99;  // and its maximum
    device.SetBlock(block);
    Connect(GetParam());
    struct Case {
        const char* what;
        int whileWaiting, whileDown;  // presses of Q
    };
    const Case cases[] = {{"waiting when the link drops", 2, 0}, {"made while down", 0, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(Image().ParamBytes[0], 41);
        auto pressQ = [&](int times) {
            for (int i = 0; i < times; ++i) QTest::keyClick(dlg.get(), Qt::Key_Q);
            platform::MessageQueue::Drain();
        };
        emu::Knobs silent;
        silent.silent = true;
        device.SetKnobs(silent);
        const int keepAlives = device.CountOf(0x1C);
        ASSERT_TRUE(WaitFor([&] { return device.CountOf(0x1C) > keepAlives; }, kWaitMs));
        pressQ(c.whileWaiting);
        ASSERT_TRUE(WaitFor([&] { return dlg->Link().LinkState() == 0; }, kWaitMs));
        EXPECT_EQ(dlg->ItemText(1002), "failed");
        pressQ(c.whileDown);
        EXPECT_EQ(Image().ParamBytes[0], 43);
        EXPECT_EQ(dlg->ItemText(1076), "43");

        device.SetKnobs(emu::Knobs{});
        const std::size_t from = device.Requests().size();
        Connect(GetParam());
        const int keptAlive = device.CountOf(0x1C);
        ASSERT_TRUE(WaitFor([&] { return device.CountOf(0x1C) > keptAlive; }, kWaitMs));
        linktest::RunFor(100);
        std::vector<std::uint8_t> expected = {0x1C, 0x3F};
        expected.insert(expected.end(), 20, 0x40);
        const std::vector<std::uint8_t> all = device.RequestCodes();
        const std::vector<std::uint8_t> sent(all.begin() + static_cast<long>(from), all.end());
        ASSERT_GT(sent.size(), expected.size());
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), sent.begin()));
        EXPECT_TRUE(std::all_of(sent.begin() + static_cast<long>(expected.size()), sent.end(),
                                [](std::uint8_t code) { return code == 0x1C; }))
            << "only keep-alives after the block read";
        EXPECT_EQ(Image().ParamBytes[0], 41);
        EXPECT_EQ(dlg->ControlAs<CMySlider>(1003)->Value(), 99 - 41);
        EXPECT_EQ(dlg->ItemText(1076), "41");
    }
    ExpectCleanTraffic();
}

INSTANTIATE_TEST_SUITE_P(Transports, DeviceProtocolBothWays,
                         ::testing::Values(Transport::kUsb, Transport::kWifi),
                         [](const auto& info) {
                             return info.param == Transport::kUsb ? "Usb" : "Wifi";
                         });

TEST_F(DeviceProtocol, RefusedAdminLoginGoesBackToTheConfirmedLevel) {
    Connect(Transport::kWifi);
    ASSERT_EQ(Image().AdminModeConfirmed, 1);
    emu::Knobs k;
    k.loginStatus[0x2D] = 0;
    device.SetKnobs(k);
    static const std::uint8_t record[7] = {1, 2, 3, 4, 5, 6, 2};
    Image().AdminMode = 2;
    Command(0x2D, reinterpret_cast<LPARAM>(record));
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, "        Password error        ");
    EXPECT_EQ(prompts.shown()[0].caption, " ");
    EXPECT_EQ(Image().AdminMode, 1);
    EXPECT_EQ(Sys()->AdminValue(), 1);
    EXPECT_EQ(dlg->AppliedAdminMode(), 1);

    k.loginStatus[0x2D] = 1;
    device.SetKnobs(k);
    Image().AdminMode = 2;
    dlg->SelectPage(kPageMaster);
    Command(0x2D, reinterpret_cast<LPARAM>(record));
    EXPECT_EQ(prompts.Texts().back(), "        Modify Admin mode OK        ");
    EXPECT_EQ(Image().AdminModeConfirmed, 2);
    EXPECT_EQ(Sys()->AdminValue(), 2);
    EXPECT_EQ(dlg->AppliedAdminMode(), 2);
    EXPECT_EQ(dlg->CurrentPage(), kPageMusic) << "a new level lays the window out afresh";

    // The same level again: the message, no new layout.
    dlg->SelectPage(kPageMaster);
    dlg->PostMessage(WM_DEVICE_RESULT, 0x0A01, 0);
    platform::MessageQueue::Drain();
    EXPECT_EQ(prompts.Texts().back(), "        Modify Admin mode OK        ");
    EXPECT_EQ(dlg->CurrentPage(), kPageMaster);
}

TEST_F(DeviceProtocol, RefusedLockKeyPutsTheLockBack) {
    Connect(Transport::kUsb);
    emu::Knobs k;
    k.loginStatus[0x2B] = 0;
    device.SetKnobs(k);
    ASSERT_EQ(Image().KeyLockConfirmed, 1);  // the header's option bit 0
    Image().KeyLockOn = 0;                   // the user unlocks
    static const std::uint8_t record[5] = {1, 2, 3, 4, 0};
    Command(0x2B, reinterpret_cast<LPARAM>(record));
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"        Password error        "}));
    EXPECT_EQ(Image().KeyLockOn, 1);
    EXPECT_EQ(Sys()->LockValue(), 1);
}

TEST_F(DeviceProtocol, ResetAllSelectsTheModeAgainAndReReadsTheBlock) {
    device.SetCurrentSlot(6);
    Connect(Transport::kUsb);
    dlg->OnChinese();
    platform::MessageQueue::Drain();
    const Bytes fresh = blocktest::MakeBlock(99);
    device.SetBlock(fresh);
    const std::size_t before = device.Requests().size();
    dlg->PostMessage(WM_SEND_COMMAND, 0x14, 0);
    ASSERT_TRUE(WaitFor([&] { return BlockIsIn(2); }, kWaitMs));
    const auto requests = device.Requests();
    ASSERT_GE(requests.size(), before + 3);
    EXPECT_EQ(requests[before].code, 0x14);
    EXPECT_EQ(requests[before + 1].code, 0x01);
    EXPECT_EQ(requests[before + 1].data[0], 6);
    EXPECT_EQ(requests[before + 2].code, 0x3F);
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"        清除所有模式成功        "}));
    EXPECT_EQ(prompts.shown()[0].caption, " ");
    EXPECT_EQ(dlg->Results().DeviceSequenceActive, 0);
    blocktest::ExpectImageHoldsBlock(Image(), fresh);
    ExpectCleanTraffic();
}

TEST_F(DeviceProtocol, EchoTypeAndLearnAnswersFillTheImage) {
    Connect(Transport::kWifi);
    Command(0x3A, 2);
    const Bytes block = device.Block();
    for (int i = 0; i < 9; ++i) EXPECT_EQ(Image().ParamBytes[85 + i], block[85 + i]) << i;
    EXPECT_EQ(Image().ParamBytes[85], 2);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Image().ParamWords[30 + i], blocktest::U16(&block[219 + 2 * i])) << i;

    emu::Knobs k;
    k.learnScript = {0, 3};
    device.SetKnobs(k);
    Image().LearnSlotIndex = 5;
    dlg->PostMessage(WM_SEND_COMMAND, 0x44, 5 | 0x100);
    ASSERT_TRUE(
        WaitFor([&] { return device.CountOf(0x44) == 2 && !dlg->Link().ReplyPending(); }, kWaitMs));
    platform::MessageQueue::Drain();
    const auto requests = device.Requests();
    std::vector<int> operations;
    for (const auto& r : requests)
        if (r.code == 0x44) operations.push_back(r.data[1]);
    EXPECT_EQ(operations, (std::vector<int>{1, 2})) << "learn, then the retry";
    const LearnCode expected = {3, 0xC0, 0xC1, 0xC2};
    EXPECT_EQ(Image().LearnCodes[4], expected);

    Command(0x47);
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"        Saved OK        "}));
    ExpectCleanTraffic();
}

TEST_F(DeviceProtocol, SavedResultCapsTheMusicVolume) {
    Image().ParamBytes[kSystemModeByte] = 0;
    Image().ParamBytes[0] = 90;
    Image().ParamBytes[4] = 80;
    dlg->PostMessage(WM_DEVICE_RESULT, 0x2000, 0);
    platform::MessageQueue::Drain();
    EXPECT_EQ(Image().ParamBytes[0], 80);
    EXPECT_EQ(dlg->ControlAs<CMySlider>(1003)->Value(), 19);
    EXPECT_EQ(dlg->ItemText(1076), "80");
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"        Saved OK        "}));
}

TEST_F(DeviceProtocol, MusicClampWhileNotConnectedMovesTheSliderOnly) {
    Image().ParamBytes[0] = 70;
    Image().ParamBytes[4] = 60;
    dlg->PostMessage(WM_SEND_COMMAND, 0x02, 0);
    platform::MessageQueue::Drain();
    EXPECT_EQ(Image().ParamBytes[0], 60);
    EXPECT_EQ(dlg->ControlAs<CMySlider>(1003)->Value(), 39);
    EXPECT_EQ(dlg->ItemText(1076), "60");
    EXPECT_TRUE(device.Requests().empty());
}

TEST_F(DeviceProtocol, HeaderWithAnotherBlockLengthFailsAndKeepsTheImage) {
    for (int length : {1130, 1132, 4096}) {
        SCOPED_TRACE(length);
        emu::Knobs k;
        k.statedBlockLength = length;
        device.SetKnobs(k);
        const ParamImage before = Image();
        const int chunks = device.CountOf(0x40);
        Button(1001)->click();
        ASSERT_TRUE(WaitFor(
            [&] { return dlg->ItemText(1002) == "Open failed1" && !dlg->WaitBoxOpen(); }, kWaitMs))
            << dlg->ItemText(1002);
        EXPECT_EQ(device.CountOf(0x40), chunks);
        EXPECT_TRUE(blocktest::SameImage(Image(), before));
        EXPECT_EQ(dlg->Link().LinkState(), 0);
    }
}

TEST_F(DeviceProtocol, ShortReplyWhileConnectedIsDroppedAndTimesOut) {
    Connect(Transport::kUsb);
    emu::Knobs k;
    k.shortReplyCodes = {0x3A};
    device.SetKnobs(k);
    const ParamImage before = Image();
    dlg->PostMessage(WM_SEND_COMMAND, 0x3A, 1);
    ASSERT_TRUE(WaitFor([&] { return dlg->Link().LinkState() == 0; }, kWaitMs));
    EXPECT_EQ(dlg->ItemText(1002), "failed");
    EXPECT_EQ(device.CountOf(0x3A), 1);
    // Nothing of the short reply reached the image.
    for (int i = 85; i <= 93; ++i) EXPECT_EQ(Image().ParamBytes[i], before.ParamBytes[i]) << i;
    EXPECT_EQ(Image().ParamWords, before.ParamWords);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(DeviceProtocol, MassSaveStepSendsNothing) {
    Connect(Transport::kUsb);
    dlg->PostMessage(WM_SEND_COMMAND, 0x16, 0);
    Command(0x09);
    EXPECT_EQ(device.CountOf(0x16), 0);
    ExpectCleanTraffic();
}

TEST_F(DeviceProtocol, FeatureFlagOffHidesTheKindButtonsAndCalibration) {
    emu::Knobs k;
    k.featureFlag = 0;
    device.SetKnobs(k);
    Connect(Transport::kUsb);
    EXPECT_EQ(Image().ExtendedFeatures, 0);
    EXPECT_FALSE(Button(1820)->isVisibleTo(dlg.get()));
    EXPECT_FALSE(Button(1821)->isVisibleTo(dlg.get()));
    EXPECT_FALSE(Button(1814)->isVisibleTo(dlg.get()));
    Button(1001)->click();  // disconnect
    platform::MessageQueue::Drain();
    k.featureFlag = 1;
    device.SetKnobs(k);
    Connect(Transport::kUsb);
    EXPECT_TRUE(Button(1820)->isVisibleTo(dlg.get()));
    EXPECT_TRUE(Button(1814)->isVisibleTo(dlg.get()));
}

}  // namespace
