#include "performance/performance_render.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "audio/loop_mixer.h"
#include "performance/core_performance.h"
#include "performance/performance_reader.h"

namespace scrivola {
namespace {

// The two loops as the sound layer plays them, advanced by whole samples.
// The samples reach the sink in blocks of kBlockFrames (the last one
// shorter), not a tick's worth at a time: a sound file then takes them in
// a few large writes instead of one small write per tick.
class RenderMixer final : public WaveTableWriter {
public:
    RenderMixer(SoundSink& sink, std::uint64_t frameLimit, SoundObserver* observer)
        : sink_(sink), limit_(frameLimit), observer_(observer) {
        for (int slot = 0; slot < LoopMixer::kSlots; ++slot) {
            mixer_.createBuffer(slot);
            mixer_.play(slot, true);
        }
    }

    bool writeWaveTable(std::int16_t slot, const WaveTable& table) override {
        const LoopMixer::Samples samples(table.data(), LoopMixer::kLoopSamples);
        if (!mixer_.write(slot, samples)) {
            return false;
        }
        if (observer_ != nullptr) {
            observer_->tableWritten(slot, samples.data(), samples.size());
        }
        return true;
    }

    // Plays the loops as they are up to sample `target`. False when the sink
    // refused the samples.
    bool advanceTo(std::uint64_t target) {
        target = std::min(target, limit_);
        while (frame_ < target) {
            const std::size_t n = static_cast<std::size_t>(
                std::min<std::uint64_t>(target - frame_, block_.size() - held_));
            mixer_.render(block_.data() + held_, n);
            held_ += n;
            frame_ += n;
            if (held_ == block_.size() && !flush()) {
                return false;
            }
        }
        return true;
    }

    // Hands the sink the samples not yet given. False when it refused them.
    bool flush() {
        const std::size_t n = held_;
        held_ = 0;
        return n == 0 || sink_.write(block_.data(), n);
    }

    std::uint64_t frame() const { return frame_; }

private:
    static constexpr std::size_t kBlockFrames = 16384;

    LoopMixer mixer_;
    SoundSink& sink_;
    std::uint64_t limit_;
    SoundObserver* observer_;
    std::uint64_t frame_ = 0;
    std::size_t held_ = 0;  // samples in `block_` the sink has not had
    std::array<std::int16_t, kBlockFrames> block_{};
};

std::uint64_t nearestSample(double seconds, unsigned rate) {
    return static_cast<std::uint64_t>(std::llround(seconds * rate));
}

}  // namespace

RenderOutcome renderPerformance(const QByteArray& path, SoundSink& sink, std::uint64_t frameLimit,
                                SoundObserver* observer) {
    RenderOutcome outcome;
    PerformanceReader reader;
    if (!reader.open(path)) {
        outcome.error = reader.error().message();
        return outcome;
    }
    const unsigned rate = reader.header().rate;
    const StartingState& start = reader.startingState();
    RenderMixer mixer(sink, frameLimit, observer);
    CorePerformance core(mixer);
    core.start(start);
    if (start.tablesGiven) {
        mixer.writeWaveTable(0, start.synth.tableA);
        mixer.writeWaveTable(1, start.synth.tableB);
    }
    PerformanceEvent event;
    bool written = true;
    while (written && reader.next(event)) {
        if (event.kind == EventKind::SynthesisTick) {
            written = mixer.advanceTo(nearestSample(event.time, rate));
        }
        deliverEvent(event, start.clock, core);
    }
    if (written && !reader.failed()) {
        written = mixer.advanceTo(nearestSample(reader.lastTime(), rate)) && mixer.flush();
    }
    outcome.frames = mixer.frame();
    if (reader.failed()) {
        outcome.error = reader.error().message();
    } else if (!written) {
        outcome.error = sink.error();
    }
    return outcome;
}

}  // namespace scrivola
