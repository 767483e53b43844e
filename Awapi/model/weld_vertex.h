#pragma once
// The vertex of converted model shapes (format 0x152: position, normal,
// diffuse colour, one texture coordinate pair) and the welding rule that
// merges equal corners. The diffuse colour takes no part in welding: two
// corners that differ only in their tint become one vertex with the first
// corner's colour.

#include <cstdint>

constexpr uint32_t kWeldVertexFormat = 0x152;

struct WeldVertex {
    float x, y, z;
    float nx, ny, nz;
    uint32_t diffuse;
    float u, v;
};
static_assert(sizeof(WeldVertex) == 36);

uint32_t VertexWeldHash(const WeldVertex& vertex);
// Exact float equality of position, normal and texture coordinates.
bool VertexWeldEqual(const WeldVertex& a, const WeldVertex& b);
// log2 of the bucket count of a weld or point table for a shape of n points
// that will hold at most `entries` entries: about n/8 to n/4 buckets, but no
// more than the entries need, so a shape with many points and many textures
// does not give every texture a table sized for the whole shape.
uint32_t WeldTableBits(int32_t pointCount, uint32_t entries);
