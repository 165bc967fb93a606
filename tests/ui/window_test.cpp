#include "platform/window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// A window that logs every message it handles as "name:n" (n = msg - WM_USER)
// and every tick as "name:tick<id>", then runs the test's hook.
class LogWindow : public platform::Window {
public:
    LogWindow(std::string name, Log* log, QWidget* parent = nullptr)
        : Window(parent), name_(std::move(name)), log_(log) {}

    void Handle(unsigned msg, std::function<void(WPARAM, LPARAM)> fn = {}) {
        MapMessage(msg, [this, msg, fn](WPARAM w, LPARAM l) -> LRESULT {
            log_->push_back(name_ + ":" + std::to_string(msg - WM_USER));
            if (fn) fn(w, l);
            return 0;
        });
    }
    std::function<void(int)> onTimer;
    int ticks = 0;

protected:
    void OnTimer(int id) override {
        ++ticks;
        log_->push_back(name_ + ":tick" + std::to_string(id));
        if (onTimer) onTimer(id);
    }

private:
    std::string name_;
    Log* log_;
};

constexpr unsigned M1 = WM_USER + 1, M2 = WM_USER + 2, M3 = WM_USER + 3, M4 = WM_USER + 4;

class PostedMessages : public ::testing::Test {
protected:
    void TearDown() override { platform::MessageQueue::Drain(); }
    Log log;
};

TEST_F(PostedMessages, AreHandledLaterInOneOrderAcrossWindows) {
    LogWindow a("A", &log), b("B", &log);
    for (unsigned m : {M1, M2, M3, M4}) {
        a.Handle(m);
        b.Handle(m);
    }
    a.PostMessage(M1);
    b.PostMessage(M2);
    a.PostMessage(M3);
    b.PostMessage(M4);
    EXPECT_TRUE(log.empty()) << "posting must not handle anything";
    EXPECT_EQ(platform::MessageQueue::Pending(), 4u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.size() == 4; }, 2000));
    EXPECT_EQ(log, (Log{"A:1", "B:2", "A:3", "B:4"}));
    EXPECT_EQ(platform::MessageQueue::Pending(), 0u);
}

TEST_F(PostedMessages, PostedFromAHandlerComeAfterItReturnsAndAfterWhatWasWaiting) {
    LogWindow a("A", &log), b("B", &log);
    a.Handle(M1, [&](WPARAM, LPARAM) {
        a.PostMessage(M2);
        b.PostMessage(M3);
        log.push_back("A:1 done");
    });
    a.Handle(M2);
    b.Handle(M3);
    b.Handle(M4);
    a.PostMessage(M1);
    b.PostMessage(M4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.size() == 5; }, 2000));
    EXPECT_EQ(log, (Log{"A:1", "A:1 done", "B:4", "A:2", "B:3"}));
}

TEST_F(PostedMessages, CarryPointerSizedParametersUnchanged) {
    static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*));
    int record = 0;
    const struct {
        WPARAM w;
        LPARAM l;
    } cases[] = {
        {0, 0},
        {UINTPTR_MAX, INTPTR_MIN},
        {reinterpret_cast<WPARAM>(&record), -1},
        {0x6B, reinterpret_cast<LPARAM>(&record)},
    };
    LogWindow a("A", &log);
    std::vector<std::pair<WPARAM, LPARAM>> got;
    a.Handle(M1, [&](WPARAM w, LPARAM l) { got.emplace_back(w, l); });
    for (const auto& c : cases) a.PostMessage(M1, c.w, c.l);
    platform::MessageQueue::Drain();
    ASSERT_EQ(got.size(), std::size(cases));
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].first, cases[i].w) << i;
        EXPECT_EQ(got[i].second, cases[i].l) << i;
    }
}

TEST_F(PostedMessages, ToAWindowDestroyedBeforeDeliveryAreDropped) {
    LogWindow a("A", &log);
    auto b = std::make_unique<LogWindow>("B", &log);
    auto c = std::make_unique<LogWindow>("C", &log);
    a.Handle(M1, [&](WPARAM, LPARAM) { c.reset(); });  // destroyed by an earlier handler
    a.Handle(M3);
    b->Handle(M2);
    c->Handle(M4);
    a.PostMessage(M1);
    b->PostMessage(M2);
    a.PostMessage(M3);
    c->PostMessage(M4);
    b.reset();
    EXPECT_EQ(platform::MessageQueue::Pending(), 3u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return platform::MessageQueue::Pending() == 0; }, 2000));
    QTest::qWait(20);
    EXPECT_EQ(log, (Log{"A:1", "A:3"}));
}

