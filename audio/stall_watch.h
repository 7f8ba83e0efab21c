// Notices when a running stream stops asking for audio: its frame count has
// not moved for longer than a limit.
#pragma once

#include <cstdint>

namespace scrivola {

class StallWatch {
public:
    explicit StallWatch(std::int64_t limitNs) : limitNs_(limitNs) {}

    // Starts watching afresh, e.g. right after the stream was opened.
    void restart(std::int64_t nowNs, std::uint64_t frames) {
        lastFrames_ = frames;
        lastChangeNs_ = nowNs;
    }

    // Records the current frame count; true when it has stood still for more
    // than the limit.
    bool stalled(std::int64_t nowNs, std::uint64_t frames) {
        if (frames != lastFrames_) {
            restart(nowNs, frames);
            return false;
        }
        return nowNs - lastChangeNs_ > limitNs_;
    }

private:
    std::int64_t limitNs_;
    std::uint64_t lastFrames_ = 0;
    std::int64_t lastChangeNs_ = 0;
};

}  // namespace scrivola
