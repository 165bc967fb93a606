// The link against the emulator over TCP loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "emulator/device_emulator.h"
#include "emulator/emulator_tcp_server.h"
#include "link_host_window.h"

namespace {

using emu::DeviceEmulator;
using emu::EmulatorTcpServer;
using emu::Knobs;
using linktest::LinkHostWindow;
using linktest::WaitFor;

// Generous bounds: a connect takes the 1 s watch tick plus the block read.
constexpr int kConnectMs = 10000;

LinkConfig LoopbackConfig(std::uint16_t port) {
    LinkConfig c;
    c.tcpAddress = "127.0.0.1";
    c.tcpPort = port;
    return c;
}

class LinkTcpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Listen());
        host = std::make_unique<LinkHostWindow>(LoopbackConfig(server.Port()));
        host->link.SetLinkType(1);
        host->link.Start();
    }

    void Connect() {
        host->link.OnConnectButton();
        ASSERT_TRUE(WaitFor([&] { return !host->block.empty() || host->Idle(); }, kConnectMs));
        ASSERT_EQ(host->link.LinkState(), 3) << host->Status();
    }

    std::vector<std::uint8_t> Codes() const { return device.RequestCodes(); }

    // Connects, then has the unit hold each reply delayTicks back and sends
    // a change, which is in flight on return; returns how many requests
    // came before it.
    std::size_t ConnectAndSendASlowChange(int delayTicks) {
        Connect();
        Knobs k;
        k.delayTicks = delayTicks;
        device.SetKnobs(k);
        const std::size_t before = device.Requests().size();
        const std::uint8_t change[] = {1, 0};
        host->link.SendCommand(0x09, change, 2);
        return before;
    }

    DeviceEmulator device;
    EmulatorTcpServer server{device};
    std::unique_ptr<LinkHostWindow> host;
};

TEST_F(LinkTcpTest, ConnectReadsTheWholeBlock) {
    Knobs k;
    k.featureFlag = 0;
    device.SetKnobs(k);
    Connect();
    EXPECT_EQ(host->statuses.front(), "Connectting...");
    EXPECT_EQ(host->block, device.Block());
    std::vector<std::uint8_t> expected = {0x1C, 0x3F};
    expected.insert(expected.end(), 20, 0x40);
    EXPECT_EQ(Codes(), expected);
    EXPECT_EQ(device.Overlaps(), 0);
    EXPECT_EQ(device.BadFrames(), 0);
    EXPECT_EQ(host->featureFlags, (std::vector<int>{0}));
    ASSERT_TRUE(WaitFor([&] { return host->idle == 1; }, 1000));
    EXPECT_EQ(host->busy, 1);
    EXPECT_EQ(host->refreshes, 1);
    EXPECT_EQ(host->Status(), "OK");
    // Every chunk request asked for the next offset.
    const auto requests = device.Requests();
    ASSERT_EQ(requests.size(), 22u);
    for (int i = 0; i < 20; ++i) {
        const auto& d = requests[static_cast<std::size_t>(i + 2)].data;
        EXPECT_EQ(d[0] | (d[1] << 8), 58 * i);
        EXPECT_EQ(d[2] | (d[3] << 8), i < 19 ? 58 : 29);
    }
}

TEST_F(LinkTcpTest, RepliesTrickledByteByByteAreReassembled) {
    Knobs k;
    k.tcpSplit = emu::TcpSplit::kSingleBytes;
    device.SetKnobs(k);
    Connect();
    EXPECT_EQ(host->block, device.Block());
    EXPECT_EQ(device.Overlaps(), 0);
}

TEST_F(LinkTcpTest, AnUnaskedFrameInTheSameSegmentChangesNothing) {
    Knobs k;
    k.tcpSplit = emu::TcpSplit::kWithExtraFrame;
    device.SetKnobs(k);
    Connect();
    EXPECT_EQ(host->block, device.Block());
    EXPECT_EQ(device.CountOf(0x40), 20);
    EXPECT_EQ(device.Overlaps(), 0);
}

