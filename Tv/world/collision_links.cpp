// The neighbour links between polygons: the waypoint graph's edges.
#include "Tv/world/collision_world.h"

namespace {

void LinkBothWays(CollisionPolygon& a, CollisionPolygon& b) {
    if (!a.HasNeighbour(&b)) a.AddNeighbour(&b);
    if (!b.HasNeighbour(&a)) b.AddNeighbour(&a);
}

bool IsFloorCandidate(const CollisionPolygon& b) { return !b.IsSteep() && b.IsFloorFacing(); }

// How many of a's links b also lists.
uint32_t CommonNeighbours(const CollisionPolygon& a, const CollisionPolygon& b) {
    uint32_t common = 0;
    for (uint32_t i = 0; i < a.neighbourCount; ++i)
        if (b.HasNeighbour(a.neighbours[i])) ++common;
    return common;
}

// The edge pass's rule for a walkable a and a candidate b.
void EdgeLink(CollisionPolygon& a, CollisionPolygon& b) {
    if (&b != &a && IsFloorCandidate(b) && a.IsAdjacent(b)) LinkBothWays(a, b);
}

// The corner pass's rule: a corner shared with a polygon that already lists
// two of a's links.
void CornerLink(CollisionPolygon& a, CollisionPolygon& b) {
    if (&b == &a || !IsFloorCandidate(b) || a.HasNeighbour(&b) || !a.SharesVertex(b)) return;
    if (a.neighbourCount > 0 && CommonNeighbours(a, b) >= 2) LinkBothWays(a, b);
}

uint32_t ClassBits(const CollisionPolygon& p) { return p.flags & kPolygonClassMask; }

// Q carries class bits of which P has none.
bool ClassSeparates(const CollisionPolygon& p, const CollisionPolygon& q) {
    return ClassBits(q) != 0 && (p.flags & ClassBits(q)) == 0;
}

} // namespace

void CollisionWorld::LinkAllNeighbours() {
    if (!HasGrid()) return;
    // Each cell's walkable polygons against the polygons of that cell and of
    // the cells one below it on every axis.
    auto pass = [&](void (*rule)(CollisionPolygon&, CollisionPolygon&)) {
        for (uint32_t z = 0; z < cellCount[2]; ++z)
            for (uint32_t y = 0; y < cellCount[1]; ++y)
                for (uint32_t x = 0; x < cellCount[0]; ++x) {
                    const CollisionCell& cell = *GetCell(CellIndex{x, y, z});
                    const CellIndex low{x > 0 ? x - 1 : 0, y > 0 ? y - 1 : 0, z > 0 ? z - 1 : 0};
                    for (uint32_t i = 0; i < cell.count; ++i) {
                        CollisionPolygon& a = *cell.items[i];
                        if (!a.IsWalkable()) continue;
                        ForEachCell(low, CellIndex{x, y, z}, [&](const CellIndex& index) {
                            const CollisionCell& other = *GetCell(index);
                            for (uint32_t j = 0; j < other.count; ++j) rule(a, *other.items[j]);
                            return false;
                        });
                    }
                }
    };
    pass(EdgeLink);
    pass(CornerLink);
}

void CollisionWorld::LinkMeshNeighbours(CollisionMesh& mesh) {
    auto pass = [&](void (*rule)(CollisionPolygon&, CollisionPolygon&)) {
        ForEachPolygon(mesh, [&](CollisionPolygon& a) {
            if (!a.IsWalkable()) return;
            ForEachPolygon(mesh, [&](CollisionPolygon& b) { rule(a, b); });
        });
    };
    pass(EdgeLink);
    pass(CornerLink);
}

void CollisionWorld::LinkNeighbours(CollisionPolygon* polygon) {
    if (!HasGrid()) return;
    CellIndex centre;
    CellOf(centre, polygon->GetReferencePoint());
    auto below = [](uint32_t i) { return i > 0 ? i - 1 : 0; };
    auto above = [](uint32_t i, uint32_t n) { return i + 1 < n ? i + 1 : n - 1; };
    const CellIndex low{below(centre.x), below(centre.y), below(centre.z)};
    const CellIndex high{above(centre.x, cellCount[0]), above(centre.y, cellCount[1]), above(centre.z, cellCount[2])};
    ForEachCell(low, high, [&](const CellIndex& index) {
        const CollisionCell& cell = *GetCell(index);
        for (uint32_t i = 0; i < cell.count; ++i) {
            CollisionPolygon& q = *cell.items[i];
            if (ClassSeparates(*polygon, q) && CollisionPolygonsTouch(*polygon, q) && !polygon->HasNeighbour(&q)) {
                polygon->AddNeighbour(&q);
                q.AddNeighbour(polygon);
            }
        }
        return false;
    });
}

void CollisionPolygonUnlinkNeighbours(CollisionPolygon* polygon) {
    for (uint32_t i = 0; i < polygon->neighbourCount;) {
        CollisionPolygon* q = polygon->neighbours[i];
        if (!ClassSeparates(*polygon, *q)) {
            ++i;
            continue;
        }
        q->RemoveNeighbour(polygon);
        polygon->RemoveNeighbourAt(i);
        i = 0;
    }
}
