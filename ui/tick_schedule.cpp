#include "ui/tick_schedule.h"

#include <algorithm>

namespace scrivola {

TickClock::time_point onTickGrid(TickClock::time_point t) {
    const std::chrono::nanoseconds sinceEpoch = t.time_since_epoch();
    const auto steps =
        (sinceEpoch + kTimerGranularity - std::chrono::nanoseconds(1)) / kTimerGranularity;
    return TickClock::time_point(
        std::chrono::duration_cast<TickClock::duration>(kTimerGranularity * steps));
}

std::chrono::nanoseconds tickPeriod(int intervalMs) {
    if (intervalMs <= 0) {
        return std::chrono::nanoseconds(0);
    }
    const std::chrono::nanoseconds interval = std::chrono::milliseconds(intervalMs);
    const auto periods =
        (interval + kTimerGranularity - std::chrono::nanoseconds(1)) / kTimerGranularity;
    return kTimerGranularity * periods;
}

void TickSchedule::start(TickClock::time_point origin, std::chrono::nanoseconds period) {
    origin_ = origin;
    period_ = period;
    index_ = 1;
}

void TickSchedule::advancePast(TickClock::time_point now) {
    const std::int64_t passed = (now - origin_) / period_;
    index_ = std::max(index_ + 1, passed + 1);
}

void TickSchedule::resumeAt(TickClock::time_point now) {
    const std::chrono::nanoseconds since = now - origin_;
    const std::int64_t due = (since + period_ - std::chrono::nanoseconds(1)) / period_;
    index_ = std::max(index_, due);
}

}  // namespace scrivola
