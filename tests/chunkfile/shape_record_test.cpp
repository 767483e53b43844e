#include <gtest/gtest.h>

#include <cmath>

#include "chunkfile/shape_record.h"

namespace {

TEST(ChunkPolygon, UvIndexSharesTheTextureWordWithoutDisturbingTheTexture) {
    for (uint32_t uv : {0u, 5u, 0xFFFFu, 0x10000u, 0x12345u, 0xFFFFFu}) {
        SCOPED_TRACE(uv);
        ChunkPolygon p;
        p.SetTextureIndex(0xABC);
        p.SetUvIndex(uv);
        EXPECT_EQ(uv, p.GetUvIndex());
        EXPECT_EQ(0xABCu, p.GetTextureIndex());
        p.SetTextureIndex(0x123);
        EXPECT_EQ(uv, p.GetUvIndex());
    }
    ChunkPolygon p;
    p.SetTextureIndex(0xABC);
    p.SetUvIndex(0x12345); // low 16 bits on top, bits 16-19 in bits 12-15
    EXPECT_EQ(0x23451ABCu, p.texture);
    p.SetUvIndex(7); // a small index clears bits 12-15 again
    EXPECT_EQ(0x00070ABCu, p.texture);
}

TEST(ChunkPolygon, TexturedTypes) {
    for (int32_t type = 0; type < 30; ++type) {
        ChunkPolygon p;
        p.type = type;
        const bool textured = (type >= 5 && type <= 7) || (type >= 20 && type <= 24);
        EXPECT_EQ(textured, p.IsTextured()) << type;
    }
}

TEST(ShapeVectors, IntegerVectorsNormaliseToSixteenSixteen) {
    VectorI v{3, 4, 0};
    EXPECT_TRUE(v.Normalise());
    EXPECT_EQ((VectorI{39321, 52428, 0}), v); // 0.6 and 0.8, truncated
    VectorI zero;
    EXPECT_FALSE(zero.Normalise());
    EXPECT_EQ(VectorI{}, zero);

    VectorD d{0, 3, 4};
    EXPECT_TRUE(d.Normalise());
    EXPECT_DOUBLE_EQ(0.8, d.z);
    VectorD none;
    EXPECT_FALSE(none.Normalise());
    EXPECT_EQ((VectorI{1, -1, 0}), (VectorD{1.9, -1.9, 0.2}.ToInt()));
    const VectorD x{1, 0, 0}, y{0, 1, 0};
    EXPECT_DOUBLE_EQ(1.0, Cross(x, y).z);
    EXPECT_DOUBLE_EQ(0.0, Dot(x, y));
}

TEST(ShapeVectors, ConversionsTruncateAndSumsWrap) {
    EXPECT_EQ(-3, TruncateToInt(-3.9));
    EXPECT_EQ(INT32_MIN, TruncateToInt(3e10));
    EXPECT_EQ(INT32_MIN, TruncateToInt(std::nan("")));
    EXPECT_EQ((VectorI{INT32_MIN, 0, 0}), (VectorI{INT32_MAX, 0, 0} + VectorI{1, 0, 0}));
}

TEST(ShapeVectors, IntPairMinimumPrefersTheSecondWhenEqual) {
    const IntPair a{1, 5}, b{1, 5}, c{1, 4}, d{0, 9};
    EXPECT_EQ(&b, &Min(a, b));
    EXPECT_EQ(&c, &Min(a, c));
    EXPECT_EQ(&d, &Min(c, d));
}

TEST(ChunkShapeData, RescaleTruncatesCoordinatesAndKeepsNormals) {
    ChunkShapeData r;
    r.points = {{-7, 7, 3}};
    r.cornerA = {-7, 0, 0};
    r.cornerB = {7, 0, 0};
    r.centre = {5, 5, 5};
    r.storedRadius = 4;
    r.radius = 2;
    r.vertexNormals = {{0, 1, 0}};
    r.Rescale(0.5);
    EXPECT_EQ((VectorI{-3, 3, 1}), r.points[0]);
    EXPECT_EQ((VectorI{-3, 0, 0}), r.cornerA);
    EXPECT_EQ((VectorI{2, 2, 2}), r.centre);
    EXPECT_FLOAT_EQ(2.0f, r.storedRadius);
    EXPECT_FLOAT_EQ(1.0f, r.radius);
    EXPECT_FLOAT_EQ(1.0f, r.vertexNormals[0].y);
}

TEST(ChunkShapeData, ClearKeepsTheBounds) {
    ChunkShapeData r;
    r.storedRadius = 9;
    r.cornerA = {1, 2, 3};
    r.centre = {4, 5, 6};
    r.radius = 3;
    r.pointCount = 2;
    r.points = {{}, {}};
    r.textureNames = {"a"};
    r.shapeFlags = 8;
    r.Clear();
    EXPECT_EQ(0, r.pointCount);
    EXPECT_TRUE(r.points.empty() && r.textureNames.empty());
    EXPECT_EQ(0u, r.shapeFlags);
    EXPECT_EQ(0.0f, r.radius);
    EXPECT_EQ(9.0f, r.storedRadius);
    EXPECT_EQ((VectorI{1, 2, 3}), r.cornerA);
    EXPECT_EQ((VectorI{4, 5, 6}), r.centre);
}

} // namespace
