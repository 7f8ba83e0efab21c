// Recording stand-ins for the window's surface, text controls, decay timer and
// swatch labels.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "canvas/palette.h"
#include "canvas/pen_surface.h"

namespace scrivola::testing {

struct Segment {
    float fromX, fromY, toX, toY;
    ColorValue colour;
    bool operator==(const Segment&) const = default;
};

class FakeSurface : public PenSurface {
public:
    void clear() override {
        segments.clear();
        x_ = 0.0f;
        y_ = 0.0f;
    }
    float currentX() const override { return x_; }
    float currentY() const override { return y_; }
    void setCurrentPosition(float x, float y) override {
        x_ = x;
        y_ = y;
    }
    void lineTo(float x, float y) override {
        segments.push_back({x_, y_, x, y, fore_});
        setCurrentPosition(x, y);
    }
    ColorValue foreColor() const override { return fore_; }
    void setForeColor(ColorValue color) override { fore_ = color; }
    void setBackColor(ColorValue color) override { back = color; }

    std::vector<Segment> segments;
    ColorValue back = 0x123456;

private:
    float x_ = 0.0f;
    float y_ = 0.0f;
    ColorValue fore_ = 0xFFFFFF;
};

class FakeText : public TextControl {
public:
    void setText(const std::string& text) override {
        text_ = text;
        ++writes;
    }
    std::string text() const override { return text_; }
    int writes = 0;

private:
    std::string text_;
};

class FakeTimer : public DecayTimer {
public:
    // Calls in order, e.g. "enabled=1", "interval=1".
    void setEnabled(bool enabled) override {
        calls.push_back("enabled=" + std::to_string(enabled));
    }
    void setInterval(int milliseconds) override {
        calls.push_back("interval=" + std::to_string(milliseconds));
    }
    std::vector<std::string> calls;
};

class FakeSwatches : public SwatchLabels {
public:
    void setBackColor(int index, ColorValue color) override {
        colours.at(static_cast<std::size_t>(index)) = color;
        order.push_back(index);
    }
    ColorValue backColor(int index) const override {
        return colours.at(static_cast<std::size_t>(index));
    }
    std::array<ColorValue, kSwatchCount> colours{};
    std::vector<int> order;
};

}  // namespace scrivola::testing
