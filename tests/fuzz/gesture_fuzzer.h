// Plays random user events at the real window: presses, moves and releases
// of every button on the drawing surface (inside it, far outside it and at
// extreme fractional coordinates), through the toolkit's events and straight
// to the handlers; swatch clicks; the buttons, menu items and check boxes;
// slider changes; keys; and ticks of both timers, pending events and whole
// repaints of the window in between.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

#include "ui/form1.h"

namespace scrivola::fuzz {

enum class EventKind : int {
    SurfacePress,
    SurfaceMove,
    SurfaceRelease,
    HandlerDown,
    HandlerMove,
    HandlerUp,
    SwatchClick,
    SwatchHandler,
    Button,
    MenuItem,
    CheckBox,
    Slider,
    Key,
    Timer1,
    Timer2,
    ProcessEvents,
    Repaint,
    Count,
};

const char* eventKindName(EventKind kind);

// One event as played, to show the way to a broken rule.
struct PlayedEvent {
    EventKind kind = EventKind::Count;
    int a = 0;  // button, index or value, by kind
    int b = 0;  // buttons held or modifiers
    double x = 0.0;
    double y = 0.0;

    std::string describe() const;
};

class GestureFuzzer {
public:
    GestureFuzzer(Form1& window, std::mt19937_64& random);

    // Plays one random event and returns it.
    PlayedEvent step();

    // True once a left press has reached the surface's handler.
    bool leftPressedYet() const { return leftPressedYet_; }
    std::uint64_t played(EventKind kind) const { return counts_[static_cast<std::size_t>(kind)]; }

private:
    EventKind pickKind();
    // A position on the surface widget in pixels: mostly inside, often just
    // outside, sometimes up to a million pixels away, always fractional.
    double pickPixel(int extent);
    int pickModifiers();

    void surfacePress(PlayedEvent& e);
    void surfaceMove(PlayedEvent& e);
    void surfaceRelease(PlayedEvent& e);
    void handlerEvent(PlayedEvent& e);
    void swatchClick(PlayedEvent& e);
    void button(PlayedEvent& e);
    void menuItem(PlayedEvent& e);
    void checkBox(PlayedEvent& e);
    void slider(PlayedEvent& e);
    void key(PlayedEvent& e);

    Form1& window_;
    std::mt19937_64& random_;
    int heldButtons_ = 0;  // Qt::MouseButtons the surface believes held
    bool leftPressedYet_ = false;
    std::array<std::uint64_t, static_cast<std::size_t>(EventKind::Count)> counts_{};
};

}  // namespace scrivola::fuzz
