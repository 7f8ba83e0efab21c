// Recording a performance from the window: the file menu's "Record
// Per&formance..." asks for a file and starts; the same item, then reading
// "Stop Recording Per&formance", stops. While recording, the window's
// handlers note every pen event, swatch, control and command here, and the
// synthesis tick reads the clock through tickClock(), which notes each
// reading. Each event goes to the file as it happens.
#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>
#include <chrono>
#include <functional>

#include "audio/sound_layer.h"
#include "performance/performance_state.h"
#include "performance/performance_writer.h"
#include "synth/clock.h"
#include "ui/form_controls.h"
#include "ui/picture_box.h"

namespace scrivola {

class PerformanceRecording : public QObject {
    Q_OBJECT

public:
    // Tells the user something went wrong: a title and one paragraph.
    using Notice = std::function<void(const QString& title, const QString& text)>;
    // Asks for the file to record into; empty when cancelled.
    using PathQuestion = std::function<QString()>;

    // Adds the command to `fileMenu` and follows the controls' sliders and
    // check boxes. Everything passed must outlive this.
    PerformanceRecording(QMenu& fileMenu, const PerformanceCore& core, const PictureBox& drawing,
                         const FormControls& controls, const SoundLayer& sound, QWidget& window);
    // A recording still running is ended.
    ~PerformanceRecording() override;

    void setNotice(Notice notice) { notice_ = std::move(notice); }
    void setPathQuestion(PathQuestion ask) { askPath_ = std::move(ask); }

    QAction* action() const { return action_; }
    bool isRecording() const { return writer_.isOpen(); }
    // Starts recording into `path` with what the window holds now; on
    // failure says why and returns false.
    bool start(const QString& path);
    // Ends the file; says so if writing failed.
    void stop();
    // Ends the file as the program ends: no dialog, a line on standard error
    // if writing failed.
    void finish();

    // The window's handlers, before they act. Harmless when not recording.
    void press(std::int16_t button, std::int16_t shift, float x, float y);
    void move(std::int16_t button, std::int16_t shift, float x, float y);
    void release(std::int16_t button, std::int16_t shift, float x, float y);
    void swatch(int index);
    void command(CommandId command);
    void decayTick();
    // The clock a synthesis tick is to read while recording, noting each
    // reading; nullptr when not recording. tickDone() after the tick.
    SecondsClock* tickClock();
    void tickDone();

private:
    // The system clock, noting every reading into the tick being recorded.
    class NotingClock final : public SecondsClock {
    public:
        std::vector<ClockRun>* runs = nullptr;
        std::optional<float> readSeconds() override;
        bool steady() const override { return counter_.steady(); }

    private:
        MonotonicCounter counter_;
    };

    void triggered();
    PerformanceEvent& stamp(EventKind kind);
    void write();
    void end(bool quietly);
    void showState();

    PerformanceCore core_;
    const PictureBox& drawing_;
    const SoundLayer& sound_;
    QWidget& window_;
    QAction* action_ = nullptr;
    PerformanceWriter writer_;
    QString path_;
    std::chrono::steady_clock::time_point start_{};
    PerformanceEvent event_;  // reused, so that recording allocates nothing per event
    NotingClock clock_;
    Notice notice_;
    PathQuestion askPath_;
};

}  // namespace scrivola
