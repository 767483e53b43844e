#pragma once
// Where each part of a flexible-format vertex lies.

#include <array>
#include <cstdint>

namespace plat {

struct VertexLayout {
    uint32_t stride = 0;
    bool pretransformed = false;  // x, y, z, rhw in pixels
    int32_t normal = -1;          // byte offsets, -1 when absent
    int32_t diffuse = -1;
    int32_t specular = -1;
    uint32_t texCoordSets = 0;
    std::array<uint32_t, 8> texCoords{};
};

// The layout of a format the device took (see FvfStride).
VertexLayout LayoutOf(uint32_t fvf);

} // namespace plat
