#include "audio/output_settings.h"

namespace scrivola {

std::optional<OutputBackend> outputBackendNamed(std::string_view name) {
    if (name == "pipewire") {
        return OutputBackend::pipewire;
    }
    if (name == "pulseaudio") {
        return OutputBackend::pulseaudio;
    }
    if (name == "alsa") {
        return OutputBackend::alsa;
    }
    return std::nullopt;
}

}  // namespace scrivola
