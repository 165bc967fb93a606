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
#include <deque>

namespace platform {

namespace {

struct Posted {
    QPointer<Window> target;
    unsigned msg;
    WPARAM wParam;
    LPARAM lParam;
};

// One queue for every window, as the original's thread queue: messages keep
// their order across windows. Only the UI thread touches it.
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
        if (p.target) p.target->Dispatch(p.msg, p.wParam, p.lParam);
    }
}

std::size_t MessageQueue::Pending() { return TheQueue().items.size(); }

Window::Window(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }

Window::~Window() {
    for (auto& [id, t] : timers_) t->stop();
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
    QTimer*& t = timers_[id];
    if (!t) {
        t = new QTimer(this);
        t->setTimerType(Qt::PreciseTimer);
        connect(t, &QTimer::timeout, this, [this, id] {
            // Every message already posted is handled before any tick.
            MessageQueue::Drain();
            if (HasTimer(id)) OnTimer(id);
        });
    }
    t->start(intervalMs);
}

void Window::KillTimer(int id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second->stop();
    it->second->deleteLater();
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

void Window::keyPressEvent(QKeyEvent* event) {
    if (IsEnterOrEscape(event->key())) {
        event->accept();
        return;
    }
    if (OnKeyDown(event->key(), event->text())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool Window::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Edits commit on Enter themselves (returnPressed fires before this
        // filter sees nothing more); the key never closes or leaves the page.
        if (IsEnterOrEscape(key->key())) {
            if (auto* edit = qobject_cast<QLineEdit*>(watched)) emit edit->returnPressed();
            return true;
        }
        if (OnKeyDown(key->key(), key->text())) return true;
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
    if (loop_) loop_->exit(IDCANCEL);
}

int Dialog::RunModal() {
    QEventLoop loop;
    loop_ = &loop;
    result_ = IDCANCEL;
    ending_ = false;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QPointer<Dialog> self(this);
    const int code = loop.exec();
    if (self) {
        loop_ = nullptr;
        hide();
        return result_;
    }
    return code;
}

void Dialog::EndModal(int code) {
    result_ = code;
    if (loop_) loop_->exit(code);
    hide();
}

void Dialog::OnClose() { EndModal(IDCANCEL); }

void Dialog::closeEvent(QCloseEvent* event) {
    // The close box takes the same path as a close from code.
    event->ignore();
    OnClose();
}

}  // namespace platform
