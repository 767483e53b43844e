// Paths against the triangles of a shape's mesh parts, read in place.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>

#include "Awapi/level_geometry.h"
#include "Tv/world/intersection.h"
#include "Tv/world/root_solvers.h"
#include "Tv/world/shape_triangles.h"
#include "Tv/world/vector_axes.h"
#include "core/numeric.h"

namespace {

using Triangle = ShapeTriangle;

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

ContainsAxes ContainsAxesOf(const Vector3& normal) {
    const Real ax = std::fabs(normal.x), ay = std::fabs(normal.y), az = std::fabs(normal.z);
    if (ax > ay && ax > az) return {1, 2, SignBit(normal.x)};
    if (ay <= az) return {0, 1, SignBit(normal.z)};
    return {2, 0, SignBit(normal.y)};
}

bool TriangleContains(const Vector3& t0, const Vector3& t1, const Vector3& t2, const Vector3& normal,
                      const Vector3& point) {
    const ContainsAxes axes = ContainsAxesOf(normal);
    const Real u[3] = {Axis(t0, axes.u), Axis(t1, axes.u), Axis(t2, axes.u)};
    const Real v[3] = {Axis(t0, axes.v), Axis(t1, axes.v), Axis(t2, axes.v)};
    return ContainsProjected(u, v, axes.outsidePositive, Axis(point, axes.u), Axis(point, axes.v));
}

bool GeometryTriangleContains(const GeometryTriangle& triangle, const Vector3& point) {
    return TriangleContains(*triangle.Points[0], *triangle.Points[1], *triangle.Points[2], triangle.Normal, point);
}

SegmentBounds SegmentBoundsOf(const Vector3& a, const Vector3& d, Real t) {
    const Vector3 end = a + t * d;
    return {Vector3(std::min(a.x, end.x), std::min(a.y, end.y), std::min(a.z, end.z)),
            Vector3(std::max(a.x, end.x), std::max(a.y, end.y), std::max(a.z, end.z))};
}

bool PassesShapeBounds(const AwShape& shape, const HitRecord& record, const Vector3& a, const Vector3& d) {
    HitRecord scratch = record;
    if (shape.Flags & kShapeBoundsSet) return SegmentHitSphere(scratch, shape.SphereCentre, shape.SphereRadius, a, d);
    return SegmentHitBox(scratch, shape.Min, shape.Max, a, d);
}

bool SegmentHitShape(HitRecord& record, const AwShape& shape, const Vector3& a, const Vector3& d) {
    if (!PassesShapeBounds(shape, record, a, d)) return false;
    const SegmentBounds box = SegmentBoundsOf(a, d, record.t);
    bool hit = false;
    ForEachShapeTriangle(shape, [&](const Triangle& tri) {
        if (!Overlaps(CornerRangeOf(tri), box)) return;
        const TrianglePlane plane = TrianglePlaneOf(tri);
        Real t;
        if (!SegmentMeetsTriangle(plane, a, d, record.t, t)) return;
        Record(record, t, plane.normal);
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
    ForEachShapeTriangle(shape, [&](const Triangle& tri) {
        if (planar ? BallisticHitTriangle(record, tri, w, p, v, g) : VerticalHitTriangle(record, tri, p, v, g))
            hit = true;
    });
    return hit;
}
