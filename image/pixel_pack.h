#pragma once
// Packing pixels into a device format. Every packer writes `count` pixels and,
// when `count` is below `destinationWidth`, one more copy of the last pixel (an
// edge column, so filtering at the image's edge does not pull in garbage).
// Pixels of 1, 2 and 4 bits are packed from the low bits of each byte; 16- and
// 32-bit pixels are little-endian, 24-bit ones three bytes.

#include <cstdint>

struct PixelFormat;

// R, G, B packed with the format's losses and shifts, with its alpha mask set (opaque).
uint32_t PixelPackRgbValue(const PixelFormat& format, uint8_t r, uint8_t g, uint8_t b);
// The packed value, but never 0 (the colour key of keyed images): a colour that
// would pack to 0 gets the lowest bit of its nearest channel instead.
uint32_t PixelPackRgbNonZero(const PixelFormat& format, uint8_t r, uint8_t g, uint8_t b);

// Stores pixel `x` of a row of `bits`-bit pixels.
void PixelStore(uint8_t* row, uint32_t x, uint32_t value, uint32_t bits);

// From R, G, B triples; keyed: (0, 0, 0) becomes 0, other colours never do.
void PixelPackRgb(const PixelFormat& format, uint8_t* destination, uint32_t destinationWidth, const uint8_t* rgb, uint32_t count);
void PixelPackRgbKeyed(const PixelFormat& format, uint8_t* destination, uint32_t destinationWidth, const uint8_t* rgb,
                       uint32_t count);
// From palette indices; keyed: index 0 becomes 0, other colours never do.
void PixelPackIndexed(const PixelFormat& format, uint8_t* destination, uint32_t destinationWidth, const uint8_t* indices,
                      uint32_t count, const uint8_t* palette);
void PixelPackIndexedKeyed(const PixelFormat& format, uint8_t* destination, uint32_t destinationWidth,
                           const uint8_t* indices, uint32_t count, const uint8_t* palette);

// Copies palette indices into a palettized format of `bits` bits.
template <class Index>
void PixelCopyIndices(uint32_t bits, uint8_t* destination, uint32_t destinationWidth, const Index* indices, uint32_t count) {
    for (uint32_t x = 0; x < count; ++x) PixelStore(destination, x, indices[x], bits);
    if (count > 0 && count < destinationWidth) PixelStore(destination, count, indices[count - 1], bits);
}
