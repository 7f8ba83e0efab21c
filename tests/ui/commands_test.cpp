// The commands of the buttons and menus: which ask first, what they ask, and
// that each changes exactly what it should, and only on Yes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTest>
#include <cstdio>

#include "audio/silent_sound_layer.h"
#include "form_snapshot.h"
#include "recording_sound_layer.h"
#include "scripted_message_box.h"
#include "ui/form1.h"

namespace scrivola {
namespace {

bool isBlank(const QImage& image) {
    QImage blank = image;
    blank.fill(qRgb(0, 0, 0));
    return image == blank;
}

// A window after some playing: a red stroke on the surface, every parameter
// text set, KEEP TONE and several shapes of both voices on, sliders moved.
// Its timers are stopped so that no tick changes anything between two
// snapshots.
struct PlayedWindow {
    PlayedWindow() {
        EXPECT_TRUE(form.Form_Load());
        form.lblcolor_Click(4);  // red
        form.picdraw_MouseDown(LeftButton, 0, 600, 900);
        form.picdraw_MouseMove(LeftButton, 0, 2400, 3000);
        form.picdraw_MouseUp(LeftButton, 0, 2400, 3000);
        form.Timer1().setEnabled(false);
        form.Timer2().setEnabled(false);
        SynthState& st = form.state();
        st.amsp = "12";
        st.fmsp = "-3";
        st.amsp2 = "7";
        st.cut2 = "40";
        for (SwitchId id :
             {Check2, Check3, Check4, Check5, Check6, Check8, Check9, Check10, Check11, Check12}) {
            form.switches().setValue(id, 1);
        }
        form.switches().setValue(Check1, 0);
        form.switches().setValue(Check7, 0);
        form.sliders().releaseLevel.setValue(60);
        form.sliders().decayStep.setValue(3);
        form.state().level = 77;
        before = snapshotOf(form);
        EXPECT_EQ(before.texts[3], "600");  // the stroke set cut
        EXPECT_FALSE(isBlank(before.drawing));
    }

    std::size_t asked() const { return box.asked.size(); }

    RecordingSoundLayer sound;
    ScriptedMessageBox box;
    Form1 form{sound, box};
    FormSnapshot before;
};

class PlayedForm : public ::testing::Test, public PlayedWindow {};

void clearDrawing(FormSnapshot& s) {
    s.drawing.fill(qRgb(0, 0, 0));
    s.currentX = 0;
    s.currentY = 0;
}

void setSwitches(FormSnapshot& s, std::initializer_list<std::pair<SwitchId, int>> values) {
    for (const auto& [id, value] : values) {
        s.switches[static_cast<std::size_t>(id)] = value;
        s.boxesChecked[static_cast<std::size_t>(id)] = value == 1;
    }
}

// Texts "0" and the plain sine alone for each voice; KEEP TONE as it was.
void resetSynthEffect(FormSnapshot& s) {
    for (int i = 0; i < 5; ++i) {
        s.texts[static_cast<std::size_t>(i)] = "0";
    }
    setSwitches(s, {{Check1, 1},
                    {Check2, 0},
                    {Check4, 0},
                    {Check5, 0},
                    {Check6, 0},
                    {Check7, 1},
                    {Check8, 0},
                    {Check9, 0},
                    {Check10, 0},
                    {Check11, 0},
                    {Check12, 0}});
}

void resetAllEffect(FormSnapshot& s) {
    clearDrawing(s);
    resetSynthEffect(s);
    setSwitches(s, {{Check3, 0}});
}

struct AskingCommand {
    const char* name;
    void (Form1::*handler)();
    const char* prompt;
    const char* title;
    int style;
    void (*effect)(FormSnapshot&);
};

const AskingCommand kAskingCommands[] = {
    {"cmdnew_Click", &Form1::cmdnew_Click, "New Drawing?", "New Drawing", 36, clearDrawing},
    {"mnunew_Click", &Form1::mnunew_Click, "New Drawing?", "New Drawing", 36, clearDrawing},
    {"cmdrst_Click", &Form1::cmdrst_Click, "RESET the Synth?", "RESET", 36, resetSynthEffect},
    {"mnureset_Click", &Form1::mnureset_Click, "RESET the Synth?", "RESET", 36, resetSynthEffect},
};

TEST_F(PlayedForm, AskingCommandsChangeNothingUnlessTheAnswerIsYes) {
    for (const AskingCommand& command : kAskingCommands) {
        for (int answer : {kAnswerNo, 0, 1, 2}) {  // No, none, OK, Cancel
            SCOPED_TRACE(std::string(command.name) + " answered " + std::to_string(answer));
            box.asked.clear();
            box.answers = {answer};
            (form.*command.handler)();
            ASSERT_EQ(asked(), 1u);
            EXPECT_EQ(box.asked[0].prompt, command.prompt);
            EXPECT_EQ(box.asked[0].title, command.title);
            EXPECT_EQ(box.asked[0].style, command.style);
            expectSame(snapshotOf(form), before);
        }
    }
}

TEST(AskingCommandTest, YesDoesExactlyTheCommandsEffect) {
    for (const AskingCommand& command : kAskingCommands) {
        SCOPED_TRACE(command.name);
        // A fresh played window for each, so the effects do not mix.
        PlayedWindow played;
        played.box.answers = {kAnswerYes};
        (played.form.*command.handler)();
        EXPECT_EQ(played.asked(), 1u);
        FormSnapshot expected = played.before;
        command.effect(expected);
        expectSame(snapshotOf(played.form), expected);
        EXPECT_EQ(played.sound.releases, 0);
    }
}

TEST_F(PlayedForm, ExitAnsweredNoLeavesTheProgramAndItsSoundRunning) {
    form.show();
    before = snapshotOf(form);
    box.answers = {kAnswerNo};
    form.cmdexit_Click();
    ASSERT_EQ(asked(), 1u);
    EXPECT_EQ(box.asked[0].prompt, "Exit Scrivola Synth?");
    EXPECT_EQ(box.asked[0].title, "Exit Scrivola");
    EXPECT_EQ(box.asked[0].style, 276);
    expectSame(snapshotOf(form), before);
    EXPECT_EQ(sound.releases, 0);
    EXPECT_TRUE(form.soundWatch().isActive());
}

// A sound layer that says so on stderr when it is released.
class LoudReleaseSoundLayer final : public SilentSoundLayer {
public:
    void releaseSound() override { std::fputs("sound released\n", stderr); }
};

TEST(ExitCommandDeathTest, YesEndsTheProgramAtOnceWithStatusZeroAndNoRelease) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            LoudReleaseSoundLayer sound;
            ScriptedMessageBox box;
            box.answers = {kAnswerYes};
            Form1 form(sound, box);
            form.Form_Load();
            form.show();
            form.cmdexit_Click();
            std::fputs("cmdexit_Click returned\n", stderr);
        },
        ::testing::ExitedWithCode(0),
        ::testing::Not(::testing::ContainsRegex("sound released|cmdexit_Click returned")));
}

