// Modal runs: platform::Dialog::RunModal, EndModal and the close path, and
// the other windows' messages and timers while a run lasts.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/window.h"

namespace {

using Log = std::vector<std::string>;
constexpr unsigned M1 = WM_USER + 1, M2 = WM_USER + 2;
// What a run returns when the watchdog had to end it.
constexpr int kHung = -99;

// Runs d modally; a watchdog ends a run that nothing else ends, so a fault
// fails the test instead of hanging it.
int RunGuarded(platform::Dialog& d, int ms = 5000) {
    QPointer<platform::Dialog> target(&d);
    QTimer dog;
    dog.setSingleShot(true);
    QObject::connect(&dog, &QTimer::timeout, [target] {
        if (target) target->EndModal(kHung);
    });
    dog.start(ms);
    return d.RunModal();
}

// Runs fn from the loop once it runs (the dialog is up by then).
void Soon(std::function<void()> fn) { QTimer::singleShot(0, std::move(fn)); }

template <class Base>
class Logging : public Base {
public:
    Logging(std::string name, Log* log, QWidget* parent = nullptr)
        : Base(parent), name_(std::move(name)), log_(log) {}
    void Handle(unsigned msg, std::function<void()> fn = {}) {
        this->MapMessage(msg, [this, msg, fn](WPARAM, LPARAM) -> LRESULT {
            log_->push_back(name_ + ":" + std::to_string(msg - WM_USER));
            if (fn) fn();
            return 0;
        });
    }
    std::function<void()> onTimer;
    std::function<void()> onClose;
    int ticks = 0;
    int closes = 0;

protected:
    void OnTimer(int) override {
        ++ticks;
        log_->push_back(name_ + ":tick");
        if (onTimer) onTimer();
    }

    std::string name_;
    Log* log_;
};

using LogWindow = Logging<platform::Window>;

class LogDialog : public Logging<platform::Dialog> {
public:
    using Logging::Logging;

protected:
    void OnClose() override {
        ++closes;
        if (onClose)
            onClose();
        else
            Dialog::OnClose();
    }
};

class Modal : public ::testing::Test {
protected:
    void TearDown() override { platform::MessageQueue::Drain(); }
    Log log;
};

TEST_F(Modal, OtherWindowsKeepHandlingMessagesAndTimersWhileADialogRuns) {
    LogWindow a("A", &log), b("B", &log);
    LogDialog d("D", &log);
    int volleys = 0;
    a.Handle(M1, [&] {
        if (++volleys < 50) b.PostMessage(M2);
    });
    b.Handle(M2, [&] { a.PostMessage(M1); });
    a.onTimer = [&] {
        if (a.ticks == 1) a.PostMessage(M1);
        if (a.ticks >= 5 && volleys >= 50) d.EndModal(IDOK);
    };
    a.SetTimer(1, 2);
    EXPECT_EQ(RunGuarded(d), IDOK);
    EXPECT_FALSE(d.isVisible());
    EXPECT_FALSE(d.IsModalRunning());
    EXPECT_EQ(volleys, 50);
}

// A dialog run from inside a tick: the ticking window's own timer must keep
// going, in this run and in one nested inside it.
TEST_F(Modal, TicksKeepComingInsideNestedRuns) {
    LogWindow w("W", &log), other("X", &log);
    LogDialog outer("D1", &log), inner("D2", &log);
    std::vector<int> results;
    int ticksInInner = 0, otherTicksInInner = 0;
    w.onTimer = [&] {
        const int n = w.ticks;
        if (inner.IsModalRunning()) ++ticksInInner;
        if (n == 1) results.push_back(RunGuarded(outer));
        if (n == 3) outer.PostMessage(M1);
        if (n == 8) inner.EndModal(2);
        if (n == 12) outer.EndModal(1);
    };
    other.onTimer = [&] {
        if (inner.IsModalRunning()) ++otherTicksInInner;
    };
    outer.Handle(M1, [&] { results.push_back(RunGuarded(inner)); });
    w.SetTimer(1, 2);
    other.SetTimer(1, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return results.size() == 2; }, 15000));
    w.KillTimer(1);
    other.KillTimer(1);
    EXPECT_EQ(results, (std::vector<int>{2, 1}));
    EXPECT_GE(ticksInInner, 4);
    EXPECT_GT(otherTicksInInner, 0);
}

TEST_F(Modal, EndingTheOuterRunWaitsForTheInnerOne) {
    LogDialog outer("D1", &log), inner("D2", &log);
    int innerResult = 0;
    outer.Handle(M1, [&] {
        innerResult = RunGuarded(inner);
        log.push_back("inner returned");
    });
    Soon([&] { outer.PostMessage(M1); });
    QTimer::singleShot(30, [&] {
        outer.EndModal(1);
        log.push_back("outer ended");
        EXPECT_FALSE(outer.isVisible());
        QTimer::singleShot(30, [&] { inner.EndModal(2); });
    });
    EXPECT_EQ(RunGuarded(outer), 1);
    EXPECT_EQ(innerResult, 2);
    EXPECT_EQ(log, (Log{"D1:1", "outer ended", "inner returned"}));
}

