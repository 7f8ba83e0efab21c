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
    std::string amsp;          // amplitude-modulation rate, both voices
    std::string fmsp;          // frequency-modulation rate of voice A
    std::string amsp2;         // second amplitude-modulation rate, both voices
    std::string cut;           // cut amount of voice A (0 or less: no cut)
    std::string cut2;          // cut amount of voice B (0 or less: no cut)
    std::string amount;        // decay step of `level` per decay tick
    std::int16_t penDown = 0;  // -1 while the left button holds the pen down
    std::int16_t level = 0;    // loudness copied into both voices
};

// Switch numbers; the numbers are the check boxes' names.
enum SwitchId : int {
    Check1 = 1,  // voice A plain sine
    Check2,
    Check3,  // KEEP TONE
    Check4,
    Check5,
    Check6,
    Check7,  // voice B plain sine
    Check8,
    Check9,
    Check10,
    Check11,
    Check12,
};

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

// The two sliders that the core reads: `Slider1` gives the decay step,
// `VScroll1` the level that a pen release restores.
struct Sliders {
    ControlValue Slider1{1, 1, 10};
    ControlValue VScroll1{0, 0, 100};
};

constexpr int kTableSize = 361;      // entries 0..360 of a wave table
constexpr int kBufferSamples = 360;  // samples a sound buffer loops
using WaveTable = std::array<std::uint8_t, kTableSize>;

// Module-level synthesis values. One instance; all zero at program start.
struct modSynth_DX7 {
    WaveTable tableA{};
    WaveTable tableB{};
    std::int16_t sampleIndex = 0;
    float clockSeconds = 0.0f;
    float angle = 0.0f;
    std::int32_t fmTerm = 0;
    float sampleA = 0.0f;
    float sampleB = 0.0f;
    std::int16_t ampA = 0;
    std::int16_t ampB = 0;
    std::int16_t tone = 0;
    std::int16_t toneB = 0;
    std::int16_t peakA = 0;
    std::int16_t peakB = 0;
    std::int16_t fmspInt = 0;
    std::int16_t amspInt = 0;
    std::int16_t amsp2Int = 0;
    std::int16_t cutInt = 0;
    std::int16_t cut2Int = 0;
};

// What the core needs of the drawing surface: clearing it to its background,
// which also moves the current drawing position to (0, 0).
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;
    virtual void clear() = 0;
};

// Start-up values, in order: both amplitudes 0; the five texts "0"; KEEP TONE
// off; `VScroll1` at 90; `level` 100.
void applyStartupValues(SynthState& state, modSynth_DX7& synth, SwitchSet& switches,
                        Sliders& sliders);

// Texts to "0" and each voice's plain sine alone. Leaves the drawing and KEEP
// TONE.
void resetSynth(SynthState& state, SwitchSet& switches);

// Clears the drawing first, then as resetSynth, and also turns KEEP TONE off.
void resetAll(SynthState& state, SwitchSet& switches, DrawingSurface& surface);

// Voice A's shapes off and its sine on; also voice B's sine on and Check8 off.
void resetVoiceA(SwitchSet& switches);

// Voice B's sine on and Check10..Check12 off; Check8 is left as it is.
void resetVoiceB(SwitchSet& switches);

}  // namespace scrivola
