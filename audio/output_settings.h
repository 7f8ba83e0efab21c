// How the sound output is opened: which back end, at what rate and with how
// much buffering, and how the stream is named on the desktop.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "audio/realtime.h"

namespace scrivola {

enum class OutputBackend {
    automatic,  // PipeWire where it is the sound server, else PulseAudio, else ALSA
    pipewire,
    pulseaudio,
    alsa,
};

// "pipewire", "pulseaudio" or "alsa"; none for any other name.
std::optional<OutputBackend> outputBackendNamed(std::string_view name);

struct OutputSettings {
    OutputBackend backend = OutputBackend::automatic;
    unsigned sampleRate = 44100;
    // Frames per callback through RtAudio, and the smallest graph cycle
    // asked of PipeWire. Never 0: RtAudio's PulseAudio back end then spins
    // without producing sound.
    unsigned bufferFrames = 256;
    // Buffers queued on the server through RtAudio. Left at 0 PulseAudio
    // queues ~135 ms.
    unsigned numberOfBuffers = 2;
    // How long open() waits for the back end before giving up.
    std::chrono::milliseconds openTimeout{5000};
    // How long close() waits for a hung back end before abandoning it.
    std::chrono::milliseconds closeTimeout{200};
    // Stream errors between two hasFailed() calls that mean the output is
    // lost; fewer are passing underruns that the back end recovers from.
    unsigned failedErrors = 8;
    // Whether the stream's threads ask for real-time scheduling.
    bool realtime = true;
    // Asked for real-time scheduling where the process may not set it
    // itself; none: normal priority there. (PipeWire's own client module
    // asks the desktop's RealtimeKit itself.)
    std::shared_ptr<RealtimeBroker> realtimeBroker;
    // What the desktop's volume control shows for the stream.
    std::string applicationName = "Scrivola Synth";
    // The desktop entry's id, which also names the application's icon.
    std::string applicationId;
};

}  // namespace scrivola
