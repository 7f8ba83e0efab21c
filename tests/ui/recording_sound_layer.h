// A sound layer that records what the window asks of it.
#pragma once

#include <array>
#include <vector>

#include "audio/silent_sound_layer.h"

namespace scrivola {

class RecordingSoundLayer final : public SilentSoundLayer {
public:
    bool openResult = true;
    bool playResult = true;
    int opens = 0;
    int recoverCalls = 0;
    int releases = 0;
    bool idle = false;                        // what isIdle reports
    std::vector<std::pair<int, bool>> plays;  // (slot, looping)
    std::array<int, 2> writes{};
    std::array<WaveTable, 2> lastTable{};

    bool openSound() override {
        ++opens;
        return openResult;
    }
    bool play(std::int16_t slot, bool looping) override {
        plays.emplace_back(slot, looping);
        return playResult;
    }
    bool writeWaveTable(std::int16_t slot, const WaveTable& table) override {
        if (slot < 0 || slot > 1) {
            return false;
        }
        ++writes[static_cast<std::size_t>(slot)];
        lastTable[static_cast<std::size_t>(slot)] = table;
        return true;
    }
    void releaseSound() override { ++releases; }
    bool recoverIfLost() override {
        ++recoverCalls;
        return true;
    }
    bool isIdle() const override { return idle; }
};

}  // namespace scrivola
