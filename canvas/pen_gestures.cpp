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

void PenGestures::press(std::int16_t button, std::int16_t /*shift*/, float X, float Y) {
    if (button != LeftButton) {
        return;
    }
    SynthState& state = targets_.state;
    state.penDown = -1;
    targets_.decayTimer.setEnabled(true);
    state.amount = decimalText(targets_.sliders.decayStep.value());
    targets_.decayTimer.setInterval(kDecayIntervalMs);
    targets_.synth.ampA = state.level;
    targets_.synth.ampB = state.level;
    targets_.surface.setCurrentPosition(X, Y);
}

void PenGestures::move(std::int16_t /*button*/, std::int16_t /*shift*/, float X, float Y) {
    PenSurface& surface = targets_.surface;
    if (targets_.state.penDown != 0) {
        surface.lineTo(X, Y);
    }

    if (penIsDown() && targets_.switches.value(kKeepTone) == 0) {
        if (const auto terms = pitchTerms(X, Y)) {
            targets_.synth.tone = terms->tone;
            targets_.synth.toneB = terms->toneB;
        }
    }

    const ColorValue penColour = surface.foreColor();
    if (penIsDown()) {
        setColourParameter(penColour, X, targets_.state);
    }

    targets_.penColourText.setText(std::to_string(penColour));
    targets_.penYText.setText(positionText(surface.currentY(), decimalSeparator_));

    if (penIsDown()) {
        applyQuarterSwitches(penColour, X, Y, targets_.switches);
    }
}

void PenGestures::release(std::int16_t button, std::int16_t /*shift*/, float /*X*/, float /*Y*/) {
    if (button == LeftButton) {
        targets_.state.penDown = 0;
    }
    targets_.synth.ampA = 0;
    targets_.synth.ampB = 0;
    toInt16(targets_.sliders.releaseLevel.value()).assignTo(targets_.state.level);
}

}  // namespace scrivola
