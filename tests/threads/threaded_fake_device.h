// An audio device with a real audio thread: while open, the thread renders
// blocks of 256 frames from the mixer about as often as a sound server asks
// for them, and keeps the last block. It can be told to report a failure, as
// a back end does when the sound server goes away.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "audio/audio_device.h"
#include "audio/loop_mixer.h"

namespace scrivola::testing {

class ThreadedFakeDevice final : public AudioDevice {
public:
    static constexpr std::size_t kFrames = 256;

    ~ThreadedFakeDevice() override { close(); }

    bool open(LoopMixer& mixer) override {
        close();
        opens.fetch_add(1);
        failed_.store(false);
        running_.store(true);
        thread_ = std::thread([this, &mixer] { run(mixer); });
        return true;
    }
    void close() override {
        running_.store(false);
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    bool isOpen() const override { return thread_.joinable(); }
    bool hasFailed() override { return failed_.load(); }
    unsigned sampleRate() const override { return isOpen() ? 44100 : 0; }
    std::string failureReason() const override { return {}; }

    // From any thread: the back end reports the stream as failed.
    void fail() { failed_.store(true); }

    std::atomic<int> opens{0};
    std::atomic<std::uint64_t> blocks{0};      // rendered, over every stream
    std::atomic<std::uint64_t> loudBlocks{0};  // ... with a sample not silent

private:
    void run(LoopMixer& mixer) {
        std::array<std::int16_t, kFrames> out{};
        while (running_.load()) {
            mixer.render(out.data(), out.size());
            blocks.fetch_add(1);
            for (std::int16_t v : out) {
                if (v != 0) {
                    loudBlocks.fetch_add(1);
                    break;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::atomic<bool> running_{false};
    std::atomic<bool> failed_{false};
    std::thread thread_;
};

}  // namespace scrivola::testing
