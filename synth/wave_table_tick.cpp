// Every step of every sample is evaluated in order, as written: each sample
// takes its own clock reading and converts the five texts, and nothing is kept
// from one sample or tick to the next beyond the module-level values. (On a
// steady clock whose seconds did not move during the tick, one reading stands
// for all of them: see computeTablesAtOneReading.) What a step computes from
// values that did not change since the sample before, or since the same entry
// of the tick before, is taken from there instead of computed again
// (TickTexts, Remembered, EntryValues): the same result, bit for bit. The comments number the steps
// of a tick and of a sample in the order they run.
#include "synth/wave_table_tick.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

#include "synth/numeric.h"

namespace scrivola {

namespace {

// Degrees to radians with the decimal constant the synthesizer has always
// used (not full-precision pi / 180).
constexpr double kRadiansPerDegree = 0.01745329251994;
// Pi as the square wave of voice B uses it.
constexpr double kPi = 3.14159265358979;

// The five parameter texts, each converted once a tick: the state does not
// change while a tick runs, so every sample's conversion of a text gives the
// first's result. A text that does not convert leaves its copy as it was, at
// every sample as before.
struct TickTexts {
    explicit TickTexts(const SynthState& s)
        : vibratoRate(textToInt16(s.*kVibratoRate)),
          secondTremoloRate(textToInt16(s.*kSecondTremoloRate)),
          tremoloRate(textToInt16(s.*kTremoloRate)),
          voiceACut(textToInt16(s.*kVoiceACut)),
          voiceBCut(textToInt16(s.*kVoiceBCut)) {}

    Converted<std::int16_t> vibratoRate;
    Converted<std::int16_t> secondTremoloRate;
    Converted<std::int16_t> tremoloRate;
    Converted<std::int16_t> voiceACut;
    Converted<std::int16_t> voiceBCut;
};

// The last result of a function of one argument, reused while its argument
// stays the same bit for bit; the result is the one a fresh call gives. The
// clock's single-precision reading moves only about once a millisecond, so
// within a tick the clock's terms nearly always repeat the previous sample's,
// and so do the cuts' logarithms, which depend only on the pitch term; a
// stepped shape repeats its value while floor(x) stays.
class Remembered {
public:
    template <double (*function)(double)>
    double of(double argument) {
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(argument);
        if (!valid_ || bits != argumentBits_) {
            value_ = function(argument);
            argumentBits_ = bits;
            valid_ = true;
        }
        return value_;
    }

private:
    std::uint64_t argumentBits_ = 0;
    double value_ = 0.0;
    bool valid_ = false;
};

inline double cosine(double x) {
    return std::cos(x);
}
inline double sine(double x) {
    return std::sin(x);
}
inline double tangent(double x) {
    return std::tan(x);
}
inline double logarithm(double x) {
    return std::log(x);
}
inline double exponential(double x) {
    return std::exp(x);
}
inline double tanOfCos(double x) {
    return std::tan(std::cos(x));
}

// A shape's values at each table entry, kept from one tick to the next: a
// voice whose pitch did not change gives the same arguments at every tick,
// and its values then come from the tick before instead of the maths library
// again. Each entry holds the function and the argument, bit for bit, that
// its value was computed for. Within a tick `last` catches an argument that
// repeats the previous entry's (a stepped shape).
class EntryValues {
public:
    template <double (*function)(double)>
    double of(std::int16_t entry, double argument, Remembered& last) {
        Entry& kept = entries_[static_cast<std::size_t>(entry)];
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(argument);
        if (kept.function != function || kept.argumentBits != bits) {
            kept.value = last.of<function>(argument);
            kept.function = function;
            kept.argumentBits = bits;
        }
        return kept.value;
    }

private:
    struct Entry {
        double (*function)(double) = nullptr;
        std::uint64_t argumentBits = 0;
        double value = 0.0;
    };
    std::array<Entry, kTableSize> entries_{};
};

// The shapes' values of the last tick run on a thread.
struct ShapeValues {
    EntryValues voiceA;
    EntryValues voiceARipple;  // the ripple pulse's second term
    EntryValues voiceB;
};

// The terms of one tick that repeat from sample to sample, and the shapes'
// values kept from tick to tick.
struct ClockTerms {
    ClockTerms(const SynthState& s, ShapeValues& kept) : texts(s), shapes(kept) {}

