#pragma once
// A host window for the link tests: it owns a DeviceLink and forwards to it
// as the main window does, and records what the link shows and posts.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "link/device_link.h"
#include "platform/window.h"
#include "support/modal_watchdog.h"

namespace linktest {

class LinkHostWindow : public platform::Window {
public:
    explicit LinkHostWindow(const LinkConfig& config) : link(this, config) {
        MapMessage(WM_LINK_STEP, [this](WPARAM w, LPARAM l) { return link.OnLinkStep(w, l); });
        MapMessage(WM_SEND_COMMAND, [this](WPARAM w, LPARAM l) -> LRESULT {
            link.OnSendCommand(static_cast<unsigned>(w), l);
            return 0;
        });
        MapMessage(WM_LINK_BUSY, [this](WPARAM, LPARAM) -> LRESULT { return ++busy; });
        MapMessage(WM_LINK_IDLE, [this](WPARAM, LPARAM) -> LRESULT { return ++idle; });
        MapMessage(WM_REFRESH_PAGES, [this](WPARAM, LPARAM) -> LRESULT { return ++refreshes; });
        link.hooks.statusText = [this](const std::string& s) { statuses.push_back(s); };
        link.hooks.featureFlag = [this](int f) { featureFlags.push_back(f); };
        link.hooks.blockRead = [this](const DeviceBlockRead& r) {
            block.assign(r.Block(), r.Block() + r.Length());
        };
        link.hooks.disconnected = [this] { ++disconnects; };
    }

    std::string Status() const { return statuses.empty() ? std::string() : statuses.back(); }
    bool Idle() const { return link.LinkState() == 0 && !link.LinkActive(); }

    DeviceLink link;
    std::vector<std::string> statuses;
    std::vector<int> featureFlags;
    std::vector<std::uint8_t> block;
    int busy = 0;
    int idle = 0;
    int refreshes = 0;
    int disconnects = 0;

protected:
    void OnTimer(int id) override { link.OnTimer(id); }
};

// Runs the event loop until pred holds or timeoutMs has passed. A modal
// dialog that opens meanwhile and stays open long past that is ended as a
// failure, so a box that never closes fails the test instead of hanging it.
inline bool WaitFor(const std::function<bool()>& pred, int timeoutMs) {
    const testsupport::ModalWatchdog watchdog(timeoutMs);
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > timeoutMs) return false;
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Runs the event loop for ms.
inline void RunFor(int ms) {
    WaitFor([] { return false; }, ms);
}

}  // namespace linktest
