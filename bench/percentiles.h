// Order statistics of a set of measurements, for the probes' reports.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace scrivola::bench {

struct Summary {
    std::size_t count = 0;
    double p50 = 0.0;
    double p95 = 0.0;
    double p99 = 0.0;
    double max = 0.0;
};

// Nearest-rank percentile of sorted values; q in 0..1.
inline double percentile(const std::vector<double>& sorted, double q) {
    if (sorted.empty()) {
        return 0.0;
    }
    const auto rank = static_cast<std::size_t>(std::ceil(q * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

inline Summary summarize(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    Summary s;
    s.count = values.size();
    s.p50 = percentile(values, 0.50);
    s.p95 = percentile(values, 0.95);
    s.p99 = percentile(values, 0.99);
    s.max = values.empty() ? 0.0 : values.back();
    return s;
}

}  // namespace scrivola::bench