TEST_F(PostedMessages, SendMessageHandlesAtOnceAndUnmappedMessagesAreIgnored) {
    LogWindow a("A", &log);
    a.Handle(M1);
    a.PostMessage(M1);
    a.PostMessage(M2);  // no handler
    a.Handle(M3);
    EXPECT_EQ(a.SendMessage(M3), 0);
    EXPECT_EQ(log, (Log{"A:3"}));
    EXPECT_EQ(a.SendMessage(M4, 1, 2), 0);
    platform::MessageQueue::Drain();
    EXPECT_EQ(log, (Log{"A:3", "A:1"}));
}

// Timers -------------------------------------------------------------------

class Timers : public ::testing::Test {
protected:
    void TearDown() override { platform::MessageQueue::Drain(); }
    int TicksOf(const std::string& entry) const {
        return static_cast<int>(std::count(log.begin(), log.end(), entry));
    }
    Log log;
};

TEST_F(Timers, TicksArriveByIdUntilKilled) {
    LogWindow w("W", &log);
    w.SetTimer(1, 2);
    w.SetTimer(2, 3);
    EXPECT_TRUE(w.HasTimer(1));
    EXPECT_TRUE(w.HasTimer(2));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return TicksOf("W:tick1") >= 3 && TicksOf("W:tick2") >= 3; }, 3000));
    w.KillTimer(1);
    EXPECT_FALSE(w.HasTimer(1));
    const int ones = TicksOf("W:tick1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return TicksOf("W:tick2") >= 8; }, 3000));
    EXPECT_EQ(TicksOf("W:tick1"), ones);
    EXPECT_EQ(w.ticks, TicksOf("W:tick1") + TicksOf("W:tick2"));
}

TEST_F(Timers, SettingAnExistingIdReplacesItsInterval) {
    LogWindow w("W", &log);
    w.SetTimer(1, 100000);
    w.SetTimer(1, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.ticks >= 3; }, 3000));
    // One timer, not two: a single kill stops every tick.
    w.KillTimer(1);
    QTest::qWait(10);
    const int ticks = w.ticks;
    QTest::qWait(60);
    EXPECT_EQ(w.ticks, ticks);

    w.SetTimer(2, 2);
    w.SetTimer(2, 100000);
    QTest::qWait(100);
    EXPECT_EQ(TicksOf("W:tick2"), 0);
}

TEST_F(Timers, SettingAnExistingIdRestartsItsCountdown) {
    LogWindow w("W", &log);
    w.SetTimer(1, 500);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 800) {
        QTest::qWait(10);
        w.SetTimer(1, 500);
    }
    EXPECT_EQ(w.ticks, 0);
}

TEST_F(Timers, KillingAnUnknownIdDoesNothing) {
    LogWindow w("W", &log);
    w.KillTimer(7);  // never set
    w.SetTimer(1, 2);
    w.KillTimer(7);
    w.KillTimer(2);
    EXPECT_TRUE(w.HasTimer(1));
    EXPECT_FALSE(w.HasTimer(7));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.ticks >= 3; }, 3000));
}

TEST_F(Timers, AKillFromOnTimerEndsTheTicks) {
    LogWindow w("W", &log);
    w.onTimer = [&](int id) { w.KillTimer(id); };
    w.SetTimer(1, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.ticks == 1; }, 3000));
    QTest::qWait(50);
    EXPECT_EQ(w.ticks, 1);
}

// Both timers come due in the same pass, so both ticks are usually queued
// before either is handled: whichever is handled first kills both, and the
// other's queued tick must not arrive.
TEST_F(Timers, ATickQueuedBeforeItsTimerIsKilledIsDropped) {
    for (int round = 0; round < 5; ++round) {
        LogWindow a("A", &log), b("B", &log);
        auto killBoth = [&](int) {
            a.KillTimer(1);
            b.KillTimer(1);
        };
        a.onTimer = killBoth;
        b.onTimer = killBoth;
        a.SetTimer(1, 1);
        b.SetTimer(1, 1);
        QThread::msleep(20);
        ASSERT_TRUE(QTest::qWaitFor([&] { return a.ticks + b.ticks > 0; }, 3000));
        QTest::qWait(20);
        EXPECT_EQ(a.ticks + b.ticks, 1) << "round " << round;
        log.clear();
    }
}

