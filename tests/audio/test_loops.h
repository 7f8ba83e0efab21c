// Loops for the mixer tests.
#pragma once

#include <array>
#include <cstdint>

#include "audio/loop_mixer.h"

namespace scrivola::testing {

using Loop = std::array<std::uint8_t, LoopMixer::kLoopSamples>;

inline Loop constantLoop(std::uint8_t value) {
    Loop loop;
    loop.fill(value);
    return loop;
}

}  // namespace scrivola::testing
