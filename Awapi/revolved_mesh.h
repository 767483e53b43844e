#pragma once
// Surfaces of revolution: a grid of segments around the vertical axis by
// rings down it, whose ring radii and heights change at run time (a column, a
// funnel, a pulsing ring). The shape draws its one untextured part straight
// from its vertices, so every change shows on the next frame.

#include <cstdint>
#include <vector>

#include "Awapi/object.h"
#include "Awapi/shape.h"

// XYZ | NORMAL | DIFFUSE | TEX1: 36 bytes a vertex. Only the positions are
// ever set; normals, colours and texture coordinates stay zero.
constexpr uint32_t kRevolvedVertexFormat = 338;

class AwRevolvedShape : public AwShape {
public:
    // segments x (rings + 1) vertices, vertex (s, r) at index s + segments x r,
    // all at the origin; segments x rings quads. Counts below 1 count as 1,
    // and larger counts are cut so the part's vertex and index counts fit 16 bits.
    AwRevolvedShape(uint32_t segments, uint32_t rings);

    // Rings run from 0 to the ring count; others are ignored.
    void SetRingRadius(uint32_t ring, float radius);
    // Heights grow upward, so they are stored negated (the engine's y points down).
    void SetRingHeight(uint32_t ring, float height);
    // x and z bounds from the largest ring radius.
    void UpdateBounds();

    AwMeshPart& Part() const { return *Parts.Front(); }

    uint32_t SegmentCount, RingCount;
    std::vector<float> Sine, Cosine, RingRadius;
};

class AwRevolvedObject : public AwObject {
public:
    AwRevolvedObject(uint32_t segments, uint32_t rings);
    ~AwRevolvedObject() override;

    // Forward to the shape, then take over its bounds.
    void SetRingRadius(uint32_t ring, float radius);
    void SetRingHeight(uint32_t ring, float height);
    // Queues the object under the current camera and the scene lights.
    void Queue();

    AwRevolvedShape* const Shape;
    const uint32_t SegmentCount, RingCount;

private:
    explicit AwRevolvedObject(AwRevolvedShape* shape);
};
