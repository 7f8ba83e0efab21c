#include "synth/wave_table_tick.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

#include "tick_fakes.h"

namespace scrivola {
namespace {

using testing::FakeCounter;
using testing::RecordingDisplay;
using testing::RecordingSound;

// The state right after start-up, with the switches as the window lays them
// out and a clock that stands still at 0 s.
struct TickFixture : ::testing::Test {
    SynthState state;
    modSynth_DX7 synth;
    SwitchSet switches;
    FakeCounter counter;
    RecordingDisplay display;
    RecordingSound sound;

    TickFixture() {
        Sliders sliders;
        applyStartupValues(state, synth, switches, sliders);
    }
    void tick() { waveTableTick(synth, state, switches, TickIo{counter, display, sound}); }
    void voiceAOnly(SwitchId id) {
        for (SwitchId a : {Check1, Check2, Check4, Check5, Check6, Check9}) {
            switches.setValue(a, a == id ? 1 : 0);
        }
    }
};

TEST_F(TickFixture, ReferenceSineTable) {
    synth.tone = 1;
    synth.ampA = 100;
    tick();
    EXPECT_EQ(synth.fmTerm, 1);
    const int entries[] = {0, 1, 45, 90, 180, 270, 359, 360};
    const int values[] = {128, 130, 199, 228, 128, 28, 126, 128};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(synth.tableA[entries[i]], values[i]) << "entry " << entries[i];
    }
    EXPECT_EQ(synth.peakA, 100);
}

TEST_F(TickFixture, NegativePitchTermIsRaisedByFour) {
    const int tones[] = {-1, -2, -3, -4, -5, -20};
    const int raised[] = {3, 2, 1, 0, -1, -16};
    for (int i = 0; i < 6; ++i) {
        synth.tone = static_cast<std::int16_t>(tones[i]);
        tick();
        EXPECT_EQ(synth.fmTerm, raised[i]) << "tone " << tones[i];
    }
}

TEST_F(TickFixture, LastSwitchOnWinsForEachVoice) {
    synth.tone = 3;
    synth.toneB = 5;
    synth.ampA = synth.ampB = 100;
    state.amsp = "1";
    counter.count = 1571;  // 1.571 s: sin(clock) close to 1, so voice B sounds
    const SwitchId orderA[] = {Check1, Check6, Check2, Check5, Check4, Check9};
    const SwitchId orderB[] = {Check7, Check8, Check10, Check11, Check12};
    for (int last = 0; last < 6; ++last) {
        // all of voice A up to `last` on: the table must equal `last` alone.
        for (int i = 0; i < 6; ++i) switches.setValue(orderA[i], i <= last ? 1 : 0);
        tick();
        const WaveTable together = synth.tableA;
        voiceAOnly(orderA[last]);
        tick();
        EXPECT_EQ(together, synth.tableA) << "voice A, switch " << orderA[last];
    }
    for (int last = 0; last < 5; ++last) {
        for (int i = 0; i < 5; ++i) switches.setValue(orderB[i], i <= last ? 1 : 0);
        tick();
        const WaveTable together = synth.tableB;
        for (int i = 0; i < 5; ++i) switches.setValue(orderB[i], i == last ? 1 : 0);
        tick();
        EXPECT_EQ(together, synth.tableB) << "voice B, switch " << orderB[last];
    }
}

TEST_F(TickFixture, SampleIsCarriedWhenNoSwitchOfTheVoiceIsOn) {
    voiceAOnly(Check2);
    switches.setValue(Check2, 0);
    synth.sampleA = 10.4f;
    tick();
    for (int i = 0; i < kTableSize; ++i) {
        ASSERT_EQ(synth.tableA[i], 138) << i;
    }
    EXPECT_FLOAT_EQ(synth.sampleA, 10.4f);
}

TEST_F(TickFixture, CutWithZeroPitchTermLeavesTableAndPeakUntouched) {
    synth.tone = 0;
    synth.ampA = 100;
    state.cut = "5";
    synth.tableA.fill(77);
    tick();
    for (int i = 0; i < kTableSize; ++i) {
        ASSERT_EQ(synth.tableA[i], 77) << i;
    }
    EXPECT_EQ(synth.peakA, 0);
    // and the scope values are infinities or NaN, never finite
    for (float v : display.scopeA) {
        EXPECT_FALSE(std::isfinite(v));
    }
}

TEST_F(TickFixture, VoiceBIsSilentWhileAmspReadsZero) {
    synth.toneB = 7;
    synth.ampB = 100;
    state.level = 100;
    counter.step = 3;
    for (SwitchId b : {Check7, Check8, Check10, Check11, Check12}) {
        switches.setValue(b, 1);
        tick();
        for (int i = 0; i < kTableSize; ++i) {
            ASSERT_EQ(synth.tableB[i], 128) << i;
        }
        EXPECT_EQ(synth.peakB, 0);
    }
}

TEST_F(TickFixture, ExtraAttenuationIsSkippedWhenExpOverflows) {
    // Check10 on and cut2 = 1: |fmTerm| <= 17 divides by at least 10e, from 18
    // on the exponent exceeds the double range and the step is skipped.
    switches.setValue(Check7, 0);
    switches.setValue(Check10, 1);
    state.amsp = "1";
    state.cut2 = "1";
    counter.count = 1571;
    synth.toneB = 40;
    synth.ampB = 100;
    state.level = 100;
    struct Case {
        std::int16_t tone;
        bool attenuated;
    };
    for (const Case c : {Case{17, true}, Case{18, false}, Case{-21, true}, Case{-22, false}}) {
        synth.tone = c.tone;
        tick();
        const std::int32_t fmTerm = synth.fmTerm;
        // Without step 29 the peak is the cut of step 28 alone.
        const double argument = fmTerm / 0.1 + 1.0;
        const double cut = argument > 0.0 ? 10.0 * std::log(argument) : 1.0;
        const double expectedUnattenuated = 100.0 * std::sin(1.571) / cut;
        if (c.attenuated) {
            EXPECT_LT(synth.peakB, expectedUnattenuated / 27.0) << "tone " << c.tone;
        } else {
            EXPECT_GT(synth.peakB, expectedUnattenuated * 0.9) << "tone " << c.tone;
        }
    }
}

TEST_F(TickFixture, FirstSampleUsesTheAmplitudeFromBeforeTheTick) {
    synth.tone = 1;
    synth.ampA = 0;  // as a pen release leaves it
    state.level = 90;
    tick();
    EXPECT_EQ(synth.tableA[0], 128);
    EXPECT_EQ(synth.tableA[90], 218);  // 90 + 128
    EXPECT_EQ(synth.ampA, 90);
}

TEST_F(TickFixture, CallsDisplayAndSoundInOrder) {
    synth.tone = 1;
    synth.ampA = 100;
    tick();
    const std::vector<std::string> expected = {"clear:0", "clear:1",     "clear:2",
                                               "clear:3", "meter:1=100", "meter:3=0"};
    EXPECT_EQ(display.calls, expected);
    EXPECT_EQ(display.scopeA.size(), 361u);
    EXPECT_EQ(display.scopeB.size(), 361u);
    EXPECT_EQ(sound.slots, (std::vector<int>{0, 1}));
    EXPECT_EQ(counter.reads, 361) << "the clock is read at every sample";
}

TEST_F(TickFixture, FailingCallsAndClockNeverStopTheTick) {
    synth.tone = 1;
    synth.ampA = 100;
    display.fail = true;
    sound.fail = true;
    counter.count = 5000;
    tick();  // clock 5 s
    counter.failCounter = true;
    tick();
    EXPECT_FLOAT_EQ(synth.clockSeconds, 5.0f) << "a failed clock read keeps the last reading";
    EXPECT_EQ(synth.tableA[90], 228);
    EXPECT_EQ(sound.slots.size(), 4u);

    counter.failCounter = false;
    counter.frequencyValue = 0;  // division by zero
    counter.count = 9000;
    tick();
    EXPECT_FLOAT_EQ(synth.clockSeconds, 5.0f);
}

TEST_F(TickFixture, TextThatFailsToConvertKeepsTheLastValue) {
    state.fmsp = "12";
    tick();
    EXPECT_EQ(synth.fmspInt, 12);
    state.fmsp = "99999";
    tick();
    EXPECT_EQ(synth.fmspInt, 12);
    state.fmsp = "";
    tick();
    EXPECT_EQ(synth.fmspInt, 12);
}

// The fast tick must reproduce the literal evaluation bit for bit: tables,
// peaks, every working value and every scope point.
struct Scenario {
    SynthState state;
    SwitchSet switches;
    modSynth_DX7 synth;
};

std::string randomText(std::mt19937& rng) {
    static const char* const texts[] = {"0",   "0",  "1",   "5", "-3", "12",    "37", "100",
                                        "250", "-7", "2.5", "",  "x",  "40000", "1"};
    return texts[rng() % (sizeof texts / sizeof texts[0])];
}

void expectSameBits(float a, float b, const char* what, int index) {
    EXPECT_EQ(std::bit_cast<std::uint32_t>(a), std::bit_cast<std::uint32_t>(b))
        << what << " at " << index << ": " << a << " vs " << b;
}

TEST(FastTick, MatchesTheLiteralEvaluation) {
    std::mt19937 rng(20261207);
    for (int scenario = 0; scenario < 400; ++scenario) {
        Scenario s;
        s.state.amsp = randomText(rng);
        s.state.fmsp = randomText(rng);
        s.state.amsp2 = randomText(rng);
        s.state.cut = randomText(rng);
        s.state.cut2 = randomText(rng);
        s.state.level = static_cast<std::int16_t>(rng() % 101);
        for (int id = Check1; id <= Check12; ++id) {
            s.switches.setValue(static_cast<SwitchId>(id), (rng() % 3 == 0) ? 1 : 0);
        }
        s.synth.tone = static_cast<std::int16_t>(static_cast<int>(rng() % 60) - 30);
        s.synth.toneB = static_cast<std::int16_t>(s.synth.tone + static_cast<int>(rng() % 49));
        s.synth.ampA = static_cast<std::int16_t>(rng() % 101);
        s.synth.ampB = static_cast<std::int16_t>(rng() % 101);
        s.synth.sampleA = static_cast<float>(static_cast<int>(rng() % 200) - 100) / 3.0f;
        s.synth.sampleB = static_cast<float>(static_cast<int>(rng() % 200) - 100) / 7.0f;
        for (auto& entry : s.synth.tableA) entry = static_cast<std::uint8_t>(rng());
        s.synth.tableB = s.synth.tableA;

        modSynth_DX7 fast = s.synth;
        modSynth_DX7 literal = s.synth;
        FakeCounter fastClock;
        FakeCounter literalClock;
        fastClock.frequencyValue = literalClock.frequencyValue = 1'000'000;
        fastClock.count = literalClock.count =
            static_cast<std::int64_t>(rng() % 100'000'000'000ULL);
        fastClock.step = literalClock.step = static_cast<std::int64_t>(rng() % 40);

        for (int tick = 0; tick < 3; ++tick) {
            RecordingDisplay fastDisplay, literalDisplay;
            RecordingSound fastSound, literalSound;
            waveTableTick(fast, s.state, s.switches, TickIo{fastClock, fastDisplay, fastSound});
            waveTableTickLiteral(literal, s.state, s.switches,
                                 TickIo{literalClock, literalDisplay, literalSound});
            SCOPED_TRACE(::testing::Message() << "scenario " << scenario << " tick " << tick);
            ASSERT_EQ(fast.tableA, literal.tableA);
            ASSERT_EQ(fast.tableB, literal.tableB);
            ASSERT_EQ(fast.peakA, literal.peakA);
            ASSERT_EQ(fast.peakB, literal.peakB);
            ASSERT_EQ(fast.fmTerm, literal.fmTerm);
            ASSERT_EQ(fast.ampA, literal.ampA);
            expectSameBits(fast.sampleA, literal.sampleA, "sampleA", 360);
            expectSameBits(fast.sampleB, literal.sampleB, "sampleB", 360);
            ASSERT_EQ(fastDisplay.calls, literalDisplay.calls);
            ASSERT_EQ(fastDisplay.scopeA.size(), literalDisplay.scopeA.size());
            for (std::size_t i = 0; i < fastDisplay.scopeA.size(); ++i) {
                expectSameBits(fastDisplay.scopeA[i], literalDisplay.scopeA[i], "scopeA",
                               static_cast<int>(i));
                expectSameBits(fastDisplay.scopeB[i], literalDisplay.scopeB[i], "scopeB",
                               static_cast<int>(i));
            }
            if (::testing::Test::HasFailure())
                return;
            expectSameBits(fast.clockSeconds, literal.clockSeconds, "clockSeconds", 0);
            expectSameBits(fast.angle, literal.angle, "angle", 0);
            ASSERT_EQ(fast.sampleIndex, literal.sampleIndex);
            ASSERT_EQ(fast.ampB, literal.ampB);
            ASSERT_EQ(fast.fmspInt, literal.fmspInt);
            ASSERT_EQ(fast.amspInt, literal.amspInt);
            ASSERT_EQ(fast.amsp2Int, literal.amsp2Int);
            ASSERT_EQ(fast.cutInt, literal.cutInt);
            ASSERT_EQ(fast.cut2Int, literal.cut2Int);
        }
    }
}

}  // namespace
}  // namespace scrivola
