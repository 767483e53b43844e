// Paths against axis-aligned boxes and spheres.
#include <utility>

#include "Tv/world/intersection.h"
#include "Tv/world/root_solvers.h"
#include "Tv/world/vector_axes.h"
#include "core/numeric.h"

namespace {

// The hit of a path that starts inside: t = 0, the normal from the centre
// toward the start, normalised with the table (zero at the centre itself).
void StartInside(HitRecord& record, const Vector3& from, const Vector3& centre) {
    const Vector3 w = from - centre;
    const Real length2 = Dot(w, w);
    record.t = 0.0f;
    record.normal = length2 > 0.0f ? w * FastInvSqrt(length2) : Vector3(0, 0, 0);
}

void SetAxisNormal(HitRecord& record, Real t, int axis, Real sign) {
    record.t = t;
    record.normal = Vector3(0, 0, 0);
    Axis(record.normal, axis) = sign;
}

// The two other coordinates of the segment at t within the box: half-open for
// the minimum faces, closed for the maximum faces.
bool OthersWithin(const Vector3& min, const Vector3& max, const Vector3& a, const Vector3& d, Real t, int axis,
                  bool closed) {
    for (int j = 0; j < 3; ++j) {
        if (j == axis) continue;
        const Real c = Axis(a, j) + t * Axis(d, j);
        if (c < Axis(min, j)) return false;
        if (closed ? c > Axis(max, j) : c >= Axis(max, j)) return false;
    }
    return true;
}

Real BallisticAt(Real p, Real v, Real g, Real t) { return p + v * t + 0.5f * g * t * t; }

// The crossings of the face plane coordinate c on axis k, in the order they
// are tried; the count (0 when the path never reaches the plane).
int FaceCrossings(const Vector3& p, const Vector3& v, const Vector3& g, int k, Real c, Real (&t)[2]) {
    const Real gk = Axis(g, k);
    if (gk == 0.0f) {
        t[0] = (c - Axis(p, k)) / Axis(v, k);
        return 1;
    }
    const Real half = gk * 0.5f;
    const Real inverse = 1.0f / half;
    if (SolveQuadraticExact(Axis(v, k) * inverse, (Axis(p, k) - c) * inverse, t) == 0) return 0;
    if (half < 0.0f) std::swap(t[0], t[1]);
    if (SignBit(t[0]) && SignBit(t[1])) return 0;
    return 2;
}

// One face of a ballistic box test: the first crossing that is not negative
// decides unless its point misses the face, when the next one is tried.
bool BallisticHitBoxFace(HitRecord& record, const Vector3& min, const Vector3& max, const Vector3& p,
                         const Vector3& v, const Vector3& g, int k, Real c, Real sign) {
    Real t[2];
    const int count = FaceCrossings(p, v, g, k, c, t);
    for (int i = 0; i < count; ++i) {
        if (SignBit(t[i])) continue;
        if (t[i] > record.t) return false;
        bool within = true;
        for (int j = 0; j < 3 && within; ++j) {
            if (j == k) continue;
            const Real at = BallisticAt(Axis(p, j), Axis(v, j), Axis(g, j), t[i]);
            within = at >= Axis(min, j) && at <= Axis(max, j);
        }
        if (within) {
            SetAxisNormal(record, t[i], k, sign);
            return true;
        }
    }
    return false;
}

enum class AxisResult { Hit, Never, Go };

AxisResult BallisticHitBoxAxis(HitRecord& record, const Vector3& min, const Vector3& max, const Vector3& p,
                               const Vector3& v, const Vector3& g, int k, int& insideCount) {
    const Real pk = Axis(p, k), vk = Axis(v, k), gk = Axis(g, k);
    if ((pk >= Axis(max, k) && vk > 0.0f && gk >= 0.0f) || (pk < Axis(min, k) && vk < 0.0f && gk <= 0.0f))
        return AxisResult::Never;
    if (Axis(min, k) <= pk && pk < Axis(max, k)) ++insideCount;
    if (BallisticHitBoxFace(record, min, max, p, v, g, k, Axis(min, k), -1.0f)) return AxisResult::Hit;
    if (BallisticHitBoxFace(record, min, max, p, v, g, k, Axis(max, k), 1.0f)) return AxisResult::Hit;
    return AxisResult::Go;
}

} // namespace

bool SegmentHitBox(HitRecord& record, const Vector3& min, const Vector3& max, const Vector3& a, const Vector3& d) {
    bool outside = false;
    for (int k = 0; k < 3; ++k) {
        if (!(Axis(a, k) < Axis(min, k))) continue;
        outside = true;
        if (Axis(d, k) <= 0.0f) return false;
        const Real t = (Axis(min, k) - Axis(a, k)) / Axis(d, k);
        if (t > record.t) return false;
        if (OthersWithin(min, max, a, d, t, k, false)) {
            SetAxisNormal(record, t, k, -1.0f);
            return true;
        }
    }
    for (int k = 0; k < 3; ++k) {
        if (!(Axis(a, k) > Axis(max, k))) continue;
        outside = true;
        if (Axis(d, k) >= 0.0f) return false;
        const Real t = (Axis(max, k) - Axis(a, k)) / Axis(d, k);
        if (t > record.t) return false;
        if (OthersWithin(min, max, a, d, t, k, true)) {
            SetAxisNormal(record, t, k, 1.0f);
            return true;
        }
    }
    if (outside) return false;
    StartInside(record, a, (min + max) * 0.5f);
    return true;
}

bool BallisticHitBox(HitRecord& record, const Vector3& min, const Vector3& max, const Vector3& p, const Vector3& v,
                     const Vector3& g) {
    int insideCount = 0;
    for (int k = 0; k < 3; ++k) {
        switch (BallisticHitBoxAxis(record, min, max, p, v, g, k, insideCount)) {
        case AxisResult::Hit: return true;
        case AxisResult::Never: return false;
        case AxisResult::Go: break;
        }
    }
    if (insideCount != 3) return false;
    StartInside(record, p, (min + max) * 0.5f);
    return true;
}

bool SegmentHitSphere(HitRecord& record, const Vector3& centre, Real radius, const Vector3& a, const Vector3& d) {
    const Vector3 w = a - centre;
    const Real c = Dot(w, w) - radius * radius;
    if (c < 0.0f) {
        StartInside(record, a, centre);
        return true;
    }
    const Real inverse = 1.0f / Dot(d, d);
    Real roots[2];
    if (SolveQuadraticExact(2.0f * Dot(d, w) * inverse, c * inverse, roots) == 0) return false;
    if (SignBit(roots[1])) return false;
    Real t;
    if (!SignBit(roots[0]) && roots[0] <= record.t)
        t = roots[0];
    else if (roots[1] <= record.t)
        t = roots[1];
    else
        return false;
    const Vector3 n = a + t * d - centre;
    record.t = t;
    record.normal = n * FastInvSqrt(Dot(n, n));
    return true;
}
