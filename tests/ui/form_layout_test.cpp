// The window as laid out: every control's place, size, visibility, caption
// and hint; the swatch order; sliders; menus; the frame lines and the
// window's own settings.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSlider>
#include <algorithm>
#include <string>
#include <vector>

#include "audio/silent_sound_layer.h"
#include "ui/flat_button.h"
#include "ui/form1.h"
#include "ui/form_background.h"

namespace scrivola {
namespace {

QRect fromTwips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

class FormTest : public ::testing::Test {
protected:
    void SetUp() override { form.show(); }

    template <typename Widget>
    Widget* find(const std::string& name) {
        return form.findChild<Widget*>(QString::fromStdString(name));
    }

    SilentSoundLayer sound;
    Form1 form{sound};
};

struct VisibleControl {
    const char* name;
    int left, top, width, height;
    const char* caption;  // nullptr: not a button
    const char* hint;
};

const VisibleControl kVisibleControls[] = {
    {"cmdnew", 360, 360, 855, 255, "NEW", "New Drawing"},
    {"cmdrst", 360, 720, 855, 255, "RESET", "Reset Synth"},
    {"Check3", 360, 1200, 855, 495, "KEEP TONE", "Use last Tone"},
    {"Command1", 360, 1920, 855, 495, "RESET TOUT", "Reset Drawing and Synth"},
    {"Slider1", 240, 4800, 1095, 375, nullptr, ""},
    {"Command2", 120, 6600, 495, 195, "0", "Reset osc2"},
    {"WPB1", 240, 6840, 1935, 1335, nullptr, ""},
    {"o1VU", 120, 8160, 2175, 135, nullptr, ""},
    {"cmdsin1", 120, 8280, 495, 195, "0", "Reset osc1"},
    {"Picture1", 240, 8520, 1935, 1215, nullptr, ""},
    {"Picture2", 120, 9720, 2175, 135, nullptr, ""},
    {"VScroll1", 120, 9840, 2175, 375, nullptr, ""},
    {"picdraw", 2760, 360, 5175, 9735, nullptr, ""},
    {"cmdexit", 8160, 120, 255, 285, "X", "Close Scrivola Synth"},
};

TEST_F(FormTest, VisibleControlsSitInsideTheClientAreaAsDesigned) {
    const QRect client(0, 0, 568, 698);
    for (const VisibleControl& control : kVisibleControls) {
        SCOPED_TRACE(control.name);
        auto* widget = find<QWidget>(control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(),
                  fromTwips(control.left, control.top, control.width, control.height));
        EXPECT_TRUE(client.contains(widget->geometry()));
        EXPECT_TRUE(widget->isVisible());
        EXPECT_EQ(widget->toolTip().toStdString(), control.hint);
        if (control.caption != nullptr) {
            auto* button = qobject_cast<QAbstractButton*>(widget);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->text().toStdString(), control.caption);
        }
    }
}

TEST_F(FormTest, ControlsBeyondTheClientAreaAreNeverVisibleButKeepTheirValues) {
    struct Hidden {
        const char* name;
        int left, top, width, height;
        const char* caption;
    };
    const Hidden hidden[] = {
        {"Check4", 9600, 5640, 255, 375, "Check4"},   {"Check9", 9840, 7200, 255, 375, "Check9"},
        {"Check1", 8880, 7560, 255, 375, ""},         {"Check2", 9120, 7560, 255, 375, ""},
        {"Check5", 9600, 7560, 255, 375, "Check5"},   {"Check6", 9840, 7560, 255, 375, "Check6"},
        {"Check7", 8880, 7920, 255, 375, ""},         {"Check8", 9120, 7920, 255, 375, ""},
        {"Check10", 9600, 7920, 255, 375, "Check10"}, {"Check11", 9840, 7920, 255, 375, "Check11"},
        {"Check12", 9960, 8400, 255, 255, "Check12"},
    };
    for (const Hidden& box : hidden) {
        SCOPED_TRACE(box.name);
        auto* button = find<QAbstractButton>(box.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->geometry(), fromTwips(box.left, box.top, box.width, box.height));
        EXPECT_FALSE(button->isVisible());
        EXPECT_EQ(button->text().toStdString(), box.caption);
        // Settable and readable while hidden.
        const bool was = button->isChecked();
        button->setChecked(!was);
        EXPECT_EQ(button->isChecked(), !was);
    }

    auto* text1 = find<QLineEdit>("Text1");
    auto* label1 = find<QLabel>("Label1");
    auto* label2 = find<QLabel>("Label2");
    ASSERT_TRUE(text1 && label1 && label2);
    EXPECT_EQ(text1->geometry(), fromTwips(8640, 2520, 1335, 735));
    EXPECT_EQ(label1->geometry(), fromTwips(9000, 8400, 855, 735));
    EXPECT_EQ(label2->geometry(), fromTwips(9000, 9240, 735, 735));
    for (QWidget* widget : {static_cast<QWidget*>(text1), static_cast<QWidget*>(label1),
                            static_cast<QWidget*>(label2)}) {
        EXPECT_FALSE(widget->isVisible()) << widget->objectName().toStdString();
    }
    EXPECT_TRUE(text1->text().isEmpty());
    EXPECT_TRUE(label2->text().isEmpty());
    text1->setText(QStringLiteral("65280"));
    label2->setText(QStringLiteral("4500"));
    EXPECT_EQ(text1->text(), QStringLiteral("65280"));
    EXPECT_EQ(label2->text(), QStringLiteral("4500"));
}

TEST_F(FormTest, SwatchesRunTwoZeroFourOneThreeFiveSixSevenFromTopToBottom) {
    std::vector<QLabel*> swatches;
    for (int index = 0; index < 8; ++index) {
        auto* swatch = find<QLabel>("lblcolor(" + std::to_string(index) + ")");
        ASSERT_NE(swatch, nullptr) << index;
        EXPECT_EQ(swatch->x(), 1680 / 15);
        EXPECT_EQ(swatch->size(), QSize(33, 33));
        EXPECT_EQ(swatch->toolTip(), QStringLiteral("Select Colour"));
        EXPECT_TRUE(swatch->isVisible());
        swatches.push_back(swatch);
    }
    std::vector<int> order{0, 1, 2, 3, 4, 5, 6, 7};
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return swatches[a]->y() < swatches[b]->y(); });
    EXPECT_EQ(order, (std::vector<int>{2, 0, 4, 1, 3, 5, 6, 7}));
    const int tops[] = {360, 1080, 1800, 2520, 3240, 4320, 5040, 5760};
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(swatches[order[row]]->y(), tops[row] / 15) << "row " << row;
    }
}

