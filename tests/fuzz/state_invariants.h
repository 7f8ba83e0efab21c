// What must hold of the window's state after any sequence of user events.
#pragma once

#include <string>
#include <string_view>

#include "canvas/pen_surface.h"
#include "synth/synth_state.h"

namespace scrivola::fuzz {

// True for the decimal text of a 32-bit whole number: an optional minus sign
// and digits, no leading zero, no "-0", nothing else.
bool isDecimalInteger(std::string_view text);

// True for one of the eight colours the swatches show.
bool isSwatchColour(ColorValue colour);

// Describes the first broken rule, or returns an empty text when all hold:
// the pen is up (0) or down (-1), `level` is within 0..100, the five
// parameter texts are decimal integers, and so is `amount` once a left press
// has set it (`leftPressedYet`), and the pen colour is a swatch colour.
std::string firstViolation(const SynthState& state, ColorValue penColour, bool leftPressedYet);

}  // namespace scrivola::fuzz
