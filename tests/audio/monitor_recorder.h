// Records what the private sound server plays with the project's recorder
// (scripts/record-monitor.sh: 44100 Hz, signed 16-bit, one channel) into a
// file, and checks the recording with the project's analyser
// (tests/e2e/check.py).
#pragma once

#include <sys/types.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace scrivola::testing {

class MonitorRecorder {
public:
    MonitorRecorder();
    ~MonitorRecorder();

    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    // Starts the recorder. False (see error()) when it cannot be started.
    bool start();
    // Waits until recorded data arrives: a fresh null sink starts delivering
    // its monitor only after a second or two. False on timeout.
    bool waitForData(std::chrono::milliseconds timeout) const;
    // Stops the recorder (only the process started here), waiting at most a
    // few seconds.
    void stop();
    // Everything recorded so far.
    std::vector<std::int16_t> samples() const;
    const std::string& error() const { return error_; }

    // Runs a check of tests/e2e/check.py on the recording from sample
    // `first` on, with `table` (entries 0..359 played, as the buffer plays
    // them) as the only table, e.g. {"exact"}; its report goes to stdout.
    // True when the check passes.
    bool check(std::size_t first, const std::array<std::uint8_t, 361>& table,
               const std::vector<std::string>& command) const;

private:
    std::string directory_;
    std::string file_;
    pid_t pid_ = -1;
    std::string error_;
};

}  // namespace scrivola::testing
