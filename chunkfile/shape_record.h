#pragma once
// The in-memory form of one shape as the shape chunks read and write it, and
// the polygon and uv-list records it holds.

#include <cstdint>
#include <string>
#include <vector>

#include "chunkfile/shape_vectors.h"
#include "core/maths.h"

// One polygon: nine 32-bit words. The texture word packs the texture number
// (bits 0-11) and the uv-list number (its low 16 bits in bits 16-31, its bits
// 16-19 in bits 12-15), so texture numbers lie below 4,096 and uv-list
// numbers below 2^20.
struct ChunkPolygon {
    static constexpr int32_t kMaxVertices = 4;
    static constexpr uint32_t kMaxTextureIndex = 0xFFF;

    int32_t type = 0;
    int32_t normalIndex = 0;
    uint32_t flags = 0;
    uint32_t texture = 0;
    int32_t vertexCount = 0; // 0 to kMaxVertices
    int32_t vertices[kMaxVertices] = {-1, -1, -1, -1}; // slots past vertexCount hold -1

    // Types 5, 6, 7 and 20 to 24 carry a texture and a uv list.
    bool IsTextured() const;
    uint32_t GetTextureIndex() const { return texture & kMaxTextureIndex; }
    // `t` must be below 4,096; the uv-list number is kept.
    void SetTextureIndex(uint32_t t) { texture = (texture & ~kMaxTextureIndex) | (t & kMaxTextureIndex); }
    uint32_t GetUvIndex() const;
    // `u` must be below 2^20; the texture number is kept.
    void SetUvIndex(uint32_t u);

    bool operator==(const ChunkPolygon&) const = default;
};
static_assert(sizeof(ChunkPolygon) == 36);

struct UvPair {
    float u = 0, v = 0;

    bool operator==(const UvPair&) const = default;
};

// The texture coordinates of one polygon, in the order of its vertices.
struct ChunkUvList {
    static constexpr int32_t kMaxPairs = 4;

    int32_t count = 0; // 0 to kMaxPairs
    UvPair pairs[kMaxPairs];

    bool operator==(const ChunkUvList&) const = default;
};
static_assert(sizeof(ChunkUvList) == 36);

// A shape: points, normals, polygons, uv lists, texture names, point flags
// and bounds. An empty array means the shape has no such data.
//
// pointCount and polygonCount are what the file declares: the header sets
// them, and so do the point, point-flag and polygon chunks, so they may
// differ from the sizes of the arrays. Code that indexes an array (with a
// polygon's vertex, normal or uv-list number, say) bounds the index by that
// array's own size.
struct ChunkShapeData {
    float storedRadius = 0; // from the header; written as SHPCENTR's radius
    VectorI cornerA;        // the bounding box's opposite corners
    VectorI cornerB;
    VectorI centre;
    float radius = 0; // largest distance from the centre to a point
    int32_t pointCount = 0;
    std::vector<VectorI> points;
    std::vector<Vector3> vertexNormals;
    int32_t polygonCount = 0;
    std::vector<ChunkPolygon> polygons;
    std::vector<Vector3> polygonNormals;
    std::vector<ChunkUvList> uvLists;
    std::vector<std::string> textureNames;
    std::vector<uint32_t> pointFlags;
    uint32_t shapeFlags = 0;

    // Empties the arrays and zeroes the radius, the counts and the shape
    // flags; the stored radius, the corners and the centre stay.
    void Clear();
    // Multiplies the points, corners and centre (truncating toward zero) and
    // both radii by `factor`; normals and uv pairs stay.
    void Rescale(double factor);
};
