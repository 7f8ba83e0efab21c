#include "audio/device_sound_layer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "fake_audio_device.h"

namespace scrivola {
namespace {

using testing::FakeAudioDevice;
using testing::FakeDeviceLog;

std::int16_t voice(std::uint8_t b) {
    return static_cast<std::int16_t>((b - 128) * 256);
}

WaveTable rampTable() {
    WaveTable table{};
    for (std::size_t k = 0; k < table.size(); ++k) {
        table[k] = static_cast<std::uint8_t>(k % 251);
    }
    return table;
}

// A layer over a fake device, with a clock the test moves by hand.
struct Rig {
    explicit Rig(BufferCreationCheck canCreate = {}) {
        auto owned = std::make_unique<FakeAudioDevice>(log);
        device = owned.get();
        layer = std::make_unique<DeviceSoundLayer>(std::move(owned), std::move(canCreate),
                                                   [this] { return nowNs; });
    }
    void advanceMs(std::int64_t ms) { nowNs += ms * 1'000'000; }

    FakeDeviceLog log;
    FakeAudioDevice* device = nullptr;
    std::int64_t nowNs = 1'000'000'000;
    std::unique_ptr<DeviceSoundLayer> layer;
};

TEST(DeviceSoundLayer, OpenCreatesBothBuffersOnAnOpenDevice) {
    Rig rig;
    ASSERT_TRUE(rig.layer->openSound());
    EXPECT_TRUE(rig.layer->isDeviceOpen());
    EXPECT_TRUE(rig.layer->hasBuffer(0));
    EXPECT_TRUE(rig.layer->hasBuffer(1));
    EXPECT_EQ(rig.layer->sampleRate(), 44100u);
    EXPECT_EQ(rig.layer->failureReason(), "");
}

TEST(DeviceSoundLayer, DeviceThatCannotOpenFailsAndReleasesNothing) {
    Rig rig;
    rig.device->openSucceeds = false;
    EXPECT_FALSE(rig.layer->openSound());
    EXPECT_EQ(rig.log.closes, 0);
    EXPECT_FALSE(rig.layer->hasBuffer(0));
    EXPECT_FALSE(rig.layer->hasBuffer(1));
    EXPECT_EQ(rig.layer->failureReason(), "no device here");
    EXPECT_FALSE(rig.layer->play(0, true));
}

TEST(DeviceSoundLayer, BufferThatCannotBeCreatedEmptiesBothSlotsAndTheDevice) {
    for (int failing : {0, 1}) {
        Rig rig([failing](int slot) { return slot != failing; });
        EXPECT_FALSE(rig.layer->openSound()) << failing;
        EXPECT_FALSE(rig.layer->hasBuffer(0)) << failing;
        EXPECT_FALSE(rig.layer->hasBuffer(1)) << failing;
        EXPECT_FALSE(rig.layer->isDeviceOpen()) << failing;
        EXPECT_EQ(rig.log.closes, 1) << failing;
        EXPECT_EQ(rig.layer->failureReason(),
                  "could not create sound buffer " + std::to_string(failing));
        EXPECT_FALSE(rig.layer->recoverIfLost()) << "nothing to recover after a failed open";
        EXPECT_EQ(rig.log.opens, 1);
    }
}

TEST(DeviceSoundLayer, ReleaseTwiceIsHarmlessAndLeavesNothingToWrite) {
    Rig rig;
    ASSERT_TRUE(rig.layer->openSound());
    rig.layer->releaseSound();
    rig.layer->releaseSound();
    EXPECT_FALSE(rig.layer->isDeviceOpen());
    EXPECT_FALSE(rig.layer->hasBuffer(0));
    EXPECT_FALSE(rig.layer->hasBuffer(1));
    EXPECT_FALSE(rig.layer->play(0, true));
    EXPECT_FALSE(rig.layer->writeWaveTable(1, rampTable()));
    EXPECT_FALSE(rig.layer->recoverIfLost());
    EXPECT_EQ(rig.log.opens, 1);
}

TEST(DeviceSoundLayer, WritesSendEntries0To359OfTheRightSlotOnly) {
    Rig rig;
    ASSERT_TRUE(rig.layer->openSound());
    WaveTable table = rampTable();
    table[360] = 255;
    ASSERT_TRUE(rig.layer->writeWaveTable(1, table));
    for (std::size_t k = 0; k < 360; ++k) {
        ASSERT_EQ(rig.layer->mixer().sample(1, k), table[k]) << k;
        ASSERT_EQ(rig.layer->mixer().sample(0, k), 128) << k;
    }
    ASSERT_TRUE(rig.layer->play(1, true));
    const auto before = rig.device->render(720);
    for (std::size_t i = 0; i < before.size(); ++i) {
        ASSERT_EQ(before[i], voice(table[i % 360])) << i;
    }
    table[360] = 0;  // only entry 360 changes: nothing audible changes
    ASSERT_TRUE(rig.layer->writeWaveTable(1, table));
    EXPECT_EQ(rig.device->render(720), before);
}

TEST(DeviceSoundLayer, SlotsOtherThan0And1AreRefused) {
    Rig rig;
    ASSERT_TRUE(rig.layer->openSound());
    for (std::int16_t slot : {std::int16_t{-1}, std::int16_t{2}, std::int16_t{32767}}) {
        EXPECT_FALSE(rig.layer->writeWaveTable(slot, rampTable())) << slot;
        EXPECT_FALSE(rig.layer->play(slot, true)) << slot;
    }
}

TEST(DeviceSoundLayer, ReopenedOutputKeepsBuffersAndPlayPositions) {
    Rig rig;
    ASSERT_TRUE(rig.layer->openSound());
    const WaveTable table = rampTable();
    ASSERT_TRUE(rig.layer->writeWaveTable(0, table));
    ASSERT_TRUE(rig.layer->play(0, true));
    rig.device->render(100);
    EXPECT_TRUE(rig.layer->recoverIfLost());
    EXPECT_EQ(rig.log.opens, 1) << "a healthy output is left alone";

    rig.device->failed = true;
    EXPECT_TRUE(rig.layer->recoverIfLost());
    EXPECT_EQ(rig.log.opens, 2);
    EXPECT_EQ(rig.layer->recoveries(), 1u);
    const auto out = rig.device->render(3);
    EXPECT_EQ(out[0], voice(table[100]));
    EXPECT_EQ(out[2], voice(table[102]));
}

TEST(DeviceSoundLayer, OutputWhoseCallbackStopsIsReopenedAfter200Ms) {
    Rig rig;
    ASSERT_TRUE(rig.layer->openSound());
    for (int i = 0; i < 5; ++i) {  // callbacks keep coming: never lost
        rig.advanceMs(300);
        rig.device->render(256);
        EXPECT_TRUE(rig.layer->recoverIfLost());
    }
    EXPECT_EQ(rig.log.opens, 1);

    rig.advanceMs(150);  // silent for 150 ms: still fine
    EXPECT_TRUE(rig.layer->recoverIfLost());
    EXPECT_EQ(rig.log.opens, 1);
    rig.advanceMs(100);  // 250 ms without a callback: lost
    EXPECT_TRUE(rig.layer->recoverIfLost());
    EXPECT_EQ(rig.log.opens, 2);
    EXPECT_EQ(rig.log.closes, 1);
}

TEST(DeviceSoundLayer, FailedReopenIsRetriedOnTheNextCall) {
    Rig rig;
    ASSERT_TRUE(rig.layer->openSound());
    ASSERT_TRUE(rig.layer->play(1, true));
    rig.device->failed = true;
    rig.device->openSucceeds = false;
    EXPECT_FALSE(rig.layer->recoverIfLost());
    EXPECT_FALSE(rig.layer->isDeviceOpen());
    EXPECT_EQ(rig.layer->failureReason(), "no device here");
    EXPECT_TRUE(rig.layer->hasBuffer(1)) << "buffers survive while the output is gone";

    rig.device->openSucceeds = true;
    EXPECT_TRUE(rig.layer->recoverIfLost());
    EXPECT_TRUE(rig.layer->isDeviceOpen());
    EXPECT_EQ(rig.layer->failureReason(), "");
    rig.device->render(1);
    EXPECT_TRUE(rig.layer->mixer().isSounding(1));
}

// The stream closes after 2 s in which both loops held only silence, and the
// first write that is not silence opens it again; a recorder's request keeps
// it running; so does a pen going down, until 2 s of silence after it. Each step: advance the
// clock, act, poll, then the expected stream state and number of opens so far.
TEST(DeviceSoundLayer, StreamClosesAfterTwoSilentSecondsAndReopensOnSound) {
    enum Action { kNothing, kSilentWrite, kSoundWrite, kKeepOn, kKeepOff, kExpect };
    struct Step {
        std::int64_t advanceMs;
        Action action;
        bool open;
        int opens;
    };
    const Step steps[] = {
        {1900, kSilentWrite, true, 1},   // silent since opening: not yet 2 s
        {200, kNothing, false, 1},       // 2.1 s of silence: closed
        {5000, kSilentWrite, false, 1},  // silence does not wake it
        {10, kSoundWrite, true, 2},      // sound reopens at once
        {1500, kSilentWrite, true, 2},   // 1.5 s since the last sound
        {600, kNothing, false, 2},       // 2.1 s: closed again
        {100, kKeepOn, true, 3},         // a recorder starts it at once...
        {9000, kSilentWrite, true, 3},   // ...and keeps it through silence
        {100, kKeepOff, true, 3},        // released: silence counts anew
        {2100, kNothing, false, 3},     {100, kExpect, true, 4},  // a pen going down starts it...
        {1900, kSilentWrite, true, 4},                            // ...for 2 s of silence from then
        {200, kNothing, false, 4},
    };
    Rig rig;
    ASSERT_TRUE(rig.layer->openSound());
    WaveTable silence;
    silence.fill(128);
    int index = 0;
    for (const Step& step : steps) {
        rig.advanceMs(step.advanceMs);
        rig.device->render(256);  // callbacks keep coming while open
        switch (step.action) {
            case kSilentWrite:
                ASSERT_TRUE(rig.layer->writeWaveTable(0, silence));
                ASSERT_TRUE(rig.layer->writeWaveTable(1, silence));
                break;
            case kSoundWrite:
                ASSERT_TRUE(rig.layer->writeWaveTable(1, rampTable()));
                break;
            case kKeepOn:
                rig.layer->keepOutputRunning(true);
                break;
            case kKeepOff:
                rig.layer->keepOutputRunning(false);
                break;
            case kExpect:
                rig.layer->expectSound();
                break;
            case kNothing:
                break;
        }
        EXPECT_TRUE(rig.layer->recoverIfLost()) << "step " << index;
        EXPECT_EQ(rig.layer->isDeviceOpen(), step.open) << "step " << index;
        EXPECT_EQ(rig.log.opens, step.opens) << "step " << index;
        EXPECT_EQ(rig.layer->outputRate(), 44100u) << "a recorder may start at any time";
        ++index;
    }
    EXPECT_EQ(rig.layer->recoveries(), 0u) << "idle stops are no recoveries";
    EXPECT_TRUE(rig.layer->hasBuffer(1));
}

// A silent table in one slot does not stop the stream while the other sounds.
TEST(DeviceSoundLayer, OneSoundingLoopKeepsTheStreamOpen) {
    Rig rig;
    ASSERT_TRUE(rig.layer->openSound());
    WaveTable silence;
    silence.fill(128);
    ASSERT_TRUE(rig.layer->writeWaveTable(0, rampTable()));
    for (int i = 0; i < 30; ++i) {
        rig.advanceMs(250);
        rig.device->render(256);
        ASSERT_TRUE(rig.layer->writeWaveTable(1, silence));
        ASSERT_TRUE(rig.layer->recoverIfLost());
    }
    EXPECT_TRUE(rig.layer->isDeviceOpen());
    EXPECT_EQ(rig.log.opens, 1);
}

}  // namespace
}  // namespace scrivola
