#include <gtest/gtest.h>

#include <vector>

#include "chunkfile/shape_merge.h"

namespace {

ChunkPolygon Triangle(int32_t a, int32_t b, int32_t c, int32_t type = 1, uint32_t texture = 0) {
    ChunkPolygon p;
    p.type = type;
    p.normalIndex = 99;
    p.texture = texture;
    p.vertexCount = 3;
    p.vertices[0] = a;
    p.vertices[1] = b;
    p.vertices[2] = c;
    return p;
}

ChunkShapeData Shape(std::vector<ChunkPolygon> polygons) {
    ChunkShapeData r;
    r.polygonCount = static_cast<int32_t>(polygons.size());
    for (size_t i = 0; i < polygons.size(); ++i) r.polygonNormals.push_back({float(i), 0, 0});
    r.polygons = std::move(polygons);
    return r;
}

std::vector<int32_t> Vertices(const ChunkPolygon& p) { return {p.vertices, p.vertices + p.vertexCount}; }

TEST(MergeTrianglePairs, TrianglesSharingAnEdgeBecomeOneQuad) {
    ChunkShapeData r = Shape({Triangle(0, 1, 2), Triangle(2, 1, 3)});
    const int32_t table[] = {1, 0};
    ASSERT_TRUE(MergeTrianglePairs(r, table));
    ASSERT_EQ(1u, r.polygons.size());
    EXPECT_EQ(1, r.polygonCount);
    EXPECT_EQ((std::vector<int32_t>{0, 1, 3, 2}), Vertices(r.polygons[0]));
    EXPECT_EQ(0, r.polygons[0].normalIndex);
    ASSERT_EQ(1u, r.polygonNormals.size());
    EXPECT_EQ(0.0f, r.polygonNormals[0].x); // the first triangle's normal
}

TEST(MergeTrianglePairs, UnpairedAndUnmergeablePolygonsKeepTheirOrderWithRenumberedNormals) {
    // 1 and 2 share only vertex 5: the walk cannot close a quad.
    ChunkShapeData r = Shape({Triangle(0, 1, 2), Triangle(3, 4, 5), Triangle(5, 6, 7), Triangle(8, 9, 10)});
    const int32_t table[] = {-1, 2, 1, -1};
    ASSERT_TRUE(MergeTrianglePairs(r, table));
    ASSERT_EQ(4u, r.polygons.size());
    const int32_t firstVertices[] = {0, 3, 5, 8};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(firstVertices[i], r.polygons[i].vertices[0]);
        EXPECT_EQ(static_cast<int32_t>(i), r.polygons[i].normalIndex);
        EXPECT_EQ(float(i), r.polygonNormals[i].x);
    }
}