TEST_F(LinkTcpTest, DelayedRepliesWithinTheTimeOutStillConnect) {
    Knobs k;
    k.delayTicks = 8;
    device.SetKnobs(k);
    Connect();
    EXPECT_EQ(host->block, device.Block());
    EXPECT_EQ(device.Overlaps(), 0);
}

TEST_F(LinkTcpTest, OneRequestInFlightAndEachWaitingChangeGoesWithItsNewestValue) {
    Connect();
    Knobs k;
    k.delayTicks = 10;
    device.SetKnobs(k);
    const std::size_t before = Codes().size();
    const std::uint8_t a[] = {1, 0}, b[] = {2, 0}, c[] = {3, 0}, d[] = {4, 0};
    host->link.SendCommand(0x09, a, 2);
    host->link.SendCommand(0x0A, b, 2);
    host->link.SendCommand(0x3B, c, 2);
    host->link.SendCommand(0x0A, d, 2);
    ASSERT_TRUE(WaitFor([&] { return Codes().size() >= before + 3; }, 3000));
    linktest::RunFor(400);
    const auto requests = device.Requests();
    ASSERT_EQ(requests.size(), before + 3);
    EXPECT_EQ(requests[before].code, 0x09);
    EXPECT_EQ(requests[before + 1].code, 0x3B);
    EXPECT_EQ(requests[before + 1].data, (std::vector<std::uint8_t>{3, 0}));
    EXPECT_EQ(requests[before + 2].code, 0x0A);
    EXPECT_EQ(requests[before + 2].data, (std::vector<std::uint8_t>{4, 0}));
    EXPECT_EQ(device.Overlaps(), 0);
    EXPECT_EQ(host->link.LinkState(), 3);
}

// The boost save and the learn table as the builder sends them: their data
// and four trailing bytes, here all zero.
const std::vector<std::uint8_t> kBoostSave(85, 0), kLearnTable(520, 0);

void SendBoostSaveAndLearnTable(DeviceLink& link) {
    link.SendDirect(0x33, kBoostSave.data(), static_cast<int>(kBoostSave.size()), 50, 50);
    link.SendDirect(0x47, kLearnTable.data(), static_cast<int>(kLearnTable.size()), 50, 50);
}

TEST_F(LinkTcpTest, DirectFramesDuringTheBlockReadGoAfterItAndTheReadEnds) {
    Knobs k;
    k.delayTicks = 2;
    device.SetKnobs(k);
    const std::vector<std::uint8_t> block = device.Block();  // before the boost save lands
    host->link.OnConnectButton();
    ASSERT_TRUE(WaitFor([&] { return device.CountOf(0x40) >= 3; }, kConnectMs));
    SendBoostSaveAndLearnTable(host->link);
    ASSERT_TRUE(WaitFor([&] { return device.CountOf(0x47) == 1; }, 5000)) << host->Status();
    ASSERT_TRUE(WaitFor([&] { return !host->link.ReplyPending(); }, 3000));
    EXPECT_EQ(host->block, block);
    EXPECT_EQ(device.CountOf(0x40), 20);
    EXPECT_EQ(device.CountOf(0x33), 1);
    const std::vector<std::uint8_t> codes = Codes();
    const auto lastChunk = std::find(codes.rbegin(), codes.rend(), 0x40).base();
    EXPECT_EQ(std::find(codes.begin(), codes.end(), 0x33), lastChunk) << "after the block read";
    EXPECT_LT(std::find(codes.begin(), codes.end(), 0x33) - codes.begin(),
              std::find(codes.begin(), codes.end(), 0x47) - codes.begin());
    EXPECT_EQ(device.Overlaps(), 0);
    EXPECT_EQ(device.WrongLengths(), 0);
    EXPECT_EQ(host->link.LinkState(), 3);
    EXPECT_EQ(host->Status(), "OK");
}

