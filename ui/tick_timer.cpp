#include "ui/tick_timer.h"

#include <QTimer>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace scrivola {

// The one wake-up source of a thread's timers: a single-shot toolkit timer
// armed for the earliest deadline of the timers that are ticking. It exists
// while its thread has timers.
class TickDriver {
public:
    static TickDriver& join(TickTimer& timer) {
        if (current == nullptr) {
            current = new TickDriver;
        }
        current->timers_.push_back(&timer);
        return *current;
    }

    void leave(TickTimer& timer) {
        timers_.erase(std::remove(timers_.begin(), timers_.end(), &timer), timers_.end());
        if (timers_.empty()) {
            current = nullptr;
            delete this;
        } else {
            arm();
        }
    }

    // Wakes at the earliest deadline, rounded up to the whole millisecond so
    // a tick never comes early; stays asleep while no timer ticks.
    void arm() {
        std::optional<TickClock::time_point> earliest;
        for (const TickTimer* timer : timers_) {
            if (timer->isTicking() && (!earliest || timer->nextDeadline() < *earliest)) {
                earliest = timer->nextDeadline();
            }
        }
        if (!earliest) {
            wake_.stop();
            return;
        }
        const auto wait =
            std::chrono::ceil<std::chrono::milliseconds>(*earliest - TickClock::now());
        wake_.start(std::max(wait, std::chrono::milliseconds(0)));
    }

private:
    TickDriver() {
        wake_.setSingleShot(true);
        wake_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&wake_, &QTimer::timeout, [this] { onWake(); });
    }

    void onWake() {
        const TickClock::time_point now = TickClock::now();
        // A tick may make, delete or reset timers (a message box's event
        // loop can close the window): each is looked up again before its turn.
        const std::vector<TickTimer*> due = timers_;
        for (TickTimer* timer : due) {
            if (current != this) {
                return;  // the last timer went, and this driver with it
            }
            if (std::find(timers_.begin(), timers_.end(), timer) != timers_.end()) {
                timer->tickIfDue(now);
            }
        }
        if (current == this) {
            arm();
        }
    }

    static thread_local TickDriver* current;
    std::vector<TickTimer*> timers_;
    QTimer wake_;
};

thread_local TickDriver* TickDriver::current = nullptr;

TickTimer::TickTimer(const QString& name, int intervalMs, bool enabled,
                     std::function<void()> onTick, QObject* parent)
    : QObject(parent),
      interval_(intervalMs),
      enabled_(enabled),
      onTick_(std::move(onTick)),
      driver_(TickDriver::join(*this)) {
    setObjectName(name);
    restart();
}

TickTimer::~TickTimer() {
    driver_.leave(*this);
}

void TickTimer::setInterval(int milliseconds) {
    if (milliseconds == interval_) {
        return;
    }
    interval_ = milliseconds;
    restart();
}

void TickTimer::setEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    restart();
}

void TickTimer::sleep() {
    if (asleep_) {
        return;
    }
    asleep_ = true;
    driver_.arm();
}

void TickTimer::wake() {
    if (!asleep_) {
        return;
    }
    asleep_ = false;
    if (isStarted()) {
        schedule_.resumeAt(TickClock::now());
    }
    driver_.arm();
}

void TickTimer::restart() {
    ++generation_;
    if (isStarted()) {
        schedule_.start(onTickGrid(TickClock::now()), tickPeriod(interval_));
    }
    driver_.arm();
}

void TickTimer::tickIfDue(TickClock::time_point now) {
    if (!isTicking() || now < schedule_.nextDeadline()) {
        return;
    }
    const unsigned before = generation_;
    if (onTick_) {
        onTick_();
    }
    if (generation_ != before || !isStarted()) {
        return;  // the tick changed the timer's settings and restarted it
    }
    // Also when the tick put the timer to sleep: this deadline is done.
    schedule_.advancePast(TickClock::now());
}

}  // namespace scrivola
