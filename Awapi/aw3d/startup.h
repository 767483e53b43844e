#pragma once
// Device start-up: the display driver, display modes with their fallbacks,
// the Direct3D device with its Z-buffer, texture formats and capabilities,
// and the release of all of it. Main thread only.
//
// Order of use: AwStartup -> AwSetDisplayMode -> AwCreateDirect3D; a later
// mode set chooses the device again; AwShutdown at exit.

#include <cstdint>

#include "platform/d3d/ddraw_types.h"

namespace plat {
class Direct3D;
class DirectDraw;
class Device3D;
class Surface;
} // namespace plat

struct AwStartupRecord {
    void* Instance = nullptr;
    plat::WindowHandle Window = nullptr;
};

// False without an instance or window, or when DirectDraw cannot be made.
bool AwStartup(const AwStartupRecord& record);
void AwShutdown();

bool AwCreateDirectDraw(bool windowed);
// Reads the driver's caps into AwDeviceCaps: whether it renders in a window,
// and its identifier. Nothing without DirectDraw.
void AwCheckCaps();
void AwReleaseDirectDraw();
bool AwCreateDirect3D();
void AwReleaseDirect3D();

// 1 set (windowed, or full screen with triple buffering), 2 full screen with
// two buffers (also after a depth fallback), 0 failed but the previous mode
// is back, -1 even that failed. flags bit 0 asks for a window.
int AwSetDisplayMode(uint32_t width, uint32_t height, uint32_t depth, uint32_t flags);
// 1 or -1; flags bit 0 window, bit 1 triple buffering.
int AwApplyDisplayMode(uint32_t width, uint32_t height, uint32_t depth, uint32_t flags);
bool AwIsDisplayModeAvailable(uint32_t width, uint32_t height, uint32_t depth, uint32_t flags);
bool AwSetCooperativeLevel(bool exclusive);
void AwRestoreDesktop();

bool AwChooseDevice();
// The deepest Z format within UserSettings.ZBufferDepthLimit (with stencil
// when the device offers it), or null.
const plat::PixelFormat* AwChooseZBufferFormat();
// Hands the main texture format and the further ones to the texture loader.
bool AwChooseTextureFormats();
void AwCreateNullTexture();
void AwReleaseSurfaces();
void AwReleaseDevice();
