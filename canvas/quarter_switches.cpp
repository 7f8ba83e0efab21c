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
    {kMagenta, kVoiceARipplePulse, 1, Column::Left, Band::Upper},
    {kMagenta, kVoiceARipplePulse, 0, Column::Right, Band::Any},
    {kMagenta, kVoiceATanOfCos, 1, Column::Right, Band::Upper},
    {kMagenta, kVoiceATanOfCos, 0, Column::Left, Band::Any},
    {kMagenta, kVoiceAPulse, 1, Column::Left, Band::Lower},
    {kMagenta, kVoiceAPulse, 0, Column::Right, Band::Any},
    {kMagenta, kVoiceASteppedSine, 1, Column::Right, Band::Lower},
    {kMagenta, kVoiceASteppedSine, 0, Column::Left, Band::Any},
    {kYellow, kVoiceBSteppedSine, 1, Column::Left, Band::Upper},
    {kYellow, kVoiceBSteppedSine, 0, Column::Right, Band::Any},
    {kYellow, kVoiceBTanOfCos, 1, Column::Right, Band::Upper},
    {kYellow, kVoiceBTanOfCos, 0, Column::Left, Band::Any},
    {kYellow, kVoiceBSquare, 1, Column::Left, Band::Lower},
    {kYellow, kVoiceBSquare, 0, Column::Right, Band::Any},
    {kYellow, kVoiceBPulse, 1, Column::Right, Band::Lower},
    {kYellow, kVoiceBPulse, 0, Column::Left, Band::Any},
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
