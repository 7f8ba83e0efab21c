// The two pitch terms that the pen position gives: `tone` from x and `toneB`
// from x and y.
#pragma once

#include <cstdint>
#include <optional>

namespace scrivola {

struct PitchTerms {
    std::int16_t tone;
    std::int16_t toneB;
};

// tone = round(x) \ 200 - 20 and toneB = tone + round(y) \ 200, rounding half
// to even into 32 bits and dividing with truncation toward zero. Empty when
// either coordinate cannot be rounded into 32 bits (huge, NaN, infinite) or a
// term leaves 16 bits; the caller then keeps both previous terms, so `toneB`
// always belongs to the same pen position as `tone`.
std::optional<PitchTerms> pitchTerms(float x, float y);

}  // namespace scrivola
