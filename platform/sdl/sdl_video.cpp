#include "platform/sdl/sdl_video.h"

#include <SDL.h>

#include <algorithm>
#include <string>

#include "platform/fpu.h"
#include "platform/sdl/sdl_init.h"

namespace plat {
namespace {

constexpr uint32_t kDepths[] = {16, 32};

// The classic sizes every adapter offered. Where SDL does not list one that
// fits the desktop (a virtual X server lists only its own size) it is added:
// a window of that size fits, and full screen scales it onto the closest mode.
constexpr struct { uint32_t width, height; } kClassicSizes[] = {
    {640, 480}, {800, 600}, {1024, 768}, {1280, 960}, {1280, 1024}, {1600, 1200}};

} // namespace

bool StartSdlVideo() {
    static const bool started = [] {
        if (!InitSdlSubsystem(SDL_INIT_VIDEO)) return false;
        NearestRoundingScope nearest;
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
    const auto add = [&modes](const DisplayMode& mode) {
        const bool listed = std::any_of(modes.begin(), modes.end(), [&](const DisplayMode& m) {
            return m.width == mode.width && m.height == mode.height && m.bitDepth == mode.bitDepth;
        });
        if (!listed) modes.push_back(mode);
    };
    for (const uint32_t depth : kDepths) add({desktop.width, desktop.height, depth, desktop.refreshRate});
    for (const auto& size : kClassicSizes)
        if (size.width <= desktop.width && size.height <= desktop.height)
            for (const uint32_t depth : kDepths) add({size.width, size.height, depth, 0});
    return modes;
}

} // namespace plat
