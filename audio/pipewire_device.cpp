#include "audio/pipewire_device.h"

#include <pipewire/pipewire.h>
#include <sched.h>
#include <spa/param/audio/format-utils.h>
#include <spa/utils/result.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>

#include "audio/loop_mixer.h"
#include "audio/realtime.h"
#include "audio/steady_time.h"
#include "audio/underrun_watch.h"

namespace scrivola {

struct PipeWireDevice::Connection {
    pw_thread_loop* loop = nullptr;
    pw_context* context = nullptr;
    pw_core* core = nullptr;
    spa_hook coreListener{};
    // Set on the loop's thread when the server reports an error on the
    // connection itself (it went away).
    std::atomic<bool> lost{false};
    int pendingSync = -1;
    bool synced = false;
    int realtimeThreads = 0;
};

struct PipeWireDevice::Playback {
    PipeWireDevice::Connection* connection = nullptr;
    pw_stream* stream = nullptr;
    spa_hook streamListener{};
    // Read by the process callback; cleared (and `busy` waited out) before
    // the mixer may go, as for the other back ends.
    std::atomic<LoopMixer*> mixer{nullptr};
    std::atomic<bool> busy{false};
    std::atomic<unsigned> errors{0};
    UnderrunWatch underruns;
    // Under the loop's lock.
    pw_stream_state state = PW_STREAM_STATE_CONNECTING;
    std::int64_t createdNs = steadyNowNs();

