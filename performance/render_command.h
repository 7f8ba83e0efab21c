// `scrivola-synth --render FILE.scrivola --record OUT`: renders a performance
// into a sound file with no window, no display and no sound device.
#pragma once

#include <QByteArray>
#include <ostream>

#include "audio/sound_observer.h"

namespace scrivola {

// The program's exit status: 0 when the sound file is complete; otherwise 1
// after one line on `err` naming the file and the reason (and no sound file
// is left behind), or 128 + the signal's number when SIGINT, SIGTERM or
// SIGHUP ended the render. Both names are the system's bytes, as given on
// the command line. `observer`, if given, sees every table the render writes
// into the loops.
int renderCommand(const QByteArray& performancePath, const QByteArray& soundPath, std::ostream& err,
                  SoundObserver* observer = nullptr);

}  // namespace scrivola
