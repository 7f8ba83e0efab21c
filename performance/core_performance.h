// A performance played on the synthesizer core alone: no window, no
// drawing, no sound device. The pen moves a surface that keeps only its
// pen colour and drawing position; each tick's tables go to `sound`.
#pragma once

#include "canvas/palette.h"
#include "canvas/pen_gestures.h"
#include "performance/performance_state.h"
#include "performance/performance_target.h"
#include "synth/synth_state.h"
#include "synth/tick_io.h"

namespace scrivola {

class CorePerformance final : public PerformanceTarget {
public:
    // `sound` must outlive this.
    explicit CorePerformance(WaveTableWriter& sound);

    void start(const StartingState& start);

    void press(std::int16_t button, std::int16_t shift, float x, float y) override;
    void move(std::int16_t button, std::int16_t shift, float x, float y) override;
    void release(std::int16_t button, std::int16_t shift, float x, float y) override;
    void swatch(int index) override;
    void slider(SliderId slider, int value) override;
    void check(int number, int value) override;
    void command(CommandId command) override;
    void synthesisTick(SecondsClock& clock) override;
    void decayTick() override;

    const modSynth_DX7& synth() const { return synth_; }
    const SynthState& state() const { return state_; }

private:
    // The surface without pixels.
    class Surface final : public PenSurface {
    public:
        void clear() override { x_ = y_ = 0.0f; }
        float currentX() const override { return x_; }
        float currentY() const override { return y_; }
        void setCurrentPosition(float x, float y) override { x_ = x, y_ = y; }
        void lineTo(float x, float y) override { setCurrentPosition(x, y); }
        ColorValue foreColor() const override { return pen_; }
        void setForeColor(ColorValue color) override { pen_ = color; }
        void setBackColor(ColorValue) override {}

    private:
        float x_ = 0.0f;
        float y_ = 0.0f;
        ColorValue pen_ = 0;
    };
    class Swatches final : public SwatchLabels {
    public:
        void setBackColor(int index, ColorValue color) override { colors_.at(index) = color; }
        ColorValue backColor(int index) const override { return colors_.at(index); }

    private:
        std::array<ColorValue, kSwatchCount> colors_{};
    };
    class NoText final : public TextControl {
    public:
        void setText(const std::string&) override {}
        std::string text() const override { return {}; }
    };
    class NoTimer final : public DecayTimer {
    public:
        void setEnabled(bool) override {}
        void setInterval(int) override {}
    };

    PerformanceCore core() { return {state_, synth_, switches_, sliders_, surface_}; }

    WaveTableWriter& sound_;
    SynthState state_;
    modSynth_DX7 synth_;
    SwitchSet switches_;
    Sliders sliders_;
    Surface surface_;
    Swatches swatches_;
    NoText text1_;
    NoText label2_;
    NoTimer timer2_;
    PenGestures gestures_;
    Palette palette_;
    DisplayRecord shown_;
};

}  // namespace scrivola
