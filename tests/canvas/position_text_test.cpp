#include "canvas/position_text.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <limits>
#include <ostream>
#include <string>

namespace scrivola {
namespace {

struct TextCase {
    float value;
    const char* separator;
    const char* expected;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << std::setprecision(9) << c.value << " with '" << c.separator << "'";
}

class PositionTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(PositionTextTest, ShortestFormOfAtMostSevenDigits) {
    const TextCase& c = GetParam();
    EXPECT_EQ(positionText(c.value, c.separator), c.expected) << "value " << c.value;
}

constexpr float kInf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Plain, PositionTextTest,
    ::testing::Values(
        TextCase{0.0f, ".", "0"}, TextCase{-0.0f, ".", "0"}, TextCase{9735, ".", "9735"},
        TextCase{-10, ".", "-10"}, TextCase{1234567, ".", "1234567"}, TextCase{12.5f, ".", "12.5"},
        TextCase{-0.25f, ".", "-0.25"}, TextCase{12.5f, ",", "12,5"},
        TextCase{7.5f, "\xD9\xAB",
                 "7\xD9\xAB"
                 "5"},
        // floats read back as the short decimal a user typed
        TextCase{0.1f, ".", "0.1"}, TextCase{4999.9f, ".", "4999.9"},
        // more than seven digits round to seven
        TextCase{1.0f / 3.0f, ".", "0.3333333"}, TextCase{1234.5678f, ".", "1234.568"},
        TextCase{12345678, ".", "12345680"}, TextCase{1.2999996f, ".", "1.3"},  // rounding carries
        TextCase{123456789012345.0f, ".", "123456800000000"}, TextCase{0.00001f, ".", "0.00001"},
        TextCase{-0.000012345f, ",", "-0,000012345"}));

INSTANTIATE_TEST_SUITE_P(Scientific, PositionTextTest,
                         ::testing::Values(TextCase{1e15f, ".", "1E+15"},
                                           TextCase{1.5e15f, ",", "1,5E+15"},
                                           TextCase{1e30f, ".", "1E+30"},
                                           TextCase{-1e30f, ".", "-1E+30"},
                                           TextCase{3.4028235e38f, ".", "3.402823E+38"},
                                           TextCase{0.000001f, ".", "1E-06"},
                                           TextCase{-1.2345678e-7f, ".", "-1.234568E-07"},
                                           TextCase{1e-45f, ".", "1E-45"}));

INSTANTIATE_TEST_SUITE_P(
    NotANumber, PositionTextTest,
    ::testing::Values(TextCase{kInf, ".", "Infinity"}, TextCase{-kInf, ".", "-Infinity"},
                      TextCase{std::numeric_limits<float>::quiet_NaN(), ".", "NaN"}));

}  // namespace
}  // namespace scrivola
