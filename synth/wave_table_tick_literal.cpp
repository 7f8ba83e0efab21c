// The wave-table tick evaluated literally: every step of every sample in
// order, texts converted and the switches read at every sample. Slow, but the
// definition that the fast tick must match value for value.
#include "synth/sample_math.h"
#include "synth/tick_steps.h"
#include "synth/wave_table_tick.h"

namespace scrivola {

namespace {

namespace sm = sample_math;

void literalSample(modSynth_DX7& m, const SynthState& s, const SwitchSet& sw, TickIo& io) {
    // 1: clock
    if (const std::optional<float> seconds = readClockSeconds(io.counter)) {
        m.clockSeconds = *seconds;
    }
    // 2: angle
    m.angle = sm::angleOf(m.sampleIndex);
    // 3, 4, 5: voice A's pitch term
    textToInt16(s.fmsp).assignTo(m.fmspInt);
    sm::fmTermOf(m.clockSeconds, m.fmspInt, m.tone).assignTo(m.fmTerm);
    if (m.fmTerm < 0) {
        m.fmTerm = m.fmTerm + 4;
    }
    const double x = static_cast<double>(m.angle) * m.fmTerm;
    const double y = static_cast<double>(m.angle) * m.toneB;
    // 6..11: voice A's waveforms, the last switch on wins
    if (sw.isOn(Check1))
        m.sampleA = toSingle(sm::plainSine(x, m.ampA));
    if (sw.isOn(Check6))
        m.sampleA = toSingle(sm::flooredSine(x, m.ampA));
    if (sw.isOn(Check2))
        m.sampleA = toSingle(sm::flooredSinePlusTan(x, m.ampA));
    if (sw.isOn(Check5))
        m.sampleA = toSingle(sm::tanOfCos(x, m.ampA));
    if (sw.isOn(Check4))
        m.sampleA = toSingle(sm::tanOfFloor(x, m.ampA));
    if (sw.isOn(Check9))
        m.sampleA = toSingle(sm::sineOfFloor(x, m.ampA));
    // 12..16: voice B's waveforms
    if (sw.isOn(Check7))
        m.sampleB = toSingle(sm::plainSine(y, m.ampB));
    if (sw.isOn(Check8))
        m.sampleB = toSingle(sm::squareStep(y, m.ampB));
    if (sw.isOn(Check10))
        m.sampleB = toSingle(sm::sineOfFloor(y, m.ampB));
    if (sw.isOn(Check11))
        m.sampleB = toSingle(sm::tanOfCos(y, m.ampB));
    if (sw.isOn(Check12))
        m.sampleB = toSingle(sm::flooredCosine(y, m.ampB));
    // 17, 18: amplitudes follow the level from the next sample on
    m.ampA = s.level;
    m.ampB = s.level;
    // 19..21: second amplitude modulation
    textToInt16(s.amsp2).assignTo(m.amsp2Int);
    const double clock = m.clockSeconds;
    m.sampleA = toSingle(std::cos(clock * m.amsp2Int) * m.sampleA);
    m.sampleB = toSingle(std::cos(clock * m.amsp2Int) * m.sampleB);
    // 22..24: amplitude modulation, sine for voice B
    textToInt16(s.amsp).assignTo(m.amspInt);
    m.sampleA = toSingle(std::cos(clock * m.amspInt) * m.sampleA);
    m.sampleB = toSingle(std::sin(clock * m.amspInt) * m.sampleB);
    // 25, 26: cut of voice A
    textToInt16(s.cut).assignTo(m.cutInt);
    if (m.cutInt > 0) {
        if (const std::optional<double> divisor = sm::cutDivisor(m.fmTerm, m.cutInt)) {
            m.sampleA = toSingle(m.sampleA / *divisor);
        }
    }
    // 27, 28: cut of voice B, driven by voice A's pitch term
    textToInt16(s.cut2).assignTo(m.cut2Int);
    if (m.cut2Int > 0) {
        if (const std::optional<double> divisor = sm::cutDivisor(m.fmTerm, m.cut2Int)) {
            m.sampleB = toSingle(m.sampleB / *divisor);
        }
    }
    // 29: extra attenuation of voice B
    if (sw.isOn(Check10) && m.cut2Int > 0) {
        if (const std::optional<double> divisor = sm::attenuationDivisor(m.fmTerm, m.cut2Int)) {
            m.sampleB = toSingle(m.sampleB / *divisor);
        }
    }
    // 30..35: table entries, peaks, scope points
    tick_steps::finishSample(m, io.display);
}

}  // namespace

void waveTableTickLiteral(modSynth_DX7& m, const SynthState& s, const SwitchSet& sw, TickIo io) {
    tick_steps::beginTick(m, io.display);
    for (m.sampleIndex = 0; m.sampleIndex < kTableSize; ++m.sampleIndex) {
        literalSample(m, s, sw, io);
    }
    tick_steps::endTick(m, io);
}

}  // namespace scrivola
