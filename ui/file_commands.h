// The "file" menu's commands that keep what was played: recording the sound
// to a WAV, FLAC or Ogg Vorbis file and saving the drawing as an image. They come after the
// menu's own items, behind a separator.
#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

#include "audio/sound_layer.h"
#include "audio/wav_recorder.h"
#include "ui/picture_box.h"

namespace scrivola {

class FileCommands : public QObject {
    Q_OBJECT

public:
    // How often a running recording is checked for a failed write.
    static constexpr int kWatchIntervalMs = 250;

    // Tells the user something went wrong: a title and one paragraph.
    using Notice = std::function<void(const QString& title, const QString& text)>;
    // Asks for a file to write: title, suggested path, name filter, suffix
    // added when the name has none. Empty when cancelled.
    using SavePathQuestion = std::function<QString(const QString& title, const QString& suggested,
                                                   const QString& filter, const QString& suffix)>;

    // Adds the commands to `fileMenu`. `sound` and `drawing` must outlive
    // this; dialogs and messages are shown over `window`.
    // A recording still running when this goes is completed without a word.
    FileCommands(QMenu& fileMenu, SoundLayer& sound, const PictureBox& drawing, QWidget& window);

    // Replace the message boxes and file dialogs (tests).
    void setNotice(Notice notice) { notice_ = std::move(notice); }
    void setSavePathQuestion(SavePathQuestion ask) { askPath_ = std::move(ask); }

    QAction* recordAction() const { return record_; }
    QAction* saveDrawingAction() const { return saveDrawing_; }

    // Starts recording to `file`, the name's bytes as the file system takes
    // them; on failure says why and returns false.
    bool startRecording(const QByteArray& file);
    // As above, for the recording asked for on the command line: what is said
    // about it is also written to standard error, and the program's exit
    // status tells whether it never started or failed.
    bool startCommandLineRecording(const QByteArray& file);
    // EXIT_FAILURE once the command line's recording never started or
    // failed; EXIT_SUCCESS otherwise.
    int exitStatus() const;
    // Stops a running recording, leaving a complete file; says so when the
    // disk could not keep up and samples were lost.
    void stopRecording();
    bool isRecording() const { return recorder_.isRecording(); }
    // Completes a running recording when the program ends: no dialog, a
    // note on standard error if samples were lost.
    void finish();
    // Writes the drawing to `path` in the image format its extension names
    // (PNG when it has none); on failure, or for an extension no image
    // writer knows, says why and writes nothing.
    bool saveDrawing(const QString& path);

private:
    void recordTriggered();
    void saveDrawingTriggered();
    // A failed write stops the recording and says why, once.
    void checkRecorder();
    bool start(const QByteArray& file, bool commandLine);
    void stopped(const WavRecorder::Outcome& outcome, bool quietly);
    // Says what went wrong with a recording: in a notice, unless `quietly`;
    // on standard error when quiet or the recording is the command line's.
    void tell(const QString& text, bool quietly, bool onErrorStream);
    void showRecordingState();
    // Asks for a file to write, suggesting a dated name in `folder`; a file
    // chosen makes its folder the next suggestion. Empty when cancelled.
    QString askFile(const QString& title, QString& folder, const QString& filter,
                    const QString& suffix);

    const PictureBox& drawing_;
    QWidget& window_;
    WavRecorder recorder_;
    QAction* record_ = nullptr;
    QAction* saveDrawing_ = nullptr;
    QTimer watch_;
    QString recordingPath_;
    // The running recording is the command line's; it failed.
    bool commandLineRecording_ = false;
    bool commandLineFailed_ = false;
    // The folders last written to, for the next dialog of the same command.
    QString recordFolder_;
    QString drawingFolder_;
    Notice notice_;
    SavePathQuestion askPath_;
};

}  // namespace scrivola
