#include "ui/performance_recording.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>
#include <iostream>

namespace scrivola {
namespace {

const QString kRecordCaption = QStringLiteral("Record Per&formance...");
const QString kStopCaption = QStringLiteral("Stop Recording Per&formance");
const QString kTitle = QStringLiteral("Record Performance");

// The drawing as PNG; empty when nothing is drawn (every pixel the
// background).
std::string drawingPng(const PictureBox& drawing) {
    const QImage& image = drawing.image();
    const QRgb background = image.isNull() ? 0 : image.pixel(0, 0);
    bool blank = true;
    for (int y = 0; blank && y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; blank && x < image.width(); ++x) {
            blank = line[x] == background;
        }
    }
    if (blank) {
        return {};
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toStdString();
}

}  // namespace

std::optional<float> PerformanceRecording::NotingClock::readSeconds() {
    const std::optional<float> seconds = readClockSeconds(counter_);
    if (runs != nullptr) {
        if (!runs->empty() && runs->back().seconds == seconds) {
            ++runs->back().count;
        } else {
            runs->push_back(ClockRun{seconds, 1});
        }
    }
    return seconds;
}

PerformanceRecording::PerformanceRecording(QMenu& fileMenu, const PerformanceCore& core,
                                           const PictureBox& drawing, const FormControls& controls,
                                           const SoundLayer& sound, QWidget& window)
    : QObject(&window), core_(core), drawing_(drawing), sound_(sound), window_(window) {
    action_ = fileMenu.addAction(kRecordCaption);
    action_->setObjectName(QStringLiteral("mnurecordperformance"));
    action_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    connect(action_, &QAction::triggered, this, &PerformanceRecording::triggered);

    // The controls' own changes by the user.
    for (int id = Check1; id <= Check12; ++id) {
        connect(&controls.check(static_cast<SwitchId>(id)), &QAbstractButton::clicked, this,
                [this, id](bool checked) {
                    PerformanceEvent& e = stamp(EventKind::Check);
                    e.number = id;
                    e.value = checked ? 1 : 0;
                    write();
                });
    }
    const auto followSlider = [this](QSlider* slider, SliderId id) {
        connect(slider, &QSlider::valueChanged, this, [this, id](int value) {
            PerformanceEvent& e = stamp(EventKind::Slider);
            e.number = static_cast<int>(id);
            e.value = value;
            write();
        });
    };
    followSlider(controls.Slider1, SliderId::Slider1);
    followSlider(controls.VScroll1, SliderId::VScroll1);

    notice_ = [this](const QString& title, const QString& text) {
        QMessageBox::warning(&window_, title, text);
    };
    askPath_ = [this] {
        const QString stamp =
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
        QFileDialog dialog(&window_, kTitle,
                           QDir(folder).filePath(QStringLiteral("scrivola-%1.scrivola").arg(stamp)),
                           QStringLiteral("Scrivola performance (*.scrivola)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("scrivola"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return QString();
        }
        return dialog.selectedFiles().constFirst();
    };
}

PerformanceRecording::~PerformanceRecording() {
    finish();
}

void PerformanceRecording::triggered() {
    if (isRecording()) {
        stop();
        return;
    }
    const QString path = askPath_();
    if (!path.isEmpty()) {
        start(path);
    }
}

bool PerformanceRecording::start(const QString& path) {
    PerformanceHeader header;
    if (const unsigned rate = sound_.outputRate(); rate >= kMinPerformanceRate) {
        header.rate = rate;
    }
    header.program = QStringLiteral("Scrivola Synth %1")
                         .arg(QCoreApplication::applicationVersion())
                         .toStdString();
    MonotonicCounter counter;
    const double clock =
        static_cast<double>(counter.counter().value_or(0)) / static_cast<double>(1'000'000'000);
    StartingState state = captureStartingState(core_, clock);
    state.drawingPng = drawingPng(drawing_);
    start_ = std::chrono::steady_clock::now();
    if (const QString why = writer_.open(path, header, state); !why.isEmpty()) {
        notice_(
            kTitle,
            QStringLiteral("Cannot record to %1: %2.").arg(QDir::toNativeSeparators(path), why));
        return false;
    }
    path_ = path;
    showState();
    return true;
}

PerformanceEvent& PerformanceRecording::stamp(EventKind kind) {
    event_.kind = kind;
    event_.time = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    event_.readings.clear();
    return event_;
}

void PerformanceRecording::write() {
    if (isRecording() && !writer_.write(event_)) {
        // Not from inside the handler that is recording.
        QTimer::singleShot(0, this, [this] { end(false); });
    }
}

void PerformanceRecording::press(std::int16_t button, std::int16_t shift, float x, float y) {
    if (isRecording()) {
        PerformanceEvent& e = stamp(EventKind::Press);
        e.button = button, e.shift = shift, e.x = x, e.y = y;
        write();
    }
}

void PerformanceRecording::move(std::int16_t button, std::int16_t shift, float x, float y) {
    if (isRecording()) {
        PerformanceEvent& e = stamp(EventKind::Move);
        e.button = button, e.shift = shift, e.x = x, e.y = y;
        write();
    }
}

void PerformanceRecording::release(std::int16_t button, std::int16_t shift, float x, float y) {
    if (isRecording()) {
        PerformanceEvent& e = stamp(EventKind::Release);
        e.button = button, e.shift = shift, e.x = x, e.y = y;
        write();
    }
}

void PerformanceRecording::swatch(int index) {
    if (isRecording()) {
        stamp(EventKind::Swatch).number = index;
        write();
    }
}

void PerformanceRecording::command(CommandId command) {
    if (isRecording()) {
        stamp(EventKind::Command).number = static_cast<int>(command);
        write();
    }
}

void PerformanceRecording::decayTick() {
    if (isRecording()) {
        stamp(EventKind::DecayTick);
        write();
    }
}

SecondsClock* PerformanceRecording::tickClock() {
    if (!isRecording()) {
        return nullptr;
    }
    clock_.runs = &stamp(EventKind::SynthesisTick).readings;
    return &clock_;
}

void PerformanceRecording::tickDone() {
    if (clock_.runs != nullptr) {
        clock_.runs = nullptr;
        write();
    }
}

void PerformanceRecording::stop() {
    end(false);
}

void PerformanceRecording::finish() {
    end(true);
}

void PerformanceRecording::end(bool quietly) {
    if (!isRecording()) {
        return;
    }
    const QString why = writer_.finish(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count());
    showState();
    if (why.isEmpty()) {
        return;
    }
    const QString text = QStringLiteral("Recording the performance to %1 stopped: %2.")
                             .arg(QDir::toNativeSeparators(path_), why);
    if (quietly) {
        std::cerr << "scrivola-synth: " << text.toStdString() << std::endl;
    } else {
        notice_(kTitle, text);
    }
}

void PerformanceRecording::showState() {
    action_->setText(isRecording() ? kStopCaption : kRecordCaption);
}

}  // namespace scrivola
