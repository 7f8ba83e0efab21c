#include "ui/form1.h"

#include <QCloseEvent>
#include <QLayout>
#include <QLocale>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>

#include "synth/level_decay.h"
#include "synth/tick_rest.h"
#include "synth/wave_table_tick.h"
#include "ui/artwork.h"
#include "ui/confirmations.h"
#include "ui/control_binding.h"
#include "ui/file_commands.h"
#include "ui/form_face.h"
#include "ui/form_layout.h"
#include "ui/performance_recording.h"
#include "ui/performance_replay.h"
#include "ui/program_end.h"
#include "ui/qt_message_box.h"
#include "ui/window_placement.h"

namespace scrivola {

Form1::Form1(SoundLayer& sound, QWidget* parent) : Form1(sound, nullptr, parent) {}

Form1::Form1(SoundLayer& sound, MessageBox& messageBox, QWidget* parent)
    : Form1(sound, &messageBox, parent) {}

Form1::Form1(SoundLayer& sound, MessageBox* messageBox, QWidget* parent)
    : QMainWindow(parent),
      sound_(sound),
      ownMessageBox_(messageBox != nullptr ? nullptr : std::make_unique<QtMessageBox>(this)),
      messageBox_(messageBox != nullptr ? messageBox : ownMessageBox_.get()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(kFormCaption));
    setWindowIcon(applicationIcon());
    // A fixed single border: no maximise button and no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    face_ = new FormFace(this);
    setCentralWidget(face_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    controls_ = buildFormControls(*face_);
    menus_ = buildFormMenus(*menuBar());

    picdrawSurface_ = std::make_unique<PictureBoxPenSurface>(*controls_.picdraw);
    text1_ = std::make_unique<LineEditText>(*controls_.Text1);
    label2_ = std::make_unique<LabelText>(*controls_.Label2);
    swatches_ = std::make_unique<SwatchColumn>(controls_.lblcolor);
    display_ = std::make_unique<WindowDisplay>(*controls_.WPB1, *controls_.o1VU,
                                               *controls_.Picture1, *controls_.Picture2);
    timer1_ = new TickTimer(
        QStringLiteral("Timer1"), 1, true, [this] { Timer1_Timer(); }, this);
    timer2_ = new TickTimer(
        QStringLiteral("Timer2"), 0, true, [this] { Timer2_Timer(); }, this);
    tickSleep_ = std::make_unique<TickSleep>(*timer1_, *timer2_);
    repaintPacer_ = std::make_unique<RepaintPacer>(*this, [this] { return timer1_->isTicking(); });

    const QString separator = QLocale::system().decimalPoint();
    gestures_ =
        std::make_unique<PenGestures>(GestureTargets{state_, synth_, switches_, sliders_,
                                                     *picdrawSurface_, *text1_, *label2_, *timer2_},
                                      separator.toStdString());
    palette_ = std::make_unique<Palette>(*swatches_, *picdrawSurface_);

    soundWatch_.setObjectName(QStringLiteral("SoundWatch"));
    soundWatch_.setInterval(kSoundWatchIntervalMs);
    connect(&soundWatch_, &QTimer::timeout, this, [this] {
        sound_.recoverIfLost();
        letSoundWatchSleep();
    });

    // The recording and saving commands follow the items of the first menu.
    fileCommands_ = new FileCommands(*menuBar()->actions().constFirst()->menu(), sound_,
                                     *controls_.picdraw, *this);
    performance_ = new PerformanceRecording(
        *menuBar()->actions().constFirst()->menu(),
        PerformanceCore{state_, synth_, switches_, sliders_, *picdrawSurface_}, *controls_.picdraw,
        controls_, sound_, *this);
    replay_ = new PerformanceReplay(*menuBar()->actions().constFirst()->menu(), *this);

    bindControls();
    connectHandlers();
}

// The timers stop before the objects their ticks use go away.
Form1::~Form1() {
    if (windowHandle() != nullptr) {
        disconnect(windowHandle(), nullptr, this, nullptr);
    }
    soundWatch_.stop();
    timer1_->setEnabled(false);
    timer2_->setEnabled(false);
}

void Form1::bindControls() {
    for (int id = Check1; id <= Check12; ++id) {
        const auto switchId = static_cast<SwitchId>(id);
        bindCheck(controls_.check(switchId), switches_.at(switchId));
    }
    bindSlider(*controls_.Slider1, sliders_.decayStep);
    bindSlider(*controls_.VScroll1, sliders_.releaseLevel);
    // Whether the user or a command moved them.
    for (int id = Check1; id <= Check12; ++id) {
        connect(&controls_.check(static_cast<SwitchId>(id)), &QAbstractButton::toggled, this,
                [this] { noteInput(); });
    }
    for (QSlider* slider : {controls_.Slider1, controls_.VScroll1}) {
        connect(slider, &QSlider::valueChanged, this, [this] { noteInput(); });
    }
}

void Form1::connectHandlers() {
    controls_.picdraw->setMouseHandlers(
        [this](std::int16_t b, std::int16_t s, float x, float y) { picdraw_MouseDown(b, s, x, y); },
        [this](std::int16_t b, std::int16_t s, float x, float y) { picdraw_MouseMove(b, s, x, y); },
        [this](std::int16_t b, std::int16_t s, float x, float y) { picdraw_MouseUp(b, s, x, y); });
    for (SwatchLabel* swatch : controls_.lblcolor) {
        connect(swatch, &SwatchLabel::clicked, this,
                [this](int index) { lblcolor_Click(static_cast<std::int16_t>(index)); });
    }
    connect(controls_.cmdexit, &QAbstractButton::clicked, this, &Form1::cmdexit_Click);
    connect(controls_.cmdnew, &QAbstractButton::clicked, this, &Form1::cmdnew_Click);
    connect(controls_.cmdrst, &QAbstractButton::clicked, this, &Form1::cmdrst_Click);
    connect(controls_.Command1, &QAbstractButton::clicked, this, &Form1::Command1_Click);
    connect(controls_.cmdsin1, &QAbstractButton::clicked, this, &Form1::cmdsin1_Click);
    connect(controls_.Command2, &QAbstractButton::clicked, this, &Form1::Command2_Click);
    connect(menus_.mnunew, &QAction::triggered, this, &Form1::mnunew_Click);
    connect(menus_.mnureset, &QAction::triggered, this, &Form1::mnureset_Click);
    connect(menus_.mnuresetall, &QAction::triggered, this, &Form1::mnuresetall_Click);
    connect(menus_.mnukeeptone, &QAction::triggered, this, &Form1::mnukeeptone_Click);
    connect(menus_.mnuchngtone, &QAction::triggered, this, &Form1::mnuchngtone_Click);
    // Every menu item, the recording and saving commands too, after its own
    // handler.
    for (const QAction* menu : menuBar()->actions()) {
        if (menu->menu() != nullptr) {
            for (QAction* item : menu->menu()->actions()) {
                connect(item, &QAction::triggered, this, [this] { noteInput(); });
            }
        }
    }
}

bool Form1::Form_Load() {
    if (!sound_.openSound()) {
        startupFailure_ = sound_.failureReason();
        return false;
    }
    for (const std::int16_t slot : {0, 1}) {
        if (!sound_.play(slot, true)) {
            const std::string reason = sound_.failureReason();
            startupFailure_ = "sound buffer " + std::to_string(slot) + " would not start playing" +
                              (reason.empty() ? "" : ": " + reason);
            return false;
        }
    }
    palette_->applyStartupColours();
    applyStartupValues(state_, synth_, switches_, sliders_);
    soundOpen_ = true;
    soundWatch_.start();
    return true;
}

void Form1::Form_Unload() {
    fileCommands_->finish();
    soundOpen_ = false;
    performance_->finish();
    soundWatch_.stop();
    sound_.releaseSound();
}

void Form1::noteInput() {
    tickSleep_->wake();
    if (soundOpen_ && !soundWatch_.isActive()) {
        soundWatch_.start();
    }
}

// With the timers asleep nothing writes the tables, so an output stopped for
// silence stays stopped, and there is nothing to watch until input comes.
void Form1::letSoundWatchSleep() {
    if (tickSleep_->isAsleep() && sound_.isIdle()) {
        soundWatch_.stop();
    }
}

void Form1::picdraw_MouseDown(std::int16_t button, std::int16_t shift, float x, float y) {
    // An output released for silence reopens while the pen is down, not
    // after the note has begun.
    sound_.expectSound();
    performance_->press(button, shift, x, y);
    gestures_->press(button, shift, x, y);
    noteInput();
}

void Form1::picdraw_MouseMove(std::int16_t button, std::int16_t shift, float x, float y) {
    performance_->move(button, shift, x, y);
    gestures_->move(button, shift, x, y);
    noteInput();
}

void Form1::picdraw_MouseUp(std::int16_t button, std::int16_t shift, float x, float y) {
    performance_->release(button, shift, x, y);
    gestures_->release(button, shift, x, y);
    noteInput();
}

void Form1::lblcolor_Click(std::int16_t index) {
    performance_->swatch(index);
    palette_->choose(index);
    noteInput();
}

void Form1::cmdexit_Click() {
    if (confirmed(*messageBox_, kExitConfirmation)) {
        // Ending at once runs no destructor: the recording is completed first.
        fileCommands_->finish();
        performance_->finish();
        endProgramAtOnce(fileCommands_->exitStatus());
    }
}

void Form1::cmdnew_Click() {
    if (confirmed(*messageBox_, kNewDrawingConfirmation)) {
        performance_->command(CommandId::cmdnew);
        picdrawSurface_->clear();
    }
    noteInput();
}

void Form1::mnunew_Click() {
    cmdnew_Click();
}

void Form1::cmdrst_Click() {
    if (confirmed(*messageBox_, kResetConfirmation)) {
        performance_->command(CommandId::cmdrst);
        resetSynth(state_, switches_);
    }
    noteInput();
}

void Form1::mnureset_Click() {
    cmdrst_Click();
}

void Form1::Command1_Click() {
    performance_->command(CommandId::Command1);
    resetAll(state_, switches_, *picdrawSurface_);
    noteInput();
}

void Form1::mnuresetall_Click() {
    Command1_Click();
}

void Form1::cmdsin1_Click() {
    performance_->command(CommandId::cmdsin1);
    resetVoiceB(switches_);
    noteInput();
}

void Form1::Command2_Click() {
    performance_->command(CommandId::Command2);
    resetVoiceA(switches_);
    noteInput();
}

void Form1::mnukeeptone_Click() {
    performance_->command(CommandId::mnukeeptone);
    switches_.setValue(kKeepTone, 1);
}

void Form1::mnuchngtone_Click() {
    performance_->command(CommandId::mnuchngtone);
    switches_.setValue(kKeepTone, 0);
}

void Form1::Timer1_Timer() {
    // While a performance replays, its ticks stand in for this one, but the
    // window is still repainted here.
    if (!replay_->isPlaying()) {
        // While a performance records, the tick reads a clock that notes
        // each reading.
        if (SecondsClock* clock = performance_->tickClock()) {
            synthesisTick(*clock);
            performance_->tickDone();
        } else {
            if (tickClock_ != nullptr) {
                waveTableTick(synth_, state_, switches_, *tickClock_, sound_, shown_);
            } else {
                waveTableTick(synth_, state_, switches_, counter_, sound_, shown_);
            }
            display_->show(shown_);
        }
        tickSleep_->afterTick(tickAtRest(synth_, state_, switches_, timer2_->isStarted()));
        letSoundWatchSleep();
    }
    repaintPacer_->tick();
}

void Form1::synthesisTick(SecondsClock& clock) {
    waveTableTick(synth_, state_, switches_, clock, sound_, shown_);
    display_->show(shown_);
}

void Form1::Timer2_Timer() {
    if (replay_->isPlaying()) {
        return;
    }
    performance_->decayTick();
    levelDecayTick(state_);
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Form1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!centred_) {
        centred_ = true;
        centreOnScreen();
        // On another screen the displays are drawn again at its scale.
        if (windowHandle() != nullptr) {
            connect(windowHandle(), &QWindow::screenChanged, this, [this] { noteInput(); });
        }
    }
    noteInput();
}

void Form1::centreOnScreen() {
    const QScreen* target = screen();
    if (target == nullptr) {
        return;
    }
    move(centredTopLeft(frameGeometry().size(), target->availableGeometry()));
}

}  // namespace scrivola
