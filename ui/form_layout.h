// The main window's fixed design: every control's place and size in twips,
// its caption, hint, face colour and font, the sliders' ranges, the picture
// boxes' coordinate systems, the frame lines and the menus. Nothing is moved
// or resized at run time.
#pragma once

#include <array>

#include "canvas/pen_surface.h"
#include "ui/color_value_qt.h"

namespace scrivola {

inline constexpr char kFormCaption[] = "SCRIVOLA SYNTH . . . . programmed by . . MERANDEL 2";
inline constexpr int kClientWidthTwips = 8520;
inline constexpr int kClientHeightTwips = 10470;
inline constexpr ColorValue kFormBackColor = rgbValue(64, 64, 64);

struct FontDesign {
    double points;
    bool bold;
};
inline constexpr FontDesign kDefaultFont{8.25, false};

struct ButtonDesign {
    const char* name;
    int left, top, width, height;
    const char* caption;
    const char* tooltip;
    ColorValue face;
    FontDesign font;
};

// Buttons in the graphical style; `Check3` (KEEP TONE) is the one check box
// among them and stays down while checked.
inline constexpr std::array<ButtonDesign, 7> kButtons{{
    {"cmdnew", 360, 360, 855, 255, "NEW", "New Drawing", rgbValue(128, 128, 128), {8.25, true}},
    {"cmdrst", 360, 720, 855, 255, "RESET", "Reset Synth", rgbValue(128, 128, 128), {8.25, true}},
    {"Check3",
     360,
     1200,
     855,
     495,
     "KEEP TONE",
     "Use last Tone",
     rgbValue(0, 128, 0),
     {6.75, true}},
    {"Command1",
     360,
     1920,
     855,
     495,
     "RESET TOUT",
     "Reset Drawing and Synth",
     rgbValue(0, 192, 192),
     {6.75, true}},
    {"Command2", 120, 6600, 495, 195, "0", "Reset osc2", rgbValue(0, 128, 128), kDefaultFont},
    {"cmdsin1", 120, 8280, 495, 195, "0", "Reset osc1", rgbValue(0, 128, 128), kDefaultFont},
    {"cmdexit",
     8160,
     120,
     255,
     285,
     "X",
     "Close Scrivola Synth",
     rgbValue(192, 0, 0),
     {12.0, true}},
}};

// Swatches, from top to bottom; all at left 1680, 495 x 495 twips.
struct SwatchDesign {
    int index;
    int top;
};
inline constexpr int kSwatchLeft = 1680;
inline constexpr int kSwatchSize = 495;
inline constexpr char kSwatchTooltip[] = "Select Colour";
inline constexpr std::array<SwatchDesign, 8> kSwatches{{
    {2, 360},
    {0, 1080},
    {4, 1800},
    {1, 2520},
    {3, 3240},
    {5, 4320},
    {6, 5040},
    {7, 5760},
}};

struct SliderDesign {
    const char* name;
    int left, top, width, height;
    int minimum, maximum, largeStep, smallStep, tickEvery;
};
inline constexpr std::array<SliderDesign, 2> kSliders{{
    {"Slider1", 240, 4800, 1095, 375, 1, 10, 5, 1, 1},
    {"VScroll1", 120, 9840, 2175, 375, 0, 100, 5, 1, 10},
}};

// The drawing surface and each voice's scope and level meter.
enum class PictureKind { Drawing, Scope, Meter };
struct PictureDesign {
    PictureKind kind;
    const char* name;
    int left, top, width, height;
    double unitXTwips, unitYTwips;
    int lineWidth;
    ColorValue backColor;
};
inline constexpr std::array<PictureDesign, 5> kPictures{{
    {PictureKind::Drawing, "picdraw", 2760, 360, 5175, 9735, 1.0, 1.0, 1, rgbValue(0, 0, 0)},
    {PictureKind::Scope, "WPB1", 240, 6840, 1935, 1335, 6.875, 5.1, 1, rgbValue(64, 64, 64)},
    {PictureKind::Meter, "o1VU", 120, 8160, 2175, 135, 24.75, 75.0, 5, rgbValue(0, 0, 0)},
    {PictureKind::Scope, "Picture1", 240, 8520, 1935, 1215, 6.875, 4.62, 1, rgbValue(64, 64, 64)},
    {PictureKind::Meter, "Picture2", 120, 9720, 2175, 135, 24.75, 75.0, 5, rgbValue(0, 0, 0)},
}};

// Check boxes beyond the right edge of the client area: never visible, but
// read and set by the program like any other.
enum class CheckPicture { None, Sine, Square };
struct SwitchBoxDesign {
    const char* name;
    int left, top, width, height;
    const char* caption;
    CheckPicture picture;
    bool systemColours;  // window background as face, window text as text
};
inline constexpr std::array<SwitchBoxDesign, 11> kSwitchBoxes{{
    {"Check4", 9600, 5640, 255, 375, "Check4", CheckPicture::None, false},
    {"Check9", 9840, 7200, 255, 375, "Check9", CheckPicture::None, false},
    {"Check1", 8880, 7560, 255, 375, "", CheckPicture::Sine, false},
    {"Check2", 9120, 7560, 255, 375, "", CheckPicture::Square, true},
    {"Check5", 9600, 7560, 255, 375, "Check5", CheckPicture::None, false},
    {"Check6", 9840, 7560, 255, 375, "Check6", CheckPicture::None, false},
    {"Check7", 8880, 7920, 255, 375, "", CheckPicture::Sine, true},
    {"Check8", 9120, 7920, 255, 375, "", CheckPicture::Square, true},
    {"Check10", 9600, 7920, 255, 375, "Check10", CheckPicture::None, false},
    {"Check11", 9840, 7920, 255, 375, "Check11", CheckPicture::None, false},
    {"Check12", 9960, 8400, 255, 255, "Check12", CheckPicture::None, false},
}};

struct TextBoxDesign {
    const char* name;
    int left, top, width, height;
    bool editable;  // a text box rather than a label
};
inline constexpr std::array<TextBoxDesign, 3> kTextBoxes{{
    {"Text1", 8640, 2520, 1335, 735, true},
    {"Label1", 9000, 8400, 855, 735, false},
    {"Label2", 9000, 9240, 735, 735, false},
}};

// The sixteen frame lines of the background, one pixel wide.
struct LineDesign {
    const char* name;
    int x1, y1, x2, y2;
};
inline constexpr std::array<LineDesign, 16> kLines{{
    {"Line1", 2640, 240, 8040, 240},
    {"Line2", 2640, 10200, 2640, 240},
    {"Line3", 8040, 10200, 2640, 10200},
    {"Line4", 8040, 240, 8040, 10200},
    {"Line5", 120, 9840, 120, 6600},
    {"Line6", 120, 6600, 2280, 6600},
    {"Line7", 2280, 6600, 2280, 9840},
    {"Line8", 2280, 8280, 120, 8280},
    {"Line9", 2280, 6360, 2280, 240},
    {"Line10", 1560, 240, 1560, 6360},
    {"Line11", 2280, 6360, 1560, 6360},
    {"Line12", 1560, 240, 2280, 240},
    {"Line13", 1320, 240, 240, 240},
    {"Line14", 1320, 2520, 240, 2520},
    {"Line15", 240, 240, 240, 2520},
    {"Line16", 1320, 240, 1320, 2520},
}};
inline constexpr ColorValue kLineColor = rgbValue(0, 0, 0);

struct MenuItemDesign {
    const char* name;
    const char* caption;
};
struct MenuDesign {
    const char* name;
    const char* caption;
    std::array<MenuItemDesign, 3> items;  // unused slots have no name
};
inline constexpr std::array<MenuDesign, 3> kMenus{{
    {"mnufile",
     "&file",
     {{{"mnunew", "New Drawing"}, {"mnureset", "Reset Synth"}, {"mnuresetall", "Reset All"}}}},
    {"mnutone", "tone", {{{"mnukeeptone", "Keep Tone"}, {"mnuchngtone", "Change Tone"}, {}}}},
    {"mnuhelp", "Help", {{{"mnuinfo", "info"}, {"mnuabout", "About"}, {}}}},
}};

}  // namespace scrivola
