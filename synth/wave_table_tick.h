// The wave-table tick: recomputes both 361-entry wave tables from the state,
// the switches and the pitch terms, sample by sample and step by step, writes
// both sound buffers and records what the scopes and meters are to show. Runs
// on the window's thread at every tick of the synthesis timer.
#pragma once

#include "synth/clock.h"
#include "synth/synth_state.h"
#include "synth/tick_io.h"

namespace scrivola {

// One tick, reading the system clock directly.
void waveTableTick(modSynth_DX7& synth, const SynthState& state, const SwitchSet& switches,
                   MonotonicCounter& clock, WaveTableWriter& sound, DisplayRecord& shown);

// The same tick with any other counter (one a test scripts, for instance).
void waveTableTick(modSynth_DX7& synth, const SynthState& state, const SwitchSet& switches,
                   PerformanceCounter& clock, WaveTableWriter& sound, DisplayRecord& shown);

// The same tick with a clock that reads in seconds (a recorded performance's).
void waveTableTick(modSynth_DX7& synth, const SynthState& state, const SwitchSet& switches,
                   SecondsClock& clock, WaveTableWriter& sound, DisplayRecord& shown);

}  // namespace scrivola
