// Paths against the triangles of a shape's mesh parts, read in place.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>

#include "Awapi/level_geometry.h"
#include "Awapi/mesh_part.h"
#include "Awapi/shape.h"
#include "Tv/world/intersection.h"
#include "Tv/world/root_solvers.h"
#include "core/numeric.h"

namespace {

struct Triangle {
    Vector3 v[3];
};

Vector3 PositionOf(const AwMeshPart& part, uint16_t index) {
    const float* p = part.Position(index);
    return Vector3(p[0], p[1], p[2]);
}

// Calls visit(triangle) for every triangle of every part, in part and index
// order (a triangle naming a vertex the part lacks is skipped).
template <class Visit>
void ForEachTriangle(const AwShape& shape, Visit&& visit) {
    for (const AwMeshPart* part : shape.Parts) {
        if (part->Stride() == 0) continue;
        const uint16_t* index = part->Indices.data();
        const uint32_t count = std::min<uint32_t>(part->IndexCount, static_cast<uint32_t>(part->Indices.size())) / 3;
        const uint32_t vertices = part->VertexCount;
        for (uint32_t i = 0; i < count; ++i, index += 3)
            if (index[0] < vertices && index[1] < vertices && index[2] < vertices)
                visit(Triangle{{PositionOf(*part, index[0]), PositionOf(*part, index[1]), PositionOf(*part, index[2])}});
    }
}

// The winding's unit normal (T1 - T0) x (T2 - T1), normalised with the table.
Vector3 UnitNormal(const Triangle& t) {
    const Vector3 n = Cross(t.v[1] - t.v[0], t.v[2] - t.v[1]);
    return n * FastInvSqrt(Dot(n, n));
}

// On each axis at least one corner at most the box's maximum and at least one at least its minimum.
bool OverlapsBox(const Triangle& t, const Vector3& lo, const Vector3& hi) {
    auto axis = [&](Real Vector3::*k) {
        return (t.v[0].*k <= hi.*k || t.v[1].*k <= hi.*k || t.v[2].*k <= hi.*k) &&
               (t.v[0].*k >= lo.*k || t.v[1].*k >= lo.*k || t.v[2].*k >= lo.*k);
    };
    return axis(&Vector3::x) && axis(&Vector3::y) && axis(&Vector3::z);
}

bool Contains(const Triangle& t, const Vector3& n, const Vector3& point) {
    return TriangleContains(t.v[0], t.v[1], t.v[2], n, point);
}

bool IsZero(const Vector3& v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

void Record(HitRecord& record, Real t, const Vector3& n) {
    record.t = t;
    record.normal = n;
}

Vector3 BallisticPoint(const Vector3& p, const Vector3& v, const Vector3& g, Real t) {
    return p + v * t + g * (0.5f * t * t);
}

// The sphere (with the kShapeBoundsSet flag) or box pre-test; nothing is recorded.
bool PassesBounds(const AwShape& shape, const HitRecord& record, const Vector3& a, const Vector3& d) {
    HitRecord scratch = record;
    if (shape.Flags & kShapeBoundsSet) return SegmentHitSphere(scratch, shape.SphereCentre, shape.SphereRadius, a, d);
    return SegmentHitBox(scratch, shape.Min, shape.Max, a, d);
}

// The triangle's plane crossed by a ballistic path, with the unit normal n.
bool BallisticHitTrianglePlane(HitRecord& record, const Triangle& tri, const Vector3& n, const Vector3& p,
                               const Vector3& v, const Vector3& g) {
    const Real ng = Dot(n, g);
    if (ng == 0.0f) {
        const Real nv = Dot(n, v);
        if (nv == 0.0f) return false;
        const Real t = Dot(n, tri.v[0] - p) / nv;
        if (SignBit(t) || t > record.t || !Contains(tri, n, BallisticPoint(p, v, g, t))) return false;
        Record(record, t, n);
        return true;
    }
    const Real inverse = 1.0f / (ng * 0.5f);
    Real roots[2];
    if (SolveQuadraticExact(Dot(n, v) * inverse, Dot(n, p - tri.v[0]) * inverse, roots) == 0) return false;
    if (SignBit(roots[1])) return false;
    for (Real t : roots) {
        if (SignBit(t) || t > record.t) continue;
        if (Contains(tri, n, BallisticPoint(p, v, g, t))) {
            Record(record, t, n);
            return true;
        }
    }
    return false;
}

// Skips a triangle whose corners all lie on one side of the plane that holds the path (w = V x G).
bool BallisticHitTriangle(HitRecord& record, const Triangle& tri, const Vector3& w, const Vector3& p,
                          const Vector3& v, const Vector3& g) {
    const bool side0 = SignBit(Dot(w, tri.v[0] - p));
    if (SignBit(Dot(w, tri.v[1] - p)) == side0 && SignBit(Dot(w, tri.v[2] - p)) == side0) return false;
    return BallisticHitTrianglePlane(record, tri, UnitNormal(tri), p, v, g);
}

// A path along its acceleration (V parallel to G): the line P + s G must meet
// the triangle, then the crossing times come from the plane's quadratic.
bool VerticalHitTriangle(HitRecord& record, const Triangle& tri, const Vector3& p, const Vector3& v,
                         const Vector3& g) {
    const Vector3 n = UnitNormal(tri);
    const Real ng = Dot(n, g);
    if (ng == 0.0f) return false;
    const Vector3 meet = p + g * (Dot(n, tri.v[0] - p) / ng);
    if (!Contains(tri, n, meet)) return false;
    Real roots[2];
    if (SolveQuadraticGeneral(ng * 0.5f, Dot(n, v), Dot(n, p - tri.v[0]), roots) == 0) return false;
    if (roots[1] < roots[0]) std::swap(roots[0], roots[1]);
    for (Real t : roots) {
        if (!SignBit(t) && t <= record.t) {
            Record(record, t, n);
            return true;
        }
    }
    return false;
}

} // namespace

bool TriangleContains(const Vector3& t0, const Vector3& t1, const Vector3& t2, const Vector3& normal,
                      const Vector3& point) {
    const Real ax = std::fabs(normal.x), ay = std::fabs(normal.y), az = std::fabs(normal.z);
    // (u, v) are the two coordinates kept; `dropped` the normal component left out.
    Real Vector3::*u;
    Real Vector3::*v;
    Real dropped;
    if (ax > ay && ax > az) {
        u = &Vector3::y, v = &Vector3::z, dropped = normal.x;
    } else if (ay <= az) {
        u = &Vector3::x, v = &Vector3::y, dropped = normal.z;
    } else {
        u = &Vector3::z, v = &Vector3::x, dropped = normal.y;
    }
    const bool outsidePositive = SignBit(dropped);
    const Vector3* corners[3] = {&t0, &t1, &t2};
    for (int i = 0; i < 3; ++i) {
        const Vector3& a = *corners[(i + 2) % 3]; // T2->T0, then T0->T1, then T1->T2
        const Vector3& b = *corners[i];
        const Real cross = (b.*u - a.*u) * (point.*v - a.*v) - (b.*v - a.*v) * (point.*u - a.*u);
        if (outsidePositive ? cross > 0.0f : cross < 0.0f) return false;
    }
    return true;
}

bool GeometryTriangleContains(const GeometryTriangle& triangle, const Vector3& point) {
    return TriangleContains(*triangle.Points[0], *triangle.Points[1], *triangle.Points[2], triangle.Normal, point);
}

bool SegmentHitShape(HitRecord& record, const AwShape& shape, const Vector3& a, const Vector3& d) {
    if (!PassesBounds(shape, record, a, d)) return false;
    const Vector3 end = a + record.t * d;
    const Vector3 lo(std::min(a.x, end.x), std::min(a.y, end.y), std::min(a.z, end.z));
    const Vector3 hi(std::max(a.x, end.x), std::max(a.y, end.y), std::max(a.z, end.z));
    bool hit = false;
    ForEachTriangle(shape, [&](const Triangle& tri) {
        if (!OverlapsBox(tri, lo, hi)) return;
        const Vector3 n = UnitNormal(tri);
        const Real nd = Dot(n, d);
        if (nd == 0.0f) return;
        const Real t = Dot(n, tri.v[0] - a) / nd;
        if (SignBit(t) || t > record.t || !Contains(tri, n, a + t * d)) return;
        Record(record, t, n);
        hit = true;
    });
    return hit;
}

bool BallisticHitShape(HitRecord& record, const AwShape& shape, const Vector3& p, const Vector3& v,
                       const Vector3& g) {
    HitRecord scratch{FLT_MAX, Vector3(0, 0, 0)};
    if (!BallisticHitBox(scratch, shape.Min, shape.Max, p, v, g)) return false;
    const Vector3 w = Cross(v, g);
    const bool planar = !IsZero(w);
    if (!planar && IsZero(g)) return SegmentHitShape(record, shape, p, v);
    bool hit = false;
    ForEachTriangle(shape, [&](const Triangle& tri) {
        if (planar ? BallisticHitTriangle(record, tri, w, p, v, g) : VerticalHitTriangle(record, tri, p, v, g))
            hit = true;
    });
    return hit;
}
