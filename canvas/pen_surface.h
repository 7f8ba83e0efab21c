// What the pen gestures need of the drawing surface and of the controls they
// update. The window implements these; tests use fakes.
#pragma once

#include <cstdint>
#include <string>

#include "synth/synth_state.h"

namespace scrivola {

// Mouse buttons as the gesture handlers receive them.
enum MouseButton : std::int16_t { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

// A colour value laid out 0x00BBGGRR (red in the low byte).
using ColorValue = std::uint32_t;

// The drawing surface in its own units (twips), with a current drawing
// position and a pen colour.
class PenSurface : public DrawingSurface {
public:
    virtual float currentX() const = 0;
    virtual float currentY() const = 0;
    virtual void setCurrentPosition(float x, float y) = 0;
    // A straight line from the current drawing position to (x, y) in the pen
    // colour; the drawing position becomes (x, y).
    virtual void lineTo(float x, float y) = 0;
    virtual ColorValue foreColor() const = 0;
    virtual void setForeColor(ColorValue color) = 0;
    virtual void setBackColor(ColorValue color) = 0;
};

// A control that shows a text, such as the pen colour or the y of the drawing
// position.
class TextControl {
public:
    virtual ~TextControl() = default;
    virtual void setText(const std::string& text) = 0;
    virtual std::string text() const = 0;
};

// The decay timer as the pen press drives it.
class DecayTimer {
public:
    virtual ~DecayTimer() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual void setInterval(int milliseconds) = 0;
};

}  // namespace scrivola
