#include "image/image_source.h"

#include "image/pixel_pack.h"
#include "image/texture_build.h"
#include "image/texture_error.h"
#include "image/texture_loader_state.h"

void ImageSource::CheckPalette(uint32_t entries) {
    if (entries != 0 && (paletteCount == 0 || entries < paletteCount)) TextureFail(kTexturePaletteMismatch);
}

void* ImageSource::RowBuffer(uint32_t y) { return y < rows_.size() ? rows_[y] : rowBuffer_.data(); }

void ImageSource::ConvertRow(uint8_t* destination, uint32_t destinationWidth, const void* row, const void*, uint32_t first,
                             uint32_t count, const uint8_t* palette) {
    const PixelFormat& f = TextureLoader.current;
    const uint8_t* bytes = static_cast<const uint8_t*>(row);
    if (!palette) {
        (colourKey ? PixelPackRgbKeyed : PixelPackRgb)(f, destination, destinationWidth, bytes + 3 * size_t{first}, count);
    } else if (!f.Palettized()) {
        (colourKey ? PixelPackIndexedKeyed : PixelPackIndexed)(f, destination, destinationWidth, bytes + first, count, palette);
    } else {
        PixelCopyIndices(f.bits, destination, destinationWidth, bytes + first, count);
    }
}

plat::Surface* ImageSource::BuildTexture(const TextureLoadParams& params) {
    TextureChooseFormat(*this, params);
    if (!TextureLoaderReady()) return nullptr;
    TextureLoadError = kTextureOk;
    CheckPalette(TextureLoader.current.PaletteEntries());
    if (TextureLoadError != kTextureOk) return nullptr;
    plat::Surface* result = TextureBuild(*this, params);
    EndBuild(TextureLoadError == kTextureOk);
    return result;
}

int ImageSourceRelease(ImageSource* source) {
    if (!source) return 2;
    source->Release();
    return 0;
}
