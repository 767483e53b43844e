#pragma once
// Decoding of DXT1 and DXT3 blocks: 4x4 pixels each, 8 and 16 bytes.

#include <cstdint>

namespace plat {

// The 16 pixels of a block as 0xAARRGGBB, row by row.
void DecodeDxt1Block(const uint8_t block[8], uint32_t out[16]);
void DecodeDxt3Block(const uint8_t block[16], uint32_t out[16]);

} // namespace plat
