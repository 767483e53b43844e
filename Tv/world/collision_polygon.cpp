#include "Tv/world/collision_polygon.h"

#include <cmath>
#include <cstdlib>
#include <type_traits>
#include <utility>

#include "Tv/world/intersection.h"
#include "Tv/world/root_solvers.h"
#include "Tv/world/vector_axes.h"
#include "core/numeric.h"

namespace {

// The outward unit normal (u.x, u.z) of an edge (e.x, e.z) of a polygon whose
// normal y is ny: the reciprocal length takes the sign of -ny.
void EdgeNormal(Real ex, Real ez, Real ny, Real& ux, Real& uz) {
    const Real length2 = ex * ex + ez * ez;
    Real g = length2 > 0.0f ? 1.0f / std::sqrt(length2) : kReciprocalOfZero;
    if (!SignBit(ny)) g = -g;
    ux = g * ez;
    uz = -g * ex;
}

Real ReciprocalOrLarge(Real x) { return x != 0.0f ? 1.0f / x : std::copysign(kReciprocalOfZero, x); }

Vector3 Centroid(Vector3* const* corners, int n) {
    Vector3 sum = *corners[0];
    for (int i = 1; i < n; ++i) sum = sum + *corners[i];
    const Real count = static_cast<Real>(n);
    return Vector3(sum.x / count, sum.y / count, sum.z / count);
}

bool SamePosition(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// The edge test of the link build, with `match` deciding which corners are shared.
template <class Match>
bool EdgeAdjacent(const CollisionPolygon& self, const CollisionPolygon& other, Match&& match) {
    Vector3* const* mine = self.GetVertices();
    Vector3* const* theirs = other.GetVertices();
    const int n = self.GetVertexCount(), m = other.GetVertexCount();
    const Vector3* shared[4];
    int count = 0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < m; ++j)
            if (match(*mine[i], mine[i], *theirs[j], theirs[j])) {
                shared[count++] = mine[i];
                break;
            }
    if (count != 2) return false;
    const Vector3* a = shared[0];
    const Vector3* b = shared[1];
    // The edge from the last corner to the first runs from b to a.
    if (SamePosition(*a, *mine[0]) && SamePosition(*b, *mine[n - 1])) std::swap(a, b);
    const Vector3 c = Centroid(mine, n);
    const Vector3 d = Centroid(theirs, m) - c;
    const Real ex = b->x - a->x, ez = b->z - a->z;
    Real ux, uz;
    EdgeNormal(ex, ez, self.normal.y, ux, uz);
    const Real k = ux * d.x + uz * d.z;
    if (!(k > 0.0f)) return false;
    const Real t = (ux * (b->x - c.x) + uz * (b->z - c.z)) * (1.0f / k);
    const Vector3 w = c + t * d - *a;
    const Real f = (w.x * ex + w.z * ez) * ReciprocalOrLarge(ex * ex + ez * ez);
    return f >= 0.0f && f <= 1.0f;
}

// Box outcode: 0x01 x > max, 0x02 x < min, 0x04 y > max, 0x08 y < min, 0x10 z > max, 0x20 z < min.
uint32_t Outcode(const Vector3& p, const Vector3& min, const Vector3& max) {
    uint32_t code = 0;
    for (int k = 0; k < 3; ++k) {
        if (Axis(p, k) > Axis(max, k)) code |= 1u << (2 * k);
        if (Axis(p, k) < Axis(min, k)) code |= 2u << (2 * k);
    }
    return code;
}

// A ring of clip vertices with their outcodes.
struct ClipRing {
    // A convex polygon gains at most one vertex per plane; a folded quad a few
    // more. Beyond this the polygon is taken to cross the box.
    static constexpr int kCapacity = 64;
    Vector3 points[kCapacity];
    uint32_t codes[kCapacity];
    int count = 0;
};

// Clips the ring against the plane of one outcode bit: inserts the crossing on
// every edge whose ends differ in the bit, then drops the vertices beyond it.
// Returns kClipPartly as soon as a vertex inside the box remains, kClipOutside
// when all that remain lie beyond one plane, and -1 to go on.
int ClipPlane(ClipRing& ring, uint32_t bit, const Vector3& min, const Vector3& max, uint32_t& orCodes) {
    const int k = bit < 4 ? 0 : (bit < 16 ? 1 : 2);
    const bool upper = (bit & 0x15) != 0;
    const Real plane = upper ? Axis(max, k) : Axis(min, k);
    ClipRing next;
    for (int i = 0; i < ring.count; ++i) {
        const int j = i + 1 == ring.count ? 0 : i + 1;
        const Vector3& a = ring.points[i];
        const Vector3& b = ring.points[j];
        if (next.count == ClipRing::kCapacity) return kClipPartly;
        next.points[next.count] = a;
        next.codes[next.count++] = ring.codes[i];
        if (!((ring.codes[i] ^ ring.codes[j]) & bit)) continue;
        if (next.count == ClipRing::kCapacity) return kClipPartly;
        const Real t = (plane - Axis(a, k)) / (Axis(b, k) - Axis(a, k));
        Vector3 cut = a + t * (b - a);
        Axis(cut, k) = plane;
        next.points[next.count] = cut;
        next.codes[next.count++] = Outcode(cut, min, max);
    }
    ring.count = 0;
    orCodes = 0;
    uint32_t andCodes = 0x3f;
    for (int i = 0; i < next.count; ++i) {
        if (next.codes[i] & bit) continue;
        if (next.codes[i] == 0) return kClipPartly;
        ring.points[ring.count] = next.points[i];
        ring.codes[ring.count++] = next.codes[i];
        orCodes |= next.codes[i];
        andCodes &= next.codes[i];
    }
    return andCodes != 0 ? kClipOutside : -1;
}

// Per axis the corner coordinate that `replaces` prefers, starting from the first corner.
template <class Replaces>
Vector3& Corner(Vector3& out, Vector3* const* corners, int n, Replaces&& replaces) {
    out = *corners[0];
    for (int i = 1; i < n; ++i)
        for (int k = 0; k < 3; ++k)
            if (replaces(Axis(*corners[i], k), Axis(out, k))) Axis(out, k) = Axis(*corners[i], k);
    return out;
}

template <int N>
using Concrete = std::conditional_t<N == 3, CollisionTriangle, CollisionQuad>;

} // namespace

