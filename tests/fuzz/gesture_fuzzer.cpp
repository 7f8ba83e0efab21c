#include "tests/fuzz/gesture_fuzzer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <cstdio>
#include <limits>

#include "canvas/pen_surface.h"
#include "ui/twips.h"

namespace scrivola::fuzz {

namespace {

// How often each kind is played, out of the sum of all weights.
constexpr std::array<int, static_cast<std::size_t>(EventKind::Count)> kWeights = {
    8,   // SurfacePress
    20,  // SurfaceMove
    8,   // SurfaceRelease
    4,   // HandlerDown
    10,  // HandlerMove
    4,   // HandlerUp
    4,   // SwatchClick
    2,   // SwatchHandler
    4,   // Button
    3,   // MenuItem
    5,   // CheckBox
    5,   // Slider
    3,   // Key
    10,  // Timer1
    8,   // Timer2
    2,   // ProcessEvents
    1,   // Repaint
};

constexpr double kFar = 1e6;  // pixels

constexpr Qt::MouseButton kButtons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};

void sendMouse(QWidget& target, QEvent::Type type, QPointF at, Qt::MouseButton button,
               Qt::MouseButtons held, int modifiers) {
    QMouseEvent event(type, at, target.mapToGlobal(at), button, held,
                      Qt::KeyboardModifiers(modifiers));
    QApplication::sendEvent(&target, &event);
}

void sendKey(QWidget& target, int key, int modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers));
    QApplication::sendEvent(&target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::KeyboardModifiers(modifiers));
    QApplication::sendEvent(&target, &release);
}

}  // namespace

const char* eventKindName(EventKind kind) {
    static constexpr const char* kNames[] = {
        "surface press", "surface move", "surface release", "handler down",
        "handler move",  "handler up",   "swatch click",    "swatch handler",
        "button",        "menu item",    "check box",       "slider",
        "key",           "Timer1 tick",  "Timer2 tick",     "process events",
        "repaint",
    };
    static_assert(std::size(kNames) == static_cast<std::size_t>(EventKind::Count));
    const auto index = static_cast<std::size_t>(kind);
    return index < std::size(kNames) ? kNames[index] : "?";
}

std::string PlayedEvent::describe() const {
    char text[160];
    std::snprintf(text, sizeof text, "%s a=%d b=%d x=%.17g y=%.17g", eventKindName(kind), a, b, x,
                  y);
    return text;
}

GestureFuzzer::GestureFuzzer(Form1& window, std::mt19937_64& random)
    : window_(window), random_(random) {}

PlayedEvent GestureFuzzer::step() {
    PlayedEvent e;
    e.kind = pickKind();
    switch (e.kind) {
        case EventKind::SurfacePress:
            surfacePress(e);
            break;
        case EventKind::SurfaceMove:
            surfaceMove(e);
            break;
        case EventKind::SurfaceRelease:
            surfaceRelease(e);
            break;
        case EventKind::HandlerDown:
        case EventKind::HandlerMove:
        case EventKind::HandlerUp:
            handlerEvent(e);
            break;
        case EventKind::SwatchClick:
            swatchClick(e);
            break;
        case EventKind::SwatchHandler:
            // Any index, in range or not.
            e.a = static_cast<std::int16_t>(random_() % 4 == 0 ? random_() : random_() % 8);
            window_.lblcolor_Click(static_cast<std::int16_t>(e.a));
            break;
        case EventKind::Button:
            button(e);
            break;
        case EventKind::MenuItem:
            menuItem(e);
            break;
        case EventKind::CheckBox:
            checkBox(e);
            break;
        case EventKind::Slider:
            slider(e);
            break;
        case EventKind::Key:
            key(e);
            break;
        case EventKind::Timer1:
            window_.Timer1_Timer();
            break;
        case EventKind::Timer2:
            window_.Timer2_Timer();
            break;
        case EventKind::ProcessEvents:
            QApplication::processEvents();
            break;
        case EventKind::Repaint:
            window_.repaint();
            break;
        case EventKind::Count:
            break;
    }
    ++counts_[static_cast<std::size_t>(e.kind)];
    return e;
}