    Playback(std::int64_t queuedNs, unsigned rate) : underruns(queuedNs, rate) {}
};

namespace {

void initOnce() {
    static std::once_flag once;
    std::call_once(once, [] { pw_init(nullptr, nullptr); });
}

void onCoreDone(void* data, std::uint32_t id, int seq) {
    auto* c = static_cast<PipeWireDevice::Connection*>(data);
    if (id == PW_ID_CORE && seq == c->pendingSync) {
        c->synced = true;
        pw_thread_loop_signal(c->loop, false);
    }
}

// An error on the connection itself: the server went away or refused us.
void onCoreError(void* data, std::uint32_t id, int /*seq*/, int res, const char* /*message*/) {
    auto* c = static_cast<PipeWireDevice::Connection*>(data);
    if (id == PW_ID_CORE && res < 0) {
        c->lost.store(true);
        pw_thread_loop_signal(c->loop, false);
    }
}

const pw_core_events kCoreEvents = [] {
    pw_core_events e{};
    e.version = PW_VERSION_CORE_EVENTS;
    e.done = onCoreDone;
    e.error = onCoreError;
    return e;
}();

void onStateChanged(void* data, pw_stream_state /*old*/, pw_stream_state state,
                    const char* /*error*/) {
    auto* p = static_cast<PipeWireDevice::Playback*>(data);
    p->state = state;
    if (state == PW_STREAM_STATE_ERROR) {
        p->errors.fetch_add(1, std::memory_order_relaxed);
    }
    pw_thread_loop_signal(p->connection->loop, false);
}

// Runs on the connection's data thread once per cycle of the graph: mixes
// the cycle's audio straight into the buffer the server plays.
void onProcess(void* data) {
    auto* p = static_cast<PipeWireDevice::Playback*>(data);
    pw_buffer* buffer = pw_stream_dequeue_buffer(p->stream);
    if (buffer == nullptr) {
        return;
    }
    spa_data& d = buffer->buffer->datas[0];
    if (d.data != nullptr) {
        auto frames = static_cast<std::uint32_t>(d.maxsize / sizeof(std::int16_t));
        if (buffer->requested != 0 && buffer->requested < frames) {
            frames = static_cast<std::uint32_t>(buffer->requested);
        }
        p->underruns.onCallback(steadyNowNs(), frames, false);
        auto* out = static_cast<std::int16_t*>(d.data);
        p->busy.store(true);
        if (LoopMixer* mixer = p->mixer.load()) {
            mixer->render(out, frames);
        } else {
            std::memset(out, 0, frames * sizeof(std::int16_t));
        }
        p->busy.store(false);
        d.chunk->offset = 0;
        d.chunk->stride = sizeof(std::int16_t);
        d.chunk->size = frames * sizeof(std::int16_t);
    }
    pw_stream_queue_buffer(p->stream, buffer);
}

const pw_stream_events kStreamEvents = [] {
    pw_stream_events e{};
    e.version = PW_VERSION_STREAM_EVENTS;
    e.state_changed = onStateChanged;
    e.process = onProcess;
    return e;
}();

// Registry listener of available(): notes whether any sink exists.
struct SinkSearch {
    bool found = false;
};

void onGlobal(void* data, std::uint32_t /*id*/, std::uint32_t /*permissions*/, const char* type,
              std::uint32_t /*version*/, const spa_dict* props) {
    if (std::strcmp(type, PW_TYPE_INTERFACE_Node) != 0 || props == nullptr) {
        return;
    }
    const char* mediaClass = spa_dict_lookup(props, PW_KEY_MEDIA_CLASS);
    if (mediaClass != nullptr && std::strcmp(mediaClass, "Audio/Sink") == 0) {
        static_cast<SinkSearch*>(data)->found = true;
    }
}

const pw_registry_events kRegistryEvents = [] {
    pw_registry_events e{};
    e.version = PW_VERSION_REGISTRY_EVENTS;
    e.global = onGlobal;
    return e;
}();

// Waits on the loop (locked) until `done` or the deadline; true if done.
template <typename Done>
bool waitFor(pw_thread_loop* loop, std::chrono::milliseconds wait, Done done) {
    timespec deadline{};
    pw_thread_loop_get_time(loop, &deadline,
                            std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count());
    while (!done()) {
        if (pw_thread_loop_timed_wait_full(loop, &deadline) != 0) {
            return done();
        }
    }
    return true;
}

bool isRealtime(pid_t tid) {
    const int policy = sched_getscheduler(tid) & ~SCHED_RESET_ON_FORK;
    return policy == SCHED_FIFO || policy == SCHED_RR;
}

}  // namespace

PipeWireDevice::PipeWireDevice(RtAudioDevice::Settings settings) : settings_(std::move(settings)) {
    if (settings_.bufferFrames == 0) {
        settings_.bufferFrames = RtAudioDevice::Settings{}.bufferFrames;
    }
}

PipeWireDevice::~PipeWireDevice() {
    close();
    disconnect();
}

bool PipeWireDevice::connect() {
    if (connection_ && !connection_->lost.load()) {
        return true;
    }
    disconnect();
    initOnce();
    auto c = std::make_unique<Connection>();
    const std::set<pid_t> before = threadIds();
    c->loop = pw_thread_loop_new("scrivola-pw", nullptr);
    if (c->loop == nullptr) {
        failureReason_ = "PipeWire: no thread loop";
        return false;
    }
    c->context = pw_context_new(pw_thread_loop_get_loop(c->loop), nullptr, 0);
    if (c->context == nullptr || pw_thread_loop_start(c->loop) != 0) {
        failureReason_ = "PipeWire: no context";
        if (c->context != nullptr) {
            pw_context_destroy(c->context);
        }
        pw_thread_loop_destroy(c->loop);
        return false;
    }
    pw_thread_loop_lock(c->loop);
    c->core = pw_context_connect(c->context, nullptr, 0);
    if (c->core != nullptr) {
        pw_core_add_listener(c->core, &c->coreListener, &kCoreEvents, c.get());
    }
    pw_thread_loop_unlock(c->loop);
    connection_ = std::move(c);
    if (connection_->core == nullptr) {
        failureReason_ = "PipeWire: no server";
        disconnect();
        return false;
    }
    if (settings_.realtime) {
        std::set<pid_t> started;
        for (const pid_t tid : threadIds()) {
            if (!before.contains(tid)) {
                started.insert(tid);
            }
        }
        raiseAudioThreads(started, settings_.realtimeBroker.get());
        for (const pid_t tid : started) {
            connection_->realtimeThreads += isRealtime(tid) ? 1 : 0;
        }
    }
    return true;
}

void PipeWireDevice::disconnect() {
    if (!connection_) {
        return;
    }
    Connection& c = *connection_;
    pw_thread_loop_stop(c.loop);
    if (c.core != nullptr) {
        spa_hook_remove(&c.coreListener);
        pw_core_disconnect(c.core);
    }
    pw_context_destroy(c.context);
    pw_thread_loop_destroy(c.loop);
    connection_.reset();
}

bool PipeWireDevice::available() {
    if (!connect()) {
        return false;
    }
    Connection& c = *connection_;
    SinkSearch search;
    spa_hook registryListener{};
    pw_thread_loop_lock(c.loop);
    pw_registry* registry = pw_core_get_registry(c.core, PW_VERSION_REGISTRY, 0);
    pw_registry_add_listener(registry, &registryListener, &kRegistryEvents, &search);
    c.synced = false;
    c.pendingSync = pw_core_sync(c.core, PW_ID_CORE, 0);
    const bool answered =
        waitFor(c.loop, settings_.openTimeout, [&] { return c.synced || c.lost.load(); });
    spa_hook_remove(&registryListener);
    pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry));
    pw_thread_loop_unlock(c.loop);
    if (!answered || c.lost.load() || !search.found) {
        failureReason_ = "PipeWire: no sink";
        disconnect();
        return false;
    }
    return true;
}

bool PipeWireDevice::open(LoopMixer& mixer) {
    close();
    if (openWithin(mixer, settings_.openTimeout)) {
        return true;
    }
    close();  // a server that has not answered by now counts as absent
    return false;
}

