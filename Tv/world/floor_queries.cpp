// Floors under and over a point, and the greatest y inside a box.
#include <cmath>

#include "Tv/world/collision_world.h"
#include "core/numeric.h"

namespace {
constexpr Real kMaxFloat = 3.4028235e38f;
}

CollisionPolygon* CollisionWorld::ColumnFloor(const Vector3& p, Real& height) const {
    if (!HasGrid()) return nullptr;
    CellIndex c;
    CellOf(c, p);
    Vector3 probe = p;
    CollisionPolygon* best = nullptr;
    Real bestY = 0.0f;
    auto scanRow = [&](uint32_t y) {
        const CollisionCell& cell = *GetCell(CellIndex{c.x, y, c.z});
        for (uint32_t i = 0; i < cell.count; ++i) {
            Vector3 normal;
            if (!cell.items[i]->HitAlongY(probe, &normal) || !SignBit(normal.y)) continue;
            if (!best || std::fabs(probe.y - p.y) < std::fabs(bestY - p.y)) {
                best = cell.items[i];
                bestY = probe.y;
            }
        }
    };
    const std::vector<Real>& rows = boundaries[1];
    // Up the world first (down the row index), then down it; a row is skipped
    // once the best lies nearer than the row's nearest boundary.
    for (uint32_t y = c.y + 1; y-- > 0;) {
        scanRow(y);
        if (best && std::fabs(bestY - p.y) <= p.y - rows[y]) break;
    }
    for (uint32_t y = c.y + 1; y < cellCount[1]; ++y) {
        if (best && std::fabs(bestY - p.y) <= rows[y] - p.y) break;
        scanRow(y);
    }
    height = bestY;
    return best;
}

CollisionPolygon* CollisionWorld::FindFloor(const Vector3& p) const {
    Real height;
    return ColumnFloor(p, height);
}

CollisionPolygon* CollisionWorld::DropToFloor(Vector3& p) const {
    Real height;
    CollisionPolygon* floor = ColumnFloor(p, height);
    if (floor) p.y = height;
    return floor;
}

bool CollisionWorld::SetFloorHeight(Vector3& p) const { return DropToFloor(p) != nullptr; }

void CollisionWorld::GreatestYInBox(Real& out, const Vector3& min, const Vector3& max) const {
    Real best = -kMaxFloat;
    for (uint32_t x = 0; x < cellCount[0] && HasGrid(); ++x)
        for (uint32_t y = 0; y < cellCount[1]; ++y)
            for (uint32_t z = 0; z < cellCount[2]; ++z) {
                if (!(boundaries[1][y + 1] > best)) continue;
                const CollisionCell& cell = *GetCell(CellIndex{x, y, z});
                for (uint32_t i = 0; i < cell.count; ++i) {
                    const CollisionPolygon& polygon = *cell.items[i];
                    Real greatest = -kMaxFloat;
                    for (int k = 0; k < polygon.GetVertexCount(); ++k)
                        if (polygon.GetVertices()[k]->y > greatest) greatest = polygon.GetVertices()[k]->y;
                    if (greatest > best && polygon.ClipToBox(min, max) != kClipOutside) best = greatest;
                }
            }
    out = best;
}
