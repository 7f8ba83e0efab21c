#include "synth/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace scrivola {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    struct Case {
        double in;
        double out;
    };
    for (const Case c : {Case{2.5, 2},
                         {3.5, 4},
                         {-2.5, -2},
                         {-3.5, -4},
                         {0.5, 0},
                         {-0.5, -0},
                         {1.5, 2},
                         {198.5, 198},
                         {199.5, 200},
                         {2.4999, 2},
                         {2.5001, 3},
                         {-0.3, 0},
                         {1e300, 1e300}}) {
        EXPECT_EQ(roundHalfEven(c.in), c.out) << c.in;
    }
}

TEST(RoundHalfEven, AgreesWithTheFloatingPointUnitsNearestEven) {
    // The default rounding mode of the FPU is round to nearest, ties to even.
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> wide(-1e6, 1e6);
    for (int i = 0; i < 200000; ++i) {
        const double v =
            (i % 2 == 0) ? wide(rng) : std::ldexp(static_cast<double>(rng() % 4001) - 2000.0, -1);
        ASSERT_EQ(roundHalfEven(v), std::nearbyint(v)) << v;
    }
    for (double v : {0x1p52 - 0.5, -(0x1p52 - 0.5), 0x1p52, 0x1p53 + 2, -0x1p63, 4.5e15 + 0.5}) {
        EXPECT_EQ(roundHalfEven(v), std::nearbyint(v)) << v;
    }
    EXPECT_TRUE(std::isnan(roundHalfEven(kNaN)));
    EXPECT_EQ(roundHalfEven(-kInf), -kInf);
}

TEST(Conversions, SixteenBitBoundaries) {
    EXPECT_EQ(*toInt16(32767.0), 32767);
    EXPECT_EQ(*toInt16(32767.4), 32767);
    EXPECT_EQ(toInt16(32767.5).error(), ConversionError::Overflow);  // rounds to 32768
    EXPECT_EQ(toInt16(32768.0).error(), ConversionError::Overflow);
    EXPECT_EQ(*toInt16(-32768.0), -32768);
    EXPECT_EQ(*toInt16(-32768.5), -32768);  // the even neighbour is in range
    EXPECT_EQ(toInt16(-32769.0).error(), ConversionError::Overflow);
    EXPECT_FALSE(toInt16(kNaN));
    EXPECT_FALSE(toInt16(kInf));
    EXPECT_FALSE(toInt16(-kInf));
}

TEST(Conversions, ThirtyTwoBitBoundaries) {
    EXPECT_EQ(*toInt32(2147483647.0), 2147483647);
    EXPECT_FALSE(toInt32(2147483647.5));
    EXPECT_EQ(*toInt32(-2147483648.0), -2147483647 - 1);
    EXPECT_FALSE(toInt32(-2147483649.0));
    EXPECT_FALSE(toInt32(kNaN));
    EXPECT_EQ(*toInt32(-0.5), 0);
}

TEST(Conversions, ByteBoundaries) {
    EXPECT_EQ(*toByte(255.0), 255);
    EXPECT_EQ(*toByte(255.4), 255);
    EXPECT_FALSE(toByte(255.5));
    EXPECT_EQ(*toByte(-0.5), 0);
    EXPECT_FALSE(toByte(-0.6));
    EXPECT_FALSE(toByte(-1.0));
    EXPECT_FALSE(toByte(kNaN));
    EXPECT_FALSE(toByte(-kInf));
}

TEST(Conversions, FailedConversionLeavesTheTargetAlone) {
    std::int16_t target = 7;
    EXPECT_FALSE(toInt16(1e9).assignTo(target));
    EXPECT_EQ(target, 7);
    EXPECT_TRUE(toInt16(-3.0).assignTo(target));
    EXPECT_EQ(target, -3);
}

TEST(Conversions, DivisionTruncatesTowardZero) {
    EXPECT_EQ(divTrunc(-150, 200), 0);
    EXPECT_EQ(divTrunc(-250, 200), -1);
    EXPECT_EQ(divTrunc(-10, 4), -2);
    EXPECT_EQ(divTrunc(2550, 100), 25);
}

TEST(Conversions, SingleStoreOverflowsToInfinityWithoutUndefinedBehaviour) {
    EXPECT_EQ(toSingle(1e39), std::numeric_limits<float>::infinity());
    EXPECT_EQ(toSingle(-1e39), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(toSingle(3.4028234e38), std::numeric_limits<float>::max());
    EXPECT_EQ(toSingle(0.1), 0.1f);
    EXPECT_TRUE(std::isnan(toSingle(kNaN)));
}

TEST(DecimalText, WritesSignAndDigitsOnly) {
    EXPECT_EQ(decimalText(0), "0");
    EXPECT_EQ(decimalText(637), "637");
    EXPECT_EQ(decimalText(-2), "-2");
    EXPECT_EQ(decimalText(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(decimalText(2147483647), "2147483647");
}

TEST(ParameterText, ReadsAsSixteenBitInteger) {
    struct Case {
        const char* text;
        ConversionError error;
        std::int16_t value;
    };
    const Case cases[] = {
        {"0", ConversionError::None, 0},
        {"25", ConversionError::None, 25},
        {"-2", ConversionError::None, -2},
        {"32767", ConversionError::None, 32767},
        {"-32768", ConversionError::None, -32768},
        {"32768", ConversionError::Overflow, 0},
        {"-32769", ConversionError::Overflow, 0},
        {"2.5", ConversionError::None, 2},
        {"3.5", ConversionError::None, 4},
        {" 12 ", ConversionError::None, 12},
        {"+7", ConversionError::None, 7},
        {"1e3", ConversionError::None, 1000},
        {"1e400", ConversionError::Overflow, 0},
        {"", ConversionError::TypeMismatch, 0},
        {" ", ConversionError::TypeMismatch, 0},
        {"abc", ConversionError::TypeMismatch, 0},
        {"12abc", ConversionError::TypeMismatch, 0},
        {"-", ConversionError::TypeMismatch, 0},
        {".", ConversionError::TypeMismatch, 0},
        {"1e", ConversionError::TypeMismatch, 0},
        {"inf", ConversionError::TypeMismatch, 0},
        {"nan", ConversionError::TypeMismatch, 0},
        {"0x10", ConversionError::TypeMismatch, 0},
        {"1 2", ConversionError::TypeMismatch, 0},
        {"--1", ConversionError::TypeMismatch, 0},
    };
    for (const Case& c : cases) {
        const Converted<std::int16_t> result = textToInt16(c.text);
        EXPECT_EQ(result.error(), c.error) << '"' << c.text << '"';
        if (c.error == ConversionError::None) {
            EXPECT_EQ(*result, c.value) << '"' << c.text << '"';
        }
    }
}

TEST(ParameterText, ReadsAsDouble) {
    EXPECT_EQ(*textToDouble("10"), 10.0);
    EXPECT_EQ(*textToDouble("-0.25"), -0.25);
    EXPECT_EQ(*textToDouble("1e-400"), 0.0);  // underflow is zero, not an error
    EXPECT_EQ(textToDouble("").error(), ConversionError::TypeMismatch);
    EXPECT_EQ(textToDouble("1e999").error(), ConversionError::Overflow);
}

TEST(ParameterText, EveryWrittenTextReadsBack) {
    for (std::int32_t v : {-32768, -1, 0, 1, 25, 637, 32767}) {
        EXPECT_EQ(*textToInt16(decimalText(v)), v);
    }
}

}  // namespace
}  // namespace scrivola
