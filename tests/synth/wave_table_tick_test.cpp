#include "synth/wave_table_tick.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

#include "tick_fakes.h"

namespace scrivola {
namespace {

using testing::FakeCounter;
using testing::RecordingSound;

constexpr SwitchId kVoiceAShapes[] = {kVoiceASine,     kVoiceAPulse,      kVoiceARipplePulse,
                                      kVoiceATanOfCos, kVoiceASteppedTan, kVoiceASteppedSine};
constexpr SwitchId kVoiceBShapes[] = {kVoiceBSine, kVoiceBSquare, kVoiceBSteppedSine,
                                      kVoiceBTanOfCos, kVoiceBPulse};

// Clock readings in nanoseconds (the fixture's counter runs at 1e9 a second).
constexpr std::int64_t kSixthOfPi = 523598776;
constexpr std::int64_t kQuarterOfPi = 785398163;
constexpr std::int64_t kThirdOfPi = 1047197551;
constexpr std::int64_t kHalfPi = 1570796327;
constexpr std::int64_t kPi = 3141592654;

// The state right after start-up, with the switches as the window lays them
// out and a clock that stands still at 0 s.
struct TickFixture : ::testing::Test {
    SynthState state;
    modSynth_DX7 synth;
    SwitchSet switches;
    FakeCounter counter;
    RecordingSound sound;
    DisplayRecord shown;

