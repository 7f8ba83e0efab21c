// A window timer with a millisecond interval and an enabled flag, ticking on
// the window's thread at the rate that TickSchedule gives. An interval of 0
// never ticks, even while enabled.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "canvas/pen_surface.h"
#include "ui/tick_schedule.h"

namespace scrivola {

class TickTimer : public QObject, public DecayTimer {
    Q_OBJECT

public:
    TickTimer(const QString& name, int intervalMs, bool enabled, std::function<void()> onTick,
              QObject* parent = nullptr);

    int interval() const { return interval_; }
    bool isEnabled() const { return enabled_; }
    bool isTicking() const { return enabled_ && interval_ > 0; }

    // Changing either setting starts the count afresh; setting the value it
    // already has leaves the running schedule alone.
    void setInterval(int milliseconds) override;
    void setEnabled(bool enabled) override;

private:
    void restart();
    void arm();
    void onTimeout();

    int interval_;
    bool enabled_;
    std::function<void()> onTick_;
    TickSchedule schedule_;
    QTimer timer_;
    unsigned generation_ = 0;  // bumped by every restart
};

}  // namespace scrivola
