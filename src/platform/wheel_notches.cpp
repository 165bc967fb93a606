#include "platform/wheel_notches.h"

namespace platform {

int WheelNotches::Add(const void* target, int delta) {
    if (target != target_) {
        target_ = target;
        rest_ = 0;
    }
    rest_ += delta;
    // Division truncates toward zero, so the rest keeps the sign of the turn
    // and a turn back first cancels the part notch.
    const int notches = rest_ / kNotch;
    rest_ -= notches * kNotch;
    return notches;
}

void WheelNotches::Reset() {
    target_ = nullptr;
    rest_ = 0;
}

}  // namespace platform
