// The sound layer over an audio device: the device plays one mixed stream and
// the two buffers live in a LoopMixer that the device's callback renders.
//
// While both loops hold nothing but silence for kIdleStopNs, the stream
// stands by (closed, or connected but inactive where the back end can) so
// that the sound server can suspend the device; the first table write that
// is not silence starts it again (in the background: the caller never waits
// for it). The buffers live in the mixer, so nothing is lost.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "audio/audio_device.h"
#include "audio/loop_mixer.h"
#include "audio/sound_layer.h"
#include "audio/sound_observer.h"
#include "audio/stall_watch.h"

namespace scrivola {

// Asked before each buffer is created; false means that buffer cannot be made.
using BufferCreationCheck = std::function<bool(int slot)>;
// A monotonic clock in nanoseconds.
using NanosecondClock = std::function<std::int64_t()>;

class DeviceSoundLayer : public SoundLayer {
public:
    // An output whose frame count stands still this long counts as lost.
    static constexpr std::int64_t kStallLimitNs = 200'000'000;
    // How long one recovery waits for the back end to open a stream; a slower
    // open goes on in the background and a later call collects it.
    static constexpr std::chrono::milliseconds kReopenWait{100};
    // Silence on both loops for this long stands the stream by.
    static constexpr std::int64_t kIdleStopNs = 2'000'000'000;

    explicit DeviceSoundLayer(std::unique_ptr<AudioDevice> device,
                              BufferCreationCheck canCreateBuffer = {}, NanosecondClock clock = {});
    ~DeviceSoundLayer() override;

    DeviceSoundLayer(const DeviceSoundLayer&) = delete;
    DeviceSoundLayer& operator=(const DeviceSoundLayer&) = delete;

    // Opens the device (unless it is open already), then creates buffer 0 and
    // buffer 1, both silent and stopped. If the device cannot be opened,
    // returns false and releases nothing. If a buffer cannot be created,
    // releases both buffers and the device and returns false.
    bool openSound() override;
    bool play(std::int16_t slot, bool looping) override;
    // False for a slot other than 0 or 1 or a slot without a buffer; the
    // buffer then keeps what it had.
    bool writeWaveTable(std::int16_t slot, const WaveTable& table) override;
    void releaseSound() override;

    std::string failureReason() const override { return failureReason_; }
    bool recoverIfLost() override;
    void keepOutputRunning(bool on) override;
    void expectSound() override;
    bool tapOutput(SampleRing* ring) override {
        mixer_.setTap(ring);
        return true;
    }
    // The open stream's rate; while the stream is closed for silence, the
    // rate it ran at (it reopens at the same).
    unsigned outputRate() const override;

    // Shows the output's changes and every rendered block to `observer`
    // (nullptr: to none). Set it before openSound(); it must outlive the
    // layer's output.
    void setObserver(SoundObserver* observer);

    // Times a lost output was reopened.
    std::uint64_t recoveries() const { return recoveries_; }
    // Underruns the output counted, over every stream it opened.
    std::uint64_t underruns() const { return device_->underruns(); }
    // E.g. "PipeWire, 44100 Hz, 256 frames per cycle, 1 real-time threads";
    // empty while no output plays.
    std::string outputDescription() const { return device_->description(); }
    // Frames the output mixes at a time now (0 while none plays).
    unsigned latencyFrames() const { return device_->latencyFrames(); }

    bool isDeviceOpen() const { return device_->isOpen(); }
    // True while the stream is closed because the loops were silent.
    bool isIdle() const override { return idle_; }
    bool hasBuffer(int slot) const { return mixer_.hasBuffer(slot); }
    unsigned sampleRate() const { return device_->sampleRate(); }
    const LoopMixer& mixer() const { return mixer_; }

protected:
    AudioDevice& device() { return *device_; }
    const AudioDevice& device() const { return *device_; }

private:
    void releaseBuffers();
    bool bothSilent() const;
    // Starts opening the stream again after an idle stop, without waiting.
    void resume();
    // Collects a finished open; false when none has finished yet.
    bool collectOpen(std::chrono::milliseconds wait);
    // Notes what changed in the running output: underruns, latency.
    void noteOutputChanges();
    void note(const std::string& line) const;

    // The mixer is declared first so that it outlives the device's stream.
    LoopMixer mixer_;
    std::unique_ptr<AudioDevice> device_;
    BufferCreationCheck canCreateBuffer_;
    NanosecondClock clock_;
    StallWatch stallWatch_{kStallLimitNs};
    std::string failureReason_;
    bool outputWanted_ = false;
    std::uint64_t recoveries_ = 0;
    // Whether each slot's last written table was all centre line.
    std::array<bool, LoopMixer::kSlots> silentTable_{true, true};
    std::int64_t lastSoundNs_ = 0;
    bool keepRunning_ = false;
    bool idle_ = false;      // stream standing by for silence
    bool resuming_ = false;  // stream starting again after an idle stop
    unsigned idleRate_ = 0;  // the rate of the stream standing by
    SoundObserver* observer_ = nullptr;
    std::uint64_t underrunsNoted_ = 0;
    unsigned latencyNoted_ = 0;
};

}  // namespace scrivola
