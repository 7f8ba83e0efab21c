#include "synth/tick_rest.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

#include "synth/level_decay.h"

namespace scrivola {

namespace {

// The shape that sets a voice's sample: of those switched on, the last in the
// order the tick tries them. None on: the sample carries over from the last.
std::optional<SwitchId> setsTheSample(const SwitchSet& switches,
                                      std::initializer_list<SwitchId> order) {
    std::optional<SwitchId> last;
    for (const SwitchId shape : order) {
        if (switches.isOn(shape)) {
            last = shape;
        }
    }
    return last;
}

bool levelStays(const SynthState& state, bool decayRunning) {
    if (!decayRunning) {
        return true;
    }
    SynthState next = state;
    levelDecayTick(next);
    return next.level == state.level;
}

// Every shape is finite, so an amplitude of 0 makes it exactly zero; at phase
// 0 (pitch 0) only those that vanish at 0 are. Voice A's ripple adds a term
// that the amplitude does not scale.
bool voiceAZero(const modSynth_DX7& m, const SynthState& s, const SwitchSet& sw) {
    const std::optional<SwitchId> shape =
        setsTheSample(sw, {kVoiceASine, kVoiceAPulse, kVoiceARipplePulse, kVoiceATanOfCos,
                           kVoiceASteppedTan, kVoiceASteppedSine});
    if (!shape) {
        return m.sampleA == 0.0f;
    }
    if (*shape == kVoiceARipplePulse) {
        return false;
    }
    // Pitch 0 gives the pitch term 0 at any vibrato, and so phase 0.
    return s.level == 0 || (m.tone == 0 && *shape != kVoiceATanOfCos);
}

bool voiceBZero(const modSynth_DX7& m, const SynthState& s, const SwitchSet& sw) {
    const std::optional<SwitchId> shape = setsTheSample(
        sw, {kVoiceBSine, kVoiceBSquare, kVoiceBSteppedSine, kVoiceBTanOfCos, kVoiceBPulse});
    if (!shape) {
        return m.sampleB == 0.0f;
    }
    // A tremolo rate of 0 multiplies voice B by sin(0).
    return s.level == 0 || m.amspInt == 0 ||
           (m.toneB == 0 && (*shape == kVoiceBSine || *shape == kVoiceBSteppedSine));
}

}  // namespace

bool tickAtRest(const modSynth_DX7& m, const SynthState& s, const SwitchSet& sw,
                bool decayRunning) {
    const auto silent = [](const WaveTable& table) {
        return std::all_of(table.begin(), table.end(), [](std::uint8_t b) { return b == 128; });
    };
    // A zero sample stays zero through both tremolos, whatever the clock;
    // a cut divides it by a term of the pitch term, which then must not
    // move with the clock (at 0 it makes the sample NaN, which leaves the
    // table entry as it was and the trace without its point).
    const bool pitchTermFixed = m.tone == 0 || m.fmspInt == 0;
    const bool cutsFixed = pitchTermFixed || (m.cutInt <= 0 && m.cut2Int <= 0);
    // The tick has just given both amplitudes the level, which stays.
    return levelStays(s, decayRunning) && silent(m.tableA) && silent(m.tableB) &&
           voiceAZero(m, s, sw) && voiceBZero(m, s, sw) && cutsFixed;
}

}  // namespace scrivola
