#pragma once
// The texture loader's device state: the device objects and texture limits
// the device layer hands over, the formats it offers, and the formats chosen
// for the image being built. Main thread only.

#include <cstdint>
#include <vector>

#include "image/pixel_format.h"

namespace plat {
class DirectDraw;
class Device3D;
class GammaControl;
} // namespace plat

struct TextureLoaderState {
    static constexpr uint8_t kDeviceReady = 0x1;
    static constexpr uint8_t kSquareOnly = 0x2;
    static constexpr uint8_t kPowerOfTwo = 0x4;

    uint8_t deviceFlags = 0;
    plat::DirectDraw* directDraw = nullptr;
    plat::Device3D* device = nullptr;
    uint32_t minWidth = 0, minHeight = 0;
    uint32_t maxWidth = 0xFFFFFFFF, maxHeight = 0xFFFFFFFF;

    PixelFormat current;   // what the builder writes
    PixelFormat candidate; // the list's choice for the current image
    PixelFormat defaultFormat;
    PixelFormat stagingArgb;
    PixelFormat stagingRgb;
    std::vector<FormatCandidate> candidates;

    plat::GammaControl* gammaControl = nullptr; // one reference, while the display offers one
};

extern TextureLoaderState TextureLoader;

// True when a format was chosen and the device is ready for textures;
// otherwise fails the load with error 3.
bool TextureLoaderReady();
