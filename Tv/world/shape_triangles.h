#pragma once
// The triangles of a shape's mesh parts and the steps of the straight-path
// shape test, shared by the plain scan and the shape index so that both
// compute every value the same way.

#include <algorithm>
#include <cstdint>
#include <limits>

#include "Awapi/mesh_part.h"
#include "Awapi/shape.h"
#include "Tv/world/intersection.h"
#include "Tv/world/vector_axes.h"
#include "core/numeric.h"

struct ShapeTriangle {
    Vector3 v[3];
};

// Calls visit(triangle) for every triangle of every part, in part and index
// order (a triangle naming a vertex the part lacks is skipped).
template <class Visit>
void ForEachShapeTriangle(const AwShape& shape, Visit&& visit) {
    for (const AwMeshPart* part : shape.Parts) {
        if (part->Stride() == 0) continue;
        const uint16_t* index = part->Indices.data();
        const uint32_t count = std::min<uint32_t>(part->IndexCount, static_cast<uint32_t>(part->Indices.size())) / 3;
        const uint32_t vertices = part->VertexCount;
        auto at = [&](uint16_t i) {
            const float* p = part->Position(i);
            return Vector3(p[0], p[1], p[2]);
        };
        for (uint32_t i = 0; i < count; ++i, index += 3)
            if (index[0] < vertices && index[1] < vertices && index[2] < vertices)
                visit(ShapeTriangle{{at(index[0]), at(index[1]), at(index[2])}});
    }
}

// The winding's unit normal (T1 - T0) x (T2 - T1), normalised with the table.
inline Vector3 UnitNormal(const ShapeTriangle& t) {
    const Vector3 n = Cross(t.v[1] - t.v[0], t.v[2] - t.v[1]);
    return n * FastInvSqrt(Dot(n, n));
}

// The containment test in the two coordinates (u, v) kept when the normal's
// largest component is dropped: for the edges T2->T0, T0->T1, T1->T2 the 2D
// cross product of the edge with the vector to the point must not have the
// outside sign (zero is inside).
inline bool ContainsProjected(const Real (&u)[3], const Real (&v)[3], bool outsidePositive, Real pu, Real pv) {
    for (int i = 0; i < 3; ++i) {
        const int from = (i + 2) % 3;
        const Real cross = (u[i] - u[from]) * (pv - v[from]) - (v[i] - v[from]) * (pu - u[from]);
        if (outsidePositive ? cross > 0.0f : cross < 0.0f) return false;
    }
    return true;
}

// The axes kept: x is dropped only when |x| is greater than both others, else z when |y| <= |z|, else y.
struct ContainsAxes {
    int u, v;
    bool outsidePositive; // when the dropped component is negative
};
ContainsAxes ContainsAxesOf(const Vector3& normal);

// The range of a triangle's corners on each axis (NaN corners left out).
struct CornerRange {
    Vector3 lo, hi;
};
inline CornerRange CornerRangeOf(const ShapeTriangle& t) {
    auto axis = [&](Real Vector3::*k, Real& lo, Real& hi) {
        lo = std::numeric_limits<Real>::infinity(), hi = -lo;
        for (const Vector3& c : t.v) {
            if (c.*k < lo) lo = c.*k;
            if (c.*k > hi) hi = c.*k;
        }
    };
    CornerRange r;
    axis(&Vector3::x, r.lo.x, r.hi.x);
    axis(&Vector3::y, r.lo.y, r.hi.y);
    axis(&Vector3::z, r.lo.z, r.hi.z);
    return r;
}

// The box of a segment from a to a + t d.
struct SegmentBounds {
    Vector3 lo, hi;
};
SegmentBounds SegmentBoundsOf(const Vector3& a, const Vector3& d, Real t);

// On each axis at least one corner at most the box's maximum and at least one at least its minimum.
inline bool Overlaps(const CornerRange& corners, const SegmentBounds& box) {
    return corners.lo.x <= box.hi.x && corners.hi.x >= box.lo.x && corners.lo.y <= box.hi.y &&
           corners.hi.y >= box.lo.y && corners.lo.z <= box.hi.z && corners.hi.z >= box.lo.z;
}

// The shape's sphere (with the kShapeBoundsSet flag) or box pre-test; nothing is recorded.
bool PassesShapeBounds(const AwShape& shape, const HitRecord& record, const Vector3& a, const Vector3& d);

// What a segment test needs of a triangle: a corner, the unit normal and the corners' kept coordinates.
struct TrianglePlane {
    Vector3 corner, normal;
    Real u[3], v[3];
    ContainsAxes axes;
};
inline TrianglePlane TrianglePlaneOf(const ShapeTriangle& t) {
    TrianglePlane p{t.v[0], UnitNormal(t), {}, {}, {}};
    p.axes = ContainsAxesOf(p.normal);
    for (int i = 0; i < 3; ++i) p.u[i] = Axis(t.v[i], p.axes.u), p.v[i] = Axis(t.v[i], p.axes.v);
    return p;
}

// Where a + t d meets the triangle: true with t when t is not negative, not
// beyond `limit` and the point lies inside.
inline bool SegmentMeetsTriangle(const TrianglePlane& p, const Vector3& a, const Vector3& d, Real limit, Real& t) {
    const Real nd = Dot(p.normal, d);
    if (nd == 0.0f) return false;
    t = Dot(p.normal, p.corner - a) / nd;
    if (SignBit(t) || t > limit) return false;
    const Vector3 at = a + t * d;
    return ContainsProjected(p.u, p.v, p.axes.outsidePositive, Axis(at, p.axes.u), Axis(at, p.axes.v));
}
