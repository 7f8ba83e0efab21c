// Moving the pen: strokes, pitch terms, the pen colour's parameter, the two
// displays and what KEEP TONE keeps.
#include <cmath>
#include <limits>
#include <ostream>
#include <string>

#include "gesture_fixture.h"

namespace scrivola::testing {
namespace {

struct PitchCase {
    float x;
    float y;
    std::int16_t tone;
    std::int16_t toneB;
};

void PrintTo(const PitchCase& c, std::ostream* os) {
    *os << "(" << c.x << ", " << c.y << ")";
}

class PitchTest : public GestureTest, public ::testing::WithParamInterface<PitchCase> {};

TEST_P(PitchTest, PenPositionGivesPitchTerms) {
    const PitchCase& c = GetParam();
    strokeTo(kWhite, c.x, c.y);
    EXPECT_EQ(synth.tone, c.tone);
    EXPECT_EQ(synth.toneB, c.toneB);
}

INSTANTIATE_TEST_SUITE_P(
    RoundingAndTruncation, PitchTest,
    ::testing::Values(PitchCase{0, 0, -20, -20}, PitchCase{4000, 0, 0, 0},
                      PitchCase{199.5f, 0, -19, -19},        // ties go to the even 200
                      PitchCase{198.5f, 0, -20, -20},        // ... and to the even 198
                      PitchCase{-250, 0, -21, -21},          // division truncates toward 0
                      PitchCase{-150, 0, -20, -20},          //
                      PitchCase{5175, 0, 5, 5},              // right edge of the surface
                      PitchCase{0, 199.4f, -20, -20},        // |round(y)| < 200: no offset
                      PitchCase{0, -199, -20, -20},          //
                      PitchCase{0, 3000, -20, -5},           // y = 3000 adds 15
                      PitchCase{3000, 2000, -5, 5},          //
                      PitchCase{0, 9735, -20, 28},           // bottom edge adds 48
                      PitchCase{0, -250, -20, -21},          //
                      PitchCase{6'550'000, 0, 32730, 32730}  // still inside 16 bits
                      ));

TEST_F(GestureTest, MoveDrawsSegmentsFromTheLastPointInPenColour) {
    picdraw.setForeColor(kGreen);
    press(10, 20);
    move(30, 40);
    move(-5, 50000);  // outside the surface: used as it comes
    ASSERT_EQ(picdraw.segments.size(), 2u);
    EXPECT_EQ(picdraw.segments[0], (Segment{10, 20, 30, 40, kGreen}));
    EXPECT_EQ(picdraw.segments[1], (Segment{30, 40, -5, 50000, kGreen}));
}

struct ParameterCase {
    const char* name;
    ColorValue colour;
    float x;
    std::string SynthState::*parameter;
    const char* expected;
};

void PrintTo(const ParameterCase& c, std::ostream* os) {
    *os << c.name;
}

class ColourParameterTest : public GestureTest,
                            public ::testing::WithParamInterface<ParameterCase> {};

TEST_P(ColourParameterTest, PenColourSetsItsParameterOnly) {
    const ParameterCase& c = GetParam();
    strokeTo(c.colour, c.x, 7777);  // y plays no part

    for (auto parameter : {&SynthState::amsp, &SynthState::fmsp, &SynthState::amsp2,
                           &SynthState::cut, &SynthState::cut2}) {
        const std::string expected = parameter == c.parameter ? c.expected : "0";
        EXPECT_EQ(state.*parameter, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    FiveColours, ColourParameterTest,
    ::testing::Values(ParameterCase{"BlueAmsp", kBlue, 2550, &SynthState::amsp, "25"},
                      ParameterCase{"GreenFmsp", kGreen, 3000, &SynthState::fmsp, "30"},
                      ParameterCase{"GreyAmsp2", kGrey, -150, &SynthState::amsp2, "-1"},
                      ParameterCase{"GreyTie", kGrey, 149.5f, &SynthState::amsp2, "1"},
                      ParameterCase{"RedCut", kRed, 2550, &SynthState::cut, "637"},
                      ParameterCase{"RedOutside", kRed, -10, &SynthState::cut, "-2"},
                      ParameterCase{"CyanCut2", kCyan, 4001, &SynthState::cut2, "1000"},
                      ParameterCase{"CyanTie", kCyan, 2.5f, &SynthState::cut2, "0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GestureTest, WhitePenDrawsAndSetsPitchOnly) {
    const SwitchSet before = switches;
    strokeTo(kWhite, 1000, 1000);

    EXPECT_EQ(picdraw.segments.size(), 1u);
    EXPECT_EQ(synth.tone, -15);
    for (const std::string* text :
         {&state.amsp, &state.fmsp, &state.amsp2, &state.cut, &state.cut2}) {
        EXPECT_EQ(*text, "0");
    }
    for (int id = Check1; id <= Check12; ++id) {
        EXPECT_EQ(switches.value(SwitchId(id)), before.value(SwitchId(id))) << "Check" << id;
    }
    EXPECT_EQ(text1.text(), "16777215");
}

TEST_F(GestureTest, ColourOutsideTheTablesSetsNothing) {
    strokeTo(0x00FF01, 3000, 1000);  // one off green
    EXPECT_EQ(state.fmsp, "0");
    EXPECT_EQ(text1.text(), "65281");
}

TEST_F(GestureTest, KeepToneKeepsPitchButStrokeStillActs) {
    strokeTo(kWhite, 3000, 2000);
    release(3000, 2000);
    switches.setValue(Check3, 1);

    strokeTo(kBlue, 2550, 9000);
    EXPECT_EQ(state.amsp, "25");
    release(2550, 9000);
    strokeTo(kMagenta, 1000, 1000);

    EXPECT_EQ(synth.tone, -5);
    EXPECT_EQ(synth.toneB, 5);
    EXPECT_EQ(picdraw.segments.size(), 3u);
    EXPECT_EQ(switches.value(Check2), 1);
}

TEST_F(GestureTest, DisplaysFollowEveryMove) {
    picdraw.setForeColor(kCyan);
    move(500, 600);  // pen up: colour shown, position still the start-up one
    EXPECT_EQ(text1.text(), "16776960");
    EXPECT_EQ(label2.text(), "0");

    press(100, 250.5f);
    move(120, 300.25f);
    EXPECT_EQ(label2.text(), "300.25");
    release(120, 300.25f);

    move(900, 900);  // pen up: the label keeps the last stroke point
    EXPECT_EQ(label2.text(), "300.25");

    picdraw.clear();
    move(900, 900);
    EXPECT_EQ(label2.text(), "0");
}

TEST_F(GestureTest, LocaleSeparatorGivenAtConstruction) {
    PenGestures local(
        GestureTargets{state, synth, switches, sliders, picdraw, text1, label2, timer2},
        "\xD9\xAB");  // Arabic decimal separator
    local.press(LeftButton, 0, 0, 0);
    local.move(LeftButton, 0, 0, -0.5f);
    EXPECT_EQ(label2.text(),
              "-0\xD9\xAB"
              "5");
}

struct ExtremeCase {
    const char* name;
    float x;
    float y;
    const char* cut;  // red pen's parameter after the move
};

void PrintTo(const ExtremeCase& c, std::ostream* os) {
    *os << c.name;
}

class ExtremeCoordinateTest : public GestureTest,
                              public ::testing::WithParamInterface<ExtremeCase> {};

// Positions no screen delivers: the pitch terms keep their values together
// and a parameter that cannot be computed keeps its text.
TEST_P(ExtremeCoordinateTest, KeepsPitchAndDoesNotCrash) {
    const ExtremeCase& c = GetParam();
    strokeTo(kRed, 3000, 2000);
    ASSERT_EQ(synth.tone, -5);
    ASSERT_EQ(synth.toneB, 5);

    move(c.x, c.y);

    EXPECT_EQ(synth.tone, -5);
    EXPECT_EQ(synth.toneB, 5);
    EXPECT_EQ(state.cut, c.cut);
    EXPECT_EQ(text1.text(), "255");
    EXPECT_FALSE(label2.text().empty());
}

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(BeyondAnyScreen, ExtremeCoordinateTest,
                         ::testing::Values(ExtremeCase{"HugeX", 1e30f, 0, "750"},
                                           ExtremeCase{"HugeNegativeX", -1e30f, 0, "750"},
                                           ExtremeCase{"HugeY", 0, 1e30f, "0"},
                                           ExtremeCase{"HugeNegativeY", 0, -1e30f, "0"},
                                           ExtremeCase{"NaNX", kNaN, 0, "750"},
                                           ExtremeCase{"NaNY", 0, kNaN, "0"},
                                           ExtremeCase{"InfX", kInf, 0, "750"},
                                           ExtremeCase{"NegativeInfY", 0, -kInf, "0"},
                                           ExtremeCase{"XBeyond32Bits", 3e9f, 0, "750"},
                                           // x rounds into 32 bits but tone leaves 16 bits
                                           ExtremeCase{"ToneBeyond16Bits", 6.6e6f, 0, "1650000"},
                                           ExtremeCase{"ToneBBeyond16Bits", 3000, 6.6e6f, "750"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace scrivola::testing
