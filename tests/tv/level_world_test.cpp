// The level world over a shape tree: which shape lends the collision
// geometry, the level's boxes, line of sight, the screen picks and the
// teardown.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Awapi/bounding_box.h"
#include "Awapi/camera.h"
#include "Awapi/draw_list.h"
#include "Awapi/model/dummy_object.h"
#include "Awapi/model/model_file.h"
#include "Awapi/object.h"
#include "Awapi/picking.h"
#include "Awapi/shape.h"
#include "Tv/effects/shadow_records.h"
#include "Tv/world/level_shape.h"
#include "Tv/world/level_world.h"
#include "tests/awapi/model_fixture.h"
#include "tests/tv/world_fixtures.h"

namespace {

// A shape holding its own copy of the geometry described.
AwShape* ShapeWithGeometry(const GeometryLayout& layout) {
    ShapeTree tree = MakeGeometryTree(layout);
    AwShape* shape = tree->Slots[0];
    shape->AddUse();
    return shape;
}

// The geometry described, on its own.
std::unique_ptr<LevelGeometry> GeometryOf(const GeometryLayout& layout) {
    ShapeTree tree = MakeGeometryTree(layout);
    std::unique_ptr<LevelGeometry> geometry(tree->Slots[0]->Geometry);
    tree->Slots[0]->Geometry = nullptr;
    return geometry;
}

class LevelWorldTest : public ModelTest {
protected:
    void TearDown() override {
        TvReleaseLevelWorld();
        AwDrawList::Discard();
        AwPickProbes.Clear();
        AwPickCandidates.Clear();
        AwItemPickProbe.inList = false;
        ModelTest::TearDown();
    }

