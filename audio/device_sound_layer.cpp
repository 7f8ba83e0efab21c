#include "audio/device_sound_layer.h"

#include <chrono>
#include <utility>

namespace scrivola {
namespace {

std::int64_t steadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool validSlot(std::int16_t slot) {
    return slot == 0 || slot == 1;
}

}  // namespace

DeviceSoundLayer::DeviceSoundLayer(std::unique_ptr<AudioDevice> device,
                                   BufferCreationCheck canCreateBuffer, NanosecondClock clock)
    : device_(std::move(device)),
      canCreateBuffer_(canCreateBuffer ? std::move(canCreateBuffer)
                                       : BufferCreationCheck([](int) { return true; })),
      clock_(clock ? std::move(clock) : NanosecondClock(steadyNowNs)) {}

DeviceSoundLayer::~DeviceSoundLayer() {
    // The stream's callback reads the mixer: stop it before the mixer goes.
    device_->close();
}

bool DeviceSoundLayer::openSound() {
    failureReason_.clear();
    if (!device_->isOpen() && !device_->open(mixer_)) {
        failureReason_ = device_->failureReason();
        return false;
    }
    for (int slot = 0; slot < LoopMixer::kSlots; ++slot) {
        if (!canCreateBuffer_(slot)) {
            failureReason_ = "could not create sound buffer " + std::to_string(slot);
            releaseBuffers();
            device_->close();
            outputWanted_ = false;
            return false;
        }
        mixer_.createBuffer(slot);
    }
    outputWanted_ = true;
    stallWatch_.restart(clock_(), mixer_.counters().frames);
    return true;
}

bool DeviceSoundLayer::Play(std::int16_t slot, int flags) {
    return validSlot(slot) && mixer_.play(slot, (flags & DSBPLAY_LOOPING) != 0);
}

bool DeviceSoundLayer::writeWaveTable(std::int16_t slot, const WaveTable& table) {
    // Entries 0..359 fill the buffer; entry 360 is never sent.
    return validSlot(slot) &&
           mixer_.write(slot, LoopMixer::Samples(table.data(), LoopMixer::kLoopSamples));
}

void DeviceSoundLayer::releaseBuffers() {
    mixer_.releaseBuffer(0);
    mixer_.releaseBuffer(1);
}

void DeviceSoundLayer::releaseSound() {
    releaseBuffers();
    device_->close();
    outputWanted_ = false;
}

bool DeviceSoundLayer::recoverIfLost() {
    if (!outputWanted_) {
        return false;
    }
    if (device_->isOpen()) {
        const bool stalled = stallWatch_.stalled(clock_(), mixer_.counters().frames);
        const bool failed = device_->hasFailed();
        if (!stalled && !failed) {
            return true;
        }
        device_->close();
    }
    // The buffers live in the mixer, so a fresh stream goes on playing them
    // from where they are.
    if (!device_->openWithin(mixer_, kReopenWait)) {
        failureReason_ = device_->failureReason();
        return false;
    }
    failureReason_.clear();
    ++recoveries_;
    stallWatch_.restart(clock_(), mixer_.counters().frames);
    return true;
}

SoundCounters DeviceSoundLayer::counters() const {
    SoundCounters c = mixer_.counters();
    c.recoveries = recoveries_;
    c.underruns = device_->underruns();
    return c;
}

}  // namespace scrivola
