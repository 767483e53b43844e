#pragma once
// State shared by a DirectDraw object and everything made from it (surfaces,
// Direct3D, devices, vertex buffers): the backend, the display mode, the
// cooperative level, the video-memory budget and the live surfaces. Children
// hold it by shared pointer, so it outlives whichever is released last.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/d3d/backend.h"
#include "platform/threads.h"

namespace plat {

class Surface;

struct DisplayContext {
    explicit DisplayContext(std::shared_ptr<DeviceBackend> backend);

    const BackendFacts& Facts() const { return backend->Facts(); }
    // Video memory not taken by surfaces (0 when they took it all).
    uint32_t FreeVideoMemory() const;

    const std::shared_ptr<DeviceBackend> backend;

    // Guards every field below and the links of complex surfaces. Taken
    // before any surface's own lock, never after it.
    mutable CriticalSection lock;
    DisplayMode mode;           // the current display mode
    WindowHandle window = nullptr;
    uint32_t cooperativeFlags = 0;
    bool primaryExists = false;
    GammaRamp gamma;
    uint64_t videoBytesUsed = 0;
    std::vector<Surface*> surfaces; // every live surface, not counted
};

} // namespace plat
