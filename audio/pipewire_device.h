// The audio output as a PipeWire stream of its own, for desktops whose sound
// server is PipeWire: its PulseAudio service keeps a queue of several
// milliseconds in front of every stream, on top of the graph's own cycle,
// whereas a stream of its own is asked for each cycle's audio as the cycle
// runs.
//
// The connection to the server stays up while the stream is closed for
// silence, so a reopen only creates the stream again.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "audio/audio_device.h"
#include "audio/rtaudio_device.h"

namespace scrivola {

class PipeWireDevice final : public AudioDevice {
public:
    // The rate, the frames per cycle (the stream's latency), the open's
    // timeout and the real-time settings are taken from `settings`.
    explicit PipeWireDevice(RtAudioDevice::Settings settings);
    ~PipeWireDevice() override;

    PipeWireDevice(const PipeWireDevice&) = delete;
    PipeWireDevice& operator=(const PipeWireDevice&) = delete;

    // True when a PipeWire server answers and plays to a sink of its own (it
    // is the desktop's sound server, not only its video server).
    bool available();

    bool open(LoopMixer& mixer) override;
    bool openWithin(LoopMixer& mixer, std::chrono::milliseconds wait) override;
    void close() override;
    bool isOpen() const override;
    bool hasFailed() override;
    unsigned sampleRate() const override;
    std::uint64_t underruns() const override;
    std::string failureReason() const override { return failureReason_; }

    // Frames the stream asks to mix per cycle (0 when closed).
    unsigned bufferFrames() const { return open_ ? settings_.bufferFrames : 0; }
    // Threads of the connection that run at real-time priority.
    int realtimeThreads() const;

    struct Connection;  // the server connection and its threads
    struct Playback;    // one stream and what its process callback reads

private:
    bool connect();
    void disconnect();

    RtAudioDevice::Settings settings_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<Playback> playback_;
    bool open_ = false;
    unsigned errorsSeen_ = 0;
    std::uint64_t closedUnderruns_ = 0;
    std::string failureReason_;
};

}  // namespace scrivola
