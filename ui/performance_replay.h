// Replaying a performance in the window: the file menu's "&Play
// Performance..." (or --play FILE) checks the whole file first, then sets
// the window to the file's starting state and delivers each event at its
// time through the handlers a live event takes. The file's ticks, with their
// clock readings, stand in for the window's timers meanwhile. A press on the
// surface or a control, or Escape, ends the replay; the window stays as it
// was then and plays on from there.
#pragma once

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

#include "performance/performance_reader.h"
#include "performance/performance_target.h"

namespace scrivola {

class Form1;

class PerformanceReplay : public QObject, private PerformanceTarget {
    Q_OBJECT

public:
    // Tells the user something went wrong: a title and one paragraph.
    using Notice = std::function<void(const QString& title, const QString& text)>;
    // Asks for the file to play; empty when cancelled.
    using PathQuestion = std::function<QString()>;

    // Adds the command to `fileMenu`.
    PerformanceReplay(QMenu& fileMenu, Form1& window);
    ~PerformanceReplay() override;

    void setNotice(Notice notice) { notice_ = std::move(notice); }
    void setPathQuestion(PathQuestion ask) { askPath_ = std::move(ask); }

    QAction* action() const { return action_; }
    bool isPlaying() const { return reader_ != nullptr; }
    // Starts replaying `path`, the file's name as the system's bytes. A file
    // with a fault is refused with one message naming the file, the line and
    // the reason, and nothing changes.
    bool play(const QByteArray& path);
    // Ends the replay where it is.
    void stop();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void triggered();
    void deliverDue();
    void refuse(const QString& text);

    void press(std::int16_t button, std::int16_t shift, float x, float y) override;
    void move(std::int16_t button, std::int16_t shift, float x, float y) override;
    void release(std::int16_t button, std::int16_t shift, float x, float y) override;
    void swatch(int index) override;
    void slider(SliderId slider, int value) override;
    void check(int number, int value) override;
    void command(CommandId command) override;
    void synthesisTick(SecondsClock& clock) override;
    void decayTick() override;

    Form1& window_;
    QAction* action_ = nullptr;
    std::unique_ptr<PerformanceReader> reader_;
    PerformanceEvent next_;
    bool hasNext_ = false;
    double startClock_ = 0.0;
    QElapsedTimer elapsed_;
    QTimer timer_;
    Notice notice_;
    PathQuestion askPath_;
};

}  // namespace scrivola
