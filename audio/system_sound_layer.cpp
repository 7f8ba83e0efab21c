#include "audio/system_sound_layer.h"

#include <memory>

#include "audio/system_output.h"

namespace scrivola {

SystemSoundLayer::SystemSoundLayer(const OutputSettings& settings)
    : DeviceSoundLayer(std::make_unique<SystemOutput>(settings)) {}

}  // namespace scrivola
