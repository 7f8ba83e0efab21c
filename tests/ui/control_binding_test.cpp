// The controls and the core never disagree: switches and sliders move their
// widgets and the widgets move them. Also the wiring of the drawing surface
// and the swatches to the pen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSlider>

#include "audio/silent_sound_layer.h"
#include "recording_sound_layer.h"
#include "ui/form1.h"

namespace scrivola {
namespace {

class BindingTest : public ::testing::Test {
protected:
    SilentSoundLayer sound;
    Form1 form{sound};
};

TEST_F(BindingTest, EverySwitchAndItsCheckBoxAgreeBothWays) {
    for (int n = Check1; n <= Check12; ++n) {
        const auto id = static_cast<SwitchId>(n);
        SCOPED_TRACE(n);
        FlatButton& box = form.controls().check(id);
        EXPECT_EQ(box.objectName().toStdString(), "Check" + std::to_string(n));
        EXPECT_TRUE(box.isCheckable());
        // As laid out: only the two plain sines are on.
        EXPECT_EQ(box.isChecked(), id == Check1 || id == Check7);
        EXPECT_EQ(box.isChecked(), form.switches().isOn(id));

        form.switches().setValue(id, 1);
        EXPECT_TRUE(box.isChecked());
        form.switches().setValue(id, 0);
        EXPECT_FALSE(box.isChecked());

        box.setChecked(true);
        EXPECT_EQ(form.switches().value(id), 1);
        box.setChecked(false);
        EXPECT_EQ(form.switches().value(id), 0);
    }
}

TEST_F(BindingTest, KeepToneButtonTogglesTheSwitchWhenClicked) {
    FlatButton& keepTone = form.controls().check(Check3);
    keepTone.click();
    EXPECT_EQ(form.switches().value(Check3), 1);
    EXPECT_TRUE(keepTone.isChecked());
    keepTone.click();
    EXPECT_EQ(form.switches().value(Check3), 0);
}

TEST_F(BindingTest, KeepToneStaysDownWhileChecked) {
    FlatButton& keepTone = form.controls().check(Check3);
    // A raised edge is light at the top left, a pressed one dark.
    EXPECT_EQ(keepTone.grab().toImage().pixel(0, 0), qRgb(255, 255, 255));
    form.switches().setValue(Check3, 1);
    EXPECT_EQ(keepTone.grab().toImage().pixel(0, 0), qRgb(0, 0, 0));
    // Its face keeps its colour either way.
    EXPECT_EQ(keepTone.grab().toImage().pixel(keepTone.width() / 2, 3), qRgb(0, 128, 0));
}

TEST_F(BindingTest, ResetsReachTheCheckBoxes) {
    form.switches().setValue(Check5, 1);
    form.switches().setValue(Check10, 1);
    form.Command1_Click();
    EXPECT_FALSE(form.controls().check(Check5).isChecked());
    EXPECT_FALSE(form.controls().check(Check10).isChecked());
    EXPECT_TRUE(form.controls().check(Check1).isChecked());
}

TEST_F(BindingTest, SlidersAndTheirValuesAgreeBothWays) {
    QSlider& level = *form.controls().VScroll1;
    QSlider& decay = *form.controls().Slider1;
    form.sliders().VScroll1.setValue(90);
    EXPECT_EQ(level.value(), 90);
    level.setValue(35);
    EXPECT_EQ(form.sliders().VScroll1.value(), 35);
    decay.setValue(7);
    EXPECT_EQ(form.sliders().Slider1.value(), 7);
    form.sliders().Slider1.setValue(2);
    EXPECT_EQ(decay.value(), 2);
}

TEST(StartUpTest, LoadOpensPlaysAndSetsTheStartingValues) {
    RecordingSoundLayer sound;
    Form1 form(sound);
    ASSERT_TRUE(form.Form_Load());
    EXPECT_EQ(sound.opens, 1);
    EXPECT_EQ(sound.plays, (std::vector<std::pair<int, int>>{{0, 1}, {1, 1}}));
    EXPECT_EQ(form.controls().VScroll1->value(), 90);
    EXPECT_EQ(form.state().level, 100);
    EXPECT_FALSE(form.controls().check(Check3).isChecked());
    const ColorValue expected[] = {0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                   0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(form.controls().lblcolor[i]->backColor(), expected[i]) << i;
    }
    EXPECT_EQ(form.picdrawSurface().foreColor(), 0xFFFFFFu);
    EXPECT_EQ(form.controls().picdraw->image().pixel(5, 5), qRgb(0, 0, 0));
}

TEST(StartUpTest, WithoutASoundDeviceNothingElseHappens) {
    RecordingSoundLayer sound;
    sound.openResult = false;
    Form1 form(sound);
    EXPECT_FALSE(form.Form_Load());
    EXPECT_TRUE(sound.plays.empty());
}

TEST(StartUpTest, ClosingTheWindowReleasesTheSound) {
    RecordingSoundLayer sound;
    Form1 form(sound);
    ASSERT_TRUE(form.Form_Load());
    form.show();
    form.close();
    EXPECT_EQ(sound.releases, 1);
}

void sendMouse(QWidget& widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

TEST(PenWiringTest, StrokesOnTheSurfaceDrawAndReachTheGestures) {
    SilentSoundLayer sound;
    Form1 form(sound);
    ASSERT_TRUE(form.Form_Load());
    PictureBox& picdraw = *form.controls().picdraw;
    const int border = PictureBox::kBorderPixels;

    // A green pen: the stroke sets fmsp from x and is drawn in green.
    form.lblcolor_Click(2);
    sendMouse(picdraw, QEvent::MouseButtonPress, QPointF(border + 100, border + 100),
              Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(form.state().penDown, -1);
    sendMouse(picdraw, QEvent::MouseMove, QPointF(border + 200, border + 100), Qt::NoButton,
              Qt::LeftButton);
    EXPECT_EQ(form.state().fmsp, "30");  // x = 200 px = 3000 twips
    EXPECT_EQ(picdraw.image().pixel(150, 100), qRgb(0, 255, 0));
    EXPECT_EQ(form.controls().Text1->text(), QStringLiteral("65280"));
    EXPECT_EQ(form.controls().Label2->text(), QStringLiteral("1500"));
    sendMouse(picdraw, QEvent::MouseButtonRelease, QPointF(border + 200, border + 100),
              Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(form.state().penDown, 0);
    EXPECT_EQ(form.synth().ampA, 0);
}

TEST(PenWiringTest, ClickingASwatchChangesThePenColour) {
    SilentSoundLayer sound;
    Form1 form(sound);
    ASSERT_TRUE(form.Form_Load());
    SwatchLabel& magenta = *form.controls().lblcolor[5];
    sendMouse(magenta, QEvent::MouseButtonPress, QPointF(10, 10), Qt::LeftButton, Qt::LeftButton);
    sendMouse(magenta, QEvent::MouseButtonRelease, QPointF(10, 10), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(form.picdrawSurface().foreColor(), 0xFF00FFu);
}

}  // namespace
}  // namespace scrivola