    TickFixture() {
        Sliders sliders;
        applyStartupValues(state, synth, switches, sliders);
        counter.frequencyValue = 1'000'000'000;
    }
    void tick() { waveTableTick(synth, state, switches, counter, sound, shown); }
    void only(SwitchId on) {
        for (SwitchId id : kVoiceAShapes) switches.setValue(id, id == on ? 1 : 0);
        for (SwitchId id : kVoiceBShapes) switches.setValue(id, id == on ? 1 : 0);
    }
    // Both voices at a steady amplitude from the first sample on.
    void playAt(std::int16_t amplitude) { synth.ampA = synth.ampB = state.level = amplitude; }
};

// Each shape alone, at pitch term 1, from values worked out by hand. Voice B
// sounds only while the tremolo's sine is not 0, so for voice B the clock
// stands at pi/2 s with a tremolo rate of 1, where that sine is 1.
TEST_F(TickFixture, EveryShapeGivesItsKnownTableEntries) {
    struct Case {
        const char* shape;
        SwitchId on;
        std::int16_t amplitude;
        std::vector<std::pair<int, int>> entries;  // entry, value
    };
    const Case cases[] = {
        {"A sine",
         kVoiceASine,
         100,
         {{0, 128}, {1, 130}, {45, 199}, {90, 228}, {180, 128}, {270, 28}, {359, 126}, {360, 128}}},
        {"A pulse", kVoiceAPulse, 100, {{0, 128}, {45, 128}, {90, 128}, {181, 28}, {270, 28}}},
        {"A pulse with ripple, silent",
         kVoiceARipplePulse,
         0,
         {{0, 130}, {45, 129}, {90, 128}, {180, 126}, {270, 128}, {359, 130}}},
        {"A pulse with ripple", kVoiceARipplePulse, 100, {{0, 130}, {45, 129}, {181, 26}}},
        {"A tan of cos", kVoiceATanOfCos, 10, {{0, 144}, {45, 137}, {90, 128}, {180, 112}}},
        {"A stepped tan", kVoiceASteppedTan, 10, {{0, 128}, {57, 128}, {58, 144}, {115, 106}}},
        {"A stepped sine", kVoiceASteppedSine, 100, {{0, 128}, {57, 128}, {58, 212}, {115, 219}}},
        {"B sine",
         kVoiceBSine,
         100,
         {{0, 128}, {1, 130}, {45, 199}, {90, 228}, {180, 128}, {270, 28}, {359, 126}, {360, 128}}},
        {"B square", kVoiceBSquare, 100, {{0, 228}, {1, 228}, {57, 228}, {58, 28}, {115, 228}}},
        {"B stepped sine", kVoiceBSteppedSine, 100, {{0, 128}, {57, 128}, {58, 212}, {115, 219}}},
        {"B tan of cos", kVoiceBTanOfCos, 10, {{0, 144}, {45, 137}, {90, 128}, {180, 112}}},
        {"B pulse", kVoiceBPulse, 100, {{0, 228}, {1, 128}, {45, 128}, {90, 28}, {270, 128}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape);
        const bool voiceB = c.shape[0] == 'B';
        only(c.on);
        synth.tone = synth.toneB = 1;
        playAt(c.amplitude);
        state.amsp = voiceB ? "1" : "0";
        counter.count = voiceB ? kHalfPi : 0;
        tick();
        const WaveTable& table = voiceB ? synth.tableB : synth.tableA;
        const auto& scope = voiceB ? shown.scopeB : shown.scopeA;
        for (const auto& [entry, value] : c.entries) {
            EXPECT_EQ(table[entry], value) << "entry " << entry;
            // The scope shows the same sample, entry by entry.
            EXPECT_NEAR(scope[entry] + 128.0, value, 0.5) << "scope at " << entry;
        }
    }
}

// Voice A's pitch term: cos(clock * vibrato rate / 2) * tone, rounded, and a
// negative term raised by 4.
TEST_F(TickFixture, VibratoAndTheRaiseOfANegativePitchTerm) {
    struct Case {
        const char* rate;
        std::int64_t clock;
        std::int16_t tone;
        std::int32_t pitchTerm;
    };
    const Case cases[] = {
        {"0", 0, 1, 1},           {"0", 0, -1, 3},    {"0", 0, -2, 2},
        {"0", 0, -3, 1},          {"0", 0, -4, 0},    {"0", 0, -5, -1},
        {"0", 0, -20, -16},       {"2", kPi, 10, -6}, {"4", kQuarterOfPi, 10, 0},
        {"2", kThirdOfPi, 10, 5},
    };
    for (const Case& c : cases) {
        state.fmsp = c.rate;
        counter.count = c.clock;
        synth.tone = c.tone;
        tick();
        EXPECT_EQ(synth.fmTerm, c.pitchTerm)
            << "rate " << c.rate << ", clock " << c.clock << ", tone " << c.tone;
    }
}

// Both tremolos on a steady sample of 77.87 (tan(1) * 50) in each voice: the
// second tremolo is a cosine on both voices, the first a cosine on voice A and
// a sine on voice B.
TEST_F(TickFixture, TremolosScaleBothVoices) {
    struct Case {
        const char* rate;
        const char* secondRate;
        std::int64_t clock;
        int entryA;
        int entryB;
    };
    const Case cases[] = {
        {"0", "0", 0, 206, 128},          {"1", "0", kThirdOfPi, 167, 195},
        {"0", "1", kThirdOfPi, 167, 128}, {"3", "1", kThirdOfPi, 89, 128},
        {"1", "2", kSixthOfPi, 162, 147},
    };
    switches.setValue(kVoiceASine, 0);
    switches.setValue(kVoiceATanOfCos, 1);
    switches.setValue(kVoiceBSine, 0);
    switches.setValue(kVoiceBTanOfCos, 1);
    playAt(50);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.rate << ", " << c.secondRate << ", " << c.clock);
        state.amsp = c.rate;
        state.amsp2 = c.secondRate;
        counter.count = c.clock;
        tick();
        EXPECT_EQ(synth.tableA[0], c.entryA);
        EXPECT_EQ(synth.tableA[360], c.entryA);
        EXPECT_EQ(synth.tableB[0], c.entryB);
    }
}

// The cut divides a voice by 10 ln(pitch term / (0.1 cut) + 1), with voice A's
// pitch term for both voices; no cut at 0 or below, none either where the
// logarithm's argument is not positive. Entry 0 (angle 0) holds 77.87 uncut.
TEST_F(TickFixture, CutsDependOnVoiceAsPitchTerm) {
    struct Case {
        const char* cut;
        std::int16_t tone;
        int entry;
    };
    const Case cases[] = {
        {"10", 1, 139}, {"20", 3, 136}, {"1", 17, 130},    {"3", -1, 131},
        {"0", 1, 206},  {"-5", 1, 206}, {"100", -14, 206},
    };
    playAt(50);
    for (const bool voiceB : {false, true}) {
        only(voiceB ? kVoiceBTanOfCos : kVoiceATanOfCos);
        // Voice B sounds at full strength, voice A has no tremolo.
        state.amsp = voiceB ? "1" : "0";
        counter.count = voiceB ? kHalfPi : 0;
        std::string& cut = voiceB ? state.cut2 : state.cut;
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << (voiceB ? "B" : "A") << " cut " << c.cut);
            cut = c.cut;
            synth.tone = c.tone;
            tick();
            EXPECT_EQ((voiceB ? synth.tableB : synth.tableA)[0], c.entry);
        }
        cut = "0";
    }
}

