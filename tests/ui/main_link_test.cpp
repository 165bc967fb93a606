// The main window's own Connect and link buttons against the emulator over
// loopback TCP: what the user presses, what the status line and buttons show.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/main_dialog.h"
#include "model/ui_text.h"
#include "emulator/device_emulator.h"
#include "emulator/emulator_tcp_server.h"
#include "eq/my_btn.h"
#include "link_host_window.h"
#include "platform/settings.h"
#include "support/emulated_main.h"

namespace {

class MainLink : public ::testing::Test {
protected:
    void SetUp() override {
        platform::WriteSettingInt(kLangSettingName, 0);
        ASSERT_TRUE(server.Listen());
        dlg = testsupport::StartMainOnEmulator(folder, server);
    }
    CMyBtn* Button(int id) { return dlg->ControlAs<CMyBtn>(id); }

    QTemporaryDir folder;
    emu::DeviceEmulator device;
    emu::EmulatorTcpServer server{device};
    std::unique_ptr<CQuavixDlg> dlg;
};

}  // namespace

TEST_F(MainLink, ConnectOverWifiAndDisconnect) {
    Button(1818)->click();  // WIFI
    EXPECT_EQ(dlg->Link().LinkType(), 1);
    EXPECT_TRUE(Button(1818)->Checked());
    EXPECT_FALSE(Button(1817)->Checked());

    Button(1001)->click();
    EXPECT_TRUE(Button(1001)->Checked());
    EXPECT_FALSE(Button(1817)->isEnabled());
    ASSERT_TRUE(linktest::WaitFor([&] { return dlg->ItemText(1002) == "OK"; }, 10000))
        << dlg->ItemText(1002);
    EXPECT_EQ(dlg->Link().LinkState(), 3);
    EXPECT_FALSE(dlg->WaitBoxOpen());  // the busy box closed when the block was in
    EXPECT_EQ(device.Overlaps(), 0);

    Button(1001)->click();
    platform::MessageQueue::Drain();
    EXPECT_EQ(dlg->ItemText(1002), "Idle");
    EXPECT_EQ(dlg->Link().LinkState(), 0);
    EXPECT_FALSE(Button(1001)->Checked());
    EXPECT_TRUE(Button(1817)->isEnabled());
    EXPECT_EQ(dlg->ItemText(1001), "Connect");
}

TEST_F(MainLink, NoListenerEndsInOpenFailed) {
    server.Close();
    Button(1818)->click();
    Button(1001)->click();
    ASSERT_TRUE(linktest::WaitFor([&] { return dlg->ItemText(1002) == "Open failed"; }, 10000))
        << dlg->ItemText(1002);
    EXPECT_FALSE(dlg->WaitBoxOpen());
    EXPECT_FALSE(Button(1001)->Checked());
    EXPECT_TRUE(Button(1818)->isEnabled());
}
