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

#include "audio/playback_counters.h"
#include "audio/steady_time.h"
#include "audio/system_sound_layer.h"
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

    explicit TimedSoundLayer(SystemSoundLayer& inner) : inner_(inner) { writes.reserve(1 << 16); }

    bool openSound() override { return inner_.openSound(); }
    bool play(std::int16_t slot, bool looping) override { return inner_.play(slot, looping); }
    bool writeWaveTable(std::int16_t slot, const WaveTable& table) override {
        const std::int64_t at = steadyNowNs();
        const bool written = inner_.writeWaveTable(slot, table);
        if (written && slot == 0) {
            writes.push_back({inner_.mixer().writes(0), at});
        }
        return written;
    }
    void releaseSound() override { inner_.releaseSound(); }
    std::string failureReason() const override { return inner_.failureReason(); }
    bool recoverIfLost() override { return inner_.recoverIfLost(); }
    bool isIdle() const override { return inner_.isIdle(); }
    void keepOutputRunning(bool on) override { inner_.keepOutputRunning(on); }
    void expectSound() override { inner_.expectSound(); }
    bool tapOutput(SampleRing* ring) override { return inner_.tapOutput(ring); }
    unsigned outputRate() const override { return inner_.outputRate(); }

    std::vector<Write> writes;

private:
    SystemSoundLayer& inner_;
};

// Watches, from its own thread, when the callback first played each write.
class RenderWatcher {
public:
    explicit RenderWatcher(const PlaybackCounters& counters) : counters_(counters) {
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
            const PlaybackSnapshot::Slot slot = counters_.snapshot().slots[0];
            if (slot.renderedWrite != last) {
                last = slot.renderedWrite;
                renders_.push_back({slot.renderedWrite, slot.renderedAtNs});
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    }

    const PlaybackCounters& counters_;
    std::vector<TimedSoundLayer::Write> renders_;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    PlaybackCounters counters;
    SystemSoundLayer real;
    real.setObserver(&counters);
    TimedSoundLayer sound(real);
    Form1 window(sound);
    if (!window.Form_Load()) {
        std::fprintf(stderr, "no audio output: %s\n", real.failureReason().c_str());
        return 1;
    }
    window.show();
    RenderWatcher watcher(counters);
    // A white stroke sets tone 1; from then on each lift reloads the level,
    // which fades while the pen is down: the tables change at every tick and
    // the note never falls silent.
    window.picdraw_MouseDown(1, 0, 4290, 3000);
    window.picdraw_MouseMove(1, 0, 4300, 3000);
    window.picdraw_MouseUp(1, 0, 4300, 3000);
    bool penDown = false;
    QTimer pen;
    pen.setInterval(500);
    // The latency the output uses, which it may adapt while it plays.
    unsigned latencyMin = 0;
    unsigned latencyMax = 0;
    QObject::connect(&pen, &QTimer::timeout, [&] {
        if (const unsigned frames = real.latencyFrames(); frames != 0) {
            latencyMin = latencyMin == 0 ? frames : std::min(latencyMin, frames);
            latencyMax = std::max(latencyMax, frames);
        }
        penDown = !penDown;
        if (penDown) {
            window.picdraw_MouseDown(1, 0, 4300, 3000);
        } else {
            window.picdraw_MouseUp(1, 0, 4300, 3000);
        }
    });
    pen.start();

    const std::int64_t startNs = steadyNowNs();
    const PlaybackSnapshot before = counters.snapshot();
    const std::uint64_t underrunsBefore = real.underruns();
    PlaybackSnapshot after;
    std::uint64_t underruns = 0;
    unsigned latency = 0;
    std::string output;
    double elapsed = 0.0;
    // Quitting closes the window, which releases the sound: read it first.
    QTimer::singleShot(static_cast<int>(seconds * 1000), &app, [&] {
        after = counters.snapshot();
        underruns = real.underruns() - underrunsBefore;
        latency = real.latencyFrames();
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
    std::printf("underruns=%llu\n", static_cast<unsigned long long>(underruns));
    std::printf("recoveries=%llu\n", static_cast<unsigned long long>(real.recoveries()));
    std::printf("latency_frames=%u\n", latency);
    std::printf("latency_frames_min=%u\n", latencyMin);
    std::printf("latency_frames_max=%u\n", latencyMax);
    std::printf("writes=%zu\n", sound.writes.size());
    std::printf("writes_unseen=%zu\n", unseen);
    const scrivola::bench::Summary s = scrivola::bench::summarize(latencies);
    std::printf("write_to_callback_us_p50=%.0f\n", s.p50);
    std::printf("write_to_callback_us_p95=%.0f\n", s.p95);
    std::printf("write_to_callback_us_max=%.0f\n", s.max);
    return 0;
}
