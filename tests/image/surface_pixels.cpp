#include "tests/image/surface_pixels.h"

#include "platform/d3d/surface.h"

namespace imagetest {

SurfacePixels ReadSurface(plat::Surface* surface) {
    SurfacePixels out;
    plat::SurfaceDesc d;
    if (!surface || plat::Failed(surface->Lock(nullptr, &d, plat::kDdLockReadOnly))) return out;
    out.width = d.width;
    out.height = d.height;
    uint32_t bytes = d.pixelFormat.rgbBitCount / 8;
    for (uint32_t y = 0; y < d.height; ++y)
        for (uint32_t x = 0; x < d.width; ++x) {
            const uint8_t* p = d.surface + static_cast<int64_t>(y) * d.pitch + x * bytes;
            uint32_t v = 0;
            for (uint32_t i = 0; i < bytes; ++i) v |= uint32_t{p[i]} << (8 * i);
            out.pixels.push_back(v);
        }
    surface->Unlock(nullptr);
    return out;
}

std::vector<SurfacePixels> ReadMipChain(plat::Surface* surface) {
    std::vector<SurfacePixels> levels;
    plat::SurfaceCaps mip;
    mip.caps = plat::kDdsCapsTexture | plat::kDdsCapsMipMap;
    surface->AddRef();
    for (plat::Surface* next = nullptr; plat::Succeeded(surface->GetAttachedSurface(mip, &next)); surface = next) {
        surface->Release();
        levels.push_back(ReadSurface(next));
    }
    surface->Release();
    return levels;
}

} // namespace imagetest
