#pragma once
// One flat face of the collision world: a triangle or a quad whose corners are
// shared vertices of its mesh, with a face normal, a flags word, a reference
// point and a growable list of neighbour links (the edges of the waypoint
// graph). The geometric questions work on x and z unless said otherwise;
// world y grows downward, so a floor's normal has a negative y.
//
// Polygons have no lock: they are read and changed under the level world's
// RwLock (collision_world.h).

#include <cstdint>

#include "core/maths.h"
#include "core/mem.h"

class AwShapeInstance;

// Flag bits.
constexpr uint32_t kPolygonSourceFlagMask = 0x3fffc1; // kept from the model's polygon flags
constexpr uint32_t kPolygonSteep = 0x100;
constexpr uint32_t kPolygonClassMask = 0x3e000; // links made and broken at run time
constexpr uint32_t kPolygonSlow = 0x1000;       // halves a mover's progress

// ClipToBox answers.
constexpr int kClipOutside = 0, kClipPartly = 1, kClipInside = 2;

class CollisionPolygon : public MemObject {
public:
    CollisionPolygon() = default;
    virtual ~CollisionPolygon();
    CollisionPolygon(const CollisionPolygon&) = delete;
    CollisionPolygon& operator=(const CollisionPolygon&) = delete;

    // The class's one shared polygon, overwritten with this one seen from the
    // back: same owner, negated normal, corners reversed. Not for two threads at once.
    virtual CollisionPolygon* Reversed() const = 0;
    // kClipInside when every corner lies in the closed box, kClipPartly when
    // some part of the polygon does, else kClipOutside.
    virtual int ClipToBox(const Vector3& min, const Vector3& max) const = 0;
    // Per-axis minimum / maximum of the corners.
    virtual Vector3& GetMinCorner(Vector3& out) const = 0;
    virtual Vector3& GetMaxCorner(Vector3& out) const = 0;
    virtual const Vector3& GetReferencePoint() const = 0;
    virtual void SetReferencePoint(Real x, Real y, Real z);
    virtual int GetVertexCount() const = 0;
    virtual Vector3* const* GetVertices() const = 0;

    // Where the line o + t d (any t) meets the plane, when that point lies in the polygon's projection.
    virtual bool RayHit(Vector3& out, const Vector3& origin, const Vector3& direction, Vector3* normalOut) const = 0;
    // The line through p along one axis: when it crosses the polygon, p's
    // coordinate on that axis becomes the plane's there; false (p untouched)
    // when it misses, false also when the coordinate written is not finite.
    virtual bool HitAlongX(Vector3& p, Vector3* normalOut) const = 0;
    virtual bool HitAlongY(Vector3& p, Vector3* normalOut) const = 0;
    virtual bool HitAlongZ(Vector3& p, Vector3* normalOut) const = 0;
    // Footprint tests with one axis dropped; points on edges pass. The normal
    // is copied out on success when asked for.
    virtual bool ContainsXZ(const Vector3& p, Vector3* normalOut) const = 0;
    virtual bool ContainsYZ(const Vector3& p, Vector3* normalOut) const = 0;
    virtual bool ContainsXY(const Vector3& p, Vector3* normalOut) const = 0;
    // The projection chosen by the normal's largest component.
    virtual bool ContainsProjected(const Vector3& p, Vector3* normalOut) const = 0;
    // Whole ticks that p, moving by v each tick, stays a margin away from the
    // border (ticksToMargin) and inside it (ticksToEdge). With no edge ahead
    // both conversions overflow: 2147483648 and 2147483649.
    virtual void ExitTimes(const Vector3& p, const Vector3& v, Real margin, uint32_t& ticksToMargin,
                           uint32_t& ticksToEdge) const = 0;
    // The footprint meets the disc of the radius round p.
    virtual bool OverlapsDisc(const Vector3& p, Real radius) const = 0;
    // A step of 0.001 along v from p lands in the footprint.
    virtual bool StepEnters(const Vector3& p, const Vector3& v) const = 0;
    // Corners compared by identity.
    virtual bool SharesVertex(const CollisionPolygon& other) const = 0;
    virtual bool SharesTwoVertices(const CollisionPolygon& other) const = 0;
    // The link build's edge test: exactly two shared corners, and the other
    // polygon's centre lies beyond that edge.
    virtual bool IsAdjacent(const CollisionPolygon& other) const = 0;