EventKind GestureFuzzer::pickKind() {
    static const int total = [] {
        int sum = 0;
        for (int w : kWeights) {
            sum += w;
        }
        return sum;
    }();
    int roll = static_cast<int>(random_() % static_cast<std::uint64_t>(total));
    for (std::size_t k = 0; k < kWeights.size(); ++k) {
        if (roll < kWeights[k]) {
            return static_cast<EventKind>(k);
        }
        roll -= kWeights[k];
    }
    return EventKind::Timer1;
}

double GestureFuzzer::pickPixel(int extent) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto roll = random_() % 10;
    if (roll < 4) {
        return unit(random_) * extent;  // inside
    }
    if (roll < 6) {
        return -200.0 + unit(random_) * (extent + 400.0);  // around the edges
    }
    if (roll < 8) {
        return (unit(random_) * 2.0 - 1.0) * kFar;  // far away
    }
    // Extremes and edges, exact or a hair off.
    const double exact[] = {-kFar, kFar, 0.0, static_cast<double>(extent), -1.0, 1.0, 0.5};
    const double hair = unit(random_) < 0.5 ? 0.0 : (unit(random_) - 0.5) * 1e-3;
    return exact[random_() % std::size(exact)] + hair;
}

int GestureFuzzer::pickModifiers() {
    int modifiers = 0;
    if (random_() % 4 == 0) {
        modifiers |= Qt::ShiftModifier;
    }
    if (random_() % 6 == 0) {
        modifiers |= Qt::ControlModifier;
    }
    if (random_() % 8 == 0) {
        modifiers |= Qt::AltModifier;
    }
    return modifiers;
}

void GestureFuzzer::surfacePress(PlayedEvent& e) {
    PictureBox& surface = *window_.controls().picdraw;
    // Mostly the left button; the others must do nothing harmful.
    const auto roll = random_() % 10;
    const Qt::MouseButton button = roll < 6 ? Qt::LeftButton : kButtons[1 + roll % 2];
    heldButtons_ |= button;
    e.a = button;
    e.b = pickModifiers();
    e.x = pickPixel(surface.width());
    e.y = pickPixel(surface.height());
    sendMouse(surface, QEvent::MouseButtonPress, QPointF(e.x, e.y), button,
              Qt::MouseButtons(heldButtons_), e.b);
    if (button == Qt::LeftButton) {
        leftPressedYet_ = true;
    }
}

void GestureFuzzer::surfaceMove(PlayedEvent& e) {
    PictureBox& surface = *window_.controls().picdraw;
    // Usually what is held, sometimes any set of buttons.
    e.a = random_() % 5 == 0 ? static_cast<int>(random_() % 8) : heldButtons_;
    e.b = pickModifiers();
    e.x = pickPixel(surface.width());
    e.y = pickPixel(surface.height());
    sendMouse(surface, QEvent::MouseMove, QPointF(e.x, e.y), Qt::NoButton, Qt::MouseButtons(e.a),
              e.b);
}

void GestureFuzzer::surfaceRelease(PlayedEvent& e) {
    PictureBox& surface = *window_.controls().picdraw;
    // Usually a held button; sometimes one that was never pressed.
    const Qt::MouseButton button = kButtons[random_() % std::size(kButtons)];
    heldButtons_ &= ~static_cast<int>(button);
    e.a = button;
    e.b = pickModifiers();
    e.x = pickPixel(surface.width());
    e.y = pickPixel(surface.height());
    sendMouse(surface, QEvent::MouseButtonRelease, QPointF(e.x, e.y), button,
              Qt::MouseButtons(heldButtons_), e.b);
}

// Straight to the window's handlers, in twips, with button codes and
// modifier sets a mouse never sends.
void GestureFuzzer::handlerEvent(PlayedEvent& e) {
    PictureBox& surface = *window_.controls().picdraw;
    const auto roll = random_() % 10;
    e.a = roll < 5   ? LeftButton
          : roll < 9 ? static_cast<int>(random_() % 8)
                     : static_cast<std::int16_t>(random_());
    e.b = static_cast<int>(random_() % 8);
    e.x = pickPixel(surface.width()) * kTwipsPerPixel;
    e.y = pickPixel(surface.height()) * kTwipsPerPixel;
    const auto button = static_cast<std::int16_t>(e.a);
    const auto shift = static_cast<std::int16_t>(e.b);
    const auto x = static_cast<float>(e.x);
    const auto y = static_cast<float>(e.y);
    if (e.kind == EventKind::HandlerDown) {
        window_.picdraw_MouseDown(button, shift, x, y);
        if (button == LeftButton) {
            leftPressedYet_ = true;
        }
    } else if (e.kind == EventKind::HandlerMove) {
        window_.picdraw_MouseMove(button, shift, x, y);
    } else {
        window_.picdraw_MouseUp(button, shift, x, y);
    }
}

