#include "performance/core_performance.h"

#include "synth/level_decay.h"
#include "synth/wave_table_tick.h"

namespace scrivola {

CorePerformance::CorePerformance(WaveTableWriter& sound)
    : sound_(sound),
      gestures_(
          GestureTargets{state_, synth_, switches_, sliders_, surface_, text1_, label2_, timer2_}),
      palette_(swatches_, surface_) {
    palette_.applyStartupColours();
}

void CorePerformance::start(const StartingState& start) {
    applyStartingState(start, core());
}

void CorePerformance::press(std::int16_t button, std::int16_t shift, float x, float y) {
    gestures_.press(button, shift, x, y);
}

void CorePerformance::move(std::int16_t button, std::int16_t shift, float x, float y) {
    gestures_.move(button, shift, x, y);
}

void CorePerformance::release(std::int16_t button, std::int16_t shift, float x, float y) {
    gestures_.release(button, shift, x, y);
}

void CorePerformance::swatch(int index) {
    palette_.choose(static_cast<std::int16_t>(index));
}

void CorePerformance::slider(SliderId slider, int value) {
    (slider == SliderId::Slider1 ? sliders_.decayStep : sliders_.releaseLevel).setValue(value);
}

void CorePerformance::check(int number, int value) {
    switches_.setValue(static_cast<SwitchId>(number), value);
}

void CorePerformance::command(CommandId command) {
    applyCommand(command, state_, switches_, surface_);
}

void CorePerformance::synthesisTick(SecondsClock& clock) {
    waveTableTick(synth_, state_, switches_, clock, sound_, shown_);
}

void CorePerformance::decayTick() {
    levelDecayTick(state_);
}

}  // namespace scrivola
