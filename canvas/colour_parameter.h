// The synthesis parameter that a pen colour sets from the pen's x position.
#pragma once

#include "canvas/pen_surface.h"
#include "synth/synth_state.h"

namespace scrivola {

// Blue sets `amsp`, green `fmsp` and grey `amsp2` to round(x) \ 100; red sets
// `cut` and cyan `cut2` to round(x) \ 4; each as decimal text. Other colours
// set nothing. An x that cannot be rounded into 32 bits leaves the parameter
// as it was.
void setColourParameter(ColorValue penColour, float x, SynthState& state);

}  // namespace scrivola
