#include "synth/clock.h"

#include <time.h>

#include "synth/numeric.h"

namespace scrivola {

std::optional<std::int64_t> MonotonicCounter::frequency() {
    return 1'000'000'000;
}

std::optional<std::int64_t> MonotonicCounter::counter() {
    timespec now{};
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

std::optional<float> readClockSeconds(PerformanceCounter& counter) {
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

}  // namespace scrivola
