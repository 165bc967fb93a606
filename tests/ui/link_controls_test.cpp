// The Connect button and the USB / WIFI choice, wired to the link.
#include "link/link_controls.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <memory>

#include "emulator/device_emulator.h"
#include "emulator/emulator_hid.h"
#include "emulator/emulator_tcp_server.h"
#include "eq/my_btn.h"
#include "link_host_window.h"

namespace {

using linktest::LinkHostWindow;
using linktest::WaitFor;

class LinkControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetHidBackend(&backend);
        ASSERT_TRUE(server.Listen());
        LinkConfig config;
        config.tcpAddress = "127.0.0.1";
        config.tcpPort = server.Port();
        host = std::make_unique<LinkHostWindow>(config);
        host->link.Start();
        controls = std::make_unique<LinkControls>(&connect, &usb, &wifi, host->link);
    }
    void TearDown() override {
        controls.reset();
        host.reset();
        platform::SetHidBackend(nullptr);
    }

    emu::DeviceEmulator device;
    emu::EmulatorTcpServer server{device};
    emu::EmulatorHidBackend backend;
    std::unique_ptr<LinkHostWindow> host;
    QPushButton connect{"Connect"};
    QPushButton usb{"USB"};
    QPushButton wifi{"WIFI"};
    std::unique_ptr<LinkControls> controls;
};

TEST_F(LinkControlsTest, StartsOnUsbAndTheChoiceFollowsClicks) {
    EXPECT_TRUE(usb.isChecked());
    EXPECT_FALSE(wifi.isChecked());
    EXPECT_EQ(host->link.LinkType(), 0);
    wifi.click();
    EXPECT_EQ(host->link.LinkType(), 1);
    EXPECT_EQ(controls->LinkGroupIndex(), 1);
    EXPECT_TRUE(wifi.isChecked());
    EXPECT_FALSE(usb.isChecked());
    wifi.click();  // a second click keeps it chosen
    EXPECT_TRUE(wifi.isChecked());
    usb.click();
    EXPECT_EQ(host->link.LinkType(), 0);
    EXPECT_TRUE(usb.isChecked());
    EXPECT_FALSE(wifi.isChecked());
}

TEST_F(LinkControlsTest, ConnectWithoutADeviceReleasesTheButtons) {
    connect.click();
    EXPECT_EQ(host->Status(), "Open failed");
    EXPECT_FALSE(connect.isChecked());
    EXPECT_TRUE(usb.isEnabled());
    EXPECT_TRUE(wifi.isEnabled());
}

TEST_F(LinkControlsTest, ButtonsShowConnectingConnectedAndIdle) {
    wifi.click();
    connect.click();
    EXPECT_TRUE(connect.isChecked());
    EXPECT_FALSE(usb.isEnabled());
    EXPECT_FALSE(wifi.isEnabled());
    ASSERT_TRUE(WaitFor([&] { return !host->block.empty(); }, 10000));
    EXPECT_TRUE(connect.isChecked());
    EXPECT_FALSE(usb.isEnabled());
    connect.click();
    EXPECT_EQ(host->Status(), "Idle");
    EXPECT_FALSE(connect.isChecked());
    EXPECT_TRUE(usb.isEnabled());
    EXPECT_TRUE(wifi.isEnabled());
    EXPECT_TRUE(wifi.isChecked());
}

TEST_F(LinkControlsTest, CancelOnWifiThenConnectOverUsb) {
    backend.AddDevice("/dev/hidraw-fake0", 0x10C4, 0x0300, &device);
    wifi.click();
    connect.click();
    connect.click();  // cancels the TCP attempt
    EXPECT_EQ(host->Status(), "Idle");
    EXPECT_FALSE(connect.isChecked());
    usb.click();
    connect.click();
    ASSERT_TRUE(WaitFor([&] { return !host->block.empty(); }, 8000));
    EXPECT_EQ(host->link.LinkState(), 3);
    EXPECT_EQ(backend.OpenedPaths().size(), 1u);
}

}  // namespace

namespace {

// The main window's skinned buttons: the link sets their check state, a
// click alone never does.
TEST(LinkControlsSkinned, ConnectShowsPressedOnlyWhileTheLinkIsUp) {
    emu::DeviceEmulator device;
    emu::EmulatorHidBackend backend;
    backend.AddDevice("/dev/hidraw-fake0", 0x10C4, 0x0300, &device);
    platform::SetHidBackend(&backend);
    {
        LinkHostWindow host{LinkConfig{}};
        host.link.Start();
        CMyBtn connect(&host, 1001), usb(&host, 1817), wifi(&host, 1818);
        LinkControls controls(&connect, &usb, &wifi, host.link);
        EXPECT_TRUE(usb.Checked());
        EXPECT_FALSE(wifi.Checked());
        wifi.click();
        EXPECT_TRUE(wifi.Checked());
        EXPECT_FALSE(usb.Checked());
        usb.click();
        connect.click();
        EXPECT_TRUE(connect.Checked());
        EXPECT_FALSE(wifi.isEnabled());
        ASSERT_TRUE(WaitFor([&] { return !host.block.empty(); }, 8000));
        EXPECT_TRUE(connect.Checked());
        connect.click();
        EXPECT_FALSE(connect.Checked());
        EXPECT_TRUE(usb.isEnabled());
        EXPECT_TRUE(usb.Checked());
    }
    platform::SetHidBackend(nullptr);
}

}  // namespace
