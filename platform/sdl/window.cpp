#include "platform/sdl/window.h"

#include <SDL.h>

#include "platform/fpu.h"
#include "platform/pointer.h"
#include "platform/sdl/sdl_video.h"

namespace plat {
namespace {

SDL_Window* Sdl(WindowHandle window) { return static_cast<SDL_Window*>(window); }

void WarpPointer(WindowHandle window, int32_t x, int32_t y) {
    NearestRoundingScope nearest;
    SDL_WarpMouseInWindow(Sdl(window), x, y);
}

// The pointer's screen position less the window's, as ScreenToClient converts.
PointerPosition ReadWindowPointer(WindowHandle window) {
    NearestRoundingScope nearest;
    int x = 0, y = 0, left = 0, top = 0;
    SDL_GetGlobalMouseState(&x, &y);
    SDL_GetWindowPosition(Sdl(window), &left, &top);
    return {x - left, y - top};
}

} // namespace

void RequestGlAttributes() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    // The frames are drawn into framebuffer objects: the window needs no depth.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

WindowHandle CreateProgramWindow(const std::string& title, uint32_t width, uint32_t height) {
    if (!StartSdlVideo()) return nullptr;
    NearestRoundingScope nearest;
    RequestGlAttributes();
    SDL_Window* window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, int(width),
                                          int(height), SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (window) InstallPointerOps({window, WarpPointer, ReadWindowPointer});
    return window;
}

void DestroyProgramWindow(WindowHandle window) {
    if (!window) return;
    RemovePointerOps(window);
    NearestRoundingScope nearest;
    SDL_DestroyWindow(Sdl(window));
}

bool PollWindowClosed(WindowHandle window) {
    NearestRoundingScope nearest;
    const Uint32 id = window ? SDL_GetWindowID(Sdl(window)) : 0;
    bool closed = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) closed = true;
        if (event.type == SDL_WINDOWEVENT && event.window.windowID == id && event.window.event == SDL_WINDOWEVENT_CLOSE)
            closed = true;
    }
    return closed;
}

bool IsPresentableWindow(WindowHandle window) {
    if (!window) return false;
    NearestRoundingScope nearest;
    return (SDL_GetWindowFlags(Sdl(window)) & SDL_WINDOW_OPENGL) != 0;
}

bool EnterFullScreen(WindowHandle window, const DisplayMode& mode) {
    NearestRoundingScope nearest;
    SDL_DisplayMode wanted{};
    wanted.w = int(mode.width);
    wanted.h = int(mode.height);
    wanted.refresh_rate = int(mode.refreshRate);
    SDL_DisplayMode closest{};
    if (!SDL_GetClosestDisplayMode(0, &wanted, &closest)) return false;
    SDL_SetWindowSize(Sdl(window), int(mode.width), int(mode.height));
    return SDL_SetWindowDisplayMode(Sdl(window), &closest) == 0 &&
           SDL_SetWindowFullscreen(Sdl(window), SDL_WINDOW_FULLSCREEN) == 0;
}

void LeaveFullScreen(WindowHandle window) {
    NearestRoundingScope nearest;
    SDL_SetWindowFullscreen(Sdl(window), 0);
}

Rect ScreenToClient(WindowHandle window, const Rect& screen) {
    NearestRoundingScope nearest;
    int x = 0, y = 0;
    SDL_GetWindowPosition(Sdl(window), &x, &y);
    return {screen.left - x, screen.top - y, screen.right - x, screen.bottom - y};
}

bool SetWindowGammaRamp(WindowHandle window, const GammaRamp& ramp) {
    NearestRoundingScope nearest;
    return SDL_SetWindowGammaRamp(Sdl(window), ramp.red.data(), ramp.green.data(), ramp.blue.data()) == 0;
}

} // namespace plat
