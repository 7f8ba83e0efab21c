#include "synth/synth_state.h"

namespace scrivola {

SwitchSet::SwitchSet()
    : switches_{{
          {1, 0, 1},  // kVoiceASine: on as laid out
          {0, 0, 1},
          {0, 0, 1},
          {0, 0, 1},
          {0, 0, 1},
          {0, 0, 1},
          {1, 0, 1},  // kVoiceBSine: on as laid out
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

// The switch part shared by resetSynth and resetAll: voice A's reset, then
// voice B's remaining shapes off.
void plainSineOnly(SwitchSet& switches) {
    resetVoiceA(switches);
    switches.setValue(kVoiceBSteppedSine, 0);
    switches.setValue(kVoiceBTanOfCos, 0);
    switches.setValue(kVoiceBPulse, 0);
}

}  // namespace

void applyStartupValues(SynthState& state, modSynth_DX7& synth, SwitchSet& switches,
                        Sliders& sliders) {
    synth.ampA = 0;
    synth.ampB = 0;
    zeroParameterTexts(state);
    switches.setValue(kKeepTone, 0);
    sliders.releaseLevel.setValue(90);
    state.level = 100;
}

void resetSynth(SynthState& state, SwitchSet& switches) {
    zeroParameterTexts(state);
    plainSineOnly(switches);
}

void resetAll(SynthState& state, SwitchSet& switches, DrawingSurface& surface) {
    surface.clear();
    zeroParameterTexts(state);
    switches.setValue(kKeepTone, 0);
    plainSineOnly(switches);
}

void resetVoiceA(SwitchSet& switches) {
    switches.setValue(kVoiceASine, 1);
    switches.setValue(kVoiceARipplePulse, 0);
    switches.setValue(kVoiceBSine, 1);
    switches.setValue(kVoiceASteppedTan, 0);
    switches.setValue(kVoiceATanOfCos, 0);
    switches.setValue(kVoiceAPulse, 0);
    switches.setValue(kVoiceBSquare, 0);
    switches.setValue(kVoiceASteppedSine, 0);
}

void resetVoiceB(SwitchSet& switches) {
    switches.setValue(kVoiceBSine, 1);
    switches.setValue(kVoiceBSteppedSine, 0);
    switches.setValue(kVoiceBTanOfCos, 0);
    switches.setValue(kVoiceBPulse, 0);
}

}  // namespace scrivola
