#include "tests/fuzz/state_invariants.h"

#include <gtest/gtest.h>

#include "canvas/standard_palette.h"

namespace scrivola::fuzz {
namespace {

TEST(DecimalIntegerTest, AcceptsWholeNumbersOfThirtyTwoBits) {
    for (const char* text : {"0", "7", "-7", "30", "-250", "2147483647", "-2147483648"}) {
        EXPECT_TRUE(isDecimalInteger(text)) << text;
    }
}

TEST(DecimalIntegerTest, RejectsAnythingElse) {
    for (const char* text : {"", "-", "-0", "007", "+3", " 3", "3 ", "1.5", "1,5", "1e3", "0x10",
                             "2147483648", "-2147483649", "99999999999", "NaN", "inf"}) {
        EXPECT_FALSE(isDecimalInteger(text)) << '"' << text << '"';
    }
}

TEST(SwatchColourTest, OnlyTheEightBrightEntries) {
    for (int i = 8; i < 16; ++i) {
        EXPECT_TRUE(isSwatchColour(kStandardPalette[static_cast<std::size_t>(i)])) << i;
    }
    for (ColorValue colour : {kBlack, ColorValue{0x800000}, ColorValue{0xC0C0C0},
                              ColorValue{0xFFFFFE}, ColorValue{0x1FFFFFF}}) {
        EXPECT_FALSE(isSwatchColour(colour)) << colour;
    }
}

class ViolationTest : public ::testing::Test {
protected:
    ViolationTest() {
        state.amsp = state.fmsp = state.amsp2 = state.cut = state.cut2 = "0";
        state.level = 100;
    }
    SynthState state;
};

TEST_F(ViolationTest, AStartedWindowKeepsEveryRule) {
    EXPECT_EQ(firstViolation(state, kWhite, false), "");
    state.amount = "3";
    state.penDown = -1;
    state.level = 0;
    EXPECT_EQ(firstViolation(state, kBlue, true), "");
}

TEST_F(ViolationTest, NamesEachBrokenRule) {
    SynthState s = state;
    s.penDown = 1;
    EXPECT_EQ(firstViolation(s, kWhite, false), "penDown is 1");
    s = state;
    s.level = 101;
    EXPECT_EQ(firstViolation(s, kWhite, false), "level is 101");
    s.level = -1;
    EXPECT_EQ(firstViolation(s, kWhite, false), "level is -1");
    s = state;
    s.cut2 = "";
    EXPECT_EQ(firstViolation(s, kWhite, false), "cut2 is \"\"");
    s = state;
    s.fmsp = "1.5";
    EXPECT_EQ(firstViolation(s, kWhite, false), "fmsp is \"1.5\"");
    s = state;
    EXPECT_EQ(firstViolation(s, 0x808081, false), "pen colour is 8421505");
}

TEST_F(ViolationTest, AmountMayBeEmptyOnlyBeforeTheFirstLeftPress) {
    EXPECT_EQ(firstViolation(state, kWhite, false), "");
    EXPECT_EQ(firstViolation(state, kWhite, true), "amount is \"\"");
    state.amount = "x";
    EXPECT_EQ(firstViolation(state, kWhite, false), "amount is \"x\"");
}

}  // namespace
}  // namespace scrivola::fuzz
