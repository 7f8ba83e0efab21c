// A window timer with a millisecond interval and an enabled flag, ticking on
// the window's thread at the rate that TickSchedule gives. An interval of 0
// never ticks, even while enabled.
//
// Every timer's deadlines lie on one grid of 1/64 s steps, and the timers of
// a thread share one wake-up source that ticks all timers due at a grid
// point in one go (in the order the timers were made), as a classic desktop's
// timers all fire on its clock interrupt: two running timers wake the thread
// 64 times a second, not 128.
//
// A timer can also be put to sleep: it stops ticking but keeps its settings
// and its schedule, and on waking it ticks at the deadline it would have
// ticked at next had it run all along.
#pragma once

#include <QObject>
#include <functional>

#include "canvas/pen_surface.h"
#include "ui/tick_schedule.h"

namespace scrivola {

class TickDriver;

class TickTimer : public QObject, public DecayTimer {
    Q_OBJECT

public:
    TickTimer(const QString& name, int intervalMs, bool enabled, std::function<void()> onTick,
              QObject* parent = nullptr);
    ~TickTimer() override;

    int interval() const { return interval_; }
    bool isEnabled() const { return enabled_; }
    // Enabled with an interval above 0: ticks unless asleep.
    bool isStarted() const { return enabled_ && interval_ > 0; }
    bool isAsleep() const { return asleep_; }
    bool isTicking() const { return isStarted() && !asleep_; }
    // The deadline of the tick due next (meaningful while ticking).
    TickClock::time_point nextDeadline() const { return schedule_.nextDeadline(); }

    // Changing either setting starts the count afresh; setting the value it
    // already has leaves the running schedule alone.
    void setInterval(int milliseconds) override;
    void setEnabled(bool enabled) override;

    // Stops the ticks until wake(); the settings may still change meanwhile.
    void sleep();
    // Ticks again from the first deadline of its schedule at or after now.
    void wake();

private:
    friend class TickDriver;

    void restart();
    // Runs the tick if its deadline has come by `now`.
    void tickIfDue(TickClock::time_point now);

    int interval_;
    bool enabled_;
    bool asleep_ = false;
    std::function<void()> onTick_;
    TickSchedule schedule_;
    TickDriver& driver_;
    unsigned generation_ = 0;  // bumped by every restart
};

}  // namespace scrivola