TEST_F(Timers, AWindowDestroyedWithATickQueuedGetsNone) {
    for (int round = 0; round < 5; ++round) {
        LogWindow a("A", &log);
        auto b = std::make_unique<LogWindow>("B", &log);
        auto c = std::make_unique<LogWindow>("C", &log);
        // B is destroyed by a tick, C by a posted message, each with its own
        // tick due.
        a.onTimer = [&](int) { b.reset(); };
        a.Handle(M1, [&](WPARAM, LPARAM) { c.reset(); });
        a.SetTimer(1, 1);
        b->SetTimer(1, 1);
        c->SetTimer(1, 1);
        a.PostMessage(M1);
        QThread::msleep(20);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !b && !c; }, 3000));
        a.KillTimer(1);
        QTest::qWait(10);
        EXPECT_EQ(TicksOf("B:tick1"), 0) << "round " << round;
        EXPECT_EQ(TicksOf("C:tick1"), 0) << "round " << round;
        log.clear();
    }
}

TEST_F(Timers, EveryMessageAlreadyWaitingIsHandledBeforeATick) {
    LogWindow a("A", &log), b("B", &log);
    a.Handle(M1);
    b.Handle(M2);
    a.Handle(M3);
    b.SetTimer(9, 1);
    a.PostMessage(M1);
    b.PostMessage(M2);
    a.PostMessage(M3);
    QThread::msleep(20);  // the tick is due before the loop runs again
    ASSERT_TRUE(QTest::qWaitFor([&] { return b.ticks > 0; }, 3000));
    b.KillTimer(9);
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(Log(log.begin(), log.begin() + 4), (Log{"A:1", "B:2", "A:3", "B:tick9"}));
}

// The link sequencer's pattern: a tick posts a message whose handler posts
// the next; both are handled before the following tick.
TEST_F(Timers, AChainPostedFromATickEndsBeforeTheNextTick) {
    LogWindow main("M", &log), page("P", &log);
    main.onTimer = [&](int) { page.PostMessage(M1); };
    page.Handle(M1, [&](WPARAM, LPARAM) { main.PostMessage(M2); });
    main.Handle(M2);
    main.SetTimer(1, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.ticks >= 10; }, 3000));
    main.KillTimer(1);
    platform::MessageQueue::Drain();
    ASSERT_EQ(log.size() % 3, 0u);
    for (std::size_t i = 0; i < log.size(); i += 3)
        EXPECT_EQ(Log(log.begin() + i, log.begin() + i + 3), (Log{"M:tick1", "P:1", "M:2"})) << i;
}

// Controls by id -------------------------------------------------------------

TEST(WindowControls, FoundByIdAndCaptionedInUtf8) {
    platform::Window w;
    auto* button = new QPushButton(&w);
    auto* check = new QCheckBox(&w);
    auto* label = new QLabel(&w);
    auto* edit = new QLineEdit(&w);
    auto* group = new QGroupBox(&w);
    auto* slider = new QSlider(&w);
    const int ids[] = {1001, 1002, 1003, 1004, 1005, 1006};
    QWidget* controls[] = {button, check, label, edit, group, slider};
    for (int i = 0; i < 6; ++i) w.AddControl(ids[i], controls[i]);

    for (int i = 0; i < 6; ++i) EXPECT_EQ(w.Control(ids[i]), controls[i]) << ids[i];
    EXPECT_EQ(w.ControlAs<QLabel>(1003), label);
    EXPECT_EQ(w.ControlAs<QLabel>(1001), nullptr) << "wrong type";
    EXPECT_EQ(w.Control(999), nullptr);

    const std::string text = "  音乐\t1  ";
    for (int id : ids) {
        w.SetItemText(id, text);
        EXPECT_EQ(w.ItemText(id), text) << id;
    }
    EXPECT_EQ(button->text().toStdString(), text);
    EXPECT_EQ(group->title().toStdString(), text);
    EXPECT_EQ(edit->text().toStdString(), text);

    w.SetItemText(999, "x");  // unknown ids are ignored
    EXPECT_EQ(w.ItemText(999), "");
    w.EnableItem(1001, false);
    EXPECT_FALSE(button->isEnabled());
    w.ShowItem(1002, false);
    EXPECT_TRUE(check->isHidden());
    w.ShowItem(999, true);
    w.EnableItem(999, true);
}

TEST(WindowControls, AControlDestroyedIsNoLongerFound) {
    platform::Window w;
    auto* label = new QLabel(&w);
    w.AddControl(1, label);
    delete label;
    EXPECT_EQ(w.Control(1), nullptr);
    w.SetItemText(1, "x");
    EXPECT_EQ(w.ItemText(1), "");
}

// Enter and Escape ---------------------------------------------------------

