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
#include "ui/window_placement.h"

namespace scrivola {
namespace {

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

// What the user sees of each control besides the swatches: caption and hint.
struct VisibleControl {
    const char* name;
    const char* caption;  // nullptr: not a button
    const char* hint;
};

const VisibleControl kVisibleControls[] = {
    {"cmdnew", "NEW", "New Drawing"},
    {"cmdrst", "RESET", "Reset Synth"},
    {"Check3", "KEEP TONE", "Use last Tone"},
    {"Command1", "RESET TOUT", "Reset Drawing and Synth"},
    {"Slider1", nullptr, ""},
    {"Command2", "0", "Reset osc2"},
    {"WPB1", nullptr, ""},
    {"o1VU", nullptr, ""},
    {"cmdsin1", "0", "Reset osc1"},
    {"Picture1", nullptr, ""},
    {"Picture2", nullptr, ""},
    {"VScroll1", nullptr, ""},
    {"picdraw", nullptr, ""},
    {"cmdexit", "X", "Close Scrivola Synth"},
};

// Every control is inside the window, none covers the drawing surface, and
// each shows its caption and hint.
TEST_F(FormTest, VisibleControlsSitInsideTheWindowBesideTheDrawingSurface) {
    const QRect client(0, 0, 568, 698);
    const QRect surface = find<QWidget>("picdraw")->geometry();
    for (const VisibleControl& control : kVisibleControls) {
        SCOPED_TRACE(control.name);
        auto* widget = find<QWidget>(control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(client.contains(widget->geometry()));
        EXPECT_TRUE(widget->isVisible());
        if (std::string(control.name) != "picdraw") {
            EXPECT_FALSE(widget->geometry().intersects(surface));
        }
        EXPECT_EQ(widget->toolTip().toStdString(), control.hint);
        if (control.caption != nullptr) {
            auto* button = qobject_cast<QAbstractButton*>(widget);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->text().toStdString(), control.caption);
        }
    }
}

TEST_F(FormTest, ControlsBeyondTheWindowAreNeverVisibleButKeepTheirValues) {
    for (int id = Check1; id <= Check12; ++id) {
        if (id == Check3) {
            continue;
        }
        QAbstractButton& box = form.controls().check(static_cast<SwitchId>(id));
        SCOPED_TRACE(box.objectName().toStdString());
        EXPECT_GE(box.x(), 568);
        EXPECT_FALSE(box.isVisible());
        // Settable and readable while hidden.
        const bool was = box.isChecked();
        box.setChecked(!was);
        EXPECT_EQ(box.isChecked(), !was);
    }

    auto* text1 = find<QLineEdit>("Text1");
    auto* label1 = find<QLabel>("Label1");
    auto* label2 = find<QLabel>("Label2");
    ASSERT_TRUE(text1 && label1 && label2);
    for (QWidget* widget : {static_cast<QWidget*>(text1), static_cast<QWidget*>(label1),
                            static_cast<QWidget*>(label2)}) {
        EXPECT_GE(widget->x(), 568);
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
    // The recording, saving and performance commands follow the file menu's
    // own items.
    const MenuCase menus[] = {
        {"mnufile",
         "&file",
         {{"mnunew", "New Drawing", ""},
          {"mnureset", "Reset Synth", ""},
          {"mnuresetall", "Reset All", ""},
          {"", "", "-"},
          {"mnurecord", "&Record Sound...", "Ctrl+R"},
          {"mnusavedrawing", "&Save Drawing...", "Ctrl+S"},
          {"mnurecordperformance", "Record Per&formance...", "Ctrl+Shift+R"},
          {"mnuplayperformance", "&Play Performance...", "Ctrl+O"}}},
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

    EXPECT_EQ(form.pos(),
              centredTopLeft(form.frameGeometry().size(), form.screen()->availableGeometry()));
}

TEST(WindowPlacement, CentredButNeverAboveOrLeftOfTheAvailableArea) {
    struct Case {
        QSize frame;
        QRect available;
        QPoint topLeft;
    };
    const Case cases[] = {
        {{572, 721}, {0, 0, 1280, 1024}, {354, 151}},
        {{572, 721}, {0, 0, 640, 512}, {34, 0}},  // 1280 x 1024 at twice the scale
        {{572, 721}, {100, 30, 400, 400}, {100, 30}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(centredTopLeft(c.frame, c.available), c.topLeft);
    }
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

// The background's frame lines go around their groups of controls, a few
// pixels away; the display panel is open at the bottom, where VScroll1 sits.
TEST_F(FormTest, FrameLinesGoAroundTheirGroupsOfControls) {
    struct Group {
        const char* name;
        std::vector<const char*> controls;
        bool closedBelow;
    };
    const Group groups[] = {
        {"command panel", {"cmdnew", "cmdrst", "Check3", "Command1"}, true},
        {"palette column",
         {"lblcolor(0)", "lblcolor(1)", "lblcolor(2)", "lblcolor(3)", "lblcolor(4)", "lblcolor(5)",
          "lblcolor(6)", "lblcolor(7)"},
         true},
        {"display panel", {"Command2", "WPB1", "o1VU", "cmdsin1", "Picture1", "Picture2"}, false},
        {"drawing frame", {"picdraw"}, true},
    };
    const QImage picture = renderFormBackground(1.0).toImage();
    ASSERT_EQ(picture.size(), QSize(568, 698));
    const QRgb line = qRgb(0, 0, 0);
    // True when a line pixel lies within 10 pixels of `from`, walking by `step`.
    const auto lineWithin = [&](QPoint from, QPoint step) {
        for (int i = 0; i <= 10; ++i, from += step) {
            if (picture.rect().contains(from) && picture.pixel(from) == line) {
                return true;
            }
        }
        return false;
    };
    for (const Group& group : groups) {
        SCOPED_TRACE(group.name);
        QRect around;
        for (const char* name : group.controls) {
            around |= find<QWidget>(name)->geometry();
        }
        const QPoint centre = around.center();
        EXPECT_TRUE(lineWithin({around.left(), centre.y()}, {-1, 0}));
        EXPECT_TRUE(lineWithin({around.right(), centre.y()}, {1, 0}));
        EXPECT_TRUE(lineWithin({centre.x(), around.top()}, {0, -1}));
        EXPECT_EQ(lineWithin({centre.x(), around.bottom() + 1}, {0, 1}), group.closedBelow);
    }
    // The plain face is the window's background colour.
    EXPECT_EQ(picture.pixel(4, 300), qRgb(64, 64, 64));
}

}  // namespace
}  // namespace scrivola
