// The recorder over a fake device: the file must hold exactly what the
// callbacks rendered, with a header that keeps up while recording, and a path
// that cannot be recorded into is refused with the reason. (A disk that fails
// part-way is tried end to end and through the file menu's tests.)
#include "audio/wav_recorder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audio/device_sound_layer.h"
#include "fake_audio_device.h"

namespace scrivola {
namespace {

namespace fs = std::filesystem;
using testing::FakeAudioDevice;
using testing::FakeDeviceLog;

// A layer that remembers whether it was asked to keep its output running.
class KeepingLayer final : public DeviceSoundLayer {
public:
    using DeviceSoundLayer::DeviceSoundLayer;
    void keepOutputRunning(bool on) override { keptRunning = on; }
    bool keptRunning = false;
};

struct Rig {
    Rig() {
        auto owned = std::make_unique<FakeAudioDevice>(log);
        device = owned.get();
        layer = std::make_unique<KeepingLayer>(std::move(owned));
        EXPECT_TRUE(layer->openSound());
        WaveTable table{};
        for (std::size_t k = 0; k < table.size(); ++k) {
            table[k] = static_cast<std::uint8_t>((k * 7) % 256);
        }
        layer->writeWaveTable(0, table);
        layer->play(0, true);
        recorder = std::make_unique<WavRecorder>(*layer, [this] { return nowNs.load(); });
    }
    // One callback's worth; what it rendered is appended to `played`.
    void render(std::size_t frames) {
        const std::vector<std::int16_t> block = device->render(frames);
        played.insert(played.end(), block.begin(), block.end());
    }

    // The recorder's clock: it stands still unless a test moves it.
    std::atomic<std::int64_t> nowNs{0};
    FakeDeviceLog log;
    FakeAudioDevice* device = nullptr;
    std::unique_ptr<KeepingLayer> layer;
    std::unique_ptr<WavRecorder> recorder;
    std::vector<std::int16_t> played;
};

struct Wav {
    SF_INFO info{};
    std::vector<std::int16_t> samples;
    bool opened = false;
};

Wav readWav(const fs::path& path) {
    Wav wav;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &wav.info);
    if (file == nullptr) {
        return wav;
    }
    wav.opened = true;
    wav.samples.resize(static_cast<std::size_t>(wav.info.frames));
    wav.samples.resize(static_cast<std::size_t>(
        sf_read_short(file, wav.samples.data(), static_cast<sf_count_t>(wav.samples.size()))));
    sf_close(file);
    return wav;
}

// The data size the header states: what players go by. (libsndfile itself
// reads on to the file's end when that size is 0.) The recorder writes the
// plain 44-byte header, with the size at byte 40.
std::uint32_t headerDataBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(40);
    unsigned char b[4] = {};
    in.read(reinterpret_cast<char*>(b), 4);
    return b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t{b[3]} << 24;
}