// A text that does not convert leaves its integer copy at its last value.
TEST_F(TickFixture, ATextThatDoesNotConvertKeepsItsIntegerCopy) {
    struct Copy {
        ParameterText text;
        std::int16_t modSynth_DX7::*copy;
    };
    const Copy copies[] = {
        {kVibratoRate, &modSynth_DX7::fmspInt},        {kTremoloRate, &modSynth_DX7::amspInt},
        {kSecondTremoloRate, &modSynth_DX7::amsp2Int}, {kVoiceACut, &modSynth_DX7::cutInt},
        {kVoiceBCut, &modSynth_DX7::cut2Int},
    };
    for (const Copy& c : copies) {
        state.*c.text = "12";
        tick();
        ASSERT_EQ(synth.*c.copy, 12);
        for (const char* bad : {"99999", "", "x", "-40000", "1e9"}) {
            state.*c.text = bad;
            tick();
            EXPECT_EQ(synth.*c.copy, 12) << "text \"" << bad << "\"";
        }
        state.*c.text = "0";
    }
}

TEST_F(TickFixture, LastSwitchOnWinsForEachVoice) {
    synth.tone = 3;
    synth.toneB = 5;
    playAt(100);
    // Voice A without tremolo; voice B at full strength.
    const auto check = [&](const auto& order, const WaveTable& table, const char* voice) {
        state.amsp = &table == &synth.tableB ? "1" : "0";
        counter.count = &table == &synth.tableB ? kHalfPi : 0;
        for (std::size_t last = 0; last < std::size(order); ++last) {
            for (std::size_t i = 0; i < std::size(order); ++i) {
                switches.setValue(order[i], i <= last ? 1 : 0);
            }
            tick();
            const WaveTable together = table;
            only(order[last]);
            tick();
            EXPECT_EQ(together, table) << voice << ", switch " << order[last];
        }
    };
    check(kVoiceAShapes, synth.tableA, "voice A");
    check(kVoiceBShapes, synth.tableB, "voice B");
}

TEST_F(TickFixture, SampleIsCarriedWhenNoSwitchOfTheVoiceIsOn) {
    only(kVoiceBSine);
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
        ASSERT_FALSE(std::isfinite(shown.scopeA[i])) << i;
    }
    EXPECT_EQ(synth.peakA, 0);
}

TEST_F(TickFixture, VoiceBIsSilentWhileTheTremoloRateReadsZero) {
    synth.toneB = 7;
    playAt(100);
    counter.step = 3;
    for (SwitchId b : kVoiceBShapes) {
        only(b);
        tick();
        for (int i = 0; i < kTableSize; ++i) {
            ASSERT_EQ(synth.tableB[i], 128) << i;
        }
        EXPECT_EQ(synth.peakB, 0);
    }
}

