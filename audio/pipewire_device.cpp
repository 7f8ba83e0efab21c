#include "audio/pipewire_device.h"

#include <pipewire/pipewire.h>
#include <sched.h>
#include <spa/node/io.h>
#include <spa/param/audio/format-utils.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>

#include "audio/latency_ladder.h"
#include "audio/loop_mixer.h"
#include "audio/realtime.h"
#include "audio/steady_time.h"

namespace scrivola {

struct PipeWireDevice::Connection {
    pw_thread_loop* loop = nullptr;
    pw_context* context = nullptr;
    pw_core* core = nullptr;
    spa_hook coreListener{};
    // Set on the loop's thread when the server reports an error on the
    // connection itself (it went away or refused us).
    std::atomic<bool> lost{false};
    int pendingSync = -1;
    bool synced = false;
    // The process's threads before the connection made its own.
    std::set<pid_t> threadsBefore;
};

struct PipeWireDevice::Playback {
    Connection* connection = nullptr;
    pw_stream* stream = nullptr;
    spa_hook streamListener{};
    // Read by the process callback; cleared (and `busy` waited out) before
    // the mixer may go (both sequentially consistent: one side always sees
    // the other).
    std::atomic<LoopMixer*> mixer{nullptr};
    std::atomic<bool> busy{false};
    std::atomic<unsigned> errors{0};
    std::int64_t createdNs = steadyNowNs();
    unsigned rate = 0;
    // Under the loop's lock, which the loop's thread holds while it runs
    // its events and timers.
    pw_stream_state state = PW_STREAM_STATE_CONNECTING;
    LatencyLadder ladder;
    spa_source* ladderTimer = nullptr;

    // The graph's position, set by the server on the loop's thread and read
    // in the process callback, as PipeWire's own stream reads it.
    std::atomic<spa_io_position*> position{nullptr};
    // Data thread only, apart from the flag that makes it start afresh.
    std::atomic<bool> restartWatch{true};
    std::uint64_t lastPosition = 0;
    std::uint64_t lastDuration = 0;
    bool lastLate = false;
    // Written by the data thread, read anywhere.
    std::atomic<std::uint64_t> dropouts{0};
    std::atomic<std::uint64_t> cycleFrames{0};
    std::atomic<std::uint32_t> graphRate{0};
    // The cycle asked for, in frames at the stream's rate.
    std::atomic<unsigned> askedFrames{0};

    Playback(Connection& c, unsigned streamRate, unsigned smallestFrames)
        : connection(&c), rate(streamRate), ladder(smallestFrames) {}
};

namespace {

constexpr std::chrono::milliseconds kLadderInterval{500};

void initOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        pw_init(nullptr, nullptr);
        // The library's warnings (no RealtimeKit, no server) would reach the
        // user's terminal; the program reports what failed itself. Asked
        // for with PIPEWIRE_DEBUG, they stay.
        if (std::getenv("PIPEWIRE_DEBUG") == nullptr) {
            pw_log_set_level(SPA_LOG_LEVEL_NONE);
        }
    });
}

void onCoreDone(void* data, std::uint32_t id, int seq) {
    auto* c = static_cast<PipeWireDevice::Connection*>(data);
    if (id == PW_ID_CORE && seq == c->pendingSync) {
        c->synced = true;
        pw_thread_loop_signal(c->loop, false);
    }
}

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

void onIoChanged(void* data, std::uint32_t id, void* area, std::uint32_t size) {
    if (id == SPA_IO_Position) {
        auto* p = static_cast<PipeWireDevice::Playback*>(data);
        p->position.store(
            size >= sizeof(spa_io_position) ? static_cast<spa_io_position*>(area) : nullptr,
            std::memory_order_release);
    }
}

// Counts the dropouts: a cycle whose audio was not ready in time, because
// this callback runs after the cycle's deadline, or the graph ran whole
// cycles without it. A stall of the graph makes it catch up with a run of
// late cycles: that run counts as one dropout.
void watchCycle(PipeWireDevice::Playback& p) {
    const spa_io_position* position = p.position.load(std::memory_order_acquire);
    if (position == nullptr) {
        return;
    }
    const spa_io_clock& clock = position->clock;
    const bool fresh = p.restartWatch.exchange(false, std::memory_order_relaxed);
    const auto now = static_cast<std::uint64_t>(steadyNowNs());
    const bool late = clock.next_nsec != 0 && now > clock.next_nsec;
    const bool skipped = !fresh && clock.position > p.lastPosition + p.lastDuration;
    if (!fresh && ((late && !p.lastLate) || skipped)) {
        p.dropouts.fetch_add(1, std::memory_order_relaxed);
    }
    p.lastLate = late;
    p.lastPosition = clock.position;
    p.lastDuration = clock.duration;
    p.cycleFrames.store(clock.duration, std::memory_order_relaxed);
    p.graphRate.store(clock.rate.denom, std::memory_order_relaxed);
}

