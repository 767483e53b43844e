#pragma once
// The interface through which the texture builder reads an image row by row:
// a reader in the middle of its file, or a decoded image kept in memory.
//
// A row holds one byte per pixel (a palette index) when the image has a
// palette, three bytes per pixel (R, G, B) otherwise; a source with its own
// ConvertRow may use another row form.

#include <cstdint>
#include <vector>

#include "core/refcounted.h"

namespace plat {
class Surface;
}
struct TextureLoadParams;

class ImageSource : public RefCounted {
public:
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t paletteCount = 0; // 0 for RGB images
    uint32_t flags = 0;        // a copy of the load's option flags
    uint32_t levelsToSkip = 0; // copies of the load's m and n
    uint32_t largestSide = 0;
    bool colourKey = false; // the image's transparent colour becomes the colour key

    // Colours a palettized format must offer for this image.
    virtual uint32_t ColoursForPalette() { return paletteCount; }
    // Colours the indices of a palettized format must reach.
    virtual uint32_t ColoursForIndexRange() { return paletteCount; }
    // Whether the image takes a colour key when one is wanted.
    virtual bool ColourKeyRequest(bool wanted) { return wanted; }
    virtual uint32_t AlphaBits() { return 0; }
    // Fails with error 9 when a palettized format of `entries` colours (0: not
    // palettized) cannot hold the image's palette.
    virtual void CheckPalette(uint32_t entries);
    // Stored image levels beyond the first.
    virtual uint32_t FurtherLevels() { return 0; }
    virtual uint32_t PaletteCount() { return paletteCount; }
    // paletteCount R, G, B triples; null without a palette.
    virtual const uint8_t* Palette() = 0;
    virtual bool RowsBottomUp() { return false; }
    // Where row y is to be read into (and converted from).
    virtual void* RowBuffer(uint32_t y);
    // The alpha values of row y, or null.
    virtual const void* AlphaRow(uint32_t) { return nullptr; }
    // Reads the next row into a buffer from RowBuffer.
    virtual void ReadRow(void* destination) = 0;
    virtual void ReadAlphaRow(const void*) {}
    // Writes `count` pixels of `row` from column `first` in the current pixel
    // format to `destination`, plus one copy of the last pixel when count is
    // below `destinationWidth` (so filtering at the edge sees the image).
    virtual void ConvertRow(uint8_t* destination, uint32_t destinationWidth, const void* row, const void* alphaRow,
                            uint32_t first, uint32_t count, const uint8_t* palette);
    // Makes stored level index + 1 current, its palette fitted to `entries` colours.
    virtual void SelectLevel(uint32_t, uint32_t) {}
    virtual uint32_t ColourKeyValue() { return 0; }
    virtual void EndBuild(bool) {}
    virtual bool Compressed() { return false; }
    virtual uint32_t FourCC() { return 0; }

    // Builds the texture(s) the parameters ask for from this source (the r
    // parameter): returns the whole-image texture with one reference for the
    // caller, or null (error in TextureLoadError; also null on success with a
    // rectangle array).
    plat::Surface* BuildTexture(const TextureLoadParams& params);

protected:
    // Palette storage and rows: one row buffer while streaming, or every row of
    // the image (rows[y] points into pixels) when the whole image is kept.
    std::vector<uint8_t> palette_;
    std::vector<uint8_t> rowBuffer_;
    std::vector<uint8_t> pixels_;
    std::vector<uint8_t*> rows_;

    // Bytes in one row of this source's common row form.
    uint32_t RowBytes() const { return paletteCount ? width : width * 3; }
};

// Releases a source from the B parameter: 2 for null, else 0.
int ImageSourceRelease(ImageSource* source);
