// The fast wave-table tick. Within one tick the texts, the switches, `level`,
// `tone` and `toneB` cannot change, so the texts are converted once, the
// winning waveform of each voice is found once, and trigonometry that depends
// only on a pitch term or on the clock reading is reused while its inputs are
// unchanged. Every value is computed by the same expression as in the literal
// tick, so tables, peaks and scope points are identical.
#include "synth/wave_table_tick.h"

#include <array>
#include <bit>
#include <optional>
#include <utility>

#include "synth/sample_math.h"
#include "synth/tick_steps.h"

namespace scrivola {

namespace {

namespace sm = sample_math;

enum class Shape {
    None,
    PlainSine,
    FlooredSine,
    FlooredSinePlusTan,
    TanOfCos,
    TanOfFloor,
    SineOfFloor,
    SquareStep,
    FlooredCosine,
};

// The last switch that is on in evaluation order decides the voice's sample.
Shape voiceAShape(const SwitchSet& sw) {
    Shape shape = Shape::None;
    if (sw.isOn(Check1))
        shape = Shape::PlainSine;
    if (sw.isOn(Check6))
        shape = Shape::FlooredSine;
    if (sw.isOn(Check2))
        shape = Shape::FlooredSinePlusTan;
    if (sw.isOn(Check5))
        shape = Shape::TanOfCos;
    if (sw.isOn(Check4))
        shape = Shape::TanOfFloor;
    if (sw.isOn(Check9))
        shape = Shape::SineOfFloor;
    return shape;
}

Shape voiceBShape(const SwitchSet& sw) {
    Shape shape = Shape::None;
    if (sw.isOn(Check7))
        shape = Shape::PlainSine;
    if (sw.isOn(Check8))
        shape = Shape::SquareStep;
    if (sw.isOn(Check10))
        shape = Shape::SineOfFloor;
    if (sw.isOn(Check11))
        shape = Shape::TanOfCos;
    if (sw.isOn(Check12))
        shape = Shape::FlooredCosine;
    return shape;
}

// Each shape is factor(p) * amplitude + offset(p); the offset is non-zero
// only for the floored sine plus tan. Splitting it so lets a voice reuse the
// trigonometry of one pitch term while the amplitude changes.
struct ShapeTerms {
    double factor;
    double offset;
};

ShapeTerms termsOf(Shape shape, double p) {
    switch (shape) {
        case Shape::PlainSine:
            return {std::sin(p), 0.0};
        case Shape::FlooredSine:
            return {std::floor(std::sin(p)), 0.0};
        case Shape::FlooredSinePlusTan:
            return {std::floor(std::sin(p)), std::tan(std::cos(p))};
        case Shape::TanOfCos:
            return {std::tan(std::cos(p)), 0.0};
        case Shape::TanOfFloor:
            return {std::tan(std::floor(p)), 0.0};
        case Shape::SineOfFloor:
            return {std::sin(std::floor(p)), 0.0};
        case Shape::SquareStep:
            return {std::cos(std::floor(p) * sm::kPi), 0.0};
        case Shape::FlooredCosine:
            return {std::floor(std::cos(p)), 0.0};
        case Shape::None:
            break;
    }
    return {0.0, 0.0};
}

double evaluate(Shape shape, const ShapeTerms& t, double amplitude) {
    if (shape == Shape::FlooredSinePlusTan) {
        return t.factor * amplitude + t.offset;
    }
    return t.factor * amplitude;
}

struct AngleTable {
    std::array<float, kTableSize> angle{};
    AngleTable() {
        for (int i = 0; i < kTableSize; ++i) {
            angle[i] = sm::angleOf(static_cast<std::int16_t>(i));
        }
    }
};

const AngleTable& angles() {
    static const AngleTable table;
    return table;
}

// The terms of one voice's shape for every table entry at one pitch term,
// kept while the shape and the pitch term stay the same.
class ShapeCache {
public:
    const ShapeTerms& at(Shape shape, std::int32_t pitch, int index) {
        if (shape != shape_ || pitch != pitch_ || !valid_) {
            shape_ = shape;
            pitch_ = pitch;
            valid_ = true;
            filled_.fill(false);
        }
        if (!filled_[index]) {
            const double p = static_cast<double>(angles().angle[index]) * pitch;
            terms_[index] = termsOf(shape, p);
            filled_[index] = true;
        }
        return terms_[index];
    }

private:
    Shape shape_ = Shape::None;
    std::int32_t pitch_ = 0;
    bool valid_ = false;
    std::array<bool, kTableSize> filled_{};
    std::array<ShapeTerms, kTableSize> terms_{};
};

// A function of the clock reading, recomputed only when the reading changes.
template <typename F>
class ClockCache {
public:
    explicit ClockCache(F f) : f_(f), bits_(std::bit_cast<std::uint32_t>(0.0f)), value_(f_(0.0f)) {}
    auto operator()(float clockSeconds) {
        const std::uint32_t bits = std::bit_cast<std::uint32_t>(clockSeconds);
        if (bits != bits_) {
            bits_ = bits;
            value_ = f_(clockSeconds);
        }
        return value_;
    }

private:
    F f_;
    std::uint32_t bits_;
    decltype(std::declval<F>()(0.0f)) value_;
};

// The cut divisors depend only on fmTerm and the cut amount.
class CutCache {
public:
    std::optional<double> cut(std::int32_t fmTerm, std::int16_t amount) {
        if (!valid_ || fmTerm != fmTerm_ || amount != amount_) {
            valid_ = true;
            fmTerm_ = fmTerm;
            amount_ = amount;
            value_ = sm::cutDivisor(fmTerm, amount);
        }
        return value_;
    }

private:
    bool valid_ = false;
    std::int32_t fmTerm_ = 0;
    std::int16_t amount_ = 0;
    std::optional<double> value_;
};

struct FastCaches {
    ShapeCache voiceA;
    ShapeCache voiceB;
};

FastCaches& caches() {
    // The tick runs on the window's thread only.
    static FastCaches instance;
    return instance;
}

}  // namespace

void waveTableTick(modSynth_DX7& m, const SynthState& s, const SwitchSet& sw, TickIo io) {
    tick_steps::beginTick(m, io.display);

    // Converted at the first sample before any use; the same at every later
    // sample of this tick because the texts cannot change during it.
    textToInt16(s.fmsp).assignTo(m.fmspInt);
    textToInt16(s.amsp2).assignTo(m.amsp2Int);
    textToInt16(s.amsp).assignTo(m.amspInt);
    textToInt16(s.cut).assignTo(m.cutInt);
    textToInt16(s.cut2).assignTo(m.cut2Int);

    const Shape shapeA = voiceAShape(sw);
    const Shape shapeB = voiceBShape(sw);
    const bool attenuateB = sw.isOn(Check10) && m.cut2Int > 0;
    const std::int16_t fmspInt = m.fmspInt;
    const std::int16_t amsp2Int = m.amsp2Int;
    const std::int16_t amspInt = m.amspInt;
    const std::int16_t tone = m.tone;

    ClockCache fmTermAt([=](float c) { return sm::fmTermOf(c, fmspInt, tone); });
    ClockCache amsp2Cos([=](float c) { return std::cos(static_cast<double>(c) * amsp2Int); });
    ClockCache amspCos([=](float c) { return std::cos(static_cast<double>(c) * amspInt); });
    ClockCache amspSin([=](float c) { return std::sin(static_cast<double>(c) * amspInt); });
    CutCache cutA;
    CutCache cutB;
    std::optional<double> attenuationValue;
    std::int32_t attenuationFmTerm = 0;
    bool attenuationValid = false;

    FastCaches& cache = caches();
    const AngleTable& angle = angles();

    for (m.sampleIndex = 0; m.sampleIndex < kTableSize; ++m.sampleIndex) {
        const int i = m.sampleIndex;
        if (const std::optional<float> seconds = readClockSeconds(io.counter)) {
            m.clockSeconds = *seconds;
        }
        m.angle = angle.angle[i];
        fmTermAt(m.clockSeconds).assignTo(m.fmTerm);
        if (m.fmTerm < 0) {
            m.fmTerm = m.fmTerm + 4;
        }

        if (shapeA != Shape::None) {
            const ShapeTerms& t = cache.voiceA.at(shapeA, m.fmTerm, i);
            m.sampleA = toSingle(evaluate(shapeA, t, m.ampA));
        }
        if (shapeB != Shape::None) {
            const ShapeTerms& t = cache.voiceB.at(shapeB, m.toneB, i);
            m.sampleB = toSingle(evaluate(shapeB, t, m.ampB));
        }
        m.ampA = s.level;
        m.ampB = s.level;

        // cos(0) is exactly 1 and x * 1 is x, so a zero rate needs no work.
        if (amsp2Int != 0) {
            const double c = amsp2Cos(m.clockSeconds);
            m.sampleA = toSingle(c * m.sampleA);
            m.sampleB = toSingle(c * m.sampleB);
        }
        if (amspInt != 0) {
            m.sampleA = toSingle(amspCos(m.clockSeconds) * m.sampleA);
        }
        // Always evaluated: with a zero rate the sine silences voice B.
        m.sampleB = toSingle(amspSin(m.clockSeconds) * m.sampleB);

        if (m.cutInt > 0) {
            if (const std::optional<double> divisor = cutA.cut(m.fmTerm, m.cutInt)) {
                m.sampleA = toSingle(m.sampleA / *divisor);
            }
        }
        if (m.cut2Int > 0) {
            if (const std::optional<double> divisor = cutB.cut(m.fmTerm, m.cut2Int)) {
                m.sampleB = toSingle(m.sampleB / *divisor);
            }
        }
        if (attenuateB) {
            if (!attenuationValid || attenuationFmTerm != m.fmTerm) {
                attenuationValid = true;
                attenuationFmTerm = m.fmTerm;
                attenuationValue = sm::attenuationDivisor(m.fmTerm, m.cut2Int);
            }
            if (attenuationValue) {
                m.sampleB = toSingle(m.sampleB / *attenuationValue);
            }
        }

        tick_steps::finishSample(m, io.display);
    }

    tick_steps::endTick(m, io);
}

}  // namespace scrivola
