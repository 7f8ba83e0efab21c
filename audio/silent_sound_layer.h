// A sound layer without an output: opening succeeds, the buffers accept
// everything, and nothing sounds or can be recorded. For running the
// synthesizer where no sound is wanted or possible, and as the base of test
// layers that note what they are asked.
#pragma once

#include "audio/sound_layer.h"

namespace scrivola {

class SilentSoundLayer : public SoundLayer {
public:
    bool openSound() override { return true; }
    bool play(std::int16_t /*slot*/, bool /*looping*/) override { return true; }
    bool writeWaveTable(std::int16_t /*slot*/, const WaveTable& /*table*/) override { return true; }
    void releaseSound() override {}
    std::string failureReason() const override { return {}; }
    bool recoverIfLost() override { return true; }
    bool isIdle() const override { return false; }
    void keepOutputRunning(bool /*on*/) override {}
    void expectSound() override {}
    bool tapOutput(SampleRing* /*ring*/) override { return false; }
    unsigned outputRate() const override { return 0; }
};

}  // namespace scrivola
