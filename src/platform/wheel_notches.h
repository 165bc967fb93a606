#pragma once
// Whole wheel notches out of the wheel's turn.
//
// The platform reports a wheel turn in eighths of a degree, 120 to a notch.
// A plain wheel sends one event per notch, but a high-resolution wheel or a
// touchpad sends a notch in several small events, and a fast turn may arrive
// as one event of several notches. The controls step once per notch, so the
// part of a notch not yet turned is kept until the rest of it arrives.

namespace platform {

class WheelNotches {
public:
    static constexpr int kNotch = 120;

    // Adds a turn of delta over target and returns the whole notches now
    // complete (positive: away from the user), keeping the rest. A turn over
    // another target than the last starts afresh, so a part notch never
    // carries over to a control that did not receive it.
    int Add(const void* target, int delta);
    // Forgets the part notch (the target lost the focus).
    void Reset();

private:
    const void* target_ = nullptr;
    int rest_ = 0;
};

}  // namespace platform
