#include <gtest/gtest.h>

#include <algorithm>

#include "Tv/world/collision_world.h"
#include "tests/tv/world_fixtures.h"

namespace {

void ExpectFloorLinks(const CollisionMesh& mesh, const char* how) {
    for (uint32_t i = 0; i < 4; ++i) {
        const CollisionQuad& q = mesh.quads[i];
        EXPECT_EQ(3u, q.neighbourCount) << how << " quad " << i;
        for (uint32_t j = 0; j < 4; ++j)
            if (j != i) {
                EXPECT_TRUE(q.HasNeighbour(&mesh.quads[j])) << how << " quad " << i << " lists " << j;
            }
    }
    EXPECT_TRUE(mesh.quads[4].IsSteep());
    EXPECT_FALSE(mesh.quads[5].IsFloorFacing());
    EXPECT_EQ(0u, mesh.quads[4].neighbourCount) << how << ": the wall";
    EXPECT_EQ(0u, mesh.quads[5].neighbourCount) << how << ": the ceiling";
}

TEST(CollisionLinks, EveryQuadOfATwoByTwoFloorLinksToTheOtherThree) {
    const GeometryLayout layout = FloorWithWallAndCeiling(2, 1);
    {
        CollisionWorld world; // the level: meshes first, then the grid and the link build
        ShapeTree tree = MakeGeometryTree(layout);
        CollisionMesh* mesh = world.AddShapeTree(tree.get(), IdentityMatrix);
        world.BuildGrid(2, 2, 2);
        world.LinkAllNeighbours();
        ExpectFloorLinks(*mesh, "link build");
        // Two by edge, then the diagonal by corner.
        const CollisionQuad& q0 = mesh->quads[0];
        EXPECT_EQ(&mesh->quads[3], q0.neighbours[2]);
        world.LinkAllNeighbours(); // no duplicates
        EXPECT_EQ(3u, q0.neighbourCount);
    }
    {
        CollisionWorld world; // an object added to a gridded world links within itself
        world.BuildGridOverBox(4, 1, 4, Vector3(-1, -4, -1), Vector3(3, 1, 3));
        ShapeTree tree = MakeGeometryTree(layout);
        ExpectFloorLinks(*world.AddShapeTree(tree.get(), IdentityMatrix), "mesh link");
    }
}

TEST(CollisionLinks, ClassMarkedPolygonsLinkAcrossMeshesAndUnlinkByTheSameRule) {
    constexpr uint32_t kLift = 0x2000, kDoor = 0x4000;
    GeometryLayout floorSpec;
    floorSpec.FloorGrid(2, 1, 0, 0, 1, 0); // F (0..1) and its neighbour G (1..2)
    GeometryLayout liftSpec, doorSpec, farSpec;
    liftSpec.FloorQuad(-1.05f, 0.02f, -0.03f, 1.0f, 0).flags = kLift; // corners within 0.1 of F's
    doorSpec.FloorQuad(0.05f, 1.0f, 1.0f, 2.0f, 0).flags = kDoor;
    farSpec.FloorQuad(0, -1.5f, 1, -0.5f, 0).flags = kDoor; // 0.5 away: too far to touch
    CollisionWorld world;
    ShapeTree floorTree = MakeGeometryTree(floorSpec), liftTree = MakeGeometryTree(liftSpec),
              doorTree = MakeGeometryTree(doorSpec), farTree = MakeGeometryTree(farSpec);
    CollisionMesh* floor = world.AddShapeTree(floorTree.get(), IdentityMatrix);
    CollisionPolygon* lift = &world.AddShapeTree(liftTree.get(), IdentityMatrix)->quads[0];
    CollisionPolygon* door = &world.AddShapeTree(doorTree.get(), IdentityMatrix)->quads[0];
    CollisionPolygon* far = &world.AddShapeTree(farTree.get(), IdentityMatrix)->quads[0];
    world.BuildGrid(2, 1, 2); // coarse: LinkNeighbours looks one cell around the polygon
    world.LinkAllNeighbours();
    CollisionPolygon* f = &floor->quads[0];
    CollisionPolygon* g = &floor->quads[1];
    ASSERT_EQ(1u, f->neighbourCount); // the link build joins only shared vertices

    world.LinkNeighbours(f);
    EXPECT_EQ(3u, f->neighbourCount);
    EXPECT_TRUE(f->HasNeighbour(lift) && lift->HasNeighbour(f));
    EXPECT_TRUE(f->HasNeighbour(door) && door->HasNeighbour(f));
    EXPECT_FALSE(f->HasNeighbour(far));
    world.LinkNeighbours(f);
    EXPECT_EQ(3u, f->neighbourCount);
    // A polygon with the neighbour's class bits does not link to it; one without class bits is never linked to.
    world.LinkNeighbours(lift);
    EXPECT_EQ(1u, lift->neighbourCount);

    // F takes the lift's class: the rule now allows only the door's link to go.
    f->flags |= kLift;
    CollisionPolygonUnlinkNeighbours(f);
    EXPECT_EQ(2u, f->neighbourCount);
    EXPECT_TRUE(f->HasNeighbour(g));
    EXPECT_TRUE(f->HasNeighbour(lift) && lift->HasNeighbour(f));
    EXPECT_FALSE(f->HasNeighbour(door));
    EXPECT_EQ(0u, door->neighbourCount);
    f->flags &= ~kLift;
    CollisionPolygonUnlinkNeighbours(f);
    EXPECT_EQ(1u, f->neighbourCount);
    EXPECT_EQ(0u, lift->neighbourCount);
    EXPECT_TRUE(g->HasNeighbour(f));
}

} // namespace
