#include <gtest/gtest.h>

#include <cmath>

#include "Awapi/level_geometry.h"
#include "Awapi/object.h"
#include "Awapi/shape.h"
#include "Tv/world/intersection.h"
#include "tests/tv/world_fixtures.h"

namespace {

const Vector3 kUnset(7, 7, 7);

// A floor triangle on y = 0 whose winding's normal points up (-y), and the same one wound the other way.
const std::vector<Vector3> kFloor = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}};
const std::vector<Vector3> kFloorReversed = {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}};

void ExpectVector(const Vector3& expected, const Vector3& actual, const char* what) {
    EXPECT_NEAR(expected.x, actual.x, 2e-3) << what;
    EXPECT_NEAR(expected.y, actual.y, 2e-3) << what;
    EXPECT_NEAR(expected.z, actual.z, 2e-3) << what;
}

TEST(TriangleContains, EdgesAndCornersBelongToTheTriangle) {
    const Vector3 t0(0, 0, 0), t1(1, 0, 0), t2(0, 0, 1);
    const Vector3 n = Cross(t1 - t0, t2 - t1);
    for (const Vector3& p : {Vector3(0.5f, 0, 0.5f), Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(0.5f, 0, 0)})
        EXPECT_TRUE(TriangleContains(t0, t1, t2, n, p)) << p.x << "," << p.z;
    EXPECT_FALSE(TriangleContains(t0, t1, t2, n, {0.6f, 0, 0.6f}));
    EXPECT_FALSE(TriangleContains(t0, t1, t2, n, {-0.01f, 0, 0.5f}));
    // The inside is decided against the winding's normal: the opposite normal puts the point outside.
    EXPECT_FALSE(TriangleContains(t0, t1, t2, n * -1.0f, {0.2f, 0, 0.2f}));
    // The geometry record's form: a wall in the x = 2 plane, tested in y and z.
    const Vector3 w[3] = {{2, 0, 0}, {2, -1, 0}, {2, 0, 1}};
    const GeometryTriangle wall{{&w[0], &w[1], &w[2]}, Vector3(-1, 0, 0), 0};
    EXPECT_TRUE(GeometryTriangleContains(wall, {2, -0.25f, 0.25f}));
    EXPECT_FALSE(GeometryTriangleContains(wall, {2, 0.25f, 0.25f}));
}

TEST(SegmentHitShape, EndingExactlyOnATriangleHitsAtOneAndParallelPathsNever) {
    ShapeTree tree = MakeTree(MakeMeshShape({kFloor}), false);
    const AwShape& shape = *tree->Slots[0];
    HitRecord r{1.0f, kUnset};
    ASSERT_TRUE(SegmentHitShape(r, shape, Vector3(0.25f, -1, 0.25f), Vector3(0, 1, 0)));
    EXPECT_EQ(1.0f, r.t);
    ExpectVector(Vector3(0, -1, 0), r.normal, "end point");

    // Along the plane itself, and just above it.
    r = HitRecord{1.0f, kUnset};
    EXPECT_FALSE(SegmentHitShape(r, shape, Vector3(-1, 0, 0.25f), Vector3(2, 0, 0)));
    EXPECT_FALSE(SegmentHitShape(r, shape, Vector3(-1, -0.1f, 0.25f), Vector3(2, 0, 0)));
    // Short of the plane.
    EXPECT_FALSE(SegmentHitShape(r, shape, Vector3(0.25f, -1, 0.25f), Vector3(0, 0.99f, 0)));
    EXPECT_EQ(1.0f, r.t);
    // From below: triangles are two-sided, the normal keeps the winding's direction.
    ASSERT_TRUE(SegmentHitShape(r, shape, Vector3(0.25f, 1, 0.25f), Vector3(0, -2, 0)));
    EXPECT_FLOAT_EQ(0.5f, r.t);
    ExpectVector(Vector3(0, -1, 0), r.normal, "from below");
}

TEST(SegmentHitShape, OfTwoTrianglesAtTheSameDistanceTheLaterIsRecorded) {
    for (bool spherePreTest : {false, true}) {
        ShapeTree tree = MakeTree(MakeMeshShape({kFloor, kFloorReversed}), false);
        AwShape& shape = *tree->Slots[0];
        if (spherePreTest) {
            shape.Flags |= kShapeBoundsSet;
            shape.SphereCentre = Vector3(0.5f, 0, 0.5f);
            shape.SphereRadius = 0.75f;
        }
        HitRecord r{1.0f, kUnset};
        ASSERT_TRUE(SegmentHitShape(r, shape, Vector3(0.25f, -1, 0.25f), Vector3(0, 2, 0)));
        EXPECT_FLOAT_EQ(0.5f, r.t);
        ExpectVector(Vector3(0, 1, 0), r.normal, "the later, reversed triangle");
    }
}

