#include "synth/level_decay.h"

#include "synth/numeric.h"

namespace scrivola {

void levelDecayTick(SynthState& state) {
    // A step larger than the level first brings the level down to the step,
    // so the subtraction below ends at 0 rather than below it.
    if (const Converted<double> step = textToDouble(state.amount)) {
        if (*step > state.level) {
            textToInt16(state.amount).assignTo(state.level);
        }
    }
    // A text that is not a number, or a step that would push the level out of
    // the 16-bit range, leaves the level as it is.
    if (const Converted<double> step = textToDouble(state.amount)) {
        toInt16(static_cast<double>(state.level) - *step).assignTo(state.level);
    }
}

}  // namespace scrivola
