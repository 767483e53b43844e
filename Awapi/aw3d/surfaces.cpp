#include "Awapi/aw3d/surfaces.h"

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/user_settings.h"
#include "platform/d3d/directdraw.h"
#include "platform/d3d/surface.h"

using namespace plat;

AwVideoMemoryRecord AwVideoMemory;

namespace {

struct OptionCaps {
    uint32_t option, caps, caps2;
};
constexpr OptionCaps kOptionCaps[] = {
    {kSurfVideoMemory, kDdsCapsVideoMemory, 0},
    {kSurfSystemMemory, kDdsCapsSystemMemory, 0},
    {kSurfOffscreenPlain, kDdsCapsOffscreenPlain, 0},
    {kSurfPrimary, kDdsCapsPrimarySurface, 0},
    {kSurfDynamicTexture, kDdsCapsTexture, kDdsCaps2HintDynamic},
    {kSurfZBuffer, kDdsCapsZBuffer, 0},
    {kSurfOverlay, kDdsCapsOverlay, 0},
    {kSurf3dDevice, kDdsCaps3dDevice, 0},
    {kSurfFlip, kDdsCapsFlip, 0},
    {kSurfFrontBuffer, kDdsCapsFrontBuffer, 0},
    {kSurfBackBuffer, kDdsCapsBackBuffer, 0},
};

constexpr uint32_t kMemoryCaps = kDdsCapsVideoMemory | kDdsCapsSystemMemory;

} // namespace

Surface* AwCreateSurface(DirectDraw* directDraw, uint32_t width, uint32_t height, uint32_t options,
                         const plat::PixelFormat* format, uint32_t stage) {
    if (!directDraw) return nullptr;
    SurfaceDesc desc;
    desc.flags = kDdsdCaps | kDdsdTextureStage;
    desc.textureStage = stage;
    if (width != 0 && height != 0) {
        desc.flags |= kDdsdWidth | kDdsdHeight;
        desc.width = width;
        desc.height = height;
    }
    if ((options & kSurfPixelFormat) && format) {
        desc.flags |= kDdsdPixelFormat;
        desc.pixelFormat = *format;
    }
    for (const OptionCaps& entry : kOptionCaps) {
        if (!(options & entry.option)) continue;
        desc.caps.caps |= entry.caps;
        desc.caps.caps2 |= entry.caps2;
    }
    const uint32_t askedMemory = desc.caps.caps & kMemoryCaps;

    Surface* surface = nullptr;
    HResult result = directDraw->CreateSurface(desc, &surface);
    if (Failed(result) && (options & kSurfAnyMemory) && askedMemory != kMemoryCaps && askedMemory != 0) {
        AwReportError(result);
        desc.caps.caps ^= kMemoryCaps;
        result = directDraw->CreateSurface(desc, &surface);
    }
    if (Failed(result)) {
        AwReportError(result);
        return nullptr;
    }

    SurfaceDesc landed;
    result = surface->GetSurfaceDesc(&landed);
    if (Failed(result)) {
        AwReportError(result);
        surface->Release();
        return nullptr;
    }
    const uint32_t landedMemory = landed.caps.caps & kMemoryCaps;
    const bool elsewhere = askedMemory != 0 && askedMemory != kMemoryCaps && !(landedMemory & askedMemory);
    if (elsewhere && !(options & kSurfAnyMemory)) {
        surface->Release();
        return nullptr;
    }
    return surface;
}

void AwQueryVideoMemory() {
    AwVideoMemory = AwVideoMemoryRecord();
    DirectDraw* dd = AwDevice.DirectDraw;
    if (!dd) return;
    auto read = [dd](uint32_t caps, uint32_t* total, uint32_t* free) {
        SurfaceCaps query;
        query.caps = caps;
        const HResult result = dd->GetAvailableVidMem(query, total, free);
        if (Failed(result)) AwReportError(result);
    };
    read(kDdsCapsLocalVidMem | kDdsCapsVideoMemory, &AwVideoMemory.LocalTotal, &AwVideoMemory.LocalFree);
    read(kDdsCapsNonLocalVidMem | kDdsCapsVideoMemory, &AwVideoMemory.NonLocalTotal, &AwVideoMemory.NonLocalFree);
    read(kDdsCapsTexture, &AwVideoMemory.TextureTotal, &AwVideoMemory.TextureFree);
    read(kDdsCapsVideoMemory, &AwVideoMemory.VideoTotal, &AwVideoMemory.VideoFree);
}

void AwUpdateTextureReduction() {
    AwQueryVideoMemory();
    AwDeviceCaps.VideoMemoryTotal = AwVideoMemory.VideoTotal;
    AwDeviceCaps.TextureMemoryFree = AwVideoMemory.TextureFree;
    const uint32_t used = AwDeviceCaps.TextureMemoryUsed;
    if (used >= kTextureMemoryCrowded) {
        UserSettings.TextureReduction = 3;
        return;
    }
    uint64_t divisor = UserSettings.TrueColourTextures ? 32 : (AwDeviceCaps.Flags & kCapsDxtTextures) ? 4 : 16;
    if (!(AwDeviceCaps.Flags & kCapsOneTextureMemory)) divisor *= 2;
    // 64-bit: free memory x 8 passes 32 bits once more than 512 MB are free.
    const uint64_t slice = (12288u - used) / 256u;
    const uint64_t budget = (uint64_t(AwDeviceCaps.TextureMemoryFree) / slice) * 8 / divisor * 3 / 4;
    int32_t reduction = 0;
    for (uint64_t size = 1048576; size > budget; size /= 4) ++reduction;
    UserSettings.TextureReduction = reduction;
}
