// The audio output as a PipeWire stream of its own, for desktops whose sound
// server is PipeWire. The stream renders in PipeWire's real-time data thread,
// once per cycle of the graph, straight into the buffer the server plays;
// through PipeWire's PulseAudio service a queue of several milliseconds sits
// in front of every stream on top of that cycle.
//
// The data thread gets real-time scheduling from the client's own real-time
// module (client-rt.conf), through RealtimeKit on a desktop.
//
// The stream asks for the smallest cycle (node.latency) first and adapts it
// to the dropouts it sees (LatencyLadder). While the loops are silent the
// stream stays connected but inactive, so the first note after a silence
// needs no new connection.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "audio/audio_device.h"
#include "audio/output_settings.h"

namespace scrivola {

class PipeWireDevice final : public AudioDevice {
public:
    // The rate, the smallest cycle, the open's timeout and the stream's
    // names are taken from `settings`.
    explicit PipeWireDevice(OutputSettings settings);
    ~PipeWireDevice() override;

    PipeWireDevice(const PipeWireDevice&) = delete;
    PipeWireDevice& operator=(const PipeWireDevice&) = delete;

    // True when a PipeWire server answers and plays to an audio sink of its
    // own (it is the desktop's sound server, not only its video server).
    bool available();

    bool open(LoopMixer& mixer) override { return openWaiting(mixer, settings_.openTimeout); }
    bool openWithin(LoopMixer& mixer, std::chrono::milliseconds wait) override;
    void close() override;
    // Makes the stream inactive; openWithin() activates it again at once.
    void standBy() override;
    bool isOpen() const override { return open_; }
    bool hasFailed() override;
    unsigned sampleRate() const override;
    // Cycles whose audio was not ready in time: the data thread ran after
    // the cycle's deadline, or the graph ran cycles without it.
    std::uint64_t underruns() const override;
    // The graph's cycle in use, in frames at the stream's rate.
    unsigned latencyFrames() const override;
    std::string failureReason() const override { return failureReason_; }
    std::string description() const override;

    struct Connection;  // the server connection and its threads
    struct Playback;    // one stream and what its process callback reads

private:
    bool connect();
    void disconnect();
    bool createStream(LoopMixer& mixer);

    OutputSettings settings_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<Playback> playback_;
    bool open_ = false;
    bool standingBy_ = false;
    unsigned errorsSeen_ = 0;
    std::uint64_t closedUnderruns_ = 0;
    std::string failureReason_;
};

}  // namespace scrivola
