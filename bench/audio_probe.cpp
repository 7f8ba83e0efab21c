// Runs the real window offscreen on the real audio output for a while, the
// pen pressed and lifted about once a second so that a note keeps sounding,
// and reports how long each table write took to reach the audio callback and
// how often the output ran out of audio.
//
//   scrivola_audio_probe SECONDS
//
// Prints one "name=value" line per figure; latencies are in microseconds.
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "audio/rtaudio_sound_layer.h"
#include "audio/steady_time.h"
#include "bench/percentiles.h"
#include "ui/form1.h"

namespace {

using namespace scrivola;

// The real sound layer, noting when each write of voice A's table was made.
class TimedSoundLayer final : public SoundLayer {
public:
    struct Write {
        std::uint64_t generation;
        std::int64_t atNs;
    };

    explicit TimedSoundLayer(RtAudioSoundLayer& inner) : inner_(inner) { writes.reserve(1 << 16); }

    bool openSound() override { return inner_.openSound(); }
    bool Play(std::int16_t slot, int flags) override { return inner_.Play(slot, flags); }
    bool writeWaveTable(std::int16_t slot, const WaveTable& table) override {
        const std::int64_t at = steadyNowNs();
        const bool written = inner_.writeWaveTable(slot, table);
        if (written && slot == 0) {
            writes.push_back({inner_.mixer().counters().slots[0].writtenGeneration, at});
        }
        return written;
    }
    void releaseSound() override { inner_.releaseSound(); }
    std::string failureReason() const override { return inner_.failureReason(); }
    bool recoverIfLost() override { return inner_.recoverIfLost(); }
    SoundCounters counters() const override { return inner_.counters(); }

    std::vector<Write> writes;

private:
    RtAudioSoundLayer& inner_;
};

// Watches, from its own thread, when the callback first played each write.
class RenderWatcher {
public:
    explicit RenderWatcher(const LoopMixer& mixer) : mixer_(mixer) {
        renders_.reserve(1 << 16);
        thread_ = std::thread([this] { run(); });
    }
    ~RenderWatcher() { stop(); }

    void stop() {
        running_.store(false);
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    // First render time of each generation seen (0 when never seen).
    std::int64_t renderedAt(std::uint64_t generation) const {
        const auto found = std::lower_bound(
            renders_.begin(), renders_.end(), generation,
            [](const TimedSoundLayer::Write& r, std::uint64_t g) { return r.generation < g; });
        return found != renders_.end() && found->generation == generation ? found->atNs : 0;
    }

private:
    void run() {
        std::uint64_t last = 0;
        while (running_.load()) {
            const SlotCounters slot = mixer_.counters().slots[0];
            if (slot.renderedGeneration != last) {
                last = slot.renderedGeneration;
                renders_.push_back({slot.renderedGeneration, slot.renderedAtNs});
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    }

    const LoopMixer& mixer_;
    std::vector<TimedSoundLayer::Write> renders_;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    RtAudioSoundLayer real;
    TimedSoundLayer sound(real);
    Form1 window(sound);
    if (!window.Form_Load()) {
        std::fprintf(stderr, "no audio output: %s\n", real.failureReason().c_str());
        return 1;
    }
    window.show();
    RenderWatcher watcher(real.mixer());
    // A white stroke sets tone 1; from then on each lift reloads the level,
    // which fades while the pen is down: the tables change at every tick and
    // the note never falls silent.
    window.picdraw_MouseDown(1, 0, 4290, 3000);
    window.picdraw_MouseMove(1, 0, 4300, 3000);
    window.picdraw_MouseUp(1, 0, 4300, 3000);
    bool penDown = false;
    QTimer pen;
    pen.setInterval(500);
    QObject::connect(&pen, &QTimer::timeout, [&] {
        penDown = !penDown;
        if (penDown) {
            window.picdraw_MouseDown(1, 0, 4300, 3000);
        } else {
            window.picdraw_MouseUp(1, 0, 4300, 3000);
        }
    });
    pen.start();

    const std::int64_t startNs = steadyNowNs();
    const SoundCounters before = real.counters();
    SoundCounters after;
    std::string output;
    double elapsed = 0.0;
    // Quitting closes the window, which releases the sound: read it first.
    QTimer::singleShot(static_cast<int>(seconds * 1000), &app, [&] {
        after = real.counters();
        output = real.outputDescription();
        elapsed = (steadyNowNs() - startNs) / 1e9;
        QApplication::quit();
    });
    QApplication::exec();
    watcher.stop();

    std::vector<double> latencies;
    std::size_t unseen = 0;
    for (const auto& write : sound.writes) {
        const std::int64_t at = watcher.renderedAt(write.generation);
        if (at == 0) {
            ++unseen;  // overwritten before a callback played it, or missed
        } else {
            latencies.push_back((at - write.atNs) / 1e3);
        }
    }
    std::printf("output=%s\n", output.c_str());
    std::printf("seconds=%.3f\n", elapsed);
    std::printf("callbacks=%llu\n",
                static_cast<unsigned long long>(after.callbacks - before.callbacks));
    std::printf("frames_per_second=%.1f\n", (after.frames - before.frames) / elapsed);
    std::printf("underruns=%llu\n",
                static_cast<unsigned long long>(after.underruns - before.underruns));
    std::printf("recoveries=%llu\n", static_cast<unsigned long long>(after.recoveries));
    std::printf("writes=%zu\n", sound.writes.size());
    std::printf("writes_unseen=%zu\n", unseen);
    const scrivola::bench::Summary s = scrivola::bench::summarize(latencies);
    std::printf("write_to_callback_us_p50=%.0f\n", s.p50);
    std::printf("write_to_callback_us_p95=%.0f\n", s.p95);
    std::printf("write_to_callback_us_max=%.0f\n", s.max);
    return 0;
}
