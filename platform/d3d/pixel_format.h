#pragma once
// Pixel formats of surfaces: their memory layout, the standard formats the
// layer offers, and the conversion of raw pixels to and from 32-bit ARGB.

#include <cstddef>
#include <cstdint>

#include "platform/d3d/ddraw_types.h"

namespace plat {

enum class FormatKind { Unsupported, Rgb, Palettized, ZBuffer, Dxt1, Dxt3 };

FormatKind KindOf(const PixelFormat& format);

// Bits per pixel of an uncompressed format (0 for compressed or unsupported ones).
uint32_t BitsPerPixel(const PixelFormat& format);

// Row pitch and total bytes of a width x height surface (rows of pixels padded
// to 4 bytes; compressed formats: rows of 4x4 blocks). False for unsupported
// formats and sizes whose storage would not fit in 32 bits.
bool SurfaceLayout(const PixelFormat& format, uint32_t width, uint32_t height, int32_t* pitch, size_t* bytes);

// Same kind, depth and masks (the size field and unused bits aside).
bool SameFormat(const PixelFormat& a, const PixelFormat& b);

// Standard formats.
PixelFormat RgbFormat(uint32_t bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha);
PixelFormat Rgb565Format();
PixelFormat Argb1555Format();
PixelFormat Argb4444Format();
PixelFormat Xrgb8888Format();
PixelFormat Argb8888Format();
PixelFormat ZBufferFormat(uint32_t zBits, uint32_t stencilBits);
PixelFormat DxtFormat(uint32_t fourCc);
// The display's format at a bit depth: 565 for 16, R8G8B8 for 24, X8R8G8B8 for 32.
PixelFormat DisplayFormat(uint32_t bitDepth);

// Converts raw pixel values of an RGB format to and from 0xAARRGGBB. Narrow
// channels widen by repeating their bits (so full stays full); a format
// without alpha reads as opaque. Writing keeps the top bits of each channel
// (value >> (8 - width) << shift) and drops channels the format lacks.
class ArgbCodec {
public:
    explicit ArgbCodec(const PixelFormat& format);
    uint32_t ToArgb(uint32_t raw) const;
    uint32_t FromArgb(uint32_t argb) const;

private:
    struct Channel {
        uint32_t shift = 0, width = 0;
    };
    Channel channels_[4]; // alpha, red, green, blue: the order of their bytes in ARGB
};

// Raw pixel values in memory, little-endian, 1 to 4 bytes each.
uint32_t ReadRawPixel(const uint8_t* p, uint32_t bytesPerPixel);
void WriteRawPixel(uint8_t* p, uint32_t bytesPerPixel, uint32_t value);

} // namespace plat