template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class WavRecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("wav-recorder-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(WavRecorderTest, FileHoldsEveryRenderedSampleAndItsHeaderKeepsUpWhileRecording) {
    Rig rig;
    const fs::path path = dir / "take.wav";
    ASSERT_EQ(rig.recorder->start(path), "");
    EXPECT_TRUE(rig.layer->keptRunning);
    // Odd block sizes, and more than the ring holds in all, so that blocks
    // wrap around its end. Each burst waits for the writer, so none is lost.
    const std::size_t sizes[] = {441, 256, 1000, 3, 4096, 777};
    std::size_t next = 0;
    while (rig.played.size() < WavRecorder::kRingSeconds * 44100 * 2) {
        for (int i = 0; i < 40; ++i) {
            rig.render(sizes[next++ % std::size(sizes)]);
        }
        const auto bytes = 44 + 2 * rig.played.size();
        ASSERT_TRUE(waitFor([&] { return fs::file_size(path) >= bytes; }, std::chrono::seconds(5)));
    }
    // As a killed process would leave it: the header counts all of it soon.
    ASSERT_TRUE(waitFor([&] { return headerDataBytes(path) == 2 * rig.played.size(); },
                        std::chrono::milliseconds(WavRecorder::kSyncIntervalMs * 3)))
        << "header says " << headerDataBytes(path) / 2 << " of " << rig.played.size();

    rig.render(128);  // in the ring only when stop() comes
    const WavRecorder::Outcome outcome = rig.recorder->stop();
    EXPECT_FALSE(rig.layer->keptRunning);
    rig.render(64);  // after the stop: not recorded
    EXPECT_EQ(outcome.error, "");
    EXPECT_EQ(outcome.dropped, 0u);
    const Wav wav = readWav(path);
    ASSERT_TRUE(wav.opened);
    EXPECT_EQ(wav.info.samplerate, 44100);
    EXPECT_EQ(wav.info.channels, 1);
    EXPECT_EQ(wav.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const std::vector<std::int16_t> expected(rig.played.begin(), rig.played.end() - 64);
    EXPECT_EQ(outcome.frames, expected.size());
    EXPECT_TRUE(wav.samples == expected) << wav.samples.size() << " samples of " << expected.size();
}

// The extension chooses the format, in any case. FLAC keeps every sample;
// Vorbis keeps their number.
TEST_F(WavRecorderTest, ExtensionChoosesTheFormat) {
    const struct {
        const char* name;
        int type;
        bool exact;
    } cases[] = {
        {"take.wav", SF_FORMAT_WAV, true},
        {"take.FLAC", SF_FORMAT_FLAC, true},
        {"take.ogg", SF_FORMAT_OGG, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        ASSERT_EQ(rig.recorder->start(dir / c.name), "");
        for (int i = 0; i < 100; ++i) {
            rig.render(441);
        }
        const WavRecorder::Outcome outcome = rig.recorder->stop();
        EXPECT_EQ(outcome.error, "");
        const Wav wav = readWav(dir / c.name);
        ASSERT_TRUE(wav.opened);
        EXPECT_EQ(wav.info.format & SF_FORMAT_TYPEMASK, c.type);
        EXPECT_EQ(wav.info.channels, 1);
        EXPECT_EQ(wav.samples.size(), rig.played.size());
        if (c.exact) {
            EXPECT_TRUE(wav.samples == rig.played);
        }
    }
}

// While the output is away no callback feeds the recording: the time it was
// away is kept as silence, between the sound before and after, so the file
// lasts as long as the recording did, within 0.1 %.
TEST_F(WavRecorderTest, TimeWithoutOutputIsRecordedAsSilence) {
    Rig rig;
    const fs::path path = dir / "take.wav";
    ASSERT_EQ(rig.recorder->start(path), "");
    // At the output's own pace, a second at a time, each written before the
    // next, so that the ring never overflows.
    std::size_t gapSoFar = 0;
    const auto play = [&](int seconds) {
        for (int second = 0; second < seconds; ++second) {
            for (int block = 0; block < 100; ++block) {
                rig.nowNs += 10'000'000;
                rig.render(441);
            }
            const std::size_t written = gapSoFar + rig.played.size();
            ASSERT_TRUE(waitFor([&] { return fs::file_size(path) >= 44 + 2 * written; },
                                std::chrono::seconds(5)));
        }
    };
    play(15);
    const std::size_t before = rig.played.size();
    // The server is away for 30 s and more, until the writer, looking on time
    // again, has kept that time as silence.
    rig.nowNs += 30'000'000'000;
    ASSERT_TRUE(waitFor(
        [&] {
            rig.nowNs += 10'000'000;
            return fs::file_size(path) >= 44 + 2 * (before + 30 * 44100);
        },
        std::chrono::seconds(5)));
    gapSoFar = (fs::file_size(path) - 44) / 2 - before;
    play(15);
    rig.recorder->stop();

    const Wav wav = readWav(path);
    ASSERT_TRUE(wav.opened);
    const double recorded = static_cast<double>(rig.nowNs) * 44100e-9;
    ASSERT_NEAR(static_cast<double>(wav.samples.size()), recorded, recorded * 0.001);
    const std::size_t gap = wav.samples.size() - rig.played.size();
    const auto at = wav.samples.begin() + static_cast<std::ptrdiff_t>(before);
    EXPECT_TRUE(std::equal(wav.samples.begin(), at, rig.played.begin()));
    EXPECT_TRUE(std::all_of(at, at + static_cast<std::ptrdiff_t>(gap),
                            [](std::int16_t s) { return s == 0; }));
    EXPECT_TRUE(std::equal(at + static_cast<std::ptrdiff_t>(gap), wav.samples.end(),
                           rig.played.begin() + static_cast<std::ptrdiff_t>(before)));
}

TEST_F(WavRecorderTest, PathThatCannotBeWrittenIsRefusedWithTheReason) {
    const struct {
        fs::path path;
        const char* reason;
    } cases[] = {
        {dir / "no-such-folder" / "take.wav", "No such file or directory"},
        {dir / "take.wav", "Is a directory"},
        {dir / "null.wav", "not a regular file"},
        {dir / "take.mp3", "unknown file type '.mp3'; name the file .wav, .flac or .ogg"},
        {dir / "take", "the name has no file type; name the file .wav, .flac or .ogg"},
    };
    fs::create_directory(dir / "take.wav");
    fs::create_symlink("/dev/null", dir / "null.wav");
    for (const auto& c : cases) {
        Rig rig;
        EXPECT_EQ(rig.recorder->start(c.path), c.reason) << c.path;
        EXPECT_FALSE(rig.recorder->isRecording());
        EXPECT_FALSE(rig.layer->keptRunning);
    }
    // Refused by its name before anything was created.
    EXPECT_FALSE(fs::exists(dir / "take.mp3"));
    EXPECT_FALSE(fs::exists(dir / "take"));
}

}  // namespace
}  // namespace scrivola
