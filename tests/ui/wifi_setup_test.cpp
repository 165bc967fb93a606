// The WiFi module set-up, opened as the system page opens it, against a fake
// module on loopback TCP: what the user presses and types, what the module
// gets, what the dialog shows. Timer 20133 is driven by hand, tick by tick.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "emulator/device_emulator.h"
#include "emulator/emulator_tcp_server.h"
#include "emulator/fake_wifi_module.h"
#include "eq/my_btn.h"
#include "link_host_window.h"
#include "model/ui_text.h"
#include "platform/settings.h"
#include "support/emulated_main.h"
#include "support/scripted_prompts.h"
#include "support/typing.h"
#include "support/wifi_frame_layout.h"
#include "system/access_codes.h"
#include "system/dlg_sys.h"
#include "system/dlg_wifi.h"

namespace {

using emu::WifiAnswer;
using emu::WifiBytes;
using linktest::WaitFor;
using testsupport::WifiSettingLayout;

constexpr int kWaitMs = 5000;
constexpr unsigned kWifiModuleCommand = 0x37;
const WifiBytes kKeepAlive = {0x04, 0x01, 0x0A};

// The main window as the dialog sees it: it records the commands posted.
class Owner : public platform::Window {
public:
    Owner() {
        MapMessage(WM_SEND_COMMAND, [this](WPARAM w, LPARAM l) -> LRESULT {
            commands.push_back({static_cast<unsigned>(w), l});
            return 0;
        });
    }
    std::vector<std::pair<unsigned, LPARAM>> commands;
};

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

class WifiSetup : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(module.Listen());
        link.tcpAddress = "127.0.0.1";
        link.wifiModulePort = module.Port();
    }

    // Opens the dialog through the system page's entry point, runs script
    // while it is up, then closes it with its close box. The dialog's own
    // one-second tick is stopped: the script ticks by hand.
    void Run(int language, const std::function<void(CDlgWifi&)>& script) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<CDlgWifi*>(QApplication::activeModalWidget());
            if (!dlg) {
                ADD_FAILURE() << "the WiFi set-up is not the modal window";
                return;
            }
            ran = true;
            EXPECT_TRUE(dlg->HasTimer(TIMER_WIFI));
            dlg->KillTimer(TIMER_WIFI);
            script(*dlg);
            dlg->close();
        });
        RunWifiSetup(&owner, language, link, [this] { return mainLinkConnected; });
        EXPECT_TRUE(ran);
        platform::MessageQueue::Drain();
    }

    static QPushButton* Button(CDlgWifi& d, int id) { return d.ControlAs<QPushButton>(id); }
    static QLineEdit* Edit(CDlgWifi& d, int id) { return d.ControlAs<QLineEdit>(id); }
    static void Click(CDlgWifi& d, int id) {
        QPushButton* b = Button(d, id);
        ASSERT_NE(b, nullptr) << id;
        // The station buttons are hidden: no mouse reaches them.
        if (b->isVisible())
            QTest::mouseClick(b, Qt::LeftButton);
        else
            b->click();
    }
    static void Type(CDlgWifi& d, int id, const std::string& text) {
        QLineEdit* e = Edit(d, id);
        ASSERT_NE(e, nullptr) << id;
        e->clear();
        testsupport::TypeText(e, QString::fromStdString(text));
    }
    static void Tick(CDlgWifi& d, int n = 1) {
        for (int i = 0; i < n; ++i) d.OnTimer(TIMER_WIFI);
    }
    void Connect(CDlgWifi& d) {
        Click(d, CDlgWifi::kConnectId);
        ASSERT_TRUE(WaitFor([&] { return d.Connected() && module.PeerConnected(); }, kWaitMs));
    }
    bool WaitForFrames(std::size_t n) {
        return WaitFor([&] { return module.Frames().size() >= n; }, kWaitMs);
    }
    static bool Enabled(CDlgWifi& d, int id) { return d.Control(id)->isEnabled(); }

    emu::FakeWifiModule module;
    LinkConfig link;
    Owner owner;
    // What the main window's link query answers, asked at each press.
    bool mainLinkConnected = true;
    testsupport::ScriptedPrompts prompts;
};