CollisionPolygon::~CollisionPolygon() { std::free(neighbours); }

void CollisionPolygon::SetReferencePoint(Real, Real, Real) {}

bool CollisionPolygon::IsFloorFacing() const { return SignBit(normal.y); }

CollisionPolygon* CollisionPolygon::NearestNeighbour(const Vector3& p) {
    CollisionPolygon* nearest = this;
    Real best = 0.0f;
    for (uint32_t i = 0; i < neighbourCount; ++i) {
        const Vector3 d = neighbours[i]->GetReferencePoint() - p;
        const Real distance2 = Dot(d, d);
        if (i == 0 || distance2 < best) {
            nearest = neighbours[i];
            best = distance2;
        }
    }
    return nearest;
}

bool CollisionPolygon::HasNeighbour(const CollisionPolygon* other) const {
    for (uint32_t i = 0; i < neighbourCount; ++i)
        if (neighbours[i] == other) return true;
    return false;
}

uint32_t CollisionPolygon::AddNeighbour(CollisionPolygon* other) {
    if (neighbourCount % 4 == 0) ResizeNeighbours(neighbourCount + 4);
    neighbours[neighbourCount++] = other;
    return neighbourCount;
}

uint32_t CollisionPolygon::RemoveNeighbourAt(uint32_t i) {
    if (i >= neighbourCount) return neighbourCount;
    const uint32_t old = neighbourCount;
    neighbours[i] = neighbours[old - 1];
    if ((old & 3) == 1) {
        if (old == 1) {
            std::free(neighbours);
            neighbours = nullptr;
        } else {
            ResizeNeighbours(old - 1);
        }
    }
    return --neighbourCount;
}

uint32_t CollisionPolygon::RemoveNeighbour(const CollisionPolygon* other) {
    for (uint32_t i = 0; i < neighbourCount; ++i)
        if (neighbours[i] == other) return RemoveNeighbourAt(i);
    return neighbourCount;
}

void CollisionPolygon::ResizeNeighbours(uint32_t entries) {
    void* grown = std::realloc(neighbours, entries * sizeof(CollisionPolygon*));
    if (!grown) std::abort();
    neighbours = static_cast<CollisionPolygon**>(grown);
}

template <int N>
CollisionPolygon* CollisionPolygonOf<N>::Reversed() const {
    static Concrete<N> back;
    back.owner = owner;
    back.normal = Vector3(-normal.x, -normal.y, -normal.z);
    for (int i = 0; i < N; ++i) back.corners[i] = corners[N - 1 - i];
    return &back;
}

