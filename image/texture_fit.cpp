#include "image/texture_build.h"
#include "image/texture_error.h"
#include "image/texture_loader_state.h"
#include "image/texture_params.h"

namespace {

// The smallest power of two not below `side`; false when it does not fit in 32 bits.
bool PowerOfTwoAtLeast(uint32_t& side) {
    if (side > 0x80000000u) return false;
    uint32_t p = 1;
    while (p < side) p <<= 1;
    side = p;
    return true;
}

} // namespace

uint32_t TextureFitSize(uint32_t& width, uint32_t& height, uint32_t wantedWidth, uint32_t wantedHeight, uint32_t flags) {
    const TextureLoaderState& s = TextureLoader;
    if (!(s.deviceFlags & TextureLoaderState::kDeviceReady)) return kTextureNoFormat;
    uint32_t w = wantedWidth < s.minWidth ? s.minWidth : wantedWidth;
    uint32_t h = wantedHeight < s.minHeight ? s.minHeight : wantedHeight;
    if ((flags & kTexMipmap) || (s.deviceFlags & TextureLoaderState::kPowerOfTwo))
        if (!PowerOfTwoAtLeast(w) || !PowerOfTwoAtLeast(h)) return kTextureBadImage;
    if (s.deviceFlags & TextureLoaderState::kSquareOnly) w = h = w > h ? w : h;
    if (w > 0xFFFFFFFCu || h > 0xFFFFFFFCu) return kTextureBadImage;
    width = (w + 3) & ~3u;
    height = (h + 3) & ~3u;
    return kTextureOk;
}