TEST_F(LinkTcpTest, TwoDirectFramesWhileAReplyIsDueBothGoInOrder) {
    const std::size_t before = ConnectAndSendASlowChange(10);
    ASSERT_FALSE(HasFatalFailure());
    SendBoostSaveAndLearnTable(host->link);
    ASSERT_TRUE(WaitFor([&] { return Codes().size() >= before + 3; }, 3000));
    ASSERT_TRUE(WaitFor([&] { return !host->link.ReplyPending(); }, 3000));
    const std::vector<std::uint8_t> codes = Codes();
    EXPECT_EQ(std::vector<std::uint8_t>(codes.begin() + static_cast<std::ptrdiff_t>(before),
                                        codes.begin() + static_cast<std::ptrdiff_t>(before) + 3),
              (std::vector<std::uint8_t>{0x09, 0x33, 0x47}));
    EXPECT_EQ(device.Overlaps(), 0);
    EXPECT_EQ(host->Status(), "OK");
}

// A unit slow to answer while the user keeps asking: the requests that keep
// their turn wait up to the limit, one more is refused, and the status line
// says so until the last one that waited has been answered.
TEST_F(LinkTcpTest, RequestPastTheWaitingLimitIsRefusedAndSaidSo) {
    const std::size_t before = ConnectAndSendASlowChange(1);
    ASSERT_FALSE(HasFatalFailure());
    constexpr int kLimit = static_cast<int>(LinkSequencer::kWaitingLimit);
    CommandLink& link = host->link.Commands();
    // Lock key records, the n-th carrying n in its first digit.
    auto lock = [&](int n) {
        const std::uint8_t record[] = {static_cast<std::uint8_t>(n), 0, 0, 0, 1, 0};
        LinkRequest request;
        request.code = 0x2B;
        request.data = record;
        request.length = 6;
        return link.Submit(request);
    };
    for (int n = 1; n <= kLimit; ++n) ASSERT_TRUE(lock(n));
    EXPECT_FALSE(lock(kLimit + 1));
    EXPECT_EQ(host->Status(), "busy, not sent");
    const std::size_t shown = host->statuses.size();

    ASSERT_TRUE(WaitFor([&] { return device.CountOf(0x2B) == kLimit; }, 5000));
    ASSERT_TRUE(WaitFor([&] { return !host->link.ReplyPending(); }, 3000));
    linktest::RunFor(100);
    const std::vector<emu::Command> requests = device.Requests();
    ASSERT_EQ(requests.size(), before + 1 + kLimit);
    for (int n = 1; n <= kLimit; ++n)
        EXPECT_EQ(requests[before + static_cast<std::size_t>(n)].data[0], n);
    // One status per answer: the refusal while any of them waited.
    ASSERT_GT(host->statuses.size(), shown + kLimit);
    for (std::size_t i = shown; i < shown + kLimit; ++i)
        EXPECT_EQ(host->statuses[i], "busy, not sent") << i - shown;
    EXPECT_EQ(host->statuses[shown + kLimit], "OK");
    EXPECT_EQ(device.Overlaps(), 0);
}

TEST_F(LinkTcpTest, KeepAliveKeepsAQuietLinkUp) {
    Connect();
    const int handshakes = device.CountOf(0x1C);
    ASSERT_TRUE(WaitFor([&] { return device.CountOf(0x1C) > handshakes; }, 3000));
    ASSERT_TRUE(WaitFor([&] { return !host->link.ReplyPending(); }, 3000));
    EXPECT_EQ(host->link.LinkState(), 3);
    EXPECT_EQ(host->Status(), "OK");
}

TEST_F(LinkTcpTest, LinkLostWhileConnectedShowsFailed) {
    Connect();
    Knobs k;
    k.silent = true;
    device.SetKnobs(k);
    ASSERT_TRUE(WaitFor([&] { return host->Idle(); }, 8000));
    EXPECT_EQ(host->Status(), "failed");
    EXPECT_EQ(host->disconnects, 1);
    EXPECT_FALSE(host->link.Tcp().HasSocket());
    linktest::RunFor(100);
    EXPECT_EQ(host->Status(), "failed");
}

