// What the pen does on the drawing surface: a left press starts a stroke and
// the sound, moves draw and drive the synthesizer, a release ends the stroke
// and silences both voices.
//
// The window forwards its mouse events on `picdraw` here with the button that
// caused the event and the position in surface units (twips, fractions kept).
// While a button is held the surface keeps the mouse, so positions outside the
// surface arrive as they are and are used without clamping.
#pragma once

#include <cstdint>
#include <string>

#include "canvas/pen_surface.h"
#include "synth/synth_state.h"

namespace scrivola {

// Everything a gesture reads or writes. All are owned elsewhere and must
// outlive the PenGestures that refers to them.
struct GestureTargets {
    SynthState& state;
    modSynth_DX7& synth;         // ampA, ampB, tone, toneB
    SwitchSet& switches;         // KEEP TONE and the waveform shapes
    Sliders& sliders;            // decayStep gives `amount`, releaseLevel gives `level`
    PenSurface& surface;         // drawing position, strokes, pen colour
    TextControl& penColourText;  // shows the pen colour value
    TextControl& penYText;       // shows the y of the drawing position
    DecayTimer& decayTimer;      // the level decay, started by a left press
};

class PenGestures {
public:
    // `decimalSeparator` is the user's locale separator used by `penYText`.
    explicit PenGestures(const GestureTargets& targets, std::string decimalSeparator = ".");

    // Only the left button acts: the pen goes down, the decay timer starts
    // with a fresh `amount`, both amplitudes take `level` and the drawing
    // position moves to the pen.
    void press(std::int16_t button, std::int16_t shift, float X, float Y);

    // For every move, whatever the button: with the pen down, draws the stroke
    // segment, sets the pitch terms (unless KEEP TONE is checked), the pen
    // colour's parameter and the waveform boxes; always updates both texts.
    void move(std::int16_t button, std::int16_t shift, float X, float Y);

    // Any button silences both voices and reloads `level` from `releaseLevel`;
    // only the left one lifts the pen.
    void release(std::int16_t button, std::int16_t shift, float X, float Y);

private:
    bool penIsDown() const { return targets_.state.penDown == -1; }

    GestureTargets targets_;
    std::string decimalSeparator_;
};

}  // namespace scrivola
