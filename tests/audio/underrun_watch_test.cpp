#include "audio/underrun_watch.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace scrivola {
namespace {

constexpr unsigned kRate = 44100;
constexpr unsigned kFrames = 256;
constexpr std::int64_t kBlockNs = std::int64_t{kFrames} * 1'000'000'000 / kRate;  // ~5.8 ms
constexpr std::int64_t kQueuedNs = 2 * kBlockNs;                                  // two buffers

// Plays the back end: callbacks come as fast as the queue takes audio.
struct Stream {
    UnderrunWatch watch{kQueuedNs, kRate};
    std::int64_t nowNs = 1'000'000'000'000;

    void callbackAfter(std::int64_t gapNs) {
        nowNs += gapNs;
        watch.onCallback(nowNs, kFrames, false);
    }
    void steady(int callbacks) {
        for (int i = 0; i < callbacks; ++i) {
            callbackAfter(kBlockNs);
        }
    }
};

TEST(UnderrunWatchTest, CallbacksAtTheStreamsPaceAreNoUnderrun) {
    Stream s;
    // The first callbacks fill the empty queue at once.
    s.callbackAfter(0);
    s.callbackAfter(20'000);
    s.callbackAfter(20'000);
    s.steady(10'000);
    EXPECT_EQ(s.watch.count(), 0u);
}

TEST(UnderrunWatchTest, ACallbackLaterThanTheQueueAndOneBlockLastIsAnUnderrun) {
    Stream s;
    s.steady(100);
    s.callbackAfter(kQueuedNs + kBlockNs - 100'000);  // just in time
    EXPECT_EQ(s.watch.count(), 0u);
    s.steady(100);
    s.callbackAfter(kQueuedNs + kBlockNs + 100'000);  // too late
    EXPECT_EQ(s.watch.count(), 1u);
    s.steady(1000);
    EXPECT_EQ(s.watch.count(), 1u);
}

TEST(UnderrunWatchTest, EveryLateCallbackCounts) {
    Stream s;
    for (int i = 0; i < 5; ++i) {
        s.steady(50);
        s.callbackAfter(40'000'000);
    }
    s.steady(50);
    EXPECT_EQ(s.watch.count(), 5u);
}

TEST(UnderrunWatchTest, TheAllowanceFollowsTheBlockJustHandedOver) {
    UnderrunWatch watch(kQueuedNs, kRate);
    const std::int64_t t0 = 1'000'000'000;
    // A block of 1024 frames (~23 ms) buys that much more time.
    watch.onCallback(t0, 1024, false);
    watch.onCallback(t0 + kQueuedNs + 20'000'000, kFrames, false);
    EXPECT_EQ(watch.count(), 0u);
}

TEST(UnderrunWatchTest, AnUnderflowTheBackEndReportsCounts) {
    UnderrunWatch watch(kQueuedNs, kRate);
    watch.onCallback(1'000'000, kFrames, true);
    watch.onCallback(1'000'000 + kBlockNs, kFrames, false);
    watch.onCallback(1'000'000 + 2 * kBlockNs, kFrames, true);
    EXPECT_EQ(watch.count(), 2u);
}

}  // namespace
}  // namespace scrivola
