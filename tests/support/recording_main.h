#pragma once
// Stands in for the main window in page tests: records every WM_SEND_COMMAND
// and WM_TEST_SIGNAL a page posts, and any other message a test asks it to
// record.
#include <utility>
#include <vector>

#include "platform/window.h"

namespace testsupport {

using Command = std::pair<WPARAM, LPARAM>;
using Commands = std::vector<Command>;

struct Message {
    unsigned msg;
    WPARAM w;
    LPARAM l;
    bool operator==(const Message&) const = default;
};

class RecordingMain : public platform::Window {
public:
    RecordingMain() {
        MapMessage(WM_SEND_COMMAND, [this](WPARAM w, LPARAM l) -> LRESULT {
            received.emplace_back(w, l);
            return 0;
        });
        MapMessage(WM_TEST_SIGNAL, [this](WPARAM w, LPARAM) -> LRESULT {
            testSignals.push_back(static_cast<int>(w));
            return 0;
        });
    }
    // Records msg into messages from now on.
    void Record(unsigned msg) {
        MapMessage(msg, [this, msg](WPARAM w, LPARAM l) -> LRESULT {
            messages.push_back({msg, w, l});
            return 0;
        });
    }
    // Delivers what is posted, then hands over what arrived.
    Commands Take() {
        platform::MessageQueue::Drain();
        return std::exchange(received, {});
    }
    std::vector<Message> TakeMessages() {
        platform::MessageQueue::Drain();
        return std::exchange(messages, {});
    }
    Commands received;
    std::vector<int> testSignals;
    std::vector<Message> messages;
};

}  // namespace testsupport
