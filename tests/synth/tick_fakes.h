// Test doubles for the wave-table tick: a scripted clock, a display and a
// sound output that record what they were asked to do.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
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
    int reads = 0;

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

struct RecordingDisplay : ScopeDisplay {
    std::vector<std::string> calls;  // "clear:N", "meter:N=v"
    std::vector<float> scopeA;
    std::vector<float> scopeB;
    bool fail = false;

    bool clearBox(DisplayBox box) override {
        calls.push_back("clear:" + std::to_string(static_cast<int>(box)));
        return !fail;
    }
    bool plotScopePoint(std::int16_t, float value, DisplayBox box) override {
        (box == DisplayBox::WPB1 ? scopeA : scopeB).push_back(value);
        return !fail;
    }
    bool drawMeter(std::int16_t value, DisplayBox box) override {
        calls.push_back("meter:" + std::to_string(static_cast<int>(box)) + "=" +
                        std::to_string(value));
        return !fail;
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
