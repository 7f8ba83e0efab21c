// Starting the window system: without a display to open, one line on the
// error stream and a failed exit, instead of Qt's abort.
#pragma once

#include <QtGlobal>

namespace scrivola {

// Lives while QApplication is constructed. Qt's messages in that time are
// held back; when Qt gives up for want of a display (a fatal message from
// its platform plugin), the program writes "scrivola-synth: cannot open a
// display: REASON" on standard error and ends with status 1. Otherwise the
// held messages are passed on when the guard goes.
class DisplayGuard {
public:
    DisplayGuard();
    ~DisplayGuard();

    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;

private:
    QtMessageHandler previous_;
};

}  // namespace scrivola
