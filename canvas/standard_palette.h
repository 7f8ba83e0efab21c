// The standard 16-colour palette as colour values (0x00BBGGRR, red in the low
// byte). Entries 0..7 are the dark half, 8..15 the bright half that the
// swatches show. The pen gestures compare the pen colour with these values
// exactly.
#pragma once

#include <array>

#include "canvas/pen_surface.h"

namespace scrivola {

inline constexpr ColorValue kBlack = 0x000000;
inline constexpr ColorValue kGrey = 0x808080;
inline constexpr ColorValue kBlue = 0xFF0000;
inline constexpr ColorValue kGreen = 0x00FF00;
inline constexpr ColorValue kCyan = 0xFFFF00;
inline constexpr ColorValue kRed = 0x0000FF;
inline constexpr ColorValue kMagenta = 0xFF00FF;
inline constexpr ColorValue kYellow = 0x00FFFF;
inline constexpr ColorValue kWhite = 0xFFFFFF;

inline constexpr std::array<ColorValue, 16> kStandardPalette = {
    kBlack,
    0x800000,  // dark blue
    0x008000,  // dark green
    0x808000,  // dark cyan
    0x000080,  // dark red
    0x800080,  // dark magenta
    0x008080,  // dark yellow
    0xC0C0C0,  // light grey
    kGrey,    kBlue, kGreen, kCyan, kRed, kMagenta, kYellow, kWhite,
};

}  // namespace scrivola
