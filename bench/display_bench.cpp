// What the window's displays cost per synthesis tick: clearing the four
// boxes, 722 scope points and two meter bars, alone and within a full tick.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "audio/silent_sound_layer.h"
#include "synth/wave_table_tick.h"
#include "ui/form1.h"

namespace {

using scrivola::DisplayBox;

scrivola::Form1& window() {
    static scrivola::SilentSoundLayer sound;
    static scrivola::Form1 form(sound);
    return form;
}

void BM_DisplayOneTick(benchmark::State& state) {
    scrivola::ScopeDisplay& display = window().display();
    for (auto _ : state) {
        display.clearBox(DisplayBox::WPB1);
        display.clearBox(DisplayBox::o1VU);
        display.clearBox(DisplayBox::Picture1);
        display.clearBox(DisplayBox::Picture2);
        for (std::int16_t i = 0; i <= 360; ++i) {
            display.plotScopePoint(i, static_cast<float>((i % 90) - 45), DisplayBox::WPB1);
            display.plotScopePoint(i, static_cast<float>(45 - (i % 90)), DisplayBox::Picture1);
        }
        display.drawMeter(80, DisplayBox::o1VU);
        display.drawMeter(40, DisplayBox::Picture2);
    }
}
BENCHMARK(BM_DisplayOneTick);

void BM_ScopePoints(benchmark::State& state) {
    scrivola::ScopeDisplay& display = window().display();
    for (auto _ : state) {
        for (std::int16_t i = 0; i <= 360; ++i) {
            display.plotScopePoint(i, static_cast<float>((i % 90) - 45), DisplayBox::WPB1);
        }
    }
}
BENCHMARK(BM_ScopePoints);

void BM_MeterBar(benchmark::State& state) {
    scrivola::ScopeDisplay& display = window().display();
    for (auto _ : state) {
        display.drawMeter(80, DisplayBox::o1VU);
    }
}
BENCHMARK(BM_MeterBar);

void BM_ClearBox(benchmark::State& state) {
    scrivola::ScopeDisplay& display = window().display();
    for (auto _ : state) {
        display.clearBox(DisplayBox::WPB1);
    }
}
BENCHMARK(BM_ClearBox);

void BM_TickWithWindowDisplay(benchmark::State& state) {
    scrivola::Form1& form = window();
    scrivola::MonotonicCounter counter;
    scrivola::SilentSoundLayer sound;
    form.synth().ampA = 90;
    form.synth().ampB = 90;
    for (auto _ : state) {
        scrivola::waveTableTick(form.synth(), form.state(), form.switches(),
                                scrivola::TickIo{counter, form.display(), sound});
    }
}
BENCHMARK(BM_TickWithWindowDisplay);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
