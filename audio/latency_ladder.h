// The graph cycle an output asks for, adapted the way PulseAudio's timer
// scheduling moves its watermark: a dropout raises it one step at once, and
// a while without dropouts lowers it one step again, down to the smallest,
// the one that stays clean on a quiet machine. Each step doubles the cycle.
//
// Plain logic: the caller says when and how many dropouts it has counted.
#pragma once

#include <cstdint>

namespace scrivola {

class LatencyLadder {
public:
    // Steps above the smallest: up to 8 times it (2048 frames from 256,
    // PipeWire's default largest cycle).
    static constexpr unsigned kSteps = 3;
    // How long a step must stay free of dropouts before the next lower one
    // is tried.
    static constexpr std::int64_t kCleanNs = 3'000'000'000;

    explicit LatencyLadder(unsigned smallestFrames) : smallest_(smallestFrames) {}

    // Takes the dropouts counted so far at `nowNs`; true when frames()
    // changed. Moves at most one step per call, so that the caller sees the
    // effect of one step before it takes the next.
    bool update(std::int64_t nowNs, std::uint64_t dropouts) {
        if (dropouts != dropoutsSeen_) {
            dropoutsSeen_ = dropouts;
            sinceNs_ = nowNs;
            if (step_ < kSteps) {
                ++step_;
                return true;
            }
            return false;
        }
        if (step_ > 0 && nowNs - sinceNs_ >= kCleanNs) {
            --step_;
            sinceNs_ = nowNs;
            return true;
        }
        return false;
    }

    // Counts the clean while afresh from `nowNs` (the output starts playing
    // again after a pause, which proves nothing about the step).
    void restart(std::int64_t nowNs) { sinceNs_ = nowNs; }

    unsigned frames() const { return smallest_ << step_; }

private:
    unsigned smallest_;
    unsigned step_ = 0;
    std::uint64_t dropoutsSeen_ = 0;
    std::int64_t sinceNs_ = 0;
};

}  // namespace scrivola
