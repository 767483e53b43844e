#pragma once
// The program's window: an SDL window made so that the OpenGL video backend
// can present into it. Its handle is what the display layer takes as the
// cooperative-level window. Main thread only.

#include <string>

#include "platform/d3d/backend.h"

namespace plat {

// A window of the given client size, shown; null when SDL cannot make one.
// While it exists it moves and reads the system pointer (platform/pointer.h).
WindowHandle CreateProgramWindow(const std::string& title, uint32_t width, uint32_t height);
void DestroyProgramWindow(WindowHandle window);

// Takes every pending window-system event; true when one asked to close the
// window or quit. Until the program's own message handling exists, this is
// how a viewer keeps its window responsive.
bool PollWindowClosed(WindowHandle window);

// A window the OpenGL backend can present into (one made above).
bool IsPresentableWindow(WindowHandle window);

// Full screen in the given mode, or back to a window of the previous size.
bool EnterFullScreen(WindowHandle window, const DisplayMode& mode);
void LeaveFullScreen(WindowHandle window);

// A rectangle in screen coordinates as the window's client coordinates.
Rect ScreenToClient(WindowHandle window, const Rect& screen);

// Sets the gamma ramp of the window's display; false when refused.
bool SetWindowGammaRamp(WindowHandle window, const GammaRamp& ramp);

// Requests the OpenGL attributes (2.1, double-buffered, 8-bit colour) that
// every window the backend's context presents into is made with; called
// before SDL creates such a window.
void RequestGlAttributes();

} // namespace plat
