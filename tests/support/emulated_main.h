#pragma once
// The main window started against the emulator: the link's TCP address is
// loopback and the emulator's port, the WiFi module's port a fake's (0 when
// the test has none: nothing answers there), the mode folder a test's own.
#include <QTemporaryDir>
#include <memory>

#include "app/main_dialog.h"
#include "emulator/emulator_tcp_server.h"
#include "platform/window.h"

namespace testsupport {

inline std::unique_ptr<CQuavixDlg> StartMainOnEmulator(const QTemporaryDir& folder,
                                                       const emu::EmulatorTcpServer& server,
                                                       std::uint16_t wifiModulePort = 0) {
    LinkConfig config;
    config.tcpAddress = "127.0.0.1";
    config.tcpPort = server.Port();
    config.wifiModulePort = wifiModulePort;
    auto dlg = std::make_unique<CQuavixDlg>(folder.path().toStdString(), config);
    dlg->OnInitDialog();
    platform::MessageQueue::Drain();
    return dlg;
}

}  // namespace testsupport
