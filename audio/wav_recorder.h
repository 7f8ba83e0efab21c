// Records what the sound layer plays into a mono sound file: 16-bit WAV or
// FLAC, or Ogg Vorbis, as the file name's extension says. The audio callback
// pushes every block it hands to the output into a ring; a writer thread
// drains the ring into the file, so the sound never waits for the disk. A
// WAV header is brought up to date and the file synced to disk every half
// second, so a process that is killed or a machine that loses power leaves a
// file that opens and lacks only what came after the last update: about the
// last half second. While the output is away (a sound server restarting),
// silence keeps the file on the wall clock, so its length stays the time it
// recorded.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "audio/sound_layer.h"

namespace scrivola {

class WavRecorder {
public:
    // How often the header is brought up to date and the file synced.
    static constexpr int kSyncIntervalMs = 500;
    // How much sound the ring holds for a writer held up by a slow disk.
    static constexpr int kRingSeconds = 4;

    // How a recording ended.
    struct Outcome {
        std::uint64_t frames = 0;   // samples in the file
        std::uint64_t dropped = 0;  // samples lost because the writer fell behind
        unsigned rate = 0;          // samples per second
        std::string error;          // why writing failed; empty when it did not
    };

    // Steady-clock nanoseconds, read by the writer thread; empty: the
    // steady clock itself.
    using NanosecondClock = std::function<std::int64_t()>;

    // `sound` must outlive the recorder.
    explicit WavRecorder(SoundLayer& sound, NanosecondClock clock = {});
    // Finishes a running recording.
    ~WavRecorder();

    WavRecorder(const WavRecorder&) = delete;
    WavRecorder& operator=(const WavRecorder&) = delete;

    // Creates (or replaces) the file at `path` and starts recording into it.
    // Empty on success; otherwise why the recording could not start, and
    // nothing is recording. A name without a known extension is refused
    // before any file is created.
    std::string start(const std::string& path);
    bool isRecording() const { return session_ != nullptr; }
    // The file being recorded (empty when none).
    const std::string& path() const { return path_; }
    // True once writing has failed: the file holds what was written before,
    // and the caller should stop() to learn why. Cheap; any thread.
    bool hasFailed() const;
    // Stops taking samples, writes what the ring still holds, completes the
    // header and closes the file. Harmless when nothing is recording.
    Outcome stop();

    struct Session;

private:
    SoundLayer& sound_;
    const NanosecondClock clock_;
    std::unique_ptr<Session> session_;
    std::string path_;
};

}  // namespace scrivola
