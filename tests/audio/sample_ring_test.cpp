// The ring between the audio callback and the recorder's writer: samples come
// out in the order they went in across its end, and a block that does not
// fit is dropped whole and counted, leaving what was queued intact.
#include "audio/sample_ring.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

namespace scrivola {
namespace {

TEST(SampleRingTest, KeepsOrderAcrossItsEndAndDropsWholeBlocksThatDoNotFit) {
    SampleRing ring(6);  // rounded up to 8
    ASSERT_EQ(ring.capacity(), 8u);
    const struct {
        int push;    // samples pushed (0: none)
        bool fits;   // whether they are taken
        int pop;     // then popped, at most
        int popped;  // how many came out
    } steps[] = {
        {5, true, 3, 3},   // 2 queued
        {5, true, 0, 0},   // 7 queued, across the end
        {2, false, 0, 0},  // 1 free: dropped whole
        {1, true, 10, 8},  // full, then emptied
        {8, true, 8, 8},   // exactly the capacity
    };
    std::int16_t next = 0;      // value of the next sample pushed
    std::int16_t expected = 0;  // value of the next sample that must come out
    std::uint64_t dropped = 0;
    for (const auto& step : steps) {
        std::vector<std::int16_t> block(static_cast<std::size_t>(step.push));
        std::iota(block.begin(), block.end(), next);
        EXPECT_EQ(ring.push(block.data(), block.size()), step.fits);
        if (step.fits) {
            next = static_cast<std::int16_t>(next + step.push);
        } else {
            dropped += block.size();
        }
        std::vector<std::int16_t> out(static_cast<std::size_t>(step.pop));
        ASSERT_EQ(ring.pop(out.data(), out.size()), static_cast<std::size_t>(step.popped));
        for (int i = 0; i < step.popped; ++i) {
            EXPECT_EQ(out[static_cast<std::size_t>(i)], expected++);
        }
        EXPECT_EQ(ring.dropped(), dropped);
    }
}

}  // namespace
}  // namespace scrivola
