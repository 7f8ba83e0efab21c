// The audio output through RtAudio: PulseAudio first, ALSA's default device
// when PulseAudio cannot be reached. One mono 16-bit stream with little
// buffering, so a rewritten loop is heard within about 10 ms. The stream's
// threads run at real-time priority where the system grants it.
//
// A hung sound server can block RtAudio's open and close for a long time, so
// both run on helper threads that the caller waits for only briefly.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "audio/audio_device.h"
#include "audio/output_settings.h"

namespace scrivola {

class RtAudioDevice final : public AudioDevice {
public:
    RtAudioDevice();
    // Tries PulseAudio only, or ALSA only, where `settings.backend` says so.
    explicit RtAudioDevice(OutputSettings settings);
    ~RtAudioDevice() override;

    RtAudioDevice(const RtAudioDevice&) = delete;
    RtAudioDevice& operator=(const RtAudioDevice&) = delete;

    bool open(LoopMixer& mixer) override { return openWaiting(mixer, settings_.openTimeout); }
    bool openWithin(LoopMixer& mixer, std::chrono::milliseconds wait) override;
    void close() override;
    bool isOpen() const override { return stream_ != nullptr; }
    bool hasFailed() override;
    unsigned sampleRate() const override;
    std::uint64_t underruns() const override;
    unsigned latencyFrames() const override { return bufferFrames(); }
    std::string failureReason() const override { return failureReason_; }
    std::string description() const override;

    // "PulseAudio" or "ALSA" while open, else empty.
    std::string backendName() const;
    // Frames per callback that the back end granted (0 when closed).
    unsigned bufferFrames() const;
    // Threads of the open stream that run at real-time priority.
    int realtimeThreads() const;

    // A back end (RtAudio::Api) and one of its devices.
    struct Output {
        int api = 0;
        unsigned device = 0;
    };
    struct Stream;       // an open stream and what its callback reads
    struct PendingOpen;  // an open running on a helper thread

private:
    void abandonPending();

    OutputSettings settings_;
    std::shared_ptr<Stream> stream_;
    std::shared_ptr<PendingOpen> pending_;
    unsigned errorsSeen_ = 0;
    std::string failureReason_;
    std::uint64_t closedStreamsUnderruns_ = 0;
    // Where the last stream played: a reopen goes straight there.
    std::optional<Output> lastOutput_;
};

}  // namespace scrivola
