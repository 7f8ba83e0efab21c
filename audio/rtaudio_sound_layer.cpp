#include "audio/rtaudio_sound_layer.h"

#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <memory>

#include "audio/steady_time.h"

namespace scrivola {

RtAudioSoundLayer::RtAudioSoundLayer() : RtAudioSoundLayer(RtAudioDevice::Settings{}) {}

RtAudioSoundLayer::RtAudioSoundLayer(RtAudioDevice::Settings settings)
    : DeviceSoundLayer(std::make_unique<RtAudioDevice>(settings)) {
    // For tests and measurements: SCRIVOLA_AUDIO_LOG names a file that gets
    // one line, with the steady clock's seconds, per change of the output.
    if (const char* path = std::getenv("SCRIVOLA_AUDIO_LOG"); path != nullptr && *path != 0) {
        auto file = std::make_shared<std::ofstream>(path, std::ios::app);
        setOutputLog([file](const std::string& line) {
            *file << std::fixed << std::setprecision(3) << steadyNowNs() / 1e9 << ' ' << line
                  << std::endl;
        });
    }
}

std::string RtAudioSoundLayer::outputDescription() const {
    const auto& rt = static_cast<const RtAudioDevice&>(device());
    if (!rt.isOpen()) {
        return {};
    }
    return rt.backendName() + ", " + std::to_string(rt.sampleRate()) + " Hz, " +
           std::to_string(rt.bufferFrames()) + " frames per callback, " +
           std::to_string(rt.realtimeThreads()) + " real-time threads";
}

}  // namespace scrivola
