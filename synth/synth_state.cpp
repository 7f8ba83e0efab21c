#include "synth/synth_state.h"

namespace scrivola {

SwitchSet::SwitchSet()
    : switches_{{
          {1, 0, 1},  // Check1: on as laid out
          {0, 0, 1},
          {0, 0, 1},
          {0, 0, 1},
          {0, 0, 1},
          {0, 0, 1},
          {1, 0, 1},  // Check7: on as laid out
          {0, 0, 1},
          {0, 0, 1},
          {0, 0, 1},
          {0, 0, 1},
          {0, 0, 1},
      }} {}

namespace {

const std::string kZeroText = "0";

void zeroParameterTexts(SynthState& state) {
    state.amsp = kZeroText;
    state.amsp2 = kZeroText;
    state.fmsp = kZeroText;
    state.cut = kZeroText;
    state.cut2 = kZeroText;
}

// The switch part shared by resetSynth and resetAll, in the switches' order.
void plainSineOnly(SwitchSet& switches) {
    switches.setValue(Check1, 1);
    switches.setValue(Check2, 0);
    switches.setValue(Check7, 1);
    switches.setValue(Check4, 0);
    switches.setValue(Check5, 0);
    switches.setValue(Check6, 0);
    switches.setValue(Check8, 0);
    switches.setValue(Check9, 0);
    switches.setValue(Check10, 0);
    switches.setValue(Check11, 0);
    switches.setValue(Check12, 0);
}

}  // namespace

void applyStartupValues(SynthState& state, modSynth_DX7& synth, SwitchSet& switches,
                        Sliders& sliders) {
    synth.ampA = 0;
    synth.ampB = 0;
    zeroParameterTexts(state);
    switches.setValue(Check3, 0);
    sliders.VScroll1.setValue(90);
    state.level = 100;
}

void resetSynth(SynthState& state, SwitchSet& switches) {
    zeroParameterTexts(state);
    plainSineOnly(switches);
}

void resetAll(SynthState& state, SwitchSet& switches, DrawingSurface& surface) {
    surface.clear();
    zeroParameterTexts(state);
    switches.setValue(Check3, 0);
    plainSineOnly(switches);
}

void resetVoiceA(SwitchSet& switches) {
    switches.setValue(Check1, 1);
    switches.setValue(Check2, 0);
    switches.setValue(Check7, 1);
    switches.setValue(Check4, 0);
    switches.setValue(Check5, 0);
    switches.setValue(Check6, 0);
    switches.setValue(Check8, 0);
    switches.setValue(Check9, 0);
}

void resetVoiceB(SwitchSet& switches) {
    switches.setValue(Check7, 1);
    switches.setValue(Check10, 0);
    switches.setValue(Check11, 0);
    switches.setValue(Check12, 0);
}

}  // namespace scrivola
