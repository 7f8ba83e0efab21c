// The main window: owns the synthesizer's state and every control, runs the
// wave-table tick on Timer1 and the level decay on Timer2, and hands mouse
// events on the drawing surface to the pen gestures. The window itself holds
// no synthesis logic; each handler passes its event on to the core. While the
// tick rests and no input comes, both timers and the sound watch sleep (see
// TickSleep); every handler, control and menu item wakes them.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>

#include "audio/sound_layer.h"
#include "canvas/palette.h"
#include "canvas/pen_gestures.h"
#include "synth/clock.h"
#include "synth/synth_state.h"
#include "ui/form_controls.h"
#include "ui/message_box.h"
#include "ui/pen_surface_adapter.h"
#include "ui/repaint_pacer.h"
#include "ui/swatch_column.h"
#include "ui/tick_sleep.h"
#include "ui/tick_timer.h"
#include "ui/window_display.h"

namespace scrivola {

class FileCommands;
class FormFace;
class PerformanceRecording;
class PerformanceReplay;

class Form1 : public QMainWindow {
    Q_OBJECT

public:
    // While the sound is open, the window checks this often whether the audio
    // output was lost and, if so, opens it again; not while the timers sleep
    // and the output is stopped for silence.
    static constexpr int kSoundWatchIntervalMs = 250;

    // `sound` must outlive the window; the window opens it in Form_Load and
    // releases it in Form_Unload. Confirmations are asked in message boxes
    // on screen.
    explicit Form1(SoundLayer& sound, QWidget* parent = nullptr);
    // As above, asking the confirmations through `messageBox`, which must
    // outlive the window.
    Form1(SoundLayer& sound, MessageBox& messageBox, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up, before the window is shown: opens the sound, starts both
    // buffers looping, colours the swatches and the surface and applies the
    // start-up values. False, with nothing else done, when the sound device
    // cannot be opened or its buffers will not play; startupFailure() then
    // says why.
    bool Form_Load();
    const std::string& startupFailure() const { return startupFailure_; }
    // Shut-down when the window closes: releases the sound.
    void Form_Unload();

    // The pen on `picdraw`: button, modifiers, position in twips.
    void picdraw_MouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void picdraw_MouseMove(std::int16_t button, std::int16_t shift, float x, float y);
    void picdraw_MouseUp(std::int16_t button, std::int16_t shift, float x, float y);
    void lblcolor_Click(std::int16_t index);

    // Commands of the buttons and menu items. The exit command, answered Yes,
    // ends the program at once without releasing the sound.
    void cmdexit_Click();
    void cmdnew_Click();
    void mnunew_Click();
    void cmdrst_Click();
    void mnureset_Click();
    void Command1_Click();
    void mnuresetall_Click();
    void cmdsin1_Click();
    void Command2_Click();
    void mnukeeptone_Click();
    void mnuchngtone_Click();

    // Ticks of the two timers; while a performance replays, its own ticks
    // stand in for theirs.
    void Timer1_Timer();
    void Timer2_Timer();
    // The clock the wave-table tick reads: the system's monotonic clock unless
    // another is set here; it must outlive the window.
    void setTickClock(PerformanceCounter& clock) { tickClock_ = &clock; }
    // One synthesis tick reading `clock`, shown on the displays.
    void synthesisTick(SecondsClock& clock);

    SynthState& state() { return state_; }
    modSynth_DX7& synth() { return synth_; }
    SwitchSet& switches() { return switches_; }
    Sliders& sliders() { return sliders_; }
    const FormControls& controls() const { return controls_; }
    const FormMenus& menus() const { return menus_; }
    TickTimer& Timer1() { return *timer1_; }
    TickTimer& Timer2() { return *timer2_; }
    const TickSleep& tickSleep() const { return *tickSleep_; }
    PenSurface& picdrawSurface() { return *picdrawSurface_; }
    WindowDisplay& display() { return *display_; }
    const DisplayRecord& shown() const { return shown_; }
    const QTimer& soundWatch() const { return soundWatch_; }
    FileCommands& fileCommands() { return *fileCommands_; }
    PerformanceRecording& performanceRecording() { return *performance_; }
    PerformanceReplay& performanceReplay() { return *replay_; }
    SoundLayer& soundLayer() { return sound_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Without a message box of the caller's, the window makes its own.
    Form1(SoundLayer& sound, MessageBox* messageBox, QWidget* parent);

    void bindControls();
    void connectHandlers();
    void centreOnScreen();
    // Anything that may change what the ticks compute or show: the timers
    // and the sound watch wake.
    void noteInput();
    void letSoundWatchSleep();

    SoundLayer& sound_;
    std::unique_ptr<MessageBox> ownMessageBox_;
    MessageBox* messageBox_;
    SynthState state_;
    modSynth_DX7 synth_;
    SwitchSet switches_;
    Sliders sliders_;
    MonotonicCounter counter_;
    PerformanceCounter* tickClock_ = nullptr;
    DisplayRecord shown_;

    FormFace* face_ = nullptr;
    FormControls controls_;
    FormMenus menus_;
    std::unique_ptr<PictureBoxPenSurface> picdrawSurface_;
    std::unique_ptr<LineEditText> text1_;
    std::unique_ptr<LabelText> label2_;
    std::unique_ptr<SwatchColumn> swatches_;
    std::unique_ptr<WindowDisplay> display_;
    TickTimer* timer1_ = nullptr;
    TickTimer* timer2_ = nullptr;
    std::unique_ptr<TickSleep> tickSleep_;
    std::unique_ptr<RepaintPacer> repaintPacer_;
    QTimer soundWatch_;
    bool soundOpen_ = false;
    FileCommands* fileCommands_ = nullptr;
    PerformanceRecording* performance_ = nullptr;
    PerformanceReplay* replay_ = nullptr;
    std::unique_ptr<PenGestures> gestures_;
    std::unique_ptr<Palette> palette_;
    bool centred_ = false;
    std::string startupFailure_;
};

}  // namespace scrivola
