#include "platform/sdl/sdl_init.h"

#include <SDL.h>

#include "platform/fpu.h"

namespace plat {

bool InitSdlSubsystem(uint32_t flags) {
    NearestRoundingScope nearest;
    return SDL_InitSubSystem(flags) == 0;
}

} // namespace plat

// The leak checker of sanitized builds reads this at exit: the window system
// and the sound servers SDL talks to load a system library that leaks a
// buffer of its own.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
