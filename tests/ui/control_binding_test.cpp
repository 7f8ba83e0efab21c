// The controls and the core never disagree: switches and sliders move their
// widgets and the widgets move them.
#include <gtest/gtest.h>

#include <QSlider>

#include "audio/silent_sound_layer.h"
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

TEST_F(BindingTest, SlidersAndTheirValuesAgreeBothWays) {
    QSlider& level = *form.controls().VScroll1;
    QSlider& decay = *form.controls().Slider1;
    form.sliders().releaseLevel.setValue(90);
    EXPECT_EQ(level.value(), 90);
    level.setValue(35);
    EXPECT_EQ(form.sliders().releaseLevel.value(), 35);
    decay.setValue(7);
    EXPECT_EQ(form.sliders().decayStep.value(), 7);
    form.sliders().decayStep.setValue(2);
    EXPECT_EQ(decay.value(), 2);
}

}  // namespace
}  // namespace scrivola
