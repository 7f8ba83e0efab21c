#include "audio/loop_mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "audio/playback_counters.h"
#include "test_loops.h"

namespace scrivola {
namespace {

using testing::constantLoop;
using testing::Loop;

// A loop in which no two neighbouring stretches look alike, so any shift,
// drop or repeat of a sample shows up.
Loop patternLoop(int seed) {
    Loop loop;
    for (std::size_t k = 0; k < loop.size(); ++k) {
        loop[k] =
            static_cast<std::uint8_t>((k * 7 + k / 256 + static_cast<std::size_t>(seed)) % 256);
    }
    return loop;
}

std::int16_t voice(std::uint8_t b) {
    return static_cast<std::int16_t>((b - 128) * 256);
}

std::vector<std::int16_t> render(LoopMixer& mixer, std::size_t frames) {
    std::vector<std::int16_t> out(frames, 12345);
    mixer.render(out.data(), frames);
    return out;
}

class LoopMixerTest : public ::testing::Test {
protected:
    void SetUp() override {
        mixer.createBuffer(0);
        mixer.createBuffer(1);
    }
    LoopMixer mixer;
};

TEST(LoopMixerSlots, SlotWithoutBufferRefusesPlayAndWrite) {
    LoopMixer mixer;
    const Loop loop = patternLoop(0);
    for (int slot : {-1, 0, 1, 2}) {
        EXPECT_FALSE(mixer.play(slot, true)) << slot;
        EXPECT_FALSE(mixer.write(slot, loop)) << slot;
        EXPECT_FALSE(mixer.hasBuffer(slot)) << slot;
    }
    EXPECT_EQ(render(mixer, 10), std::vector<std::int16_t>(10, 0));
}

TEST_F(LoopMixerTest, NewBufferPlaysSilence) {
    ASSERT_TRUE(mixer.play(0, true));
    ASSERT_TRUE(mixer.play(1, true));
    EXPECT_EQ(render(mixer, 800), std::vector<std::int16_t>(800, 0));
    EXPECT_EQ(mixer.sample(0, 0), 128);
    EXPECT_EQ(mixer.sample(1, 359), 128);
}

TEST_F(LoopMixerTest, LoopRepeatsEvery360SamplesAcrossAnyCallbackSize) {
    const Loop loop = patternLoop(3);
    ASSERT_TRUE(mixer.write(0, loop));
    ASSERT_TRUE(mixer.play(0, true));
    std::vector<std::int16_t> played;
    for (std::size_t frames : {1u, 7u, 128u, 129u, 256u, 359u, 360u, 361u, 512u, 1000u}) {
        const auto out = render(mixer, frames);
        played.insert(played.end(), out.begin(), out.end());
    }
    for (std::size_t i = 0; i < played.size(); ++i) {
        ASSERT_EQ(played[i], voice(loop[i % 360])) << "frame " << i;
    }
}

TEST_F(LoopMixerTest, MixSaturatesTo16Bits) {
    struct Case {
        std::uint8_t a, b;
        std::int16_t mixed;
    };
    const Case cases[] = {
        {255, 255, 32767}, {0, 0, -32768},   {200, 200, 32767}, {1, 1, -32768},
        {255, 128, 32512}, {0, 128, -32768}, {192, 191, 32512}, {193, 192, 32767},
        {129, 127, 0},     {128, 128, 0},    {0, 255, -256},    {64, 63, -32768},
    };
    ASSERT_TRUE(mixer.play(0, true));
    ASSERT_TRUE(mixer.play(1, true));
    for (const Case& c : cases) {
        ASSERT_TRUE(mixer.write(0, constantLoop(c.a)));
        ASSERT_TRUE(mixer.write(1, constantLoop(c.b)));
        EXPECT_EQ(render(mixer, 3), std::vector<std::int16_t>(3, c.mixed))
            << int(c.a) << " + " << int(c.b);
    }
}

TEST_F(LoopMixerTest, WritingOneSlotNeverChangesWhatTheOtherPlays) {
    for (int written : {0, 1}) {
        const int other = 1 - written;
        LoopMixer m;
        m.createBuffer(0);
        m.createBuffer(1);
        const Loop otherLoop = patternLoop(other);
        ASSERT_TRUE(m.write(other, otherLoop));
        ASSERT_TRUE(m.play(other, true));
        ASSERT_TRUE(m.write(written, constantLoop(255)));  // written slot not playing
        const auto out = render(m, 720);
        for (std::size_t i = 0; i < out.size(); ++i) {
            ASSERT_EQ(out[i], voice(otherLoop[i % 360])) << "slot " << written << " frame " << i;
        }
        for (std::size_t k = 0; k < 360; ++k) {
            ASSERT_EQ(m.sample(other, k), otherLoop[k]);
        }
    }
}

TEST_F(LoopMixerTest, PlayPositionsAdvanceAndWrapPerSlot) {
    const Loop a = patternLoop(1);
    const Loop b = patternLoop(90);
    ASSERT_TRUE(mixer.write(0, a));
    ASSERT_TRUE(mixer.write(1, b));
    ASSERT_TRUE(mixer.play(0, true));
    render(mixer, 100);
    ASSERT_TRUE(mixer.play(1, true));
    const auto out = render(mixer, 300);
    EXPECT_EQ(mixer.playPosition(0), 40u);  // 400 frames after its start
    EXPECT_EQ(mixer.playPosition(1), 300u);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const int sum = voice(a[(100 + i) % 360]) + voice(b[i]);
        ASSERT_EQ(out[i], std::clamp(sum, -32768, 32767)) << i;
    }
}

TEST_F(LoopMixerTest, PlayRestartsFromTheFirstSample) {
    const Loop loop = patternLoop(5);
    ASSERT_TRUE(mixer.write(0, loop));
    ASSERT_TRUE(mixer.play(0, true));
    render(mixer, 250);
    ASSERT_TRUE(mixer.play(0, true));
    const auto out = render(mixer, 2);
    EXPECT_EQ(out[0], voice(loop[0]));
    EXPECT_EQ(out[1], voice(loop[1]));
}

TEST_F(LoopMixerTest, WithoutLoopingASlotPlaysOnceThenFallsSilent) {
    const Loop loop = constantLoop(200);
    ASSERT_TRUE(mixer.write(0, loop));
    ASSERT_TRUE(mixer.play(0, false));
    const auto out = render(mixer, 500);
    for (std::size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i], i < 360 ? voice(200) : 0) << i;
    }
    EXPECT_FALSE(mixer.isSounding(0));
}

