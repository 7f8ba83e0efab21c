// A sound layer without a device: opening succeeds and everything else does
// nothing. For running the synthesizer where no sound is wanted or possible.
#pragma once

#include "audio/sound_layer.h"

namespace scrivola {

class SilentSoundLayer final : public SoundLayer {
public:
    bool openSound() override { return true; }
    bool Play(std::int16_t, int) override { return true; }
    bool writeWaveTable(std::int16_t, const WaveTable&) override { return true; }
    void releaseSound() override {}
};

}  // namespace scrivola
