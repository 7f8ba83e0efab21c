// When the window's two timers sleep. Once the wave-table tick has come to
// rest (see tickAtRest) on two ticks in a row and no input has come for 2 s,
// both timers stop: every tick they would run would write the same silent
// tables and draw the same pictures, so the window's thread can stay asleep.
// Input wakes them, and they tick on the grid where they would have ticked
// had they run all along.
#pragma once

#include "ui/tick_timer.h"

namespace scrivola {

class TickSleep {
public:
    // 2 s of the synthesis timer's ticks.
    static constexpr int kQuietTicks = 128;

    TickSleep(TickTimer& synthesis, TickTimer& decay);

    // After every tick of the synthesis timer: whether the tick left the
    // synthesis at rest.
    void afterTick(bool atRest);
    // Input came, or anything else that may change what the ticks compute or
    // show: the count of quiet ticks starts again, and sleeping timers wake.
    void wake();
    bool isAsleep() const { return asleep_; }

private:
    TickTimer& synthesis_;
    TickTimer& decay_;
    int quietTicks_ = 0;
    bool restedBefore_ = false;
    bool asleep_ = false;
};

}  // namespace scrivola
