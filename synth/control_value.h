// A whole-number value that a window control mirrors: a check box's value or a
// slider's position. The synthesizer core reads and writes the value here; the
// window binds its widget to it through the listener, so the two never
// disagree.
#pragma once

#include <functional>
#include <utility>

namespace scrivola {

class ControlValue {
public:
    using Listener = std::function<void(int)>;

    ControlValue(int value, int minimum, int maximum)
        : value_(value), minimum_(minimum), maximum_(maximum) {}

    int value() const { return value_; }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }

    // Sets the value, kept within the control's range as the widget would keep
    // it; tells the listener only when the value changed.
    void setValue(int value) {
        if (value < minimum_) {
            value = minimum_;
        }
        if (value > maximum_) {
            value = maximum_;
        }
        if (value == value_) {
            return;
        }
        value_ = value;
        if (listener_) {
            listener_(value_);
        }
    }

    // The widget bound to this value; called after every change made here.
    void setListener(Listener listener) { listener_ = std::move(listener); }

private:
    int value_;
    int minimum_;
    int maximum_;
    Listener listener_;
};

}  // namespace scrivola
