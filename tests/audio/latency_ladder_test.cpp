#include "audio/latency_ladder.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace scrivola {
namespace {

// Each step: the clock moves on, the caller reports the dropouts counted so
// far, and the ladder answers with the cycle to ask for.
TEST(LatencyLadder, RisesAStepPerDropoutFallsAfterACleanWhileAndLearnsItsFloor) {
    struct Step {
        std::int64_t advanceMs;
        std::uint64_t dropouts;
        unsigned frames;
        bool changed;
    };
    const Step steps[] = {
        {500, 0, 256, false},     // clean at the smallest: stays
        {500, 1, 512, true},      // a dropout: one step up at once
        {500, 4, 1024, true},     // a burst counted by one call: one step
        {500, 4, 1024, false},    // clean, not yet for long
        {500, 9, 2048, true},     // the top...
        {500, 12, 2048, false},   // ...holds under more dropouts
        {2900, 12, 2048, false},  // 2.9 s clean: not yet
        {100, 12, 1024, true},    // 3 s clean: one step down
        {3000, 12, 512, true},    // another 3 s: the next
        {1000, 13, 1024, true},   // a dropout counts the clean while afresh
        {2999, 13, 1024, false},
        {1, 13, 512, true},
        {3000, 13, 256, true},
        {9000, 13, 256, false},  // never below the smallest
        // Back at the smallest and clean for over 30 s: a dropout there is
        // no failed trial.
        {22000, 13, 256, false},
        {1000, 14, 512, true},
        {3000, 14, 256, true},   // back down: a trial of the smallest begins
        {29000, 15, 512, true},  // it fails within 30 s: 512 becomes the floor
        {1000, 16, 1024, true},
        {3000, 16, 512, true},  // back to the floor after 3 s, not below
        {1000, 17, 1024, true},
        {3000, 17, 512, true},     // the floor rises no higher than 512
        {119000, 17, 512, false},  // held for 120 s...
        {1000, 17, 256, true},     // ...then the smallest is tried again
        {29000, 18, 512, true},    // failed again: held 240 s
        {1000, 19, 1024, true},
        {3000, 19, 512, true},
        {239000, 19, 512, false},
        {1000, 19, 256, true},
        {30000, 19, 256, false},  // a trial passed: the smallest is the floor again
        {1000, 20, 512, true},
        {3000, 20, 256, true},
    };
    LatencyLadder ladder(256);
    std::int64_t now = 1'000'000'000;
    int index = 0;
    for (const Step& step : steps) {
        now += step.advanceMs * 1'000'000;
        EXPECT_EQ(ladder.update(now, step.dropouts), step.changed) << "step " << index;
        EXPECT_EQ(ladder.frames(), step.frames) << "step " << index;
        ++index;
    }
}

}  // namespace
}  // namespace scrivola
