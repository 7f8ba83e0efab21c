// When the window's timers tick. The toolkit's timers have the granularity of
// a classic desktop timer: 64 ticks per second. An interval shorter than that
// ticks once per period, and the period is what sets how fast the level
// decays under the pen. Deadlines are counted from the start on a steady
// clock, so the average rate is exact and does not drift; periods missed
// while the thread was busy are skipped rather than made up in a burst.
// Like the clock interrupt such timers fire on, the steps lie on one grid
// for all timers, so timers of the same period tick at the same moments.
#pragma once

#include <chrono>
#include <cstdint>

namespace scrivola {

using TickClock = std::chrono::steady_clock;

inline constexpr std::chrono::nanoseconds kTimerGranularity{15'625'000};  // 1/64 s

// The first grid point (a whole number of granularity steps from the
// clock's epoch) at or after `t`.
TickClock::time_point onTickGrid(TickClock::time_point t);

// The period of a timer with `intervalMs`: zero (no ticks) for an interval
// of 0 or less, otherwise the interval rounded up to whole granularity
// periods.
std::chrono::nanoseconds tickPeriod(int intervalMs);

class TickSchedule {
public:
    // Tick n (n = 1, 2, ...) is due at `origin` + n periods.
    void start(TickClock::time_point origin, std::chrono::nanoseconds period);
    TickClock::time_point nextDeadline() const { return origin_ + period_ * index_; }
    // After a tick that ended at `now`: the next deadline becomes the first
    // one later than `now`.
    void advancePast(TickClock::time_point now);
    // After a pause: the next deadline becomes the first one at or after
    // `now` (or stays, if it is later), the one a schedule that ran all
    // along would tick at next.
    void resumeAt(TickClock::time_point now);

private:
    TickClock::time_point origin_{};
    std::chrono::nanoseconds period_{kTimerGranularity};
    std::int64_t index_ = 1;
};

}  // namespace scrivola