// A press and release on a swatch: usually the left button inside it (a
// click), sometimes another button or a release outside (no click).
void GestureFuzzer::swatchClick(PlayedEvent& e) {
    e.a = static_cast<int>(random_() % 8);
    SwatchLabel& swatch = *window_.controls().lblcolor[static_cast<std::size_t>(e.a)];
    const auto roll = random_() % 10;
    const Qt::MouseButton button = roll < 8 ? Qt::LeftButton : kButtons[1 + roll % 2];
    e.b = button;
    const QPointF inside(swatch.width() / 2.0, swatch.height() / 2.0);
    const QPointF releaseAt = random_() % 8 == 0
                                  ? QPointF(pickPixel(swatch.width()), pickPixel(swatch.height()))
                                  : inside;
    e.x = releaseAt.x();
    e.y = releaseAt.y();
    sendMouse(swatch, QEvent::MouseButtonPress, inside, button, button, 0);
    sendMouse(swatch, QEvent::MouseButtonRelease, releaseAt, button, Qt::NoButton, 0);
}

void GestureFuzzer::button(PlayedEvent& e) {
    const FormControls& c = window_.controls();
    FlatButton* const buttons[] = {c.cmdnew,   c.cmdrst,  c.Command1,
                                   c.Command2, c.cmdsin1, c.cmdexit};
    e.a = static_cast<int>(random_() % std::size(buttons));
    buttons[e.a]->click();
}

void GestureFuzzer::menuItem(PlayedEvent& e) {
    const FormMenus& m = window_.menus();
    QAction* const items[] = {m.mnunew, m.mnureset, m.mnuresetall, m.mnukeeptone, m.mnuchngtone};
    e.a = static_cast<int>(random_() % std::size(items));
    items[e.a]->trigger();
}

void GestureFuzzer::checkBox(PlayedEvent& e) {
    e.a = Check1 + static_cast<int>(random_() % 12);
    window_.controls().check(static_cast<SwitchId>(e.a)).click();
}

// A value in or out of the slider's range, or one of the slider's own steps.
void GestureFuzzer::slider(PlayedEvent& e) {
    const FormControls& c = window_.controls();
    QSlider& slider = random_() % 2 == 0 ? *c.Slider1 : *c.VScroll1;
    e.b = &slider == c.Slider1 ? 1 : 2;
    if (random_() % 3 == 0) {
        constexpr QAbstractSlider::SliderAction kActions[] = {
            QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
            QAbstractSlider::SliderPageStepAdd,   QAbstractSlider::SliderPageStepSub,
            QAbstractSlider::SliderToMinimum,     QAbstractSlider::SliderToMaximum,
        };
        e.a = -1 - static_cast<int>(random_() % std::size(kActions));
        slider.triggerAction(kActions[-1 - e.a]);
    } else {
        const int span = slider.maximum() - slider.minimum() + 20;
        e.a = slider.minimum() - 10 + static_cast<int>(random_() % static_cast<unsigned>(span));
        slider.setValue(e.a);
    }
}

// Keys at the controls that take them: space and enter on buttons and check
// boxes, arrows and paging on the sliders.
void GestureFuzzer::key(PlayedEvent& e) {
    const FormControls& c = window_.controls();
    constexpr int kKeys[] = {Qt::Key_Space,  Qt::Key_Return,   Qt::Key_Up,   Qt::Key_Down,
                             Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
    e.a = kKeys[random_() % std::size(kKeys)];
    const auto roll = random_() % 4;
    QWidget* target = nullptr;
    if (roll == 0) {
        target = c.Slider1;
    } else if (roll == 1) {
        target = c.VScroll1;
    } else if (roll == 2) {
        target = &c.check(static_cast<SwitchId>(Check1 + static_cast<int>(random_() % 12)));
    } else {
        FlatButton* const buttons[] = {c.cmdnew,   c.cmdrst,  c.Command1,
                                       c.Command2, c.cmdsin1, c.cmdexit};
        target = buttons[random_() % std::size(buttons)];
    }
    e.b = static_cast<int>(roll);
    sendKey(*target, e.a, 0);
}

}  // namespace scrivola::fuzz
