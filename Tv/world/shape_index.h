#pragma once
// An index over one shape's triangles that answers SegmentHitShape exactly:
// the same hit, t and normal, of equal t the later triangle.
//
// The triangles' normals are computed once, so the index must be queried in
// the floating-point rounding mode it was built in (ShapeTreeIndex checks).
// The shape's parts must not change while the index is in use.

#include <cstdint>
#include <vector>

#include "Tv/world/box_hierarchy.h"
#include "Tv/world/intersection.h"
#include "Tv/world/shape_triangles.h"

class ShapeIndex {
public:
    explicit ShapeIndex(const AwShape& shape);

    bool SegmentHit(HitRecord& record, const Vector3& a, const Vector3& d) const;

private:
    struct Triangle {
        TrianglePlane plane;
        CornerRange corners;
        uint32_t order; // in the shape's triangle order
    };

    const AwShape& shape_;
    // In the hierarchy's item order; then the loose ones, which every query tests.
    std::vector<Triangle> triangles_;
    uint32_t looseBegin_ = 0;
    BoxHierarchy hierarchy_;
    Real scale_ = 0; // the largest |coordinate| of the hierarchy's boxes
};
