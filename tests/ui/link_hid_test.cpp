// The link against the emulator through the fake HID back end.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "emulator/device_emulator.h"
#include "emulator/emulator_hid.h"
#include "link/command_frame.h"
#include "link/hid_transport.h"
#include "link_host_window.h"

namespace {

using emu::DeviceEmulator;
using emu::EmulatorHidBackend;
using emu::Knobs;
using linktest::LinkHostWindow;
using linktest::WaitFor;

constexpr char kPath[] = "/dev/hidraw-fake0";
constexpr int kConnectMs = 8000;

class LinkHidTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetHidBackend(&backend);
        host = std::make_unique<LinkHostWindow>(LinkConfig{});
        host->link.Start();
    }
    void TearDown() override {
        host.reset();
        EXPECT_EQ(backend.OpenCount(), 0);
        platform::SetHidBackend(nullptr);
    }

    void AddDevice() { backend.AddDevice(kPath, 0x10C4, 0x0300, &device); }

    void Connect() {
        host->link.OnConnectButton();
        ASSERT_TRUE(WaitFor([&] { return !host->block.empty() || host->Idle(); }, kConnectMs));
        ASSERT_EQ(host->link.LinkState(), 3) << host->Status();
    }

    DeviceEmulator device;
    EmulatorHidBackend backend;
    std::unique_ptr<LinkHostWindow> host;
};

TEST_F(LinkHidTest, ConnectReadsTheWholeBlock) {
    AddDevice();
    Connect();
    EXPECT_EQ(host->block, device.Block());
    std::vector<std::uint8_t> expected = {0x1C, 0x3F};
    expected.insert(expected.end(), 20, 0x40);
    EXPECT_EQ(device.RequestCodes(), expected);
    EXPECT_EQ(device.Overlaps(), 0);
    EXPECT_EQ(host->featureFlags, (std::vector<int>{1}));
    // Every frame of the connect fits one report: id 0 and 64 zero-padded bytes.
    const auto written = backend.Written(kPath);
    ASSERT_EQ(written.size(), 22u);
    const std::uint8_t handshake[] = {0xAA, 0x01, 0x00, 0x1C, 0xE3};
    for (std::size_t i = 0; i < written[0].size(); ++i) {
        EXPECT_EQ(written[0][i], i < 5 ? handshake[i] : 0) << "byte " << i;
    }
    EXPECT_EQ(backend.OpenCount(), 1);
}

TEST_F(LinkHidTest, NoMatchingDeviceFailsAtOnce) {
    backend.AddDevice("/dev/hidraw-other", 0x10C4, 0x0301, &device);
    host->link.OnConnectButton();
    EXPECT_EQ(host->Status(), "Open failed");
    EXPECT_TRUE(host->Idle());
    EXPECT_TRUE(backend.OpenedPaths().empty());
    ASSERT_TRUE(WaitFor([&] { return host->idle == 1; }, 1000));
    EXPECT_EQ(host->busy, 1);
}

TEST_F(LinkHidTest, FirstOfTwoMatchingDevicesWins) {
    DeviceEmulator second;
    AddDevice();
    backend.AddDevice("/dev/hidraw-fake1", 0x10C4, 0x0300, &second);
    Connect();
    EXPECT_EQ(backend.OpenedPaths(), (std::vector<std::string>{kPath}));
    EXPECT_TRUE(second.RequestCodes().empty());
}

TEST_F(LinkHidTest, UnpluggedWhileConnectedDropsTheLinkAtTheNextWrite) {
    AddDevice();
    Connect();
    backend.Unplug(kPath);
    ASSERT_TRUE(WaitFor([&] { return host->Idle(); }, 4000));
    EXPECT_EQ(host->Status(), "Idle");
    EXPECT_EQ(host->disconnects, 1);
    EXPECT_EQ(backend.OpenCount(), 0);
}

TEST_F(LinkHidTest, LinkLostWhileConnectedShowsFailed) {
    AddDevice();
    Connect();
    Knobs k;
    k.silent = true;
    device.SetKnobs(k);
    ASSERT_TRUE(WaitFor([&] { return host->Idle(); }, 6000));
    EXPECT_EQ(host->Status(), "failed");
    EXPECT_EQ(backend.OpenCount(), 0);
}

