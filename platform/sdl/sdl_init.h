#pragma once
// Starting SDL's subsystems: the one place that does it, so the leak
// checker's suppressions for the system libraries SDL loads travel with
// every backend that starts one.

#include <cstdint>

namespace plat {

// SDL_InitSubSystem in round-to-nearest; false (SDL_GetError says why) when it fails.
bool InitSdlSubsystem(uint32_t flags);

} // namespace plat
