#include "canvas/pitch_terms.h"

#include "synth/numeric.h"

namespace scrivola {

namespace {

constexpr std::int32_t kUnitsPerStep = 200;
constexpr std::int32_t kLeftEdgeTone = -20;

}  // namespace

std::optional<PitchTerms> pitchTerms(float x, float y) {
    const Converted<std::int32_t> roundedX = toInt32(x);
    const Converted<std::int32_t> roundedY = toInt32(y);
    if (!roundedX || !roundedY) {
        return std::nullopt;
    }
    // Both quotients are at most about 10.7 million in size, so the sums below
    // stay well inside 32 bits; only the 16-bit stores can fail.
    const Converted<std::int16_t> tone =
        toInt16(divTrunc(*roundedX, kUnitsPerStep) + kLeftEdgeTone);
    if (!tone) {
        return std::nullopt;
    }
    const Converted<std::int16_t> toneB = toInt16(*tone + divTrunc(*roundedY, kUnitsPerStep));
    if (!toneB) {
        return std::nullopt;
    }
    return PitchTerms{*tone, *toneB};
}

}  // namespace scrivola
