// The end-to-end tests' build of the program: the output's changes (stopped
// or started for silence, lost, reopened, underruns, latency) go to the file
// that SCRIVOLA_AUDIO_LOG names, one line each with the steady clock's
// seconds, for the checks to read.
#include <cstdlib>

#include "audio/playback_counters.h"
#include "ui/linked_sound_observer.h"

namespace scrivola {

SoundObserver* linkedSoundObserver() {
    const char* path = std::getenv("SCRIVOLA_AUDIO_LOG");
    static PlaybackCounters observer(path != nullptr ? path : "");
    return &observer;
}

}  // namespace scrivola
