// A PenGestures wired to the synth state at its start-up values and to fakes
// of the window's controls.
#pragma once

#include <gtest/gtest.h>

#include "canvas/pen_gestures.h"
#include "canvas/standard_palette.h"
#include "canvas_fakes.h"
#include "synth/synth_state.h"

namespace scrivola::testing {

class GestureTest : public ::testing::Test {
protected:
    GestureTest() { applyStartupValues(state, synth, switches, sliders); }

    void press(float x, float y, MouseButton button = LeftButton) {
        gestures.press(button, 0, x, y);
    }
    void move(float x, float y, MouseButton button = LeftButton) { gestures.move(button, 0, x, y); }
    void release(float x, float y, MouseButton button = LeftButton) {
        gestures.release(button, 0, x, y);
    }
    // A left press at the origin followed by one move to (x, y).
    void strokeTo(ColorValue colour, float x, float y) {
        picdraw.setForeColor(colour);
        press(0, 0);
        move(x, y);
    }

    SynthState state;
    modSynth_DX7 synth;
    SwitchSet switches;
    Sliders sliders;
    FakeSurface picdraw;
    FakeText text1;
    FakeText label2;
    FakeTimer timer2;
    PenGestures gestures{GestureTargets{
        .state = state,
        .synth = synth,
        .switches = switches,
        .sliders = sliders,
        .surface = picdraw,
        .penColourText = text1,
        .penYText = label2,
        .decayTimer = timer2,
    }};
};

}  // namespace scrivola::testing
