#include <gtest/gtest.h>

#include <cmath>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/overlay2d.h"
#include "platform/d3d/device3d.h"
#include "tests/awapi/engine_fixture.h"

namespace {

class OverlayTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        AwFlushPrimitives();
        AwSetPrimitiveDepth(0.5f);
        ASSERT_TRUE(plat::Succeeded(AwDevice.Direct3DDevice->BeginScene()));
        backend->ResetRecords();
    }
    void TearDown() override {
        AwFlushPrimitives();
        AwDevice.Direct3DDevice->EndScene();
        EngineTest::TearDown();
    }
    static AwTLVertex Vertex(float x, float y, float z = 0.5f) { return {x, y, z, 2.0f, 0xFF00FF00u, 0, 0, 0}; }
    size_t DrawsOf(plat::PrimitiveType type) const {
        size_t n = 0;
        for (const plat::RecordedDraw& draw : backend->Draws()) n += draw.type == type ? 1 : 0;
        return n;
    }
    const Colour red = Colour::FromFloats(1, 0, 0, 1);
};

TEST_F(OverlayTest, LinesAreCutToTheScreenOrDropped) {
    AwDrawLine(10, 10, red, 10, 10, red);
    auto lines = AwPendingLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FLOAT_EQ(lines[0].x, 10.5f);
    EXPECT_FLOAT_EQ(lines[1].y, 10.5f);
    EXPECT_FLOAT_EQ(lines[0].rhw, 2.0f);
    EXPECT_EQ(lines[0].diffuse, 0xFFFF0000u);

    AwDrawClippedLine(red, red, -10, 100, 0.5f, 1, 10, 100, 0.5f, 1);
    lines = AwPendingLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_FLOAT_EQ(lines[2].x, 0.0f);
    EXPECT_FLOAT_EQ(lines[2].y, 100.0f);
    EXPECT_FLOAT_EQ(lines[3].x, 10.0f);

    AwDrawClippedLine(red, red, 600, -20, 0.5f, 1, 660, 20, 0.5f, 1);
    lines = AwPendingLines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_FLOAT_EQ(lines[4].x, 630.0f);
    EXPECT_FLOAT_EQ(lines[4].y, 0.0f);
    EXPECT_FLOAT_EQ(lines[5].x, 640.0f);

    struct Dropped {
        const char* what;
        float x1, y1, z1, rhw1, x2, y2, z2, rhw2;
    };
    const Dropped dropped[] = {
        {"both left", -10, 5, 0.5f, 1, -3, 50, 0.5f, 1},
        {"both below", 5, 500, 0.5f, 1, 50, 481, 0.5f, 1},
        {"passing outside a corner", 600, -20, 0.5f, 1, 700, 20, 0.5f, 1},
        {"crossing the depth range", 5, 5, 0.5f, 1, 50, 50, 1.5f, 1},
        {"rhw below one", 5, 5, 0.5f, 0.9f, 50, 50, 0.5f, 1},
    };
    for (const Dropped& d : dropped) {
        AwDrawClippedLine(red, red, d.x1, d.y1, d.z1, d.rhw1, d.x2, d.y2, d.z2, d.rhw2);
        EXPECT_EQ(AwPendingLines().size(), 6u) << d.what;
    }
    AwSetPrimitiveDepth(2.0f);
    AwDrawLine(1, 1, red, 5, 5, red);
    EXPECT_EQ(AwPendingLines().size(), 6u) << "depth above 1 gives rhw below 1";
}