TEST_F(PlayedForm, ResetAllAndItsMenuTwinNeverAskAndDoTheSame) {
    FormSnapshot expected = before;
    resetAllEffect(expected);
    form.Command1_Click();
    expectSame(snapshotOf(form), expected);

    PlayedWindow twin;
    twin.form.mnuresetall_Click();
    expectSame(snapshotOf(twin.form), expected);
    EXPECT_EQ(asked() + twin.asked(), 0u);
}

TEST_F(PlayedForm, TheTwoZeroButtonsResetDifferentVoices) {
    // cmdsin1 resets voice B: its sine on, its shapes off, Check8 left on.
    FormSnapshot voiceB = before;
    setSwitches(voiceB, {{Check7, 1}, {Check10, 0}, {Check11, 0}, {Check12, 0}});
    form.cmdsin1_Click();
    expectSame(snapshotOf(form), voiceB);

    // Command2 resets voice A, and also voice B's sine on and Check8 off;
    // Check10..Check12 stay as they are.
    form.switches().setValue(Check10, 1);
    const FormSnapshot beforeA = snapshotOf(form);
    FormSnapshot voiceA = beforeA;
    setSwitches(voiceA, {{Check1, 1},
                         {Check2, 0},
                         {Check4, 0},
                         {Check5, 0},
                         {Check6, 0},
                         {Check7, 1},
                         {Check8, 0},
                         {Check9, 0}});
    form.Command2_Click();
    expectSame(snapshotOf(form), voiceA);
    EXPECT_EQ(asked(), 0u);
}

TEST_F(PlayedForm, KeepToneAndChangeToneSetTheSwitchHoweverOftenChosen) {
    ASSERT_EQ(form.switches().value(Check3), 1);
    FormSnapshot off = before;
    setSwitches(off, {{Check3, 0}});
    for (int round = 0; round < 2; ++round) {
        form.mnuchngtone_Click();
        expectSame(snapshotOf(form), off);
    }
    for (int round = 0; round < 2; ++round) {
        form.mnukeeptone_Click();
        expectSame(snapshotOf(form), before);
    }
    EXPECT_EQ(asked(), 0u);
}

TEST_F(PlayedForm, InfoAndAboutDoNothing) {
    for (const char* name : {"mnuinfo", "mnuabout"}) {
        form.menuBar()->findChild<QAction*>(QString::fromLatin1(name))->trigger();
    }
    expectSame(snapshotOf(form), before);
    EXPECT_EQ(asked(), 0u);
}

TEST_F(PlayedForm, ClicksOnTheButtonsReachTheirCommands) {
    form.show();
    before = snapshotOf(form);
    // The asking buttons: the question shows which command was reached.
    const std::pair<QAbstractButton*, const char*> asking[] = {
        {form.controls().cmdnew, "New Drawing?"},
        {form.controls().cmdrst, "RESET the Synth?"},
        {form.controls().cmdexit, "Exit Scrivola Synth?"},
    };
    for (const auto& [button, prompt] : asking) {
        box.asked.clear();
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(asked(), 1u) << prompt;
        EXPECT_EQ(box.asked[0].prompt, prompt);
    }
    expectSame(snapshotOf(form), before);  // all answered No

    box.asked.clear();
    QTest::mouseClick(form.controls().cmdsin1, Qt::LeftButton);
    EXPECT_EQ(form.switches().value(Check10), 0);
    EXPECT_EQ(form.switches().value(Check8), 1);
    QTest::mouseClick(form.controls().Command2, Qt::LeftButton);
    EXPECT_EQ(form.switches().value(Check8), 0);
    EXPECT_EQ(form.switches().value(Check3), 1);
    QTest::mouseClick(form.controls().Command1, Qt::LeftButton);
    EXPECT_EQ(form.switches().value(Check3), 0);
    EXPECT_TRUE(isBlank(form.controls().picdraw->image()));
    EXPECT_EQ(asked(), 0u);
}

}  // namespace
}  // namespace scrivola
