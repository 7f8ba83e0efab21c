// Everything a command could change in the window, taken at one moment, so a
// test can say exactly what a command changed and what it left alone.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <string>

#include "ui/form1.h"

namespace scrivola {

struct FormSnapshot {
    std::array<std::string, 6> texts;  // amsp, fmsp, amsp2, cut, cut2, amount
    std::int16_t penDown = 0;
    std::int16_t level = 0;
    std::array<int, 13> switches{};  // by SwitchId; entry 0 unused
    std::array<bool, 13> boxesChecked{};
    int vscroll1 = 0;
    int slider1 = 0;
    std::int16_t ampA = 0, ampB = 0, tone = 0, toneB = 0;
    QImage drawing;
    float currentX = 0, currentY = 0;
    ColorValue pen = 0;
    bool visible = false;
    bool timer1Ticking = false;
};

inline FormSnapshot snapshotOf(Form1& form) {
    FormSnapshot s;
    const SynthState& st = form.state();
    s.texts = {st.amsp, st.fmsp, st.amsp2, st.cut, st.cut2, st.amount};
    s.penDown = st.penDown;
    s.level = st.level;
    for (int n = Check1; n <= Check12; ++n) {
        const auto id = static_cast<SwitchId>(n);
        s.switches[static_cast<std::size_t>(n)] = form.switches().value(id);
        s.boxesChecked[static_cast<std::size_t>(n)] = form.controls().check(id).isChecked();
    }
    s.vscroll1 = form.controls().VScroll1->value();
    s.slider1 = form.controls().Slider1->value();
    s.ampA = form.synth().ampA;
    s.ampB = form.synth().ampB;
    s.tone = form.synth().tone;
    s.toneB = form.synth().toneB;
    s.drawing = form.controls().picdraw->image().copy();
    s.currentX = form.picdrawSurface().currentX();
    s.currentY = form.picdrawSurface().currentY();
    s.pen = form.picdrawSurface().foreColor();
    s.visible = form.isVisible();
    s.timer1Ticking = form.Timer1().isTicking();
    return s;
}

inline void expectSame(const FormSnapshot& actual, const FormSnapshot& expected) {
    EXPECT_EQ(actual.texts, expected.texts) << "amsp, fmsp, amsp2, cut, cut2, amount";
    EXPECT_EQ(actual.penDown, expected.penDown);
    EXPECT_EQ(actual.level, expected.level);
    EXPECT_EQ(actual.switches, expected.switches);
    EXPECT_EQ(actual.boxesChecked, expected.boxesChecked);
    EXPECT_EQ(actual.vscroll1, expected.vscroll1);
    EXPECT_EQ(actual.slider1, expected.slider1);
    EXPECT_EQ(actual.ampA, expected.ampA);
    EXPECT_EQ(actual.ampB, expected.ampB);
    EXPECT_EQ(actual.tone, expected.tone);
    EXPECT_EQ(actual.toneB, expected.toneB);
    EXPECT_TRUE(actual.drawing == expected.drawing) << "the drawing differs";
    EXPECT_EQ(actual.currentX, expected.currentX);
    EXPECT_EQ(actual.currentY, expected.currentY);
    EXPECT_EQ(actual.pen, expected.pen);
    EXPECT_EQ(actual.visible, expected.visible);
    EXPECT_EQ(actual.timer1Ticking, expected.timer1Ticking);
}

}  // namespace scrivola