    // The sample level's object, as the map definition builds the world from it.
    LevelWorld* SampleWorld() {
        auto file = AwModelFile::Open(std::string(TAVRIN_DATA_DIR) + "/Qifs/Level.qif");
        EXPECT_NE(nullptr, file) << "build the sample_data target first";
        LevelShape shape;
        if (!file || !LoadLevelShape(*file, "Level", 200, shape)) return nullptr;
        LevelWorldInstance = new LevelWorld(shape.root, shape.origin, shape.geometry.get());
        LevelWorldInstance->BuildShapeTriangleData();
        LevelWorldInstance->BuildGrid(98, 4, 98);
        return LevelWorldInstance;
    }
};

TEST_F(LevelWorldTest, OnlyTheFirstShapeInPostOrderLendsTheGeometryAndEveryShapeKeepsItsOwn) {
    GeometryLayout level, own;
    level.FloorGrid(2, 1, 0, 0, 1, 0);
    own.FloorQuad(5, 5, 6, 6, -2);
    // The root's shape comes after its children; the second child keeps geometry of its own.
    auto* root = new AwShapeInstance(ShapeWithGeometry(own), false);
    root->Slots[0]->ReleaseUse();
    AwShape* first = new AwShape();
    AwShape* second = ShapeWithGeometry(own);
    root->AddChild(new AwShapeInstance(first, false));
    root->AddChild(new AwShapeInstance(second, false));
    first->ReleaseUse();
    second->ReleaseUse();
    AwShape* rootShape = root->Slots[0];
    LevelGeometry* rootGeometry = rootShape->Geometry;
    LevelGeometry* secondGeometry = second->Geometry;
    std::unique_ptr<LevelGeometry> geometry = GeometryOf(level);

    LevelWorldInstance = new LevelWorld(root, Vector3(0, 0, 0), geometry.get());
    const LevelWorld& world = *LevelWorldInstance;
    ASSERT_EQ(1, world.meshes.Count());
    const CollisionMesh& mesh = *world.meshes.Front();
    EXPECT_EQ(2u, mesh.PolygonCount());
    EXPECT_EQ(6u, mesh.vertexCount);
    EXPECT_EQ(0.0f, mesh.boundsMax.y) << "nothing of the other shapes' geometry at y = -2";
    EXPECT_EQ(nullptr, first->Geometry);
    EXPECT_EQ(secondGeometry, second->Geometry);
    EXPECT_EQ(rootGeometry, rootShape->Geometry);
    EXPECT_EQ(root, world.GetRootShape());
    EXPECT_EQ(2u, geometry->Quads.size()) << "the geometry stays the caller's";
}

TEST_F(LevelWorldTest, TheInnerBoxLiesOnePercentInsideOnEveryAxis) {
    GeometryLayout layout;
    layout.FloorQuad(0, 0, 1, 1, 0);
    auto* root = new AwShapeInstance(nullptr, false);
    root->Box = new AwBoundingBox(Vector3(-100, -20, 10), Vector3(100, 0, 30));
    std::unique_ptr<LevelGeometry> geometry = GeometryOf(layout);
    LevelWorldInstance = new LevelWorld(root, Vector3(1, 2, 3), geometry.get());
    const LevelWorld& world = *LevelWorldInstance;
    EXPECT_EQ(0u, world.polygonCount) << "a tree without shapes takes no geometry";
    const struct {
        const char* name;
        Real Vector3::*axis;
        Real innerMin, innerMax;
    } axes[] = {{"x", &Vector3::x, -98, 98}, {"y", &Vector3::y, -19.8f, -0.2f}, {"z", &Vector3::z, 10.2f, 29.8f}};
    for (const auto& a : axes) {
        EXPECT_NEAR(a.innerMin, world.innerMin.*a.axis, 1e-4) << a.name;
        EXPECT_NEAR(a.innerMax, world.innerMax.*a.axis, 1e-4) << a.name;
    }
    EXPECT_EQ(-100.0f, world.boxMin.x);
    EXPECT_EQ(0.0f, world.boxMax.y);
    EXPECT_EQ(-2.0f, world.negatedOrigin.y);
}

TEST_F(LevelWorldTest, LineOfSightIsBlockedByTheLevelAndFreeWithoutOne) {
    Vector3 out(7, 7, 7);
    EXPECT_TRUE(TvLevelSegmentHit(Vector3(0, -5, 0), Vector3(0, 5, 0), &out)) << "no level world";
    ASSERT_NE(nullptr, SampleWorld());
    EXPECT_TRUE(TvLevelSegmentHit(Vector3(-5, -2, -5), Vector3(5, -2, -5), &out)) << "in the open air";
    EXPECT_EQ(7.0f, out.x);
    EXPECT_FALSE(TvLevelSegmentHit(Vector3(-5, -1, -5), Vector3(-5, 1, -5), &out)) << "through the floor";
    EXPECT_NEAR(0.0f, out.y, 1e-5);
    EXPECT_EQ(-5.0f, out.x);
    EXPECT_FALSE(TvLevelSegmentHit(Vector3(-10, -1, 10), Vector3(-10, -1, 16))) << "through the middle wall";
    EXPECT_TRUE(TvLevelSegmentHit(Vector3(10, -1, 10), Vector3(10, -1, 16))) << "through its gap";
}

TEST_F(LevelWorldTest, LookingDownTheCentrePointLiesOnTheFloor) {
    ASSERT_NE(nullptr, SampleWorld());
    LevelWorld& world = *LevelWorldInstance;
    AwCamera camera;
    camera.SetViewportSize(0.4f, 0.3f);
    camera.primaryRange.Near = 1.0f;
    camera.primaryRange.Far = 200.0f;
    camera.UpdateDepthRange();
    camera.SetAngleX(1024); // straight down (+y)
    auto lookFrom = [&](const Vector3& position) {
        camera.position = position;
        camera.viewDirty = camera.dirty = true;
        camera.Update();
        camera.ApplyViewport();
        camera.ApplyTransforms();
        AwCurrentCamera = &camera;
        world.UpdatePick();
    };
    lookFrom(Vector3(-5, -20, -7));
    ASSERT_TRUE(world.centrePointValid);
    EXPECT_EQ(0.0f, world.centrePoint.y);
    // The hit point is the centre of the triangle hit: within the 2 m tile under the view's centre.
    EXPECT_NEAR(-5.0f, world.centrePoint.x, 1.0f);
    EXPECT_NEAR(-7.0f, world.centrePoint.z, 1.0f);
    EXPECT_FALSE(world.centreProbe.inList) << "the probe leaves the list until the next frame";

    lookFrom(Vector3(60, -20, 60)); // beyond the level's edge
    EXPECT_FALSE(world.centrePointValid);
    AwCurrentCamera = nullptr;
}

TEST_F(LevelWorldTest, TheCursorPointFollowsTheProbe) {
    ASSERT_NE(nullptr, SampleWorld());
    LevelWorld& world = *LevelWorldInstance;
    AwPickProbe probe;
    probe.hitThisFrame = true;
    probe.hitPosition = Vector3(1, 0, 2);
    world.TakeCursorPick(probe);
    EXPECT_TRUE(world.cursorPointValid);
    EXPECT_EQ(2.0f, world.cursorPoint.z);
    probe.hitThisFrame = false; // the cursor outside the level
    world.TakeCursorPick(probe);
    EXPECT_FALSE(world.cursorPointValid);
    AwItemPickProbe.hitPosition = Vector3(3, 0, 4);
    world.OnPick();
    EXPECT_TRUE(world.cursorPointValid);
    EXPECT_EQ(3.0f, world.cursorPoint.x);
}

struct CountedEdge : ShadowEdge {
    explicit CountedEdge(int& live) : live_(live) { ++live_; }
    ~CountedEdge() override { --live_; }
    int& live_;
};

TEST_F(LevelWorldTest, TheTeardownDropsTheLevelsReferenceAndTheWorldGoesWithTheLast) {
    ASSERT_NE(nullptr, SampleWorld());
    LevelWorld* world = LevelWorldInstance;
    int liveEdges = 0;
    world->shadowEdges.PushBack(new CountedEdge(liveEdges));
    world->shadowVolumes.PushBack(new LevelShadowVolume);
    LevelDummyList.push_back(AwDummyObject());
    world->AddRef(); // a saved-game load's hold
    TvReleaseLevelWorld();
    EXPECT_EQ(nullptr, LevelWorldInstance);
    EXPECT_TRUE(LevelDummyList.empty());
    EXPECT_EQ(1, liveEdges) << "still held";
    world->Release();
    EXPECT_EQ(0, liveEdges);
}

} // namespace
