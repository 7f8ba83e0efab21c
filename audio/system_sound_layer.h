// The sound layer that plays through the system's output: a PipeWire stream
// of its own where PipeWire is the sound server, else RtAudio (PulseAudio,
// else ALSA), or the back end the settings name.
#pragma once

#include "audio/device_sound_layer.h"
#include "audio/output_settings.h"

namespace scrivola {

class SystemSoundLayer final : public DeviceSoundLayer {
public:
    explicit SystemSoundLayer(const OutputSettings& settings = {});
};

}  // namespace scrivola
