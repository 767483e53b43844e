#include "platform/d3d/pixel_format.h"

#include <bit>

namespace plat {
namespace {

uint32_t PaletteBits(uint32_t flags) {
    uint32_t bits = 0;
    int kinds = 0;
    if (flags & kDdpfPaletteIndexed1) bits = 1, ++kinds;
    if (flags & kDdpfPaletteIndexed2) bits = 2, ++kinds;
    if (flags & kDdpfPaletteIndexed4) bits = 4, ++kinds;
    if (flags & kDdpfPaletteIndexed8) bits = 8, ++kinds;
    return kinds == 1 ? bits : 0;
}

constexpr uint32_t kPaletteFlags = kDdpfPaletteIndexed1 | kDdpfPaletteIndexed2 | kDdpfPaletteIndexed4 | kDdpfPaletteIndexed8;

} // namespace

FormatKind KindOf(const PixelFormat& f) {
    if (f.flags & (kDdpfAlpha | kDdpfYuv | kDdpfPaletteIndexedTo8)) return FormatKind::Unsupported;
    if (f.flags & kDdpfFourCc) {
        if (f.fourCc == kFourCcDxt1) return FormatKind::Dxt1;
        if (f.fourCc == kFourCcDxt3) return FormatKind::Dxt3;
        return FormatKind::Unsupported;
    }
    if (f.flags & kDdpfZBuffer) {
        const uint32_t d = f.zBufferBitDepth;
        return (d == 16 || d == 24 || d == 32) && f.zBitMask != 0 ? FormatKind::ZBuffer : FormatKind::Unsupported;
    }
    if (f.flags & kPaletteFlags) return PaletteBits(f.flags) ? FormatKind::Palettized : FormatKind::Unsupported;
    if (f.flags & kDdpfRgb) {
        const uint32_t d = f.rgbBitCount;
        return d == 8 || d == 16 || d == 24 || d == 32 ? FormatKind::Rgb : FormatKind::Unsupported;
    }
    return FormatKind::Unsupported;
}

uint32_t BitsPerPixel(const PixelFormat& f) {
    switch (KindOf(f)) {
    case FormatKind::Rgb: return f.rgbBitCount;
    case FormatKind::ZBuffer: return f.zBufferBitDepth;
    case FormatKind::Palettized: return PaletteBits(f.flags);
    default: return 0;
    }
}

bool SurfaceLayout(const PixelFormat& f, uint32_t width, uint32_t height, int32_t* pitch, size_t* bytes) {
    const FormatKind kind = KindOf(f);
    if (kind == FormatKind::Unsupported || width == 0 || height == 0) return false;
    uint64_t rowBytes = 0, rows = height;
    if (kind == FormatKind::Dxt1 || kind == FormatKind::Dxt3) {
        rowBytes = uint64_t((width + 3) / 4) * (kind == FormatKind::Dxt1 ? 8 : 16);
        rows = (height + 3) / 4;
    } else {
        rowBytes = (uint64_t(width) * BitsPerPixel(f) + 31) / 32 * 4;
    }
    const uint64_t total = rowBytes * rows;
    if (rowBytes > INT32_MAX || total > UINT32_MAX) return false;
    *pitch = static_cast<int32_t>(rowBytes);
    *bytes = static_cast<size_t>(total);
    return true;
}

bool SameFormat(const PixelFormat& a, const PixelFormat& b) {
    const FormatKind kind = KindOf(a);
    if (kind != KindOf(b)) return false;
    switch (kind) {
    case FormatKind::Rgb:
        return a.rgbBitCount == b.rgbBitCount && a.rBitMask == b.rBitMask && a.gBitMask == b.gBitMask &&
               a.bBitMask == b.bBitMask && ((a.flags & kDdpfAlphaPixels) ? a.alphaBitMask : 0) ==
                                               ((b.flags & kDdpfAlphaPixels) ? b.alphaBitMask : 0);
    case FormatKind::ZBuffer:
        return a.zBufferBitDepth == b.zBufferBitDepth && a.zBitMask == b.zBitMask &&
               a.stencilBitMask == b.stencilBitMask;
    case FormatKind::Palettized: return PaletteBits(a.flags) == PaletteBits(b.flags);
    case FormatKind::Dxt1:
    case FormatKind::Dxt3: return true;
    case FormatKind::Unsupported: return false;
    }
    return false;
}

PixelFormat RgbFormat(uint32_t bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha) {
    PixelFormat f;
    f.flags = kDdpfRgb | (alpha ? kDdpfAlphaPixels : 0);
    f.rgbBitCount = bits;
    f.rBitMask = red;
    f.gBitMask = green;
    f.bBitMask = blue;
    f.alphaBitMask = alpha;
    return f;
}

PixelFormat Rgb565Format() { return RgbFormat(16, 0xF800, 0x07E0, 0x001F, 0); }
PixelFormat Argb1555Format() { return RgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000); }
PixelFormat Argb4444Format() { return RgbFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000); }
PixelFormat Xrgb8888Format() { return RgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0); }
PixelFormat Argb8888Format() { return RgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000); }

