// The level decay: each tick of the decay timer lowers `level` by `amount`,
// stopping at 0 for the non-negative whole steps that a pen press stores.
#pragma once

#include "synth/synth_state.h"

namespace scrivola {

void levelDecayTick(SynthState& state);

}  // namespace scrivola
