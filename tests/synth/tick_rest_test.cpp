// A tick found at rest must be what every later tick gives, at any clock
// reading: checked over many states drawn at random from the values that
// decide it.
#include "synth/tick_rest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "synth/level_decay.h"
#include "synth/wave_table_tick.h"
#include "tick_fakes.h"

namespace scrivola {
namespace {

using testing::FakeCounter;
using testing::RecordingSound;

struct Output {
    WaveTable tableA;
    WaveTable tableB;
    DisplayRecord shown;
};

// As the screen shows them: a NaN point is not drawn, and -0 sits where 0 does.
bool samePoint(float a, float b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool sameOutput(const Output& a, const Output& b) {
    for (int i = 0; i < kTableSize; ++i) {
        if (!samePoint(a.shown.scopeA[i], b.shown.scopeA[i]) ||
            !samePoint(a.shown.scopeB[i], b.shown.scopeB[i])) {
            return false;
        }
    }
    return a.tableA == b.tableA && a.tableB == b.tableB && a.shown.meterA == b.shown.meterA &&
           a.shown.meterB == b.shown.meterB;
}

struct Session {
    SynthState state;
    modSynth_DX7 synth;
    SwitchSet switches;
    bool decayRunning = false;
    bool atRest = false;

    // One grid point, as the window runs it: the tick at `millis`, whether it
    // rests, then the decay step.
    Output tick(std::int64_t millis) {
        FakeCounter clock;
        clock.count = millis;
        clock.steadyReadings = true;
        RecordingSound sound;
        Output out{};
        waveTableTick(synth, state, switches, clock, sound, out.shown);
        out.tableA = sound.tables.at(0);
        out.tableB = sound.tables.at(1);
        atRest = tickAtRest(synth, state, switches, decayRunning);
        if (decayRunning) {
            levelDecayTick(state);
        }
        return out;
    }
};

template <typename T>
T pick(std::mt19937& random, const std::vector<T>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
}

Session randomSession(std::mt19937& random) {
    Session s;
    Sliders sliders;
    applyStartupValues(s.state, s.synth, s.switches, sliders);
    const std::vector<std::string> rates = {"0", "0", "3", "17"};
    s.state.amsp = pick(random, rates);
    s.state.amsp2 = pick(random, rates);
    s.state.fmsp = pick(random, rates);
    s.state.cut = pick(random, std::vector<std::string>{"0", "0", "5"});
    s.state.cut2 = pick(random, std::vector<std::string>{"0", "0", "4"});
    s.state.amount = pick(random, std::vector<std::string>{"1", "4", "0", ""});
    s.state.level = pick(random, std::vector<std::int16_t>{0, 0, 0, 1, 3, 60});
    s.synth.tone = pick(random, std::vector<std::int16_t>{0, 0, 1, -3, 40});
    s.synth.toneB = pick(random, std::vector<std::int16_t>{0, 0, 2, 25});
    s.synth.sampleA = pick(random, std::vector<float>{0.0f, 0.0f, 0.7f});
    s.synth.sampleB = pick(random, std::vector<float>{0.0f, 0.0f, 0.7f});
    s.synth.ampA = s.synth.ampB = s.state.level;
    for (int id = Check1; id <= Check12; ++id) {
        s.switches.setValue(static_cast<SwitchId>(id),
                            std::bernoulli_distribution(0.3)(random) ? 1 : 0);
    }
    s.decayRunning = std::bernoulli_distribution(0.7)(random);
    return s;
}

TEST(TickRestTest, ATickAtRestIsWhatEveryLaterTickGivesAtAnyClockReading) {
    std::mt19937 random(20261208);
    // Milliseconds: moments where the vibrato and tremolos stand at all
    // sorts of phases, up to a year of uptime.
    const std::vector<std::int64_t> later = {1,     16,      781,        1571,
                                             9'999, 123'457, 86'400'000, 31'536'000'000};
    int atRest = 0;
    const int sessions = 3000;
    for (int n = 0; n < sessions; ++n) {
        Session s = randomSession(random);
        const std::int64_t start = pick(random, later);
        s.tick(start);
        const bool restedBefore = s.atRest;
        const Output rested = s.tick(start + 16);
        if (!restedBefore || !s.atRest) {
            continue;
        }
        ++atRest;
        const std::int16_t level = s.state.level;
        for (const std::int64_t millis : later) {
            ASSERT_TRUE(sameOutput(s.tick(start + 16 + millis), rested))
                << "session " << n << " at " << millis << " ms";
            ASSERT_EQ(s.state.level, level) << "session " << n;
        }
    }
    // Silence is common: the test must not pass by finding no rest at all.
    EXPECT_GT(atRest, sessions / 10);
}

TEST(TickRestTest, CommonSilencesRest) {
    struct Case {
        const char* what;
        std::int16_t level;
        std::int16_t tone;
        const char* rates;
    };
    const Case cases[] = {
        {"start-up: pitch 0, no tremolo", 100, 0, "0"},
        {"a note decayed to 0 with vibrato and tremolo", 0, 40, "3"},
    };
    for (const Case& c : cases) {
        Session s;
        Sliders sliders;
        applyStartupValues(s.state, s.synth, s.switches, sliders);
        s.state.amsp = s.state.amsp2 = s.state.fmsp = c.rates;
        s.state.amount = "1";
        s.state.level = c.level;
        s.synth.tone = s.synth.toneB = c.tone;
        s.decayRunning = c.level == 0;
        s.tick(5000);
        s.tick(5016);
        EXPECT_TRUE(s.atRest) << c.what;
    }
}

}  // namespace
}  // namespace scrivola
