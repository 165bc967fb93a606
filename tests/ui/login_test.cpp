// The lock key and admin logins on the system page, typed and clicked as a
// user does, against the emulator: which controls the passwords enable, the
// records the unit receives, and the radios after the unit's answer.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "support/connected_main.h"
#include "support/scripted_prompts.h"
#include "system/dlg_sys.h"

namespace {

using testsupport::Bytes;

constexpr int kSystemPageButton = 1815;
constexpr int kWaitMs = 5000;

class Logins : public ::testing::Test {
protected:
    void SetUp() override {
        emu::HeaderState header;
        header.options = 0x0A;  // the keys unlocked
        header.adminLevel = 1;
        unit.device.SetHeader(header);
        unit.Connect(testsupport::DefaultsBlock());
        if (HasFatalFailure()) return;
        unit.dlg->show();
        QTest::mouseClick(unit.dlg->ControlAs<QAbstractButton>(kSystemPageButton), Qt::LeftButton);
        platform::MessageQueue::Drain();
    }
    CDlgSys& Sys() { return *static_cast<CDlgSys*>(unit.dlg->Page(kTableSys)); }
    ParamImage& Image() { return unit.dlg->Image(); }
    void Type(int id, const char* text) {
        auto* edit = Sys().ControlAs<QLineEdit>(id);
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }
    void Click(int id) { QTest::mouseClick(Sys().ControlAs<QAbstractButton>(id), Qt::LeftButton); }
    bool Enabled(int id) { return Sys().Control(id)->isEnabled(); }
    bool Checked(int id) { return Sys().ControlAs<CMyBtn>(id)->Checked(); }
    void SetLoginScript(std::vector<std::uint8_t> statuses) {
        emu::Knobs knobs = unit.device.GetKnobs();
        knobs.loginScript = std::move(statuses);
        unit.device.SetKnobs(knobs);
    }
    // The one frame an action sent, and the answer's box shown.
    emu::Command OneFrame(std::size_t mark) {
        const std::vector<emu::Command> sent = unit.SettledRequestsSince(mark);
        EXPECT_EQ(sent.size(), 1u);
        linktest::WaitFor([&] { return !prompts.Texts().empty(); }, kWaitMs);
        platform::MessageQueue::Drain();
        return sent.empty() ? emu::Command{} : sent.front();
    }

    testsupport::ScriptedPrompts prompts;
    testsupport::ConnectedMain unit;
};

TEST_F(Logins, PasswordLengthsEnableTheRadiosAndModifyButtons) {
    EXPECT_EQ(Image().KeyLockOn, 0);
    const int all[] = {1812, 1813, 1814, 1815, 1816, 1581, 1589};
    for (int id : all) EXPECT_FALSE(Enabled(id)) << id;
    Type(1579, "12a34");  // the letter is refused
    EXPECT_EQ(Sys().ItemText(1579), "1234");
    EXPECT_TRUE(Enabled(1812));
    EXPECT_TRUE(Enabled(1813));
    EXPECT_FALSE(Enabled(1581));
    Type(1580, "5678");
    EXPECT_TRUE(Enabled(1581));
    Type(1579, "5");  // a fifth digit
    for (int id : {1812, 1813, 1581}) EXPECT_FALSE(Enabled(id)) << id;

    Type(1587, "12345");
    EXPECT_FALSE(Enabled(1815));
    Type(1587, "6");
    for (int id : {1814, 1815, 1816}) EXPECT_TRUE(Enabled(id)) << id;
    Type(1588, "65432x1");
    EXPECT_EQ(Sys().ItemText(1588), "654321");
    EXPECT_TRUE(Enabled(1589));
}

TEST_F(Logins, LockAcceptedThenUnlockRefusedPutsTheRadioBack) {
    Type(1579, "1234");
    std::size_t mark = unit.Mark();
    Click(1813);
    emu::Command lock = OneFrame(mark);
    EXPECT_EQ(lock.code, 0x2B);
    EXPECT_EQ(lock.data, (Bytes{1, 2, 3, 4, 1, 0}));
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"        Modify Lockkey OK        "}));
    EXPECT_EQ(Image().KeyLockConfirmed, 1);
    EXPECT_TRUE(Checked(1813));

    // Lock again: nothing to send, the radio stays.
    mark = unit.Mark();
    Click(1813);
    linktest::RunFor(200);
    EXPECT_TRUE(unit.RequestsSince(mark).empty());

    SetLoginScript({0});
    prompts.Clear();
    mark = unit.Mark();
    Click(1812);
    EXPECT_EQ(OneFrame(mark).data, (Bytes{1, 2, 3, 4, 0, 0}));
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"        Password error        "}));
    EXPECT_EQ(Image().KeyLockOn, 1);
    EXPECT_TRUE(Checked(1813));
    EXPECT_FALSE(Checked(1812));
}

