#include "audio/rtaudio_device.h"

#include <alsa/asoundlib.h>
#include <rtaudio/RtAudio.h>

#include <atomic>
#include <cstring>
#include <exception>
#include <future>
#include <thread>
#include <utility>

#include "audio/loop_mixer.h"

namespace scrivola {

struct RtAudioDevice::Stream {
    std::unique_ptr<RtAudio> audio;
    LoopMixer* mixer = nullptr;
    // Cleared when the stream is being closed: the callback then stops
    // touching the mixer. `busy` brackets each use so close() can wait for
    // the last one (both seq_cst, so one side always sees the other).
    std::atomic<bool> active{true};
    std::atomic<bool> busy{false};
    std::atomic<unsigned> errors{0};
    unsigned sampleRate = 0;
    unsigned bufferFrames = 0;
    std::string backend;
};

namespace {

// RtAudio's error callback carries no user data. It is called on the stream's
// own thread, where the render callback has just run, so that callback leaves
// its stream here for it.
thread_local RtAudioDevice::Stream* callbackStream = nullptr;

int renderCallback(void* output, void* /*input*/, unsigned frames, double /*streamTime*/,
                   RtAudioStreamStatus /*status*/, void* userData) {
    auto* stream = static_cast<RtAudioDevice::Stream*>(userData);
    callbackStream = stream;
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

void onStreamError(RtAudioError::Type /*type*/, const std::string& /*text*/) {
    if (callbackStream != nullptr) {
        callbackStream->errors.fetch_add(1, std::memory_order_relaxed);
    }
}

// ALSA's library prints every failed lookup to stderr (a dozen lines per
// attempt when there is no sound card). The reason we keep comes from RtAudio.
void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

const char* apiName(RtAudio::Api api) {
    return api == RtAudio::LINUX_PULSE ? "PulseAudio" : "ALSA";
}

// Opens and starts one stream on `api`; null with `why` filled on failure.
std::shared_ptr<RtAudioDevice::Stream> openOn(RtAudio::Api api, LoopMixer& mixer,
                                              const RtAudioDevice::Settings& settings,
                                              std::string& why) {
    auto stream = std::make_shared<RtAudioDevice::Stream>();
    stream->mixer = &mixer;
    stream->backend = apiName(api);
    try {
        stream->audio = std::make_unique<RtAudio>(api);
        RtAudio& audio = *stream->audio;
        audio.showWarnings(false);
        if (audio.getCurrentApi() != api) {
            why = "not available in this RtAudio build";
            return nullptr;
        }
        if (audio.getDeviceCount() == 0) {
            why = "no output device";
            return nullptr;
        }
        RtAudio::StreamParameters output;
        output.deviceId = audio.getDefaultOutputDevice();
        output.nChannels = 1;
        RtAudio::StreamOptions options;
        options.numberOfBuffers = settings.numberOfBuffers;
        options.streamName = "Scrivola Synth";
        unsigned frames = settings.bufferFrames;
        audio.openStream(&output, nullptr, RTAUDIO_SINT16, settings.sampleRate, &frames,
                         &renderCallback, stream.get(), &options, &onStreamError);
        stream->sampleRate = audio.getStreamSampleRate();
        stream->bufferFrames = frames;
        if (stream->sampleRate != settings.sampleRate) {
            // The loops would play at the wrong pitch.
            why = "opened at " + std::to_string(stream->sampleRate) + " Hz instead of " +
                  std::to_string(settings.sampleRate) + " Hz";
            audio.closeStream();
            return nullptr;
        }
        audio.startStream();
        return stream;
    } catch (const RtAudioError& e) {
        why = e.getMessage();
    } catch (const std::exception& e) {
        why = e.what();
    }
    return nullptr;
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

}  // namespace

RtAudioDevice::RtAudioDevice() : RtAudioDevice(Settings{}) {}

RtAudioDevice::RtAudioDevice(Settings settings) : settings_(settings) {
    snd_lib_error_set_handler(&ignoreAlsaMessage);
    if (settings_.bufferFrames == 0) {
        settings_.bufferFrames = Settings{}.bufferFrames;
    }
}

RtAudioDevice::~RtAudioDevice() {
    close();
}

bool RtAudioDevice::open(LoopMixer& mixer) {
    close();
    std::string pulseWhy;
    std::string alsaWhy;
    stream_ = openOn(RtAudio::LINUX_PULSE, mixer, settings_, pulseWhy);
    if (!stream_) {
        stream_ = openOn(RtAudio::LINUX_ALSA, mixer, settings_, alsaWhy);
    }
    failureReason_ =
        stream_ ? std::string() : "PulseAudio: " + pulseWhy + "; ALSA default device: " + alsaWhy;
    return stream_ != nullptr;
}

void RtAudioDevice::close() {
    if (!stream_) {
        return;
    }
    std::shared_ptr<Stream> stream = std::move(stream_);
    stream->active.store(false);
    while (stream->busy.load()) {
        std::this_thread::yield();  // a render takes microseconds
    }
    // From here on the mixer is not read. Closing joins the back end's thread,
    // which can hang with a hung server; close on a helper thread and stop
    // waiting after a while. The helper keeps the stream alive until done.
    std::promise<void> closed;
    std::future<void> done = closed.get_future();
    std::thread closer([stream, closed = std::move(closed)]() mutable {
        closeQuietly(*stream->audio);
        stream->audio.reset();
        closed.set_value();
    });
    if (done.wait_for(settings_.closeTimeout) == std::future_status::ready) {
        closer.join();
    } else {
        closer.detach();
    }
}

bool RtAudioDevice::hasFailed() const {
    return stream_ && stream_->errors.load(std::memory_order_relaxed) != 0;
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

}  // namespace scrivola
