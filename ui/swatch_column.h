// The eight swatch labels as the palette sees them, by index.
#pragma once

#include <array>

#include "canvas/palette.h"
#include "ui/swatch_label.h"

namespace scrivola {

class SwatchColumn final : public SwatchLabels {
public:
    explicit SwatchColumn(const std::array<SwatchLabel*, 8>& labels) : labels_(labels) {}

    void setBackColor(int index, ColorValue color) override {
        labels_.at(static_cast<std::size_t>(index))->setBackColor(color);
    }
    ColorValue backColor(int index) const override {
        return labels_.at(static_cast<std::size_t>(index))->backColor();
    }

private:
    std::array<SwatchLabel*, 8> labels_;
};

}  // namespace scrivola
