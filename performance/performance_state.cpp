#include "performance/performance_state.h"

namespace scrivola {

StartingState::StartingState() {
    SwitchSet startupSwitches;
    Sliders startupSliders;
    applyStartupValues(state, synth, startupSwitches, startupSliders);
    for (int id = Check1; id <= Check12; ++id) {
        switches[static_cast<std::size_t>(id - 1)] =
            startupSwitches.value(static_cast<SwitchId>(id));
    }
    slider1 = startupSliders.decayStep.value();
    vscroll1 = startupSliders.releaseLevel.value();
}

StartingState captureStartingState(const PerformanceCore& core, double clock) {
    StartingState start;
    start.state = core.state;
    start.synth = core.synth;
    start.tablesGiven = true;
    for (int id = Check1; id <= Check12; ++id) {
        start.switches[static_cast<std::size_t>(id - 1)] =
            core.switches.value(static_cast<SwitchId>(id));
    }
    start.slider1 = core.sliders.decayStep.value();
    start.vscroll1 = core.sliders.releaseLevel.value();
    start.penColor = core.surface.foreColor();
    start.penX = core.surface.currentX();
    start.penY = core.surface.currentY();
    start.clock = clock;
    return start;
}

void applyStartingState(const StartingState& start, const PerformanceCore& core) {
    core.state = start.state;
    core.synth = start.synth;
    for (int id = Check1; id <= Check12; ++id) {
        core.switches.setValue(static_cast<SwitchId>(id),
                               start.switches[static_cast<std::size_t>(id - 1)]);
    }
    core.sliders.decayStep.setValue(start.slider1);
    core.sliders.releaseLevel.setValue(start.vscroll1);
    core.surface.setForeColor(start.penColor);
    core.surface.setCurrentPosition(start.penX, start.penY);
}

}  // namespace scrivola
