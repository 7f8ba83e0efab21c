// The audio callback's whole job: mixing both looping buffers into one block.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

#include "audio/loop_mixer.h"

namespace {

using scrivola::LoopMixer;

void BM_MixBothLoops(benchmark::State& state) {
    LoopMixer mixer;
    std::array<std::uint8_t, LoopMixer::kLoopSamples> loop{};
    for (std::size_t k = 0; k < loop.size(); ++k) {
        loop[k] = static_cast<std::uint8_t>(k * 3);
    }
    for (int slot = 0; slot < LoopMixer::kSlots; ++slot) {
        mixer.createBuffer(slot);
        mixer.write(slot, loop);
        mixer.play(slot, true);
    }
    std::vector<std::int16_t> out(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        mixer.render(out.data(), out.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MixBothLoops)->Arg(256)->Arg(512);

// Both loops rewritten (as at every synthesis tick) and then one callback, so
// the callback's first-render bookkeeping runs each time. Includes the two
// 360-sample writes, which the window thread pays for.
void BM_WriteBothThenMix(benchmark::State& state) {
    LoopMixer mixer;
    std::array<std::uint8_t, LoopMixer::kLoopSamples> loop{};
    loop.fill(200);
    for (int slot = 0; slot < LoopMixer::kSlots; ++slot) {
        mixer.createBuffer(slot);
        mixer.play(slot, true);
    }
    std::vector<std::int16_t> out(256);
    for (auto _ : state) {
        mixer.write(0, loop);
        mixer.write(1, loop);
        mixer.render(out.data(), out.size());
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_WriteBothThenMix);

}  // namespace

BENCHMARK_MAIN();
