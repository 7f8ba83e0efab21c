#include "audio/loop_mixer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <thread>

namespace scrivola {
namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

// Frames mixed per pass; the scratch sum lives on the stack.
constexpr std::size_t kChunkFrames = 128;

std::int16_t saturate(std::int32_t sum) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(
        sum, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

}  // namespace

void LoopMixer::fill(Slot& slot, std::uint8_t value) {
    const std::uint64_t word = 0x0101010101010101ULL * value;
    for (auto& w : slot.words) {
        w.store(word, kRelaxed);
    }
}

void LoopMixer::createBuffer(int slot) {
    if (!validSlot(slot)) {
        return;
    }
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    fill(s, kCentre);
    const std::uint32_t control = s.control.load(kRelaxed);
    s.control.store((control & ~kFlagBits) | kExists, std::memory_order_release);
}

void LoopMixer::releaseBuffer(int slot) {
    if (!validSlot(slot)) {
        return;
    }
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    s.control.store(s.control.load(kRelaxed) & ~kFlagBits, std::memory_order_release);
}

bool LoopMixer::hasBuffer(int slot) const {
    return validSlot(slot) &&
           (slots_[static_cast<std::size_t>(slot)].control.load(kRelaxed) & kExists) != 0;
}

bool LoopMixer::play(int slot, bool looping) {
    if (!hasBuffer(slot)) {
        return false;
    }
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    const std::uint32_t count = (s.control.load(kRelaxed) & ~kFlagBits) + kPlayCountStep;
    s.control.store(count | kExists | kPlaying | (looping ? kLooping : 0),
                    std::memory_order_release);
    return true;
}

bool LoopMixer::write(int slot, Samples samples) {
    if (!hasBuffer(slot)) {
        return false;
    }
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    for (std::size_t w = 0; w < kLoopWords; ++w) {
        std::uint64_t word;
        std::memcpy(&word, samples.data() + w * kWordBytes, kWordBytes);
        s.words[w].store(word, kRelaxed);
    }
    // Release: a renderer that sees the new generation sees these samples.
    s.writtenGeneration.store(s.writtenGeneration.load(kRelaxed) + 1, std::memory_order_release);
    return true;
}

void LoopMixer::setTap(SampleRing* ring) {
    tap_.store(ring);
    while (tapBusy_.load()) {
        std::this_thread::yield();
    }
}

void LoopMixer::setObserver(SoundObserver* observer) {
    observer_.store(observer, std::memory_order_release);
}

void LoopMixer::followControl(Slot& slot) {
    const std::uint32_t control = slot.control.load(std::memory_order_acquire);
    const std::uint32_t seen = slot.seenControl.load(kRelaxed);
    if (control == seen) {
        return;
    }
    const bool playable = (control & kExists) && (control & kPlaying);
    if (!playable) {
        slot.sounding.store(false, kRelaxed);
    } else if ((control & ~kFlagBits) != (seen & ~kFlagBits)) {
        slot.position.store(0, kRelaxed);
        slot.sounding.store(true, kRelaxed);
    }
    slot.seenControl.store(control, kRelaxed);
}

void LoopMixer::copyLoop(const Slot& slot, LoopCopy& copy) {
    for (std::size_t w = 0; w < kLoopWords; ++w) {
        const std::uint64_t word = slot.words[w].load(kRelaxed);
        std::memcpy(copy.data() + w * kWordBytes, &word, kWordBytes);
    }
}

void LoopMixer::accumulate(Slot& slot, const LoopCopy& loop, std::int32_t* mix,
                           std::size_t frames) {
    const bool looping = (slot.seenControl.load(kRelaxed) & kLooping) != 0;
    std::size_t position = slot.position.load(kRelaxed);
    std::size_t i = 0;
    while (i < frames) {
        const std::size_t run = std::min(frames - i, kLoopSamples - position);
        for (std::size_t k = 0; k < run; ++k) {
            mix[i + k] += (loop[position + k] - kCentre) * 256;
        }
        i += run;
        position += run;
        if (position == kLoopSamples) {
            position = 0;
            if (!looping) {
                slot.sounding.store(false, kRelaxed);
                break;
            }
        }
    }
    slot.position.store(static_cast<std::uint32_t>(position), kRelaxed);
}

void LoopMixer::render(std::int16_t* out, std::size_t frames) noexcept {
    SoundObserver* observer = observer_.load(std::memory_order_acquire);
    RenderedBlock block;
    std::array<LoopCopy, kSlots> loops;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        Slot& slot = slots_[i];
        followControl(slot);
        if (!slot.sounding.load(kRelaxed)) {
            continue;
        }
        if (observer != nullptr) {
            // Acquire: the loop copied next is at least this write's.
            block.writes[i] = slot.writtenGeneration.load(std::memory_order_acquire);
        }
        copyLoop(slot, loops[i]);
    }

    for (std::size_t done = 0; done < frames;) {
        const std::size_t n = std::min(frames - done, kChunkFrames);
        std::array<std::int32_t, kChunkFrames> mix{};
        for (std::size_t s = 0; s < slots_.size(); ++s) {
            if (slots_[s].sounding.load(kRelaxed)) {
                accumulate(slots_[s], loops[s], mix.data(), n);
            }
        }
        for (std::size_t i = 0; i < n; ++i) {
            out[done + i] = saturate(mix[i]);
        }
        done += n;
    }

    tapBusy_.store(true);
    if (SampleRing* ring = tap_.load()) {
        ring->push(out, frames);
    }
    tapBusy_.store(false);

    frames_.store(frames_.load(kRelaxed) + frames, kRelaxed);
    if (observer != nullptr) {
        block.samples = out;
        block.frames = frames;
        observer->blockRendered(block);
    }
}

bool LoopMixer::isSounding(int slot) const {
    return validSlot(slot) && slots_[static_cast<std::size_t>(slot)].sounding.load(kRelaxed);
}

std::uint32_t LoopMixer::playPosition(int slot) const {
    return validSlot(slot) ? slots_[static_cast<std::size_t>(slot)].position.load(kRelaxed) : 0;
}

std::uint8_t LoopMixer::sample(int slot, std::size_t index) const {
    if (!validSlot(slot) || index >= kLoopSamples) {
        return kCentre;
    }
    const std::uint64_t word =
        slots_[static_cast<std::size_t>(slot)].words[index / kWordBytes].load(kRelaxed);
    std::uint8_t bytes[kWordBytes];
    std::memcpy(bytes, &word, kWordBytes);
    return bytes[index % kWordBytes];
}

std::uint64_t LoopMixer::writes(int slot) const {
    return validSlot(slot) ? slots_[static_cast<std::size_t>(slot)].writtenGeneration.load(kRelaxed)
                           : 0;
}

std::uint64_t LoopMixer::framesRendered() const {
    return frames_.load(kRelaxed);
}

}  // namespace scrivola
