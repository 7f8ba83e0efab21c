// Pressing and releasing the pen: which button acts, the amplitudes, the level
// and the decay timer.
#include <string>
#include <vector>

#include "gesture_fixture.h"

namespace scrivola::testing {
namespace {

TEST_F(GestureTest, LeftPressStartsStrokeSoundAndDecay) {
    sliders.decayStep.setValue(7);
    state.level = 42;

    press(120.5f, 300.25f);

    EXPECT_EQ(state.penDown, -1);
    EXPECT_EQ(state.amount, "7");
    EXPECT_EQ(timer2.calls, (std::vector<std::string>{"enabled=1", "interval=1"}));
    EXPECT_EQ(synth.ampA, 42);
    EXPECT_EQ(synth.ampB, 42);
    EXPECT_FLOAT_EQ(picdraw.currentX(), 120.5f);
    EXPECT_FLOAT_EQ(picdraw.currentY(), 300.25f);
    EXPECT_TRUE(picdraw.segments.empty()) << "a press draws nothing";
}

TEST_F(GestureTest, EveryLeftPressStoresAFreshAmount) {
    press(0, 0);
    release(0, 0);
    sliders.decayStep.setValue(10);
    press(0, 0);
    EXPECT_EQ(state.amount, "10");
}

class OtherButtonTest : public GestureTest, public ::testing::WithParamInterface<MouseButton> {};

TEST_P(OtherButtonTest, PressLeavesPenUpButMovesStillUpdateDisplays) {
    move(0, 0);  // both displays show the start-up position
    picdraw.setForeColor(kMagenta);
    press(3000, 1000, GetParam());
    move(3000, 1000, GetParam());

    EXPECT_EQ(state.penDown, 0);
    EXPECT_TRUE(timer2.calls.empty());
    EXPECT_EQ(state.amount, "");
    EXPECT_EQ(synth.ampA, 0);
    EXPECT_TRUE(picdraw.segments.empty());
    EXPECT_EQ(synth.tone, 0);
    EXPECT_EQ(synth.toneB, 0);
    EXPECT_EQ(switches.value(Check5), 0);
    EXPECT_EQ(text1.text(), "16711935");
    EXPECT_EQ(text1.writes, 2);
    EXPECT_EQ(label2.text(), "0") << "the drawing position did not follow the pointer";
    EXPECT_EQ(label2.writes, 2);
}

INSTANTIATE_TEST_SUITE_P(RightAndMiddle, OtherButtonTest,
                         ::testing::Values(RightButton, MiddleButton));

TEST_F(GestureTest, LeftReleaseLiftsPenSilencesAndReloadsLevel) {
    sliders.releaseLevel.setValue(37);
    press(10, 10);
    move(20, 20);
    release(20, 20);

    EXPECT_EQ(state.penDown, 0);
    EXPECT_EQ(synth.ampA, 0);
    EXPECT_EQ(synth.ampB, 0);
    EXPECT_EQ(state.level, 37);

    move(30, 30);
    EXPECT_EQ(picdraw.segments.size(), 1u) << "no drawing after the pen is lifted";
}

TEST_F(GestureTest, RightReleaseDuringLeftStrokeSilencesButStrokeGoesOn) {
    sliders.releaseLevel.setValue(55);
    press(10, 10);
    move(20, 20);
    release(20, 20, RightButton);

    EXPECT_EQ(state.penDown, -1);
    EXPECT_EQ(synth.ampA, 0);
    EXPECT_EQ(synth.ampB, 0);
    EXPECT_EQ(state.level, 55);

    move(4000, 40);
    ASSERT_EQ(picdraw.segments.size(), 2u);
    EXPECT_EQ(picdraw.segments[1], (Segment{20, 20, 4000, 40, kWhite}));
    EXPECT_EQ(synth.tone, 0);
}

TEST_F(GestureTest, ReleaseWithoutPressStillSilencesAndReloads) {
    synth.ampA = 12;
    synth.ampB = 34;
    release(0, 0, MiddleButton);
    EXPECT_EQ(synth.ampA, 0);
    EXPECT_EQ(synth.ampB, 0);
    EXPECT_EQ(state.level, 90);
    EXPECT_EQ(state.penDown, 0);
}

}  // namespace
}  // namespace scrivola::testing
