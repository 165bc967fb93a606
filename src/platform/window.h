#pragma once
// Window: a widget that receives posted messages through one ordered queue
// shared by every window, has timers by id, and finds its controls by id.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "model/messages.h"

class QTimer;
class QEventLoop;

namespace platform {

class Window : public QWidget {
    Q_OBJECT
public:
    explicit Window(QWidget* parent = nullptr);
    ~Window() override;

    // Appends a message to the one queue shared by all windows. It is handled
    // later from the event loop, never inside the caller, in the order posted
    // across every window. A message to a window destroyed before delivery is
    // dropped. UI thread only.
    void PostMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // Handles a message at once, as a direct call (the queue is bypassed).
    LRESULT SendMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // Timers by id: setting an existing id re-arms it; killing an unknown id
    // does nothing. Ticks arrive in OnTimer, after every message already
    // waiting in the queue has been handled, and keep coming while any modal
    // loop runs (OnTimer's own included). A tick not yet handled is not
    // repeated: a busy queue gets one tick per timer, not a backlog.
    void SetTimer(int id, int intervalMs);
    void KillTimer(int id);
    bool HasTimer(int id) const;

    // Controls by id.
    void AddControl(int id, QWidget* control);
    QWidget* Control(int id) const;
    // The id a control was added under; -1 for a widget this window does
    // not hold.
    int ControlId(const QWidget* control) const;
    template <class T>
    T* ControlAs(int id) const {
        return qobject_cast<T*>(Control(id));
    }
    // Caption of a control (button, label, edit, group box, check box), UTF-8.
    void SetItemText(int id, const std::string& utf8);
    std::string ItemText(int id) const;
    void ShowItem(int id, bool show);
    void EnableItem(int id, bool enable);

protected:
    using Handler = std::function<LRESULT(WPARAM, LPARAM)>;
    // The message map: one handler per message id.
    void MapMessage(unsigned msg, Handler handler);
    template <class W>
    void MapMessage(unsigned msg, LRESULT (W::*method)(WPARAM, LPARAM)) {
        W* self = static_cast<W*>(this);
        MapMessage(msg, [self, method](WPARAM w, LPARAM l) { return (self->*method)(w, l); });
    }
    virtual void OnTimer(int id);
    // Key-downs on the window or on one of its controls, once each, before the
    // control sees them; Enter and Escape never come here. Return true when
    // handled: the key then goes no further.
    virtual bool OnKeyDown(int qtKey, const QString& text);

    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class MessageQueue;
    LRESULT Dispatch(unsigned msg, WPARAM wParam, LPARAM lParam);
    void DeliverTick(int id);

    struct Timer {
        QTimer* timer = nullptr;
        bool tickQueued = false;
    };
    std::map<unsigned, Handler> handlers_;
    std::map<int, Timer> timers_;
    std::map<int, QPointer<QWidget>> controls_;
    // The key-down a control's filter already offered to OnKeyDown, so that
    // the same event bubbling up from the control is not offered twice.
    const QEvent* keyOffered_ = nullptr;
};

// A window that runs its own modal loop. While the loop runs every other
// window keeps handling its posted messages and timers.
class Dialog : public Window {
    Q_OBJECT
public:
    explicit Dialog(QWidget* parent = nullptr);
    ~Dialog() override;

    // Shows the dialog and runs its loop until EndModal; returns the code, or
    // IDCANCEL when the loop ended otherwise (the dialog destroyed before
    // EndModal, the application quitting). -1 when its loop already runs.
    int RunModal();
    // Ends the running loop with this result (from code or from the close
    // path) and hides the dialog. Called during RunModal before the loop
    // starts (from showEvent), the run ends at once; the first call of a run
    // wins; outside a run it only hides the dialog.
    void EndModal(int code);
    bool IsModalRunning() const { return loop_ != nullptr; }

protected:
    // The one close path: the close box and close() from code both come here
    // (Escape is swallowed). The default ends the loop with IDCANCEL.
    virtual void OnClose();
    void closeEvent(QCloseEvent* event) override;

private:
    QEventLoop* loop_ = nullptr;
    int result_ = 0;
    bool ending_ = false;
};

// The queue itself, for tests and for the windows' timer ticks.
class MessageQueue {
public:
    // Handles every message waiting now, and those they post, in order, with
    // the timer ticks queued among them.
    static void Drain();
    // Posted messages waiting for a live window (timer ticks not counted).
    static std::size_t Pending();
};

}  // namespace platform
