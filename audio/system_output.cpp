#include "audio/system_output.h"

namespace scrivola {

bool SystemOutput::open(LoopMixer& mixer) {
    if (chosen_ == nullptr) {
        switch (backend_) {
            case OutputBackend::pipewire:
                chosen_ = &pipewire_;
                break;
            case OutputBackend::automatic:
                // Where PipeWire answers with a sink of its own, it is the
                // desktop's sound server.
                if (pipewire_.available() && pipewire_.open(mixer)) {
                    chosen_ = &pipewire_;
                    return true;
                }
                chosen_ = &rtaudio_;
                break;
            case OutputBackend::pulseaudio:
            case OutputBackend::alsa:
                chosen_ = &rtaudio_;
                break;
        }
    }
    return chosen_->open(mixer);
}

bool SystemOutput::openWithin(LoopMixer& mixer, std::chrono::milliseconds wait) {
    return chosen_ != nullptr ? chosen_->openWithin(mixer, wait) : open(mixer);
}

}  // namespace scrivola