    // The linked polygon whose reference point is nearest p (the first on a
    // tie); this polygon when it has no links.
    CollisionPolygon* NearestNeighbour(const Vector3& p);

    // Links are one-way entries; the world keeps them symmetric.
    bool HasNeighbour(const CollisionPolygon* other) const;
    // Appends without a duplicate check; returns the new count.
    uint32_t AddNeighbour(CollisionPolygon* other);
    // Moves the last entry into slot i; the array shrinks when a block of four empties.
    uint32_t RemoveNeighbourAt(uint32_t i);
    // Removes the entry of the other polygon; a polygon not linked leaves the links as they are.
    uint32_t RemoveNeighbour(const CollisionPolygon* other);
    void ResizeNeighbours(uint32_t entries);

    bool IsFloorFacing() const;
    bool IsSteep() const { return (flags & kPolygonSteep) != 0; }
    bool IsWalkable() const { return IsFloorFacing() && !IsSteep(); }

    AwShapeInstance* owner = nullptr;
    Vector3 normal{0, 0, 0};
    uint32_t flags = 0;
    CollisionPolygon** neighbours = nullptr; // C runtime allocation
    uint32_t scratch = 0;
    uint32_t polygonIndex = 0;
    uint32_t neighbourCount = 0;
};

// The same algorithms for N = 3 and N = 4 corners.
template <int N>
class CollisionPolygonOf : public CollisionPolygon {
public:
    CollisionPolygon* Reversed() const override;
    int ClipToBox(const Vector3& min, const Vector3& max) const override;
    Vector3& GetMinCorner(Vector3& out) const override;
    Vector3& GetMaxCorner(Vector3& out) const override;
    const Vector3& GetReferencePoint() const override { return referencePoint; }
    void SetReferencePoint(Real x, Real y, Real z) override { referencePoint = Vector3(x, y, z); }
    int GetVertexCount() const override { return N; }
    Vector3* const* GetVertices() const override { return corners; }
    bool RayHit(Vector3& out, const Vector3& origin, const Vector3& direction, Vector3* normalOut) const override;
    bool HitAlongX(Vector3& p, Vector3* normalOut) const override;
    bool HitAlongY(Vector3& p, Vector3* normalOut) const override;
    bool HitAlongZ(Vector3& p, Vector3* normalOut) const override;
    bool ContainsXZ(const Vector3& p, Vector3* normalOut) const override;
    bool ContainsYZ(const Vector3& p, Vector3* normalOut) const override;
    bool ContainsXY(const Vector3& p, Vector3* normalOut) const override;
    bool ContainsProjected(const Vector3& p, Vector3* normalOut) const override;
    void ExitTimes(const Vector3& p, const Vector3& v, Real margin, uint32_t& ticksToMargin,
                   uint32_t& ticksToEdge) const override;
    bool OverlapsDisc(const Vector3& p, Real radius) const override;
    bool StepEnters(const Vector3& p, const Vector3& v) const override;
    bool SharesVertex(const CollisionPolygon& other) const override;
    bool SharesTwoVertices(const CollisionPolygon& other) const override;
    bool IsAdjacent(const CollisionPolygon& other) const override;

    Vector3* corners[N] = {}; // in the source model's winding; the closing edge runs from the last to the first
    Vector3 referencePoint{0, 0, 0};

private:
    // The footprint test in the plane of axes (a, b), dropping the third, whose normal component is `dropped`.
    template <int A, int B>
    bool ContainsIn(const Vector3& p, Real dropped, Vector3* normalOut) const;
};

class CollisionTriangle final : public CollisionPolygonOf<3> {};
class CollisionQuad final : public CollisionPolygonOf<4> {};

extern template class CollisionPolygonOf<3>;
extern template class CollisionPolygonOf<4>;

// The edge test of IsAdjacent with corners matched by position (squared
// distance below 0.01) instead of identity: polygons of different meshes.
bool CollisionPolygonsTouch(const CollisionPolygon& a, const CollisionPolygon& b);
