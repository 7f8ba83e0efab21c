// An audio output stream that plays what a LoopMixer renders: the one narrow
// interface every back end (PipeWire, RtAudio) serves. The sound layer talks
// to the back end only through this, so tests can put a fake in its place.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace scrivola {

class LoopMixer;

class AudioDevice {
public:
    virtual ~AudioDevice() = default;

    // Opens and starts a mono 16-bit output whose callback renders from
    // `mixer` (which must outlive the open stream). False when no output could
    // be opened; the device is then closed and failureReason() says why.
    virtual bool open(LoopMixer& mixer) = 0;
    // Like open(), but waits at most `wait` for a back end that is slow to
    // answer. An attempt that is still running goes on in the background and
    // a later call picks up its result, so calling this from a timer never
    // blocks for long. After standBy() this starts the same stream again.
    virtual bool openWithin(LoopMixer& mixer, std::chrono::milliseconds /*wait*/) {
        return open(mixer);
    }
    // Stops and closes the stream (and gives up an attempt still opening
    // one); the mixer is no longer read afterwards. Harmless when closed.
    // Returns within a bounded time even when the back end hangs.
    virtual void close() = 0;
    // Stops playing while the loops are silent, so that the sound server may
    // suspend its device; isOpen() is false until openWithin() plays again.
    // A back end that can keep its stream connected but inactive does so,
    // and then plays again without a new connection; the others close.
    virtual void standBy() { close(); }
    virtual bool isOpen() const = 0;
    // True when the back end has kept reporting stream failures since the
    // previous call (a lost server), not for a single passing hiccup.
    virtual bool hasFailed() = 0;
    // The rate actually opened (0 when closed).
    virtual unsigned sampleRate() const = 0;
    // Underruns of the output since the device was made, over every stream
    // it opened (0 when the back end cannot tell).
    virtual std::uint64_t underruns() const { return 0; }
    // Frames the output mixes at a time now (per callback, or per cycle of
    // the server's graph), at sampleRate(); 0 when closed or not yet known.
    // A back end may change it while it plays.
    virtual unsigned latencyFrames() const { return 0; }
    // Why the last open failed (empty after a successful open).
    virtual std::string failureReason() const = 0;
    // E.g. "PulseAudio, 44100 Hz, 256 frames per callback, 2 real-time
    // threads"; empty when closed.
    virtual std::string description() const { return {}; }

protected:
    // open() for a back end whose openWithin() goes on in the background:
    // waits at most `timeout`, after which a server that has not answered
    // counts as absent and the attempt is given up.
    bool openWaiting(LoopMixer& mixer, std::chrono::milliseconds timeout) {
        close();
        if (openWithin(mixer, timeout)) {
            return true;
        }
        close();
        return false;
    }
};

}  // namespace scrivola
