#include "ui/file_commands.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageWriter>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <cstdlib>
#include <iostream>
#include <utility>

namespace scrivola {
namespace {

const QString kRecordCaption = QStringLiteral("&Record Sound...");
const QString kStopCaption = QStringLiteral("Stop &Recording");

QString startFolder(QStandardPaths::StandardLocation location) {
    const QString folder = QStandardPaths::writableLocation(location);
    return QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

QString askWithDialog(QWidget& parent, const QString& title, const QString& suggested,
                      const QString& filter, const QString& suffix) {
    QFileDialog dialog(&parent, title, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    // A name typed without an extension takes the one of the filter chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        const QRegularExpressionMatch first =
            QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(f);
        if (first.hasMatch()) {
            dialog.setDefaultSuffix(first.captured(1));
        }
    });
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

QString seconds(std::uint64_t samples, unsigned rate) {
    return QString::number(rate != 0 ? static_cast<double>(samples) / rate : 0.0, 'f', 1);
}

}  // namespace

FileCommands::FileCommands(QMenu& fileMenu, SoundLayer& sound, const PictureBox& drawing,
                           QWidget& window)
    : QObject(&window),
      drawing_(drawing),
      window_(window),
      recorder_(sound),
      recordFolder_(startFolder(QStandardPaths::MusicLocation)),
      drawingFolder_(startFolder(QStandardPaths::PicturesLocation)) {
    fileMenu.addSeparator();
    record_ = fileMenu.addAction(kRecordCaption);
    record_->setObjectName(QStringLiteral("mnurecord"));
    record_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    saveDrawing_ = fileMenu.addAction(QStringLiteral("&Save Drawing..."));
    saveDrawing_->setObjectName(QStringLiteral("mnusavedrawing"));
    saveDrawing_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(record_, &QAction::triggered, this, &FileCommands::recordTriggered);
    connect(saveDrawing_, &QAction::triggered, this, &FileCommands::saveDrawingTriggered);

    watch_.setInterval(kWatchIntervalMs);
    connect(&watch_, &QTimer::timeout, this, &FileCommands::checkRecorder);

    notice_ = [this](const QString& title, const QString& text) {
        QMessageBox::warning(&window_, title, text);
    };
    askPath_ = [this](const QString& title, const QString& suggested, const QString& filter,
                      const QString& suffix) {
        return askWithDialog(window_, title, suggested, filter, suffix);
    };
}

QString FileCommands::askFile(const QString& title, QString& folder, const QString& filter,
                              const QString& suffix) {
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    const QString suggested =
        QDir(folder).filePath(QStringLiteral("scrivola-%1.%2").arg(stamp, suffix));
    const QString path = askPath_(title, suggested, filter, suffix);
    if (!path.isEmpty()) {
        folder = QFileInfo(path).absolutePath();
    }
    return path;
}

void FileCommands::recordTriggered() {
    if (recorder_.isRecording()) {
        stopRecording();
        return;
    }
    const QString path =
        askFile(QStringLiteral("Record Sound"), recordFolder_,
                QStringLiteral("Sound files (*.wav *.flac *.ogg);;WAV sound (*.wav);;"
                               "FLAC sound (*.flac);;Ogg Vorbis sound (*.ogg)"),
                QStringLiteral("wav"));
    if (!path.isEmpty()) {
        startRecording(QFile::encodeName(path));
    }
}

void FileCommands::saveDrawingTriggered() {
    const QString path =
        askFile(QStringLiteral("Save Drawing"), drawingFolder_,
                QStringLiteral("PNG image (*.png);;JPEG image (*.jpg *.jpeg);;BMP image (*.bmp)"),
                QStringLiteral("png"));
    if (!path.isEmpty()) {
        saveDrawing(path);
    }
}

bool FileCommands::startRecording(const QByteArray& file) {
    return start(file, false);
}

bool FileCommands::startCommandLineRecording(const QByteArray& file) {
    return start(file, true);
}

bool FileCommands::start(const QByteArray& file, bool commandLine) {
    const QString path = QFile::decodeName(file);
    const std::string why = recorder_.start(file.toStdString());
    if (!why.empty()) {
        tell(QStringLiteral("Cannot record to %1: %2.")
                 .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(why.c_str())),
             false, commandLine);
        commandLineFailed_ = commandLineFailed_ || commandLine;
        return false;
    }
    commandLineRecording_ = commandLine;
    recordingPath_ = path;
    watch_.start();
    showRecordingState();
    return true;
}

int FileCommands::exitStatus() const {
    return commandLineFailed_ ? EXIT_FAILURE : EXIT_SUCCESS;
}

void FileCommands::stopRecording() {
    if (recorder_.isRecording()) {
        stopped(recorder_.stop(), false);
    }
}

void FileCommands::finish() {
    if (recorder_.isRecording()) {
        stopped(recorder_.stop(), true);
    }
}

void FileCommands::checkRecorder() {
    if (recorder_.hasFailed()) {
        stopped(recorder_.stop(), false);
    }
}

void FileCommands::stopped(const WavRecorder::Outcome& outcome, bool quietly) {
    const QString path = QDir::toNativeSeparators(recordingPath_);
    const bool commandLine = std::exchange(commandLineRecording_, false);
    commandLineFailed_ = commandLineFailed_ || (commandLine && !outcome.error.empty());
    watch_.stop();
    showRecordingState();
    QString text;
    if (!outcome.error.empty()) {
        text = QStringLiteral("Recording to %1 stopped: %2. %3 s were recorded.")
                   .arg(path, QString::fromLocal8Bit(outcome.error.c_str()),
                        seconds(outcome.frames, outcome.rate));
    } else if (outcome.dropped > 0) {
        text = QStringLiteral("The recording %1 misses %2 s of sound: the disk could not keep up.")
                   .arg(path, seconds(outcome.dropped, outcome.rate));
    }
    if (!text.isEmpty()) {
        tell(text, quietly, commandLine);
    }
}

void FileCommands::tell(const QString& text, bool quietly, bool onErrorStream) {
    if (quietly || onErrorStream) {
        std::cerr << "scrivola-synth: " << text.toLocal8Bit().constData() << std::endl;
    }
    if (!quietly) {
        notice_(QStringLiteral("Record Sound"), text);
    }
}

void FileCommands::showRecordingState() {
    record_->setText(recorder_.isRecording() ? kStopCaption : kRecordCaption);
}

bool FileCommands::saveDrawing(const QString& path) {
    QImage image = drawing_.image().copy();
    image.setDevicePixelRatio(drawing_.backingRatio());
    const QByteArray extension = QFileInfo(path).suffix().toLower().toUtf8();
    const QByteArray format = extension.isEmpty() ? QByteArray("png") : extension;
    // Written beside the target and renamed over it at the end, so a failed
    // save never leaves half an image in place of a good one.
    QSaveFile file(path);
    QString why;
    if (!QImageWriter::supportedImageFormats().contains(format)) {
        why = QStringLiteral("no image format is known by the extension '.%1'")
                  .arg(QString::fromUtf8(extension));
    } else if (!file.open(QIODevice::WriteOnly)) {
        why = file.errorString();
    } else {
        QImageWriter writer(&file, format);
        if (!writer.write(image)) {
            why = file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
            file.cancelWriting();
        } else if (!file.commit()) {
            why = file.errorString();
        }
    }
    if (why.isEmpty()) {
        return true;
    }
    notice_(QStringLiteral("Save Drawing"), QStringLiteral("Cannot save the drawing to %1: %2.")
                                                .arg(QDir::toNativeSeparators(path), why));
    return false;
}

}  // namespace scrivola