TEST(SegmentHitShape, TheBoundsPreTestDecidesWhetherTrianglesAreLookedAt) {
    ShapeTree tree = MakeTree(MakeMeshShape({kFloor}), false);
    AwShape& shape = *tree->Slots[0];
    // A sphere that lies elsewhere hides the triangle.
    shape.Flags |= kShapeBoundsSet;
    shape.SphereCentre = Vector3(10, 0, 10);
    shape.SphereRadius = 1;
    HitRecord r{1.0f, kUnset};
    EXPECT_FALSE(SegmentHitShape(r, shape, Vector3(0.25f, -1, 0.25f), Vector3(0, 2, 0)));
    // So does a box that lies elsewhere.
    shape.Flags &= ~kShapeBoundsSet;
    shape.Min = Vector3(5, 5, 5);
    shape.Max = Vector3(6, 6, 6);
    EXPECT_FALSE(SegmentHitShape(r, shape, Vector3(0.25f, -1, 0.25f), Vector3(0, 2, 0)));
    EXPECT_EQ(1.0f, r.t);
}

TEST(BallisticHitShape, ThrownFallingAndStraightPathsLandOnTheFloor) {
    ShapeTree tree = MakeTree(MakeMeshShape({kFloor}), false);
    const AwShape& shape = *tree->Slots[0];
    struct Case {
        const char* name;
        Vector3 p, v, g;
        Real t;
    };
    const Case cases[] = {
        {"thrown sideways", {0.1f, -2, 0.2f}, {0.2f, 0, 0}, {0, 9.81f, 0}, std::sqrt(4 / 9.81f)},
        {"dropped (velocity along gravity)", {0.2f, -2, 0.2f}, {0, 1, 0}, {0, 2, 0}, 1.0f},
        {"straight (no acceleration)", {0.2f, -2, 0.2f}, {0, 4, 0}, {0, 0, 0}, 0.5f},
    };
    for (const Case& c : cases) {
        HitRecord r{10.0f, kUnset};
        ASSERT_TRUE(BallisticHitShape(r, shape, c.p, c.v, c.g)) << c.name;
        EXPECT_NEAR(c.t, r.t, 1e-4) << c.name;
        ExpectVector(Vector3(0, -1, 0), r.normal, c.name);
        r = HitRecord{c.t * 0.9f, kUnset};
        EXPECT_FALSE(BallisticHitShape(r, shape, c.p, c.v, c.g)) << c.name << " within a shorter limit";
    }
    // Thrown past the triangle.
    HitRecord r{10.0f, kUnset};
    EXPECT_FALSE(BallisticHitShape(r, shape, Vector3(0.1f, -2, 0.2f), Vector3(2, 0, 0), Vector3(0, 9.81f, 0)));
}

// root (no shape, box) -> child at (10, 0, 0) turned a quarter about z, holding the floor triangle.
struct TurnedTree {
    TurnedTree() : root(new AwShapeInstance(nullptr, false)) {
        child = MakeTree(MakeMeshShape({kFloor}), true).release();
        child->SetPosition(10.0f, 0.0f, 0.0f);
        child->SetAngles(0, 0, 1024);
        root->AddChild(child);
    }
    ShapeTree root;
    AwShapeInstance* child;
};

TEST(TvSegmentHitShapeTree, NodesTakeThePathIntoTheirSpaceAndTheNormalBackOut) {
    TurnedTree tree;
    BuildShapeTreeMatrices(*tree.root);
    // The child's triangle stands in the plane x = 10 after the quarter turn.
    Vector3 local(0.25f, 0, 0.25f), world;
    tree.child->GetMatrix()->TransformPoint(world, local);
    ASSERT_NEAR(10.0, world.x, 1e-3);
    HitRecord r{1.0f, kUnset};
    ASSERT_TRUE(TvSegmentHitShapeTree(r, *tree.root, world + Vector3(-1, 0, 0), Vector3(2, 0, 0)));
    EXPECT_NEAR(0.5, r.t, 1e-3);
    Vector3 expected;
    tree.child->GetMatrix()->TransformVector(expected, Vector3(0, -1, 0));
    ExpectVector(expected, r.normal, "turned normal");
    EXPECT_NEAR(1.0, std::fabs(r.normal.x), 2e-3);
}

