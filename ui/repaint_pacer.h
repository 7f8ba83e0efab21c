// Paces the window's repaints to its display tick. While the tick runs, the
// requests Qt posts to repaint what changed are held, and each tick, once its
// scopes and meters have their new values, repaints everything that changed
// since the last one in a single pass. Left to itself Qt would repaint after
// every pointer move too, and send the changed pixels to the X server each
// time: at 100 moves a second that is more passes, wake-ups and server
// round trips than the 64 ticks. What is shown is the same once painted; a
// line drawn shows at most one tick (1/64 s) later. While the tick sleeps
// nothing is held.
#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace scrivola {

class RepaintPacer : public QObject {
    Q_OBJECT

public:
    // Paces `window` (a top-level widget, which must outlive the pacer)
    // while `tickRuns` says the tick is running.
    RepaintPacer(QWidget& window, std::function<bool()> tickRuns);
    ~RepaintPacer() override;

    // Called at the end of each tick: repaints what changed since the last.
    void tick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    std::function<bool()> tickRuns_;
    bool painting_ = false;
};

}  // namespace scrivola
