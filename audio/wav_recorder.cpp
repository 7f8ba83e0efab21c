#include "audio/wav_recorder.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "audio/recording_pace.h"
#include "audio/sound_file_format.h"
#include "audio/steady_time.h"

namespace scrivola {
namespace {

using Clock = std::chrono::steady_clock;

// How long the writer sleeps between two looks at the ring: short enough that
// the ring stays far from full, long enough to write in large blocks.
constexpr std::chrono::milliseconds kPollInterval{20};
constexpr std::size_t kBlockSamples = 8192;

// libsndfile's account of a failure, without its "System error : " prefix
// and closing full stop, so it reads as the reason it is.
std::string sndfileReason(SNDFILE* file) {
    std::string_view text = sf_strerror(file);
    constexpr std::string_view kPrefix = "System error : ";
    if (text.starts_with(kPrefix)) {
        text.remove_prefix(kPrefix.size());
    }
    if (text.ends_with('.')) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

}  // namespace

struct WavRecorder::Session {
    Session(unsigned rate, std::string path, int format, NanosecondClock clock)
        : ring(std::size_t{rate} * kRingSeconds),
          rate(rate),
          path(std::move(path)),
          format(format),
          clock(std::move(clock)),
          pace(this->clock(), rate) {}

    SampleRing ring;
    const unsigned rate;
    const std::string path;
    const int format;  // libsndfile's
    const NanosecondClock clock;
    RecordingPace pace;
    int fd = -1;
    SNDFILE* file = nullptr;
    // The file as opened: a path that no longer leads to it means the file or
    // its folder was removed or replaced, and what follows would be lost.
    dev_t device = 0;
    ino_t inode = 0;

    std::mutex mutex;
    std::condition_variable wake;
    std::atomic<bool> stopping{false};
    // Set by the writer after `error` is written.
    std::atomic<bool> failed{false};
    std::string error;
    std::uint64_t frames = 0;
    std::thread writer;

    void fail(std::string why) {
        error = std::move(why);
        failed.store(true, std::memory_order_release);
    }

    // Brings a WAV header's sizes up to date and pushes everything to the
    // disk. (FLAC and Ogg streams need no header to be read back.)
    bool sync() {
        if ((format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV) {
            sf_command(file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
        }
        if (sf_error(file) != SF_ERR_NO_ERROR) {
            fail(sndfileReason(file));
            return false;
        }
        sf_write_sync(file);
        struct stat now {};
        if (::stat(path.c_str(), &now) != 0) {
            fail("the file or its folder was removed (" + std::string(std::strerror(errno)) + ")");
            return false;
        }
        if (now.st_dev != device || now.st_ino != inode) {
            fail("the file was replaced by another one");
            return false;
        }
        return true;
    }

    // Writes the first `n` samples of `block`. False once writing failed.
    bool write(const std::vector<std::int16_t>& block, std::size_t n) {
        const sf_count_t written = sf_write_short(file, block.data(), static_cast<sf_count_t>(n));
        frames += static_cast<std::uint64_t>(std::max<sf_count_t>(written, 0));
        if (written != static_cast<sf_count_t>(n)) {
            fail(sndfileReason(file));
            return false;
        }
        return true;
    }

    // Writes what the ring holds, then the silence that keeps the file on the
    // wall clock while the output is away. False once writing failed.
    bool drain(std::vector<std::int16_t>& block) {
        std::uint64_t arrived = 0;
        for (std::size_t n; (n = ring.pop(block.data(), block.size())) > 0;) {
            arrived += n;
            if (!write(block, n)) {
                return false;
            }
        }
        std::uint64_t silence = pace.silenceToAdd(clock(), arrived, frames + ring.dropped());
        if (silence > 0) {
            std::vector<std::int16_t> zeros(std::min<std::uint64_t>(silence, block.size()), 0);
            for (; silence > 0; silence -= std::min<std::uint64_t>(silence, zeros.size())) {
                if (!write(zeros, std::min<std::uint64_t>(silence, zeros.size()))) {
                    return false;
                }
            }
        }
        return true;
    }

    void run() {
        std::vector<std::int16_t> block(kBlockSamples);
        auto lastSync = Clock::now();
        for (;;) {
            // Read before draining: after stop() has been seen, one more pass
            // takes everything the callback pushed before it was detached.
            const bool last = stopping.load(std::memory_order_acquire);
            if (!drain(block)) {
                break;
            }
            if (last) {
                break;
            }
            if (Clock::now() - lastSync >= std::chrono::milliseconds(kSyncIntervalMs)) {
                lastSync = Clock::now();
                if (!sync()) {
                    break;
                }
            }
            std::unique_lock lock(mutex);
            wake.wait_for(lock, kPollInterval, [this] { return stopping.load(); });
        }
        // Closing completes the header, also after a failure: what was
        // written stays a valid file.
        sf_close(file);
        file = nullptr;
        ::close(fd);
        fd = -1;
    }
};

WavRecorder::WavRecorder(SoundLayer& sound, NanosecondClock clock)
    : sound_(sound), clock_(clock ? std::move(clock) : NanosecondClock(steadyNowNs)) {}

WavRecorder::~WavRecorder() {
    stop();
}

std::string WavRecorder::start(const std::string& path) {
    if (session_) {
        return "a recording is already running";
    }
    // A name that says no format is refused before the file is touched.
    const int format = soundFileFormatFor(path);
    if (format == 0) {
        return soundFileNameProblem(path);
    }
    const unsigned rate = sound_.outputRate();
    if (rate == 0) {
        return "no sound output is open";
    }
    // Non-blocking, so that a named pipe without a reader cannot hang the
    // window; anything but a regular file is refused below.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        return std::strerror(errno);
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return "not a regular file";
    }
    SF_INFO info{};
    info.samplerate = static_cast<int>(rate);
    info.channels = 1;
    info.format = format;
    SNDFILE* file = sf_open_fd(fd, SFM_WRITE, &info, SF_FALSE);
    if (file == nullptr) {
        const std::string why = sndfileReason(nullptr);
        ::close(fd);
        return why;
    }

    auto session = std::make_unique<Session>(rate, path, format, clock_);
    session->fd = fd;
    session->file = file;
    session->device = opened.st_dev;
    session->inode = opened.st_ino;
    // A valid, empty file on disk before the first sample.
    if (!session->sync()) {
        const std::string why = session->error;
        sf_close(file);
        ::close(fd);
        return why;
    }
    session->writer = std::thread([s = session.get()] { s->run(); });
    session_ = std::move(session);
    path_ = path;
    // Silences belong in the recording as long as they last.
    sound_.keepOutputRunning(true);
    if (!sound_.tapOutput(&session_->ring)) {
        stop();
        return "this sound output cannot be recorded";
    }
    return {};
}

bool WavRecorder::hasFailed() const {
    return session_ && session_->failed.load(std::memory_order_acquire);
}

WavRecorder::Outcome WavRecorder::stop() {
    if (!session_) {
        return {};
    }
    sound_.tapOutput(nullptr);
    sound_.keepOutputRunning(false);
    {
        std::lock_guard lock(session_->mutex);
        session_->stopping.store(true, std::memory_order_release);
    }
    session_->wake.notify_one();
    session_->writer.join();
    Outcome outcome{session_->frames, session_->ring.dropped(), session_->rate, session_->error};
    session_.reset();
    path_.clear();
    return outcome;
}

}  // namespace scrivola
