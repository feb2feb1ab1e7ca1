// Everything the application asks of the host, one reference per capability.
#pragma once

#include "platform/display.h"
#include "platform/pictures.h"
#include "platform/random.h"
#include "platform/services.h"

namespace zuvela {

struct Platform {
    PictureFiles& files;
    Display& display;
    SoundEffects& sounds;
    Music& music;
    Printer& printer;
    Browser& browser;
    KeyLock& key_lock;
    Clock& clock;
    RandomSource& random;
};

}  // namespace zuvela
