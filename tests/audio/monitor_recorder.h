// Records a PulseAudio source (e.g. a null sink's monitor) as 44100 Hz mono
// signed 16-bit samples by running parec into a file.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace scrivola::testing {

class MonitorRecorder {
public:
    explicit MonitorRecorder(std::string source);
    ~MonitorRecorder();

    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    // Starts parec. False (see error()) when it cannot be started.
    bool start();
    // Waits until recorded data arrives: a fresh null sink starts delivering
    // its monitor only after a second or two. False on timeout.
    bool waitForData(std::chrono::milliseconds timeout) const;
    // Stops parec (only the process started here), waiting at most a few
    // seconds.
    void stop();
    // Everything recorded so far.
    std::vector<std::int16_t> samples() const;
    const std::string& error() const { return error_; }

private:
    std::string source_;
    std::string directory_;
    std::string file_;
    pid_t pid_ = -1;
    std::string error_;
};

}  // namespace scrivola::testing