TEST_F(FormTest, SlidersHaveTheirRangesStepsAndTicks) {
    struct SliderCase {
        const char* name;
        int minimum, maximum, largeStep, smallStep, tickEvery, value;
    };
    const SliderCase cases[] = {{"Slider1", 1, 10, 5, 1, 1, 1}, {"VScroll1", 0, 100, 5, 1, 10, 0}};
    for (const SliderCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto* slider = find<QSlider>(c.name);
        ASSERT_NE(slider, nullptr);
        EXPECT_EQ(slider->orientation(), Qt::Horizontal);
        EXPECT_EQ(slider->minimum(), c.minimum);
        EXPECT_EQ(slider->maximum(), c.maximum);
        EXPECT_EQ(slider->pageStep(), c.largeStep);
        EXPECT_EQ(slider->singleStep(), c.smallStep);
        EXPECT_EQ(slider->tickInterval(), c.tickEvery);
        EXPECT_NE(slider->tickPosition(), QSlider::NoTicks);
        EXPECT_EQ(slider->value(), c.value);
    }
}

TEST_F(FormTest, MenusCarryTheirItemsInOrder) {
    struct Item {
        std::string name;
        std::string caption;
        std::string shortcut;  // "-": a separator
    };
    struct MenuCase {
        const char* name;
        const char* caption;
        std::vector<Item> items;
    };
    // The recording and saving commands follow the file menu's own items.
    const MenuCase menus[] = {
        {"mnufile",
         "&file",
         {{"mnunew", "New Drawing", ""},
          {"mnureset", "Reset Synth", ""},
          {"mnuresetall", "Reset All", ""},
          {"", "", "-"},
          {"mnurecord", "&Record Sound...", "Ctrl+R"},
          {"mnusavedrawing", "&Save Drawing...", "Ctrl+S"}}},
        {"mnutone", "tone", {{"mnukeeptone", "Keep Tone", ""}, {"mnuchngtone", "Change Tone", ""}}},
        {"mnuhelp", "Help", {{"mnuinfo", "info", ""}, {"mnuabout", "About", ""}}},
    };
    const QList<QAction*> bar = form.menuBar()->actions();
    ASSERT_EQ(bar.size(), 3);
    for (int m = 0; m < 3; ++m) {
        SCOPED_TRACE(menus[m].name);
        QMenu* menu = bar[m]->menu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->objectName().toStdString(), menus[m].name);
        EXPECT_EQ(menu->title().toStdString(), menus[m].caption);
        const QList<QAction*> items = menu->actions();
        ASSERT_EQ(static_cast<std::size_t>(items.size()), menus[m].items.size());
        for (int i = 0; i < items.size(); ++i) {
            const Item& item = menus[m].items[static_cast<std::size_t>(i)];
            EXPECT_EQ(items[i]->isSeparator(), item.shortcut == "-");
            if (items[i]->isSeparator()) {
                continue;
            }
            EXPECT_EQ(items[i]->objectName().toStdString(), item.name);
            EXPECT_EQ(items[i]->text().toStdString(), item.caption);
            EXPECT_EQ(items[i]->shortcut().toString().toStdString(), item.shortcut);
            EXPECT_FALSE(items[i]->isCheckable());
        }
    }
    EXPECT_EQ(QKeySequence::mnemonic(bar[0]->text()), QKeySequence(Qt::ALT | Qt::Key_F));
}