TEST_F(Logins, AdminLevelIsKeptOnlyWhenTheUnitAccepts) {
    struct Case {
        const char* what;
        std::uint8_t status;
        const char* box;
        int level;  // the level after the answer
        int checkedId;
    };
    const Case cases[] = {
        {"refused", 0, "        Password error        ", 1, 1815},
        {"accepted", 1, "        Modify Admin mode OK        ", 0, 1814},
    };
    Type(1587, "135790");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetLoginScript({c.status});
        prompts.Clear();
        const std::size_t mark = unit.Mark();
        Click(1814);  // User
        const emu::Command level = OneFrame(mark);
        EXPECT_EQ(level.code, 0x2D);
        EXPECT_EQ(level.data, (Bytes{1, 3, 5, 7, 9, 0, 0, 0}));
        EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{c.box}));
        EXPECT_EQ(Image().AdminMode, c.level);
        EXPECT_EQ(Image().AdminModeConfirmed, c.level);
        for (int id : {1814, 1815, 1816}) EXPECT_EQ(Checked(id), id == c.checkedId) << id;
    }
}

TEST_F(Logins, PasswordChangesSendOldAndNewDigits) {
    Type(1579, "1234");
    Type(1580, "5678");
    std::size_t mark = unit.Mark();
    Click(1581);
    const emu::Command lock = OneFrame(mark);
    EXPECT_EQ(lock.code, 0x2C);
    EXPECT_EQ(lock.data, (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 0}));

    Type(1587, "000111");
    Type(1588, "999888");
    prompts.Clear();
    mark = unit.Mark();
    Click(1589);
    const emu::Command admin = OneFrame(mark);
    EXPECT_EQ(admin.code, 0x2E);
    EXPECT_EQ(admin.data, (Bytes{0, 0, 0, 1, 1, 1, 9, 9, 9, 8, 8, 8, 0}));
    EXPECT_EQ(prompts.Texts(),
              (std::vector<std::string>{"        Modify admin password OK        "}));
}

// Both password changes asked for while the unit has yet to answer a
// volume change: neither takes the other's place, each gets its answer box.
TEST_F(Logins, TwoPasswordChangesWhileAReplyIsDueAreBothAnswered) {
    Type(1579, "1234");
    Type(1580, "5678");
    Type(1587, "000111");
    Type(1588, "999888");
    emu::Knobs knobs = unit.device.GetKnobs();
    knobs.delayTicks = 10;
    unit.device.SetKnobs(knobs);
    const std::size_t mark = unit.Mark();
    testsupport::SliderKey(*unit.dlg, 1003, Qt::Key_Down);
    Click(1581);
    Click(1589);
    ASSERT_TRUE(linktest::WaitFor([&] { return prompts.Texts().size() == 2; }, kWaitMs));
    platform::MessageQueue::Drain();
    const std::vector<emu::Command> sent = unit.SettledRequestsSince(mark);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].code, 0x02);
    EXPECT_EQ(sent[1].code, 0x2C);
    EXPECT_EQ(sent[1].data, (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 0}));
    EXPECT_EQ(sent[2].code, 0x2E);
    EXPECT_EQ(sent[2].data, (Bytes{0, 0, 0, 1, 1, 1, 9, 9, 9, 8, 8, 8, 0}));
    EXPECT_EQ(prompts.Texts(),
              (std::vector<std::string>{"        Modify lockkey password OK        ",
                                        "        Modify admin password OK        "}));
    EXPECT_EQ(unit.device.Overlaps(), 0);
}

