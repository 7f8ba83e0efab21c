// Cost of one wave-table tick (both voices, 361 samples, null display, no
// sound device), fast and literal, on a sounding state.
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
    NullDisplay display;
    NullSound sound;

    // A pen held down with blue (amplitude modulation) and green (frequency
    // modulation) strokes behind it: every modulation step does real work.
    explicit PlayingState(bool modulated) {
        applyStartupValues(state, synth, switches, sliders);
        synth.tone = 3;
        synth.toneB = 20;
        state.level = 90;
        if (modulated) {
            state.amsp = "25";
            state.fmsp = "30";
            state.cut = "40";
        }
    }
};

template <void (*Tick)(modSynth_DX7&, const SynthState&, const SwitchSet&, TickIo)>
void runTick(benchmark::State& bench, bool modulated) {
    PlayingState p(modulated);
    for (auto _ : bench) {
        Tick(p.synth, p.state, p.switches, TickIo{p.counter, p.display, p.sound});
        benchmark::DoNotOptimize(p.synth.tableA.data());
        benchmark::DoNotOptimize(p.synth.tableB.data());
    }
}

void BM_Tick(benchmark::State& s) {
    runTick<waveTableTick>(s, s.range(0) != 0);
}
void BM_TickLiteral(benchmark::State& s) {
    runTick<waveTableTickLiteral>(s, s.range(0) != 0);
}

void BM_ReadClock(benchmark::State& s) {
    MonotonicCounter counter;
    for (auto _ : s) {
        benchmark::DoNotOptimize(readClockSeconds(counter));
    }
}

}  // namespace

// Argument 0: start-up state (plain sines); 1: amplitude, frequency
// modulation and cut all active.
BENCHMARK(BM_Tick)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TickLiteral)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadClock);

BENCHMARK_MAIN();
