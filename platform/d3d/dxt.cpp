#include "platform/d3d/dxt.h"

namespace plat {
namespace {

struct Rgb {
    uint32_t r, g, b;
};

Rgb Expand565(uint16_t c) {
    const uint32_t r = c >> 11 & 0x1F, g = c >> 5 & 0x3F, b = c & 0x1F;
    return {r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2};
}

uint32_t Argb(uint32_t a, const Rgb& c) { return a << 24 | c.r << 16 | c.g << 8 | c.b; }

Rgb Mix(const Rgb& x, uint32_t wx, const Rgb& y, uint32_t wy) {
    const uint32_t sum = wx + wy;
    return {(x.r * wx + y.r * wy) / sum, (x.g * wx + y.g * wy) / sum, (x.b * wx + y.b * wy) / sum};
}

// The colour half of a block; DXT3 always uses the four-colour mode.
void DecodeColours(const uint8_t* block, bool allowTransparent, uint32_t out[16]) {
    const uint16_t c0 = static_cast<uint16_t>(block[0] | block[1] << 8);
    const uint16_t c1 = static_cast<uint16_t>(block[2] | block[3] << 8);
    const Rgb e0 = Expand565(c0), e1 = Expand565(c1);
    uint32_t palette[4] = {Argb(0xFF, e0), Argb(0xFF, e1), 0, 0};
    if (c0 > c1 || !allowTransparent) {
        palette[2] = Argb(0xFF, Mix(e0, 2, e1, 1));
        palette[3] = Argb(0xFF, Mix(e0, 1, e1, 2));
    } else {
        palette[2] = Argb(0xFF, Mix(e0, 1, e1, 1));
        palette[3] = 0; // transparent black
    }
    const uint32_t indices = block[4] | block[5] << 8 | block[6] << 16 | uint32_t(block[7]) << 24;
    for (int i = 0; i < 16; ++i) out[i] = palette[indices >> (2 * i) & 3];
}

} // namespace

void DecodeDxt1Block(const uint8_t block[8], uint32_t out[16]) { DecodeColours(block, true, out); }

void DecodeDxt3Block(const uint8_t block[16], uint32_t out[16]) {
    DecodeColours(block + 8, false, out);
    for (int i = 0; i < 16; ++i) {
        const uint32_t a4 = block[i / 2] >> (4 * (i % 2)) & 0xF;
        out[i] = (out[i] & 0x00FFFFFF) | (a4 * 17) << 24;
    }
}

} // namespace plat