// The close box, close() and a posted WM_CLOSE take the one close path.
TEST_F(Modal, EveryWayOfClosingRunsOnClose) {
    enum class How { CloseBox, Close, PostedClose };
    const struct {
        const char* name;
        How how;
        std::optional<int> endWith;  // nullopt: the default OnClose
        int expected;
    } cases[] = {
        {"close box", How::CloseBox, 42, 42},
        {"close()", How::Close, 42, 42},
        {"WM_CLOSE", How::PostedClose, 42, 42},
        {"close box, default", How::CloseBox, std::nullopt, IDCANCEL},
        {"close(), default", How::Close, std::nullopt, IDCANCEL},
        {"WM_CLOSE, default", How::PostedClose, std::nullopt, IDCANCEL},
    };
    for (const auto& c : cases) {
        LogDialog d("D", &log);
        if (c.endWith) d.onClose = [&d, code = *c.endWith] { d.EndModal(code); };
        Soon([&] {
            switch (c.how) {
                case How::CloseBox:
                    ASSERT_NE(d.windowHandle(), nullptr);
                    d.windowHandle()->close();
                    break;
                case How::Close:
                    d.close();
                    break;
                case How::PostedClose:
                    d.PostMessage(WM_CLOSE);
                    break;
            }
        });
        EXPECT_EQ(RunGuarded(d), c.expected) << c.name;
        EXPECT_EQ(d.closes, 1) << c.name;
        EXPECT_FALSE(d.isVisible()) << c.name;
    }
}

TEST_F(Modal, EnterAndEscapeNeitherCloseTheDialogNorItsPage) {
    LogDialog d("D", &log);
    auto* page = new LogWindow("P", &log, &d);
    auto* edit = new QLineEdit(page);
    page->AddControl(1, edit);
    d.AddControl(2, page);
    Soon([&] {
        for (QWidget* target : std::initializer_list<QWidget*>{&d, page, edit}) {
            for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
                target->setFocus();
                QTest::keyClick(target, Qt::Key(key));
            }
        }
        log.push_back(d.IsModalRunning() && page->isVisible() ? "still up" : "gone");
        d.EndModal(IDOK);
    });
    EXPECT_EQ(RunGuarded(d), IDOK);
    EXPECT_EQ(d.closes, 0);
    EXPECT_EQ(log, (Log{"still up"}));
}

TEST_F(Modal, EndModalFromShowEventEndsTheRunBeforeItsLoop) {
    class EndsOnShow : public platform::Dialog {
    protected:
        void showEvent(QShowEvent*) override { EndModal(5); }
    } d;
    EXPECT_EQ(RunGuarded(d), 5);
    EXPECT_FALSE(d.isVisible());
    EXPECT_FALSE(d.IsModalRunning());
}

TEST_F(Modal, EndModalOutsideARunOrTwiceIsHarmless) {
    LogDialog d("D", &log);
    d.EndModal(5);  // no run yet: nothing to end
    Soon([&] { d.EndModal(9); });
    EXPECT_EQ(RunGuarded(d), 9);

    Soon([&] {
        d.EndModal(3);
        d.EndModal(4);  // the run is already ending with 3
    });
    EXPECT_EQ(RunGuarded(d), 3);

    d.EndModal(4);  // after the run
    d.EndModal(4);
    Soon([&] { d.EndModal(6); });
    EXPECT_EQ(RunGuarded(d), 6);
}

TEST_F(Modal, ASecondRunOfARunningDialogIsRefused) {
    LogDialog d("D", &log);
    int nested = 0;
    Soon([&] {
        nested = d.RunModal();
        d.EndModal(IDOK);
    });
    EXPECT_EQ(RunGuarded(d), IDOK);
    EXPECT_EQ(nested, -1);
}

TEST_F(Modal, ADialogDestroyedDuringItsRunEndsIt) {
    const struct {
        const char* name;
        std::optional<int> endWith;
        int expected;
    } cases[] = {
        {"destroyed", std::nullopt, IDCANCEL},
        {"ended, then destroyed", IDOK, IDOK},
    };
    for (const auto& c : cases) {
        auto* d = new LogDialog("D", &log);
        Soon([&] {
            if (c.endWith) d->EndModal(*c.endWith);
            delete d;
        });
        EXPECT_EQ(RunGuarded(*d), c.expected) << c.name;
    }
}

// Closing a window that still has timers running and messages on their way
// ends it cleanly: nothing of it or its pages runs afterwards.
TEST_F(Modal, ClosingADialogWithTimersAndMessagesPendingEndsCleanly) {
    auto d = std::make_unique<LogDialog>("D", &log);
    auto* page = new LogWindow("P", &log, d.get());
    page->Handle(M1);
    d->Handle(M2);
    d->onTimer = [&] {
        page->PostMessage(M1);
        d->PostMessage(M2);
        if (d->ticks == 5) Soon([&] { d->windowHandle()->close(); });
    };
    page->onTimer = [&] { d->PostMessage(M2); };
    d->SetTimer(1, 1);
    page->SetTimer(1, 1);
    EXPECT_EQ(RunGuarded(*d), IDCANCEL);
    EXPECT_EQ(d->closes, 1);
    page->PostMessage(M1);
    d->PostMessage(M2);
    d.reset();
    EXPECT_EQ(platform::MessageQueue::Pending(), 0u);
    const std::size_t entries = log.size();
    QTest::qWait(50);
    EXPECT_EQ(log.size(), entries);
}

}  // namespace
