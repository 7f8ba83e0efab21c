// Ends the program as closing the window does when the end comes from
// outside: a termination signal (Ctrl+C, kill, a closed terminal) or another
// client destroying the window.
#pragma once

#include <QWidget>

namespace scrivola {

// Closes `window` (so its close handler completes every recording and
// releases the sound), then leaves every running event loop, a dialog's
// included; QApplication::exec() returns 0.
void endAsOnClose(QWidget& window);

// From now on SIGINT, SIGTERM and SIGHUP end the program through
// endAsOnClose(window) on the window's thread. The handler only writes the
// signal's number into a socket that the event loop watches, which is safe
// in a signal handler. Call once, after QApplication exists.
void endOnTerminationSignals(QWidget& window);

// Ends the program through endAsOnClose(window) when the window system
// reports that another client destroyed the window (X11 only; elsewhere
// this does nothing).
void endWhenWindowDestroyed(QWidget& window);

}  // namespace scrivola
