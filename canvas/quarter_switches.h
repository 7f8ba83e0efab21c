// The magenta and yellow pens switch waveform boxes by the quarter of the
// surface the pen is in.
#pragma once

#include "canvas/pen_surface.h"
#include "synth/synth_state.h"

namespace scrivola {

// Applies the sixteen switching rules in order. The surface is split at
// x = 2000 into two columns and, for switching on, into an upper band
// (y < 5000) and a lower band (y > 5500). Magenta switches voice A's pulse
// with ripple (upper left), tangent of cosine (upper right), pulse (lower
// left) and stepped sine (lower right); yellow switches voice B's stepped
// sine, tangent of cosine, square and pulse in the same places. A shape is
// switched on in its quarter and off whenever the pen is in the other column;
// at exactly x = 2000 the switching-off rule comes last, so it wins.
// Coordinates are compared as they are, without rounding.
void applyQuarterSwitches(ColorValue penColour, float x, float y, SwitchSet& switches);

}  // namespace scrivola
