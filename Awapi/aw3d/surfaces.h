#pragma once
// Surface creation for the whole renderer, and the video-memory accounting
// that sets the texture size reduction.

#include <cstdint>

namespace plat {
class DirectDraw;
class Surface;
struct PixelFormat;
} // namespace plat

// Option bits of AwCreateSurface.
constexpr uint32_t kSurfVideoMemory = 0x1;
constexpr uint32_t kSurfSystemMemory = 0x2;
constexpr uint32_t kSurfAnyMemory = 0x4; // on failure retry once with the memory kinds swapped; keep where it lands
constexpr uint32_t kSurfOffscreenPlain = 0x8;
constexpr uint32_t kSurfPrimary = 0x10;
constexpr uint32_t kSurfDynamicTexture = 0x20;
constexpr uint32_t kSurfZBuffer = 0x40;
constexpr uint32_t kSurfOverlay = 0x80;
constexpr uint32_t kSurf3dDevice = 0x100;
constexpr uint32_t kSurfFlip = 0x200;
constexpr uint32_t kSurfFrontBuffer = 0x400;
constexpr uint32_t kSurfBackBuffer = 0x800;
constexpr uint32_t kSurfPixelFormat = 0x1000;

// A surface of the given size (none when either is 0), options and format, or
// null. Without kSurfAnyMemory a surface that landed in the other memory kind
// than asked for is released and null is returned.
plat::Surface* AwCreateSurface(plat::DirectDraw* directDraw, uint32_t width, uint32_t height, uint32_t options,
                               const plat::PixelFormat* format, uint32_t stage);

struct AwVideoMemoryRecord {
    uint32_t LocalTotal = 0, LocalFree = 0;
    uint32_t NonLocalTotal = 0, NonLocalFree = 0;
    uint32_t TextureTotal = 0, TextureFree = 0;
    uint32_t VideoTotal = 0, VideoFree = 0;
};
extern AwVideoMemoryRecord AwVideoMemory;

// Reads the four totals and free amounts (all zero without DirectDraw).
void AwQueryVideoMemory();

// Texture-memory use (AwDeviceCaps.TextureMemoryUsed) from which the
// reduction is 3 whatever the free memory.
constexpr uint32_t kTextureMemoryCrowded = 12033;

// Sets UserSettings.TextureReduction from the free texture memory and what the
// loaded textures use.
void AwUpdateTextureReduction();
