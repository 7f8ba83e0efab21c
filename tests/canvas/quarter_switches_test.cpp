// The magenta and yellow pens switching waveform boxes by quarter.
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "gesture_fixture.h"

namespace scrivola::testing {
namespace {

struct QuarterCase {
    const char* name;
    ColorValue colour;
    float x;
    float y;
    int start;                      // value of all twelve switches before the move
    std::vector<SwitchId> flipped;  // the switches whose value the move changes
};

void PrintTo(const QuarterCase& c, std::ostream* os) {
    *os << c.name;
}

class QuarterSwitchTest : public GestureTest, public ::testing::WithParamInterface<QuarterCase> {};

TEST_P(QuarterSwitchTest, SwitchesOnlyTheExpectedBoxes) {
    const QuarterCase& c = GetParam();
    for (int id = Check1; id <= Check12; ++id) {
        switches.setValue(SwitchId(id), c.start);
    }
    switches.setValue(Check3, 0);  // pitch is not what this test is about
    picdraw.setForeColor(c.colour);
    press(c.x, c.y);
    move(c.x, c.y);

    for (int id = Check1; id <= Check12; ++id) {
        if (id == Check3) {
            continue;
        }
        const bool flips =
            std::find(c.flipped.begin(), c.flipped.end(), SwitchId(id)) != c.flipped.end();
        EXPECT_EQ(switches.value(SwitchId(id)), flips ? 1 - c.start : c.start) << "Check" << id;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Magenta, QuarterSwitchTest,
    ::testing::Values(QuarterCase{"UpperLeftOn", kMagenta, 1000, 1000, 0, {Check2}},
                      QuarterCase{"UpperRightOn", kMagenta, 3000, 1000, 0, {Check5}},
                      QuarterCase{"LowerLeftOn", kMagenta, 1000, 6000, 0, {Check6}},
                      QuarterCase{"LowerRightOn", kMagenta, 3000, 6000, 0, {Check9}},
                      // In a column the other column's boxes go off; the column's own other
                      // band is left alone.
                      QuarterCase{"LeftColumnOff", kMagenta, 1000, 1000, 1, {Check5, Check9}},
                      QuarterCase{"RightColumnOff", kMagenta, 3000, 6000, 1, {Check2, Check6}},
                      // The strip between the bands switches nothing on.
                      QuarterCase{"StripTopEdge", kMagenta, 1000, 5000, 0, {}},
                      QuarterCase{"StripBottomEdge", kMagenta, 3000, 5500, 0, {}},
                      QuarterCase{"StripLeftOff", kMagenta, 1000, 5200, 1, {Check5, Check9}},
                      QuarterCase{"StripRightOff", kMagenta, 3000, 5200, 1, {Check2, Check6}},
                      QuarterCase{"JustAboveStrip", kMagenta, 1000, 4999.5f, 0, {Check2}},
                      QuarterCase{"JustBelowStrip", kMagenta, 1000, 5500.5f, 0, {Check6}},
                      // On the split both rules of a box apply and switching off comes last.
                      QuarterCase{
                          "SplitUpper", kMagenta, 2000, 1000, 1, {Check2, Check5, Check6, Check9}},
                      QuarterCase{"SplitLower", kMagenta, 2000, 6000, 0, {}},
                      QuarterCase{"JustLeftOfSplit", kMagenta, 1999.9f, 1000, 0, {Check2}},
                      QuarterCase{"OutsideSurface", kMagenta, -400, -400, 0, {Check2}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Yellow, QuarterSwitchTest,
    ::testing::Values(
        QuarterCase{"UpperLeftOn", kYellow, 1000, 1000, 0, {Check10}},
        QuarterCase{"UpperRightOn", kYellow, 3000, 1000, 0, {Check11}},
        QuarterCase{"LowerLeftOn", kYellow, 1000, 6000, 0, {Check8}},
        QuarterCase{"LowerRightOn", kYellow, 3000, 6000, 0, {Check12}},
        QuarterCase{"LeftColumnOff", kYellow, 1000, 6000, 1, {Check11, Check12}},
        QuarterCase{"RightColumnOff", kYellow, 3000, 1000, 1, {Check10, Check8}},
        QuarterCase{"StripLeftOff", kYellow, 1000, 5000, 1, {Check11, Check12}},
        QuarterCase{"SplitLower", kYellow, 2000, 6000, 1, {Check10, Check11, Check8, Check12}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(OtherColours, QuarterSwitchTest,
                         ::testing::Values(QuarterCase{"WhiteOn", kWhite, 1000, 1000, 0, {}},
                                           QuarterCase{"WhiteOff", kWhite, 2000, 6000, 1, {}},
                                           QuarterCase{"BlueOff", kBlue, 2000, 1000, 1, {}},
                                           QuarterCase{"DarkMagenta", 0x800080, 1000, 1000, 0, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GestureTest, BoxesOfOneColumnCanBeOnTogether) {
    strokeTo(kMagenta, 1000, 1000);
    move(1000, 6000);
    EXPECT_EQ(switches.value(Check2), 1);
    EXPECT_EQ(switches.value(Check6), 1);
    move(3000, 5200);
    EXPECT_EQ(switches.value(Check2), 0);
    EXPECT_EQ(switches.value(Check6), 0);
}

TEST_F(GestureTest, PenUpSwitchesNothing) {
    picdraw.setForeColor(kMagenta);
    move(1000, 1000);
    EXPECT_EQ(switches.value(Check2), 0);
}

}  // namespace
}  // namespace scrivola::testing
