"""Order statistics, nearest-rank, as the C++ probes compute them."""

import math


def percentile(values, q):
    if not values:
        return float("nan")
    ordered = sorted(values)
    rank = min(max(math.ceil(q * len(ordered)), 1), len(ordered))
    return ordered[rank - 1]
