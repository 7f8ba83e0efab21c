#include "audio/device_sound_layer.h"

#include <algorithm>
#include <utility>

#include "audio/steady_time.h"

namespace scrivola {

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
        silentTable_[static_cast<std::size_t>(slot)] = true;
    }
    outputWanted_ = true;
    idle_ = resuming_ = false;
    lastSoundNs_ = clock_();
    stallWatch_.restart(lastSoundNs_, mixer_.framesRendered());
    if (observer_ != nullptr) {
        note("output: " + device_->description());
    }
    return true;
}

bool DeviceSoundLayer::play(std::int16_t slot, bool looping) {
    return LoopMixer::validSlot(slot) && mixer_.play(slot, looping);
}

void DeviceSoundLayer::setObserver(SoundObserver* observer) {
    observer_ = observer;
    mixer_.setObserver(observer);
}

bool DeviceSoundLayer::writeWaveTable(std::int16_t slot, const WaveTable& table) {
    // Entries 0..359 fill the buffer; entry 360 is never sent.
    const LoopMixer::Samples samples(table.data(), LoopMixer::kLoopSamples);
    if (!LoopMixer::validSlot(slot) || !mixer_.write(slot, samples)) {
        return false;
    }
    if (observer_ != nullptr) {
        observer_->tableWritten(slot, samples.data(), samples.size());
    }
    const bool silent = std::all_of(samples.begin(), samples.end(),
                                    [](std::uint8_t b) { return b == LoopMixer::kCentre; });
    silentTable_[static_cast<std::size_t>(slot)] = silent;
    if (!silent) {
        lastSoundNs_ = clock_();
        resume();
    }
    return true;
}

void DeviceSoundLayer::releaseBuffers() {
    mixer_.releaseBuffer(0);
    mixer_.releaseBuffer(1);
}

void DeviceSoundLayer::releaseSound() {
    releaseBuffers();
    device_->close();
    outputWanted_ = false;
    idle_ = resuming_ = false;
}

bool DeviceSoundLayer::bothSilent() const {
    return std::all_of(silentTable_.begin(), silentTable_.end(), [](bool s) { return s; });
}

void DeviceSoundLayer::resume() {
    if (!idle_) {
        return;
    }
    idle_ = false;
    resuming_ = true;
    note("starting the stream for sound");
    // The open runs on the device's helper thread and starts the stream as
    // soon as the server answers; later calls only collect it.
    collectOpen(std::chrono::milliseconds(0));
}

bool DeviceSoundLayer::collectOpen(std::chrono::milliseconds wait) {
    if (!device_->openWithin(mixer_, wait)) {
        failureReason_ = device_->failureReason();
        return false;
    }
    failureReason_.clear();
    if (!resuming_) {
        ++recoveries_;
        if (observer_ != nullptr) {
            note("output reopened: " + device_->description());
        }
    }
    resuming_ = false;
    stallWatch_.restart(clock_(), mixer_.framesRendered());
    return true;
}

void DeviceSoundLayer::noteOutputChanges() {
    if (const std::uint64_t underruns = device_->underruns(); underruns != underrunsNoted_) {
        underrunsNoted_ = underruns;
        note("underruns " + std::to_string(underruns));
    }
    if (const unsigned frames = device_->latencyFrames(); frames != latencyNoted_ && frames != 0) {
        latencyNoted_ = frames;
        note("latency " + std::to_string(frames) + " frames at " +
             std::to_string(device_->sampleRate()) + " Hz");
    }
}

bool DeviceSoundLayer::recoverIfLost() {
    if (!outputWanted_ || idle_) {
        return outputWanted_;
    }
    if (device_->isOpen()) {
        const std::int64_t now = clock_();
        const bool stalled = stallWatch_.stalled(now, mixer_.framesRendered());
        const bool failed = device_->hasFailed();
        noteOutputChanges();
        if (!stalled && !failed) {
            if (!keepRunning_ && bothSilent() && now - lastSoundNs_ >= kIdleStopNs) {
                idleRate_ = device_->sampleRate();
                device_->standBy();
                idle_ = true;
                note("stream stopped for silence");
            }
            return true;
        }
        note(failed ? "output failed" : "output stalled");
        device_->close();
        resuming_ = false;
    }
    // The buffers live in the mixer, so a fresh stream goes on playing them
    // from where they are.
    if (collectOpen(kReopenWait)) {
        return true;
    }
    // The count of writes shows whether the caller kept its pace meanwhile.
    note("no output, writes " + std::to_string(mixer_.writes(0)) + ": " + failureReason_);
    return false;
}

void DeviceSoundLayer::keepOutputRunning(bool on) {
    keepRunning_ = on;
    if (on) {
        resume();
    } else {
        lastSoundNs_ = clock_();
    }
}

void DeviceSoundLayer::expectSound() {
    if (idle_) {
        lastSoundNs_ = clock_();  // the silence that stops it counts from now
        resume();
    }
}

unsigned DeviceSoundLayer::outputRate() const {
    const unsigned rate = device_->sampleRate();
    return rate != 0 || !(idle_ || resuming_) ? rate : idleRate_;
}

void DeviceSoundLayer::note(const std::string& line) const {
    if (observer_ != nullptr) {
        observer_->outputChanged(line);
    }
}

}  // namespace scrivola
