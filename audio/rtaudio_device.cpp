#include "audio/rtaudio_device.h"

#include <alsa/asoundlib.h>
#include <rtaudio/RtAudio.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <future>
#include <limits>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <utility>

#include "audio/loop_mixer.h"
#include "audio/steady_time.h"
#include "audio/underrun_watch.h"

namespace scrivola {

struct RtAudioDevice::Stream {
    std::unique_ptr<RtAudio> audio;
    LoopMixer* mixer = nullptr;
    // Cleared when the stream is given up: from then on the callback plays
    // silence without touching the mixer. `busy` brackets each use, so the
    // one who clears `active` can wait for a render in progress (both
    // seq_cst: one side always sees the other).
    std::atomic<bool> active{true};
    std::atomic<bool> busy{false};
    std::atomic<unsigned> errors{0};
    // Made once the stream's buffering is known, before it starts, and
    // handed to the callback through an atomic pointer: the back end's own
    // start-up synchronisation is not something to lean on.
    std::unique_ptr<UnderrunWatch> underrunWatch;
    std::atomic<UnderrunWatch*> underruns{nullptr};
    std::uint64_t underrunCount() const { return underrunWatch ? underrunWatch->count() : 0; }
    unsigned sampleRate = 0;
    unsigned bufferFrames = 0;
    int realtimeThreads = 0;
    std::string backend;
    Output output;
};

struct RtAudioDevice::PendingOpen {
    std::shared_ptr<Stream> stream;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;       // the helper has finished
    bool opened = false;     // ... with a running stream
    bool abandoned = false;  // nobody will collect the result
    std::string why;
};

namespace {

// RtAudio's error callback carries no user data. It is called on the stream's
// own thread, where the render callback has just run, so that callback leaves
// its stream here for it.
thread_local RtAudioDevice::Stream* callbackStream = nullptr;

int renderCallback(void* output, void* /*input*/, unsigned frames, double /*streamTime*/,
                   RtAudioStreamStatus status, void* userData) {
    auto* stream = static_cast<RtAudioDevice::Stream*>(userData);
    callbackStream = stream;
    if (UnderrunWatch* watch = stream->underruns.load(std::memory_order_acquire)) {
        watch->onCallback(steadyNowNs(), frames, (status & RTAUDIO_OUTPUT_UNDERFLOW) != 0);
    }
    auto* out = static_cast<std::int16_t*>(output);
    stream->busy.store(true);
    if (stream->active.load()) {
        stream->mixer->render(out, frames);
    } else {
        std::memset(out, 0, frames * sizeof(std::int16_t));
    }
    stream->busy.store(false);
    return 0;
}

// How long the stream's thread pauses after each error. A lost server makes
// every write fail at once, and the back end would otherwise loop straight
// into the next callback: at real-time priority, a spinning thread that
// starves the window until the loss is noticed.
constexpr std::chrono::milliseconds kErrorBackOff{5};

void onStreamError(RtAudioError::Type /*type*/, const std::string& /*text*/) {
    if (callbackStream != nullptr) {
        callbackStream->errors.fetch_add(1, std::memory_order_relaxed);
    }
    std::this_thread::sleep_for(kErrorBackOff);
}

// ALSA's library prints every failed lookup to stderr (a dozen lines per
// attempt when there is no sound card). The reason we keep comes from RtAudio.
void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

const char* apiName(RtAudio::Api api) {
    return api == RtAudio::LINUX_PULSE ? "PulseAudio" : "ALSA";
}

void closeQuietly(RtAudio& audio) {
    try {
        if (audio.isStreamOpen()) {
            audio.closeStream();
        }
    } catch (...) {
        // A stream on a vanished server may complain while closing; it is
        // gone either way.
    }
}

// Makes the stream stop reading the mixer and waits out a render in progress.
void deactivate(RtAudioDevice::Stream& stream) {
    stream.active.store(false);
    while (stream.busy.load()) {
        std::this_thread::yield();  // a render takes microseconds
    }
}

// How long the server's queue of our audio gets: that many buffers of the
// granted size. Left to the server (0 buffers), its length is unknown, and
// only the underruns the back end reports are counted.
std::int64_t queuedNs(unsigned buffers, unsigned frames, unsigned sampleRate) {
    if (buffers == 0 || sampleRate == 0) {
        return std::numeric_limits<std::int64_t>::max() / 4;
    }
    return static_cast<std::int64_t>(buffers) * frames * 1'000'000'000 / sampleRate;
}

// Opens and starts `stream` on `api`, on `device` if given, else on the
// default output; false with `why` filled on failure.
bool startOn(RtAudio::Api api, std::optional<unsigned> device, RtAudioDevice::Stream& stream,
             const OutputSettings& settings, std::string& why) {
    stream.backend = apiName(api);
    try {
        stream.audio = std::make_unique<RtAudio>(api);
        RtAudio& audio = *stream.audio;
        audio.showWarnings(false);
        if (audio.getCurrentApi() != api) {
            why = "not available in this RtAudio build";
        } else if (!device && audio.getDeviceCount() == 0) {
            why = "no output device";
        } else {
            RtAudio::StreamParameters output;
            // Listing the devices costs the PulseAudio back end a connection
            // to the server each time.
            output.deviceId = device ? *device : audio.getDefaultOutputDevice();
            stream.output = {static_cast<int>(api), output.deviceId};
            output.nChannels = 1;
            RtAudio::StreamOptions options;
            options.numberOfBuffers = settings.numberOfBuffers;
            options.streamName = "Scrivola Synth";
            unsigned frames = settings.bufferFrames;
            const std::set<pid_t> before = threadIds();
            audio.openStream(&output, nullptr, RTAUDIO_SINT16, settings.sampleRate, &frames,
                             &renderCallback, &stream, &options, &onStreamError);
            stream.sampleRate = audio.getStreamSampleRate();
            stream.bufferFrames = frames;
            if (stream.sampleRate == settings.sampleRate) {
                stream.underruns.store(nullptr, std::memory_order_release);
                stream.underrunWatch = std::make_unique<UnderrunWatch>(
                    queuedNs(settings.numberOfBuffers, frames, stream.sampleRate),
                    stream.sampleRate);
                stream.underruns.store(stream.underrunWatch.get(), std::memory_order_release);
                audio.startStream();
                std::set<pid_t> started;
                for (const pid_t tid : threadIds()) {
                    if (!before.contains(tid)) {
                        started.insert(tid);
                    }
                }
                if (settings.realtime) {
                    stream.realtimeThreads =
                        raiseAudioThreads(started, settings.realtimeBroker.get());
                }
                return true;
            }
            // The loops would play at the wrong pitch.
            why = "opened at " + std::to_string(stream.sampleRate) + " Hz instead of " +
                  std::to_string(settings.sampleRate) + " Hz";
        }
    } catch (const RtAudioError& e) {
        why = e.getMessage();
    } catch (const std::exception& e) {
        why = e.what();
    }
    if (stream.audio) {
        closeQuietly(*stream.audio);
        stream.audio.reset();
    }
    return false;
}

// The output that played last, then PulseAudio, then ALSA's default device.
bool startAny(RtAudioDevice::Stream& stream, const OutputSettings& settings,
              std::optional<RtAudioDevice::Output> last, std::string& why) {
    if (last &&
        startOn(static_cast<RtAudio::Api>(last->api), last->device, stream, settings, why)) {
        return true;
    }
    std::string pulseWhy;
    std::string alsaWhy;
    const bool pulse = settings.backend != OutputBackend::alsa;
    const bool alsa = settings.backend != OutputBackend::pulseaudio;
    if ((pulse && startOn(RtAudio::LINUX_PULSE, std::nullopt, stream, settings, pulseWhy)) ||
        (alsa && startOn(RtAudio::LINUX_ALSA, std::nullopt, stream, settings, alsaWhy))) {
        return true;
    }
    why = !alsa    ? "PulseAudio: " + pulseWhy
          : !pulse ? "ALSA default device: " + alsaWhy
                   : "PulseAudio: " + pulseWhy + "; ALSA default device: " + alsaWhy;
    return false;
}

// Body of the helper thread that opens a stream.
void runPendingOpen(std::shared_ptr<RtAudioDevice::PendingOpen> pending, OutputSettings settings,
                    std::optional<RtAudioDevice::Output> last) {
    std::string why;
    const bool opened = startAny(*pending->stream, settings, last, why);
    std::lock_guard lock(pending->mutex);
    if (pending->abandoned) {
        if (opened) {
            closeQuietly(*pending->stream->audio);
        }
        return;
    }
    pending->done = true;
    pending->opened = opened;
    pending->why = std::move(why);
    pending->finished.notify_all();
}

// Closes on a helper thread and waits for it at most `timeout`; a helper
// stuck in a hung back end is left to finish (and free the stream) alone.
void closeWithin(std::shared_ptr<RtAudioDevice::Stream> stream, std::chrono::milliseconds timeout) {
    std::promise<void> closed;
    std::future<void> done = closed.get_future();
    std::thread closer([stream = std::move(stream), closed = std::move(closed)]() mutable {
        closeQuietly(*stream->audio);
        stream->audio.reset();
        closed.set_value();
    });
    if (done.wait_for(timeout) == std::future_status::ready) {
        closer.join();
    } else {
        closer.detach();
    }
}

}  // namespace

RtAudioDevice::RtAudioDevice() : RtAudioDevice(OutputSettings{}) {}

RtAudioDevice::RtAudioDevice(OutputSettings settings) : settings_(settings) {
    if (settings_.bufferFrames == 0) {
        settings_.bufferFrames = OutputSettings{}.bufferFrames;
    }
    snd_lib_error_set_handler(&ignoreAlsaMessage);
}

RtAudioDevice::~RtAudioDevice() {
    close();
}

bool RtAudioDevice::openWithin(LoopMixer& mixer, std::chrono::milliseconds wait) {
    if (stream_) {
        return true;
    }
    if (!pending_) {
        pending_ = std::make_shared<PendingOpen>();
        pending_->stream = std::make_shared<Stream>();
        pending_->stream->mixer = &mixer;
        std::thread(runPendingOpen, pending_, settings_, lastOutput_).detach();
    }
    const std::shared_ptr<PendingOpen> pending = pending_;
    std::unique_lock lock(pending->mutex);
    if (!pending->finished.wait_for(lock, wait, [&] { return pending->done; })) {
        failureReason_ = "the sound server has not answered yet";
        return false;
    }
    pending_.reset();
    if (!pending->opened) {
        failureReason_ = pending->why;
        return false;
    }
    stream_ = pending->stream;
    lastOutput_ = stream_->output;
    errorsSeen_ = 0;
    failureReason_.clear();
    return true;
}

void RtAudioDevice::abandonPending() {
    if (!pending_) {
        return;
    }
    const std::shared_ptr<PendingOpen> pending = std::move(pending_);
    // The helper may start its stream at any moment: keep it off the mixer.
    deactivate(*pending->stream);
    std::lock_guard lock(pending->mutex);
    pending->abandoned = true;
    if (pending->done && pending->opened) {
        closeWithin(pending->stream, settings_.closeTimeout);
    }
}

void RtAudioDevice::close() {
    abandonPending();
    if (!stream_) {
        return;
    }
    const std::shared_ptr<Stream> stream = std::move(stream_);
    deactivate(*stream);
    closedStreamsUnderruns_ += stream->underrunCount();
    // From here on the mixer is not read.
    closeWithin(stream, settings_.closeTimeout);
}

bool RtAudioDevice::hasFailed() {
    if (!stream_) {
        return false;
    }
    const unsigned errors = stream_->errors.load(std::memory_order_relaxed);
    const unsigned fresh = errors - errorsSeen_;
    errorsSeen_ = errors;
    return fresh >= settings_.failedErrors;
}

std::uint64_t RtAudioDevice::underruns() const {
    return closedStreamsUnderruns_ + (stream_ ? stream_->underrunCount() : 0);
}

unsigned RtAudioDevice::sampleRate() const {
    return stream_ ? stream_->sampleRate : 0;
}

std::string RtAudioDevice::backendName() const {
    return stream_ ? stream_->backend : "";
}

unsigned RtAudioDevice::bufferFrames() const {
    return stream_ ? stream_->bufferFrames : 0;
}

int RtAudioDevice::realtimeThreads() const {
    return stream_ ? stream_->realtimeThreads : 0;
}

std::string RtAudioDevice::description() const {
    if (!isOpen()) {
        return {};
    }
    return backendName() + ", " + std::to_string(sampleRate()) + " Hz, " +
           std::to_string(bufferFrames()) + " frames per callback, " +
           std::to_string(realtimeThreads()) + " real-time threads";
}

}  // namespace scrivola
