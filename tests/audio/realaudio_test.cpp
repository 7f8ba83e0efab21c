// Plays through the real RtAudio output into a private PulseAudio null sink
// (scripts/pulse-env.sh) and checks what arrives on the sink's monitor.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audio/playback_counters.h"
#include "audio/system_sound_layer.h"
#include "monitor_recorder.h"
#include "synth/numeric.h"

namespace scrivola {
namespace {

using namespace std::chrono_literals;
using testing::MonitorRecorder;
using Clock = std::chrono::steady_clock;

// Voice A's table for tone 1 with only the plain sine on at amplitude 100.
WaveTable referenceTable() {
    WaveTable table{};
    for (std::size_t k = 0; k < table.size(); ++k) {
        const float angle = toSingle(static_cast<double>(k) * 0.01745329251994);
        const double sample = roundHalfEven(std::sin(static_cast<double>(angle)) * 100.0);
        table[k] = toByte(sample + 128.0).value();
    }
    return table;
}

// Where the recording's sound begins (the part before playback started is
// silence); the whole length when it never does.
std::size_t firstSound(const std::vector<std::int16_t>& samples) {
    return static_cast<std::size_t>(
        std::find_if(samples.begin(), samples.end(), [](auto v) { return v != 0; }) -
        samples.begin());
}

// Prints how long a written table waits until a callback first plays it
// (a measurement, not a check: the machine is shared).
void reportPickupDelay(SoundLayer& layer, const LoopMixer& mixer,
                       const PlaybackCounters& counters) {
    std::vector<double> delaysMs;
    const WaveTable table = referenceTable();
    for (int i = 0; i < 40; ++i) {
        const auto written = Clock::now();
        layer.writeWaveTable(0, table);
        const std::uint64_t write = mixer.writes(0);
        std::this_thread::sleep_for(25ms);
        const PlaybackSnapshot::Slot slot = counters.snapshot().slots[0];
        if (slot.renderedWrite == write) {
            const auto writtenNs =
                std::chrono::duration_cast<std::chrono::nanoseconds>(written.time_since_epoch())
                    .count();
            delaysMs.push_back(static_cast<double>(slot.renderedAtNs - writtenNs) / 1e6);
        }
    }
    if (delaysMs.empty()) {
        return;
    }
    std::sort(delaysMs.begin(), delaysMs.end());
    std::cout << "write to first render: median " << delaysMs[delaysMs.size() / 2] << " ms, max "
              << delaysMs.back() << " ms over " << delaysMs.size() << " writes\n";
}

// The output these tests play through: RtAudio's PulseAudio back end.
OutputSettings pulseAudio() {
    OutputSettings settings;
    settings.backend = OutputBackend::pulseaudio;
    return settings;
}

// The pulse-env.sh that runs this test, which can stop, start, freeze and
// thaw the sound server.
std::string controlScript() {
    const char* script = std::getenv("SCRIVOLA_PULSE_ENV");
    return script != nullptr ? script : "";
}

bool control(const std::string& script, const std::string& command) {
    return std::system(("'" + script + "' " + command).c_str()) == 0;
}

struct PollResult {
    bool everLost = false;  // some call reported no running output
    bool running = false;   // the last call reported a running output
    double longestMs = 0.0;
};

// Calls recoverIfLost every 250 ms, `polls` times or, with `untilRunning`,
// until it reports a running output.
PollResult pollRecovery(SoundLayer& layer, int polls, bool untilRunning) {
    PollResult result;
    for (int i = 0; i < polls && !(untilRunning && result.running); ++i) {
        std::this_thread::sleep_for(250ms);
        const auto t0 = Clock::now();
        result.running = layer.recoverIfLost();
        result.everLost = result.everLost || !result.running;
        result.longestMs = std::max(
            result.longestMs, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::cout << "longest recoverIfLost call " << result.longestMs << " ms\n";
    return result;
}

class RealAudio : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("PULSE_SERVER"), nullptr)
            << "needs the private sound server: run under scripts/pulse-env.sh";
    }

    // Opens the layer with the reference table looping in slot 0 and the
    // centre line in slot 1.
    void startReference(DeviceSoundLayer& layer) {
        ASSERT_TRUE(layer.openSound()) << layer.failureReason();
        std::cout << "output: " << layer.outputDescription() << "\n";
        WaveTable centre;
        centre.fill(128);
        ASSERT_TRUE(layer.writeWaveTable(0, referenceTable()));
        ASSERT_TRUE(layer.writeWaveTable(1, centre));
        ASSERT_TRUE(layer.play(0, true));
        ASSERT_TRUE(layer.play(1, true));
    }

