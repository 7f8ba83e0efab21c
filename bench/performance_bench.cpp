// Cost of recording and rendering a performance: one event written to a
// performance file (what recording adds to each handler and tick), and one
// second of a busy performance rendered to samples.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <cmath>

#include "performance/performance_render.h"
#include "performance/performance_writer.h"

namespace {

using namespace scrivola;

PerformanceEvent tickEvent(double time) {
    PerformanceEvent event;
    event.kind = EventKind::SynthesisTick;
    event.time = time;
    event.readings = {{static_cast<float>(93021.75 + time), 2}};
    return event;
}

PerformanceEvent moveEvent(double time) {
    PerformanceEvent event;
    event.kind = EventKind::Move;
    event.time = time;
    event.button = 1;
    event.x = static_cast<float>(3000.0 + 400.0 * std::sin(time));
    event.y = static_cast<float>(2000.0 + 300.0 * std::cos(time));
    return event;
}

void BM_WriteEvent(benchmark::State& state) {
    QTemporaryDir dir;
    PerformanceWriter writer;
    writer.open(dir.filePath(QStringLiteral("bench.scrivola")), {}, StartingState{});
    double time = 0.0;
    for (auto _ : state) {
        time += 0.005;
        writer.write(state.range(0) == 0 ? tickEvent(time) : moveEvent(time));
    }
    writer.finish(time);
}

// A second of drawing as a player makes it: 64 synthesis ticks, 64 decay
// ticks and 100 pen moves, the pen colour changing every second, so that
// the parameters and the waveform shapes keep changing.
QString busyPerformance(const QString& path, int seconds) {
    PerformanceWriter writer;
    StartingState start;
    start.clock = 93021.75;
    writer.open(path, {}, start);
    PerformanceEvent event;
    for (int s = 0; s < seconds; ++s) {
        event = PerformanceEvent{};
        event.kind = EventKind::Swatch;
        event.time = s;
        event.number = s % 8;
        writer.write(event);
        event.kind = EventKind::Press;
        event.button = 1;
        event.x = 600.0f + 700.0f * static_cast<float>(s % 8);
        event.y = 2000.0f;
        writer.write(event);
        int k = 0;
        for (int n = 0; n < 64; ++n) {
            const double tick = s + n / 64.0;
            writer.write(tickEvent(tick));
            event = PerformanceEvent{};
            event.kind = EventKind::DecayTick;
            event.time = tick;
            writer.write(event);
            for (; k < 100 && s + k / 100.0 < tick + 1 / 64.0; ++k) {
                PerformanceEvent move = moveEvent(s + k / 100.0);
                move.x += 37.0f * static_cast<float>(k);
                writer.write(move);
            }
        }
    }
    writer.finish(seconds);
    return path;
}

class NullSink final : public SoundSink {
public:
    bool write(const std::int16_t*, std::size_t) override { return true; }
};

void BM_RenderSecond(benchmark::State& state) {
    constexpr int kSeconds = 20;
    QTemporaryDir dir;
    const QString path = busyPerformance(dir.filePath(QStringLiteral("busy.scrivola")), kSeconds);
    NullSink sink;
    for (auto _ : state) {
        const RenderOutcome outcome = renderPerformance(path, sink);
        if (!outcome.ok()) {
            state.SkipWithError(outcome.error.toStdString().c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kSeconds);  // seconds of performance
}

}  // namespace

// Argument 0: a synthesis tick with its clock reading; 1: a pen move.
BENCHMARK(BM_WriteEvent)->Arg(0)->Arg(1);
BENCHMARK(BM_RenderSecond)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
