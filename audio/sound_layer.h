// The sound layer: opens the audio output, keeps two looping buffers of 360
// unsigned 8-bit samples (slot 0 voice A, slot 1 voice B), lets both play in a
// loop, accepts whole-buffer rewrites while they play, and releases it all.
#pragma once

#include <cstdint>
#include <string>

#include "audio/sample_ring.h"
#include "synth/tick_io.h"

namespace scrivola {

class SoundLayer : public WaveTableWriter {
public:
    // Opens the output and creates both buffers. True when the output and
    // both buffers exist; false otherwise.
    virtual bool openSound() = 0;
    // Starts a slot playing from its start; `looping` repeats it without
    // end. False when the slot has no buffer.
    virtual bool play(std::int16_t slot, bool looping) = 0;
    // Replaces the whole buffer of a slot with entries 0..359 of the table.
    bool writeWaveTable(std::int16_t slot, const WaveTable& table) override = 0;
    // Releases both buffers and the output. Harmless when already released.
    virtual void releaseSound() = 0;

    // One line saying why the last openSound (or reopen) failed; empty when
    // nothing failed.
    virtual std::string failureReason() const = 0;
    // Call from a timer every few hundred milliseconds while the sound is
    // open. When the audio output has been lost (the sound server went away,
    // the stream stopped running), closes it and tries once to open it again,
    // keeping both buffers' contents and play state. Never throws and never
    // blocks for long. True when the output is running after the call, or
    // stopped on purpose because both loops have been silent for a while.
    virtual bool recoverIfLost() = 0;
    // True while the output is stopped on purpose because both loops have
    // been silent for a while: recoverIfLost has nothing to watch then, until
    // a write that is not silence, expectSound or keepOutputRunning starts it.
    virtual bool isIdle() const = 0;

    // Keeps the output stream running even while both loops are silent, and
    // starts it now if it was stopped for silence (for a recorder that must
    // capture silence in real time).
    virtual void keepOutputRunning(bool on) = 0;
    // A note is likely to start soon (the pen went down): if the output was
    // stopped for silence, starts it again now, so that the note does not
    // wait for the stream to start. It stops again after the usual silence.
    virtual void expectSound() = 0;
    // From now on every sample the output plays is also pushed to `ring`
    // (nullptr: to none). Returns once the audio thread no longer uses the
    // previous ring. False when this layer has no output whose samples it
    // can hand on.
    virtual bool tapOutput(SampleRing* ring) = 0;
    // The output's sample rate; 0 while no output is open.
    virtual unsigned outputRate() const = 0;
};

}  // namespace scrivola
