#include "ui/outside_end.h"

#include <sys/socket.h>
#include <unistd.h>
#include <xcb/xproto.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace scrivola {
namespace {

constexpr int kTerminationSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The signal handler's end of the socket pair.
int signalWriteEnd = -1;

void onTerminationSignal(int signal) {
    const int saved = errno;
    const char number = static_cast<char>(signal);
    // Non-blocking: should the socket ever be full, a byte already waits and
    // this one adds nothing.
    [[maybe_unused]] const ssize_t written = ::write(signalWriteEnd, &number, 1);
    errno = saved;
}

// A child of the window: it stops filtering when the window goes.
class DestroyedWindowFilter final : public QObject, public QAbstractNativeEventFilter {
public:
    explicit DestroyedWindowFilter(QWidget& window) : QObject(&window), window_(&window) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t" || window_.isNull()) {
            return false;
        }
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_DESTROY_NOTIFY) {
            return false;
        }
        const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
        // Only a window that Qt has not itself taken down: one still shown.
        if (window_->isVisible() && destroyed->window == window_->internalWinId()) {
            endAsOnClose(*window_);
        }
        return false;
    }

private:
    QPointer<QWidget> window_;
};

}  // namespace

void endAsOnClose(QWidget& window) {
    window.close();
    // Leaves the loops running now, a dialog's included, and, by a posted
    // call, the main loop also when it was not running yet (a dialog shown
    // before it started).
    QCoreApplication::exit(0);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void endOnTerminationSignals(QWidget& window) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0) {
        qWarning("scrivola-synth: termination signals will end the program at once: %s",
                 std::strerror(errno));
        return;
    }
    signalWriteEnd = ends[1];
    auto* notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [notifier, &window] {
        notifier->setEnabled(false);  // one end is enough; later signals wait
        endAsOnClose(window);
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kTerminationSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

void endWhenWindowDestroyed(QWidget& window) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return;
    }
    new DestroyedWindowFilter(window);
}

}  // namespace scrivola