PixelFormat ZBufferFormat(uint32_t zBits, uint32_t stencilBits) {
    PixelFormat f;
    f.flags = kDdpfZBuffer | (stencilBits ? kDdpfStencilBuffer : 0);
    f.zBufferBitDepth = zBits + stencilBits;
    f.stencilBitDepth = stencilBits;
    f.zBitMask = zBits >= 32 ? 0xFFFFFFFFu : (1u << zBits) - 1;
    f.stencilBitMask = stencilBits ? ((1u << stencilBits) - 1) << zBits : 0;
    return f;
}

PixelFormat DxtFormat(uint32_t fourCc) {
    PixelFormat f;
    f.flags = kDdpfFourCc;
    f.fourCc = fourCc;
    return f;
}

PixelFormat DisplayFormat(uint32_t bitDepth) {
    switch (bitDepth) {
    case 16: return Rgb565Format();
    case 24: return RgbFormat(24, 0xFF0000, 0xFF00, 0xFF, 0);
    default: return Xrgb8888Format();
    }
}

ArgbCodec::ArgbCodec(const PixelFormat& f) {
    const uint32_t alpha = (f.flags & kDdpfAlphaPixels) ? f.alphaBitMask : 0;
    const uint32_t masks[4] = {alpha, f.rBitMask, f.gBitMask, f.bBitMask};
    for (int i = 0; i < 4; ++i) {
        if (masks[i] == 0) continue;
        channels_[i].shift = static_cast<uint32_t>(std::countr_zero(masks[i]));
        channels_[i].width = static_cast<uint32_t>(std::popcount(masks[i]));
    }
}

uint32_t ArgbCodec::ToArgb(uint32_t raw) const {
    uint32_t argb = 0;
    for (int i = 0; i < 4; ++i) {
        const Channel& c = channels_[i];
        uint32_t v8;
        if (c.width == 0) {
            v8 = i == 0 ? 0xFF : 0;
        } else {
            const uint32_t v = (raw >> c.shift) & (c.width >= 32 ? 0xFFFFFFFFu : (1u << c.width) - 1);
            if (c.width >= 8) {
                v8 = v >> (c.width - 8);
            } else {
                uint64_t repeated = 0;
                uint32_t bits = 0;
                for (; bits < 8; bits += c.width) repeated = repeated << c.width | v;
                v8 = static_cast<uint32_t>(repeated >> (bits - 8));
            }
        }
        argb |= (v8 & 0xFF) << (24 - 8 * i);
    }
    return argb;
}

uint32_t ArgbCodec::FromArgb(uint32_t argb) const {
    uint32_t raw = 0;
    for (int i = 0; i < 4; ++i) {
        const Channel& c = channels_[i];
        if (c.width == 0) continue;
        const uint32_t v8 = (argb >> (24 - 8 * i)) & 0xFF;
        const uint32_t v = c.width >= 8 ? v8 << (c.width - 8) : v8 >> (8 - c.width);
        raw |= v << c.shift;
    }
    return raw;
}

uint32_t ReadRawPixel(const uint8_t* p, uint32_t bytesPerPixel) {
    uint32_t v = 0;
    for (uint32_t i = 0; i < bytesPerPixel; ++i) v |= uint32_t(p[i]) << (8 * i);
    return v;
}

void WriteRawPixel(uint8_t* p, uint32_t bytesPerPixel, uint32_t value) {
    for (uint32_t i = 0; i < bytesPerPixel; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace plat
