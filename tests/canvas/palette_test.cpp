#include "canvas/palette.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "canvas/standard_palette.h"
#include "canvas_fakes.h"

namespace scrivola::testing {
namespace {

class PaletteTest : public ::testing::Test {
protected:
    PaletteTest() { palette.applyStartupColours(); }

    FakeSwatches lblcolor;
    FakeSurface picdraw;
    Palette palette{lblcolor, picdraw};
};

TEST_F(PaletteTest, StartupColoursSwatchesInOrderAndGivesWhitePenOnBlack) {
    const std::vector<ColorValue> expected = {0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                              0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    EXPECT_EQ(std::vector<ColorValue>(lblcolor.colours.begin(), lblcolor.colours.end()), expected);
    EXPECT_EQ(lblcolor.order, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(picdraw.back, 0x000000u);
    EXPECT_EQ(picdraw.foreColor(), 0xFFFFFFu);
}

TEST_F(PaletteTest, ClickCopiesTheSwatchColourAndNothingElse) {
    picdraw.setCurrentPosition(12, 34);
    for (std::int16_t index = 0; index < kSwatchCount; ++index) {
        palette.choose(index);
        EXPECT_EQ(picdraw.foreColor(), kStandardPalette[static_cast<std::size_t>(index) + 8]);
    }
    EXPECT_EQ(picdraw.back, 0x000000u);
    EXPECT_FLOAT_EQ(picdraw.currentX(), 12);
    EXPECT_FLOAT_EQ(picdraw.currentY(), 34);
    EXPECT_TRUE(picdraw.segments.empty());
    EXPECT_EQ(lblcolor.order.size(), 8u) << "a click never recolours a swatch";
}

TEST_F(PaletteTest, ClickTakesTheSwatchColourAtThatMoment) {
    lblcolor.setBackColor(3, 0x010203);
    palette.choose(3);
    EXPECT_EQ(picdraw.foreColor(), 0x010203u);
}

TEST_F(PaletteTest, IndexOutsideTheSwatchesIsIgnored) {
    palette.choose(1);
    for (std::int16_t index : {-1, 8, 32767, -32768}) {
        palette.choose(index);
        EXPECT_EQ(picdraw.foreColor(), kBlue) << "index " << index;
    }
}

}  // namespace
}  // namespace scrivola::testing
