// The high-resolution clock that the wave-table tick reads at every sample.
#pragma once

#include <time.h>

#include <cstdint>
#include <optional>

#include "synth/numeric.h"

namespace scrivola {

// A performance counter: a count that rises steadily and the number of counts
// per second. Either read can fail.
class PerformanceCounter {
public:
    virtual ~PerformanceCounter() = default;
    virtual std::optional<std::int64_t> frequency() = 0;
    virtual std::optional<std::int64_t> counter() = 0;
    // True when the reads never fail, the frequency never changes and the
    // count never falls: then two equal readings in seconds mean that every
    // reading taken between them was the same.
    virtual bool steady() const { return false; }
};

// The system's monotonic clock in nanoseconds (frequency 1e9). Final and
// inline, so that code holding this type reads the clock without a virtual
// call.
class MonotonicCounter final : public PerformanceCounter {
public:
    std::optional<std::int64_t> frequency() override { return 1'000'000'000; }
    bool steady() const override { return true; }
    std::optional<std::int64_t> counter() override {
        timespec now{};
        if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    }
};

// Seconds since the counter's origin, rounded to single precision. Reads the
// frequency and the counter at every call; fails (nullopt) when either read
// fails or the frequency is 0.
template <typename Counter>
std::optional<float> readClockSeconds(Counter& counter) {
    const std::optional<std::int64_t> frequency = counter.frequency();
    if (!frequency) {
        return std::nullopt;
    }
    const std::optional<std::int64_t> count = counter.counter();
    if (!count || *frequency == 0) {
        return std::nullopt;
    }
    return toSingle(static_cast<double>(*count) / static_cast<double>(*frequency));
}

// A clock that gives its readings in seconds already: the readings a recorded
// performance kept, or the system's clock as a recording notes each reading.
// A reading can fail (nullopt).
class SecondsClock {
public:
    virtual ~SecondsClock() = default;
    virtual std::optional<float> readSeconds() = 0;
    // As PerformanceCounter::steady().
    virtual bool steady() const { return false; }
};

inline std::optional<float> readClockSeconds(SecondsClock& clock) {
    return clock.readSeconds();
}

}  // namespace scrivola