TEST_F(LinkTcpTest, ConnectPressedWhileConnectingCancels) {
    host->link.OnConnectButton();
    EXPECT_TRUE(host->link.Tcp().HasSocket());
    host->link.OnConnectButton();
    EXPECT_EQ(host->Status(), "Idle");
    EXPECT_TRUE(host->Idle());
    EXPECT_FALSE(host->link.Tcp().HasSocket());
    EXPECT_FALSE(host->HasTimer(TIMER_CONNECT_WATCH));
    linktest::RunFor(1300);  // the watch would have fired by now
    EXPECT_EQ(host->Status(), "Idle");
    EXPECT_TRUE(device.RequestCodes().empty());
    Connect();
}

TEST_F(LinkTcpTest, EveryAttemptUsesAFreshSocket) {
    Knobs k;
    k.deviceType = 0x12;
    device.SetKnobs(k);
    host->link.OnConnectButton();
    ASSERT_TRUE(WaitFor([&] { return host->Idle(); }, kConnectMs));
    EXPECT_EQ(host->Status(), "Open failed1");
    device.SetKnobs(Knobs{});
    Connect();
    EXPECT_EQ(server.Accepted(), 2);
}

TEST_F(LinkTcpTest, DisconnectShowsIdle) {
    Connect();
    host->link.OnConnectButton();
    EXPECT_EQ(host->Status(), "Idle");
    EXPECT_TRUE(host->Idle());
    EXPECT_EQ(host->disconnects, 1);
    EXPECT_FALSE(host->link.Tcp().HasSocket());
}

// Each failure, in its own test so that they run side by side.
struct FailureCase {
    const char* name;
    std::function<void(Knobs&)> knobs;
    const char* status;
};

const FailureCase kFailures[] = {
    {"Silent", [](Knobs& k) { k.silent = true; }, "Open failed0"},
    {"WrongDeviceType", [](Knobs& k) { k.deviceType = 0x12; }, "Open failed1"},
    {"BadHandshakeChecksum", [](Knobs& k) { k.badChecksumCodes = {0x1C}; }, "Open failed0"},
    {"ShortHandshake", [](Knobs& k) { k.shortReplyCodes = {0x1C}; }, "Open failed1"},
    {"NoHeader", [](Knobs& k) { k.silentCodes = {0x3F}; }, "Open failed1"},
    {"BadHeader", [](Knobs& k) { k.badHeader = true; }, "Open failed1"},
    {"ShortHeader", [](Knobs& k) { k.shortReplyCodes = {0x3F}; }, "Open failed1"},
    {"BadBlockChecksum", [](Knobs& k) { k.badBlockChecksum = true; }, "Open failed1"},
    {"ShortChunk", [](Knobs& k) { k.shortReplyCodes = {0x40}; }, "Open failed1"},
    {"CloseAfterConnect", [](Knobs& k) { k.closeAfterConnect = true; }, "Open failed0"},
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class LinkTcpFailure : public LinkTcpTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LinkTcpFailure, EndsIdleWithItsStatus) {
    Knobs k;
    GetParam().knobs(k);
    device.SetKnobs(k);
    host->link.OnConnectButton();
    ASSERT_TRUE(WaitFor([&] { return host->Idle(); }, kConnectMs));
    EXPECT_EQ(host->Status(), GetParam().status);
    EXPECT_FALSE(host->link.Tcp().HasSocket());
    EXPECT_FALSE(host->HasTimer(TIMER_CONNECT_WATCH));
    ASSERT_TRUE(WaitFor([&] { return host->idle >= 1; }, 1000));
    EXPECT_TRUE(host->block.empty());
}

INSTANTIATE_TEST_SUITE_P(Faults, LinkTcpFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LinkTcpNoListener, OpenFailedAtTheFourthWatchTick) {
    LinkHostWindow host(LoopbackConfig(emu::UnusedLoopbackPort()));
    host.link.SetLinkType(1);
    host.link.Start();
    host.link.OnConnectButton();
    linktest::RunFor(2500);
    EXPECT_EQ(host.link.LinkState(), 1);
    EXPECT_EQ(host.Status(), "Connectting...");
    ASSERT_TRUE(WaitFor([&] { return host.Idle(); }, 4000));
    EXPECT_EQ(host.Status(), "Open failed");
    EXPECT_FALSE(host.link.Tcp().HasSocket());
}

}  // namespace
