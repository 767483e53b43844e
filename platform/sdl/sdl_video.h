#pragma once
// SDL's video subsystem and the display modes it reports. Safe to call in
// the program's floating-point mode.

#include <vector>

#include "platform/d3d/backend.h"

namespace plat {

// Starts the video subsystem once; it stays up until the process ends (the
// display connection then keeps the OpenGL driver loaded). False when no
// display can be opened (SDL's drivers that show nothing do not count).
bool StartSdlVideo();

// The first display's desktop mode, at 32 bits (the layer draws 32-bit colour).
DisplayMode SdlDesktopMode();

// Each size the first display offers, at 16 and 32 bits (the backend
// converts either depth), largest first as SDL lists them, then the desktop's
// size and the classic sizes that fit the desktop where SDL lists them not;
// no duplicates.
std::vector<DisplayMode> SdlDisplayModes();

} // namespace plat
