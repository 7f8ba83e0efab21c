// The desktop's audio output: a PipeWire stream of its own where PipeWire is
// the sound server, else RtAudio (PulseAudio, then ALSA's default device).
// The first open chooses; later opens (after silence or a lost server) stay
// with that choice.
#pragma once

#include <string>

#include "audio/pipewire_device.h"
#include "audio/rtaudio_device.h"

namespace scrivola {

class SystemOutput final : public AudioDevice {
public:
    explicit SystemOutput(const RtAudioDevice::Settings& settings)
        : pipewire_(settings), rtaudio_(settings) {}

    bool open(LoopMixer& mixer) override;
    bool openWithin(LoopMixer& mixer, std::chrono::milliseconds wait) override;
    void close() override { chosen().close(); }
    bool isOpen() const override { return chosen_ != nullptr && chosen_->isOpen(); }
    bool hasFailed() override { return chosen().hasFailed(); }
    unsigned sampleRate() const override { return chosen_ ? chosen_->sampleRate() : 0; }
    std::uint64_t underruns() const override { return chosen_ ? chosen_->underruns() : 0; }
    std::string failureReason() const override {
        return chosen_ ? chosen_->failureReason() : rtaudio_.failureReason();
    }

    // E.g. "PipeWire, 44100 Hz, 256 frames per cycle, 1 real-time threads";
    // empty when closed.
    std::string description() const;

private:
    AudioDevice& chosen() { return chosen_ ? *chosen_ : rtaudio_; }

    PipeWireDevice pipewire_;
    RtAudioDevice rtaudio_;
    AudioDevice* chosen_ = nullptr;
};

}  // namespace scrivola
