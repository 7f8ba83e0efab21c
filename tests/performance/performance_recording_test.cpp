// A session played on the real window while it records a performance: the
// file, replayed on the synthesizer core alone and in another window, gives
// the very tables the window computed, tick by tick, and the same drawing.
#include "ui/performance_recording.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "audio/silent_sound_layer.h"
#include "performance/core_performance.h"
#include "performance/performance_reader.h"
#include "ui/form1.h"
#include "ui/performance_replay.h"

namespace scrivola {
namespace {

struct TableLog final : WaveTableWriter {
    std::vector<WaveTable> tables;
    bool writeWaveTable(std::int16_t, const WaveTable& table) override {
        tables.push_back(table);
        return true;
    }
};

// The window's sound: every table it writes, whichever timer's tick wrote it.
struct LoggingSoundLayer final : SilentSoundLayer {
    std::vector<WaveTable> tables;
    bool writeWaveTable(std::int16_t, const WaveTable& table) override {
        tables.push_back(table);
        return true;
    }
};

TEST(PerformanceRecording, TheFileReplaysToTheTablesTheWindowComputed) {
    LoggingSoundLayer sound;
    Form1 form(sound);
    ASSERT_TRUE(form.Form_Load());
    form.show();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("take.scrivola"));
    PerformanceRecording& recording = form.performanceRecording();
    EXPECT_EQ(recording.action()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+R")));

    // Some sound before the recording starts: it begins from there.
    form.lblcolor_Click(4);
    form.picdraw_MouseDown(1, 0, 1500, 1500);
    form.picdraw_MouseMove(1, 0, 2500, 1800);
    form.Timer1_Timer();
    ASSERT_TRUE(recording.start(path));
    sound.tables.clear();
    EXPECT_EQ(recording.action()->text(), QStringLiteral("Stop Recording Per&formance"));

    const auto tick = [&] { form.Timer1_Timer(); };
    tick();
    form.Timer2_Timer();
    for (int swatch = 0; swatch < 8; ++swatch) {
        form.lblcolor_Click(static_cast<std::int16_t>(swatch));
        form.picdraw_MouseMove(1, 0, 600.0f + 800.0f * swatch, 2000.0f + 150.0f * swatch);
        tick();
        form.Timer2_Timer();
        form.picdraw_MouseMove(1, 1, 900.0f + 800.0f * swatch, 1200.0f);
        QTest::qWait(20);  // the clock moves, and the window's timers tick too
        tick();
    }
    form.controls().VScroll1->setValue(40);
    QTest::mouseClick(&form.controls().check(kKeepTone), Qt::LeftButton);
    form.picdraw_MouseUp(1, 0, 0, 0);
    tick();
    form.picdraw_MouseDown(1, 0, 3000, 3000);
    form.picdraw_MouseMove(1, 0, 3100, 2500);
    tick();
    form.Command1_Click();
    form.cmdsin1_Click();
    form.mnukeeptone_Click();
    tick();
    form.Form_Unload();
    const std::vector<WaveTable> live = sound.tables;  // the window's timers tick on
    EXPECT_FALSE(recording.isRecording());
    EXPECT_EQ(recording.action()->text(), QStringLiteral("Record Per&formance..."));

    ASSERT_FALSE(checkPerformanceFile(QFile::encodeName(path)).has_value());
    PerformanceReader reader;
    ASSERT_TRUE(reader.open(QFile::encodeName(path)));
    TableLog replayed;
    CorePerformance core(replayed);
    core.start(reader.startingState());
    PerformanceEvent event;
    while (reader.next(event)) {
        deliverEvent(event, reader.startingState().clock, core);
    }
    ASSERT_FALSE(reader.failed()) << reader.error().message().toStdString();
    ASSERT_GT(live.size(), 40u);
    ASSERT_EQ(replayed.tables.size(), live.size());
    for (std::size_t i = 0; i < live.size(); ++i) {
        EXPECT_EQ(replayed.tables[i], live[i]) << "table " << i;
    }
    EXPECT_EQ(core.state().level, form.state().level);
    EXPECT_EQ(core.synth().tone, form.synth().tone);

    // Replayed in another window: the same tables, the same drawing.
    LoggingSoundLayer replaySound;
    Form1 replay(replaySound);
    ASSERT_TRUE(replay.Form_Load());
    replay.show();
    PerformanceReplay& player = replay.performanceReplay();
    EXPECT_EQ(player.action()->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    ASSERT_TRUE(player.play(QFile::encodeName(path)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player.isPlaying(); }, 10'000));
    // The window's own timers tick before the replay starts, and may tick
    // once more between its end and this look: the replay's tables come in
    // one run between those.
    EXPECT_NE(
        std::search(replaySound.tables.begin(), replaySound.tables.end(), live.begin(), live.end()),
        replaySound.tables.end());
    EXPECT_EQ(replay.controls().picdraw->image(), form.controls().picdraw->image());
    EXPECT_EQ(replay.controls().VScroll1->value(), 40);
}

TEST(PerformanceReplay, ABadFileIsRefusedWithItsLineAndChangesNothing) {
    LoggingSoundLayer sound;
    Form1 form(sound);
    ASSERT_TRUE(form.Form_Load());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.scrivola"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "{\"format\":\"scrivola-performance\",\"version\":1}\n"
        "{\"k\":\"state\",\"level\":7}\n{\"k\":\"swatch\",\"t\":0,\"i\":9}\n");
    file.close();
    QStringList notices;
    form.performanceReplay().setNotice(
        [&](const QString&, const QString& text) { notices << text; });
    EXPECT_FALSE(form.performanceReplay().play(QFile::encodeName(path)));
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].startsWith(path + QStringLiteral(", line 3: \"i\"")))
        << notices[0].toStdString();
    EXPECT_EQ(form.state().level, 100);
    EXPECT_FALSE(form.performanceReplay().isPlaying());
}

}  // namespace
}  // namespace scrivola
