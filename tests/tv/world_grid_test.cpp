#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Tv/world/collision_world.h"
#include "tests/tv/world_fixtures.h"

namespace {

constexpr Real kInf = std::numeric_limits<Real>::infinity();
constexpr Real kNaN = std::numeric_limits<Real>::quiet_NaN();

// Which cells list the polygon.
int CellsListing(CollisionWorld& world, const CollisionPolygon* polygon) {
    int listed = 0;
    for (uint32_t x = 0; x < world.cellCount[0]; ++x)
        for (uint32_t y = 0; y < world.cellCount[1]; ++y)
            for (uint32_t z = 0; z < world.cellCount[2]; ++z) {
                const CollisionCell& cell = *world.GetCell(CellIndex{x, y, z});
                for (uint32_t i = 0; i < cell.count; ++i) listed += cell.items[i] == polygon;
            }
    return listed;
}

bool Listed(CollisionWorld& world, const CellIndex& index, const CollisionPolygon* polygon) {
    const CollisionCell& cell = *world.GetCell(index);
    for (uint32_t i = 0; i < cell.count; ++i)
        if (cell.items[i] == polygon) return true;
    return false;
}

TEST(CollisionGrid, EveryPointGetsACellBorderCellsReachingToInfinity) {
    CollisionWorld world;
    CellIndex cell;
    world.CellOf(cell, Vector3(5, 5, 5));
    EXPECT_EQ(0u, cell.x + cell.y + cell.z); // no grid yet
    world.BuildGridOverBox(5, 2, 10, Vector3(0, 0, 0), Vector3(10, 10, 10));
    struct Case {
        Vector3 p;
        uint32_t x, y, z;
    };
    const Case cases[] = {
        {{0, 0, 0}, 0, 0, 0},
        {{1.99f, 5.01f, 9.99f}, 0, 1, 9},
        {{2.01f, 4.99f, 3.01f}, 1, 0, 3},
        {{-0.0f, -1, -1e30f}, 0, 0, 0},
        {{10, 10, 10}, 4, 1, 9},
        {{1e30f, 20, 11}, 4, 1, 9},
        {{kInf, -kInf, kNaN}, 4, 0, 4},
        {{-kNaN, kNaN, 3.5f}, 0, 1, 3},
    };
    for (const Case& c : cases) {
        world.CellOf(cell, c.p);
        EXPECT_LT(cell.x, 5u);
        EXPECT_LT(cell.y, 2u);
        EXPECT_LT(cell.z, 10u);
        if (std::isnan(c.p.z)) continue; // NaN lands in some cell of its axis
        EXPECT_EQ(c.x, cell.x) << c.p.x;
        EXPECT_EQ(c.y, cell.y) << c.p.y;
        EXPECT_EQ(c.z, cell.z) << c.p.z;
    }
    Vector3 low, high;
    world.CellLowCorner(low, CellIndex{0, 1, 3});
    world.CellHighCorner(high, CellIndex{4, 1, 3});
    EXPECT_EQ(-3.4028235e38f, low.x);
    EXPECT_EQ(5.0f, low.y);
    EXPECT_EQ(3.0f, low.z);
    EXPECT_EQ(3.4028235e38f, high.x);
    EXPECT_EQ(3.4028235e38f, high.y);
    EXPECT_EQ(4.0f, high.z);
}

TEST(CollisionGrid, AxesWithoutExtentPutEveryPointInCellZero) {
    // A flat level: all meshes lie in y = 0.
    GeometryLayout layout;
    layout.FloorQuad(0, 0, 4, 4, 0);
    ShapeTree tree = MakeGeometryTree(layout);
    CollisionWorld world;
    world.AddShapeTree(tree.get(), IdentityMatrix);
    world.BuildGrid(4, 4, 4);
    CellIndex cell;
    for (Real y : {0.0f, -3.0f, 7.0f, kInf, kNaN}) {
        world.CellOf(cell, Vector3(3, y, 3));
        EXPECT_EQ(0u, cell.y) << y;
        EXPECT_EQ(3u, cell.x);
    }
    EXPECT_EQ(16, CellsListing(world, world.polygonTable[0])); // 4 x 1 x 4 cells
    EXPECT_EQ(world.polygonTable[0], world.FindFloor(Vector3(1, -5, 1)));

    // No mesh has points: every axis is empty.
    CollisionWorld empty;
    empty.BuildGrid(98, 4, 98);
    for (const Vector3& p : {Vector3(0, 0, 0), Vector3(1e30f, -1e30f, kNaN)}) {
        empty.CellOf(cell, p);
        EXPECT_EQ(0u, cell.x + cell.y + cell.z);
    }
    EXPECT_EQ(nullptr, empty.FindFloor(Vector3(0, 0, 0)));
}

TEST(CollisionGrid, MeshesAreFiledByTheCellsTheirPolygonsTouch) {
    CollisionWorld world;
    world.BuildGridOverBox(10, 1, 10, Vector3(0, -1, 0), Vector3(10, 1, 10));

    // Within one cell: listed there whole, also the polygon that misses a tighter box.
    GeometryLayout small;
    small.FloorQuad(0.1f, 0.1f, 0.4f, 0.4f, 0);
    small.FloorQuad(0.6f, 0.6f, 0.9f, 0.9f, 0);
    ShapeTree smallTree = MakeGeometryTree(small);
    world.AddShapeTree(smallTree.get(), IdentityMatrix);
    EXPECT_EQ(2u, world.GetCell(CellIndex{0, 0, 0})->count);

    // Fewer than ten cells in the mesh's range: each polygon goes where it clips in.
    GeometryLayout medium;
    medium.FloorQuad(2.5f, 2.5f, 3.5f, 3.5f, 0); // four cells
    medium.FloorQuad(3.6f, 2.2f, 4.0f, 2.4f, 0); // inside cell 3 up to x = 4: cell 4 is not tried
    ShapeTree mediumTree = MakeGeometryTree(medium);
    CollisionMesh* second = world.AddShapeTree(mediumTree.get(), IdentityMatrix);
    EXPECT_EQ(4, CellsListing(world, &second->quads[0]));
    EXPECT_TRUE(Listed(world, CellIndex{3, 0, 3}, &second->quads[0]));
    EXPECT_EQ(1, CellsListing(world, &second->quads[1]));
    EXPECT_TRUE(Listed(world, CellIndex{3, 0, 2}, &second->quads[1]));

    // A large range: each polygon by its own range; a degenerate one (its
    // corner not a number) once, in its reference point's cell.
    GeometryLayout large;
    large.FloorQuad(1.5f, 1.5f, 8.5f, 2.5f, 0);
    large.Add({large.Point(kNaN, 0, 5), large.Point(kNaN, 0, 5), large.Point(kNaN, 0, 5)});
    ShapeTree largeTree = MakeGeometryTree(large);
    CollisionMesh* third = world.AddShapeTree(largeTree.get(), IdentityMatrix);
    EXPECT_EQ(16, CellsListing(world, &third->quads[0]));
    EXPECT_EQ(1, CellsListing(world, &third->triangles[0]));
    CellIndex home;
    world.CellOf(home, third->triangles[0].GetReferencePoint());
    EXPECT_TRUE(Listed(world, home, &third->triangles[0]));
}

TEST(CollisionGrid, AMoveWithinTheSameCellsTouchesNoCell) {
    CollisionWorld world;
    world.BuildGridOverBox(10, 1, 10, Vector3(0, -1, 0), Vector3(10, 1, 10));
    GeometryLayout layout;
    layout.FloorQuad(0.2f, 0.2f, 0.4f, 0.4f, 0);
    layout.FloorQuad(0.5f, 0.5f, 0.7f, 0.7f, 0);
    ShapeTree tree = MakeGeometryTree(layout);
    CollisionMesh* mesh = world.AddShapeTree(tree.get(), IdentityMatrix);
    CollisionCell* home = world.GetCell(CellIndex{0, 0, 0});
    ASSERT_EQ(2u, home->count);
    ASSERT_EQ(3u, home->capacity); // a removal would shrink it to the count

    world.MoveMesh(*mesh, Vector3(0.1f, 0, 0.1f));
    EXPECT_EQ(3u, home->capacity);
    EXPECT_FLOAT_EQ(0.3f, mesh->boundsMin.x);
    EXPECT_FLOAT_EQ(0.8f, mesh->boundsMax.z);

    // Across a boundary: the mesh leaves its old cells and is filed again.
    for (uint32_t i = 0; i < mesh->vertexCount; ++i) mesh->vertices[i] = mesh->vertices[i] + Vector3(5, 0, 0);
    world.MoveMesh(*mesh, Vector3(5, 0, 0));
    EXPECT_EQ(0u, home->count);
    EXPECT_EQ(nullptr, home->items);
    EXPECT_EQ(2u, world.GetCell(CellIndex{5, 0, 0})->count);
}

TEST(CollisionGrid, RemovingAShapeTree) {
    CollisionWorld world;
    GeometryLayout layout;
    layout.FloorGrid(2, 1, 0, 0, 1, 0);
    ShapeTree tree = MakeGeometryTree(layout);
    ShapeTree other = MakeGeometryTree(layout);
    CollisionMesh* first = world.AddShapeTree(tree.get(), IdentityMatrix);
    CollisionMesh* second = world.AddShapeTree(tree.get(), IdentityMatrix);
    CollisionMesh* third = world.AddShapeTree(other.get(), IdentityMatrix);
    world.BuildGrid(2, 1, 2);
    world.LinkAllNeighbours();
    ASSERT_EQ(1u, first->quads[0].neighbourCount); // its partner; meshes link only within themselves
    EXPECT_EQ(6u, world.polygonCount);
    CollisionPolygon* kept = &second->quads[0];
    kept->AddNeighbour(&first->quads[0]); // a link across meshes, as a class-marked one would be
    first->quads[0].AddNeighbour(kept);

    // A tree never added changes nothing.
    ShapeTree stranger = MakeGeometryTree(layout);
    world.RemoveShapeTree(stranger.get());
    EXPECT_EQ(3, world.meshes.Count());

    // The owner has two meshes: the first is destroyed, the cells lose the polygons of both.
    world.RemoveShapeTree(tree.get());
    ASSERT_EQ(2, world.meshes.Count());
    EXPECT_EQ(second, world.meshes.Front());
    EXPECT_EQ(nullptr, world.polygonTable[0]);
    EXPECT_EQ(nullptr, world.polygonTable[1]);
    EXPECT_EQ(kept, world.polygonTable[2]);
    EXPECT_EQ(0, CellsListing(world, kept));
    EXPECT_EQ(4, CellsListing(world, &third->quads[0])); // every cell clips a part of it
    // The base release unlinked the destroyed polygons on both sides.
    ASSERT_EQ(1u, kept->neighbourCount);
    EXPECT_EQ(&second->quads[1], kept->neighbours[0]);

    // Freed slots are reused only once the table is full.
    ShapeTree again = MakeGeometryTree(layout);
    CollisionMesh* fourth = world.AddShapeTree(again.get(), IdentityMatrix);
    EXPECT_EQ(6u, fourth->quads[0].polygonIndex);
}

} // namespace
