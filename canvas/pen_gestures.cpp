#include "canvas/pen_gestures.h"

#include <string>
#include <utility>

#include "canvas/colour_parameter.h"
#include "canvas/pitch_terms.h"
#include "canvas/position_text.h"
#include "canvas/quarter_switches.h"
#include "synth/numeric.h"

namespace scrivola {

namespace {

constexpr int kDecayIntervalMs = 1;

}  // namespace

PenGestures::PenGestures(const GestureTargets& targets, std::string decimalSeparator)
    : targets_(targets), decimalSeparator_(std::move(decimalSeparator)) {}

void PenGestures::picdraw_MouseDown(std::int16_t button, std::int16_t /*shift*/, float X, float Y) {
    if (button != LeftButton) {
        return;
    }
    SynthState& state = targets_.state;
    state.penDown = -1;
    targets_.Timer2.setEnabled(true);
    state.amount = decimalText(targets_.sliders.Slider1.value());
    targets_.Timer2.setInterval(kDecayIntervalMs);
    targets_.synth.ampA = state.level;
    targets_.synth.ampB = state.level;
    targets_.picdraw.setCurrentPosition(X, Y);
}

void PenGestures::picdraw_MouseMove(std::int16_t /*button*/, std::int16_t /*shift*/, float X,
                                    float Y) {
    PenSurface& picdraw = targets_.picdraw;
    if (targets_.state.penDown != 0) {
        picdraw.lineTo(X, Y);
    }

    if (penIsDown() && targets_.switches.value(kKeepTone) == 0) {
        if (const auto terms = pitchTerms(X, Y)) {
            targets_.synth.tone = terms->tone;
            targets_.synth.toneB = terms->toneB;
        }
    }

    const ColorValue penColour = picdraw.foreColor();
    if (penIsDown()) {
        setColourParameter(penColour, X, targets_.state);
    }

    targets_.Text1.setText(std::to_string(penColour));
    targets_.Label2.setText(positionText(picdraw.currentY(), decimalSeparator_));

    if (penIsDown()) {
        applyQuarterSwitches(penColour, X, Y, targets_.switches);
    }
}

void PenGestures::picdraw_MouseUp(std::int16_t button, std::int16_t /*shift*/, float /*X*/,
                                  float /*Y*/) {
    if (button == LeftButton) {
        targets_.state.penDown = 0;
    }
    targets_.synth.ampA = 0;
    targets_.synth.ampB = 0;
    toInt16(targets_.sliders.VScroll1.value()).assignTo(targets_.state.level);
}

}  // namespace scrivola
