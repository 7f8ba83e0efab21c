// The wave-table tick: recomputes both 361-entry wave tables from the state,
// the switches and the pitch terms, plots the scope points, writes both sound
// buffers and draws both level meters. Runs on the window's thread at every
// tick of the synthesis timer.
#pragma once

#include "synth/clock.h"
#include "synth/synth_state.h"
#include "synth/tick_io.h"

namespace scrivola {

struct TickIo {
    PerformanceCounter& counter;
    ScopeDisplay& display;
    WaveTableWriter& sound;
};

// One tick. Computes exactly what waveTableTickLiteral computes, but does not
// re-convert texts or re-evaluate trigonometry that cannot have changed.
void waveTableTick(modSynth_DX7& synth, const SynthState& state, const SwitchSet& switches,
                   TickIo io);

// One tick evaluated literally, step by step and sample by sample. The
// reference that waveTableTick is tested and measured against.
void waveTableTickLiteral(modSynth_DX7& synth, const SynthState& state, const SwitchSet& switches,
                          TickIo io);

}  // namespace scrivola