// Lock, then Unlock before the unit has answered the Lock: each answer
// confirms the state its own request carried, and the radio ends where the
// unit's key lock is. Also when the user reads the first answer's box a
// while: the second answer is then handled inside that box's loop, before
// the first one's box has closed.
TEST_F(Logins, TwoPicksBeforeTheFirstAnswerEndWhereTheUnitIs) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> statuses;
        std::vector<std::string> boxes;
        int keyLock;
    };
    const std::string ok = "        Modify Lockkey OK        ";
    const std::string error = "        Password error        ";
    const Case cases[] = {
        {"both accepted", {1, 1}, {ok, ok}, 0},
        {"the unlock refused", {1, 0}, {ok, error}, 1},
        {"the lock refused", {0, 1}, {error, ok}, 0},
    };
    Type(1579, "2468");
    for (const bool reading : {false, true})
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            SCOPED_TRACE(reading ? "each box read a while" : "each box closed at once");
            prompts.WhileShown([reading](const testsupport::ScriptedPrompts::Shown&) {
                if (reading) linktest::RunFor(500);
            });
            SetLoginScript(c.statuses);
            emu::Knobs knobs = unit.device.GetKnobs();
            knobs.delayTicks = 10;
            unit.device.SetKnobs(knobs);
            prompts.Clear();
            const std::size_t mark = unit.Mark();
            Click(1813);
            platform::MessageQueue::Drain();
            Click(1812);
            platform::MessageQueue::Drain();
            ASSERT_TRUE(linktest::WaitFor([&] { return prompts.Texts().size() == 2; }, kWaitMs));
            platform::MessageQueue::Drain();
            const std::vector<emu::Command> sent = unit.SettledRequestsSince(mark);
            ASSERT_EQ(sent.size(), 2u);
            EXPECT_EQ(sent[0].data, (Bytes{2, 4, 6, 8, 1, 0}));
            EXPECT_EQ(sent[1].data, (Bytes{2, 4, 6, 8, 0, 0}));
            EXPECT_EQ(prompts.Texts(), c.boxes);
            EXPECT_EQ(Image().KeyLockOn, c.keyLock);
            EXPECT_EQ(Image().KeyLockConfirmed, c.keyLock);
            EXPECT_EQ(Checked(1813), c.keyLock == 1);
            EXPECT_EQ(Checked(1812), c.keyLock == 0);
            // Back to unlocked for the next case, as the unit is told.
            if (Image().KeyLockOn != 0) {
                SetLoginScript({1});
                prompts.Clear();
                Click(1812);
                ASSERT_TRUE(linktest::WaitFor([&] { return !prompts.Texts().empty(); }, kWaitMs));
                platform::MessageQueue::Drain();
            }
        }
}

// A pick that never reaches the unit leaves nothing to wait for: the value
// and the radio go back to what the unit last confirmed.
TEST_F(Logins, APickThatNeverReachesTheUnitPutsTheRadioBack) {
    Type(1579, "1234");
    Type(1587, "123456");
    emu::Knobs knobs = unit.device.GetKnobs();
    knobs.silentCodes = {0x2B, 0x2D};  // the answers never come
    unit.device.SetKnobs(knobs);
    Click(1813);
    Click(1814);
    linktest::RunFor(200);
    EXPECT_EQ(Image().KeyLockOn, 1);
    EXPECT_TRUE(Checked(1813));
    EXPECT_TRUE(Checked(1814));

    // The link closes before the answers.
    QTest::mouseClick(unit.dlg->ControlAs<QAbstractButton>(1001), Qt::LeftButton);
    platform::MessageQueue::Drain();
    EXPECT_EQ(Image().KeyLockOn, 0);
    EXPECT_EQ(Image().AdminMode, 1);
    EXPECT_TRUE(Checked(1812));
    EXPECT_TRUE(Checked(1815));

    // Picked while not connected: nothing goes, nothing stays picked.
    const std::size_t mark = unit.Mark();
    Click(1813);
    Click(1816);
    platform::MessageQueue::Drain();
    EXPECT_EQ(Image().KeyLockOn, 0);
    EXPECT_EQ(Image().AdminMode, 1);
    EXPECT_TRUE(Checked(1812));
    EXPECT_TRUE(Checked(1815));
    EXPECT_FALSE(Checked(1816));
    EXPECT_TRUE(prompts.Texts().empty());
    linktest::RunFor(200);
    EXPECT_TRUE(unit.RequestsSince(mark).empty());
}

