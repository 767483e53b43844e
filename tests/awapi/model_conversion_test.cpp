#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/level_geometry.h"
#include "Awapi/mesh_part.h"
#include "Awapi/model/model_file.h"
#include "Awapi/model/weld_vertex.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "chunkfile/light_chunks.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/shape_chunk.h"
#include "chunkfile/shapeext_chunks.h"
#include "tests/awapi/model_fixture.h"

namespace {

class ModelConversionTest : public ModelTest {
protected:
    // Converts the shape of the first object named "S".
    AwShape* Convert(const ChunkShapeData& data, const std::vector<BitmapSpec>& bitmaps = {},
                     std::vector<uint32_t> tints = {}) {
        if (!bitmaps.empty()) AddEnvironment(*tree, 1.0, bitmaps);
        ObjectChunk* object = AddObject(*tree, "S", data);
        if (!tints.empty()) new VertexTintChunk(object, "light", std::move(tints));
        file = AwModelFile::FromTree(std::move(tree));
        return file->LoadShape("S", nullptr, nullptr, 0);
    }
    static WeldVertex VertexOf(const AwMeshPart& part, uint32_t i) {
        WeldVertex w;
        std::memcpy(&w, &part.Vertices[i * sizeof(WeldVertex)], sizeof w);
        return w;
    }
    std::unique_ptr<AwModelFile> file;
};

TEST_F(ModelConversionTest, UntexturedSquareWeldsItsSharedEdgeAndReferencesTheNullTexture) {
    const int32_t nullRefs = NullTexture->RefCount;
    AwShape* shape = Convert(SquareShape());
    ASSERT_EQ(1, shape->Parts.Count());
    const AwMeshPart& part = *shape->Parts.Front();
    EXPECT_EQ(0x152u, part.VertexFormat);
    EXPECT_EQ(4u, part.VertexCount);
    EXPECT_EQ(6u, part.IndexCount);
    EXPECT_EQ(NullTexture, part.Texture);
    // The last polygon comes first, its corners in reverse order: (3, 2, 0).
    EXPECT_EQ((std::vector<uint16_t>{0, 1, 2, 1, 3, 2}), part.Indices);
    const WeldVertex first = VertexOf(part, 0);
    EXPECT_FLOAT_EQ(1.0f, first.y);
    EXPECT_EQ(0xFFFFFFFFu, first.diffuse);
    EXPECT_EQ(0.0f, first.u);
    EXPECT_EQ(nullRefs + 1, NullTexture->RefCount);
    // Bounds from the corners (the record has no radius).
    EXPECT_FLOAT_EQ(0.5f, shape->SphereCentre.x);
    EXPECT_NEAR(0.7071f, shape->SphereRadius, 0.001f);
    // Converted shapes mark their bounds; they are not exempt from culling.
    EXPECT_EQ(kShapeBoundsSet, shape->Flags);
    {
        AwShapeInstance node(shape, false);
        EXPECT_EQ(0u, node.NodeFlags & kNodeNeverCull);
    }
    ASSERT_NE(nullptr, shape->Geometry);
    EXPECT_EQ(2u, shape->Geometry->Triangles.size());
    EXPECT_EQ(4u, shape->Geometry->Points.size());
    shape->ReleaseUse();
    EXPECT_EQ(nullRefs, NullTexture->RefCount);
}

TEST_F(ModelConversionTest, TexturedCornersWeldOnlyWithEqualTextureCoordinates) {
    struct Case {
        float sharedU;
        uint32_t vertices;
    };
    for (const Case c : {Case{64, 4}, Case{63, 5}}) {
        SCOPED_TRACE(c.sharedU);
        tree = std::make_unique<FileChunk>();
        ChunkShapeData data = SquareShape(5, 0);
        data.uvLists[1].pairs[1].u = c.sharedU;
        AwShape* shape = Convert(data, {{0, "skin.bmp", 64, 32}});
        ASSERT_EQ(1, shape->Parts.Count());
        const AwMeshPart& part = *shape->Parts.Front();
        EXPECT_EQ(c.vertices, part.VertexCount);
        AwTexture* skin = TextureManager.Find("skin.bmp");
        ASSERT_NE(nullptr, skin);
        EXPECT_EQ(skin, part.Texture);
        float largestU = 0;
        for (uint32_t i = 0; i < part.VertexCount; ++i) largestU = std::max(largestU, VertexOf(part, i).u);
        EXPECT_EQ(1.0f, largestU); // 64 texels of a 64-wide texture
        EXPECT_EQ(1, skin->KeepCount);
        shape->ReleaseUse();
        EXPECT_EQ(0, skin->RefCount);
        skin->KeepCount = 0;
        file.reset();
    }
}

TEST_F(ModelConversionTest, SparseTextureNumbersDrawWithTheirOwnTexture) {
    AwShape* shape = Convert(SquareShape(5, 9), {{0, "first.bmp", 64, 64}, {9, "ninth.bmp", 64, 32}});
    ASSERT_EQ(1, shape->Parts.Count());
    AwTexture* ninth = TextureManager.Find("ninth.bmp");
    ASSERT_NE(nullptr, ninth);
    EXPECT_EQ(ninth, shape->Parts.Front()->Texture);
    EXPECT_EQ(6u, shape->Parts.Front()->IndexCount);
    shape->ReleaseUse();
    ninth->KeepCount = 0;
}

TEST(VertexWeld, HashFoldsPositionNormalAndTextureBitsButNotTheColour) {
    WeldVertex a{1.0f, 0, 0, 0, 0, 0, 0xFFFFFFFFu, 0, 0};
    EXPECT_EQ(0x3C67BFFEu, VertexWeldHash(a));
    WeldVertex b{1.0f, 2.0f, 0, -1.0f, 0, 0, 0xFF123456u, 0.5f, 0};
    EXPECT_EQ(0xF08E7DFCu, VertexWeldHash(b));
    WeldVertex tinted = a;
    tinted.diffuse = 0xFF000000u;
    EXPECT_EQ(VertexWeldHash(a), VertexWeldHash(tinted));
    EXPECT_TRUE(VertexWeldEqual(a, tinted));
    tinted.v = 0.25f;
    EXPECT_FALSE(VertexWeldEqual(a, tinted));
}

TEST(VertexWeld, TablesGrowWithThePointsButNotPastTheirEntries) {
    struct Case {
        int32_t points;
        uint32_t entries;
        uint32_t bits;
    };
    for (const Case c : {Case{0, 0, 1}, Case{15, 100, 1}, Case{16, 100, 2}, Case{1000, 3000, 7},
                         Case{1 << 20, 1 << 20, 18}, Case{1 << 20, 3, 2}, Case{INT32_MAX, 6, 3}}) {
        SCOPED_TRACE(c.points);
        EXPECT_EQ(c.bits, WeldTableBits(c.points, c.entries));
    }
}

TEST_F(ModelConversionTest, CornersDifferingOnlyInTintTakeTheFirstVisitedColour) {
    ChunkShapeData data = SquareShape();
    data.points.push_back(data.points[2]); // point 4 doubles point 2
    data.vertexNormals.push_back(data.vertexNormals[2]);
    data.polygons[1].vertices[1] = 4;
    AwShape* shape = Convert(data, {}, {0x010101, 0x020202, 0x030303, 0x040404, 0x050505});
    const AwMeshPart& part = *shape->Parts.Front();
    EXPECT_EQ(4u, part.VertexCount);
    // The last polygon is converted first, so the doubled corner has point 4's tint.
    bool found = false;
    for (uint32_t i = 0; i < part.VertexCount; ++i)
        if (VertexOf(part, i).x == 1.0f && VertexOf(part, i).y == 1.0f) {
            EXPECT_EQ(0xFF050505u, VertexOf(part, i).diffuse);
            found = true;
        }
    EXPECT_TRUE(found);
    shape->ReleaseUse();
}

ChunkShapeData LooseTriangles(int32_t count) {
    ChunkShapeData d;
    for (int32_t t = 0; t < count; ++t) {
        for (int32_t k = 0; k < 3; ++k) d.points.push_back({t * 10 + k, k, 0});
        ChunkPolygon p;
        p.vertexCount = 3;
        for (int32_t k = 0; k < 3; ++k) p.vertices[k] = 3 * t + k;
        d.polygons.push_back(p);
    }
    d.pointCount = static_cast<int32_t>(d.points.size());
    d.polygonCount = count;
    return d;
}

TEST_F(ModelConversionTest, MeshPartsHoldAtMostThirtyThousandVertices) {
    struct Case {
        int32_t triangles;
        std::vector<uint32_t> parts;
    };
    for (const Case& c : {Case{10000, {30000}}, Case{10001, {30000, 3}}}) {
        tree = std::make_unique<FileChunk>();
        AwShape* shape = Convert(LooseTriangles(c.triangles));
        std::vector<uint32_t> counts;
        for (const AwMeshPart* part : shape->Parts) counts.push_back(part->VertexCount);
        EXPECT_EQ(c.parts, counts);
        shape->ReleaseUse();
        file.reset();
    }
}

TEST_F(ModelConversionTest, BadFileIndicesAreNotDrawnAndMissingArraysGiveDefaults) {
    ChunkShapeData data = SquareShape(5, 0);
    data.pointCount = INT32_MAX;          // a header that claims far more points than follow
    data.vertexNormals.clear();           // no normals
    data.uvLists.resize(1);               // polygon 1 names a missing uv list
    ChunkPolygon bad = data.polygons[0];
    bad.vertices[2] = 99;                 // no such point
    data.polygons.push_back(bad);
    ChunkPolygon farTexture = data.polygons[0];
    farTexture.SetTextureIndex(77);       // beyond the table
    data.polygons.push_back(farTexture);
    ChunkPolygon hidden = data.polygons[0];
    hidden.flags = 1;                     // collision only
    data.polygons.push_back(hidden);
    AwShape* shape = Convert(data, {{0, "skin.bmp", 64, 32}}, {0x111111});
    ASSERT_EQ(1, shape->Parts.Count());
    const AwMeshPart& part = *shape->Parts.Front();
    EXPECT_EQ(6u, part.IndexCount); // only the two good polygons are drawn
    for (uint32_t i = 0; i < part.VertexCount; ++i) EXPECT_EQ(0.0f, VertexOf(part, i).nz);
    EXPECT_EQ(4u, shape->Geometry->Triangles.size()); // the bad-corner polygon is left out
    TextureManager.Find("skin.bmp")->KeepCount = 0;
    shape->ReleaseUse();
}

TEST_F(ModelConversionTest, StoredRadiusIsScaled) {
    ObjectChunk* object = AddObject(*tree, "S", SquareShape());
    object->GetShapeChunk()->Data().radius = 2.0f;
    object->GetShapeChunk()->Data().centre = {1000, 0, 0};
    file = AwModelFile::FromTree(std::move(tree));
    AwShape* shape = file->LoadShape("S", nullptr, nullptr, 0);
    EXPECT_FLOAT_EQ(0.002f, shape->SphereRadius);
    EXPECT_FLOAT_EQ(1.0f, shape->SphereCentre.x);
    shape->ReleaseUse();
}

TEST_F(ModelConversionTest, MergeTableIsAppliedOnlyOnce) {
    ObjectChunk* object = AddObject(*tree, "S", SquareShape());
    const int32_t table[] = {1, 0};
    new MergeDataChunk(object->GetShapeChunk(), table);
    file = AwModelFile::FromTree(std::move(tree));
    for (int pass = 0; pass < 2; ++pass) {
        AwShape* shape = file->LoadShape("S", nullptr, nullptr, kConvertMergeQuads);
        EXPECT_EQ(2u, shape->Parts.Front()->IndexCount / 3); // drawn before merging
        EXPECT_EQ(1u, shape->Geometry->Quads.size());
        EXPECT_EQ(0u, shape->Geometry->Triangles.size());
        shape->ReleaseUse();
    }
    EXPECT_EQ(nullptr, object->GetShapeChunk()->FindChild("SHPMRGDT"));
}

} // namespace
