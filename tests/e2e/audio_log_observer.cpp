// The end-to-end tests' build of the program: the output's changes (stopped
// or started for silence, lost, reopened, underruns, latency) go to the file
// that SCRIVOLA_AUDIO_LOG names, one line each with the steady clock's
// seconds; every table written into a loop, live or by --render, goes to the
// file that SCRIVOLA_TABLE_LOG names, one line each: the slot, then its 360
// samples in hexadecimal.
#include <cstdlib>
#include <fstream>
#include <memory>

#include "audio/playback_counters.h"
#include "ui/linked_sound_observer.h"

namespace scrivola {
namespace {

class TestObserver final : public SoundObserver {
public:
    TestObserver(const char* audioLog, const char* tableLog)
        : counters_(audioLog != nullptr ? audioLog : "") {
        if (tableLog != nullptr && *tableLog != '\0') {
            tables_ = std::make_unique<std::ofstream>(tableLog, std::ios::trunc);
        }
    }

    void outputChanged(const std::string& line) override { counters_.outputChanged(line); }
    void blockRendered(const RenderedBlock& block) noexcept override {
        counters_.blockRendered(block);
    }
    void tableWritten(int slot, const std::uint8_t* samples, std::size_t count) override {
        if (!tables_) {
            return;
        }
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string line = std::to_string(slot) + ' ';
        for (std::size_t i = 0; i < count; ++i) {
            line += kDigits[samples[i] >> 4];
            line += kDigits[samples[i] & 15];
        }
        // Flushed line by line: the exit command ends the program at once.
        *tables_ << line << std::endl;
    }

private:
    PlaybackCounters counters_;
    std::unique_ptr<std::ofstream> tables_;
};

}  // namespace

SoundObserver* linkedSoundObserver() {
    static TestObserver observer(std::getenv("SCRIVOLA_AUDIO_LOG"),
                                 std::getenv("SCRIVOLA_TABLE_LOG"));
    return &observer;
}

}  // namespace scrivola
