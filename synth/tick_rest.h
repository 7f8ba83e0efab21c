// Whether the wave-table tick has come to rest: both tables silent, and every
// later tick, until something changes the state, the switches or the pitch,
// would write the same silent tables and record the same traces and meters,
// whatever the clock reads then. The window stops its timers while the tick
// rests, so rest is never reported where a tick could still change what is
// heard or seen; some exotic silent states are missed instead.
#pragma once

#include "synth/synth_state.h"

namespace scrivola {

// Right after a tick, before the decay's step: `synth` as the tick left it,
// and `decayRunning` whether the decay timer is started (its steps must then
// leave the level as it is). The tick before this one must have come to rest
// too before this one's tables and displays are those of every later tick:
// only then did it start from the amplitudes and carried samples the later
// ones start from.
bool tickAtRest(const modSynth_DX7& synth, const SynthState& state, const SwitchSet& switches,
                bool decayRunning);

}  // namespace scrivola