    TickTexts texts;
    ShapeValues& shapes;
    Remembered vibrato;
    Remembered secondTremolo;
    Remembered tremoloA;
    Remembered tremoloB;
    Remembered shapeA;
    Remembered rippleA;
    Remembered shapeB;
    Remembered cutA;
    Remembered cutB;
    Remembered damping;
};

// Steps 26 and 28: the sample divided by 10 ln(fmTerm / (0.1 cut) + 1).
// Skipped when the logarithm's argument is not positive.
inline void applyCut(float& sample, std::int32_t fmTerm, std::int16_t cut, Remembered& log) {
    const double argument = static_cast<double>(fmTerm) / (0.1 * cut) + 1.0;
    if (argument > 0.0) {
        sample = toSingle(sample / (10.0 * log.of<logarithm>(argument)));
    }
}

// One clock reading in seconds, given back at every read.
struct HeldSeconds {
    float seconds;
};
inline std::optional<float> readClockSeconds(HeldSeconds& held) {
    return held.seconds;
}

template <typename Counter>
void sampleSteps(modSynth_DX7& m, const SynthState& s, const SwitchSet& sw, Counter& clock,
                 ClockTerms& terms, DisplayRecord& shown) {
    // 1: clock
    if (const std::optional<float> seconds = readClockSeconds(clock)) {
        m.clockSeconds = *seconds;
    }
    // 2: angle
    m.angle = toSingle(static_cast<double>(m.sampleIndex) * kRadiansPerDegree);
    // 3, 4, 5: voice A's pitch term, moved by the vibrato; a negative term is
    // raised by 4
    terms.texts.vibratoRate.assignTo(m.fmspInt);
    const double vibrato = terms.vibrato.of<cosine>(static_cast<double>(m.clockSeconds) *
                                                    (static_cast<double>(m.fmspInt) / 2.0));
    toInt32(vibrato * m.tone).assignTo(m.fmTerm);
    if (m.fmTerm < 0) {
        m.fmTerm = m.fmTerm + 4;
    }
    const double x = static_cast<double>(m.angle) * m.fmTerm;
    const double y = static_cast<double>(m.angle) * m.toneB;
    // 6..11: voice A's shapes; of those on, the last sets the sample, so
    // only that one is computed (the functions have no side effects)
    const std::int16_t i = m.sampleIndex;
    EntryValues& a = terms.shapes.voiceA;
    if (sw.isOn(kVoiceASteppedSine)) {
        m.sampleA = toSingle(a.of<sine>(i, std::floor(x), terms.shapeA) * m.ampA);
    } else if (sw.isOn(kVoiceASteppedTan)) {
        m.sampleA = toSingle(a.of<tangent>(i, std::floor(x), terms.shapeA) * m.ampA);
    } else if (sw.isOn(kVoiceATanOfCos)) {
        m.sampleA = toSingle(a.of<tanOfCos>(i, x, terms.shapeA) * m.ampA);
    } else if (sw.isOn(kVoiceARipplePulse)) {
        m.sampleA = toSingle(std::floor(a.of<sine>(i, x, terms.shapeA)) * m.ampA +
                             terms.shapes.voiceARipple.of<tanOfCos>(i, x, terms.rippleA));
    } else if (sw.isOn(kVoiceAPulse)) {
        m.sampleA = toSingle(std::floor(a.of<sine>(i, x, terms.shapeA)) * m.ampA);
    } else if (sw.isOn(kVoiceASine)) {
        m.sampleA = toSingle(a.of<sine>(i, x, terms.shapeA) * m.ampA);
    }
    // 12..16: voice B's shapes, the same way
    EntryValues& b = terms.shapes.voiceB;
    if (sw.isOn(kVoiceBPulse)) {
        m.sampleB = toSingle(std::floor(b.of<cosine>(i, y, terms.shapeB)) * m.ampB);
    } else if (sw.isOn(kVoiceBTanOfCos)) {
        m.sampleB = toSingle(b.of<tanOfCos>(i, y, terms.shapeB) * m.ampB);
    } else if (sw.isOn(kVoiceBSteppedSine)) {
        m.sampleB = toSingle(b.of<sine>(i, std::floor(y), terms.shapeB) * m.ampB);
    } else if (sw.isOn(kVoiceBSquare)) {
        m.sampleB = toSingle(b.of<cosine>(i, std::floor(y) * kPi, terms.shapeB) * m.ampB);
    } else if (sw.isOn(kVoiceBSine)) {
        m.sampleB = toSingle(b.of<sine>(i, y, terms.shapeB) * m.ampB);
    }
    // 17, 18: the amplitudes follow the level from the next sample on
    m.ampA = s.level;
    m.ampB = s.level;
    const double clockSeconds = m.clockSeconds;
    // 19, 20, 21: second tremolo, the same cosine on both voices
    terms.texts.secondTremoloRate.assignTo(m.amsp2Int);
    const double secondTremolo = terms.secondTremolo.of<cosine>(clockSeconds * m.amsp2Int);
    m.sampleA = toSingle(secondTremolo * m.sampleA);
    m.sampleB = toSingle(secondTremolo * m.sampleB);
    // 22, 23, 24: tremolo, a cosine on voice A and a sine on voice B
    terms.texts.tremoloRate.assignTo(m.amspInt);
    m.sampleA = toSingle(terms.tremoloA.of<cosine>(clockSeconds * m.amspInt) * m.sampleA);
    m.sampleB = toSingle(terms.tremoloB.of<sine>(clockSeconds * m.amspInt) * m.sampleB);
    // 25, 26: voice A's cut
    terms.texts.voiceACut.assignTo(m.cutInt);
    if (m.cutInt > 0) {
        applyCut(m.sampleA, m.fmTerm, m.cutInt, terms.cutA);
    }
    // 27, 28: voice B's cut, driven by voice A's pitch term
    terms.texts.voiceBCut.assignTo(m.cut2Int);
    if (m.cut2Int > 0) {
        applyCut(m.sampleB, m.fmTerm, m.cut2Int, terms.cutB);
    }
    // 29: voice B's stepped sine with a cut also damps it by
    // 10 exp(4 |fmTerm| / (0.1 cut2) + 1); skipped when exp overflows
    if (sw.isOn(kVoiceBSteppedSine) && m.cut2Int > 0) {
        const double damping = terms.damping.of<exponential>(
            4.0 * (std::fabs(static_cast<double>(m.fmTerm)) / (0.1 * m.cut2Int)) + 1.0);
        if (!std::isinf(damping)) {
            m.sampleB = toSingle(m.sampleB / (10.0 * damping));
        }
    }
    // 30, 31: table entries, centred on 128
    toByte(static_cast<double>(m.sampleA) + 128.0).assignTo(m.tableA[m.sampleIndex]);
    toByte(static_cast<double>(m.sampleB) + 128.0).assignTo(m.tableB[m.sampleIndex]);
    // 32, 33: peaks
    if (m.sampleA > m.peakA) {
        toInt16(m.sampleA).assignTo(m.peakA);
    }
    if (m.sampleB > m.peakB) {
        toInt16(m.sampleB).assignTo(m.peakB);
    }
    // 34, 35: scope points
    shown.scopeA[m.sampleIndex] = m.sampleA;
    shown.scopeB[m.sampleIndex] = m.sampleB;
}

template <typename Counter>
void computeTables(modSynth_DX7& m, const SynthState& s, const SwitchSet& sw, Counter& clock,
                   DisplayRecord& shown) {
    // 1, 2: peaks. 3..6, clearing the four boxes, is the window's when it
    // draws what this tick recorded.
    m.peakA = 0;
    m.peakB = 0;
    // 7: every entry, 360 included
    // Each thread that ticks keeps its own.
    thread_local ShapeValues kept;
    ClockTerms terms(s, kept);
    for (m.sampleIndex = 0; m.sampleIndex < kTableSize; ++m.sampleIndex) {
        sampleSteps(m, s, sw, clock, terms, shown);
    }
}

// Computes the tables with the clock read once, before, for every sample,
// and reads it again after: if both readings give the same seconds, so would
// every read in between on a steady counter, and the tables are those that
// reading at each sample gives. False, with `m` as it was, when the seconds
// moved meanwhile: seldom, since a tick takes tens of microseconds and the
// single-precision reading of a clock counted from boot moves at most about
// once a millisecond after the first hour.
template <typename Counter>
bool computeTablesAtOneReading(modSynth_DX7& m, const SynthState& s, const SwitchSet& sw,
                               Counter& clock, DisplayRecord& shown) {
    const std::optional<float> start = readClockSeconds(clock);
    if (!start) {
        return false;
    }
    const modSynth_DX7 before = m;
    HeldSeconds held{*start};
    computeTables(m, s, sw, held, shown);
    if (readClockSeconds(clock) == start) {
        return true;
    }
    m = before;
    return false;
}

template <typename Counter>
void tick(modSynth_DX7& m, const SynthState& s, const SwitchSet& sw, Counter& clock,
          WaveTableWriter& sound, DisplayRecord& shown) {
    if (!clock.steady() || !computeTablesAtOneReading(m, s, sw, clock, shown)) {
        computeTables(m, s, sw, clock, shown);
    }
    // 8..11: each table into its buffer, each followed by its voice's meter
    sound.writeWaveTable(0, m.tableA);
    shown.meterA = m.peakA;
    sound.writeWaveTable(1, m.tableB);
    shown.meterB = m.peakB;
}

}  // namespace

void waveTableTick(modSynth_DX7& synth, const SynthState& state, const SwitchSet& switches,
                   MonotonicCounter& clock, WaveTableWriter& sound, DisplayRecord& shown) {
    tick(synth, state, switches, clock, sound, shown);
}

void waveTableTick(modSynth_DX7& synth, const SynthState& state, const SwitchSet& switches,
                   PerformanceCounter& clock, WaveTableWriter& sound, DisplayRecord& shown) {
    tick(synth, state, switches, clock, sound, shown);
}

void waveTableTick(modSynth_DX7& synth, const SynthState& state, const SwitchSet& switches,
                   SecondsClock& clock, WaveTableWriter& sound, DisplayRecord& shown) {
    tick(synth, state, switches, clock, sound, shown);
}

}  // namespace scrivola
