// One thread rewrites whole loops while another renders them, as the window
// and the audio callback do. Meant to run under ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <set>
#include <thread>
#include <vector>

#include "audio/loop_mixer.h"
#include "audio/playback_counters.h"
#include "test_loops.h"

namespace scrivola {
namespace {

using testing::constantLoop;
using testing::Loop;

TEST(LoopMixerThreads, RewritesWhilePlayingOnlyEverSoundOldOrNewSamples) {
    LoopMixer mixer;
    PlaybackCounters counters;
    mixer.setObserver(&counters);
    mixer.createBuffer(0);
    mixer.createBuffer(1);
    ASSERT_TRUE(mixer.play(0, true));
    ASSERT_TRUE(mixer.play(1, true));

    // Slot 0 alternates between 160 and 96, slot 1 between 140 and 128: every
    // mixed sample must be one of the four sums.
    const std::set<int> allowed = {(32 + 12) * 256, (32 + 0) * 256, (-32 + 12) * 256,
                                   (-32 + 0) * 256};
    const Loop a0 = constantLoop(160), a1 = constantLoop(96);
    const Loop b0 = constantLoop(140), b1 = constantLoop(128);
    ASSERT_TRUE(mixer.write(0, a0));
    ASSERT_TRUE(mixer.write(1, b0));
    std::atomic<bool> stop{false};
    std::atomic<int> writes{0};
    std::thread window([&] {
        for (int i = 0; !stop.load(); ++i) {
            mixer.write(0, i % 2 ? a1 : a0);
            mixer.write(1, i % 3 ? b1 : b0);
            (void)counters.snapshot();
            writes.fetch_add(1);
        }
    });

    std::vector<std::int16_t> out(256);
    std::size_t bad = 0;
    // Render while the writer runs: at least kCallbacks blocks and at least
    // a few hundred rewrites, however the threads get scheduled.
    constexpr int kCallbacks = 4000;
    int callbacks = 0;
    for (; callbacks < kCallbacks || writes.load() < 500; ++callbacks) {
        mixer.render(out.data(), out.size());
        for (std::int16_t v : out) {
            bad += allowed.count(v) == 0 ? 1 : 0;
        }
    }
    stop.store(true);
    window.join();

    EXPECT_EQ(bad, 0u);
    const PlaybackSnapshot seen = counters.snapshot();
    EXPECT_EQ(seen.callbacks, static_cast<std::uint64_t>(callbacks));
    EXPECT_EQ(seen.frames, static_cast<std::uint64_t>(callbacks) * 256);
    EXPECT_LE(seen.slots[0].renderedWrite, mixer.writes(0));
}

TEST(LoopMixerThreads, PlayAndReleaseWhileRenderingStayOrderly) {
    LoopMixer mixer;
    std::atomic<bool> stop{false};
    std::atomic<int> rounds{0};
    std::thread window([&] {
        const Loop loud = constantLoop(255);
        for (int i = 0; !stop.load(); ++i) {
            const int slot = i % 2;
            mixer.createBuffer(slot);
            mixer.write(slot, loud);
            mixer.play(slot, i % 4 < 2);
            mixer.releaseBuffer(slot);
            rounds.fetch_add(1);
        }
    });
    std::vector<std::int16_t> out(128);
    std::size_t bad = 0;
    for (int c = 0; c < 4000 || rounds.load() < 500; ++c) {
        mixer.render(out.data(), out.size());
        for (std::int16_t v : out) {
            // Silence, one loud voice, a loud voice over a fresh (silent)
            // buffer, or both loud.
            bad += (v == 0 || v == 127 * 256 || v == 32767) ? 0 : 1;
        }
    }
    stop.store(true);
    window.join();
    EXPECT_EQ(bad, 0u);
}

}  // namespace
}  // namespace scrivola