// Logs its key-downs; handles the keys in `take`.
class KeyWindow : public platform::Window {
public:
    explicit KeyWindow(QWidget* parent = nullptr) : Window(parent) {}
    std::vector<int> keys;
    std::vector<int> take;

protected:
    bool OnKeyDown(int key, const QString&) override {
        keys.push_back(key);
        return std::find(take.begin(), take.end(), key) != take.end();
    }
};

class EnterAndEscape : public ::testing::Test {
protected:
    void SetUp() override {
        main.resize(400, 300);
        page = new KeyWindow(&main);
        page->resize(300, 200);
        edit = new QLineEdit(page);
        spin = new QSpinBox(page);
        button = new QPushButton("b", page);
        combo = new QComboBox(page);
        combo->addItems({"a", "b"});
        slider = new QSlider(Qt::Horizontal, page);
        check = new QCheckBox(page);
        int id = 2000;
        for (QWidget* c : std::initializer_list<QWidget*>{edit, spin, button, combo, slider, check})
            page->AddControl(id++, c);
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    }
    std::vector<QWidget*> Targets() const {
        return {page, edit, spin, button, combo, slider, check};
    }

    KeyWindow main;
    KeyWindow* page = nullptr;
    QLineEdit* edit = nullptr;
    QSpinBox* spin = nullptr;
    QPushButton* button = nullptr;
    QComboBox* combo = nullptr;
    QSlider* slider = nullptr;
    QCheckBox* check = nullptr;
};

TEST_F(EnterAndEscape, AreSwallowedOnThePageAndOnEachControl) {
    QSignalSpy clicked(button, &QPushButton::clicked);
    QSignalSpy toggled(check, &QCheckBox::toggled);
    for (QWidget* target : Targets()) {
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            target->setFocus();
            QTest::keyClick(target, Qt::Key(key));
        }
    }
    EXPECT_TRUE(page->keys.empty()) << "OnKeyDown saw " << page->keys.front();
    EXPECT_TRUE(main.keys.empty()) << "a key left the page";
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(toggled.count(), 0);
}

TEST_F(EnterAndEscape, AnEditCommitsOnEnterOnly) {
    QSignalSpy returned(edit, &QLineEdit::returnPressed);
    QSignalSpy finished(edit, &QLineEdit::editingFinished);
    edit->setFocus();
    QTest::keyClicks(edit, "12");
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(returned.count(), 0) << "Escape must not commit";
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(returned.count(), 1);
    EXPECT_EQ(finished.count(), 1);
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_EQ(returned.count(), 2);
    EXPECT_EQ(edit->text(), "12");
}

TEST_F(EnterAndEscape, ASpinBoxCommitsOnEnter) {
    spin->setRange(0, 100);
    spin->setKeyboardTracking(false);
    QSignalSpy changed(spin, &QSpinBox::valueChanged);
    QSignalSpy finished(spin, &QSpinBox::editingFinished);
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, "42");
    EXPECT_EQ(changed.count(), 0);
    QTest::keyClick(spin, Qt::Key_Return);
    EXPECT_EQ(spin->value(), 42);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_GE(finished.count(), 1);
}

TEST_F(EnterAndEscape, OtherKeysReachOnKeyDownOnceAndHandledOnesGoNoFurther) {
    page->take = {Qt::Key_A};
    // On a control that ignores the key it bubbles up: the page sees it
    // once, and the main window behind it sees what the page left.
    button->setFocus();
    QTest::keyClick(button, Qt::Key_X);
    EXPECT_EQ(page->keys, (std::vector<int>{Qt::Key_X}));
    EXPECT_EQ(main.keys, (std::vector<int>{Qt::Key_X}));
    // A key the page handles never reaches the control.
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_EQ(edit->text(), "");
    // One it leaves does, and the edit keeps it.
    QTest::keyClick(edit, Qt::Key_B);
    EXPECT_EQ(edit->text(), "b");
    EXPECT_EQ(page->keys, (std::vector<int>{Qt::Key_X, Qt::Key_A, Qt::Key_B}));
    EXPECT_EQ(main.keys, (std::vector<int>{Qt::Key_X}));
    // On the page itself.
    page->setFocus();
    QTest::keyClick(page, Qt::Key_A);
    QTest::keyClick(page, Qt::Key_Z);
    EXPECT_EQ(page->keys,
              (std::vector<int>{Qt::Key_X, Qt::Key_A, Qt::Key_B, Qt::Key_A, Qt::Key_Z}));
    EXPECT_EQ(main.keys, (std::vector<int>{Qt::Key_X, Qt::Key_Z}));
}

}  // namespace