TEST_F(WifiSetup, CaptionsAndStartByLanguage) {
    struct Case {
        int language;
        const char* title;
        const char* connect;
        const char* disconnect;
        std::vector<std::pair<int, const char*>> captions;
    };
    const Case cases[] = {
        {0,
         "WIFI Setting",
         "Connect",
         "Disconnect",
         {{1990, "AP Name"},
          {1991, "AP Password"},
          {1546, "Set AP"},
          {1548, "Restore Wifi"},
          {1994, "STA Name"},
          {1995, "STA Password"},
          {1547, "Set Sta"}}},
        {1,
         "WIFI模块设置",
         "连接",
         "断开连接",
         {{1990, "AP名称"},
          {1991, "AP密码"},
          {1546, "设置AP"},
          {1548, "恢复出厂设置"},
          {1994, "STA名称"},
          {1995, "STA密码"},
          {1547, "设置Sta"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        Run(c.language, [&](CDlgWifi& d) {
            EXPECT_EQ(d.windowTitle().toStdString(), c.title);
            EXPECT_EQ(d.ItemText(CDlgWifi::kConnectId), c.connect);
            for (auto [id, caption] : c.captions) EXPECT_EQ(d.ItemText(id), caption) << id;
            EXPECT_FALSE(Enabled(d, CDlgWifi::kSetApId));
            EXPECT_FALSE(Enabled(d, CDlgWifi::kSetStaId));
            EXPECT_TRUE(Enabled(d, CDlgWifi::kRestoreId));
            for (int id : {1994, 1995, 1996, 1997, 1547}) EXPECT_FALSE(d.Control(id)->isVisible());
            for (int id : {1545, 1546, 1548, 1990, 1991, 1992, 1993})
                EXPECT_TRUE(d.Control(id)->isVisible());

            // Enter and Escape close nothing.
            QTest::keyClick(Edit(d, CDlgWifi::kApNameEditId), Qt::Key_Return);
            QTest::keyClick(Edit(d, CDlgWifi::kApNameEditId), Qt::Key_Escape);
            QTest::keyClick(&d, Qt::Key_Escape);
            QCoreApplication::processEvents();
            EXPECT_TRUE(d.IsModalRunning());

            Connect(d);
            EXPECT_EQ(d.ItemText(CDlgWifi::kConnectId), c.disconnect);
            EXPECT_TRUE(Enabled(d, CDlgWifi::kSetApId));
            EXPECT_TRUE(Enabled(d, CDlgWifi::kSetStaId));
            EXPECT_TRUE(Enabled(d, CDlgWifi::kRestoreId));
            EXPECT_EQ(d.Silence(), 0);
        });
    }
    EXPECT_TRUE(prompts.shown().empty());
}

// Disconnect does what it says, as the silence rule does.
TEST_F(WifiSetup, DisconnectClosesTheConnection) {
    Run(0, [&](CDlgWifi& d) {
        Connect(d);
        Click(d, CDlgWifi::kConnectId);
        EXPECT_FALSE(d.Connected());
        EXPECT_EQ(d.ItemText(CDlgWifi::kConnectId), "Connect");
        for (int id : {1546, 1547, 1548}) EXPECT_FALSE(Enabled(d, id)) << id;
        EXPECT_TRUE(WaitFor([&] { return !module.PeerConnected(); }, kWaitMs));
        Tick(d, 2);
        EXPECT_TRUE(module.Frames().empty()) << "nothing goes out when not connected";
        // Connect again on a fresh connection.
        Connect(d);
        EXPECT_EQ(module.Accepted(), 2);
        EXPECT_TRUE(Enabled(d, CDlgWifi::kRestoreId));
    });
}

TEST_F(WifiSetup, KeepAlivePerIdleTickAndNoneWhileASettingIsPending) {
    module.Script({{WifiAnswer::kSilence}});
    Run(0, [&](CDlgWifi& d) {
        Connect(d);
        Tick(d);
        ASSERT_TRUE(WaitForFrames(1));
        Tick(d);
        ASSERT_TRUE(WaitForFrames(2));
        Type(d, CDlgWifi::kApNameEditId, "Quavix");
        Type(d, CDlgWifi::kApPasswordEditId, "12345678");
        Click(d, CDlgWifi::kSetApId);
        EXPECT_EQ(d.PendingCommand(), 0x01);
        ASSERT_TRUE(WaitForFrames(3));
        Tick(d, 2);  // pending: no keep-alive
        module.Write({0x55, 0x01, 0x01});
        ASSERT_TRUE(WaitFor([&] { return d.PendingCommand() == 0; }, kWaitMs));
        Tick(d);
        ASSERT_TRUE(WaitForFrames(4));
        // The stream is in order: a keep-alive of the pending ticks would
        // have come before the last one.
        EXPECT_EQ(module.Frames(), (std::vector<WifiBytes>{
                                       kKeepAlive, kKeepAlive,
                                       WifiSettingLayout(0x01, "Quavix", "12345678"), kKeepAlive}));
        EXPECT_TRUE(d.Connected());
    });
}

TEST_F(WifiSetup, FourSilentTicksDropTheConnection) {
    Run(1, [&](CDlgWifi& d) {
        Connect(d);
        // Answered keep-alives keep it.
        for (int i = 0; i < 6; ++i) {
            Tick(d);
            ASSERT_TRUE(WaitFor([&] { return d.Silence() == 0; }, kWaitMs)) << i;
        }
        module.SetAnswerKeepAlive(false);
        Tick(d, 3);
        EXPECT_TRUE(d.Connected());
        EXPECT_EQ(d.Silence(), 3);
        Tick(d);
        EXPECT_FALSE(d.Connected());
        EXPECT_EQ(d.ItemText(CDlgWifi::kConnectId), "连接");
        for (int id : {1546, 1547, 1548}) EXPECT_FALSE(Enabled(d, id)) << id;
        EXPECT_TRUE(WaitFor([&] { return !module.PeerConnected(); }, kWaitMs));
        EXPECT_EQ(module.KeepAlives(), 9) << "one per tick up to the drop, none after it";
    });
}

// A module that closes its end is noticed by its silence alone: nothing
// shows until the fourth silent tick drops it.
TEST_F(WifiSetup, ModuleClosingIsNoticedByItsSilence) {
    module.Script({{WifiAnswer::kClose}});
    Run(0, [&](CDlgWifi& d) {
        Connect(d);
        Type(d, CDlgWifi::kApNameEditId, "Quavix");
        Type(d, CDlgWifi::kApPasswordEditId, "12345678");
        Click(d, CDlgWifi::kSetApId);
        ASSERT_TRUE(WaitFor([&] { return !module.PeerConnected(); }, kWaitMs));
        linktest::RunFor(20);
        Tick(d, 3);
        EXPECT_TRUE(d.Connected());
        EXPECT_EQ(d.ItemText(CDlgWifi::kConnectId), "Disconnect");
        Tick(d);
        EXPECT_FALSE(d.Connected());
        EXPECT_EQ(d.ItemText(CDlgWifi::kConnectId), "Connect");
        Connect(d);
        EXPECT_EQ(module.Accepted(), 2);
    });
    EXPECT_TRUE(prompts.shown().empty());
}

// After a drop with a setting pending, the next connection starts with none
// pending: its keep-alives go out and keep it.
TEST_F(WifiSetup, ReconnectAfterADropWithASettingPendingResumesKeepAlives) {
    module.Script({{WifiAnswer::kSilence}});
    Run(0, [&](CDlgWifi& d) {
        Connect(d);
        Type(d, CDlgWifi::kApNameEditId, "Quavix");
        Type(d, CDlgWifi::kApPasswordEditId, "12345678");
        Click(d, CDlgWifi::kSetApId);
        ASSERT_TRUE(WaitForFrames(1));
        Tick(d, 4);
        ASSERT_FALSE(d.Connected());
        EXPECT_EQ(d.PendingCommand(), 0);

        Connect(d);
        EXPECT_EQ(d.PendingCommand(), 0);
        for (int i = 0; i < 5; ++i) {
            Tick(d);
            ASSERT_TRUE(WaitFor([&] { return module.KeepAlives() == i + 1; }, kWaitMs)) << i;
            ASSERT_TRUE(WaitFor([&] { return d.Silence() == 0; }, kWaitMs)) << i;
        }
        EXPECT_TRUE(d.Connected());
    });
}

// A refused attempt shows nothing and blocks nothing: each press starts on a
// fresh connection, and a press while an attempt is still under way drops it.
TEST_F(WifiSetup, EveryConnectPressStartsAfresh) {
    module.StopListening();
    Run(0, [&](CDlgWifi& d) {
        Click(d, CDlgWifi::kConnectId);
        linktest::RunFor(50);  // loopback refuses at once
        EXPECT_FALSE(d.Connected());
        EXPECT_EQ(d.ItemText(CDlgWifi::kConnectId), "Connect");
        EXPECT_TRUE(Enabled(d, CDlgWifi::kRestoreId));
        Click(d, CDlgWifi::kConnectId);
        linktest::RunFor(50);
        EXPECT_FALSE(d.Connected());

        ASSERT_TRUE(module.ListenAgain());
        Click(d, CDlgWifi::kConnectId);
        Click(d, CDlgWifi::kConnectId);  // before the first got an answer
        ASSERT_TRUE(WaitFor([&] { return d.Connected(); }, kWaitMs));
        Tick(d);
        ASSERT_TRUE(WaitForFrames(1));
        EXPECT_EQ(module.Frames(), (std::vector<WifiBytes>{kKeepAlive}))
            << "on the connection that stayed";
    });
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(WifiSetup, RefusedPortShowsNothing) {
    link.wifiModulePort = emu::UnusedLoopbackPort();
    Run(0, [&](CDlgWifi& d) {
        Click(d, CDlgWifi::kConnectId);
        linktest::RunFor(50);
        Tick(d, 5);
        EXPECT_FALSE(d.Connected());
        EXPECT_EQ(d.ItemText(CDlgWifi::kConnectId), "Connect");
        EXPECT_FALSE(Enabled(d, CDlgWifi::kSetApId));
        EXPECT_TRUE(Enabled(d, CDlgWifi::kRestoreId));
    });
    EXPECT_TRUE(prompts.shown().empty());
}

// What the user types, how the checks take it, and the exact frame the
// module gets when they pass. Lengths count the GBK bytes that go out:
// "中" is D6 D0.
TEST_F(WifiSetup, NameAndPasswordLengths) {
    struct Case {
        const char* what;
        int language;
        bool station;
        std::string name, password;
        const char* refusal;  // nullptr: sent
        std::string nameBytes, passwordBytes;
    };
    const std::string zhong = "\xD6\xD0";
    const Case cases[] = {
        {"32-byte name, no terminator", 0, false, std::string(32, 'N'), "12345678", nullptr,
         std::string(32, 'N'), "12345678"},
        {"33-byte name", 0, false, std::string(33, 'N'), "12345678", "Name is too long", {}, {}},
        {"empty name", 0, false, "", "12345678", "Name is empty", {}, {}},
        {"7-byte password",
         0,
         false,
         "Quavix",
         "1234567",
         "Password length at least 8 bytes",
         {},
         {}},
        {"64-byte password", 0, false, "Quavix", std::string(64, 'p'), nullptr, "Quavix",
         std::string(64, 'p')},
        {"65-byte password",
         0,
         false,
         "Quavix",
         std::string(65, 'p'),
         "Password is too long",
         {},
         {}},
        {"empty name before a short password", 1, false, "", "", "名称不能为空", {}, {}},
        {"16 Chinese characters fill the name", 1, false, Repeat("中", 16), "12345678", nullptr,
         Repeat(zhong, 16), "12345678"},
        {"17 Chinese characters are 34 bytes",
         1,
         false,
         Repeat("中", 17),
         "12345678",
         "名称太长",
         {},
         {}},
        {"4 Chinese characters are an 8-byte password", 1, false, "Quavix", Repeat("中", 4),
         nullptr, "Quavix", Repeat(zhong, 4)},
        {"3 Chinese characters are 6 bytes",
         1,
         false,
         "Quavix",
         Repeat("中", 3),
         "密码至少8位",
         {},
         {}},
        // The edits take no character GBK lacks: it would go out as '?'.
        {"a character GBK lacks is not taken", 0, false, "Qu😀avix", "1234ก5678", nullptr, "Quavix",
         "12345678"},
        {"empty station password", 0, true, "home", "", nullptr, "home", ""},
        {"7-byte station password", 0, true, "home", "1234567", nullptr, "home", "1234567"},
        {"65-byte station password", 1, true, "home", std::string(65, 'p'), "密码太长", {}, {}},
        {"empty station name", 0, true, "", "", "Name is empty", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        emu::FakeWifiModule fresh;
        ASSERT_TRUE(fresh.Listen());
        link.wifiModulePort = fresh.Port();
        prompts.Clear();
        const std::uint8_t command = c.station ? 0x02 : 0x01;
        Run(c.language, [&](CDlgWifi& d) {
            Click(d, CDlgWifi::kConnectId);
            ASSERT_TRUE(WaitFor([&] { return d.Connected() && fresh.PeerConnected(); }, kWaitMs));
            const int nameId = c.station ? CDlgWifi::kStaNameEditId : CDlgWifi::kApNameEditId;
            const int passwordId =
                c.station ? CDlgWifi::kStaPasswordEditId : CDlgWifi::kApPasswordEditId;
            if (c.station) {
                // Hidden: no keys reach them.
                Edit(d, nameId)->setText(QString::fromStdString(c.name));
                Edit(d, passwordId)->setText(QString::fromStdString(c.password));
            } else {
                Type(d, nameId, c.name);
                Type(d, passwordId, c.password);
            }
            Click(d, c.station ? CDlgWifi::kSetStaId : CDlgWifi::kSetApId);
            if (c.refusal) {
                ASSERT_EQ(prompts.shown().size(), 1u);
                EXPECT_EQ(prompts.shown()[0].text, c.refusal);
                EXPECT_EQ(prompts.shown()[0].caption, "");
                EXPECT_EQ(prompts.shown()[0].type, platform::MbType::Ok);
                EXPECT_EQ(d.PendingCommand(), 0);
                // Nothing went out: the next frame is the tick's keep-alive.
                Tick(d);
                ASSERT_TRUE(WaitFor([&] { return !fresh.Frames().empty(); }, kWaitMs));
                EXPECT_EQ(fresh.Frames(), (std::vector<WifiBytes>{kKeepAlive}));
                return;
            }
            EXPECT_EQ(d.PendingCommand(), command);
            ASSERT_TRUE(WaitFor([&] { return !fresh.Frames().empty(); }, kWaitMs));
            EXPECT_EQ(
                fresh.Frames(),
                (std::vector<WifiBytes>{WifiSettingLayout(command, c.nameBytes, c.passwordBytes)}));
        });
    }
}

// The module's reply is shown for either setting (a refused access point
// too); only the reply to the pending setting counts.
TEST_F(WifiSetup, ReplyTexts) {
    struct Case {
        bool station;
        std::uint8_t status;
        int language;
        const char* text;
    };
    const Case cases[] = {
        {true, 1, 0, "OK"},        {true, 0, 0, "Setting error"}, {true, 1, 1, "设置成功"},
        {true, 7, 1, "设置失败"},  {false, 1, 0, "OK"},           {false, 0, 0, "Setting error"},
        {false, 2, 1, "设置失败"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.station ? "STA " : "AP ") + std::to_string(c.status) + " " +
                     std::to_string(c.language));
        prompts.Clear();
        module.Script({{WifiAnswer::kStatus, c.status}});
        Run(c.language, [&](CDlgWifi& d) {
            Connect(d);
            const int nameId = c.station ? CDlgWifi::kStaNameEditId : CDlgWifi::kApNameEditId;
            const int passwordId =
                c.station ? CDlgWifi::kStaPasswordEditId : CDlgWifi::kApPasswordEditId;
            Edit(d, nameId)->setText("Quavix");
            Edit(d, passwordId)->setText("12345678");
            Click(d, c.station ? CDlgWifi::kSetStaId : CDlgWifi::kSetApId);
            ASSERT_TRUE(WaitFor([&] { return !prompts.shown().empty(); }, kWaitMs));
            EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{c.text}));
            EXPECT_EQ(prompts.shown()[0].caption, "");
            EXPECT_EQ(d.PendingCommand(), 0);
        });
    }
}

// Anything but exactly three bytes beginning 0x55 and naming the pending
// setting, in one read, is no reply: it shows nothing and leaves the setting
// pending, but it is data, so the silence starts over.
TEST_F(WifiSetup, WhatIsNoReplyOnlyResetsTheSilence) {
    struct Case {
        const char* what;
        WifiAnswer answer;
        WifiBytes later;  // written after the answer
    };
    const Case cases[] = {
        {"four bytes beginning 0x55", {WifiAnswer::kFourBytes, 1}, {}},
        {"a reply split over two reads", {WifiAnswer::kSplit, 1}, {}},
        {"a reply to the other setting", {WifiAnswer::kSilence}, {0x55, 0x02, 0x01}},
        {"two bytes", {WifiAnswer::kSilence}, {0x55, 0x01}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        module.SetAnswerKeepAlive(false);
        module.Script({c.answer});
        Run(0, [&](CDlgWifi& d) {
            Connect(d);
            Tick(d, 2);
            ASSERT_EQ(d.Silence(), 2);
            Type(d, CDlgWifi::kApNameEditId, "Quavix");
            Type(d, CDlgWifi::kApPasswordEditId, "12345678");
            Click(d, CDlgWifi::kSetApId);
            if (!c.later.empty()) {
                ASSERT_TRUE(WaitForFrames(3));
                module.Write(c.later);
            }
            ASSERT_TRUE(WaitFor([&] { return d.Silence() == 0; }, kWaitMs));
            if (c.answer.kind == WifiAnswer::kSplit) {
                Tick(d);
                ASSERT_EQ(d.Silence(), 1);
                module.ReleaseHeld();
                ASSERT_TRUE(WaitFor([&] { return d.Silence() == 0; }, kWaitMs));
            }
            QCoreApplication::processEvents();
            EXPECT_EQ(d.PendingCommand(), 0x01);
            EXPECT_TRUE(d.Connected());
        });
        EXPECT_TRUE(prompts.shown().empty());
    }
}

TEST_F(WifiSetup, RestoreAsksThenPostsOneAndClosingAlwaysPostsZero) {
    struct Case {
        int language;
        int answer;
        const char* question;
        std::vector<std::pair<unsigned, LPARAM>> posted;
    };
    const Case cases[] = {
        {0, IDYES, "Confirm restore Wifi?", {{kWifiModuleCommand, 1}, {kWifiModuleCommand, 0}}},
        {1, IDYES, "确定恢复出厂设置?", {{kWifiModuleCommand, 1}, {kWifiModuleCommand, 0}}},
        {0, IDNO, "Confirm restore Wifi?", {{kWifiModuleCommand, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.question);
        owner.commands.clear();
        prompts.Clear();
        prompts.Answer(c.answer);
        Run(c.language, [&](CDlgWifi& d) {
            Click(d, CDlgWifi::kRestoreId);
            ASSERT_EQ(prompts.shown().size(), 1u);
            EXPECT_EQ(prompts.shown()[0].text, c.question);
            EXPECT_EQ(prompts.shown()[0].caption, "");
            EXPECT_EQ(prompts.shown()[0].type, platform::MbType::YesNo);
        });
        EXPECT_EQ(owner.commands, c.posted);
        EXPECT_EQ(module.Accepted(), 0) << "the module's connection is not used";
    }
    owner.commands.clear();
    Run(0, [](CDlgWifi&) {});
    EXPECT_EQ(owner.commands, (std::vector<std::pair<unsigned, LPARAM>>{{kWifiModuleCommand, 0}}));
}

// The restore travels over the main window's link: with that link closed it
// is refused at once, whether or not the module is connected, and no question
// is asked that no answer could act on. Only the close is posted.
TEST_F(WifiSetup, RestoreWithTheMainLinkClosedSaysSoAndPostsNothing) {
    struct Case {
        const char* what;
        int language;
        bool linkAtOpen;  // closes before the press either way
        bool moduleConnected;
        const char* text;
    };
    const Case cases[] = {
        {"closed from the start", 0, false, false, "Not connected to the equipment"},
        {"closed, module connected", 1, false, true, "未连接设备"},
        {"closed while the set-up is open", 0, true, true, "Not connected to the equipment"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        owner.commands.clear();
        prompts.Clear();
        mainLinkConnected = c.linkAtOpen;
        Run(c.language, [&](CDlgWifi& d) {
            if (c.moduleConnected) Connect(d);
            mainLinkConnected = false;
            Click(d, CDlgWifi::kRestoreId);
            ASSERT_EQ(prompts.shown().size(), 1u);
            EXPECT_EQ(prompts.shown()[0].text, c.text);
            EXPECT_EQ(prompts.shown()[0].caption, "");
            EXPECT_EQ(prompts.shown()[0].type, platform::MbType::Ok);
            EXPECT_EQ(d.Connected(), c.moduleConnected);
        });
        EXPECT_EQ(owner.commands,
                  (std::vector<std::pair<unsigned, LPARAM>>{{kWifiModuleCommand, 0}}));
    }
}

// The system page's WiFi button, shown by its access code.
QAbstractButton* ShowWifiButton(CQuavixDlg& main) {
    main.SelectPage(kPageSys);
    auto* sys = static_cast<CDlgSys*>(main.Page(kTableSys));
    auto* code = sys->ControlAs<QLineEdit>(CDlgSys::kLockNewPasswordEditId);
    code->setFocus();
    QTest::keyClicks(code, QString::fromStdString(AccessCodeText(AccessCode::kWifi)));
    return sys->ControlAs<QAbstractButton>(CDlgSys::kWifiId);
}

// The main window connected over WiFi to the device emulator, with the
// WiFi module's set-up port at a fake module.
class WifiSetupOnTheUnit : public ::testing::Test {
protected:
    void SetUp() override { Connect(); }
    void Connect() {
        platform::WriteSettingInt(kLangSettingName, 0);
        ASSERT_TRUE(server.Listen());
        ASSERT_TRUE(module.Listen());
        main = testsupport::StartMainOnEmulator(folder, server, module.Port());
        main->show();
        main->ControlAs<CMyBtn>(1818)->click();  // WIFI
        main->ControlAs<CMyBtn>(1001)->click();  // Connect
        ASSERT_TRUE(WaitFor([&] { return main->ItemText(1002) == "OK"; }, 10000))
            << main->ItemText(1002);
    }

    QTemporaryDir folder;
    emu::DeviceEmulator device;
    emu::EmulatorTcpServer server{device};
    emu::FakeWifiModule module;
    std::unique_ptr<CQuavixDlg> main;
};

// End to end through the main window to the device emulator: the system
// page's WiFi button, shown by its access code, opens the set-up on the main
// window's link settings; the restore request and the close behind it both
// reach the unit, in order, though each has to wait behind a reply the unit
// holds back.
TEST_F(WifiSetupOnTheUnit, RestoreThenCloseBothReachTheUnitInOrder) {
    QAbstractButton* wifiButton = ShowWifiButton(*main);
    ASSERT_TRUE(wifiButton->isVisible());

    emu::Knobs knobs = device.GetKnobs();
    knobs.delayTicks = 10;
    device.SetKnobs(knobs);
    main->PostMessage(WM_SEND_COMMAND, 0x09, 0);  // effect volume: its reply is held back
    platform::MessageQueue::Drain();
    ASSERT_TRUE(main->Link().ReplyPending());

    testsupport::ScriptedPrompts prompts;
    prompts.Answer(IDYES);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CDlgWifi*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        opened = true;
        EXPECT_EQ(dlg->windowTitle(), "WIFI Setting");
        // The module is found where the main window's settings say.
        QTest::mouseClick(dlg->ControlAs<QPushButton>(CDlgWifi::kConnectId), Qt::LeftButton);
        EXPECT_TRUE(WaitFor([&] { return dlg->Connected() && module.PeerConnected(); }, kWaitMs));
        QTest::mouseClick(dlg->ControlAs<QPushButton>(CDlgWifi::kRestoreId), Qt::LeftButton);
        platform::MessageQueue::Drain();
        EXPECT_TRUE(main->Link().ReplyPending()) << "the restore request waits";
        dlg->close();
    });
    QTest::mouseClick(wifiButton, Qt::LeftButton);
    ASSERT_TRUE(opened);

    ASSERT_TRUE(WaitFor([&] { return device.CountOf(kWifiModuleCommand) == 2; }, kWaitMs));
    std::vector<emu::Bytes> sent;
    for (const emu::Command& c : device.Requests())
        if (c.code == kWifiModuleCommand) sent.push_back(c.data);
    EXPECT_EQ(sent, (std::vector<emu::Bytes>{{1, 0}, {0, 0}}));
    EXPECT_EQ(device.Overlaps(), 0);
    EXPECT_EQ(device.WrongLengths(), 0);
}

// The main window's own link query reaches the set-up: once its link to
// the unit is closed, the restore is refused and the unit gets nothing.
TEST_F(WifiSetupOnTheUnit, RestoreAfterTheLinkClosedIsRefusedAndNothingReachesTheUnit) {
    main->ControlAs<CMyBtn>(1001)->click();  // Disconnect
    ASSERT_TRUE(WaitFor([&] { return main->ItemText(1002) == "Idle"; }, kWaitMs))
        << main->ItemText(1002);
    QAbstractButton* wifiButton = ShowWifiButton(*main);
    ASSERT_TRUE(wifiButton->isVisible());
    const std::size_t mark = device.Requests().size();

    testsupport::ScriptedPrompts prompts;
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CDlgWifi*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        opened = true;
        QTest::mouseClick(dlg->ControlAs<QPushButton>(CDlgWifi::kConnectId), Qt::LeftButton);
        EXPECT_TRUE(WaitFor([&] { return dlg->Connected() && module.PeerConnected(); }, kWaitMs));
        QTest::mouseClick(dlg->ControlAs<QPushButton>(CDlgWifi::kRestoreId), Qt::LeftButton);
        dlg->close();
    });
    QTest::mouseClick(wifiButton, Qt::LeftButton);
    ASSERT_TRUE(opened);
    platform::MessageQueue::Drain();
    linktest::RunFor(200);

    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, "Not connected to the equipment");
    EXPECT_EQ(prompts.shown()[0].caption, "");
    EXPECT_EQ(prompts.shown()[0].type, platform::MbType::Ok);
    EXPECT_EQ(device.Requests().size(), mark);
    EXPECT_EQ(device.CountOf(kWifiModuleCommand), 0);
}

}  // namespace