// Runs on the data thread once per cycle of the graph: mixes the cycle's
// audio straight into the buffer the server plays.
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
        watchCycle(*p);
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
    e.io_changed = onIoChanged;
    e.process = onProcess;
    return e;
}();

// Asks the graph for a cycle of `frames` at the stream's rate.
void askLatency(PipeWireDevice::Playback& p, unsigned frames) {
    const std::string latency = std::to_string(frames) + "/" + std::to_string(p.rate);
    const spa_dict_item items[] = {SPA_DICT_ITEM_INIT(PW_KEY_NODE_LATENCY, latency.c_str())};
    const spa_dict dict = SPA_DICT_INIT_ARRAY(items);
    pw_stream_update_properties(p.stream, &dict);
    p.askedFrames.store(frames, std::memory_order_relaxed);
}

// On the loop's thread, every kLadderInterval while the stream plays.
void onLadderTimer(void* data, std::uint64_t /*expirations*/) {
    auto* p = static_cast<PipeWireDevice::Playback*>(data);
    if (p->ladder.update(steadyNowNs(), p->dropouts.load(std::memory_order_relaxed))) {
        askLatency(*p, p->ladder.frames());
    }
}

void armLadder(PipeWireDevice::Playback& p, bool on) {
    timespec interval{};
    interval.tv_nsec = std::chrono::nanoseconds(kLadderInterval).count();
    pw_loop_update_timer(pw_thread_loop_get_loop(p.connection->loop), p.ladderTimer,
                         on ? &interval : nullptr, on ? &interval : nullptr, false);
}

// Registry listener of available(): notes whether any audio sink exists.
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

PipeWireDevice::PipeWireDevice(OutputSettings settings) : settings_(std::move(settings)) {
    if (settings_.bufferFrames == 0) {
        settings_.bufferFrames = OutputSettings{}.bufferFrames;
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
    c->threadsBefore = threadIds();
    c->loop = pw_thread_loop_new("scrivola-pw", nullptr);
    if (c->loop == nullptr) {
        failureReason_ = "PipeWire: no thread loop";
        return false;
    }
    // The real-time variant of the client configuration loads PipeWire's
    // real-time module, which raises the data thread (itself where the
    // process may, else through RealtimeKit).
    c->context = pw_context_new(
        pw_thread_loop_get_loop(c->loop),
        settings_.realtime ? pw_properties_new(PW_KEY_CONFIG_NAME, "client-rt.conf", nullptr)
                           : nullptr,
        0);
    if (c->context == nullptr || pw_thread_loop_start(c->loop) != 0) {
        failureReason_ = "PipeWire: no context";
        if (c->context != nullptr) {
            pw_context_destroy(c->context);
        }
        pw_thread_loop_destroy(c->loop);
        return false;
    }
    pw_properties* client =
        pw_properties_new(PW_KEY_APP_NAME, settings_.applicationName.c_str(), nullptr);
    if (!settings_.applicationId.empty()) {
        pw_properties_set(client, PW_KEY_APP_ID, settings_.applicationId.c_str());
        pw_properties_set(client, PW_KEY_APP_ICON_NAME, settings_.applicationId.c_str());
    }
    pw_thread_loop_lock(c->loop);
    c->core = pw_context_connect(c->context, client, 0);
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
        failureReason_ = "PipeWire: no audio sink";
        disconnect();
        return false;
    }
    return true;
}

