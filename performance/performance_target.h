// Where the events of a performance go: to the window's handlers when it
// replays, to the synthesizer core alone when it renders. One event at a
// time, in the file's order.
#pragma once

#include <cstdint>
#include <vector>

#include "performance/performance_event.h"
#include "synth/clock.h"
#include "synth/synth_state.h"

namespace scrivola {

class PerformanceTarget {
public:
    virtual ~PerformanceTarget() = default;
    virtual void press(std::int16_t button, std::int16_t shift, float x, float y) = 0;
    virtual void move(std::int16_t button, std::int16_t shift, float x, float y) = 0;
    virtual void release(std::int16_t button, std::int16_t shift, float x, float y) = 0;
    virtual void swatch(int index) = 0;
    virtual void slider(SliderId slider, int value) = 0;
    virtual void check(int number, int value) = 0;
    virtual void command(CommandId command) = 0;
    // One synthesis tick reading `clock`.
    virtual void synthesisTick(SecondsClock& clock) = 0;
    virtual void decayTick() = 0;
};

// The clock one recorded tick read: its readings in order, then the last
// one again for every further read. Without readings, every read gives
// `fallback`.
class RecordedClock final : public SecondsClock {
public:
    RecordedClock(const std::vector<ClockRun>& runs, float fallback)
        : runs_(runs), fallback_(fallback) {}

    std::optional<float> readSeconds() override {
        if (runs_.empty()) {
            return fallback_;
        }
        const ClockRun& run = runs_[run_];
        if (++used_ >= run.count && run_ + 1 < runs_.size()) {
            ++run_;
            used_ = 0;
        }
        return run.seconds;
    }
    // Steady as the clock the readings came from: the tick then reads as
    // often as it did when they were taken.
    bool steady() const override { return true; }

private:
    const std::vector<ClockRun>& runs_;
    float fallback_;
    std::size_t run_ = 0;
    std::uint32_t used_ = 0;
};

// What a command does to the core. The two that ask first were answered
// Yes when they were recorded.
void applyCommand(CommandId command, SynthState& state, SwitchSet& switches,
                  DrawingSurface& surface);

// Hands `event` to `target`. A tick reads the clock readings it recorded,
// or else `startClock` plus its time. The end is no event for the target.
void deliverEvent(const PerformanceEvent& event, double startClock, PerformanceTarget& target);

}  // namespace scrivola
