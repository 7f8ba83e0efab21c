// An audio output stream that plays what a LoopMixer renders. The sound layer
// talks to the back end only through this, so tests can put a fake in its place.
#pragma once

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
    // Stops and closes the stream; the mixer is no longer read afterwards.
    // Harmless when closed. Returns within a bounded time even when the back
    // end hangs.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // True when the back end has reported a stream failure since open().
    virtual bool hasFailed() const = 0;
    // The rate actually opened (0 when closed).
    virtual unsigned sampleRate() const = 0;
    // Why the last open() failed (empty after a successful open).
    virtual std::string failureReason() const = 0;
};

}  // namespace scrivola
