#include "audio/playback_counters.h"

#include <iomanip>

#include "audio/steady_time.h"

namespace scrivola {

namespace {
constexpr auto kRelaxed = std::memory_order_relaxed;
}  // namespace

PlaybackCounters::PlaybackCounters(const std::string& logPath) {
    if (!logPath.empty()) {
        log_ = std::make_unique<std::ofstream>(logPath, std::ios::app);
    }
}

void PlaybackCounters::outputChanged(const std::string& line) {
    if (log_) {
        *log_ << std::fixed << std::setprecision(3) << steadyNowNs() / 1e9 << ' ' << line
              << std::endl;
    }
}

void PlaybackCounters::blockRendered(const RenderedBlock& block) noexcept {
    std::int64_t now = 0;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const std::uint64_t write = block.writes[i];
        if (write != 0 && write != slots_[i].renderedWrite.load(kRelaxed)) {
            if (now == 0) {
                now = steadyNowNs();
            }
            slots_[i].renderedAtNs.store(now, kRelaxed);
            slots_[i].renderedWrite.store(write, kRelaxed);
        }
    }
    callbacks_.store(callbacks_.load(kRelaxed) + 1, kRelaxed);
    frames_.store(frames_.load(kRelaxed) + block.frames, kRelaxed);
}

PlaybackSnapshot PlaybackCounters::snapshot() const {
    PlaybackSnapshot s;
    s.callbacks = callbacks_.load(kRelaxed);
    s.frames = frames_.load(kRelaxed);
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        s.slots[i].renderedWrite = slots_[i].renderedWrite.load(kRelaxed);
        s.slots[i].renderedAtNs = slots_[i].renderedAtNs.load(kRelaxed);
    }
    return s;
}

}  // namespace scrivola
