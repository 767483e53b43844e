#pragma once
// The DirectDraw 7 shaped display object: cooperative level, display modes,
// driver facts, surface, palette and clipper creation, and the way to
// Direct3D. Created over the current video backend.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/d3d/com_object.h"
#include "platform/d3d/ddraw_types.h"
#include "platform/d3d/results.h"

namespace plat {

class Clipper;
class Direct3D;
class Palette;
class Surface;
struct DisplayContext;

class DirectDraw final : public ComObject {
public:
    // Normal (window may be null), or exclusive full screen with a window.
    HResult SetCooperativeLevel(WindowHandle window, uint32_t flags);

    // The modes the display offers (width, height, pitch, pixel format and,
    // with kDdedmRefreshRates, the refresh rate); the callback returns false to stop.
    HResult EnumDisplayModes(uint32_t flags, const std::function<bool(const SurfaceDesc&)>& callback) const;
    // Only listed modes (refresh rate 0 matches any), only in exclusive mode; flags must be 0.
    HResult SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitDepth, uint32_t refreshRate, uint32_t flags);
    HResult RestoreDisplayMode();
    HResult GetDisplayMode(SurfaceDesc* desc) const;

    // Either pointer may be null, not both.
    HResult GetCaps(DdCaps* hardware, DdCaps* emulation) const;
    HResult GetDeviceIdentifier(DeviceIdentifier* id, uint32_t flags) const;
    // The fixed budget and what surfaces left of it; non-local video memory is none.
    HResult GetAvailableVidMem(const SurfaceCaps& caps, uint32_t* total, uint32_t* free) const;

    HResult CreateSurface(const SurfaceDesc& desc, Surface** out);
    HResult CreatePalette(uint32_t caps, const PaletteEntry* entries, Palette** out);
    // Flags must be 0.
    HResult CreateClipper(uint32_t flags, Clipper** out);
    HResult RestoreAllSurfaces();
    HResult QueryDirect3D(Direct3D** out);

    // Test hook: every video-memory surface becomes lost, as when the
    // display is taken away.
    void ForceSurfaceLoss();

    explicit DirectDraw(std::shared_ptr<DisplayContext> context);

private:
    ~DirectDraw() override = default;

    const std::shared_ptr<DisplayContext> context_;
};

// DirectDrawEnumerateEx: the one display driver (the primary one, guid null)
// of the current video backend.
HResult DirectDrawEnumerateEx(const std::function<bool(const Guid* guid, const char* description, const char* name)>& callback,
                              uint32_t flags);
// DirectDrawCreate: the display object of a driver (null: the primary display driver).
HResult DirectDrawCreate(const Guid* driver, DirectDraw** out);

} // namespace plat
