// The sound layer that plays through RtAudio (PulseAudio, else ALSA).
#pragma once

#include <string>

#include "audio/device_sound_layer.h"
#include "audio/rtaudio_device.h"

namespace scrivola {

class RtAudioSoundLayer final : public DeviceSoundLayer {
public:
    RtAudioSoundLayer();
    explicit RtAudioSoundLayer(RtAudioDevice::Settings settings);

    // E.g. "PulseAudio, 44100 Hz, 256 frames per callback, 2 real-time
    // threads"; empty when closed.
    std::string outputDescription() const;
};

}  // namespace scrivola