TEST_F(OverlayTest, DepthZeroGivesAFiniteRhwAndColoursTruncate) {
    AwSetPrimitiveDepth(0.0f);
    const Colour half = Colour::FromFloats(0.5f, 0.999f, 0.0f, 1.0f);
    AwDrawLine(1, 1, half, 5, 5, half);
    AwDrawTriangle(10, 10, half, 20, 10, half, 10, 20, half);
    const auto lines = AwPendingLines();
    const auto triangles = AwPendingTriangles();
    ASSERT_EQ(lines.size(), 2u) << "a line at the nearest depth is drawn";
    ASSERT_EQ(triangles.size(), 3u);
    for (const AwTLVertex& v : {lines[0], lines[1], triangles[0], triangles[1], triangles[2]}) {
        EXPECT_TRUE(std::isfinite(v.rhw));
        EXPECT_GE(v.rhw, 1.0f);
        EXPECT_EQ(v.z, 0.0f);
        EXPECT_EQ(v.diffuse, 0xFF7FFE00u);
    }
}

TEST_F(OverlayTest, TheFifteenHundredthLineDrawsTheBatch) {
    for (int i = 0; i < 1499; ++i) AwDrawWhiteLine(0, i % 480, 100, i % 480);
    EXPECT_EQ(DrawsOf(plat::kPtLineList), 0u);
    AwDrawWhiteLine(0, 0, 100, 0);
    ASSERT_EQ(DrawsOf(plat::kPtLineList), 1u);
    EXPECT_EQ(backend->Draws().back().vertexCount, 3000u);
    EXPECT_TRUE(AwPendingLines().empty());
    AwDrawWhiteLine(0, 0, 100, 0);
    EXPECT_EQ(AwPendingLines().size(), 2u);
    AwFlushPrimitives();
    EXPECT_EQ(DrawsOf(plat::kPtLineList), 2u);
    EXPECT_TRUE(AwPendingLines().empty());
}

TEST_F(OverlayTest, PolygonClipKeepsWhatIsOnScreen) {
    AwTLVertex out[kAwClipPolygonMax];
    const AwTLVertex inside[3] = {Vertex(10, 10), Vertex(100, 10), Vertex(10, 100)};
    EXPECT_EQ(AwClipPolygon(inside, out), 3u);

    const AwTLVertex offScreen[3] = {Vertex(-50, 10), Vertex(-10, 10), Vertex(-30, 100)};
    EXPECT_EQ(AwClipPolygon(offScreen, out), 0u);

    // One corner left of the screen: the cut makes a quadrilateral.
    const AwTLVertex cut[3] = {Vertex(-10, 50), Vertex(50, 10), Vertex(50, 90)};
    ASSERT_EQ(AwClipPolygon(cut, out), 4u);
    for (uint32_t i = 0; i < 4; ++i) EXPECT_GE(out[i].x, 0.0f);

    // A big triangle over every edge and through the depth range still fits the output.
    const AwTLVertex huge[3] = {Vertex(-1000, -1000, -1), Vertex(3000, 240, 0.5f), Vertex(-1000, 2000, 2)};
    const uint32_t count = AwClipPolygon(huge, out);
    EXPECT_GE(count, 3u);
    EXPECT_LE(count, kAwClipPolygonMax);
    for (uint32_t i = 0; i < count; ++i) {
        EXPECT_GE(out[i].z, 0.0f);
        EXPECT_LE(out[i].z, 1.0f);
    }
}

TEST_F(OverlayTest, TrianglesBecomeFansAndFlushWhenFull) {
    const AwTLVertex cut[3] = {Vertex(-10, 50), Vertex(50, 10), Vertex(50, 90)};
    AwDrawClippedTriangle(cut);
    EXPECT_EQ(AwPendingTriangles().size(), 6u);
    AwDrawTriangle(-30, 0, red, -20, 0, red, -25, 10, red);
    EXPECT_EQ(AwPendingTriangles().size(), 6u);
    for (int i = 0; i < 998; ++i) AwDrawTriangle(10, 10, red, 20, 10, red, 10, 20, red);
    EXPECT_EQ(DrawsOf(plat::kPtTriangleList), 1u);
    EXPECT_EQ(backend->Draws().back().vertexCount, 3000u);
    EXPECT_TRUE(AwPendingTriangles().empty());
}

} // namespace