template <int N>
int CollisionPolygonOf<N>::ClipToBox(const Vector3& min, const Vector3& max) const {
    ClipRing ring;
    uint32_t orCodes = 0, andCodes = 0x3f;
    bool cornerInside = false;
    for (int i = 0; i < N; ++i) {
        const uint32_t code = Outcode(*corners[i], min, max);
        ring.points[i] = *corners[i];
        ring.codes[i] = code;
        orCodes |= code;
        andCodes &= code;
        cornerInside |= code == 0;
    }
    ring.count = N;
    if (orCodes == 0) return kClipInside;
    if (cornerInside) return kClipPartly;
    if (andCodes != 0) return kClipOutside;
    for (uint32_t bit = 1; bit <= 0x20; bit <<= 1) {
        if (!(orCodes & bit)) continue;
        const int result = ClipPlane(ring, bit, min, max, orCodes);
        if (result >= 0) return result;
    }
    return kClipOutside;
}

template <int N>
Vector3& CollisionPolygonOf<N>::GetMinCorner(Vector3& out) const {
    // A coordinate that is not at least the running minimum replaces it.
    return Corner(out, corners, N, [](Real c, Real current) { return !(c >= current); });
}

template <int N>
Vector3& CollisionPolygonOf<N>::GetMaxCorner(Vector3& out) const {
    return Corner(out, corners, N, [](Real c, Real current) { return c > current; });
}

template <int N>
template <int A, int B>
bool CollisionPolygonOf<N>::ContainsIn(const Vector3& p, Real dropped, Vector3* normalOut) const {
    const bool negative = SignBit(dropped);
    const Vector3* from = corners[N - 1];
    for (int i = 0; i < N; ++i) {
        const Vector3& a = *from;
        const Vector3& b = *corners[i];
        const Real s = (Axis(b, B) - Axis(a, B)) * (Axis(p, A) - Axis(a, A)) -
                       (Axis(b, A) - Axis(a, A)) * (Axis(p, B) - Axis(a, B));
        if (negative ? s < 0.0f : s > 0.0f) return false;
        from = corners[i];
    }
    if (normalOut) *normalOut = normal;
    return true;
}

template <int N>
bool CollisionPolygonOf<N>::ContainsYZ(const Vector3& p, Vector3* normalOut) const {
    return ContainsIn<1, 2>(p, normal.x, normalOut);
}

template <int N>
bool CollisionPolygonOf<N>::ContainsXZ(const Vector3& p, Vector3* normalOut) const {
    return ContainsIn<2, 0>(p, normal.y, normalOut);
}

template <int N>
bool CollisionPolygonOf<N>::ContainsXY(const Vector3& p, Vector3* normalOut) const {
    return ContainsIn<0, 1>(p, normal.z, normalOut);
}

template <int N>
bool CollisionPolygonOf<N>::ContainsProjected(const Vector3& p, Vector3* normalOut) const {
    const Real ax = std::fabs(normal.x), ay = std::fabs(normal.y), az = std::fabs(normal.z);
    if (ax > ay && ax > az) return ContainsYZ(p, normalOut);
    if (ax < ay) return ContainsXZ(p, normalOut);
    return ContainsXY(p, normalOut);
}

template <int N>
bool CollisionPolygonOf<N>::HitAlongX(Vector3& p, Vector3* normalOut) const {
    if (!ContainsYZ(p, normalOut)) return false;
    const Vector3& v = *corners[0];
    p.x = (normal.x * v.x + normal.y * (v.y - p.y) + normal.z * (v.z - p.z)) / normal.x;
    return std::isfinite(p.x);
}

template <int N>
bool CollisionPolygonOf<N>::HitAlongY(Vector3& p, Vector3* normalOut) const {
    if (!ContainsXZ(p, normalOut)) return false;
    const Vector3& v = *corners[0];
    p.y = (normal.x * (v.x - p.x) + normal.y * v.y + normal.z * (v.z - p.z)) / normal.y;
    return std::isfinite(p.y);
}

template <int N>
bool CollisionPolygonOf<N>::HitAlongZ(Vector3& p, Vector3* normalOut) const {
    if (!ContainsXY(p, normalOut)) return false;
    const Vector3& v = *corners[0];
    p.z = (normal.x * (v.x - p.x) + normal.y * (v.y - p.y) + normal.z * v.z) / normal.z;
    return std::isfinite(p.z);
}

