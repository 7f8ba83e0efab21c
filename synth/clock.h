// The high-resolution clock that the wave-table tick reads at every sample.
#pragma once

#include <cstdint>
#include <optional>

namespace scrivola {

// A performance counter: a count that rises steadily and the number of counts
// per second. Either read can fail.
class PerformanceCounter {
public:
    virtual ~PerformanceCounter() = default;
    virtual std::optional<std::int64_t> frequency() = 0;
    virtual std::optional<std::int64_t> counter() = 0;
};

// The system's monotonic clock in nanoseconds (frequency 1e9).
class MonotonicCounter final : public PerformanceCounter {
public:
    std::optional<std::int64_t> frequency() override;
    std::optional<std::int64_t> counter() override;
};

// Seconds since the counter's origin, rounded to single precision. Reads the
// frequency and the counter at every call; fails (nullopt) when either read
// fails or the frequency is 0.
std::optional<float> readClockSeconds(PerformanceCounter& counter);

}  // namespace scrivola