TEST_F(FormTest, WindowHasItsCaptionFixedSizeAndNoMaximiseButton) {
    EXPECT_EQ(form.windowTitle().toStdString(),
              "SCRIVOLA SYNTH . . . . programmed by . . MERANDEL 2");
    ASSERT_NE(form.centralWidget(), nullptr);
    EXPECT_EQ(form.centralWidget()->size(), QSize(568, 698));
    EXPECT_EQ(form.centralWidget()->y(), form.menuBar()->height());
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form.windowIcon().isNull());

    const QRect available = form.screen()->availableGeometry();
    EXPECT_LE(std::abs(form.frameGeometry().center().x() - available.center().x()), 1);
    EXPECT_LE(std::abs(form.frameGeometry().center().y() - available.center().y()), 1);
}

TEST_F(FormTest, TheDrawingSurfaceShowsACrosshairAndEverythingElseTheArrow) {
    QWidget* picdraw = find<QWidget>("picdraw");
    EXPECT_EQ(picdraw->cursor().shape(), Qt::CrossCursor);
    for (QWidget* widget : form.centralWidget()->findChildren<QWidget*>()) {
        if (widget != picdraw && widget->isVisibleTo(&form)) {
            EXPECT_EQ(widget->cursor().shape(), Qt::ArrowCursor)
                << widget->objectName().toStdString();
        }
    }
}

TEST_F(FormTest, EveryVisibleCaptionFitsItsButton) {
    for (FlatButton* button : form.findChildren<FlatButton*>()) {
        if (button->text().isEmpty() || !button->isVisible()) {
            continue;
        }
        SCOPED_TRACE(button->objectName().toStdString());
        const QFontMetrics metrics(button->font());
        const QStringList lines = button->captionLines();
        ASSERT_FALSE(lines.isEmpty());
        for (const QString& line : lines) {
            EXPECT_LE(metrics.horizontalAdvance(line), button->captionRect().width())
                << line.toStdString();
        }
        // The ink of the lines: full line steps above the last line's capitals.
        const int inkHeight = (lines.size() - 1) * metrics.lineSpacing() + metrics.capHeight();
        EXPECT_LE(inkHeight, button->height()) << lines.join('|').toStdString();
    }
}

TEST(FormBackgroundTest, SixteenFrameLinesAreDrawnBetweenTheirEndpoints) {
    struct Line {
        int x1, y1, x2, y2;
    };
    const Line lines[] = {
        {2640, 240, 8040, 240},   {2640, 10200, 2640, 240}, {8040, 10200, 2640, 10200},
        {8040, 240, 8040, 10200}, {120, 9840, 120, 6600},   {120, 6600, 2280, 6600},
        {2280, 6600, 2280, 9840}, {2280, 8280, 120, 8280},  {2280, 6360, 2280, 240},
        {1560, 240, 1560, 6360},  {2280, 6360, 1560, 6360}, {1560, 240, 2280, 240},
        {1320, 240, 240, 240},    {1320, 2520, 240, 2520},  {240, 240, 240, 2520},
        {1320, 240, 1320, 2520},
    };
    const QImage picture = renderFormBackground(1.0).toImage();
    ASSERT_EQ(picture.size(), QSize(568, 698));
    const QRgb lineColour = qRgb(0, 0, 0);
    for (int n = 0; n < 16; ++n) {
        SCOPED_TRACE("Line" + std::to_string(n + 1));
        const QPoint from(lines[n].x1 / 15, lines[n].y1 / 15);
        const QPoint to(lines[n].x2 / 15, lines[n].y2 / 15);
        for (double t : {0.0, 0.25, 0.5, 0.75, 1.0}) {
            const QPoint at = from + (to - from) * t;
            EXPECT_EQ(picture.pixel(at), lineColour) << at.x() << "," << at.y();
        }
    }
    // The display panel has no bottom line: VScroll1 sits against it.
    EXPECT_NE(picture.pixel(80, 656), lineColour);
    // The plain face is the window's background colour.
    EXPECT_EQ(picture.pixel(4, 300), qRgb(64, 64, 64));
}

}  // namespace
}  // namespace scrivola
