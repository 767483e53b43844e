#pragma once
// Image readers: an ImageSource that first reads its header from a stream,
// then serves the builder rows as it reads them; and the decoded image that a
// load hands out (the B parameter) to rebuild textures without the file.

#include "image/image_source.h"

class MediaStream;

// Sides beyond this are refused as bad header values: no texture is that
// large, and a hostile header must not make the reader allocate gigabytes.
constexpr uint32_t kMaxImageSide = 16384;

class ImageReader : public ImageSource {
public:
    // Reads the header; failures leave their code in TextureLoadError.
    virtual void ReadHeader(MediaStream& stream) = 0;
    // Makes room for the palette of paletteCount colours and for one row, or for
    // every row when `whole`; `entries` are the colours of the chosen palettized
    // format (0: not palettized).
    virtual void AllocateBuffers(bool whole, uint32_t entries);
    virtual void EndLoad(bool) {}
    // Hands out what was read as a new source with one reference.
    virtual ImageSource* DetachDecodedImage();

    // Reads one image from the stream and builds its texture(s); the result as
    // for ImageSource::BuildTexture.
    plat::Surface* LoadTexture(MediaStream& stream, const TextureLoadParams& params);

protected:
    // Sets width and height; error 8 when either exceeds kMaxImageSide.
    bool SetImageSize(uint64_t w, uint64_t h);
};

// A whole decoded image in memory: rows are already there.
class DecodedImage final : public ImageSource {
public:
    // Takes over the reader's palette and rows, and copies its fields.
    DecodedImage(ImageSource& from, std::vector<uint8_t>&& palette, std::vector<uint8_t>&& pixels,
                 std::vector<uint8_t*>&& rows);
    const uint8_t* Palette() override { return palette_.empty() ? nullptr : palette_.data(); }
    void ReadRow(void*) override {}
};

// Turns a stream status into the load's error code (6 for ended data, 5 for a
// failed or unsupported operation) unless one is already set; true when the
// load now has an error.
bool TextureFailFromStream(const MediaStream& stream);
