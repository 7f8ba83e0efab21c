#include "canvas/quarter_switches.h"

#include <array>

#include "canvas/standard_palette.h"

namespace scrivola {

namespace {

constexpr float kColumnSplit = 2000.0f;
constexpr float kUpperBandEnd = 5000.0f;
constexpr float kLowerBandStart = 5500.0f;

enum class Column { Left, Right };      // x <= split, x >= split
enum class Band { Any, Upper, Lower };  // any y, y < upper end, y > lower start

struct QuarterRule {
    ColorValue colour;
    SwitchId box;
    int writes;
    Column column;
    Band band;
};

constexpr std::array<QuarterRule, 16> kRules = {{
    {kMagenta, Check2, 1, Column::Left, Band::Upper},
    {kMagenta, Check2, 0, Column::Right, Band::Any},
    {kMagenta, Check5, 1, Column::Right, Band::Upper},
    {kMagenta, Check5, 0, Column::Left, Band::Any},
    {kMagenta, Check6, 1, Column::Left, Band::Lower},
    {kMagenta, Check6, 0, Column::Right, Band::Any},
    {kMagenta, Check9, 1, Column::Right, Band::Lower},
    {kMagenta, Check9, 0, Column::Left, Band::Any},
    {kYellow, Check10, 1, Column::Left, Band::Upper},
    {kYellow, Check10, 0, Column::Right, Band::Any},
    {kYellow, Check11, 1, Column::Right, Band::Upper},
    {kYellow, Check11, 0, Column::Left, Band::Any},
    {kYellow, Check8, 1, Column::Left, Band::Lower},
    {kYellow, Check8, 0, Column::Right, Band::Any},
    {kYellow, Check12, 1, Column::Right, Band::Lower},
    {kYellow, Check12, 0, Column::Left, Band::Any},
}};

bool inColumn(Column column, float x) {
    return column == Column::Left ? x <= kColumnSplit : x >= kColumnSplit;
}

bool inBand(Band band, float y) {
    switch (band) {
        case Band::Upper:
            return y < kUpperBandEnd;
        case Band::Lower:
            return y > kLowerBandStart;
        case Band::Any:
            break;
    }
    return true;
}

}  // namespace

void applyQuarterSwitches(ColorValue penColour, float x, float y, SwitchSet& switches) {
    for (const QuarterRule& rule : kRules) {
        if (rule.colour == penColour && inColumn(rule.column, x) && inBand(rule.band, y)) {
            switches.setValue(rule.box, rule.writes);
        }
    }
}

}  // namespace scrivola
