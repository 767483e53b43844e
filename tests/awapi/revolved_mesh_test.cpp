#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/draw_list.h"
#include "Awapi/mesh_part.h"
#include "Awapi/revolved_mesh.h"
#include "platform/d3d/device3d.h"
#include "tests/awapi/scene_fixture.h"

namespace {

const float* Position(const AwRevolvedShape& shape, uint32_t index) {
    return reinterpret_cast<const float*>(shape.Part().Vertices.data() + index * 36u);
}

TEST_F(SceneTest, ARevolvedShapeIsAClosedGridOfQuads) {
    auto* shape = new AwRevolvedShape(8, 2);
    const AwMeshPart& part = shape->Part();
    EXPECT_EQ(part.VertexCount, 24u);
    EXPECT_EQ(part.IndexCount, 96u);
    EXPECT_EQ(part.Stride(), 36u);
    EXPECT_EQ(part.Texture, NullTexture);
    for (uint8_t byte : part.Vertices) ASSERT_EQ(byte, 0);

    // Every edge between neighbouring grid points is used, the seam included,
    // and each quad's two triangles share its diagonal.
    std::set<std::pair<int, int>> edges;
    for (uint32_t i = 0; i < part.IndexCount; i += 3) {
        for (int k = 0; k < 3; ++k) {
            const int a = part.Indices[i + k], b = part.Indices[i + (k + 1) % 3];
            ASSERT_LT(a, 24);
            edges.insert({std::min(a, b), std::max(a, b)});
        }
    }
    for (int r = 0; r <= 2; ++r)
        for (int s = 0; s < 8; ++s) {
            const int here = s + 8 * r, around = (s + 1) % 8 + 8 * r;
            EXPECT_TRUE(edges.count({std::min(here, around), std::max(here, around)})) << here << "-" << around;
            if (r < 2) {
                EXPECT_TRUE(edges.count({here, here + 8})) << here;
            }
        }
    shape->ReleaseUse();
}

TEST_F(SceneTest, RingsMoveTheirVerticesAndTheBounds) {
    AwRevolvedObject object(8, 2);
    object.SetRingRadius(1, 2.0f);
    object.SetRingRadius(0, 0.5f);
    EXPECT_FLOAT_EQ(object.Min.x, -2.0f);
    EXPECT_FLOAT_EQ(object.Max.z, 2.0f);
    object.SetRingHeight(0, 3.0f);
    object.SetRingHeight(2, -1.0f);
    EXPECT_FLOAT_EQ(object.Max.y, -3.0f);
    EXPECT_FLOAT_EQ(object.Min.y, 1.0f);

    const AwRevolvedShape& shape = *object.Shape;
    const float* quarter = Position(shape, 2 + 8); // segment 2 of ring 1: a quarter turn
    EXPECT_NEAR(quarter[0], 2.0f, 1e-5f);
    EXPECT_NEAR(quarter[2], 0.0f, 1e-5f);
    EXPECT_FLOAT_EQ(Position(shape, 5)[1], -3.0f);
    EXPECT_FLOAT_EQ(Position(shape, 16)[1], 1.0f);
    EXPECT_FLOAT_EQ(Position(shape, 16)[3], 0.0f) << "normals stay zero";

    object.SetRingRadius(7, 100.0f); // no such ring
    EXPECT_FLOAT_EQ(object.Max.x, 2.0f);
}

TEST_F(SceneTest, ARevolvedObjectDrawsFromTheDrawList) {
    AwRevolvedObject object(6, 3);
    object.SetRingRadius(0, 1.0f);
    object.SetRingRadius(3, 1.0f);
    object.SetRingHeight(3, 2.0f);
    object.Queue();
    AwDevice.Direct3DDevice->BeginScene();
    AwDrawList::Render();
    AwDevice.Direct3DDevice->EndScene();
    ASSERT_FALSE(backend->Draws().empty());
    EXPECT_EQ(backend->Draws().back().indexCount, 6u * 3 * 6);
}

TEST_F(SceneTest, RevolvedCountsAreKeptWithinSixteenBitIndices) {
    AwRevolvedShape* tiny = new AwRevolvedShape(0, 0);
    EXPECT_EQ(tiny->Part().VertexCount, 2u);
    tiny->ReleaseUse();
    AwRevolvedShape* huge = new AwRevolvedShape(1000, 1000);
    EXPECT_LE(huge->Part().VertexCount, 65535u);
    EXPECT_LE(huge->Part().IndexCount, 65535u);
    EXPECT_EQ(huge->Part().Indices.size(), huge->Part().IndexCount);
    for (uint16_t index : huge->Part().Indices) ASSERT_LT(index, huge->Part().VertexCount);
    huge->ReleaseUse();
}

} // namespace
