#pragma once
// Pixel copies and fills on surface memory: the work behind Blt and Clear.

#include <cstdint>

#include "platform/d3d/ddraw_types.h"

namespace plat {

// A surface's memory as the blitter sees it.
struct PixelView {
    uint8_t* bits = nullptr;
    int32_t pitch = 0;
    uint32_t width = 0, height = 0;
    PixelFormat format;
};

// Sets every pixel of rect (inside an RGB view) to the raw value.
void FillPixels(const PixelView& dst, const Rect& rect, uint32_t raw);

// Copies srcRect of an RGB, DXT1 or DXT3 view onto dstRect of an RGB view
// (both rectangles inside their views), converting through 32-bit ARGB and stretching by nearest pixel; only the
// destination pixels inside clip are written. Source and destination may be
// the same memory.
void CopyPixels(const PixelView& dst, const Rect& dstRect, const Rect& clip, const PixelView& src,
                const Rect& srcRect);

} // namespace plat
