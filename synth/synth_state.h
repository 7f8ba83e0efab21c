// The synthesizer's shared state: the parameter record owned by the window, the
// twelve waveform switches and the two sliders that the core reads, the
// module-level synthesis values of the wave-table tick, and the reset
// operations that the window's commands apply.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "synth/control_value.h"

namespace scrivola {

// Parameters held as decimal text and converted again at every use.
struct SynthState {
    std::string amsp;          // tremolo rate, both voices
    std::string fmsp;          // vibrato rate of voice A
    std::string amsp2;         // second tremolo rate, both voices
    std::string cut;           // cut of voice A (0 or less: no cut)
    std::string cut2;          // cut of voice B (0 or less: no cut)
    std::string amount;        // decay step of `level` per decay tick
    std::int16_t penDown = 0;  // -1 while the left button holds the pen down
    std::int16_t level = 0;    // loudness copied into both voices
};

// The parameter texts by what they set.
using ParameterText = std::string SynthState::*;
inline constexpr ParameterText kTremoloRate = &SynthState::amsp;
inline constexpr ParameterText kVibratoRate = &SynthState::fmsp;
inline constexpr ParameterText kSecondTremoloRate = &SynthState::amsp2;
inline constexpr ParameterText kVoiceACut = &SynthState::cut;
inline constexpr ParameterText kVoiceBCut = &SynthState::cut2;

// Switch numbers; the numbers are the check boxes' names, which the window
// keeps. Inside the core the switches go by what they do (below).
enum SwitchId : int {
    Check1 = 1,
    Check2,
    Check3,
    Check4,
    Check5,
    Check6,
    Check7,
    Check8,
    Check9,
    Check10,
    Check11,
    Check12,
};

// What each switch does. x is voice A's phase (angle times its pitch term),
// y voice B's. Each voice's shapes are listed in the order the tick tries
// them: of those on, the last one listed sets the sample.
inline constexpr SwitchId kVoiceASine = Check1;          // sin(x)
inline constexpr SwitchId kVoiceAPulse = Check6;         // floor(sin(x))
inline constexpr SwitchId kVoiceARipplePulse = Check2;   // floor(sin(x)) + tan(cos(x))
inline constexpr SwitchId kVoiceATanOfCos = Check5;      // tan(cos(x))
inline constexpr SwitchId kVoiceASteppedTan = Check4;    // tan(floor(x))
inline constexpr SwitchId kVoiceASteppedSine = Check9;   // sin(floor(x))
inline constexpr SwitchId kVoiceBSine = Check7;          // sin(y)
inline constexpr SwitchId kVoiceBSquare = Check8;        // cos(floor(y) * pi)
inline constexpr SwitchId kVoiceBSteppedSine = Check10;  // sin(floor(y)); also damps voice B
inline constexpr SwitchId kVoiceBTanOfCos = Check11;     // tan(cos(y))
inline constexpr SwitchId kVoiceBPulse = Check12;        // floor(cos(y))
// While on, the pen leaves both pitches as they are.
inline constexpr SwitchId kKeepTone = Check3;

// The twelve on/off switches (1 on, 0 off). The window's check boxes bind to
// these values.
class SwitchSet {
public:
    SwitchSet();

    int value(SwitchId id) const { return at(id).value(); }
    bool isOn(SwitchId id) const { return value(id) == 1; }
    void setValue(SwitchId id, int value) { at(id).setValue(value); }
    ControlValue& at(SwitchId id) { return switches_[static_cast<std::size_t>(id) - 1]; }
    const ControlValue& at(SwitchId id) const {
        return switches_[static_cast<std::size_t>(id) - 1];
    }

private:
    std::array<ControlValue, 12> switches_;
};

// The two sliders that the core reads (the window's `Slider1` and `VScroll1`).
struct Sliders {
    ControlValue decayStep{1, 1, 10};      // what `amount` takes at a pen press
    ControlValue releaseLevel{0, 0, 100};  // the `level` that a pen release restores
};

constexpr int kTableSize = 361;  // entries 0..360 of a wave table
using WaveTable = std::array<std::uint8_t, kTableSize>;

// Module-level synthesis values of the wave-table tick. One instance; all
// zero at program start.
struct modSynth_DX7 {
    WaveTable tableA{};  // voice A's wave, 128 the centre line
    WaveTable tableB{};  // voice B's wave
    std::int16_t sampleIndex = 0;
    float clockSeconds = 0.0f;  // the last clock reading
    float angle = 0.0f;         // the entry's angle in radians
    std::int32_t fmTerm = 0;    // voice A's pitch term, vibrato applied
    float sampleA = 0.0f;
    float sampleB = 0.0f;
    std::int16_t ampA = 0;   // voice A's amplitude
    std::int16_t ampB = 0;   // voice B's amplitude
    std::int16_t tone = 0;   // voice A's pitch, set by the pen
    std::int16_t toneB = 0;  // voice B's pitch term
    std::int16_t peakA = 0;  // voice A's highest sample of the tick
    std::int16_t peakB = 0;
    // The last values read from the parameter texts: a text that does not
    // convert leaves its copy as it was.
    std::int16_t fmspInt = 0;   // vibrato rate
    std::int16_t amspInt = 0;   // tremolo rate
    std::int16_t amsp2Int = 0;  // second tremolo rate
    std::int16_t cutInt = 0;    // voice A's cut
    std::int16_t cut2Int = 0;   // voice B's cut
};

// What the core needs of the drawing surface: clearing it to its background,
// which also moves the current drawing position to (0, 0).
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;
    virtual void clear() = 0;
};

// Start-up values, in order: both amplitudes 0; the five texts "0"; KEEP TONE
// off; `releaseLevel` at 90; `level` 100.
void applyStartupValues(SynthState& state, modSynth_DX7& synth, SwitchSet& switches,
                        Sliders& sliders);

// Texts to "0" and each voice's plain sine alone. Leaves the drawing and KEEP
// TONE.
void resetSynth(SynthState& state, SwitchSet& switches);

// Clears the drawing first, then as resetSynth, and also turns KEEP TONE off.
void resetAll(SynthState& state, SwitchSet& switches, DrawingSurface& surface);

// Voice A's shapes off and its sine on; also voice B's sine on and its square
// wave off.
void resetVoiceA(SwitchSet& switches);

// Voice B's sine on and its stepped sine, tangent-of-cosine and pulse waves
// off; its square wave is left as it is.
void resetVoiceB(SwitchSet& switches);

}  // namespace scrivola
