// The desktop's audio output: a PipeWire stream of its own where PipeWire is
// the sound server, else RtAudio (PulseAudio, then ALSA's default device);
// or only the back end that the settings name. The first open chooses;
// later opens (after silence or a lost server) stay with that choice.
#pragma once

#include <string>

#include "audio/output_settings.h"
#include "audio/pipewire_device.h"
#include "audio/rtaudio_device.h"

namespace scrivola {

class SystemOutput final : public AudioDevice {
public:
    explicit SystemOutput(const OutputSettings& settings)
        : backend_(settings.backend), pipewire_(settings), rtaudio_(settings) {}

    bool open(LoopMixer& mixer) override;
    bool openWithin(LoopMixer& mixer, std::chrono::milliseconds wait) override;
    void close() override { chosen().close(); }
    void standBy() override { chosen().standBy(); }
    bool isOpen() const override { return chosen().isOpen(); }
    bool hasFailed() override { return chosen().hasFailed(); }
    unsigned sampleRate() const override { return chosen().sampleRate(); }
    std::uint64_t underruns() const override { return chosen().underruns(); }
    unsigned latencyFrames() const override { return chosen().latencyFrames(); }
    std::string failureReason() const override { return chosen().failureReason(); }
    std::string description() const override { return chosen().description(); }

private:
    // Before the first open: RtAudio, whose account of failure lists both
    // of its back ends.
    AudioDevice& chosen() {
        return chosen_ != nullptr ? *chosen_ : static_cast<AudioDevice&>(rtaudio_);
    }
    const AudioDevice& chosen() const {
        return chosen_ != nullptr ? *chosen_ : static_cast<const AudioDevice&>(rtaudio_);
    }

    OutputBackend backend_;
    PipeWireDevice pipewire_;
    RtAudioDevice rtaudio_;
    AudioDevice* chosen_ = nullptr;
};

}  // namespace scrivola
