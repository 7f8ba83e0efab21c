#include "ui/linked_sound_observer.h"

namespace scrivola {

SoundObserver* linkedSoundObserver() {
    return nullptr;
}

}  // namespace scrivola
