// The sound observer an executable links in. The program links none
// (no_sound_observer.cpp); the end-to-end tests' build of the same program
// links one that logs the output's changes for the checks to read.
#pragma once

#include "audio/sound_observer.h"

namespace scrivola {

SoundObserver* linkedSoundObserver();

}  // namespace scrivola
