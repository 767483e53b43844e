#pragma once
// Building textures from an image source: sizes fitted to the device, stored
// levels skipped or used as mip levels, surfaces created (or given ones
// reused), rows converted straight into locked surface memory, palettes and
// colour keys set, and staged surfaces turned into managed textures.

#include <cstdint>

class ImageSource;
struct TextureLoadParams;
namespace plat {
class Surface;
}

// Builds the texture(s) for `source` in the formats chosen for it: returns the
// whole-image texture with one reference for the caller, null on failure
// (code in TextureLoadError), and null on success with a rectangle array (the
// textures are then in the records). Every surface made is released on failure.
plat::Surface* TextureBuild(ImageSource& source, const TextureLoadParams& params);

// The surface size for an image of wanted size: raised to the device's
// minimum, powers of two with option 0x400 or on a device that needs them,
// square on a device that needs it, then up to a multiple of 4. Returns 0; 3
// without a ready device; 8 when a side has no power of two in 32 bits.
uint32_t TextureFitSize(uint32_t& width, uint32_t& height, uint32_t wantedWidth, uint32_t wantedHeight, uint32_t flags);

// Takes back what a successful build handed out (the stream behind it failed
// afterwards): releases the returned texture, or clears the rectangles'
// outputs and releases their textures unless they were given.
void TextureWithdraw(plat::Surface* result, const TextureLoadParams& params);
