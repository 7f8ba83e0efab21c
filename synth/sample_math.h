// The arithmetic of one sample, shared by the literal and the fast tick so that
// both evaluate every formula with the same operations in the same order.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

#include "synth/numeric.h"

namespace scrivola::sample_math {

// Degrees to radians with the decimal constant the synthesizer has always
// used (not full-precision pi / 180), stored as a single.
constexpr double kRadiansPerDegree = 0.01745329251994;
// Pi as the square-wave step of voice B uses it.
constexpr double kPi = 3.14159265358979;

inline float angleOf(std::int16_t sampleIndex) {
    return toSingle(static_cast<double>(sampleIndex) * kRadiansPerDegree);
}

// Voice A's pitch term before the +4 rule: cos(clock * (fmsp / 2)) * tone.
inline Converted<std::int32_t> fmTermOf(float clockSeconds, std::int16_t fmspInt,
                                        std::int16_t tone) {
    const double modulation =
        std::cos(static_cast<double>(clockSeconds) * (static_cast<double>(fmspInt) / 2.0));
    return toInt32(modulation * static_cast<double>(tone));
}

inline std::int32_t raisedIfNegative(std::int32_t fmTerm) {
    return fmTerm < 0 ? fmTerm + 4 : fmTerm;
}

// The waveforms, argument p = angle * pitch term, amplitude a.
inline double plainSine(double p, double a) {
    return std::sin(p) * a;
}
inline double flooredSine(double p, double a) {
    return std::floor(std::sin(p)) * a;
}
inline double flooredSinePlusTan(double p, double a) {
    return std::floor(std::sin(p)) * a + std::tan(std::cos(p));
}
inline double tanOfCos(double p, double a) {
    return std::tan(std::cos(p)) * a;
}
inline double tanOfFloor(double p, double a) {
    return std::tan(std::floor(p)) * a;
}
inline double sineOfFloor(double p, double a) {
    return std::sin(std::floor(p)) * a;
}
inline double squareStep(double p, double a) {
    return std::cos(std::floor(p) * kPi) * a;
}
inline double flooredCosine(double p, double a) {
    return std::floor(std::cos(p)) * a;
}

// The divisor of the cut steps: 10 * ln(fmTerm / (0.1 * cut) + 1); nullopt
// when the logarithm's argument is not positive (the step is skipped).
inline std::optional<double> cutDivisor(std::int32_t fmTerm, std::int16_t cut) {
    const double argument = static_cast<double>(fmTerm) / (0.1 * cut) + 1.0;
    if (!(argument > 0.0)) {
        return std::nullopt;
    }
    return 10.0 * std::log(argument);
}

// The divisor of voice B's extra attenuation: 10 * exp(4 * |fmTerm| / (0.1 *
// cut2) + 1); nullopt when exp overflows (the step is skipped).
inline std::optional<double> attenuationDivisor(std::int32_t fmTerm, std::int16_t cut2) {
    const double exponent = 4.0 * (std::fabs(static_cast<double>(fmTerm)) / (0.1 * cut2)) + 1.0;
    const double power = std::exp(exponent);
    if (std::isinf(power)) {
        return std::nullopt;
    }
    return 10.0 * power;
}

}  // namespace scrivola::sample_math
