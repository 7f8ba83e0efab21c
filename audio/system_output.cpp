#include "audio/system_output.h"

namespace scrivola {

bool SystemOutput::open(LoopMixer& mixer) {
    if (chosen_ == nullptr) {
        if (pipewire_.available() && pipewire_.open(mixer)) {
            chosen_ = &pipewire_;
            return true;
        }
        chosen_ = &rtaudio_;
    }
    return chosen_->open(mixer);
}

bool SystemOutput::openWithin(LoopMixer& mixer, std::chrono::milliseconds wait) {
    return chosen_ != nullptr ? chosen_->openWithin(mixer, wait) : open(mixer);
}

std::string SystemOutput::description() const {
    if (!isOpen()) {
        return {};
    }
    if (chosen_ == &pipewire_) {
        return "PipeWire, " + std::to_string(pipewire_.sampleRate()) + " Hz, " +
               std::to_string(pipewire_.bufferFrames()) + " frames per cycle, " +
               std::to_string(pipewire_.realtimeThreads()) + " real-time threads";
    }
    return rtaudio_.backendName() + ", " + std::to_string(rtaudio_.sampleRate()) + " Hz, " +
           std::to_string(rtaudio_.bufferFrames()) + " frames per callback, " +
           std::to_string(rtaudio_.realtimeThreads()) + " real-time threads";
}

}  // namespace scrivola