    // Records the monitor for `duration` once it delivers; then
    // `sounding` is how many sounding samples arrived, from `first` on.
    struct Recording {
        std::unique_ptr<MonitorRecorder> recorder = std::make_unique<MonitorRecorder>();
        std::size_t first = 0;
        std::size_t sounding = 0;
        // A check of the project's analyser on the sounding part.
        bool check(const std::vector<std::string>& command) const {
            return recorder->check(first, referenceTable(), command);
        }
    };
    Recording record(std::chrono::milliseconds duration) {
        Recording recording;
        MonitorRecorder& recorder = *recording.recorder;
        if (!recorder.start()) {
            ADD_FAILURE() << recorder.error();
            return recording;
        }
        if (!recorder.waitForData(8s)) {
            ADD_FAILURE() << "the sink's monitor delivers nothing";
            return recording;
        }
        std::this_thread::sleep_for(duration);
        recorder.stop();
        const std::vector<std::int16_t> all = recorder.samples();
        recording.first = firstSound(all);
        recording.sounding = all.size() - recording.first;
        return recording;
    }
};

TEST_F(RealAudio, ReferenceTableIsTheKnownSine) {
    const WaveTable table = referenceTable();
    const std::pair<int, int> known[] = {{0, 128},   {1, 130},  {45, 199},  {90, 228},
                                         {180, 128}, {270, 28}, {359, 126}, {360, 128}};
    for (auto [k, value] : known) {
        EXPECT_EQ(table[static_cast<std::size_t>(k)], value) << "entry " << k;
    }
}

TEST_F(RealAudio, LoopSoundsBitExactAt122_5Hz) {
    PlaybackCounters counters;
    SystemSoundLayer layer(pulseAudio());
    layer.setObserver(&counters);
    startReference(layer);
    const Recording recorded = record(1500ms);
    const PlaybackSnapshot seen = counters.snapshot();
    reportPickupDelay(layer, layer.mixer(), counters);
    layer.releaseSound();
    std::cout << seen.callbacks << " callbacks, " << seen.frames << " frames\n";

    ASSERT_GE(recorded.sounding, 44100u / 2) << "too little sound reached the sink";
    // Every loop pass is the table, bit for bit (a gap on a busy machine is
    // let through and counted), at 122.5 Hz.
    EXPECT_TRUE(recorded.check({"exact"}));
    EXPECT_TRUE(recorded.check({"pitches", "--expect", "1"}));
}

TEST_F(RealAudio, SoundComesBackAfterTheServerReturns) {
    const std::string script = controlScript();
    ASSERT_FALSE(script.empty()) << "run under scripts/pulse-env.sh";

    SystemSoundLayer layer(pulseAudio());
    startReference(layer);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(layer.recoverIfLost());
    EXPECT_EQ(layer.recoveries(), 0u);

    ASSERT_TRUE(control(script, "daemon-stop"));
    bool noticed = false;
    for (int poll = 0; poll < 8 && !noticed; ++poll) {
        std::this_thread::sleep_for(250ms);
        const auto t0 = Clock::now();
        noticed = !layer.recoverIfLost();
        std::cout << "while the server is away: recoverIfLost took "
                  << std::chrono::duration<double, std::milli>(Clock::now() - t0).count()
                  << " ms\n";
    }
    EXPECT_TRUE(noticed) << "the lost server went unnoticed";

    ASSERT_TRUE(control(script, "daemon-start"));
    const auto back = Clock::now();
    int polls = 0;
    bool recovered = false;
    while (!recovered && polls < 8) {  // eight polls of 250 ms: 2 s
        std::this_thread::sleep_for(250ms);
        recovered = layer.recoverIfLost();
        ++polls;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - back).count();
    std::cout << "output reopened " << seconds << " s after the server returned (" << polls
              << " polls), " << layer.outputDescription() << "\n";
    ASSERT_TRUE(recovered) << layer.failureReason();
    EXPECT_GE(layer.recoveries(), 1u);

    const Recording recorded = record(600ms);
    layer.releaseSound();
    EXPECT_TRUE(recorded.check({"exact"})) << "the loop does not sound again after the reopen";
}

TEST_F(RealAudio, HungServerNeitherBlocksNorKeepsTheSoundAway) {
    const std::string script = controlScript();
    ASSERT_FALSE(script.empty()) << "run under scripts/pulse-env.sh";

    SystemSoundLayer layer(pulseAudio());
    startReference(layer);
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(control(script, "daemon-freeze"));
    // The stream stalls; reopening cannot finish while the server hangs, and
    // the calls return anyway (their longest time is printed).
    const PollResult hung = pollRecovery(layer, 8, false);
    ASSERT_TRUE(control(script, "daemon-thaw"));
    EXPECT_TRUE(hung.everLost) << "a hung server went unnoticed";

    EXPECT_TRUE(pollRecovery(layer, 8, true).running) << layer.failureReason();
    EXPECT_GE(layer.recoveries(), 1u);
    const Recording recorded = record(600ms);
    layer.releaseSound();
    EXPECT_TRUE(recorded.check({"exact"}))
        << "the loop does not sound again after the server woke up";
}

}  // namespace
}  // namespace scrivola
