// Counters the sound layer keeps for measurement: how often the output asked
// for audio, how much it rendered, and when a freshly written buffer first
// reached the output.
#pragma once

#include <array>
#include <cstdint>

namespace scrivola {

struct SlotCounters {
    // Rises by one with every whole-buffer write into the slot.
    std::uint64_t writtenGeneration = 0;
    // The newest write the output has started to play (0: none yet).
    std::uint64_t renderedGeneration = 0;
    // steady_clock time (ns since its epoch) of the first render of that write.
    std::int64_t renderedAtNs = 0;
};

struct SoundCounters {
    std::uint64_t callbacks = 0;   // audio callbacks run
    std::uint64_t frames = 0;      // frames rendered by them
    std::uint64_t recoveries = 0;  // times a lost output was reopened
    std::uint64_t underruns = 0;   // times the output ran out of audio
    std::array<SlotCounters, 2> slots{};
};

}  // namespace scrivola
