#pragma once
// Collision fixtures: shapes with mesh parts or level geometry, one-node
// shape trees over them, and loose polygons over caller-owned corners.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "Awapi/shape_instance.h"
#include "Tv/world/collision_mesh.h"
#include "Tv/world/collision_polygon.h"
#include "core/maths.h"

// A shape of position-only mesh parts (one part per call of AddPart) with its box from the positions.
AwShape* MakeMeshShape(const std::vector<std::vector<Vector3>>& triangleParts);

// Level geometry given as points and polygons of point indices (3 or 4 each).
struct GeometryLayout {
    struct Polygon {
        std::vector<int> corners;
        uint32_t flags = 0;
        std::optional<Vector3> normal; // default: the winding's unit normal
    };
    std::vector<Vector3> points;
    std::vector<Polygon> polygons;

    int Point(Real x, Real y, Real z);
    Polygon& Add(std::vector<int> corners, uint32_t flags = 0);
    // A quad on the plane y, from (x0, z0) to (x1, z1), facing up (-y).
    Polygon& FloorQuad(Real x0, Real z0, Real x1, Real z1, Real y);
    // nx x nz floor quads of the given size from (x0, z0), sharing their corners.
    void FloorGrid(int nx, int nz, Real x0, Real z0, Real size, Real y);
};

// An n x n floor of quads of the given size from the origin at y = 0 (polygons
// 0 to n * n - 1), a steep wall 2 m high standing on its far x edge and
// sharing that edge's corners (polygon n * n), and a ceiling over it all at
// y = -3 (polygon n * n + 1).
GeometryLayout FloorWithWallAndCeiling(int n, Real size);

using ShapeTree = std::unique_ptr<AwShapeInstance>;
// A one-node tree holding a shape that keeps this geometry.
ShapeTree MakeGeometryTree(const GeometryLayout& layout);
// A one-node tree over the shape (the tree takes the shape's creation use).
ShapeTree MakeTree(AwShape* shape, bool box);

// A world of one kind over one tree of the layout's polygons (in a world's
// first mesh, polygon i of the layout is table slot i), without grid or links.
template <class World>
struct GeometryWorld {
    explicit GeometryWorld(const GeometryLayout& layout)
        : tree(MakeGeometryTree(layout)), mesh(world.AddShapeTree(tree.get(), IdentityMatrix)) {}
    CollisionPolygon& operator[](uint32_t i) const { return mesh->Polygon(i); }

    ShapeTree tree; // outlives the world
    World world;
    CollisionMesh* mesh;
};

// Links two polygons both ways, appending to their link lists.
void LinkBothWays(CollisionPolygon& a, CollisionPolygon& b);

// Points the polygon's corners at the given points.
template <int N>
void SetCorners(CollisionPolygonOf<N>& polygon, Vector3 (&points)[N], const Vector3& normal) {
    for (int i = 0; i < N; ++i) polygon.corners[i] = &points[i];
    polygon.normal = normal;
}
