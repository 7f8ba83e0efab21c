#include "synth/synth_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scrivola {
namespace {

// A drawing surface that counts how often it was cleared.
struct CountingSurface : DrawingSurface {
    int clears = 0;
    void clear() override { ++clears; }
};

void setAllSwitches(SwitchSet& switches, int value) {
    for (int id = Check1; id <= Check12; ++id) {
        switches.setValue(static_cast<SwitchId>(id), value);
    }
}

void fillTexts(SynthState& state, const std::string& text) {
    state.amsp = state.fmsp = state.amsp2 = state.cut = state.cut2 = text;
    state.amount = text;
}

TEST(SynthState, StartupValues) {
    SynthState state;
    modSynth_DX7 synth;
    SwitchSet switches;
    Sliders sliders;
    synth.ampA = 50;
    synth.ampB = 60;
    switches.setValue(Check3, 1);
    switches.setValue(Check5, 1);
    applyStartupValues(state, synth, switches, sliders);
    EXPECT_EQ(synth.ampA, 0);
    EXPECT_EQ(synth.ampB, 0);
    for (const std::string* text :
         {&state.amsp, &state.amsp2, &state.fmsp, &state.cut, &state.cut2}) {
        EXPECT_EQ(*text, "0");
    }
    EXPECT_EQ(state.amount, "");
    EXPECT_EQ(switches.value(Check3), 0);
    EXPECT_EQ(switches.value(Check5), 1) << "start-up leaves the waveform switches";
    EXPECT_EQ(sliders.releaseLevel.value(), 90);
    EXPECT_EQ(sliders.decayStep.value(), 1);
    EXPECT_EQ(state.level, 100);
}

std::vector<int> switchesOn(const SwitchSet& switches) {
    std::vector<int> on;
    for (int id = Check1; id <= Check12; ++id) {
        if (switches.isOn(static_cast<SwitchId>(id))) {
            on.push_back(id);
        }
    }
    return on;
}

// What each reset leaves, from every switch on and from every switch off.
TEST(Resets, LeaveTheirSwitchesTextsAndDrawing) {
    struct Case {
        const char* name;
        void (*apply)(SynthState&, SwitchSet&, DrawingSurface&);
        std::vector<int> onFromAllOn;
        std::vector<int> onFromAllOff;
        bool zeroesTexts;
        bool clearsDrawing;
    };
    const Case cases[] = {
        {"resetSynth",
         [](SynthState& st, SwitchSet& sw, DrawingSurface&) { resetSynth(st, sw); },
         {1, 3, 7},
         {1, 7},
         true,
         false},
        {"resetAll",
         [](SynthState& st, SwitchSet& sw, DrawingSurface& d) { resetAll(st, sw, d); },
         {1, 7},
         {1, 7},
         true,
         true},
        {"resetVoiceA",
         [](SynthState&, SwitchSet& sw, DrawingSurface&) { resetVoiceA(sw); },
         {1, 3, 7, 10, 11, 12},
         {1, 7},
         false,
         false},
        {"resetVoiceB",
         [](SynthState&, SwitchSet& sw, DrawingSurface&) { resetVoiceB(sw); },
         {1, 2, 3, 4, 5, 6, 7, 8, 9},
         {7},
         false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const int from : {1, 0}) {
            SynthState state;
            fillTexts(state, "9");
            state.level = 33;
            state.penDown = -1;
            SwitchSet switches;
            setAllSwitches(switches, from);
            CountingSurface surface;
            c.apply(state, switches, surface);

            EXPECT_EQ(switchesOn(switches), from == 1 ? c.onFromAllOn : c.onFromAllOff);
            const std::string text = c.zeroesTexts ? "0" : "9";
            for (const std::string* t :
                 {&state.amsp, &state.amsp2, &state.fmsp, &state.cut, &state.cut2}) {
                EXPECT_EQ(*t, text);
            }
            EXPECT_EQ(state.amount, "9") << "no reset touches amount";
            EXPECT_EQ(state.level, 33) << "no reset touches level";
            EXPECT_EQ(state.penDown, -1);
            EXPECT_EQ(surface.clears, c.clearsDrawing ? 1 : 0);
        }
    }
}

TEST(ControlValue, KeepsWithinRangeAndNotifiesOnlyOnChange) {
    ControlValue slider(0, 0, 100);
    int notified = 0;
    slider.setListener([&](int) { ++notified; });
    slider.setValue(150);
    EXPECT_EQ(slider.value(), 100);
    slider.setValue(100);
    slider.setValue(-5);
    EXPECT_EQ(slider.value(), 0);
    EXPECT_EQ(notified, 2);
}

}  // namespace
}  // namespace scrivola
