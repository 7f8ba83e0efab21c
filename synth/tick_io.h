// What the wave-table tick hands out: both tables to the sound buffers, and
// what the four display boxes are to show.
#pragma once

#include <array>
#include <cstdint>

#include "synth/synth_state.h"

namespace scrivola {

// The sound buffers: slot 0 plays voice A, slot 1 voice B. A write sends
// entries 0..359 of the table; entry 360 never sounds. A failed write reports
// false; the tick then goes on.
class WaveTableWriter {
public:
    virtual ~WaveTableWriter() = default;
    virtual bool writeWaveTable(std::int16_t slot, const WaveTable& table) = 0;
};

// What one tick shows: each voice's scope value for every table entry, in
// the order the tick computed them, and the peak each voice's meter shows.
// The window draws it after the tick; the displays keep nothing else.
struct DisplayRecord {
    std::array<float, kTableSize> scopeA{};  // voice A's trace (box WPB1)
    std::array<float, kTableSize> scopeB{};  // voice B's trace (box Picture1)
    std::int16_t meterA = 0;                 // voice A's meter (box o1VU)
    std::int16_t meterB = 0;                 // voice B's meter (box Picture2)
};

}  // namespace scrivola
