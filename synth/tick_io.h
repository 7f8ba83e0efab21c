// What the wave-table tick reaches outside the core: the four display boxes
// and the two sound buffers. Every call reports failure as false; the tick
// then skips the step that made the call and goes on.
#pragma once

#include <cstdint>

#include "synth/synth_state.h"

namespace scrivola {

enum class DisplayBox { WPB1, o1VU, Picture1, Picture2 };

class ScopeDisplay {
public:
    virtual ~ScopeDisplay() = default;
    // Erases the box and moves its drawing position to (0, 0).
    virtual bool clearBox(DisplayBox box) = 0;
    // One scope point for table entry `index`.
    virtual bool plotScopePoint(std::int16_t index, float value, DisplayBox box) = 0;
    // The level bar for a voice's peak.
    virtual bool drawMeter(std::int16_t value, DisplayBox box) = 0;
};

// A display that shows nothing (for tests and benchmarks).
class NullDisplay final : public ScopeDisplay {
public:
    bool clearBox(DisplayBox) override { return true; }
    bool plotScopePoint(std::int16_t, float, DisplayBox) override { return true; }
    bool drawMeter(std::int16_t, DisplayBox) override { return true; }
};

// The sound buffers: slot 0 plays voice A, slot 1 voice B. A write sends
// entries 0..359 of the table; entry 360 never sounds.
class WaveTableWriter {
public:
    virtual ~WaveTableWriter() = default;
    virtual bool writeWaveTable(std::int16_t slot, const WaveTable& table) = 0;
};

}  // namespace scrivola
