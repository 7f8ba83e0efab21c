// Two looping buffers of 360 unsigned 8-bit samples, mixed into one 16-bit
// mono stream the way a sound device mixes its buffers: every sample becomes
// (b - 128) * 256, the voices are added and the sum saturates to 16 bits.
//
// Threads: one control thread (the window) creates, starts, rewrites and
// releases buffers; one render thread (the audio callback) mixes. They share
// only atomics, so a buffer rewritten while it plays may sound part old and
// part new (a callback plays the loop as it was when the callback began), but
// never through a data race. render() takes no lock, allocates
// nothing and makes no system call.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "audio/sample_ring.h"
#include "audio/sound_observer.h"

namespace scrivola {

class LoopMixer {
public:
    static constexpr int kSlots = 2;
    static constexpr std::size_t kLoopSamples = 360;
    static constexpr std::uint8_t kCentre = 128;

    using Samples = std::span<const std::uint8_t, kLoopSamples>;

    static bool validSlot(int slot) { return slot >= 0 && slot < kSlots; }

    LoopMixer() = default;
    LoopMixer(const LoopMixer&) = delete;
    LoopMixer& operator=(const LoopMixer&) = delete;

    // --- control thread ---

    // Gives the slot a fresh buffer: silence (the centre line), not playing.
    void createBuffer(int slot);
    // Takes the slot's buffer away; the slot falls silent.
    void releaseBuffer(int slot);
    bool hasBuffer(int slot) const;
    // Plays the slot from its first sample; `looping` repeats it without end,
    // otherwise it plays once. False when the slot has no buffer.
    bool play(int slot, bool looping);
    // Replaces all 360 samples. False when the slot has no buffer.
    bool write(int slot, Samples samples);
    // Every block render() produces is also pushed to `ring` (nullptr: to
    // none). Returns once no render still uses the previous ring.
    void setTap(SampleRing* ring);
    // Every block render() produces is also shown to `observer` (nullptr: to
    // none). Set it before any render runs; it must outlive them.
    void setObserver(SoundObserver* observer);

    // --- render thread ---

    // Mixes `frames` samples of both slots into `out`.
    void render(std::int16_t* out, std::size_t frames) noexcept;

    // --- any thread ---

    bool isSounding(int slot) const;
    std::uint32_t playPosition(int slot) const;
    std::uint8_t sample(int slot, std::size_t index) const;
    // Whole-buffer writes into the slot so far.
    std::uint64_t writes(int slot) const;
    // Frames rendered so far.
    std::uint64_t framesRendered() const;

private:
    // Control word bits, written by the control thread only. The upper bits
    // count play requests so the renderer can tell a new start from an old one.
    static constexpr std::uint32_t kExists = 1;
    static constexpr std::uint32_t kPlaying = 2;
    static constexpr std::uint32_t kLooping = 4;
    static constexpr std::uint32_t kFlagBits = 7;
    static constexpr std::uint32_t kPlayCountStep = 8;

    // Samples are kept eight to a word: the renderer copies a whole loop with
    // 45 loads and then mixes from plain memory, which vectorizes.
    static constexpr std::size_t kWordBytes = sizeof(std::uint64_t);
    static constexpr std::size_t kLoopWords = kLoopSamples / kWordBytes;
    static_assert(kLoopSamples % kWordBytes == 0);
    using LoopCopy = std::array<std::uint8_t, kLoopSamples>;

    struct Slot {
        std::array<std::atomic<std::uint64_t>, kLoopWords> words{};
        std::atomic<std::uint32_t> control{0};
        std::atomic<std::uint64_t> writtenGeneration{0};
        // Owned by the renderer; atomic so other threads may look.
        std::atomic<std::uint32_t> seenControl{0};
        std::atomic<std::uint32_t> position{0};
        std::atomic<bool> sounding{false};
    };

    void fill(Slot& slot, std::uint8_t value);
    // Applies the control thread's latest request to the renderer's state.
    static void followControl(Slot& slot);
    static void copyLoop(const Slot& slot, LoopCopy& copy);
    // Adds the loop's next `frames` samples to `mix`, advancing the slot's
    // position.
    static void accumulate(Slot& slot, const LoopCopy& loop, std::int32_t* mix, std::size_t frames);

    std::array<Slot, kSlots> slots_;
    // The tap and its handshake: render() raises `tapBusy_` before it reads
    // `tap_` (both sequentially consistent), so setTap() sees either the
    // render that still holds the old ring or one that reads the new one.
    std::atomic<SampleRing*> tap_{nullptr};
    std::atomic<bool> tapBusy_{false};
    std::atomic<SoundObserver*> observer_{nullptr};
    std::atomic<std::uint64_t> frames_{0};
};

}  // namespace scrivola
