// Test doubles for the wave-table tick: a scripted clock and a sound output
// that records what it was asked to write.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "synth/clock.h"
#include "synth/tick_io.h"

namespace scrivola::testing {

// A counter at `frequency` counts per second that advances by `step` counts
// at every read; failures can be switched on.
class FakeCounter : public PerformanceCounter {
public:
    std::int64_t count = 0;
    std::int64_t step = 0;
    std::int64_t frequencyValue = 1000;
    bool failCounter = false;
    bool steadyReadings = false;
    int reads = 0;

    bool steady() const override { return steadyReadings; }
    std::optional<std::int64_t> frequency() override { return frequencyValue; }
    std::optional<std::int64_t> counter() override {
        ++reads;
        if (failCounter) {
            return std::nullopt;
        }
        const std::int64_t now = count;
        count += step;
        return now;
    }
};

struct RecordingSound : WaveTableWriter {
    std::vector<int> slots;
    std::vector<WaveTable> tables;
    bool fail = false;
    bool writeWaveTable(std::int16_t slot, const WaveTable& table) override {
        slots.push_back(slot);
        tables.push_back(table);
        return !fail;
    }
};

}  // namespace scrivola::testing