TEST_F(LinkHidTest, CancelledConnectLeavesNothingOpenAndTheNextOneWorks) {
    AddDevice();
    Knobs k;
    k.silent = true;
    device.SetKnobs(k);
    host->link.OnConnectButton();
    linktest::RunFor(100);
    host->link.OnConnectButton();
    EXPECT_EQ(host->Status(), "Idle");
    EXPECT_TRUE(host->Idle());
    EXPECT_EQ(backend.OpenCount(), 0);
    device.SetKnobs(Knobs{});
    Connect();
    EXPECT_EQ(backend.OpenedPaths().size(), 2u);
}

TEST_F(LinkHidTest, OneRequestInFlightAndEachWaitingChangeGoesWithItsNewestValue) {
    AddDevice();
    Connect();
    Knobs k;
    k.delayTicks = 10;
    device.SetKnobs(k);
    const std::size_t before = device.RequestCodes().size();
    const std::uint8_t a[] = {1, 0}, b[] = {2, 0}, c[] = {3, 0}, d[] = {4, 0};
    host->link.SendCommand(0x09, a, 2);
    host->link.SendCommand(0x0A, b, 2);
    host->link.SendCommand(0x3B, c, 2);
    host->link.SendCommand(0x0A, d, 2);
    ASSERT_TRUE(WaitFor([&] { return device.RequestCodes().size() >= before + 3; }, 3000));
    linktest::RunFor(400);
    const auto requests = device.Requests();
    ASSERT_EQ(requests.size(), before + 3);
    EXPECT_EQ(requests[before].code, 0x09);
    EXPECT_EQ(requests[before + 1].code, 0x3B);
    EXPECT_EQ(requests[before + 2].code, 0x0A);
    EXPECT_EQ(requests[before + 2].data, (std::vector<std::uint8_t>{4, 0}));
    EXPECT_EQ(device.Overlaps(), 0);
}

struct FailureCase {
    const char* name;
    std::function<void(Knobs&)> knobs;
    const char* status;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

const FailureCase kFailures[] = {
    {"Silent", [](Knobs& k) { k.silent = true; }, "Open failed0"},
    {"WrongDeviceType", [](Knobs& k) { k.deviceType = 0x14; }, "Open failed1"},
    {"NoHeader", [](Knobs& k) { k.silentCodes = {0x3F}; }, "Open failed1"},
    {"BadHeader", [](Knobs& k) { k.badHeader = true; }, "Open failed1"},
    // A frame with a wrong check is dropped; the chunk then times out, by
    // then connected.
    {"BadChunkChecksum", [](Knobs& k) { k.badChecksumCodes = {0x40}; }, "failed"},
    {"BadBlockChecksum", [](Knobs& k) { k.badBlockChecksum = true; }, "Open failed1"},
};

class LinkHidFailure : public LinkHidTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LinkHidFailure, EndsIdleWithItsStatusAndTheDeviceClosed) {
    AddDevice();
    Knobs k;
    GetParam().knobs(k);
    device.SetKnobs(k);
    host->link.OnConnectButton();
    ASSERT_TRUE(WaitFor([&] { return host->Idle(); }, kConnectMs));
    EXPECT_EQ(host->Status(), GetParam().status);
    EXPECT_EQ(backend.OpenCount(), 0);
    EXPECT_TRUE(host->block.empty());
}

INSTANTIATE_TEST_SUITE_P(Faults, LinkHidFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

// The transport alone, played by hand.
class LinkHidTransportTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetHidBackend(&backend); }
    void TearDown() override { platform::SetHidBackend(nullptr); }

    // Polls until something or a failure comes; the reply bytes, if any.
    static PollResult WaitPoll(HidTransport& t, std::uint8_t* buffer, int ms = 2000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            const PollResult r = t.Poll(buffer, 64);
            if (r.count > 0 || r.failed || std::chrono::steady_clock::now() > end) return r;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    static SendResult SendCommand(HidTransport& t, std::uint8_t code) {
        CommandFrame f;
        const std::uint8_t data[] = {1, 0};
        f.Build(code, data, 2);
        return t.Send(f.Bytes(), f.Size());
    }

    DeviceEmulator device;
    EmulatorHidBackend backend;
};

