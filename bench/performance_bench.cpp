// Cost of recording and rendering a performance: one event written to a
// performance file (what recording adds to each handler and tick), and one
// second of a busy performance rendered to samples.
//
//   scrivola_performance_bench [Google Benchmark options]
//   scrivola_performance_bench --write-performance FILE SECONDS
//
// The second form only writes a busy performance of SECONDS in which every
// waveform shape of both voices takes its turn, with every modulation on,
// for bench/measure to render with `scrivola-synth --render`.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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

// The waveform check boxes of each voice, in the order the hour of every
// shape turns them on.
constexpr SwitchId kShapesA[] = {kVoiceASine,     kVoiceAPulse,      kVoiceARipplePulse,
                                 kVoiceATanOfCos, kVoiceASteppedTan, kVoiceASteppedSine};
constexpr SwitchId kShapesB[] = {kVoiceBSine, kVoiceBSquare, kVoiceBSteppedSine, kVoiceBTanOfCos,
                                 kVoiceBPulse};

// Each second one shape of each voice on and the others off, by check events.
void switchShapes(PerformanceWriter& writer, int second) {
    PerformanceEvent event;
    event.kind = EventKind::Check;
    event.time = second;
    for (std::size_t i = 0; i < std::size(kShapesA); ++i) {
        event.number = kShapesA[i];
        event.value = i == std::size_t(second) % std::size(kShapesA) ? 1 : 0;
        writer.write(event);
    }
    for (std::size_t i = 0; i < std::size(kShapesB); ++i) {
        event.number = kShapesB[i];
        event.value = i == std::size_t(second) % std::size(kShapesB) ? 1 : 0;
        writer.write(event);
    }
}

// A second of drawing as a player makes it: 64 synthesis ticks, 64 decay
// ticks and 100 pen moves, the pen colour changing every second, so that
// the parameters and the waveform shapes keep changing. With `everyShape`
// both tremolos, the vibrato and both cuts are on, and each second another
// shape of each voice sounds.
QString busyPerformance(const QString& path, int seconds, bool everyShape = false) {
    PerformanceWriter writer;
    StartingState start;
    start.clock = 93021.75;
    if (everyShape) {
        // Moved in, not assigned from literals, which g++ 12 wrongly warns of.
        start.state.amsp = std::string("3");
        start.state.fmsp = std::string("5");
        start.state.amsp2 = std::string("2");
        start.state.cut = std::string("4");
        start.state.cut2 = std::string("6");
    }
    writer.open(path, {}, start);
    PerformanceEvent event;
    for (int s = 0; s < seconds; ++s) {
        event = PerformanceEvent{};
        event.kind = EventKind::Swatch;
        event.time = s;
        event.number = s % 8;
        writer.write(event);
        if (everyShape) {
            switchShapes(writer, s);
        }
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
        const RenderOutcome outcome = renderPerformance(QFile::encodeName(path), sink);
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

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--write-performance") == 0) {
        const int seconds = std::atoi(argv[3]);
        if (seconds <= 0) {
            std::fprintf(stderr, "--write-performance FILE SECONDS\n");
            return 2;
        }
        busyPerformance(QString::fromLocal8Bit(argv[2]), seconds, true);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
