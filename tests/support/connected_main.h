#pragma once
// The main window connected over loopback TCP to the emulator, which holds
// a block the test made, and what the emulator received since a mark: the
// ground of every test that checks a control's command as the one frame
// reaching the unit. Payload pieces are written here from the wire layout,
// not by the product's builder.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "emulator/device_emulator.h"
#include "emulator/emulator_tcp_server.h"
#include "eq/my_btn.h"
#include "link/command_codes.h"
#include "link/link_sequencer.h"
#include "link/param_block.h"
#include "model/ui_text.h"
#include "platform/settings.h"
#include "support/device_block_layout.h"
#include "support/emulated_main.h"
#include "support/modal_script.h"
#include "support/user_input.h"
#include "system/dlg_wait.h"
#include "ui/link_host_window.h"

namespace testsupport {

using blocktest::Bytes;

constexpr std::uint8_t kKeepAliveCode = 0x1C;

// The block of a unit that holds the program's start-up defaults.
inline Bytes DefaultsBlock() {
    ParamImage image;
    InitParamImage(image);
    Bytes block(kDeviceParamBlockSize);
    PackDeviceParamBlock(image, block.data());
    return block;
}

class ConnectedMain {
public:
    // Starts the main window in English on an emulator holding block and
    // connects it over WIFI; a failure to connect fails the test.
    void Connect(const Bytes& block) {
        platform::WriteSettingInt(kLangSettingName, 0);
        device.SetBlock(block);
        ASSERT_TRUE(server.Listen());
        dlg = StartMainOnEmulator(folder, server);
        dlg->ControlAs<CMyBtn>(1818)->click();  // WIFI
        dlg->ControlAs<CMyBtn>(1001)->click();  // Connect
        ASSERT_TRUE(linktest::WaitFor([&] { return dlg->ItemText(1002) == "OK"; }, 10000))
            << dlg->ItemText(1002);
        platform::MessageQueue::Drain();
    }

    // Starts the main window in English on an emulator holding block, each
    // reply held back holdTicks link ticks, and presses Connect over WIFI;
    // the user closes the "Connectting..." box while the link still
    // connects.
    void StartConnecting(const Bytes& block, int holdTicks) {
        platform::WriteSettingInt(kLangSettingName, 0);
        device.SetBlock(block);
        Hold(holdTicks);
        ASSERT_TRUE(server.Listen());
        dlg = StartMainOnEmulator(folder, server);
        dlg->ControlAs<CMyBtn>(1818)->click();  // WIFI
        const auto closed = WhenModal<CDlgWait>([](CDlgWait&) {});
        dlg->ControlAs<CMyBtn>(1001)->click();  // Connect
        platform::MessageQueue::Drain();
        ASSERT_TRUE(*closed);
        ASSERT_LT(dlg->Link().LinkState(), LinkSequencer::kConnected);
        ASSERT_TRUE(dlg->ControlAs<CMyBtn>(1001)->Checked());
    }

    // Every reply of the emulator from now on held back this many 20 ms
    // ticks.
    void Hold(int ticks) {
        emu::Knobs knobs = device.GetKnobs();
        knobs.delayTicks = ticks;
        device.SetKnobs(knobs);
    }

    // One request in flight and LinkSequencer::kWaitingLimit waiting behind
    // it, each a test signal that keeps its turn: the next request the link
    // is handed is refused. The unit must be holding its replies back.
    void FillTheLine() {
        for (std::size_t n = 0; n <= LinkSequencer::kWaitingLimit; ++n)
            dlg->PostMessage(WM_SEND_COMMAND, CMD_TEST_SIGNAL, 0);
        platform::MessageQueue::Drain();
        ASSERT_EQ(dlg->Link().Sequencer().Waiting(), LinkSequencer::kWaitingLimit);
    }

    std::size_t Mark() const { return device.Requests().size(); }

    // The requests from index from on, keep-alives left out.
    std::vector<emu::Command> RequestsSince(std::size_t from) const {
        const std::vector<emu::Command> all = device.Requests();
        std::vector<emu::Command> out;
        for (std::size_t k = from; k < all.size(); ++k)
            if (all[k].code != kKeepAliveCode) out.push_back(all[k]);
        return out;
    }

    // What reached the unit for one action: waits for the first request,
    // then long enough for a second one to follow it.
    std::vector<emu::Command> SettledRequestsSince(std::size_t from) const {
        linktest::WaitFor([&] { return !RequestsSince(from).empty(); }, 5000);
        linktest::RunFor(300);
        return RequestsSince(from);
    }

    QTemporaryDir folder;
    emu::DeviceEmulator device;
    emu::EmulatorTcpServer server{device};
    std::unique_ptr<CQuavixDlg> dlg;
};

// Payload pieces as the unit reads them: words low byte first.
inline void Put16(Bytes& p, int v) {
    p.push_back(static_cast<std::uint8_t>(v & 0xFF));
    p.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
inline void Put32(Bytes& p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
// A band as it travels: frequency, Q with its type and the gain's sign, |gain|.
inline void PutWireBand(Bytes& p, const EqBand& b) {
    const std::size_t at = p.size();
    p.resize(at + 5);
    blocktest::WriteWire({b.frequency, b.q, b.type, b.gain}, &p[at]);
}

inline std::string Hex(const Bytes& bytes) {
    std::string s;
    char part[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(part, sizeof part, "%02X ", b);
        s += part;
    }
    return s;
}

// The first n bytes of a frame's data, for comparing with a payload.
inline Bytes Head(const Bytes& data, std::size_t n) {
    return Bytes(data.begin(),
                 data.begin() + static_cast<std::ptrdiff_t>(std::min(n, data.size())));
}

}  // namespace testsupport
