#pragma once
// The solid geometry of a level and of the objects that carry collision
// shapes, as collision meshes of flat triangles and quads in world space, with
// a uniform grid of cells over their box that lists, per cell, the polygons
// touching it; and the queries of movement and path finding over them: the
// floor under or over a point, the greatest y inside a box, which faces touch
// which (the neighbour links).
//
// The world takes no lock. Callers hold `lock`: shared around floor queries
// and mover moves, exclusive whenever meshes are added, removed or moved and
// whenever links or polygon flags change. The queries, RemoveMesh and
// LinkNeighbours need the grid; before BuildGrid they find nothing and do nothing.

#include <cstdint>
#include <vector>

#include "Tv/world/collision_mesh.h"
#include "Tv/world/collision_polygon.h"
#include "core/list.h"
#include "core/maths.h"
#include "core/matrix.h"
#include "core/rwlock.h"

class AwObject;
class AwShapeInstance;

struct CellIndex {
    uint32_t x, y, z;
};

// The polygons listed in one cell; a polygon may be listed in many cells.
class CollisionCell {
public:
    CollisionCell() = default;
    ~CollisionCell();
    CollisionCell(const CollisionCell&) = delete;
    CollisionCell& operator=(const CollisionCell&) = delete;
    CollisionCell(CollisionCell&& other) noexcept;

    // Appends; a full array grows by a quarter plus 3.
    void Add(CollisionPolygon* polygon);
    // Removes every entry of that owner (the last entry fills the gap), then
    // shrinks the array to the count.
    void RemoveObject(const AwShapeInstance* owner);

    CollisionPolygon** items = nullptr; // C runtime allocation
    uint32_t count = 0;
    uint32_t capacity = 0;
};

class CollisionWorld {
public:
    CollisionWorld() = default;
    virtual ~CollisionWorld();
    CollisionWorld(const CollisionWorld&) = delete;
    CollisionWorld& operator=(const CollisionWorld&) = delete;

    // Called before a removal destroys a mesh; this version removes every link
    // of the mesh's polygons, on both sides.
    virtual void ReleaseMesh(CollisionMesh& mesh);

    // The object's tree placed by its scaled matrix; nothing for null.
    void AddObject(AwObject* object);
    void RemoveObject(AwObject* object);
    // Builds the tree's mesh, gives its polygons table slots and appends it;
    // with a grid the mesh is also linked within itself and filed into the cells.
    CollisionMesh* AddShapeTree(AwShapeInstance* root, const Matrix34& placement);
    // Drops the owner's polygons from every cell, then releases, unslots and
    // destroys the first mesh of that owner. A tree never added changes nothing.
    void RemoveShapeTree(AwShapeInstance* root);

    // The grid over the union of all mesh boxes (the level asks for 98 x 4 x 98).
    void BuildGrid(uint32_t nx, uint32_t ny, uint32_t nz);
    // (Re)creates the grid over the box and files every mesh again; links are kept.
    // An axis of zero extent, or an inverted box, puts every point in cell 0 of that axis.
    void BuildGridOverBox(uint32_t nx, uint32_t ny, uint32_t nz, const Vector3& min, const Vector3& max);
    bool HasGrid() const { return !cells_.empty(); }

    // Lists every polygon of the mesh in the cells it touches.
    void InsertMesh(CollisionMesh& mesh);
    // Drops the mesh owner's polygons from the cells of the mesh's box (the box it was inserted with).
    void RemoveMesh(CollisionMesh& mesh);
    // The caller has moved the mesh's vertices and reference points by the
    // offset; moves the box and files the mesh again when its cell range changes.
    void MoveMesh(CollisionMesh& mesh, const Vector3& offset);

    // The link build over the whole grid: edge links, then corner links
    // between walkable polygons and the floor-facing, not steep polygons
    // around them.
    void LinkAllNeighbours();
    // The same passes over the polygons of one mesh only.
    void LinkMeshNeighbours(CollisionMesh& mesh);
    // Links the polygon to the class-marked polygons around it whose class bits it lacks and that touch it.
    void LinkNeighbours(CollisionPolygon* polygon);

    // The nearest floor-facing polygon straight above or below the point
    // (the first found on a tie); null when none. The point is unchanged.
    CollisionPolygon* FindFloor(const Vector3& p) const;
    // As FindFloor, and p.y becomes that polygon's height there.
    CollisionPolygon* DropToFloor(Vector3& p) const;
    bool SetFloorHeight(Vector3& p) const;
    // The greatest corner y among the polygons that touch the box; -max float when none.
    void GreatestYInBox(Real& out, const Vector3& min, const Vector3& max) const;

    // The cell holding a point; any point (also infinite or NaN) gets one, the
    // border cells reaching to infinity. (0, 0, 0) without a grid.
    CellIndex& CellOf(CellIndex& out, const Vector3& p) const;
    Vector3& CellLowCorner(Vector3& out, const CellIndex& cell) const;
    Vector3& CellHighCorner(Vector3& out, const CellIndex& cell) const;
    // Null without a grid.
    CollisionCell* GetCell(const CellIndex& cell);
    const CollisionCell* GetCell(const CellIndex& cell) const;

    RwLock lock;
    List<CollisionMesh*> meshes; // owned, in the order added
    // Every polygon's slot is its polygonIndex; removed meshes leave null slots.
    std::vector<CollisionPolygon*> polygonTable; // size = capacity
    uint32_t polygonCount = 0;

    Vector3 gridMin{0, 0, 0}, gridMax{0, 0, 0};
    Vector3 inverseExtent{0, 0, 0}; // 0 on an axis that has no extent
    uint32_t cellCount[3] = {0, 0, 0};
    Real cellCountF[3] = {0, 0, 0};
    // Per axis n + 1 cell boundaries; the outer two are -max float and +max float.
    std::vector<Real> boundaries[3];

private:
    uint32_t AllocPolygonIndex();
    uint32_t AxisCell(Real value, int axis) const;
    // Lists the polygon in the cells of the range it clips into; a polygon
    // wholly inside one cell ends the search; one that no cell takes goes to
    // the cell of its reference point.
    void InsertClipped(CollisionPolygon& polygon, const CellIndex& low, const CellIndex& high);
    // Calls visit(cell index) over the range, x outermost and z innermost, until it returns true.
    template <class Visit>
    void ForEachCell(const CellIndex& low, const CellIndex& high, Visit&& visit);
    // The nearest floor-facing hit of the column through p; the height in `height`.
    CollisionPolygon* ColumnFloor(const Vector3& p, Real& height) const;

    std::vector<CollisionCell> cells_; // x-major, then y, then z
};

template <class Visit>
void CollisionWorld::ForEachCell(const CellIndex& low, const CellIndex& high, Visit&& visit) {
    for (uint32_t x = low.x; x <= high.x; ++x)
        for (uint32_t y = low.y; y <= high.y; ++y)
            for (uint32_t z = low.z; z <= high.z; ++z)
                if (visit(CellIndex{x, y, z})) return;
}

// Removes the polygon's links to neighbours that carry class bits it lacks, on both sides.
void CollisionPolygonUnlinkNeighbours(CollisionPolygon* polygon);