// The lock radios show the unit's lock state while a link is open and
// unlocked once it closes, as KeyLockOn then reads.
TEST_F(Logins, TheLockRadiosFollowTheLinkOfALockedUnit) {
    auto connectButton = [&] {
        QTest::mouseClick(unit.dlg->ControlAs<QAbstractButton>(1001), Qt::LeftButton);
    };
    auto expectLock = [&](int locked) {
        EXPECT_EQ(Image().KeyLockOn, locked);
        EXPECT_EQ(Checked(1813), locked == 1);
        EXPECT_EQ(Checked(1812), locked == 0);
    };
    emu::HeaderState header;
    header.options = 0x0B;  // the keys locked
    header.adminLevel = 1;
    unit.device.SetHeader(header);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        connectButton();  // disconnect
        platform::MessageQueue::Drain();
        expectLock(0);
        connectButton();  // connect to the locked unit
        ASSERT_TRUE(linktest::WaitFor([&] { return unit.dlg->ItemText(1002) == "OK"; }, kWaitMs));
        platform::MessageQueue::Drain();
        expectLock(1);
    }
    connectButton();
    platform::MessageQueue::Drain();
    expectLock(0);
    // Offline a Lock pick sends nothing and the radios stay on Unlock.
    Type(1579, "1234");
    const std::size_t mark = unit.Mark();
    Click(1813);
    platform::MessageQueue::Drain();
    linktest::RunFor(200);
    expectLock(0);
    EXPECT_TRUE(unit.RequestsSince(mark).empty());
    EXPECT_TRUE(prompts.Texts().empty());
}

// The password edits take digits only, typed or pasted.
TEST_F(Logins, PasswordEditsTakeOnlyDigitsTypedOrPasted) {
    for (int id : {1579, 1587, 1588}) {
        SCOPED_TRACE(id);
        Type(id, "1a2b3");
        EXPECT_EQ(Sys().ItemText(id), "123");
        // As a paste does: a letter or a digit of another script refuses
        // the whole paste.
        Sys().ControlAs<QLineEdit>(id)->insert("4x5");
        Sys().ControlAs<QLineEdit>(id)->insert(QString::fromUtf8("４"));
        EXPECT_EQ(Sys().ItemText(id), "123");
        Sys().ControlAs<QLineEdit>(id)->insert("45");
        EXPECT_EQ(Sys().ItemText(id), "12345");
    }
}

// Whatever reached a password edit another way is checked again before a
// record is filled: a letter sends nothing, and the picked radio goes back.
TEST_F(Logins, ALetterThatReachedAPasswordEditSendsNothing) {
    Type(1579, "1234");
    Type(1580, "5678");
    Type(1587, "123456");
    Type(1588, "654321");
    for (int id : {1812, 1813, 1814, 1815, 1581, 1589}) ASSERT_TRUE(Enabled(id)) << id;
    struct Case {
        int edit;
        const char* text;
        int clicked;
    };
    const Case cases[] = {
        {1579, "12a4", 1813},    // lock
        {1579, "12a4", 1581},    // lock password, the old one
        {1587, "12345x", 1814},  // admin level
        {1587, "12345x", 1589},  // admin password, the old one
        {1588, "6543x1", 1589},  // admin password, the new one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clicked);
        auto* edit = Sys().ControlAs<QLineEdit>(c.edit);
        const QString kept = edit->text();
        edit->setText(QString::fromUtf8(c.text));
        const std::size_t mark = unit.Mark();
        Click(c.clicked);
        linktest::RunFor(200);
        EXPECT_TRUE(unit.RequestsSince(mark).empty());
        EXPECT_TRUE(prompts.Texts().empty());
        EXPECT_EQ(Image().KeyLockOn, 0);
        EXPECT_EQ(Image().AdminMode, 1);
        EXPECT_TRUE(Checked(1812));
        EXPECT_FALSE(Checked(1813));
        EXPECT_TRUE(Checked(1815));
        EXPECT_FALSE(Checked(1814));
        edit->setText(kept);
    }
}

TEST_F(Logins, ANewLockPasswordWithALetterIsRefusedOnThePage) {
    Type(1579, "1234");
    Type(1580, "12a4");
    const std::size_t mark = unit.Mark();
    Click(1581);
    linktest::RunFor(200);
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"密码必须是数字"}));
    EXPECT_TRUE(unit.RequestsSince(mark).empty());
}

}  // namespace

namespace {

// A level still waiting for the unit's answer gates nothing: storing a user
// mode needs the level the unit confirmed.
TEST_F(Logins, StoringChecksTheConfirmedLevel) {
    Image().AdminMode = 1;
    Image().AdminModeConfirmed = 0;
    const std::size_t mark = unit.Mark();
    Click(CDlgSys::kSaveId);
    linktest::RunFor(200);
    EXPECT_EQ(prompts.Texts().size(), 1u);
    EXPECT_TRUE(unit.RequestsSince(mark).empty());
}

}  // namespace
