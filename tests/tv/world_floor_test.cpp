#include <gtest/gtest.h>

#include <string>

#include "Awapi/model/model_file.h"
#include "Awapi/shape.h"
#include "Tv/world/collision_world.h"
#include "chunkfile/register_all.h"
#include "tests/tv/world_fixtures.h"

namespace {

TEST(FindFloor, HalfwayBetweenTwoFloorsTheOneFoundFirstIsKept) {
    GeometryLayout upper, lower;
    upper.FloorQuad(0, 0, 2, 2, -1);
    lower.FloorQuad(0, 0, 2, 2, 1);
    ShapeTree upperTree = MakeGeometryTree(upper), lowerTree = MakeGeometryTree(lower);
    for (bool oneCell : {false, true}) {
        CollisionWorld world;
        // Added lower first: in one cell the array order decides; across rows
        // the rows of lower index (higher up) come first.
        world.AddShapeTree(lowerTree.get(), IdentityMatrix);
        world.AddShapeTree(upperTree.get(), IdentityMatrix);
        world.BuildGrid(1, oneCell ? 1 : 4, 1);
        const Real expected = oneCell ? 1.0f : -1.0f;
        Vector3 p(1, 0, 1);
        CollisionPolygon* floor = world.DropToFloor(p);
        ASSERT_NE(nullptr, floor);
        EXPECT_EQ(expected, p.y) << (oneCell ? "one cell" : "four rows");
        EXPECT_EQ(expected, floor->GetReferencePoint().y);
        // Off the middle the nearer one wins.
        EXPECT_EQ(-1.0f, world.FindFloor(Vector3(1, -0.1f, 1))->GetReferencePoint().y);
        EXPECT_EQ(1.0f, world.FindFloor(Vector3(1, 0.1f, 1))->GetReferencePoint().y);
    }
}

TEST(FindFloor, CeilingsAreNeverReturnedAndMissesLeaveThePoint) {
    GeometryLayout layout;
    layout.Add({layout.Point(0, 0, 0), layout.Point(0, 0, 2), layout.Point(2, 0, 2), layout.Point(2, 0, 0)}); // faces down
    ShapeTree tree = MakeGeometryTree(layout);
    CollisionWorld world;
    world.AddShapeTree(tree.get(), IdentityMatrix);
    world.BuildGrid(2, 2, 2);
    Vector3 p(1, 1, 1);
    EXPECT_EQ(nullptr, world.DropToFloor(p));
    EXPECT_FALSE(world.SetFloorHeight(p));
    EXPECT_EQ(1.0f, p.y);
    EXPECT_EQ(nullptr, world.FindFloor(Vector3(5, 1, 1)));
}

TEST(GreatestYInBox, TheLowestCornerOfThePolygonsTouchingTheBox) {
    GeometryLayout layout;
    layout.FloorQuad(0, 0, 1, 1, 0);
    layout.Add({layout.Point(2, 0, 0), layout.Point(3, 0, 0), layout.Point(3, 0.5f, 1), layout.Point(2, 0.5f, 1)});
    ShapeTree tree = MakeGeometryTree(layout);
    CollisionWorld world;
    world.AddShapeTree(tree.get(), IdentityMatrix);
    world.BuildGrid(3, 2, 1);
    Real y = 0;
    world.GreatestYInBox(y, Vector3(0.5f, -1, 0.5f), Vector3(2.5f, 1, 0.6f));
    EXPECT_EQ(0.5f, y);
    world.GreatestYInBox(y, Vector3(0.2f, -1, 0.2f), Vector3(0.8f, 1, 0.8f));
    EXPECT_EQ(0.0f, y);
    world.GreatestYInBox(y, Vector3(5, -1, 5), Vector3(6, 1, 6));
    EXPECT_EQ(-3.4028235e38f, y);
}

// The sample level: a 40 x 40 m slab 0.2 m thick with its top at y = 0, two
// walls, and a ramp 4 m wide rising 1.5 m over z = 0..6.
class SampleLevelFloors : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterAllChunkClasses();
        file = AwModelFile::Open(std::string(TAVRIN_DATA_DIR) + "/Qifs/Level.qif");
        ASSERT_NE(nullptr, file) << "build the sample_data target first";
        AwShape* shape = file->LoadShape("Level", nullptr, nullptr, kConvertMergeQuads);
        ASSERT_NE(nullptr, shape);
        tree = MakeTree(shape, true);
        world.AddShapeTree(tree.get(), IdentityMatrix);
        world.BuildGrid(98, 4, 98);
    }

    std::unique_ptr<AwModelFile> file;
    ShapeTree tree;
    CollisionWorld world;
};

TEST_F(SampleLevelFloors, TheRampTheFloorAndNeverTheSlabsUnderside) {
    struct Case {
        const char* name;
        Vector3 from;
        Real floor;
    };
    const Case cases[] = {
        {"below the ramp's middle", {0, -1, 3}, -0.75f},
        {"beside the ramp", {10, -1, 3}, 0.0f},
        {"under the slab", {10, 1, 3}, 0.0f},
        {"on top of a wall", {0, -4, -19.8f}, -3.0f},
    };
    for (const Case& c : cases) {
        Vector3 p = c.from;
        CollisionPolygon* floor = world.DropToFloor(p);
        ASSERT_NE(nullptr, floor) << c.name;
        EXPECT_NEAR(c.floor, p.y, 1e-5) << c.name;
        EXPECT_TRUE(floor->IsWalkable()) << c.name;
    }
    // Beyond the slab's edge there is nothing.
    EXPECT_EQ(nullptr, world.FindFloor(Vector3(25, -1, 0)));
}

} // namespace
