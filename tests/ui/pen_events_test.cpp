// Real mouse events on the window's controls, from the swatch click to the
// stroke on the surface: the pixels drawn, the pitch terms and the parameter
// of the pen's colour, all through the conversion of pixels to twips.
#include <gtest/gtest.h>

#include <QTest>

#include "recording_sound_layer.h"
#include "ui/form1.h"

namespace scrivola {
namespace {

TEST(PenEventsTest, ARedStrokeDrawsAndSetsPitchAndCut) {
    RecordingSoundLayer sound;
    Form1 form(sound);
    ASSERT_TRUE(form.Form_Load());
    form.show();
    PictureBox& picdraw = *form.controls().picdraw;
    const QPoint border(PictureBox::kBorderPixels, PictureBox::kBorderPixels);

    QTest::mouseClick(form.controls().lblcolor[4], Qt::LeftButton);
    ASSERT_EQ(form.picdrawSurface().foreColor(), 0x0000FFu);  // red

    // Drawing-area pixels; 15 twips each.
    QTest::mousePress(&picdraw, Qt::LeftButton, Qt::NoModifier, border + QPoint(40, 100));
    EXPECT_EQ(form.state().penDown, -1);
    EXPECT_EQ(form.state().amount, "1");  // Slider1 as designed
    EXPECT_EQ(form.synth().ampA, 100);
    QTest::mouseMove(&picdraw, border + QPoint(160, 100));
    QTest::mouseMove(&picdraw, border + QPoint(160, 300));
    // x = 2400 twips, y = 4500 twips.
    EXPECT_EQ(form.synth().tone, 2400 / 200 - 20);
    EXPECT_EQ(form.synth().toneB, -8 + 4500 / 200);
    EXPECT_EQ(form.state().cut, "600");  // 2400 \ 4
    EXPECT_EQ(form.state().fmsp, "0");
    EXPECT_EQ(form.controls().Text1->text(), QStringLiteral("255"));
    EXPECT_EQ(form.controls().Label2->text(), QStringLiteral("4500"));

    const QImage& drawn = picdraw.image();
    EXPECT_EQ(drawn.pixel(100, 100), qRgb(255, 0, 0));
    EXPECT_EQ(drawn.pixel(160, 200), qRgb(255, 0, 0));
    EXPECT_EQ(drawn.pixel(100, 200), qRgb(0, 0, 0));
    EXPECT_EQ(drawn.pixel(30, 100), qRgb(0, 0, 0));

    QTest::mouseRelease(&picdraw, Qt::LeftButton, Qt::NoModifier, border + QPoint(160, 300));
    EXPECT_EQ(form.state().penDown, 0);
    EXPECT_EQ(form.synth().ampA, 0);
    EXPECT_EQ(form.state().level, 90);  // VScroll1

    // With the pen up, moving draws nothing and sets nothing.
    QTest::mouseMove(&picdraw, border + QPoint(300, 400));
    EXPECT_EQ(form.state().cut, "600");
    EXPECT_EQ(drawn.pixel(230, 350), qRgb(0, 0, 0));
}

}  // namespace
}  // namespace scrivola