bool PipeWireDevice::openWithin(LoopMixer& mixer, std::chrono::milliseconds wait) {
    if (open_) {
        return true;
    }
    if (!playback_) {
        if (!connect()) {
            return false;
        }
        Connection& c = *connection_;
        // The server's queue is one cycle: the watch counts a cycle that
        // comes later than two.
        const std::int64_t cycleNs = static_cast<std::int64_t>(settings_.bufferFrames) *
                                     1'000'000'000 / settings_.sampleRate;
        auto p = std::make_unique<Playback>(cycleNs, settings_.sampleRate);
        p->connection = &c;
        p->mixer.store(&mixer);
        const std::string latency =
            std::to_string(settings_.bufferFrames) + "/" + std::to_string(settings_.sampleRate);
        pw_thread_loop_lock(c.loop);
        p->stream = pw_stream_new(
            c.core, "Scrivola Synth",
            pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback",
                              PW_KEY_MEDIA_ROLE, "Music", PW_KEY_APP_NAME, "Scrivola Synth",
                              PW_KEY_NODE_LATENCY, latency.c_str(), nullptr));
        if (p->stream != nullptr) {
            pw_stream_add_listener(p->stream, &p->streamListener, &kStreamEvents, p.get());
            std::uint8_t podBuffer[512];
            spa_pod_builder builder = SPA_POD_BUILDER_INIT(podBuffer, sizeof(podBuffer));
            spa_audio_info_raw info{};
            info.format = SPA_AUDIO_FORMAT_S16;
            info.rate = settings_.sampleRate;
            info.channels = 1;
            info.position[0] = SPA_AUDIO_CHANNEL_MONO;
            const spa_pod* params[] = {
                spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
            const int res =
                pw_stream_connect(p->stream, PW_DIRECTION_OUTPUT, PW_ID_ANY,
                                  static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT |
                                                               PW_STREAM_FLAG_MAP_BUFFERS |
                                                               PW_STREAM_FLAG_RT_PROCESS),
                                  params, 1);
            if (res < 0) {
                p->state = PW_STREAM_STATE_ERROR;
            }
        }
        pw_thread_loop_unlock(c.loop);
        playback_ = std::move(p);
        if (playback_->stream == nullptr) {
            failureReason_ = "PipeWire: no stream";
            close();
            return false;
        }
    }
    Connection& c = *connection_;
    Playback& p = *playback_;
    pw_thread_loop_lock(c.loop);
    waitFor(c.loop, wait, [&] {
        return p.state == PW_STREAM_STATE_STREAMING || p.state == PW_STREAM_STATE_ERROR ||
               c.lost.load();
    });
    const pw_stream_state state = p.state;
    pw_thread_loop_unlock(c.loop);
    if (state == PW_STREAM_STATE_STREAMING && !c.lost.load()) {
        open_ = true;
        errorsSeen_ = p.errors.load(std::memory_order_relaxed);
        failureReason_.clear();
        return true;
    }
    const bool tooLong =
        steadyNowNs() - p.createdNs >
        std::chrono::duration_cast<std::chrono::nanoseconds>(settings_.openTimeout).count();
    if (state == PW_STREAM_STATE_ERROR || c.lost.load() || tooLong) {
        failureReason_ = "PipeWire: the stream failed";
        // The next attempt starts afresh, on a fresh connection.
        close();
        disconnect();
    } else {
        failureReason_ = "the sound server has not answered yet";
    }
    return false;
}

void PipeWireDevice::close() {
    open_ = false;
    if (!playback_) {
        return;
    }
    Playback& p = *playback_;
    // From here on the mixer is not read.
    p.mixer.store(nullptr);
    while (p.busy.load()) {
        std::this_thread::yield();  // a render takes microseconds
    }
    closedUnderruns_ += p.underruns.count();
    Connection& c = *connection_;
    pw_thread_loop_lock(c.loop);
    if (p.stream != nullptr) {
        spa_hook_remove(&p.streamListener);
        pw_stream_destroy(p.stream);
    }
    pw_thread_loop_unlock(c.loop);
    playback_.reset();
    if (c.lost.load()) {
        disconnect();  // a fresh connection when the server is back
    }
}

bool PipeWireDevice::isOpen() const {
    return open_;
}

bool PipeWireDevice::hasFailed() {
    if (!open_) {
        return false;
    }
    const unsigned errors = playback_->errors.load(std::memory_order_relaxed);
    const bool failed = errors != errorsSeen_ || connection_->lost.load();
    errorsSeen_ = errors;
    return failed;
}

unsigned PipeWireDevice::sampleRate() const {
    // The server converts to the rate of its graph.
    return open_ ? settings_.sampleRate : 0;
}

std::uint64_t PipeWireDevice::underruns() const {
    return closedUnderruns_ + (playback_ ? playback_->underruns.count() : 0);
}

int PipeWireDevice::realtimeThreads() const {
    return connection_ ? connection_->realtimeThreads : 0;
}

}  // namespace scrivola
