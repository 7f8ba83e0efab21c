// Counts underruns from the callback's side. PulseAudio's simple API never
// reports them, so they are inferred: the back end blocks each write until
// the server's queue has room, so when a callback starts, the queue holds at
// most `queuedNs` of audio, and the callback's own block adds one more block.
// If the next callback starts later than all of that lasts, the queue ran
// dry in between on an output that keeps time (a sound card). Shorter delays
// may have emptied it too, so the count is a lower bound. An underflow the
// back end does report (ALSA) is counted as well.
//
// onCallback() runs on the audio thread: no lock, no allocation, no system
// call. count() may be read from any thread.
#pragma once

#include <atomic>
#include <cstdint>

namespace scrivola {

class UnderrunWatch {
public:
    // `queuedNs`: the longest the server's queue gets; `sampleRate`: frames
    // per second of the stream.
    UnderrunWatch(std::int64_t queuedNs, unsigned sampleRate)
        : queuedNs_(queuedNs), sampleRate_(sampleRate) {}

    UnderrunWatch(const UnderrunWatch&) = delete;
    UnderrunWatch& operator=(const UnderrunWatch&) = delete;

    // At the start of each callback that hands over `frames`. `reported` is
    // the back end's own underflow flag.
    void onCallback(std::int64_t nowNs, unsigned frames, bool reported) noexcept {
        const bool late = lastNs_ != 0 && nowNs - lastNs_ > queuedNs_ + lastBlockNs_;
        if (late || reported) {
            count_.fetch_add(1, std::memory_order_relaxed);
        }
        lastNs_ = nowNs;
        lastBlockNs_ =
            sampleRate_ > 0 ? static_cast<std::int64_t>(frames) * 1'000'000'000 / sampleRate_ : 0;
    }

    std::uint64_t count() const { return count_.load(std::memory_order_relaxed); }

private:
    std::int64_t queuedNs_;
    unsigned sampleRate_;
    // Audio thread only.
    std::int64_t lastNs_ = 0;
    std::int64_t lastBlockNs_ = 0;
    std::atomic<std::uint64_t> count_{0};
};

}  // namespace scrivola
