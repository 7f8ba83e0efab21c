// What a measurement may watch of the sound layer. The program runs without
// one; the benchmarks and the end-to-end tests install one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace scrivola {

// One block the audio callback rendered.
struct RenderedBlock {
    const std::int16_t* samples = nullptr;
    std::size_t frames = 0;
    // For each slot, the write (counted from 1 per slot) whose loop the block
    // played; 0 when the slot did not sound.
    std::array<std::uint64_t, 2> writes{};
};

class SoundObserver {
public:
    virtual ~SoundObserver() = default;
    // On the control thread: one line about a change of the output (stopped
    // or started for silence, lost, reopened, underruns counted so far, the
    // latency in use).
    virtual void outputChanged(const std::string& line) = 0;
    // On the audio thread, after each block: no lock, no allocation, no
    // system call beyond reading the steady clock.
    virtual void blockRendered(const RenderedBlock& block) noexcept = 0;
    // On the control thread: the samples a write put into a slot's loop,
    // as the loop plays them (a tick writes slot 0, then slot 1).
    virtual void tableWritten(int /*slot*/, const std::uint8_t* /*samples*/,
                              std::size_t /*count*/) {}
};

}  // namespace scrivola
