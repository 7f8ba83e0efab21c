// The timers: their period, a schedule that neither drifts nor bursts, and
// the window's two timers driving the tick and the decay.
#include "ui/tick_timer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <functional>
#include <vector>

#include "recording_sound_layer.h"
#include "ui/form1.h"

namespace scrivola {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// Runs the event loop until `done` holds or `limitMs` pass; true if it held.
bool processUntil(const std::function<bool()>& done, int limitMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void processFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

TEST(TickPeriodTest, IntervalsRoundUpToWholePeriodsOf64PerSecond) {
    struct Case {
        int intervalMs;
        nanoseconds period;
    };
    const nanoseconds tick(15'625'000);
    const Case cases[] = {
        {0, nanoseconds(0)}, {-1, nanoseconds(0)}, {1, tick},      {15, tick},
        {16, 2 * tick},      {31, 2 * tick},       {32, 3 * tick}, {1000, milliseconds(1000)},
    };
    EXPECT_EQ(kTimerGranularity * 64, std::chrono::seconds(1));
    for (const Case& c : cases) {
        EXPECT_EQ(tickPeriod(c.intervalMs), c.period) << c.intervalMs;
    }
}

TEST(TickScheduleTest, DeadlinesCountFromTheStartAndSkipMissedPeriods) {
    const TickClock::time_point origin{};
    const nanoseconds period = kTimerGranularity;
    TickSchedule schedule;
    schedule.start(origin, period);
    EXPECT_EQ(schedule.nextDeadline(), origin + period);

    // A late tick does not push the later ones back.
    schedule.advancePast(origin + period + milliseconds(3));
    EXPECT_EQ(schedule.nextDeadline(), origin + 2 * period);
    // A tick exactly on time moves on by one.
    schedule.advancePast(origin + 2 * period);
    EXPECT_EQ(schedule.nextDeadline(), origin + 3 * period);
    // After a long stall the missed periods are skipped, not made up.
    schedule.advancePast(origin + 10 * period + milliseconds(1));
    EXPECT_EQ(schedule.nextDeadline(), origin + 11 * period);
    // A clock read before the deadline still advances by one tick.
    schedule.advancePast(origin + 5 * period);
    EXPECT_EQ(schedule.nextDeadline(), origin + 12 * period);
    // After a pause: the first deadline at or after the moment of waking,
    // and never an earlier one.
    schedule.resumeAt(origin + 20 * period + milliseconds(1));
    EXPECT_EQ(schedule.nextDeadline(), origin + 21 * period);
    schedule.resumeAt(origin + 30 * period);
    EXPECT_EQ(schedule.nextDeadline(), origin + 30 * period);
    schedule.resumeAt(origin + 2 * period);
    EXPECT_EQ(schedule.nextDeadline(), origin + 30 * period);
}

TEST(TickScheduleTest, ThousandsOfJitteryTicksAverageExactly64PerSecond) {
    const TickClock::time_point origin{};
    TickSchedule schedule;
    schedule.start(origin, kTimerGranularity);
    for (int tick = 1; tick <= 64 * 60; ++tick) {
        // Each tick runs somewhat after its deadline.
        schedule.advancePast(schedule.nextDeadline() + milliseconds(tick % 7));
    }
    EXPECT_EQ(schedule.nextDeadline(), origin + std::chrono::seconds(60) + kTimerGranularity);
}

TEST(TickTimerTest, IntervalZeroNeverTicksAndATickMayStopItsTimer) {
    int ticks = 0;
    TickTimer idle(QStringLiteral("idle"), 0, true, [&ticks] { ++ticks; });
    EXPECT_FALSE(idle.isTicking());
    processFor(60);
    EXPECT_EQ(ticks, 0);

    TickTimer* self = nullptr;
    int stopped = 0;
    TickTimer once(QStringLiteral("once"), 1, true, [&] {
        ++stopped;
        self->setEnabled(false);
    });
    self = &once;
    ASSERT_TRUE(processUntil([&] { return stopped > 0; }));
    processFor(60);
    EXPECT_EQ(stopped, 1);
    EXPECT_FALSE(once.isTicking());
}

TEST(TickTimerTest, AWokenTimerTicksAtTheNextGridPointNotAPeriodLater) {
    int ticks = 0;
    TickTimer timer(QStringLiteral("sleeper"), 1, true, [&ticks] { ++ticks; });
    ASSERT_TRUE(processUntil([&] { return ticks > 0; }));
    timer.sleep();
    const int asleep = ticks;
    processFor(60);
    EXPECT_EQ(ticks, asleep);
    EXPECT_FALSE(timer.isTicking());

    const TickClock::time_point before = TickClock::now();
    timer.wake();
    const TickClock::time_point after = TickClock::now();
    EXPECT_GE(timer.nextDeadline(), before);
    EXPECT_LT(timer.nextDeadline(), after + kTimerGranularity);
    EXPECT_EQ(timer.nextDeadline().time_since_epoch() % kTimerGranularity, nanoseconds(0));
    EXPECT_TRUE(processUntil([&] { return ticks > asleep; }));
}

TEST(TickTimerTest, TimersStartedApartTickAtTheSameMoments) {
    std::vector<TickClock::time_point> dueA;
    std::vector<TickClock::time_point> dueB;
    TickTimer* a = nullptr;
    TickTimer* b = nullptr;
    TickTimer first(QStringLiteral("first"), 1, true, [&] { dueA.push_back(a->nextDeadline()); });
    a = &first;
    processFor(5);
    TickTimer second(QStringLiteral("second"), 20, true,
                     [&] { dueB.push_back(b->nextDeadline()); });
    b = &second;
    ASSERT_TRUE(processUntil([&] { return dueB.size() >= 3; }));
    ASSERT_FALSE(dueA.empty());
    for (const TickClock::time_point due : dueB) {
        EXPECT_EQ((due - dueA.front()) % kTimerGranularity, nanoseconds(0));
    }
}

class WindowTimersTest : public ::testing::Test {
protected:
    RecordingSoundLayer sound;
    Form1 form{sound};
};

TEST_F(WindowTimersTest, Timer1TicksComputeBothTablesIntoBothBuffersAndTheScopes) {
    ASSERT_TRUE(form.Form_Load());
    ASSERT_TRUE(processUntil([&] { return sound.writes[0] >= 2 && sound.writes[1] >= 2; }));
    // The silent voices sit on the centre line.
    EXPECT_EQ(sound.lastTable[0][0], 128);
    EXPECT_EQ(sound.lastTable[1][359], 128);
    // Both scopes show their trace.
    for (ScopeView* scope : {form.controls().WPB1, form.controls().Picture1}) {
        const QImage image = scope->grab().toImage();
        EXPECT_EQ(image.pixel(10, image.height() / 2), qRgb(0, 255, 0))
            << scope->objectName().toStdString();
    }
}

TEST_F(WindowTimersTest, Timer2DecaysTheLevelOnlyAfterTheFirstPress) {
    ASSERT_TRUE(form.Form_Load());
    ASSERT_EQ(form.state().level, 100);
    form.state().amount = "1";
    processFor(150);  // several periods of the timer layer
    EXPECT_EQ(form.state().level, 100);

    form.picdraw_MouseDown(LeftButton, 0, 1000.0f, 1000.0f);
    EXPECT_TRUE(form.Timer2().isTicking());
    EXPECT_EQ(form.Timer2().interval(), 1);
    EXPECT_TRUE(processUntil([&] { return form.state().level < 99; }));
}

}  // namespace
}  // namespace scrivola