bool PipeWireDevice::createStream(LoopMixer& mixer) {
    Connection& c = *connection_;
    auto p = std::make_unique<Playback>(c, settings_.sampleRate, settings_.bufferFrames);
    p->mixer.store(&mixer);
    p->askedFrames.store(settings_.bufferFrames, std::memory_order_relaxed);
    const std::string latency =
        std::to_string(settings_.bufferFrames) + "/" + std::to_string(settings_.sampleRate);
    // Where the server may choose, the graph runs at the stream's own rate
    // and nothing is resampled.
    const std::string rate = "1/" + std::to_string(settings_.sampleRate);
    pw_properties* props = pw_properties_new(
        PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback", PW_KEY_MEDIA_ROLE, "Music",
        PW_KEY_NODE_NAME, "scrivola-synth", PW_KEY_NODE_DESCRIPTION,
        settings_.applicationName.c_str(), PW_KEY_MEDIA_NAME, settings_.applicationName.c_str(),
        PW_KEY_APP_NAME, settings_.applicationName.c_str(), PW_KEY_NODE_LATENCY, latency.c_str(),
        PW_KEY_NODE_RATE, rate.c_str(), nullptr);
    if (!settings_.applicationId.empty()) {
        pw_properties_set(props, PW_KEY_APP_ID, settings_.applicationId.c_str());
        pw_properties_set(props, PW_KEY_APP_ICON_NAME, settings_.applicationId.c_str());
    }
    pw_thread_loop_lock(c.loop);
    p->stream = pw_stream_new(c.core, settings_.applicationName.c_str(), props);
    if (p->stream != nullptr) {
        pw_stream_add_listener(p->stream, &p->streamListener, &kStreamEvents, p.get());
        p->ladderTimer = pw_loop_add_timer(pw_thread_loop_get_loop(c.loop), onLadderTimer, p.get());
        armLadder(*p, true);
        std::uint8_t podBuffer[512];
        spa_pod_builder builder = SPA_POD_BUILDER_INIT(podBuffer, sizeof(podBuffer));
        spa_audio_info_raw info{};
        info.format = SPA_AUDIO_FORMAT_S16;
        info.rate = settings_.sampleRate;
        info.channels = 1;
        info.position[0] = SPA_AUDIO_CHANNEL_MONO;
        const spa_pod* params[] = {
            spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
        const int res = pw_stream_connect(
            p->stream, PW_DIRECTION_OUTPUT, PW_ID_ANY,
            static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
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
    return true;
}

bool PipeWireDevice::openWithin(LoopMixer& mixer, std::chrono::milliseconds wait) {
    if (open_) {
        return true;
    }
    if (connection_ && connection_->lost.load()) {
        close();  // and the lost connection with it
    }
    if (playback_ && standingBy_) {
        // The stream is still connected: it only needs to run again.
        Playback& p = *playback_;
        pw_thread_loop_lock(connection_->loop);
        p.restartWatch.store(true, std::memory_order_relaxed);
        p.ladder.restart(steadyNowNs());
        armLadder(p, true);
        pw_stream_set_active(p.stream, true);
        pw_thread_loop_unlock(connection_->loop);
        standingBy_ = false;
        open_ = true;
        errorsSeen_ = p.errors.load(std::memory_order_relaxed);
        return true;
    }
    if (!playback_ && (!connect() || !createStream(mixer))) {
        return false;
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

void PipeWireDevice::standBy() {
    if (!open_) {
        return;
    }
    Playback& p = *playback_;
    pw_thread_loop_lock(connection_->loop);
    armLadder(p, false);
    pw_stream_set_active(p.stream, false);
    pw_thread_loop_unlock(connection_->loop);
    open_ = false;
    standingBy_ = true;
}

void PipeWireDevice::close() {
    open_ = false;
    standingBy_ = false;
    if (!playback_) {
        return;
    }
    Playback& p = *playback_;
    // From here on the mixer is not read.
    p.mixer.store(nullptr);
    while (p.busy.load()) {
        std::this_thread::yield();  // a render takes microseconds
    }
    closedUnderruns_ += p.dropouts.load(std::memory_order_relaxed);
    Connection& c = *connection_;
    pw_thread_loop_lock(c.loop);
    if (p.ladderTimer != nullptr) {
        pw_loop_destroy_source(pw_thread_loop_get_loop(c.loop), p.ladderTimer);
    }
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
    return closedUnderruns_ + (playback_ ? playback_->dropouts.load(std::memory_order_relaxed) : 0);
}

unsigned PipeWireDevice::latencyFrames() const {
    if (!open_) {
        return 0;
    }
    const std::uint64_t frames = playback_->cycleFrames.load(std::memory_order_relaxed);
    const std::uint32_t rate = playback_->graphRate.load(std::memory_order_relaxed);
    return rate == 0 ? 0 : static_cast<unsigned>(frames * settings_.sampleRate / rate);
}

std::string PipeWireDevice::description() const {
    if (!open_) {
        return {};
    }
    int realtime = 0;
    for (const pid_t tid : threadIds()) {
        if (!connection_->threadsBefore.contains(tid) && isRealtime(tid)) {
            ++realtime;
        }
    }
    const unsigned asked = playback_->askedFrames.load(std::memory_order_relaxed);
    const unsigned inUse = latencyFrames();
    return "PipeWire, " + std::to_string(settings_.sampleRate) + " Hz, " + std::to_string(asked) +
           " frames per cycle asked" +
           (inUse != 0 ? " (" + std::to_string(inUse) + " in use)" : std::string()) + ", " +
           std::to_string(realtime) + " real-time threads";
}

}  // namespace scrivola
