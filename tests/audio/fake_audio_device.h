// An audio device for tests: no thread, no sound. The test plays the part of
// the device's callback by calling render().
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/audio_device.h"
#include "audio/loop_mixer.h"

namespace scrivola::testing {

struct FakeDeviceLog {
    int opens = 0;
    int closes = 0;
};

class FakeAudioDevice final : public AudioDevice {
public:
    explicit FakeAudioDevice(FakeDeviceLog& log) : log_(log) {}

    bool open(LoopMixer& mixer) override {
        ++log_.opens;
        if (!openSucceeds) {
            return false;
        }
        mixer_ = &mixer;
        failed = false;
        return true;
    }
    void close() override {
        ++log_.closes;
        mixer_ = nullptr;
    }
    bool isOpen() const override { return mixer_ != nullptr; }
    bool hasFailed() override { return failed; }
    unsigned sampleRate() const override { return isOpen() ? 44100 : 0; }
    std::string failureReason() const override { return openSucceeds ? "" : "no device here"; }

    // Renders like one callback of the open stream; empty when closed.
    std::vector<std::int16_t> render(std::size_t frames) {
        std::vector<std::int16_t> out(frames);
        if (mixer_ != nullptr) {
            mixer_->render(out.data(), frames);
        }
        return out;
    }

    bool openSucceeds = true;
    bool failed = false;

private:
    FakeDeviceLog& log_;
    LoopMixer* mixer_ = nullptr;
};

}  // namespace scrivola::testing
