// Runs the real window offscreen for a while and reports how regularly its
// two timers tick.
//
//   scrivola_timer_probe SECONDS
//
// The window's own Timer1 and Timer2 are switched off and replaced by two
// TickTimer objects with the same intervals whose ticks run the window's
// Timer1_Timer and Timer2_Timer and note the time: the same timer class, the
// same event loop and the same work per tick, with a timestamp added.
//
// Prints "name=value" lines per timer over SECONDS after a first second of
// start-up: ticks, rate per second (ticks less one over the time from the
// first to the last), drift from 64 per second in percent, and the
// p50/p99/max of |interval - 15.625 ms| in microseconds.
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/silent_sound_layer.h"
#include "bench/percentiles.h"
#include "ui/form1.h"
#include "ui/tick_schedule.h"
#include "ui/tick_timer.h"

namespace {

using namespace scrivola;

using Ticks = std::vector<TickClock::time_point>;

void report(const char* name, const Ticks& all, TickClock::time_point from) {
    const Ticks ticks(std::lower_bound(all.begin(), all.end(), from), all.end());
    const double nominalUs = std::chrono::duration<double, std::micro>(kTimerGranularity).count();
    std::vector<double> jitter;
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        const double us =
            std::chrono::duration<double, std::micro>(ticks[i] - ticks[i - 1]).count();
        jitter.push_back(std::abs(us - nominalUs));
    }
    double rate = 0.0;
    if (ticks.size() > 1) {
        const double span = std::chrono::duration<double>(ticks.back() - ticks.front()).count();
        rate = static_cast<double>(ticks.size() - 1) / span;
    }
    const double nominalRate = 1e6 / nominalUs;
    const bench::Summary s = bench::summarize(jitter);
    std::printf("%s_ticks=%zu\n", name, ticks.size());
    std::printf("%s_rate=%.4f\n", name, rate);
    std::printf("%s_drift_percent=%.4f\n", name, (rate - nominalRate) / nominalRate * 100.0);
    std::printf("%s_jitter_us_p50=%.0f\n", name, s.p50);
    std::printf("%s_jitter_us_p99=%.0f\n", name, s.p99);
    std::printf("%s_jitter_us_max=%.0f\n", name, s.max);
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    SilentSoundLayer sound;
    Form1 window(sound);
    if (!window.Form_Load()) {
        return 1;
    }
    window.show();
    // A press starts the decay timer, as on screen.
    window.picdraw_MouseDown(1, 0, 4290, 3000);
    window.picdraw_MouseMove(1, 0, 4300, 3000);
    const int interval1 = window.Timer1().interval();
    const int interval2 = window.Timer2().interval();
    window.Timer1().setEnabled(false);
    window.Timer2().setEnabled(false);

    const auto expected = static_cast<std::size_t>(seconds * 70);
    Ticks ticks1;
    Ticks ticks2;
    ticks1.reserve(expected);
    ticks2.reserve(expected);
    TickTimer timer1(QStringLiteral("Timer1"), interval1, true, [&] {
        ticks1.push_back(TickClock::now());
        window.Timer1_Timer();
    });
    TickTimer timer2(QStringLiteral("Timer2"), interval2, true, [&] {
        ticks2.push_back(TickClock::now());
        window.Timer2_Timer();
    });

    // The first second, with the window's first paints, is left out.
    const TickClock::time_point from = TickClock::now() + std::chrono::seconds(1);
    QTimer::singleShot(static_cast<int>((seconds + 1) * 1000), &app, &QApplication::quit);
    QApplication::exec();
    timer1.setEnabled(false);
    timer2.setEnabled(false);

    std::printf("seconds=%.1f\n", seconds);
    std::printf("intervals_ms=%d,%d\n", interval1, interval2);
    report("timer1", ticks1, from);
    report("timer2", ticks2, from);
    window.close();
    return 0;
}
