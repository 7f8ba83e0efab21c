#include "signal_analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace scrivola::testing {
namespace {

// In-place radix-2 FFT; the size must be a power of two.
void fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(a[i], a[j]);
        }
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2.0 * std::numbers::pi / static_cast<double>(len);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w(1.0);
            for (std::size_t k = 0; k < len / 2; ++k) {
                const auto u = a[i + k];
                const auto v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
}

std::vector<double> hannWindowed(std::span<const std::int16_t> samples) {
    const std::size_t n = samples.size();
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) /
                                              static_cast<double>(n - 1));
        x[i] = w * samples[i];
    }
    return x;
}

// |DFT| of x at frequency f.
double magnitudeAt(const std::vector<double>& x, double f, double sampleRate) {
    const double step = 2.0 * std::numbers::pi * f / sampleRate;
    double re = 0.0;
    double im = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        re += x[i] * std::cos(step * static_cast<double>(i));
        im -= x[i] * std::sin(step * static_cast<double>(i));
    }
    return std::hypot(re, im);
}

}  // namespace

double dominantFrequency(std::span<const std::int16_t> samples, double sampleRate, double minHz,
                         double maxHz) {
    if (samples.size() < 2) {
        return 0.0;
    }
    const std::vector<double> x = hannWindowed(samples);
    std::size_t size = 1;
    while (size < x.size()) {
        size <<= 1;
    }
    std::vector<std::complex<double>> spectrum(size);
    std::copy(x.begin(), x.end(), spectrum.begin());
    fft(spectrum);

    // Coarse: the strongest bin in range.
    const double binHz = sampleRate / static_cast<double>(size);
    std::size_t best = 0;
    double bestMagnitude = -1.0;
    for (std::size_t k = 1; k < size / 2; ++k) {
        const double f = static_cast<double>(k) * binHz;
        if (f >= minHz && f <= maxHz && std::abs(spectrum[k]) > bestMagnitude) {
            bestMagnitude = std::abs(spectrum[k]);
            best = k;
        }
    }
    // Fine: scan one bin either side in 0.01 Hz steps.
    const double centre = static_cast<double>(best) * binHz;
    double bestF = centre;
    bestMagnitude = -1.0;
    for (double f = centre - binHz; f <= centre + binHz; f += 0.01) {
        const double m = magnitudeAt(x, f, sampleRate);
        if (m > bestMagnitude) {
            bestMagnitude = m;
            bestF = f;
        }
    }
    return bestF;
}

std::span<const std::int16_t> longestPeriodicStretch(std::span<const std::int16_t> samples,
                                                     std::size_t period) {
    std::size_t bestStart = 0;
    std::size_t bestLength = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i + period <= samples.size(); ++i) {
        const bool steady = i + period < samples.size() && samples[i] == samples[i + period];
        if (!steady) {
            // samples[start .. i + period) repeat with the period.
            const std::size_t length = i + period - start;
            if (i > start && length > bestLength) {
                bestStart = start;
                bestLength = length;
            }
            start = i + 1;
        }
    }
    return samples.subspan(bestStart, bestLength);
}

std::optional<std::size_t> findExactly(std::span<const std::int16_t> samples,
                                       std::span<const std::int16_t> pattern) {
    const auto it = std::search(samples.begin(), samples.end(), pattern.begin(), pattern.end());
    if (pattern.empty() || it == samples.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(it - samples.begin());
}

std::size_t countRepetitions(std::span<const std::int16_t> samples,
                             std::span<const std::int16_t> pattern, std::size_t offset) {
    std::size_t count = 0;
    while (offset + pattern.size() <= samples.size() &&
           std::equal(pattern.begin(), pattern.end(), samples.begin() + offset)) {
        ++count;
        offset += pattern.size();
    }
    return count;
}

}  // namespace scrivola::testing
