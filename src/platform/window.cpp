#include "platform/window.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <deque>

namespace platform {

namespace {

// A posted message, or a due timer tick (isTick, timerId): ticks wait in the
// same queue, so every message posted before a tick came due is handled first.
struct Posted {
    QPointer<Window> target;
    unsigned msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool isTick = false;
    int timerId = 0;
};

// One queue for every window, like a Windows thread's queue: messages keep
// their order across windows. Only the UI thread touches it. It is drained
// from a posted event, never from inside a timer's own signal: Qt does not
// fire a timer again while its timeout is being handled, so a modal loop run
// from there would stop that timer for as long as the loop runs.
class Queue : public QObject {
public:
    std::deque<Posted> items;
    bool scheduled = false;

    void Push(Posted p) {
        items.push_back(std::move(p));
        Schedule();
    }
    void Schedule() {
        if (scheduled) return;
        scheduled = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                scheduled = false;
                MessageQueue::Drain();
            },
            Qt::QueuedConnection);
    }
};

Queue& TheQueue() {
    static Queue* q = new Queue;  // lives for the process; windows may post during exit
    return *q;
}

}  // namespace

void MessageQueue::Drain() {
    Queue& q = TheQueue();
    // Pop one at a time: a handler may run a modal loop that drains the queue
    // further, and its posts join the end of the same queue.
    while (!q.items.empty()) {
        Posted p = std::move(q.items.front());
        q.items.pop_front();
        if (!p.target) continue;
        if (p.isTick)
            p.target->DeliverTick(p.timerId);
        else
            p.target->Dispatch(p.msg, p.wParam, p.lParam);
    }
}

std::size_t MessageQueue::Pending() {
    const auto& items = TheQueue().items;
    return std::count_if(items.begin(), items.end(),
                         [](const Posted& p) { return !p.isTick && p.target; });
}

Window::Window(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }

Window::~Window() {
    for (auto& [id, t] : timers_) t.timer->stop();
}

void Window::PostMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
    TheQueue().Push(Posted{this, msg, wParam, lParam});
}

LRESULT Window::SendMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
    return Dispatch(msg, wParam, lParam);
}

LRESULT Window::Dispatch(unsigned msg, WPARAM wParam, LPARAM lParam) {
    auto it = handlers_.find(msg);
    if (it == handlers_.end()) return 0;
    return it->second(wParam, lParam);
}

void Window::MapMessage(unsigned msg, Handler handler) { handlers_[msg] = std::move(handler); }

void Window::SetTimer(int id, int intervalMs) {
    Timer& t = timers_[id];
    if (!t.timer) {
        t.timer = new QTimer(this);
        t.timer->setTimerType(Qt::PreciseTimer);
        connect(t.timer, &QTimer::timeout, this, [this, id] {
            auto it = timers_.find(id);
            if (it == timers_.end() || it->second.tickQueued) return;
            it->second.tickQueued = true;
            Posted tick;
            tick.target = this;
            tick.isTick = true;
            tick.timerId = id;
            TheQueue().Push(std::move(tick));
        });
    }
    t.timer->start(intervalMs);
}

void Window::DeliverTick(int id) {
    // A tick queued before the timer was killed (or killed and set again)
    // belongs to a timer that is gone.
    auto it = timers_.find(id);
    if (it == timers_.end() || !it->second.tickQueued) return;
    it->second.tickQueued = false;
    OnTimer(id);
}

void Window::KillTimer(int id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second.timer->stop();
    it->second.timer->deleteLater();
    timers_.erase(it);
}

bool Window::HasTimer(int id) const { return timers_.count(id) != 0; }

void Window::OnTimer(int) {}

void Window::AddControl(int id, QWidget* control) {
    controls_[id] = control;
    // Enter and Escape are swallowed on every control of a page or dialog.
    control->installEventFilter(this);
}

QWidget* Window::Control(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

int Window::ControlId(const QWidget* control) const {
    for (const auto& [id, widget] : controls_)
        if (widget && widget == control) return id;
    return -1;
}

void Window::SetItemText(int id, const std::string& utf8) {
    QWidget* w = Control(id);
    const QString text = QString::fromStdString(utf8);
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(text);
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(text);
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(text);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(text);
    } else if (w) {
        w->setWindowTitle(text);
        w->update();
    }
}

std::string Window::ItemText(int id) const {
    QWidget* w = Control(id);
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text().toStdString();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text().toStdString();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text().toStdString();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title().toStdString();
    if (w) return w->windowTitle().toStdString();
    return {};
}

void Window::ShowItem(int id, bool show) {
    if (QWidget* w = Control(id)) w->setVisible(show);
}

void Window::EnableItem(int id, bool enable) {
    if (QWidget* w = Control(id)) w->setEnabled(enable);
}

bool Window::OnKeyDown(int, const QString&) { return false; }

static bool IsEnterOrEscape(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

// Enter and Escape end here, whether pressed on the window itself or left
// over by one of its controls: a page is a child widget and a dialog closes
// only through its close path, so neither key may close or leave either.
void Window::keyPressEvent(QKeyEvent* event) {
    const bool offered = event == keyOffered_;
    keyOffered_ = nullptr;
    if (IsEnterOrEscape(event->key())) {
        event->accept();
        return;
    }
    if (!offered && OnKeyDown(event->key(), event->text())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool Window::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) keyOffered_ = nullptr;
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // The control handles Enter and Escape first (an edit commits on
        // Enter through returnPressed, a spin box through editingFinished)
        // and passes them up; keyPressEvent swallows them there.
        if (IsEnterOrEscape(key->key())) return false;
        if (OnKeyDown(key->key(), key->text())) return true;
        keyOffered_ = event;
    }
    return QWidget::eventFilter(watched, event);
}

Dialog::Dialog(QWidget* parent) : Window(parent) {
    setWindowFlag(Qt::Dialog, true);
    MapMessage(WM_CLOSE, [this](WPARAM, LPARAM) -> LRESULT {
        OnClose();
        return 0;
    });
}

Dialog::~Dialog() {
    // Destroyed inside its own run: the loop returns the code it was ended
    // with, or IDCANCEL.
    if (loop_) loop_->exit(ending_ ? result_ : IDCANCEL);
}

int Dialog::RunModal() {
    // A second run inside the first would leave the first with no loop to end.
    if (loop_) return -1;
    QEventLoop loop;
    loop_ = &loop;
    result_ = IDCANCEL;
    ending_ = false;
    setWindowModality(Qt::ApplicationModal);
    QPointer<Dialog> self(this);
    show();
    raise();
    activateWindow();
    // QEventLoop::exec forgets an exit() made before it started, so a run
    // ended from showEvent must not enter the loop at all.
    int code = IDCANCEL;
    if (self && !ending_) code = loop.exec();
    if (!self) return code;
    loop_ = nullptr;
    hide();
    return result_;
}

void Dialog::EndModal(int code) {
    if (loop_ && !ending_) {
        ending_ = true;
        result_ = code;
        loop_->exit(code);
    }
    hide();
}

void Dialog::OnClose() { EndModal(IDCANCEL); }

void Dialog::closeEvent(QCloseEvent* event) {
    // The close box takes the same path as a close from code.
    event->ignore();
    OnClose();
}

}  // namespace platform