TEST_F(LinkHidTransportTest, FramesAreCutIntoZeroPaddedReports) {
    struct Case {
        int n;
        std::size_t reports;
    };
    const Case cases[] = {{60, 1}, {61, 2}, {521, 9}};
    for (const Case& c : cases) {
        EmulatorHidBackend b;
        b.AddDevice(kPath, 0x10C4, 0x0300, nullptr);
        platform::SetHidBackend(&b);
        HidTransport t(0x10C4, 0x0300);
        ASSERT_TRUE(t.Open());
        std::vector<std::uint8_t> data(static_cast<std::size_t>(c.n - 1), 0x11);
        CommandFrame f;
        ASSERT_EQ(f.Build(0x47, data.data(), c.n - 1), c.n + 4);
        EXPECT_EQ(t.Send(f.Bytes(), f.Size()), SendResult::kSent);
        t.Close();
        const auto written = b.Written(kPath);
        ASSERT_EQ(written.size(), c.reports) << "N = " << c.n;
        std::vector<std::uint8_t> all;
        for (const auto& r : written) all.insert(all.end(), r.begin(), r.end());
        EXPECT_TRUE(std::equal(f.Bytes(), f.Bytes() + f.Size(), all.begin()));
        for (std::size_t i = static_cast<std::size_t>(f.Size()); i < all.size(); ++i) {
            EXPECT_EQ(all[i], 0) << "N = " << c.n << " byte " << i;
        }
    }
    platform::SetHidBackend(&backend);
}

TEST_F(LinkHidTransportTest, AReplyNotTakenBeforeTheNextRequestIsDropped) {
    backend.AddDevice(kPath, 0x10C4, 0x0300, &device);
    HidTransport t(0x10C4, 0x0300);
    ASSERT_TRUE(t.Open());
    ASSERT_EQ(SendCommand(t, 0x09), SendResult::kSent);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the reader has it
    ASSERT_EQ(SendCommand(t, 0x0A), SendResult::kSent);
    std::uint8_t buffer[64];
    const PollResult r = WaitPoll(t, buffer);
    ASSERT_GT(r.count, 3);
    EXPECT_EQ(buffer[3], static_cast<std::uint8_t>(~0x0A));
    EXPECT_EQ(t.Poll(buffer, 64).count, 0);
}

TEST_F(LinkHidTransportTest, ALateReportNeverAnswersANewerRequest) {
    backend.AddDevice(kPath, 0x10C4, 0x0300, &device);
    HidTransport t(0x10C4, 0x0300, 100);
    ASSERT_TRUE(t.Open());
    Knobs slow;
    slow.delayTicks = 25;  // 500 ms, well after the reader gave up at 100 ms
    device.SetKnobs(slow);
    ASSERT_EQ(SendCommand(t, 0x09), SendResult::kSent);
    std::uint8_t buffer[64];
    EXPECT_TRUE(WaitPoll(t, buffer).failed);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));  // the late report is queued
    device.SetKnobs(Knobs{});
    ASSERT_EQ(SendCommand(t, 0x0A), SendResult::kSent);
    const PollResult r = WaitPoll(t, buffer);
    ASSERT_GT(r.count, 3);
    EXPECT_EQ(buffer[3], static_cast<std::uint8_t>(~0x0A));
}

TEST_F(LinkHidTransportTest, CloseStopsAWaitingReaderPromptly) {
    backend.AddDevice(kPath, 0x10C4, 0x0300, nullptr);
    HidTransport t(0x10C4, 0x0300);
    ASSERT_TRUE(t.Open());
    EXPECT_FALSE(t.Open());  // already open
    ASSERT_EQ(SendCommand(t, 0x09), SendResult::kSent);
    const auto start = std::chrono::steady_clock::now();
    t.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(backend.OpenCount(), 0);
    EXPECT_EQ(SendCommand(t, 0x09), SendResult::kNotSent);
}

TEST_F(LinkHidTransportTest, FailedWriteAndReadErrorAreReported) {
    backend.AddDevice(kPath, 0x10C4, 0x0300, nullptr);
    HidTransport t(0x10C4, 0x0300);
    ASSERT_TRUE(t.Open());
    ASSERT_EQ(SendCommand(t, 0x09), SendResult::kSent);
    backend.Unplug(kPath);
    std::uint8_t buffer[64];
    EXPECT_TRUE(WaitPoll(t, buffer).failed);
    EXPECT_EQ(SendCommand(t, 0x09), SendResult::kFailed);
}

}  // namespace
