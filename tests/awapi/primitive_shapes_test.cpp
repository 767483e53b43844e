#include <gtest/gtest.h>

#include <vector>

#include "Awapi/aw3d/texture.h"
#include "Awapi/mesh_part.h"
#include "Awapi/shape.h"
#include "Awapi/vertex_buffer_pool.h"
#include "tests/awapi/scene_fixture.h"

namespace {

using PrimitiveShapeTest = SceneTest;

struct Vertex {
    float x, y, z, nx, ny, nz, u, v;
};

const Vertex& VertexOf(const AwMeshPart* part, uint32_t i) {
    return reinterpret_cast<const Vertex*>(part->Vertices.data())[i];
}

AwShape* Build(int32_t type, int32_t a, int32_t b = 0, int32_t c = 0, int32_t d = 0, AwTexture* texture = nullptr) {
    AwPrimitiveDesc desc;
    desc.type = type;
    desc.a = a;
    desc.b = b;
    desc.c = c;
    desc.d = d;
    desc.texture = texture;
    return AwShape::ConstructPrimitive(desc);
}

TEST_F(PrimitiveShapeTest, EveryTypeHasItsCountsAndIndicesWithinItsVertices) {
    struct Case {
        int32_t type, a, b, c;
        int parts;
        uint32_t vertices, indices; // of the first part
    };
    const Case cases[] = {
        {0, 1024, 1024, 0, 1, 3, 3},   {1, 1024, 1024, 0, 1, 4, 6},  {2, 2, 3, 0, 1, 4, 6},
        {3, 1, 1, 0, 1, 8, 12},        {4, 300, 200, 64, 20, 4, 6},  {5, 30, 20, 10, 1, 12, 36},
        {6, 0, 0, 0, 1, 8, 36},        {7, 1, 1, 0, 1, 7, 9},        {8, 0, 0, 0, 1, 6, 18},
        {9, 16, 0, 0, 1, 64, 192},     {10, 12, 1, 2, 1, 48, 144},   {11, 2, 8, 0, 1, 50, 336},
        {12, 1, 1, 1, 0, 0, 0},        {-1, 1, 1, 1, 0, 0, 0},
        // Beyond 16-bit counts, or without cells: no part rather than a wrapped one.
        {5, 1000, 1000, 1, 0, 0, 0},   {11, 1, 200, 0, 0, 0, 0},     {4, 300, 200, 0, 0, 0, 0},
        {4, 100000, 100000, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        AwShape* shape = Build(c.type, c.a, c.b, c.c);
        ASSERT_EQ(shape->Parts.Count(), c.parts) << "type " << c.type;
        for (const AwMeshPart* part : shape->Parts) {
            EXPECT_EQ(part->VertexFormat, 0x112u);
            for (uint16_t index : part->Indices) ASSERT_LT(index, part->VertexCount) << "type " << c.type;
        }
        if (c.parts) {
            EXPECT_EQ(shape->Parts.Front()->VertexCount, c.vertices) << "type " << c.type;
            EXPECT_EQ(shape->Parts.Front()->IndexCount, c.indices) << "type " << c.type;
        }
        shape->ReleaseUse();
    }
}

TEST_F(PrimitiveShapeTest, TiledAreaCutsRightTileFirstWithPartialCoordinates) {
    AwTexture texture;
    AwShape* shape = Build(4, 300, 200, 256, 0, &texture);
    ASSERT_EQ(shape->Parts.Count(), 2);
    const AwMeshPart* right = shape->Parts.Front();
    const AwMeshPart* left = shape->Parts.Back();
    EXPECT_NEAR(VertexOf(right, 0).x, 256.0f / 300, 0.001f);
    EXPECT_EQ(VertexOf(right, 1).x, 1.0f);
    EXPECT_FLOAT_EQ(VertexOf(right, 2).u, 44.0f / 256);
    EXPECT_EQ(VertexOf(left, 0).x, 0.0f);
    EXPECT_NEAR(VertexOf(left, 1).x, 256.0f / 300, 0.001f);
    EXPECT_EQ(VertexOf(left, 2).u, 1.0f);
    for (const AwMeshPart* part : {right, left}) {
        EXPECT_EQ(VertexOf(part, 0).y, 0.0f);
        EXPECT_EQ(VertexOf(part, 2).y, 1.0f);
        EXPECT_FLOAT_EQ(VertexOf(part, 2).v, 200.0f / 256);
        EXPECT_EQ(part->Texture, &texture);
        EXPECT_NE(part->SharedBuffer, nullptr);
        EXPECT_EQ(part->Indices, (std::vector<uint16_t>{0, 1, 3, 1, 2, 3}));
    }
    EXPECT_EQ(shape->TexturesInUse.Count(), 1);
    shape->ReleaseUse();
    EXPECT_TRUE(AwVertexBufferList.IsEmpty());
}

TEST_F(PrimitiveShapeTest, TextureQuadMapsTheGivenRectangle) {
    for (int32_t right : {1024, 512}) {
        AwShape* shape = Build(1, right, 1024, 0, 0);
        const AwMeshPart* part = shape->Parts.Front();
        EXPECT_EQ(VertexOf(part, 0).u, 0.0f);
        EXPECT_EQ(VertexOf(part, 2).u, right / 1024.0f);
        EXPECT_EQ(VertexOf(part, 2).v, 1.0f);
        EXPECT_EQ(VertexOf(part, 2).x, 1.0f);
        // Untextured parts draw from system memory.
        EXPECT_EQ(part->SharedBuffer, nullptr);
        shape->ReleaseUse();
    }
}

TEST_F(PrimitiveShapeTest, OneCellGridAndTheSphereCaps) {
    AwShape* grid = Build(5, 16, 16, 16);
    EXPECT_EQ(grid->Parts.Front()->Indices, (std::vector<uint16_t>{0, 1, 2, 2, 1, 3}));
    EXPECT_EQ(VertexOf(grid->Parts.Front(), 3).x, 1.0f);
    grid->ReleaseUse();

    // Sphere of radius 2 with 8 steps: 6 rings of 8, then the poles.
    AwShape* sphere = Build(11, 2, 8);
    const AwMeshPart* part = sphere->Parts.Front();
    EXPECT_EQ(VertexOf(part, 48).z, -2.0f);
    EXPECT_EQ(VertexOf(part, 49).z, 2.0f);
    for (uint32_t i = 0; i < 48; ++i) {
        const Vertex& v = VertexOf(part, i);
        EXPECT_NEAR(v.x * v.x + v.y * v.y + v.z * v.z, 4.0f, 0.01f);
    }
    // The last cap triangle joins the last ring to the north pole.
    const size_t n = part->Indices.size();
    EXPECT_EQ(part->Indices[n - 1], 49);
    EXPECT_EQ(part->Indices[n - 3], 40);
    sphere->ReleaseUse();
}

} // namespace
