// The graph cycle an output asks for, adapted the way PulseAudio's timer
// scheduling moves its watermark: a dropout raises it one step at once, and
// a while without dropouts lowers it one step again. Each step doubles the
// cycle.
//
// How low it goes is learned. It starts at the smallest cycle, the one that
// stays clean on a quiet machine. Where that cycle drops out again soon
// after the ladder came back down to it (a machine whose CPUs stop now and
// then for longer than a cycle), the step above becomes the floor: the
// ladder returns there quickly after a burst of load, and tries the step
// under it again only after a long clean while, longer after each try that
// fails. A machine that stays clean keeps the smallest cycle throughout.
//
// Plain logic: the caller says when and how many dropouts it has counted.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace scrivola {

class LatencyLadder {
public:
    // Steps above the smallest: up to 8 times it (2048 frames from 256,
    // PipeWire's default largest cycle).
    static constexpr unsigned kSteps = 3;
    // How long a step above the floor must stay free of dropouts before the
    // next lower one is tried.
    static constexpr std::int64_t kCleanNs = 3'000'000'000;
    // The floor rises one step at most: a cycle twice the smallest covers
    // the short stalls a machine has all the time, and longer, rarer ones
    // are the ladder's to ride, rather than a latency kept high for them.
    static constexpr unsigned kHighestFloor = 1;
    // A dropout this soon after the ladder came down to its floor shows the
    // floor is too low for this machine.
    static constexpr std::int64_t kTrialNs = 30'000'000'000;
    // How long a raised floor must stay clean before the step under it is
    // tried again: at first, and at most (each failed try doubles it).
    static constexpr std::int64_t kFirstFloorHoldNs = 120'000'000'000;
    static constexpr std::int64_t kLongestFloorHoldNs = 960'000'000'000;

    explicit LatencyLadder(unsigned smallestFrames) : smallest_(smallestFrames) {}

    // Takes the dropouts counted so far at `nowNs`; true when frames()
    // changed. Moves at most one step per call, so that the caller sees the
    // effect of one step before it takes the next.
    bool update(std::int64_t nowNs, std::uint64_t dropouts) {
        if (dropouts != dropoutsSeen_) {
            dropoutsSeen_ = dropouts;
            if (step_ == floor_ && floor_ < kHighestFloor && floorReachedNs_ != kNever &&
                nowNs - floorReachedNs_ < kTrialNs) {
                ++floor_;
                floorHoldNs_ = floorHoldNs_ == 0 ? kFirstFloorHoldNs
                                                 : std::min(2 * floorHoldNs_, kLongestFloorHoldNs);
            }
            sinceNs_ = nowNs;
            if (step_ < kSteps) {
                ++step_;
                return true;
            }
            return false;
        }
        const std::int64_t clean = nowNs - sinceNs_;
        if (step_ > floor_ && clean >= kCleanNs) {
            stepDown(nowNs);
            return true;
        }
        if (step_ == floor_ && floor_ > 0 && clean >= floorHoldNs_) {
            --floor_;
            stepDown(nowNs);
            return true;
        }
        return false;
    }

    // Counts the clean while afresh from `nowNs` (the output starts playing
    // again after a pause, which proves nothing about the step).
    void restart(std::int64_t nowNs) { sinceNs_ = nowNs; }

    unsigned frames() const { return smallest_ << step_; }

private:
    void stepDown(std::int64_t nowNs) {
        --step_;
        sinceNs_ = nowNs;
        if (step_ == floor_) {
            floorReachedNs_ = nowNs;
        }
    }

    unsigned smallest_;
    unsigned step_ = 0;
    unsigned floor_ = 0;
    std::int64_t floorHoldNs_ = 0;
    std::uint64_t dropoutsSeen_ = 0;
    std::int64_t sinceNs_ = 0;
    // When the ladder last came down to its floor; kNever until it first has.
    static constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::min();
    std::int64_t floorReachedNs_ = kNever;
};

}  // namespace scrivola
