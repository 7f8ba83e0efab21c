#include "ui/tick_timer.h"

#include <algorithm>
#include <utility>

namespace scrivola {

TickTimer::TickTimer(const QString& name, int intervalMs, bool enabled,
                     std::function<void()> onTick, QObject* parent)
    : QObject(parent), interval_(intervalMs), enabled_(enabled), onTick_(std::move(onTick)) {
    setObjectName(name);
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TickTimer::onTimeout);
    restart();
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

void TickTimer::restart() {
    ++generation_;
    timer_.stop();
    if (isTicking()) {
        schedule_.start(TickClock::now(), tickPeriod(interval_));
        arm();
    }
}

// Wakes at the next deadline, rounded up to the whole millisecond so the
// tick never comes early.
void TickTimer::arm() {
    const auto wait =
        std::chrono::ceil<std::chrono::milliseconds>(schedule_.nextDeadline() - TickClock::now());
    timer_.start(std::max(wait, std::chrono::milliseconds(0)));
}

void TickTimer::onTimeout() {
    if (TickClock::now() < schedule_.nextDeadline()) {
        arm();
        return;
    }
    const unsigned before = generation_;
    if (onTick_) {
        onTick_();
    }
    if (generation_ != before || !isTicking()) {
        return;  // the tick changed the timer's settings and re-armed it
    }
    schedule_.advancePast(TickClock::now());
    arm();
}

}  // namespace scrivola
