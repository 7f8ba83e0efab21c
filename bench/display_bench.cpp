// What the window's displays cost per synthesis tick: taking one tick's record
// into the two scopes and two meters and repainting what changed (722 scope
// points and two meter bars), alone and after a full tick, as the window's
// Timer1 does it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "audio/silent_sound_layer.h"
#include "ui/form1.h"

namespace {

// The window the benchmarks share. main() closes it while the application
// still exists: a widget outliving it crashes the program on its way out.
scrivola::SilentSoundLayer sound;
std::unique_ptr<scrivola::Form1> shared;

scrivola::Form1& window() {
    if (!shared) {
        shared = std::make_unique<scrivola::Form1>(sound);
        // The benchmarks run the ticks themselves; the window is shown so that
        // it repaints.
        shared->Timer1().setEnabled(false);
        shared->show();
        QCoreApplication::processEvents();
    }
    return *shared;
}

// A trace that changes from one tick to the next, as a playing voice's does.
void BM_DisplayOneTick(benchmark::State& state) {
    scrivola::WindowDisplay& display = window().display();
    scrivola::DisplayRecord shown;
    int shift = 0;
    for (auto _ : state) {
        for (int i = 0; i < scrivola::kTableSize; ++i) {
            shown.scopeA[i] = static_cast<float>(((i + shift) % 90) - 45);
            shown.scopeB[i] = static_cast<float>(45 - ((i + shift) % 90));
        }
        shown.meterA = 80;
        shown.meterB = 40;
        display.show(shown);
        QCoreApplication::processEvents();  // the repaint
        shift = (shift + 7) % 90;
    }
}
BENCHMARK(BM_DisplayOneTick);

void BM_TickWithWindowDisplay(benchmark::State& state) {
    scrivola::Form1& form = window();
    form.synth().ampA = 90;
    form.synth().ampB = 90;
    for (auto _ : state) {
        form.Timer1_Timer();
        QCoreApplication::processEvents();
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
    shared.reset();
    return 0;
}