template <int N>
bool CollisionPolygonOf<N>::RayHit(Vector3& out, const Vector3& origin, const Vector3& direction,
                                   Vector3* normalOut) const {
    const Real t = Dot(normal, *corners[0] - origin) / Dot(normal, direction);
    if (!std::isfinite(t)) return false;
    out = origin + t * direction;
    return ContainsProjected(out, normalOut);
}

template <int N>
void CollisionPolygonOf<N>::ExitTimes(const Vector3& p, const Vector3& v, Real margin, uint32_t& ticksToMargin,
                                      uint32_t& ticksToEdge) const {
    Real tMin = 3.4028235e38f, tMargin = 3.4028235e38f;
    const Vector3* from = corners[N - 1];
    for (int i = 0; i < N; ++i) {
        const Vector3& a = *from;
        const Vector3& b = *corners[i];
        from = corners[i];
        Real ux, uz;
        EdgeNormal(b.x - a.x, b.z - a.z, normal.y, ux, uz);
        const Real approach = ux * v.x + uz * v.z;
        if (!(approach > 0.0f)) continue;
        const Real inverse = 1.0f / approach;
        const Real t = (ux * (a.x - p.x) + uz * (a.z - p.z)) * inverse;
        if (t >= 0.0f && t < tMin) {
            tMin = t;
            tMargin = t - (ux * ux + uz * uz) * margin * inverse;
        }
    }
    if (tMargin < 0.0f) tMargin = 0.0f;
    ticksToMargin = static_cast<uint32_t>(FloorToInt(tMargin));
    ticksToEdge = static_cast<uint32_t>(FloorToInt(tMin)) + 1u;
}

template <int N>
bool CollisionPolygonOf<N>::OverlapsDisc(const Vector3& p, Real radius) const {
    if (ContainsXZ(p, nullptr)) return true;
    const Real r2 = radius * radius;
    for (int i = 0; i < N; ++i) {
        const Real dx = corners[i]->x - p.x, dz = corners[i]->z - p.z;
        if (dx * dx + dz * dz < r2) return true;
    }
    const Vector3* from = corners[N - 1];
    for (int i = 0; i < N; ++i) {
        const Vector3& a = *from;
        const Vector3& b = *corners[i];
        from = corners[i];
        const Real ex = b.x - a.x, ez = b.z - a.z, wx = a.x - p.x, wz = a.z - p.z;
        const Real inverse = Reciprocal(ex * ex + ez * ez);
        Real t[2];
        if (SolveQuadraticExact(2.0f * (wx * ex + wz * ez) * inverse, (wx * wx + wz * wz - r2) * inverse, t) == 0)
            continue;
        for (Real root : t)
            if (!SignBit(root) && root <= 1.0f) return true;
    }
    return false;
}

template <int N>
bool CollisionPolygonOf<N>::StepEnters(const Vector3& p, const Vector3& v) const {
    const Real scale = FastInvSqrt(Dot(v, v));
    const Vector3 q(p.x + 0.001f * v.x * scale, p.y + 0.001f * v.y * scale, p.z + 0.001f * v.z * scale);
    return ContainsXZ(q, nullptr);
}

template <int N>
bool CollisionPolygonOf<N>::SharesVertex(const CollisionPolygon& other) const {
    Vector3* const* theirs = other.GetVertices();
    for (int i = 0; i < N; ++i)
        for (int j = 0; j < other.GetVertexCount(); ++j)
            if (corners[i] == theirs[j]) return true;
    return false;
}

template <int N>
bool CollisionPolygonOf<N>::SharesTwoVertices(const CollisionPolygon& other) const {
    Vector3* const* theirs = other.GetVertices();
    int matches = 0;
    for (int i = 0; i < N; ++i)
        for (int j = 0; j < other.GetVertexCount(); ++j)
            if (corners[i] == theirs[j] && ++matches == 2) return true;
    return false;
}

template <int N>
bool CollisionPolygonOf<N>::IsAdjacent(const CollisionPolygon& other) const {
    return EdgeAdjacent(*this, other, [](const Vector3&, const Vector3* a, const Vector3&, const Vector3* b) {
        return a == b;
    });
}

bool CollisionPolygonsTouch(const CollisionPolygon& a, const CollisionPolygon& b) {
    return EdgeAdjacent(a, b, [](const Vector3& p, const Vector3*, const Vector3& q, const Vector3*) {
        const Vector3 d = p - q;
        return Dot(d, d) < 0.01f;
    });
}

template class CollisionPolygonOf<3>;
template class CollisionPolygonOf<4>;
