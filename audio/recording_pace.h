// Keeps a recording on the wall clock while the output is away. The output's
// callback is what feeds a recording, and while the sound server is gone (or
// the output stalls, or keeps being reopened) no callback runs: left alone, a
// 7 s outage would make the file 7 s shorter than the time it recorded. The
// recorder's writer asks this, at each look at the ring, how much silence
// stands for the time that passed with nothing from the output.
//
// A running output hands over samples a block at a time, some way ahead of
// or behind the clock. The lowest lead seen while samples arrive is the
// recording's place on the clock; it may sink slowly (a sound card's clock
// drifts from the system's, a dropout loses a few milliseconds), by at most
// 1 % of the time that passes. Once the recording falls further behind its
// place than kBehindNs, the output counts as away: silence brings the file
// back to its place, and keeps it there at every look until samples arrive
// again. Shorter stalls are not padded, since a server may make up for one
// with a burst. Nor is anything padded on the first look after the writer
// itself was held up (a host that stopped the whole machine): the output
// gets a look's time to catch up first.
#pragma once

#include <algorithm>
#include <cstdint>

namespace scrivola {

class RecordingPace {
public:
    // Far longer than any block an output hands over or most stalls of a
    // busy machine; far shorter than a sound server takes to restart.
    static constexpr std::int64_t kBehindNs = 250'000'000;

    RecordingPace(std::int64_t startNs, unsigned rate)
        : startNs_(startNs), lastLookNs_(startNs), rate_(rate) {}

    // After a look at the ring at `nowNs` that found `arrived` samples, with
    // `total` samples in the file and ring so far: how many samples of
    // silence to append now.
    std::uint64_t silenceToAdd(std::int64_t nowNs, std::uint64_t arrived, std::uint64_t total) {
        const std::int64_t lead = static_cast<std::int64_t>(total) - samplesIn(nowNs - startNs_);
        const std::int64_t sinceLook = nowNs - lastLookNs_;
        lastLookNs_ = nowNs;
        if (arrived > 0 && lead < place_) {
            place_ = std::max(lead, place_ - samplesIn(sinceLook) / 100);
        }
        const std::int64_t behind = place_ - lead;
        if (sinceLook > kBehindNs || behind <= 0) {
            return 0;
        }
        if (behind > samplesIn(kBehindNs) || (away_ && arrived == 0)) {
            away_ = arrived == 0;
            return static_cast<std::uint64_t>(behind);
        }
        away_ = false;
        return 0;
    }

private:
    std::int64_t samplesIn(std::int64_t ns) const {
        ns = std::max<std::int64_t>(ns, 0);
        return ns / 1'000'000 * rate_ / 1000 + ns % 1'000'000 * rate_ / 1'000'000'000;
    }

    const std::int64_t startNs_;
    std::int64_t lastLookNs_;
    const unsigned rate_;
    std::int64_t place_ = 0;
    bool away_ = false;
};

}  // namespace scrivola
