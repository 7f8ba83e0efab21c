#include "ui/repaint_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <utility>

namespace scrivola {

RepaintPacer::RepaintPacer(QWidget& window, std::function<bool()> tickRuns)
    : window_(window), tickRuns_(std::move(tickRuns)) {
    window_.installEventFilter(this);
}

RepaintPacer::~RepaintPacer() {
    window_.removeEventFilter(this);
}

void RepaintPacer::tick() {
    // Qt posts no further request while one it posted is pending; this one
    // takes its place and repaints the window's whole changed region.
    painting_ = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&window_, &request);
    painting_ = false;
}

bool RepaintPacer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::UpdateRequest && !painting_ &&
        tickRuns_()) {
        return true;  // the next tick repaints
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace scrivola
