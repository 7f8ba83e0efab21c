#include "ui/tick_sleep.h"

namespace scrivola {

TickSleep::TickSleep(TickTimer& synthesis, TickTimer& decay)
    : synthesis_(synthesis), decay_(decay) {}

void TickSleep::afterTick(bool atRest) {
    if (quietTicks_ < kQuietTicks) {
        ++quietTicks_;
    }
    // Only a tick that began at rest drew what every later tick would.
    const bool restedTwice = atRest && restedBefore_;
    restedBefore_ = atRest;
    if (restedTwice && quietTicks_ >= kQuietTicks && !asleep_) {
        asleep_ = true;
        synthesis_.sleep();
        decay_.sleep();
    }
}

void TickSleep::wake() {
    quietTicks_ = 0;
    restedBefore_ = false;
    if (asleep_) {
        asleep_ = false;
        synthesis_.wake();
        decay_.wake();
    }
}

}  // namespace scrivola
