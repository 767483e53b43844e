#pragma once
// The in-memory form of a shape's vertex-animation sequence: its frames,
// each with its own point positions and one normal per polygon of the
// shape, and the smoothed vertex normals and bounds computed from them.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "chunkfile/shape_record.h"

struct ChunkAnimFrame {
    static constexpr uint32_t kDeleted = 4; // flag of a frame left out when written

    std::string name;
    std::vector<VectorI> points;
    std::vector<Vector3> polygonNormals;
    uint32_t flags = 0;
    uint32_t words[3] = {}; // frame words 1-3, kept

    bool IsDeleted() const { return (flags & kDeleted) != 0; }
};

struct ChunkAnimSequence {
    static constexpr int32_t kBoundsLimit = 2000000000;

    int32_t sequenceWord = -1;
    std::string name;
    std::vector<std::unique_ptr<ChunkAnimFrame>> frames; // never null
    uint32_t words[4] = {}; // sequence words 1-4, kept
    VectorI boundsMin;
    VectorI boundsMax;
    float radius = 0; // largest distance of a counted point from the origin
    std::vector<Vector3> vertexNormals;

    ChunkAnimSequence() = default;
    ChunkAnimSequence(const ChunkAnimSequence& other) { *this = other; }
    ChunkAnimSequence& operator=(const ChunkAnimSequence& other);

    // Vertex normals, one per point of `shape`: the sum over the frames of
    // the normals of the polygons that use the point, normalised ((1, 0, 0)
    // for a zero sum). Bounds and radius: over every frame point (with
    // `leftOut`, only the points of the polygons not listed there). Polygons
    // naming a point the shape lacks, and frames lacking a polygon's normal,
    // add nothing.
    void ComputeNormalsAndBounds(const ChunkShapeData& shape,
                                 std::optional<std::span<const int32_t>> leftOut = std::nullopt);
    // Drops the frames flagged deleted, keeping the order of the others.
    void PurgeDeletedFrames();
};
