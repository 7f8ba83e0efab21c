#include "synth/synth_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scrivola {
namespace {

// Records every change, in order: switches as "CheckN=v", the drawing as
// "clear", so the tests can check the order of a reset's steps.
struct Recorder : DrawingSurface {
    std::vector<std::string> log;
    void clear() override { log.push_back("clear"); }
    void watch(SwitchSet& switches) {
        for (int id = Check1; id <= Check12; ++id) {
            switches.at(static_cast<SwitchId>(id)).setListener([this, id](int v) {
                log.push_back("Check" + std::to_string(id) + "=" + std::to_string(v));
            });
        }
    }
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

TEST(SwitchSet, StartsAsLaidOut) {
    SwitchSet switches;
    for (int id = Check1; id <= Check12; ++id) {
        const int expected = (id == Check1 || id == Check7) ? 1 : 0;
        EXPECT_EQ(switches.value(static_cast<SwitchId>(id)), expected) << id;
    }
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
    EXPECT_EQ(sliders.VScroll1.value(), 90);
    EXPECT_EQ(sliders.Slider1.value(), 1);
    EXPECT_EQ(state.level, 100);
}

// For each reset: the switch values it leaves when every switch starts on,
// and when every switch starts off (-1 marks "unchanged").
void applyReset(const std::string& name, SynthState& state, SwitchSet& switches,
                DrawingSurface& surface) {
    if (name == "resetSynth")
        resetSynth(state, switches);
    if (name == "resetAll")
        resetAll(state, switches, surface);
    if (name == "resetVoiceA")
        resetVoiceA(switches);
    if (name == "resetVoiceB")
        resetVoiceB(switches);
}

struct ResetCase {
    const char* name;
    bool setsTexts;
    int check3;  // value after the reset from all-on (1 = left on)
    std::vector<std::string> orderFromAllOn;
};

TEST(Resets, TouchExactlyTheirItemsInOrder) {
    const ResetCase cases[] = {
        {"resetSynth",
         true,
         1,
         {"Check2=0", "Check4=0", "Check5=0", "Check6=0", "Check8=0", "Check9=0", "Check10=0",
          "Check11=0", "Check12=0"}},
        {"resetAll",
         true,
         0,
         {"clear", "Check3=0", "Check2=0", "Check4=0", "Check5=0", "Check6=0", "Check8=0",
          "Check9=0", "Check10=0", "Check11=0", "Check12=0"}},
        {"resetVoiceA",
         false,
         1,
         {"Check2=0", "Check4=0", "Check5=0", "Check6=0", "Check8=0", "Check9=0"}},
        {"resetVoiceB", false, 1, {"Check10=0", "Check11=0", "Check12=0"}},
    };
    for (const ResetCase& c : cases) {
        SCOPED_TRACE(c.name);
        SynthState state;
        fillTexts(state, "9");
        state.level = 33;
        state.penDown = -1;
        SwitchSet switches;
        setAllSwitches(switches, 1);
        Recorder recorder;
        recorder.watch(switches);
        applyReset(c.name, state, switches, recorder);

        EXPECT_EQ(recorder.log, c.orderFromAllOn);
        const std::string text = c.setsTexts ? "0" : "9";
        EXPECT_EQ(state.amsp, text);
        EXPECT_EQ(state.amsp2, text);
        EXPECT_EQ(state.fmsp, text);
        EXPECT_EQ(state.cut, text);
        EXPECT_EQ(state.cut2, text);
        EXPECT_EQ(state.amount, "9") << "no reset touches amount";
        EXPECT_EQ(state.level, 33) << "no reset touches level";
        EXPECT_EQ(state.penDown, -1);
        EXPECT_EQ(switches.value(Check3), c.check3);
    }
}

TEST(Resets, SwitchOnOrderFromAllOff) {
    struct Case {
        const char* name;
        std::vector<std::string> order;
    };
    const Case cases[] = {
        {"resetSynth", {"Check1=1", "Check7=1"}},
        {"resetVoiceA", {"Check1=1", "Check7=1"}},
        {"resetVoiceB", {"Check7=1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SynthState state;
        SwitchSet switches;
        setAllSwitches(switches, 0);
        Recorder recorder;
        recorder.watch(switches);
        applyReset(c.name, state, switches, recorder);
        EXPECT_EQ(recorder.log, c.order);
    }
}

TEST(Resets, VoiceResetsReachAcrossAsDesigned) {
    SwitchSet switches;
    switches.setValue(Check8, 1);
    resetVoiceB(switches);
    EXPECT_EQ(switches.value(Check8), 1) << "resetVoiceB leaves Check8";

    switches.setValue(Check10, 1);
    switches.setValue(Check7, 0);
    resetVoiceA(switches);
    EXPECT_EQ(switches.value(Check10), 1) << "resetVoiceA leaves Check10";
    EXPECT_EQ(switches.value(Check7), 1);
    EXPECT_EQ(switches.value(Check8), 0);
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