TEST_F(TickFixture, ExtraDampingIsSkippedWhenExpOverflows) {
    // The stepped sine with cut2 = 1: |fmTerm| <= 17 divides by at least 10e,
    // from 18 on the exponent exceeds the double range and the step is skipped.
    only(kVoiceBSteppedSine);
    state.amsp = "1";
    state.cut2 = "1";
    counter.count = kHalfPi;
    synth.toneB = 40;
    playAt(100);
    struct Case {
        std::int16_t tone;
        bool damped;
    };
    for (const Case c : {Case{17, true}, Case{18, false}, Case{-21, true}, Case{-22, false}}) {
        synth.tone = c.tone;
        tick();
        // Without the damping the peak is the cut alone.
        const double argument = synth.fmTerm / 0.1 + 1.0;
        const double cut = argument > 0.0 ? 10.0 * std::log(argument) : 1.0;
        const double undamped = 100.0 / cut;
        if (c.damped) {
            EXPECT_LT(synth.peakB, undamped / 27.0) << "tone " << c.tone;
        } else {
            EXPECT_GT(synth.peakB, undamped * 0.9) << "tone " << c.tone;
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

TEST_F(TickFixture, WritesBothBuffersAndRecordsThePeaksForTheMeters) {
    synth.tone = 1;
    playAt(100);
    shown.meterB = 55;
    tick();
    EXPECT_EQ(sound.slots, (std::vector<int>{0, 1}));
    EXPECT_EQ(sound.tables[0], synth.tableA);
    EXPECT_EQ(shown.meterA, 100);
    EXPECT_EQ(shown.meterB, 0) << "voice B is silent at start-up";
    EXPECT_EQ(counter.reads, 361) << "the clock is read at every sample";
}

// On a steady clock, one reading serves a tick whose seconds stand still;
// when they move during the tick, it is computed again from the state it
// started with, reading at every sample. Either way the result is what
// reading at every sample gives.
TEST_F(TickFixture, ASteadyClockGivesTheTablesOfAReadingAtEverySample) {
    synth.tone = 3;
    synth.ampA = 0;  // the first sample still uses the amplitude from before
    state.level = 90;
    state.amsp = "1";
    state.fmsp = "2";
    only(kVoiceATanOfCos);  // not 0 at the first sample
    switches.setValue(kVoiceBSine, 1);
    const modSynth_DX7 start = synth;
    struct Case {
        std::int64_t step;  // between two reads
        int reads;
        std::int64_t firstPerSampleRead;  // of the reads the tick made
    } cases[] = {{0, 2, 0}, {100'000'000, 2 + 361, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        synth = start;
        counter = FakeCounter{};
        counter.frequencyValue = 1'000'000'000;
        counter.count = kQuarterOfPi;
        counter.step = c.step;
        counter.steadyReadings = true;
        tick();
        EXPECT_EQ(counter.reads, c.reads);
        const modSynth_DX7 held = synth;
        const DisplayRecord heldShown = shown;

        synth = start;
        counter = FakeCounter{};
        counter.frequencyValue = 1'000'000'000;
        counter.count = kQuarterOfPi + c.firstPerSampleRead * c.step;
        counter.step = c.step;
        tick();
        EXPECT_EQ(held.tableA, synth.tableA);
        EXPECT_EQ(held.tableB, synth.tableB);
        EXPECT_EQ(heldShown.meterA, shown.meterA);
        EXPECT_EQ(heldShown.meterB, shown.meterB);
        EXPECT_EQ(held.ampA, synth.ampA);
    }
}

TEST_F(TickFixture, FailingWritesAndClockNeverStopTheTick) {
    synth.tone = 1;
    playAt(100);
    sound.fail = true;
    counter.count = 5'000'000'000;
    tick();  // clock 5 s
    counter.failCounter = true;
    tick();
    EXPECT_FLOAT_EQ(synth.clockSeconds, 5.0f) << "a failed clock read keeps the last reading";
    EXPECT_EQ(synth.tableA[90], 228);
    EXPECT_EQ(sound.slots.size(), 4u);
    EXPECT_EQ(shown.meterA, 100);

    counter.failCounter = false;
    counter.frequencyValue = 0;  // division by zero
    counter.count = 9'000'000'000;
    tick();
    EXPECT_FLOAT_EQ(synth.clockSeconds, 5.0f);
}

}  // namespace
}  // namespace scrivola
