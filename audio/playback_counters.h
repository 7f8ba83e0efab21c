// A sound observer for measurements and tests (the program itself runs
// without one): counts the blocks the audio callback rendered, notes when
// each slot's newest write first sounded, and appends the output's changes,
// one line each with the steady clock's seconds, to a log file if given one.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "audio/sound_observer.h"

namespace scrivola {

struct PlaybackSnapshot {
    struct Slot {
        std::uint64_t renderedWrite = 0;  // the newest write that has sounded (0: none)
        std::int64_t renderedAtNs = 0;    // steady clock time of its first render
    };
    std::uint64_t callbacks = 0;
    std::uint64_t frames = 0;
    std::array<Slot, 2> slots{};
};

class PlaybackCounters final : public SoundObserver {
public:
    // `logPath`: the file the output's changes are appended to; none if empty.
    explicit PlaybackCounters(const std::string& logPath = {});

    void outputChanged(const std::string& line) override;
    void blockRendered(const RenderedBlock& block) noexcept override;

    // Any thread.
    PlaybackSnapshot snapshot() const;

private:
    struct Slot {
        std::atomic<std::uint64_t> renderedWrite{0};
        std::atomic<std::int64_t> renderedAtNs{0};
    };
    std::atomic<std::uint64_t> callbacks_{0};
    std::atomic<std::uint64_t> frames_{0};
    std::array<Slot, 2> slots_;
    std::unique_ptr<std::ofstream> log_;
};

}  // namespace scrivola
