// The window's state at the start of a performance: taken from the core's
// objects when a recording begins, and given back to them when one plays.
#pragma once

#include "canvas/pen_surface.h"
#include "performance/performance_event.h"
#include "synth/synth_state.h"

namespace scrivola {

// The objects a starting state covers. All owned elsewhere.
struct PerformanceCore {
    SynthState& state;
    modSynth_DX7& synth;
    SwitchSet& switches;
    Sliders& sliders;
    PenSurface& surface;  // pen colour and drawing position
};

// Everything but the drawing, which the window adds; `clock` is the clock's
// reading now, in seconds.
StartingState captureStartingState(const PerformanceCore& core, double clock);

// Sets the core to `start` (not the drawing).
void applyStartingState(const StartingState& start, const PerformanceCore& core);

}  // namespace scrivola