TEST(MergeTrianglePairs, PlainPairsMergeOnlyWhenTheirAttributesMatch) {
    struct Case {
        const char* what;
        ChunkPolygon second;
        bool merges;
    };
    ChunkPolygon otherFlags = Triangle(2, 1, 3);
    otherFlags.flags = 4;
    ChunkPolygon quad = Triangle(2, 1, 3);
    quad.vertexCount = 4;
    quad.vertices[3] = 9;
    const Case cases[] = {
        {"same attributes", Triangle(2, 1, 3), true},
        {"another type", Triangle(2, 1, 3, 2), false},
        {"another texture word", Triangle(2, 1, 3, 1, 0x10000), false},
        {"other flags", otherFlags, false},
        {"a quad", quad, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        ChunkShapeData r = Shape({Triangle(0, 1, 2), k.second});
        const int32_t table[] = {1, 0};
        ASSERT_TRUE(MergeTrianglePairs(r, table));
        EXPECT_EQ(k.merges ? 1u : 2u, r.polygons.size());
        if (!k.merges) {
            EXPECT_EQ(k.second.vertexCount, r.polygons[1].vertexCount);
        }
    }
}

TEST(MergeTrianglePairs, TexturedPairsNeedEqualUvPairsAtTheSharedVertices) {
    const UvPair p0{0, 0}, p1{1, 0}, p2{0, 1}, p3{1, 1};
    const ChunkUvList first{3, {p0, p1, p2, {}}};
    const ChunkUvList second{3, {p2, p1, p3, {}}};
    ChunkUvList moved = second;
    moved.pairs[1] = {0.5f, 0};

    // Texture 7 for both, uv lists 0 and 1: the uv-list numbers may differ.
    ChunkShapeData r = Shape({Triangle(0, 1, 2, 20, 7), Triangle(2, 1, 3, 20, 7 | 1u << 16)});
    r.uvLists = {first, second};
    const int32_t table[] = {1, 0};
    ASSERT_TRUE(MergeTrianglePairs(r, table));
    ASSERT_EQ(1u, r.polygons.size());
    const ChunkUvList merged{4, {p0, p1, p3, p2}};
    EXPECT_EQ(merged, r.uvLists[0]);
    EXPECT_EQ(second, r.uvLists[1]);

    ChunkShapeData apart = Shape({Triangle(0, 1, 2, 20, 7), Triangle(2, 1, 3, 20, 7 | 1u << 16)});
    apart.uvLists = {first, moved};
    ASSERT_TRUE(MergeTrianglePairs(apart, table));
    EXPECT_EQ(2u, apart.polygons.size());
    EXPECT_EQ(first, apart.uvLists[0]);
    EXPECT_EQ(moved, apart.uvLists[1]);

    // A failed quad test leaves the first uv list as it was.
    ChunkShapeData oneVertex = Shape({Triangle(0, 1, 2, 20, 7), Triangle(2, 3, 4, 20, 7 | 1u << 16)});
    oneVertex.uvLists = {first, ChunkUvList{3, {p2, p1, p3, {}}}};
    ASSERT_TRUE(MergeTrianglePairs(oneVertex, table));
    EXPECT_EQ(2u, oneVertex.polygons.size());
    EXPECT_EQ(first, oneVertex.uvLists[0]);

    // A uv-list number past the record's lists is no reason to read past them.
    ChunkShapeData missing = Shape({Triangle(0, 1, 2, 20, 7), Triangle(2, 1, 3, 20, 7 | 5u << 16)});
    missing.uvLists = {first};
    ASSERT_TRUE(MergeTrianglePairs(missing, table));
    EXPECT_EQ(2u, missing.polygons.size());
}

TEST(MergeTrianglePairs, AMalformedTableLeavesTheShapeAlone) {
    struct Case {
        const char* what;
        std::vector<int32_t> table;
        size_t normals;
    };
    const Case cases[] = {
        {"shorter than the polygons", {1, 0}, 3},
        {"longer than the polygons", {1, 0, -1, -1}, 3},
        {"a partner past the polygons", {3, -1, -1}, 3},
        {"a negative partner", {-2, -1, -1}, 3},
        {"a one-sided pair", {1, -1, -1}, 3},
        {"a pair with a third polygon", {1, 2, 1}, 3},
        {"a polygon paired with itself", {0, -1, -1}, 3},
        {"normals that miss a polygon", {1, 0, -1}, 2},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        ChunkShapeData r = Shape({Triangle(0, 1, 2), Triangle(2, 1, 3), Triangle(4, 5, 6)});
        r.polygonNormals.resize(k.normals);
        const ChunkShapeData before = r;
        EXPECT_FALSE(MergeTrianglePairs(r, k.table));
        EXPECT_EQ(before.polygons, r.polygons);
        EXPECT_EQ(before.polygonNormals.size(), r.polygonNormals.size());
    }
}

TEST(MergeTrianglePairs, AShapeWithoutPolygonNormalsMergesToo) {
    ChunkShapeData r = Shape({Triangle(0, 1, 2), Triangle(2, 1, 3)});
    r.polygonNormals.clear();
    const int32_t table[] = {1, 0};
    ASSERT_TRUE(MergeTrianglePairs(r, table));
    EXPECT_EQ(1u, r.polygons.size());
    EXPECT_TRUE(r.polygonNormals.empty());
}

} // namespace
