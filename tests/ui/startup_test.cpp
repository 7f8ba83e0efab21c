// Start-up and shut-down of the window: the state it starts in, what happens
// without a sound device, and the watch that brings a lost output back.
#include "ui/startup.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <sstream>

#include "recording_sound_layer.h"
#include "scripted_message_box.h"
#include "ui/form1.h"

namespace scrivola {
namespace {

QRgb shownColour(QWidget& widget) {
    return widget.grab().toImage().pixel(widget.width() / 2, widget.height() / 2);
}

TEST(StartWindowTest, StartsEverythingAtItsStartingValuesAndShowsTheWindow) {
    RecordingSoundLayer sound;
    ScriptedMessageBox box;
    Form1 form(sound, box);
    std::ostringstream errors;
    ASSERT_TRUE(startWindow(form, errors));
    EXPECT_TRUE(errors.str().empty());
    EXPECT_TRUE(form.isVisible());

    EXPECT_EQ(sound.opens, 1);
    EXPECT_EQ(sound.plays, (std::vector<std::pair<int, bool>>{{0, true}, {1, true}}));
    // Swatch i shows entry i + 8 of the standard palette.
    const QRgb expected[] = {qRgb(128, 128, 128), qRgb(0, 0, 255),    qRgb(0, 255, 0),
                             qRgb(0, 255, 255),   qRgb(255, 0, 0),    qRgb(255, 0, 255),
                             qRgb(255, 255, 0),   qRgb(255, 255, 255)};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(shownColour(*form.controls().lblcolor[static_cast<std::size_t>(i)]), expected[i])
            << "swatch " << i;
    }
    QImage black = form.controls().picdraw->image();
    black.fill(qRgb(0, 0, 0));
    EXPECT_TRUE(form.controls().picdraw->image() == black);
    EXPECT_EQ(shownColour(*form.controls().picdraw), qRgb(0, 0, 0));
    EXPECT_EQ(form.picdrawSurface().foreColor(), 0xFFFFFFu);

    const SynthState& st = form.state();
    for (const std::string* text : {&st.amsp, &st.amsp2, &st.fmsp, &st.cut, &st.cut2}) {
        EXPECT_EQ(*text, "0");
    }
    EXPECT_EQ(st.amount, "");
    EXPECT_EQ(st.level, 100);
    EXPECT_EQ(form.synth().ampA, 0);
    EXPECT_EQ(form.synth().ampB, 0);
    EXPECT_FALSE(form.controls().check(Check3).isChecked());
    EXPECT_EQ(form.controls().VScroll1->value(), 90);
    EXPECT_TRUE(box.asked.empty());
}

TEST(StartWindowTest, WithoutSoundTheWindowStaysHiddenAndOneLineSaysWhy) {
    struct Case {
        bool opens;
        bool plays;
        const char* why;
    };
    for (const Case c : {Case{false, true, "no reason given"},
                         Case{true, false, "sound buffer 0 would not start playing"}}) {
        SCOPED_TRACE(c.why);
        RecordingSoundLayer sound;
        sound.openResult = c.opens;
        sound.playResult = c.plays;
        ScriptedMessageBox box;
        Form1 form(sound, box);
        std::ostringstream errors;
        EXPECT_FALSE(startWindow(form, errors));
        EXPECT_FALSE(form.isVisible());
        EXPECT_TRUE(box.asked.empty());
        EXPECT_EQ(errors.str(),
                  std::string("scrivola-synth: no audio output could be opened: ") + c.why + "\n");
        // The start-up values were not applied.
        EXPECT_EQ(form.state().level, 0);
        EXPECT_EQ(form.state().amsp, "");
        EXPECT_FALSE(form.soundWatch().isActive());
    }
}

TEST(NoAudioOutputMessageTest, GivesTheReasonOnOneLine) {
    const struct {
        const char* reason;
        const char* expected;
    } cases[] = {
        {"PulseAudio: connection refused; ALSA default device: no output device",
         "scrivola-synth: no audio output could be opened: PulseAudio: connection refused; ALSA "
         "default device: no output device"},
        {"first\nsecond\r\nthird",
         "scrivola-synth: no audio output could be opened: first "
         "second  third"},
        {"", "scrivola-synth: no audio output could be opened: no reason given"},
        {"\n", "scrivola-synth: no audio output could be opened: no reason given"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(noAudioOutputMessage(c.reason), c.expected);
    }
}

// Runs the event loop until `done` holds or a generous time has passed.
template <typename Condition>
bool waitFor(Condition done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 10'000) {
        QTest::qWait(20);
    }
    return done();
}

TEST(SoundWatchTest, ChecksTheOutputOnlyWhileTheSoundIsOpen) {
    RecordingSoundLayer sound;
    ScriptedMessageBox box;
    Form1 form(sound, box);
    EXPECT_FALSE(form.soundWatch().isActive());
    ASSERT_TRUE(form.Form_Load());
    EXPECT_TRUE(form.soundWatch().isActive());
    EXPECT_EQ(form.soundWatch().interval(), Form1::kSoundWatchIntervalMs);
    EXPECT_TRUE(waitFor([&] { return sound.recoverCalls >= 2; }));

    form.show();
    form.close();
    EXPECT_EQ(sound.releases, 1);
    EXPECT_FALSE(form.soundWatch().isActive());
    const int callsAtClose = sound.recoverCalls;
    QTest::qWait(3 * Form1::kSoundWatchIntervalMs);
    EXPECT_EQ(sound.recoverCalls, callsAtClose);
    EXPECT_TRUE(box.asked.empty());
}

}  // namespace
}  // namespace scrivola
