#include "synth/level_decay.h"

#include <gtest/gtest.h>

#include <vector>

namespace scrivola {
namespace {

TEST(LevelDecay, FallsByTheStepAndStopsAtZero) {
    struct Case {
        std::int16_t level;
        const char* amount;
        std::vector<std::int16_t> levels;  // after each tick
    };
    const Case cases[] = {
        {25, "10", {15, 5, 0, 0}},   {10, "10", {0, 0}},      {9, "10", {0}},
        {100, "0", {100, 100, 100}}, {90, "1", {89, 88, 87}}, {0, "5", {0, 0}},
    };
    for (const Case& c : cases) {
        SynthState state;
        state.level = c.level;
        state.amount = c.amount;
        for (std::int16_t expected : c.levels) {
            levelDecayTick(state);
            EXPECT_EQ(state.level, expected) << c.level << " - " << c.amount;
        }
    }
}

TEST(LevelDecay, TextThatIsNotANumberLeavesTheLevel) {
    SynthState state;
    state.level = 40;
    for (const char* amount : {"", "x", "1e999"}) {
        state.amount = amount;
        levelDecayTick(state);
        EXPECT_EQ(state.level, 40) << '"' << amount << '"';
    }
}

TEST(LevelDecay, StepThatWouldLeaveTheSixteenBitRangeLeavesTheLevel) {
    SynthState state;
    state.level = 32000;
    state.amount = "-1000";
    levelDecayTick(state);
    EXPECT_EQ(state.level, 32000);
}

}  // namespace
}  // namespace scrivola