TEST(TvSegmentHitShapeTree, ThroughABoxThatHoldsNoHitTheRecordStaysAsItWas) {
    ShapeTree node = MakeTree(MakeMeshShape({kFloor}), true);
    // Through the node's box (0..1 on x and z) beside the triangle's long edge.
    HitRecord r{1.0f, kUnset};
    EXPECT_FALSE(TvSegmentHitShapeTree(r, *node, Vector3(0.9f, -1, 0.9f), Vector3(0, 2, 0)));
    EXPECT_EQ(1.0f, r.t);
    ExpectVector(kUnset, r.normal, "untouched");
    // Beside the box.
    EXPECT_FALSE(TvSegmentHitShapeTree(r, *node, Vector3(30, -1, 30), Vector3(0, 2, 0)));
    EXPECT_EQ(1.0f, r.t);
    ASSERT_TRUE(TvSegmentHitShapeTree(r, *node, Vector3(0.2f, -1, 0.2f), Vector3(0, 2, 0)));
    EXPECT_FLOAT_EQ(0.5f, r.t);
}

TEST(TvBallisticHitShapeTree, FallsOntoATranslatedNode) {
    ShapeTree root(new AwShapeInstance(nullptr, false));
    AwShapeInstance* child = MakeTree(MakeMeshShape({kFloor}), true).release();
    child->SetPosition(0.0f, 3.0f, 0.0f);
    root->AddChild(child);
    HitRecord r{10.0f, kUnset};
    ASSERT_TRUE(TvBallisticHitShapeTree(r, *root, Vector3(0.2f, 0, 0.2f), Vector3(0, 0, 0), Vector3(0, 6, 0)));
    EXPECT_NEAR(1.0, r.t, 1e-4);
    ExpectVector(Vector3(0, -1, 0), r.normal, "landing");
}

TEST(ObjectHits, ScaledObjectsAndTheirOwnOrCollisionBoxes) {
    AwShape* shape = MakeMeshShape({kFloor});
    auto* object = new AwObject(shape, true);
    shape->ReleaseUse();
    object->ClearFlagBit31();
    object->SetScale(Vector3(2, 2, 2));
    object->SetPosition(5.0f, 0.0f, 0.0f);
    // Scaled by 2 the triangle reaches x = 7; the point (6.5, 0, 0.2) lies on it.
    HitRecord r{1.0f, kUnset};
    ASSERT_TRUE(SegmentHitObject(r, *object, Vector3(6.5f, -1, 0.2f), Vector3(0, 2, 0)));
    EXPECT_NEAR(0.5, r.t, 1e-4);
    EXPECT_LT(r.normal.y, 0.0f);
    r = HitRecord{10.0f, kUnset};
    ASSERT_TRUE(BallisticHitObject(r, *object, Vector3(6.5f, -1, 0.2f), Vector3(0, 0, 0), Vector3(0, 2, 0)));
    EXPECT_NEAR(1.0, r.t, 1e-4);

    // The own box (0..1 with y 0..0, scaled to 5..7) and, with the flag, the collision box.
    r = HitRecord{1.0f, kUnset};
    EXPECT_TRUE(SegmentHitObjectBounds(r, *object, Vector3(6.5f, -1, 0.2f), Vector3(0, 2, 0)));
    object->CollisionFlag = 1;
    object->CollisionMin = Vector3(0, -1, 0);
    object->CollisionMax = Vector3(0.1f, 0, 0.1f);
    r = HitRecord{1.0f, kUnset};
    EXPECT_FALSE(SegmentHitObjectBounds(r, *object, Vector3(6.5f, -1, 0.2f), Vector3(0, 2, 0)));
    ASSERT_TRUE(BallisticHitObjectBounds(r, *object, Vector3(5.1f, -3, 0.1f), Vector3(0, 0, 0), Vector3(0, 2, 0)));
    EXPECT_NEAR(1.0, r.t, 1e-4);
    // Without an own box, the root node's box stands in.
    object->ReleaseBounds();
    r = HitRecord{1.0f, kUnset};
    EXPECT_TRUE(SegmentHitObjectBounds(r, *object, Vector3(6.5f, -1, 0.2f), Vector3(0, 2, 0)));
    object->Release();
}

} // namespace
