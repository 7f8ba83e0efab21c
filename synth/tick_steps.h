// The steps that open and close a tick and a sample, shared by the literal and
// the fast tick so that both perform them identically.
#pragma once

#include "synth/numeric.h"
#include "synth/wave_table_tick.h"

namespace scrivola::tick_steps {

// Peaks to 0, then the four boxes cleared in order.
inline void beginTick(modSynth_DX7& m, ScopeDisplay& display) {
    m.peakA = 0;
    m.peakB = 0;
    display.clearBox(DisplayBox::WPB1);
    display.clearBox(DisplayBox::o1VU);
    display.clearBox(DisplayBox::Picture1);
    display.clearBox(DisplayBox::Picture2);
}

// The end of a sample: both table entries, both peaks, both scope points.
// A conversion that fails leaves the entry or the peak as it was.
inline void finishSample(modSynth_DX7& m, ScopeDisplay& display) {
    toByte(static_cast<double>(m.sampleA) + 128.0).assignTo(m.tableA[m.sampleIndex]);
    toByte(static_cast<double>(m.sampleB) + 128.0).assignTo(m.tableB[m.sampleIndex]);
    if (m.sampleA > m.peakA) {
        toInt16(m.sampleA).assignTo(m.peakA);
    }
    if (m.sampleB > m.peakB) {
        toInt16(m.sampleB).assignTo(m.peakB);
    }
    display.plotScopePoint(m.sampleIndex, m.sampleA, DisplayBox::WPB1);
    display.plotScopePoint(m.sampleIndex, m.sampleB, DisplayBox::Picture1);
}

// Each table into its buffer, each followed by its voice's meter.
inline void endTick(modSynth_DX7& m, TickIo& io) {
    io.sound.writeWaveTable(0, m.tableA);
    io.display.drawMeter(m.peakA, DisplayBox::o1VU);
    io.sound.writeWaveTable(1, m.tableB);
    io.display.drawMeter(m.peakB, DisplayBox::Picture2);
}

}  // namespace scrivola::tick_steps
