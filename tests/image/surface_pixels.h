#pragma once
// Reading back the pixels of the textures the loader builds.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {
class Surface;
}

namespace imagetest {

// The raw pixel values of a surface of 16 or 32 bits, row by row.
struct SurfacePixels {
    uint32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(uint32_t x, uint32_t y) const { return pixels[size_t{y} * width + x]; }
};
SurfacePixels ReadSurface(plat::Surface* surface);
// The mip levels below a surface (not counting it), each read back.
std::vector<SurfacePixels> ReadMipChain(plat::Surface* surface);

} // namespace imagetest
