// Loads any bytes as an image through the texture loader on the null device,
// with the engine's texture formats: whole, with a colour key, staged and
// mip-mapped; a kept decoded image is rebuilt as tiles and with a level
// skipped. Nothing may read or write out of range, and the bytes an image
// used never exceed the input.

#include <cstdint>
#include <cstdlib>

#include "image/headless_texture_device.h"
#include "image/image_source.h"
#include "image/texture_device.h"
#include "image/texture_load.h"
#include "platform/d3d/pixel_format.h"
#include "platform/d3d/surface.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// Small textures keep each run fast.
plat::BackendFacts SmallTextures() {
    plat::BackendFacts facts = plat::NullBackend::DefaultFacts();
    facts.limits.maxTextureSize = 256;
    return facts;
}

void SetEngineFormats() {
    TextureLoaderAddFormat(plat::Argb4444Format(), 4, true, 0, false);
    TextureLoaderAddFormat(plat::Argb1555Format(), 1, true, 0, false);
    TextureLoaderAddFormat(plat::Rgb565Format(), 0, false, 0, false);
}

void Release(plat::Surface* surface) {
    if (surface) surface->Release();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static HeadlessTextureDevice device(plat::Rgb565Format(), SmallTextures());
    static bool formats = (SetEngineFormats(), true);
    (void)formats;
    if (size > 0xFFFFFFFEu) return 0;
    uint32_t bytes = static_cast<uint32_t>(size);

    uint32_t used = 0, w = 0, h = 0, alpha = 0;
    ImageSource* kept = nullptr;
    Release(TextureLoad("pxNfBWHA", data, bytes, &used, kTexColourKey | kTexStaged | kTexMipmap, &kept, &w, &h, &alpha));
    Require(used <= bytes);
    Release(TextureLoad("pxfm", data, bytes, kTexMipmap, 1));
    if (!kept) return 0;

    TextureRect tiles[4];
    for (uint32_t i = 0; i < 4; ++i) {
        tiles[i].left = (i % 2) * 8;
        tiles[i].top = (i / 2) * 8;
        tiles[i].right = tiles[i].left + 8;
        tiles[i].bottom = tiles[i].top + 8;
    }
    TextureLoad("rfa", kept, kTexWholeRect | kTexStaged, 4, tiles);
    for (TextureRect& tile : tiles) Release(tile.texture);
    ImageSourceRelease(kept);
    return 0;
}
