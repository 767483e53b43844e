#include "Tv/world/collision_world.h"

#include <cstdlib>

#include "Awapi/object.h"
#include "core/numeric.h"

namespace {
constexpr Real kMaxFloat = 3.4028235e38f;

void Widen(Vector3& min, Vector3& max, const Vector3& lo, const Vector3& hi) {
    if (lo.x < min.x) min.x = lo.x;
    if (lo.y < min.y) min.y = lo.y;
    if (lo.z < min.z) min.z = lo.z;
    if (hi.x > max.x) max.x = hi.x;
    if (hi.y > max.y) max.y = hi.y;
    if (hi.z > max.z) max.z = hi.z;
}

bool SameCell(const CellIndex& a, const CellIndex& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
} // namespace

CollisionCell::~CollisionCell() { std::free(items); }

CollisionCell::CollisionCell(CollisionCell&& other) noexcept
    : items(other.items), count(other.count), capacity(other.capacity) {
    other.items = nullptr;
    other.count = other.capacity = 0;
}

void CollisionCell::Add(CollisionPolygon* polygon) {
    if (count == capacity) {
        const uint32_t grown = capacity + capacity / 4 + 3;
        void* block = std::realloc(items, grown * sizeof(CollisionPolygon*));
        if (!block) std::abort();
        items = static_cast<CollisionPolygon**>(block);
        capacity = grown;
    }
    items[count++] = polygon;
}

void CollisionCell::RemoveObject(const AwShapeInstance* owner) {
    for (uint32_t i = 0; i < count;) {
        if (items[i]->owner == owner)
            items[i] = items[--count];
        else
            ++i;
    }
    if (count >= capacity) return;
    if (count == 0) {
        std::free(items);
        items = nullptr;
    } else {
        items = static_cast<CollisionPolygon**>(std::realloc(items, count * sizeof(CollisionPolygon*)));
    }
    capacity = count;
}

CollisionWorld::~CollisionWorld() {
    for (CollisionMesh* mesh : meshes) delete mesh;
    meshes.Clear();
}

void CollisionWorld::AddObject(AwObject* object) {
    if (object && object->Root) AddShapeTree(object->Root, *object->GetMatrix());
}

void CollisionWorld::RemoveObject(AwObject* object) {
    if (object && object->Root) RemoveShapeTree(object->Root);
}

uint32_t CollisionWorld::AllocPolygonIndex() {
    const auto capacity = static_cast<uint32_t>(polygonTable.size());
    if (polygonCount < capacity) return polygonCount++;
    for (uint32_t i = 0; i < polygonCount; ++i)
        if (!polygonTable[i]) return i;
    polygonTable.resize(capacity + capacity / 4 + 256, nullptr);
    return polygonCount++;
}

CollisionMesh* CollisionWorld::AddShapeTree(AwShapeInstance* root, const Matrix34& placement) {
    auto* mesh = new CollisionMesh(root, placement);
    ForEachPolygon(*mesh, [&](CollisionPolygon& polygon) {
        polygon.polygonIndex = AllocPolygonIndex();
        polygonTable[polygon.polygonIndex] = &polygon;
    });
    meshes.PushBack(mesh);
    if (HasGrid()) {
        LinkMeshNeighbours(*mesh);
        InsertMesh(*mesh);
    }
    return mesh;
}

void CollisionWorld::RemoveShapeTree(AwShapeInstance* root) {
    for (CollisionCell& cell : cells_) cell.RemoveObject(root);
    for (ListIterator<CollisionMesh*> it(meshes); !it.AtEnd(); it.Next()) {
        CollisionMesh* mesh = *it.Payload();
        if (mesh->owner != root) continue;
        ReleaseMesh(*mesh);
        ForEachPolygon(*mesh, [&](CollisionPolygon& polygon) { polygonTable[polygon.polygonIndex] = nullptr; });
        delete mesh;
        meshes.RemoveNode(it.Node());
        return;
    }
}

void CollisionWorld::ReleaseMesh(CollisionMesh& mesh) {
    ForEachPolygon(mesh, [](CollisionPolygon& polygon) {
        while (polygon.neighbourCount > 0) {
            polygon.neighbours[0]->RemoveNeighbour(&polygon);
            polygon.RemoveNeighbourAt(0);
        }
    });
}

void CollisionWorld::BuildGrid(uint32_t nx, uint32_t ny, uint32_t nz) {
    Vector3 min(kMaxFloat, kMaxFloat, kMaxFloat), max(-kMaxFloat, -kMaxFloat, -kMaxFloat);
    for (const CollisionMesh* mesh : meshes) Widen(min, max, mesh->boundsMin, mesh->boundsMax);
    BuildGridOverBox(nx, ny, nz, min, max);
}

void CollisionWorld::BuildGridOverBox(uint32_t nx, uint32_t ny, uint32_t nz, const Vector3& min,
                                      const Vector3& max) {
    const uint32_t n[3] = {nx > 0 ? nx : 1, ny > 0 ? ny : 1, nz > 0 ? nz : 1};
    cells_.clear();
    cells_.resize(size_t{n[0]} * n[1] * n[2]);
    gridMin = min;
    gridMax = max;
    const Real lo[3] = {min.x, min.y, min.z};
    const Real hi[3] = {max.x, max.y, max.z};
    Real inverse[3];
    for (int k = 0; k < 3; ++k) {
        const Real extent = hi[k] - lo[k];
        inverse[k] = 1.0f / extent;
        // No extent (or an inverted box): the axis has one usable cell, reaching everywhere.
        const bool flat = !(extent > 0.0f) || !std::isfinite(inverse[k]);
        if (flat) inverse[k] = 0.0f;
        cellCount[k] = n[k];
        cellCountF[k] = static_cast<Real>(n[k]);
        std::vector<Real>& b = boundaries[k];
        b.assign(n[k] + 1, kMaxFloat);
        b[0] = -kMaxFloat;
        const Real step = extent / cellCountF[k];
        for (uint32_t i = 1; i < n[k]; ++i) b[i] = flat ? kMaxFloat : static_cast<Real>(i) * step + lo[k];
    }
    inverseExtent = Vector3(inverse[0], inverse[1], inverse[2]);
    for (CollisionMesh* mesh : meshes) InsertMesh(*mesh);
}

uint32_t CollisionWorld::AxisCell(Real value, int axis) const {
    const Real inverse = axis == 0 ? inverseExtent.x : (axis == 1 ? inverseExtent.y : inverseExtent.z);
    if (inverse == 0.0f) return 0;
    const Real origin = axis == 0 ? gridMin.x : (axis == 1 ? gridMin.y : gridMin.z);
    const Real v = (value - origin) * cellCountF[axis] * inverse;
    if (SignBit(v)) return 0;
    const uint32_t last = cellCount[axis] - 1;
    if (!(v < cellCountF[axis])) return last; // beyond the box, infinite or NaN
    const int32_t index = FloorToInt(v);
    return index < 0 ? 0 : (static_cast<uint32_t>(index) > last ? last : static_cast<uint32_t>(index));
}

CellIndex& CollisionWorld::CellOf(CellIndex& out, const Vector3& p) const {
    if (!HasGrid()) {
        out = CellIndex{0, 0, 0};
        return out;
    }
    out = CellIndex{AxisCell(p.x, 0), AxisCell(p.y, 1), AxisCell(p.z, 2)};
    return out;
}

Vector3& CollisionWorld::CellLowCorner(Vector3& out, const CellIndex& cell) const {
    out = Vector3(boundaries[0][cell.x], boundaries[1][cell.y], boundaries[2][cell.z]);
    return out;
}

Vector3& CollisionWorld::CellHighCorner(Vector3& out, const CellIndex& cell) const {
    out = Vector3(boundaries[0][cell.x + 1], boundaries[1][cell.y + 1], boundaries[2][cell.z + 1]);
    return out;
}

CollisionCell* CollisionWorld::GetCell(const CellIndex& cell) {
    if (!HasGrid()) return nullptr;
    return &cells_[(size_t{cell.x} * cellCount[1] + cell.y) * cellCount[2] + cell.z];
}

const CollisionCell* CollisionWorld::GetCell(const CellIndex& cell) const {
    return const_cast<CollisionWorld*>(this)->GetCell(cell);
}

void CollisionWorld::InsertClipped(CollisionPolygon& polygon, const CellIndex& low, const CellIndex& high) {
    bool taken = false;
    ForEachCell(low, high, [&](const CellIndex& index) {
        Vector3 lo, hi;
        const int clip = polygon.ClipToBox(CellLowCorner(lo, index), CellHighCorner(hi, index));
        if (clip == kClipOutside) return false;
        GetCell(index)->Add(&polygon);
        taken = true;
        return clip == kClipInside;
    });
    if (taken) return;
    CellIndex home;
    GetCell(CellOf(home, polygon.GetReferencePoint()))->Add(&polygon);
}

void CollisionWorld::InsertMesh(CollisionMesh& mesh) {
    if (!HasGrid()) return;
    CellIndex low, high;
    CellOf(low, mesh.boundsMin);
    CellOf(high, mesh.boundsMax);
    if (SameCell(low, high)) {
        CollisionCell* cell = GetCell(low);
        ForEachPolygon(mesh, [&](CollisionPolygon& polygon) { cell->Add(&polygon); });
        return;
    }
    const uint64_t span = uint64_t{high.x - low.x + 1} * (high.y - low.y + 1) * (high.z - low.z + 1);
    if (span < 10) {
        ForEachPolygon(mesh, [&](CollisionPolygon& polygon) { InsertClipped(polygon, low, high); });
        return;
    }
    ForEachPolygon(mesh, [&](CollisionPolygon& polygon) {
        Vector3 lo, hi;
        CellIndex own, ownHigh;
        CellOf(own, polygon.GetMinCorner(lo));
        CellOf(ownHigh, polygon.GetMaxCorner(hi));
        if (SameCell(own, ownHigh))
            GetCell(own)->Add(&polygon);
        else
            InsertClipped(polygon, own, ownHigh);
    });
}

void CollisionWorld::RemoveMesh(CollisionMesh& mesh) {
    if (!HasGrid()) return;
    CellIndex low, high;
    CellOf(low, mesh.boundsMin);
    CellOf(high, mesh.boundsMax);
    ForEachCell(low, high, [&](const CellIndex& index) {
        GetCell(index)->RemoveObject(mesh.owner);
        return false;
    });
}

void CollisionWorld::MoveMesh(CollisionMesh& mesh, const Vector3& offset) {
    const Vector3 movedMin = mesh.boundsMin + offset, movedMax = mesh.boundsMax + offset;
    CellIndex oldLow, oldHigh, newLow, newHigh;
    CellOf(oldLow, mesh.boundsMin);
    CellOf(oldHigh, mesh.boundsMax);
    CellOf(newLow, movedMin);
    CellOf(newHigh, movedMax);
    if (SameCell(oldLow, newLow) && SameCell(oldHigh, newHigh)) {
        mesh.boundsMin = movedMin;
        mesh.boundsMax = movedMax;
        return;
    }
    RemoveMesh(mesh);
    mesh.boundsMin = movedMin;
    mesh.boundsMax = movedMax;
    InsertMesh(mesh);
}
