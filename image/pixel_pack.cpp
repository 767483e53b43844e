#include "image/pixel_pack.h"

#include "image/pixel_format.h"

namespace {

uint32_t PackChannels(const PixelFormat& f, uint8_t r, uint8_t g, uint8_t b) {
    using C = PixelFormat::Channel;
    return static_cast<uint32_t>(r >> f.loss[C::kRed]) << f.shift[C::kRed] |
           static_cast<uint32_t>(g >> f.loss[C::kGreen]) << f.shift[C::kGreen] |
           static_cast<uint32_t>(b >> f.loss[C::kBlue]) << f.shift[C::kBlue];
}

// Writes count pixels made by `pack(x)` and the edge copy.
template <class Pack>
void PackRow(const PixelFormat& f, uint8_t* destination, uint32_t destinationWidth, uint32_t count, Pack pack) {
    uint32_t last = 0;
    for (uint32_t x = 0; x < count; ++x) {
        last = pack(x);
        PixelStore(destination, x, last, f.bits);
    }
    if (count > 0 && count < destinationWidth) PixelStore(destination, count, last, f.bits);
}

} // namespace

uint32_t PixelPackRgbValue(const PixelFormat& f, uint8_t r, uint8_t g, uint8_t b) {
    return PackChannels(f, r, g, b) | f.ddpf.alphaBitMask;
}

uint32_t PixelPackRgbNonZero(const PixelFormat& f, uint8_t r, uint8_t g, uint8_t b) {
    using C = PixelFormat::Channel;
    uint32_t value = PixelPackRgbValue(f, r, g, b);
    if (value != 0) return value;
    // The channel that needs the smallest raise to reach its first step.
    int32_t dr = (1 << f.loss[C::kRed]) - r;
    int32_t dg = (1 << f.loss[C::kGreen]) - g;
    int32_t db = (1 << f.loss[C::kBlue]) - b;
    C channel = db <= dr && db <= dg ? C::kBlue : dg < dr ? C::kGreen : C::kRed;
    return 1u << f.shift[channel];
}

void PixelStore(uint8_t* row, uint32_t x, uint32_t value, uint32_t bits) {
    switch (bits) {
    case 1:
    case 2:
    case 4: {
        uint32_t bit = x * bits;
        uint8_t mask = static_cast<uint8_t>(((1u << bits) - 1) << (bit & 7));
        uint8_t& byte = row[bit >> 3];
        byte = static_cast<uint8_t>((byte & ~mask) | ((value << (bit & 7)) & mask));
        break;
    }
    case 8: row[x] = static_cast<uint8_t>(value); break;
    case 16:
        row[x * 2] = static_cast<uint8_t>(value);
        row[x * 2 + 1] = static_cast<uint8_t>(value >> 8);
        break;
    case 24:
        row[x * 3] = static_cast<uint8_t>(value);
        row[x * 3 + 1] = static_cast<uint8_t>(value >> 8);
        row[x * 3 + 2] = static_cast<uint8_t>(value >> 16);
        break;
    case 32:
        for (int i = 0; i < 4; ++i) row[x * 4 + i] = static_cast<uint8_t>(value >> (8 * i));
        break;
    default: break;
    }
}

void PixelPackRgb(const PixelFormat& f, uint8_t* destination, uint32_t destinationWidth, const uint8_t* rgb, uint32_t count) {
    PackRow(f, destination, destinationWidth, count, [&](uint32_t x) {
        const uint8_t* p = rgb + 3 * x;
        return PixelPackRgbValue(f, p[0], p[1], p[2]);
    });
}

void PixelPackRgbKeyed(const PixelFormat& f, uint8_t* destination, uint32_t destinationWidth, const uint8_t* rgb,
                       uint32_t count) {
    PackRow(f, destination, destinationWidth, count, [&](uint32_t x) {
        const uint8_t* p = rgb + 3 * x;
        return p[0] == 0 && p[1] == 0 && p[2] == 0 ? 0 : PixelPackRgbNonZero(f, p[0], p[1], p[2]);
    });
}

void PixelPackIndexed(const PixelFormat& f, uint8_t* destination, uint32_t destinationWidth, const uint8_t* indices,
                      uint32_t count, const uint8_t* palette) {
    PackRow(f, destination, destinationWidth, count, [&](uint32_t x) {
        const uint8_t* p = palette + 3 * indices[x];
        return PixelPackRgbValue(f, p[0], p[1], p[2]);
    });
}

void PixelPackIndexedKeyed(const PixelFormat& f, uint8_t* destination, uint32_t destinationWidth,
                           const uint8_t* indices, uint32_t count, const uint8_t* palette) {
    PackRow(f, destination, destinationWidth, count, [&](uint32_t x) {
        const uint8_t* p = palette + 3 * indices[x];
        return indices[x] == 0 ? 0 : PixelPackRgbNonZero(f, p[0], p[1], p[2]);
    });
}
