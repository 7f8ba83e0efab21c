#include "ui/performance_replay.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QStandardPaths>
#include <cmath>

#include "performance/performance_state.h"
#include "synth/level_decay.h"
#include "ui/form1.h"

namespace scrivola {
namespace {

const QString kTitle = QStringLiteral("Play Performance");

}  // namespace

PerformanceReplay::PerformanceReplay(QMenu& fileMenu, Form1& window)
    : QObject(&window), window_(window) {
    action_ = fileMenu.addAction(QStringLiteral("&Play Performance..."));
    action_->setObjectName(QStringLiteral("mnuplayperformance"));
    action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(action_, &QAction::triggered, this, &PerformanceReplay::triggered);
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &PerformanceReplay::deliverDue);

    notice_ = [this](const QString& title, const QString& text) {
        QMessageBox::warning(&window_, title, text);
    };
    askPath_ = [this] {
        return QFileDialog::getOpenFileName(
            &window_, kTitle, QStandardPaths::writableLocation(QStandardPaths::MusicLocation),
            QStringLiteral("Scrivola performance (*.scrivola);;All files (*)"));
    };
}

PerformanceReplay::~PerformanceReplay() {
    stop();
}

void PerformanceReplay::triggered() {
    const QString path = askPath_();
    if (!path.isEmpty()) {
        play(QFile::encodeName(path));
    }
}

void PerformanceReplay::refuse(const QString& text) {
    notice_(kTitle, text);
}

bool PerformanceReplay::play(const QByteArray& path) {
    stop();
    // Every line is checked before anything changes.
    if (const std::optional<PerformanceError> fault = checkPerformanceFile(path)) {
        refuse(fault->message());
        return false;
    }
    auto reader = std::make_unique<PerformanceReader>();
    if (!reader->open(path)) {
        refuse(reader->error().message());
        return false;
    }
    const StartingState& start = reader->startingState();
    QImage drawing;
    if (!start.drawingPng.empty()) {
        const QByteArray png(start.drawingPng.data(), qsizetype(start.drawingPng.size()));
        if (!drawing.loadFromData(png, "PNG")) {
            refuse(QStringLiteral("%1, line 2: \"drawing\" is not a PNG image")
                       .arg(QFile::decodeName(path)));
            return false;
        }
    }

    applyStartingState(start, PerformanceCore{window_.state(), window_.synth(), window_.switches(),
                                              window_.sliders(), window_.picdrawSurface()});
    PictureBox& picture = *window_.controls().picdraw;
    if (drawing.isNull()) {
        const float x = picture.currentX();
        const float y = picture.currentY();
        picture.clear();
        picture.setCurrentPosition(x, y);
    } else {
        picture.setDrawing(drawing);
    }
    if (start.tablesGiven) {
        window_.soundLayer().writeWaveTable(0, start.synth.tableA);
        window_.soundLayer().writeWaveTable(1, start.synth.tableB);
    }
    startClock_ = start.clock;
    reader_ = std::move(reader);
    hasNext_ = reader_->next(next_);
    qApp->installEventFilter(this);
    elapsed_.start();
    deliverDue();
    return true;
}

void PerformanceReplay::deliverDue() {
    if (!isPlaying()) {
        return;
    }
    const double now = static_cast<double>(elapsed_.nsecsElapsed()) / 1e9;
    while (hasNext_ && next_.time <= now) {
        deliverEvent(next_, startClock_, *this);
        if (!isPlaying()) {
            return;  // an event ended the replay
        }
        hasNext_ = reader_->next(next_);
    }
    if (!hasNext_) {
        const bool failed = reader_->failed();
        const QString message = reader_->error().message();
        stop();
        if (failed) {
            refuse(message);  // the file changed since it was checked
        }
        return;
    }
    timer_.start(static_cast<int>(std::ceil((next_.time - now) * 1000.0)));
}

void PerformanceReplay::stop() {
    if (!isPlaying()) {
        return;
    }
    timer_.stop();
    qApp->removeEventFilter(this);
    reader_.reset();
    hasNext_ = false;
}

bool PerformanceReplay::eventFilter(QObject* watched, QEvent* event) {
    // The player's own press or Escape ends the replay; the press then goes
    // on to do what it does.
    const bool byPlayer =
        event->spontaneous() && (event->type() == QEvent::MouseButtonPress ||
                                 (event->type() == QEvent::KeyPress &&
                                  static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape));
    if (byPlayer) {
        stop();
    }
    return QObject::eventFilter(watched, event);
}

void PerformanceReplay::press(std::int16_t button, std::int16_t shift, float x, float y) {
    window_.picdraw_MouseDown(button, shift, x, y);
}

void PerformanceReplay::move(std::int16_t button, std::int16_t shift, float x, float y) {
    window_.picdraw_MouseMove(button, shift, x, y);
}

void PerformanceReplay::release(std::int16_t button, std::int16_t shift, float x, float y) {
    window_.picdraw_MouseUp(button, shift, x, y);
}

void PerformanceReplay::swatch(int index) {
    window_.lblcolor_Click(static_cast<std::int16_t>(index));
}

void PerformanceReplay::slider(SliderId slider, int value) {
    (slider == SliderId::Slider1 ? window_.controls().Slider1 : window_.controls().VScroll1)
        ->setValue(value);
}

void PerformanceReplay::check(int number, int value) {
    window_.controls().check(static_cast<SwitchId>(number)).setChecked(value == 1);
}

void PerformanceReplay::command(CommandId command) {
    applyCommand(command, window_.state(), window_.switches(), window_.picdrawSurface());
}

void PerformanceReplay::synthesisTick(SecondsClock& clock) {
    window_.synthesisTick(clock);
}

void PerformanceReplay::decayTick() {
    levelDecayTick(window_.state());
}

}  // namespace scrivola
