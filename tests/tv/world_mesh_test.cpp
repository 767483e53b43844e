#include <gtest/gtest.h>

#include <cmath>

#include "Tv/world/collision_world.h"
#include "tests/tv/world_fixtures.h"

namespace {

TEST(CollisionMesh, NormalsAreTransformedFlagsMaskedAndFlatNormalsNudged) {
    GeometryLayout layout;
    const int a = layout.Point(0, 0, 0), b = layout.Point(1, 0, 0), c = layout.Point(0, 0, 1), d = layout.Point(1, 0, 1);
    layout.Add({a, b, c}, 0xFFFFFFFFu).normal = Vector3(0, -1, 0);
    layout.Add({b, d, c}, 0xFFC0003Eu).normal = Vector3(0, -1, 0);
    layout.Add({a, b, c}).normal = Vector3(1, 0.0f, 0);   // a wall: y exactly +0
    layout.Add({a, b, c}).normal = Vector3(1, -0.0f, 0);  // and -0
    layout.Add({a, b, c}).normal = Vector3(1, -1, 0);     // 45 degrees: not steep
    layout.Add({a, b, c}).normal = Vector3(1, -0.99f, 0); // just steeper
    ShapeTree tree = MakeGeometryTree(layout);
    Matrix34 placement;
    placement.MakeScale(Vector3(2, 2, 2));
    placement.SetTranslation(Vector3(10, 0, 0));
    CollisionMesh mesh(tree.get(), placement);

    ASSERT_EQ(6u, mesh.triangleCount);
    EXPECT_EQ(0.0f, mesh.triangles[0].normal.x);
    EXPECT_EQ(-2.0f, mesh.triangles[0].normal.y); // transformed, not renormalised
    EXPECT_EQ(0x3FFFC1u, mesh.triangles[0].flags);
    EXPECT_EQ(0u, mesh.triangles[1].flags);
    for (int i : {2, 3}) {
        EXPECT_EQ(-0.00001f, mesh.triangles[i].normal.y) << i;
        EXPECT_TRUE(mesh.triangles[i].IsSteep()) << i;
        EXPECT_TRUE(mesh.triangles[i].IsFloorFacing()) << i;
    }
    EXPECT_FALSE(mesh.triangles[4].IsSteep());
    EXPECT_TRUE(mesh.triangles[5].IsSteep());

    // Points through the placement; a corner shared within the mesh is one vertex.
    EXPECT_EQ(4u, mesh.vertexCount);
    EXPECT_EQ(mesh.triangles[0].corners[1], mesh.triangles[1].corners[0]);
    EXPECT_EQ(12.0f, mesh.triangles[0].corners[1]->x);
    EXPECT_EQ(10.0f, mesh.boundsMin.x);
    EXPECT_EQ(12.0f, mesh.boundsMax.x);
    EXPECT_EQ(2.0f, mesh.boundsMax.z);
    // The reference point is the corners' mean.
    EXPECT_FLOAT_EQ(32.0f / 3.0f, mesh.triangles[0].GetReferencePoint().x);
    EXPECT_FLOAT_EQ(2.0f / 3.0f, mesh.triangles[0].GetReferencePoint().z);
    EXPECT_EQ(tree.get(), mesh.triangles[3].owner);
}

TEST(CollisionMesh, TheTreeIsTakenChildrenFirstUnderTheRootsMatrixOnly) {
    GeometryLayout rootLayout, childLayout;
    rootLayout.FloorQuad(0, 0, 1, 1, 0);
    childLayout.FloorQuad(0, 0, 1, 1, -5);
    childLayout.Add({childLayout.Point(0, -5, 0), childLayout.Point(1, -5, 0), childLayout.Point(0, -5, 1)});
    ShapeTree root = MakeGeometryTree(rootLayout);
    ShapeTree child = MakeGeometryTree(childLayout);
    child->SetPosition(100.0f, 0.0f, 0.0f); // ignored: only the root's matrix places the mesh
    root->AddChild(child.release());
    root->SetPosition(1.0f, 0.0f, 0.0f);

    CollisionMesh mesh(root.get(), IdentityMatrix);
    ASSERT_EQ(1u, mesh.triangleCount);
    ASSERT_EQ(2u, mesh.quadCount);
    EXPECT_EQ(-5.0f, mesh.quads[0].corners[0]->y); // the child's quad first
    EXPECT_EQ(1.0f, mesh.quads[0].corners[0]->x);
    EXPECT_EQ(0.0f, mesh.quads[1].corners[0]->y);
    EXPECT_EQ(7u + 4u, mesh.vertexCount);
    // The root's points follow the child's seven.
    EXPECT_EQ(&mesh.vertices[7], mesh.quads[1].corners[0]);
    EXPECT_NE(mesh.quads[0].corners[0], mesh.triangles[0].corners[0]); // different source points
}

} // namespace