TEST_F(LoopMixerTest, ReleasedSlotFallsSilentAndComesBackSilentAndStopped) {
    ASSERT_TRUE(mixer.write(0, constantLoop(255)));
    ASSERT_TRUE(mixer.play(0, true));
    ASSERT_NE(render(mixer, 1)[0], 0);
    mixer.releaseBuffer(0);
    EXPECT_EQ(render(mixer, 4), std::vector<std::int16_t>(4, 0));
    EXPECT_FALSE(mixer.write(0, constantLoop(255)));

    mixer.createBuffer(0);
    EXPECT_EQ(mixer.sample(0, 0), 128);
    ASSERT_TRUE(mixer.write(0, constantLoop(255)));
    EXPECT_EQ(render(mixer, 4), std::vector<std::int16_t>(4, 0)) << "plays before Play";
    ASSERT_TRUE(mixer.play(0, true));
    EXPECT_EQ(render(mixer, 1)[0], voice(255));
}

TEST_F(LoopMixerTest, ObserverSeesEachWriteFirstSound) {
    PlaybackCounters counters;
    mixer.setObserver(&counters);
    ASSERT_TRUE(mixer.write(1, constantLoop(10)));
    render(mixer, 64);  // slot 1 not playing: the write has not sounded
    PlaybackSnapshot c = counters.snapshot();
    EXPECT_EQ(mixer.writes(1), 1u);
    EXPECT_EQ(c.slots[1].renderedWrite, 0u);

    ASSERT_TRUE(mixer.play(1, true));
    render(mixer, 64);
    c = counters.snapshot();
    EXPECT_EQ(c.slots[1].renderedWrite, 1u);
    EXPECT_GT(c.slots[1].renderedAtNs, 0);
    const std::int64_t firstAt = c.slots[1].renderedAtNs;

    render(mixer, 64);  // same write again: time of its first render kept
    EXPECT_EQ(counters.snapshot().slots[1].renderedAtNs, firstAt);

    ASSERT_TRUE(mixer.write(1, constantLoop(20)));
    render(mixer, 64);
    c = counters.snapshot();
    EXPECT_EQ(mixer.writes(1), 2u);
    EXPECT_EQ(c.slots[1].renderedWrite, 2u);
    EXPECT_EQ(c.slots[0].renderedWrite, 0u);
    EXPECT_EQ(c.callbacks, 4u);
    EXPECT_EQ(c.frames, 256u);
    EXPECT_EQ(mixer.framesRendered(), 256u);
}

}  // namespace
}  // namespace scrivola
