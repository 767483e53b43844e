#pragma once
// Flexible vertex formats: position (untransformed or pre-transformed),
// optional normal, diffuse and specular colours and up to eight pairs of
// texture coordinates, in that order.

#include <cstdint>

namespace plat {

// Bytes per vertex of the format, or 0 when the layer does not take the
// format (no or several positions, a normal on pre-transformed vertices,
// reserved bits, texture coordinates other than pairs).
uint32_t FvfStride(uint32_t fvf);

} // namespace plat
