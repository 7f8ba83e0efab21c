#include "canvas/colour_parameter.h"

#include <array>
#include <string>

#include "canvas/standard_palette.h"
#include "synth/numeric.h"

namespace scrivola {

namespace {

struct ColourRow {
    ColorValue colour;
    std::string SynthState::*parameter;
    std::int32_t unitsPerStep;
};

// Checked in this order; the colours are distinct, so at most one matches.
constexpr std::array<ColourRow, 5> kColourRows = {{
    {kBlue, &SynthState::amsp, 100},
    {kGreen, &SynthState::fmsp, 100},
    {kGrey, &SynthState::amsp2, 100},
    {kRed, &SynthState::cut, 4},
    {kCyan, &SynthState::cut2, 4},
}};

}  // namespace

void setColourParameter(ColorValue penColour, float x, SynthState& state) {
    for (const ColourRow& row : kColourRows) {
        if (row.colour != penColour) {
            continue;
        }
        const Converted<std::int32_t> roundedX = toInt32(x);
        if (roundedX) {
            state.*row.parameter = decimalText(divTrunc(*roundedX, row.unitsPerStep));
        }
        return;
    }
}

}  // namespace scrivola
