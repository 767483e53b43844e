#include "Tv/client/client_sounds.h"

#include <cstdarg>

#include "sound/sound_system.h"

namespace {
SoundPlayObserver observer = nullptr;
}

int32_t TvPlaySound(int32_t sample, const char* options, ...) {
    if (observer) observer(sample, options);
    if (!SoundSystemInstance) return 0;
    va_list args;
    va_start(args, options);
    const int32_t voice = SoundSystemInstance->PlayList(sample, options, args);
    va_end(args);
    return voice;
}

void SetSoundPlayObserver(SoundPlayObserver o) { observer = o; }
