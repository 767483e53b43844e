#include "platform/sdl/sdl_video.h"

#include <SDL.h>

#include <algorithm>
#include <string>

#include "platform/fpu.h"

namespace plat {
namespace {

constexpr uint32_t kDepths[] = {16, 32};

} // namespace

bool StartSdlVideo() {
    static const bool started = [] {
        NearestRoundingScope nearest;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
        // SDL falls back to drivers that show nothing: that is no display.
        const std::string driver = SDL_GetCurrentVideoDriver();
        if (driver != "offscreen" && driver != "dummy") return true;
        SDL_SetError("no display (SDL offers only its %s video driver)", driver.c_str());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }();
    return started;
}

DisplayMode SdlDesktopMode() {
    NearestRoundingScope nearest;
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return {640, 480, 32, 0};
    return {uint32_t(mode.w), uint32_t(mode.h), 32, uint32_t(mode.refresh_rate)};
}

std::vector<DisplayMode> SdlDisplayModes() {
    const DisplayMode desktop = SdlDesktopMode();
    NearestRoundingScope nearest;
    std::vector<DisplayMode> modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode m{};
        if (SDL_GetDisplayMode(0, i, &m) != 0 || m.w <= 0 || m.h <= 0) continue;
        for (const uint32_t depth : kDepths) {
            const DisplayMode mode{uint32_t(m.w), uint32_t(m.h), depth, uint32_t(m.refresh_rate)};
            if (std::find(modes.begin(), modes.end(), mode) == modes.end()) modes.push_back(mode);
        }
    }
    if (modes.empty()) // SDL lists nothing: the desktop's size is still there
        for (const uint32_t depth : kDepths) modes.push_back({desktop.width, desktop.height, depth, desktop.refreshRate});
    return modes;
}

} // namespace plat
