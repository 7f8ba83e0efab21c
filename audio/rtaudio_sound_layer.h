// The sound layer that plays through the system's output: a PipeWire stream
// where PipeWire is the sound server, else RtAudio (PulseAudio, else ALSA).
#pragma once

#include <string>

#include "audio/device_sound_layer.h"
#include "audio/rtaudio_device.h"

namespace scrivola {

class RtAudioSoundLayer final : public DeviceSoundLayer {
public:
    RtAudioSoundLayer();
    explicit RtAudioSoundLayer(RtAudioDevice::Settings settings);

    // E.g. "PipeWire, 44100 Hz, 256 frames per cycle, 1 real-time threads"
    // or "PulseAudio, 44100 Hz, 256 frames per callback, 2 real-time
    // threads"; empty when closed.
    std::string outputDescription() const;
};

}  // namespace scrivola
