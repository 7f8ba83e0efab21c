// Measurements on recorded audio.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace scrivola::testing {

// The frequency (Hz) of the strongest spectral peak between `minHz` and
// `maxHz`, to about 0.01 Hz for a steady tone.
double dominantFrequency(std::span<const std::int16_t> samples, double sampleRate,
                         double minHz = 20.0, double maxHz = 5000.0);

// The longest stretch in which every sample equals the one `period` samples
// later: a steady loop recorded without a glitch. Empty when there is none.
std::span<const std::int16_t> longestPeriodicStretch(std::span<const std::int16_t> samples,
                                                     std::size_t period);

// The first offset at which `pattern` occurs exactly in `samples`.
std::optional<std::size_t> findExactly(std::span<const std::int16_t> samples,
                                       std::span<const std::int16_t> pattern);

// How many whole back-to-back repetitions of `pattern` follow `offset`
// exactly (stops at the first mismatch).
std::size_t countRepetitions(std::span<const std::int16_t> samples,
                             std::span<const std::int16_t> pattern, std::size_t offset);

}  // namespace scrivola::testing
