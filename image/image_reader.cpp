#include "image/image_reader.h"

#include <cerrno>

#include "image/media_stream.h"
#include "image/texture_build.h"
#include "image/texture_error.h"
#include "image/texture_loader_state.h"
#include "image/texture_params.h"

bool TextureFailFromStream(const MediaStream& stream) {
    uint32_t status = stream.Status();
    if (TextureLoadError == kTextureOk && status != 0) {
        if (status & (MediaStream::kEndOfData | MediaStream::kShortTransfer)) {
            TextureFail(kTextureDataEnded);
        } else {
            TextureFail(kTextureStreamFailed);
            TextureLoadOsError = errno;
        }
    }
    return TextureLoadError != kTextureOk;
}

bool ImageReader::SetImageSize(uint64_t w, uint64_t h) {
    if (w > kMaxImageSide || h > kMaxImageSide) {
        TextureFail(kTextureBadImage);
        return false;
    }
    width = static_cast<uint32_t>(w);
    height = static_cast<uint32_t>(h);
    return true;
}

void ImageReader::AllocateBuffers(bool whole, uint32_t) {
    palette_.assign(size_t{paletteCount} * 3, 0);
    size_t rowBytes = RowBytes();
    if (!whole) {
        rowBuffer_.assign(rowBytes, 0);
        return;
    }
    pixels_.assign(rowBytes * height, 0);
    rows_.resize(height);
    for (uint32_t y = 0; y < height; ++y) rows_[y] = pixels_.data() + y * rowBytes;
}

ImageSource* ImageReader::DetachDecodedImage() {
    return new DecodedImage(*this, std::move(palette_), std::move(pixels_), std::move(rows_));
}

DecodedImage::DecodedImage(ImageSource& from, std::vector<uint8_t>&& palette, std::vector<uint8_t>&& pixels,
                           std::vector<uint8_t*>&& rows) {
    width = from.width;
    height = from.height;
    paletteCount = from.paletteCount;
    flags = from.flags;
    levelsToSkip = from.levelsToSkip;
    largestSide = from.largestSide;
    colourKey = from.colourKey;
    palette_ = std::move(palette);
    pixels_ = std::move(pixels);
    rows_ = std::move(rows);
}

plat::Surface* ImageReader::LoadTexture(MediaStream& stream, const TextureLoadParams& params) {
    levelsToSkip = params.levelsToSkip;
    largestSide = params.largestSide;
    flags = params.flags;
    TextureLoadError = kTextureOk;

    ReadHeader(stream);
    if (TextureFailFromStream(stream)) return nullptr;
    TextureChooseFormat(*this, params);
    if (!TextureLoaderReady()) return nullptr;
    if (TextureLoader.candidate.Palettized() && Compressed()) {
        TextureFail(kTexturePaletteCompressed);
        return nullptr;
    }
    AllocateBuffers(params.decodedImage != nullptr, TextureLoader.current.PaletteEntries());
    if (TextureFailFromStream(stream)) return nullptr;

    plat::Surface* result = TextureBuild(*this, params);
    bool built = TextureLoadError == kTextureOk;
    if (built && TextureFailFromStream(stream)) TextureWithdraw(result, params);
    bool ok = TextureLoadError == kTextureOk;
    EndLoad(ok);
    if (ok && params.decodedImage) *params.decodedImage = DetachDecodedImage();
    return ok ? result : nullptr;
}
