// The steady clock in nanoseconds since its epoch: the time base shared by the
// sound layer's counters and those who read them.
#pragma once

#include <chrono>
#include <cstdint>

namespace scrivola {

inline std::int64_t steadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace scrivola
