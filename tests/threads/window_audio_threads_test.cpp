// The window on its thread and the audio callback on its own, as in the
// program: ticks rewrite both loops while they play, gestures and commands
// change the state, a lost output is reopened from the window's timer, and
// closing the window releases the sound. Meant to run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "audio/device_sound_layer.h"
#include "audio/playback_counters.h"
#include "tests/threads/threaded_fake_device.h"
#include "tests/ui/scripted_message_box.h"
#include "ui/form1.h"

namespace scrivola {
namespace {

using testing::ThreadedFakeDevice;

struct Rig {
    Rig() {
        auto owned = std::make_unique<ThreadedFakeDevice>();
        device = owned.get();
        sound = std::make_unique<DeviceSoundLayer>(std::move(owned));
        sound->setObserver(&counters);
        window = std::make_unique<Form1>(*sound, messageBox);
    }
    // The window goes first: its timers tick into the sound layer.
    ~Rig() { window.reset(); }

    void start() {
        ASSERT_TRUE(window->Form_Load());
        window->show();
    }
    QPoint surface(int x, int y) const {
        return QPoint(PictureBox::kBorderPixels + x, PictureBox::kBorderPixels + y);
    }

    ThreadedFakeDevice* device = nullptr;
    PlaybackCounters counters;
    std::unique_ptr<DeviceSoundLayer> sound;
    ScriptedMessageBox messageBox;
    std::unique_ptr<Form1> window;
};

TEST(WindowAudioThreads, TheWindowRewritesTheLoopsWhileTheAudioThreadPlaysThem) {
    Rig rig;
    rig.start();
    PictureBox& picdraw = *rig.window->controls().picdraw;
    QTest::mouseClick(rig.window->controls().lblcolor[0], Qt::LeftButton);  // grey
    QTest::mousePress(&picdraw, Qt::LeftButton, Qt::NoModifier, rig.surface(100, 300));
    for (int step = 0; step < 40; ++step) {
        QTest::mouseMove(&picdraw, rig.surface(100 + 5 * step, 300 - 3 * step));
        QTest::qWait(10);
    }
    // Commands that change the loops' sound while it plays.
    rig.messageBox.answers = {kAnswerYes, kAnswerYes};
    QTest::mouseClick(rig.window->controls().cmdrst, Qt::LeftButton);
    QTest::mouseClick(rig.window->controls().cmdnew, Qt::LeftButton);
    QTest::mouseClick(rig.window->controls().Command2, Qt::LeftButton);
    QTest::mouseClick(&rig.window->controls().check(Check2), Qt::LeftButton);
    QTest::qWait(100);
    QTest::mouseRelease(&picdraw, Qt::LeftButton, Qt::NoModifier, rig.surface(300, 200));
    QTest::qWait(100);

    EXPECT_EQ(rig.messageBox.asked.size(), 2u);
    EXPECT_GT(rig.device->loudBlocks.load(), 0u) << "the pen's sound reached the audio thread";
    const PlaybackSnapshot seen = rig.counters.snapshot();
    EXPECT_GT(seen.slots[0].renderedWrite, 10u) << "many ticks' loops were played";
    EXPECT_GT(seen.slots[1].renderedWrite, 10u);
}

TEST(WindowAudioThreads, ALostOutputIsReopenedFromTheWindowWhileTicksGoOn) {
    Rig rig;
    rig.start();
    QTest::mousePress(rig.window->controls().picdraw, Qt::LeftButton, Qt::NoModifier,
                      rig.surface(150, 150));
    QTest::qWait(100);
    rig.device->fail();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.device->opens.load() >= 2; }, 5000));
    const std::uint64_t blocksAtReopen = rig.device->blocks.load();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return rig.device->blocks.load() > blocksAtReopen + 20; }, 5000));
    EXPECT_GE(rig.sound->recoveries(), 1u);
    EXPECT_TRUE(rig.window->Timer1().isTicking());
}

TEST(WindowAudioThreads, ClosingTheWindowStopsTheAudioThread) {
    Rig rig;
    rig.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.device->blocks.load() > 20; }, 5000));
    rig.window->close();
    EXPECT_FALSE(rig.device->isOpen());
    const std::uint64_t blocks = rig.device->blocks.load();
    QTest::qWait(50);
    EXPECT_EQ(rig.device->blocks.load(), blocks);
}

}  // namespace
}  // namespace scrivola
