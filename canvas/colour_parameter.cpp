#include "canvas/colour_parameter.h"

#include <array>
#include <string>

#include "canvas/standard_palette.h"
#include "synth/numeric.h"

namespace scrivola {

namespace {

struct ColourRow {
    ColorValue colour;
    ParameterText parameter;
    std::int32_t unitsPerStep;
};

// Checked in this order; the colours are distinct, so at most one matches.
constexpr std::array<ColourRow, 5> kColourRows = {{
    {kBlue, kTremoloRate, 100},
    {kGreen, kVibratoRate, 100},
    {kGrey, kSecondTremoloRate, 100},
    {kRed, kVoiceACut, 4},
    {kCyan, kVoiceBCut, 4},
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
