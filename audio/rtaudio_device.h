// The audio output through RtAudio: PulseAudio first, ALSA's default device
// when PulseAudio cannot be reached. One mono 16-bit stream with little
// buffering, so a rewritten loop is heard within about 10 ms.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "audio/audio_device.h"

namespace scrivola {

class RtAudioDevice final : public AudioDevice {
  public:
    struct Settings {
        unsigned sampleRate = 44100;
        // Frames per callback. Never 0: RtAudio's PulseAudio back end then
        // spins without producing sound.
        unsigned bufferFrames = 256;
        // Buffers queued on the server. Left at 0 PulseAudio queues ~135 ms.
        unsigned numberOfBuffers = 2;
        // How long close() waits for a hung back end before abandoning it.
        std::chrono::milliseconds closeTimeout{300};
    };

    RtAudioDevice();
    explicit RtAudioDevice(Settings settings);
    ~RtAudioDevice() override;

    RtAudioDevice(const RtAudioDevice&) = delete;
    RtAudioDevice& operator=(const RtAudioDevice&) = delete;

    bool open(LoopMixer& mixer) override;
    void close() override;
    bool isOpen() const override { return stream_ != nullptr; }
    bool hasFailed() const override;
    unsigned sampleRate() const override;
    std::string failureReason() const override { return failureReason_; }

    // "PulseAudio" or "ALSA" while open, else empty.
    std::string backendName() const;
    // Frames per callback that the back end granted (0 when closed).
    unsigned bufferFrames() const;

    struct Stream;  // the open stream and what its callback reads

  private:
    Settings settings_;
    std::shared_ptr<Stream> stream_;
    std::string failureReason_;
};

}  // namespace scrivola
