// Binds a widget to the ControlValue it shows, both ways: a change made on
// the widget sets the value, and a change made to the value moves the widget.
// The widget starts at the value's current state.
#pragma once

#include <QAbstractButton>
#include <QSlider>

#include "synth/control_value.h"

namespace scrivola {

// A check box: checked is 1, unchecked 0.
void bindCheck(QAbstractButton& box, ControlValue& value);

void bindSlider(QSlider& slider, ControlValue& value);

}  // namespace scrivola
