#pragma once
// The seam between the shared core of the device layer and a backend that
// shows and rasterises: the null backend here, the OpenGL one elsewhere.
//
// The core keeps every surface and vertex buffer in memory and all device
// state; a backend describes the display and device it offers, changes
// display modes, presents, and clears and draws with the state the core hands
// it. Everything but SurfaceAccess runs on the thread that owns the device.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3d/d3d_types.h"
#include "platform/d3d/ddraw_types.h"
#include "platform/d3d/results.h"

namespace plat {

class Surface;
class VertexBuffer;
struct DeviceState;

struct DisplayMode {
    uint32_t width = 0, height = 0, bitDepth = 0, refreshRate = 0;
    friend bool operator==(const DisplayMode&, const DisplayMode&) = default;
};

// What the device can do; the core turns it into the device descriptions.
struct DeviceLimits {
    uint32_t maxTextureSize = 2048;
    uint32_t maxAnisotropy = 0;  // 0: no anisotropic filtering
    uint16_t textureStages = 8;  // blend stages, and textures at once
    uint32_t maxActiveLights = 8;
    uint16_t maxUserClipPlanes = 6;
    bool stencil = true;         // the 24-bit Z format carries 8 stencil bits
};

struct BackendFacts {
    std::string driverDescription;
    std::string driverName;
    uint32_t vendorId = 0;       // 0: no adapter-specific behaviour
    uint32_t deviceId = 0;
    uint32_t videoMemoryBytes = 32u << 20; // the fixed budget
    DisplayMode desktop;
    std::vector<DisplayMode> modes;
    DeviceLimits limits;
    bool gammaRamp = false;      // the primary offers a gamma control
    bool renderWindowed = true;
};

// Whether a state change was set directly or applied by a state block.
enum class StateOrigin { Direct, StateBlock };

// One validated draw. Vertices and indices stay valid for the call only.
struct DrawCall {
    PrimitiveType type = kPtTriangleList;
    uint32_t fvf = 0;
    uint32_t stride = 0;
    const uint8_t* vertices = nullptr; // the first vertex drawn from
    uint32_t vertexCount = 0;
    const uint16_t* indices = nullptr; // null for a non-indexed draw
    uint32_t indexCount = 0;
    uint32_t primitiveCount = 0;
    const VertexBuffer* buffer = nullptr; // the source buffer, null for memory
    uint32_t startVertex = 0;
};

// One validated clear; the rectangles lie inside the viewport.
struct ClearCall {
    Surface* target = nullptr;
    Surface* zBuffer = nullptr; // null when the target has none
    std::vector<Rect> rects;
    uint32_t flags = 0;
    uint32_t color = 0; // ARGB
    float z = 1.0f;
    uint32_t stencil = 0;
};

class DeviceBackend {
public:
    virtual ~DeviceBackend() = default;

    virtual const BackendFacts& Facts() const = 0;

    // Display. The core has checked the arguments against the facts.
    virtual HResult SetCooperativeLevel(WindowHandle window, uint32_t flags);
    virtual HResult SetDisplayMode(const DisplayMode& mode);
    virtual void RestoreDisplayMode();
    virtual HResult SetGammaRamp(const GammaRamp& ramp);

    // Presenting: the pixels of source (sourceRect) go to the screen at
    // destRect of the primary. True when the backend shows them itself and
    // fills the primary's memory on demand through SurfaceAccess; false lets
    // the core copy them into the primary.
    virtual bool PresentBlt(Surface& source, const Rect& sourceRect, const Rect& destRect);
    // The flip chain of front has turned; front now holds the shown image.
    virtual void PresentFlip(Surface& front);

    // Called before the core reads (or writes) the memory of a display
    // surface (primary, flip chain, render target), so a backend that renders
    // elsewhere can bring it up to date first. May run on any thread. This
    // and the presents run with surface locks held: a backend reads and
    // writes a surface's memory through Surface::ReadPixels only.
    virtual void SurfaceAccess(Surface& surface, bool write);
    // A display surface was unlocked (written: its memory may have changed);
    // unlocking a written primary shows it, as the full-screen movies rely on.
    virtual void SurfaceUnlocked(Surface& surface, bool written);

    // Rasterising.
    virtual void Clear(const DeviceState& state, const ClearCall& clear) = 0;
    virtual void Draw(const DeviceState& state, const DrawCall& draw) = 0;

    // State changes as they happen (the device state already holds them).
    virtual void RenderStateSet(RenderState state, uint32_t value, StateOrigin origin);
    virtual void TextureStageStateSet(uint32_t stage, TextureStageStateType type, uint32_t value,
                                      StateOrigin origin);
    virtual void TextureSet(uint32_t stage, Surface* texture, StateOrigin origin);
};

} // namespace plat
