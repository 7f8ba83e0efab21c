// The drawing surface and the two text displays as the pen gestures see them.
#pragma once

#include <QLabel>
#include <QLineEdit>

#include "canvas/pen_surface.h"
#include "ui/picture_box.h"

namespace scrivola {

class PictureBoxPenSurface final : public PenSurface {
public:
    explicit PictureBoxPenSurface(PictureBox& box) : box_(box) {}

    void clear() override { box_.clear(); }
    float currentX() const override { return box_.currentX(); }
    float currentY() const override { return box_.currentY(); }
    void setCurrentPosition(float x, float y) override { box_.setCurrentPosition(x, y); }
    void lineTo(float x, float y) override {
        box_.drawLine(box_.currentX(), box_.currentY(), x, y, box_.foreColor());
    }
    ColorValue foreColor() const override { return box_.foreColor(); }
    void setForeColor(ColorValue color) override { box_.setForeColor(color); }
    void setBackColor(ColorValue color) override { box_.setBackColor(color); }

private:
    PictureBox& box_;
};

class LineEditText final : public TextControl {
public:
    explicit LineEditText(QLineEdit& edit) : edit_(edit) {}
    // The pen sets the same text on every move while its colour stays; a
    // line edit given its own text again would still redo its layout and
    // tell accessibility, so that is skipped.
    void setText(const std::string& text) override {
        const QString value = QString::fromStdString(text);
        if (value != edit_.text()) {
            edit_.setText(value);
        }
    }
    std::string text() const override { return edit_.text().toStdString(); }

private:
    QLineEdit& edit_;
};

class LabelText final : public TextControl {
public:
    explicit LabelText(QLabel& label) : label_(label) {}
    void setText(const std::string& text) override { label_.setText(QString::fromStdString(text)); }
    std::string text() const override { return label_.text().toStdString(); }

private:
    QLabel& label_;
};

}  // namespace scrivola
