// Cost of one wave-table tick (both voices, 361 samples, no display, no
// sound device) on a sounding state.
#include <benchmark/benchmark.h>

#include "synth/wave_table_tick.h"

namespace {

using namespace scrivola;

struct NullSound final : WaveTableWriter {
    bool writeWaveTable(std::int16_t, const WaveTable&) override { return true; }
};

struct PlayingState {
    SynthState state;
    modSynth_DX7 synth;
    SwitchSet switches;
    Sliders sliders;
    MonotonicCounter counter;
    NullSound sound;
    DisplayRecord shown;

    // A pen held down with strokes of every parameter colour behind it:
    // both tremolos, the vibrato and both cuts do real work.
    explicit PlayingState(bool modulated) {
        applyStartupValues(state, synth, switches, sliders);
        synth.tone = 3;
        synth.toneB = 20;
        state.level = 90;
        if (modulated) {
            state.amsp = "25";
            state.fmsp = "30";
            state.amsp2 = "12";
            state.cut = "40";
            state.cut2 = "60";
        }
    }
};

void BM_Tick(benchmark::State& bench) {
    PlayingState p(bench.range(0) != 0);
    // With argument 2 the pen moves the pitch of both voices at every tick,
    // so that no shape's value can be taken from the tick before.
    const bool moving = bench.range(0) == 2;
    std::int16_t step = 0;
    for (auto _ : bench) {
        if (moving) {
            step = static_cast<std::int16_t>((step + 1) % 100);
            p.synth.tone = static_cast<std::int16_t>(3 + step);
            p.synth.toneB = static_cast<std::int16_t>(20 + step);
        }
        waveTableTick(p.synth, p.state, p.switches, p.counter, p.sound, p.shown);
        benchmark::DoNotOptimize(p.synth.tableA.data());
        benchmark::DoNotOptimize(p.synth.tableB.data());
        benchmark::DoNotOptimize(p.shown.scopeA.data());
    }
}

void BM_ReadClock(benchmark::State& s) {
    MonotonicCounter counter;
    for (auto _ : s) {
        benchmark::DoNotOptimize(readClockSeconds(counter));
    }
}

}  // namespace

// Argument 0: start-up state (plain sines); 1: all modulations and cuts on;
// 2: the same with the pitch moving at every tick.
BENCHMARK(BM_Tick)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadClock);

BENCHMARK_MAIN();
