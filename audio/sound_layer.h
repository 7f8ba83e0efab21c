// The sound layer: opens the audio device, keeps two looping buffers of 360
// unsigned 8-bit samples (slot 0 voice A, slot 1 voice B), lets both play in a
// loop, accepts whole-buffer rewrites while they play, and releases it all.
#pragma once

#include <cstdint>
#include <string>

#include "audio/sample_ring.h"
#include "audio/sound_counters.h"
#include "synth/tick_io.h"

namespace scrivola {

// Looping flag for Play.
constexpr int DSBPLAY_LOOPING = 1;

class SoundLayer : public WaveTableWriter {
public:
    // Opens the device and creates both buffers. True when the device and both
    // buffers exist; false otherwise.
    virtual bool openSound() = 0;
    // Starts a slot playing from its start; with DSBPLAY_LOOPING it repeats
    // without end. False when the slot has no buffer.
    virtual bool Play(std::int16_t slot, int flags) = 0;
    // Replaces the whole buffer of a slot with entries 0..359 of the table.
    bool writeWaveTable(std::int16_t slot, const WaveTable& table) override = 0;
    // Releases both buffers and the device. Harmless when already released.
    virtual void releaseSound() = 0;

    // One line saying why the last openSound (or reopen) failed; empty when
    // nothing failed.
    virtual std::string failureReason() const { return {}; }
    // Call from a timer every few hundred milliseconds while the sound is
    // open. When the audio output has been lost (the sound server went away,
    // the stream stopped running), closes it and tries once to open it again,
    // keeping both buffers' contents and play state. Never throws and never
    // blocks for long. True when the output is running after the call, or
    // stopped on purpose because both loops have been silent for a while.
    virtual bool recoverIfLost() { return true; }
    // True while the output is stopped on purpose because both loops have
    // been silent for a while: recoverIfLost has nothing to watch then, until
    // a write that is not silence, expectSound or keepOutputRunning starts it.
    virtual bool isIdle() const { return false; }
    // Cheap snapshot of the playback counters.
    virtual SoundCounters counters() const { return {}; }

    // Keeps the output stream running even while both loops are silent, and
    // starts it now if it was stopped for silence (for a recorder that must
    // capture silence in real time). Off by default.
    virtual void keepOutputRunning(bool /*on*/) {}
    // A note is likely to start soon (the pen went down): if the output was
    // stopped for silence, starts it again now, so that the note does not
    // wait for the stream to open. It stops again after the usual silence.
    virtual void expectSound() {}
    // From now on every sample the output plays is also pushed to `ring`
    // (nullptr: to none). Returns once the audio thread no longer uses the
    // previous ring. False when this layer has no output whose samples it
    // can hand on.
    virtual bool tapOutput(SampleRing* /*ring*/) { return false; }
    // The output's sample rate; 0 while no output is open.
    virtual unsigned outputRate() const { return 0; }
};

}  // namespace scrivola
