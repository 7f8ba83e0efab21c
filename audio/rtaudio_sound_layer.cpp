#include "audio/rtaudio_sound_layer.h"

#include <memory>

namespace scrivola {

RtAudioSoundLayer::RtAudioSoundLayer() : RtAudioSoundLayer(RtAudioDevice::Settings{}) {}

RtAudioSoundLayer::RtAudioSoundLayer(RtAudioDevice::Settings settings)
    : DeviceSoundLayer(std::make_unique<RtAudioDevice>(settings)) {}

std::string RtAudioSoundLayer::outputDescription() const {
    const auto& rt = static_cast<const RtAudioDevice&>(device());
    if (!rt.isOpen()) {
        return {};
    }
    return rt.backendName() + ", " + std::to_string(rt.sampleRate()) + " Hz, " +
           std::to_string(rt.bufferFrames()) + " frames per callback";
}

}  // namespace scrivola
