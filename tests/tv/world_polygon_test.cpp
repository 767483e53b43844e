#include <gtest/gtest.h>
#include <malloc.h>

#include <vector>

#include "Tv/world/collision_polygon.h"
#include "tests/tv/world_fixtures.h"

namespace {

// A floor quad 0..2 on x and z at y = 0, facing up.
struct FloorQuad {
    FloorQuad() { SetCorners(quad, points, Vector3(0, -1, 0)); }
    Vector3 points[4] = {{0, 0, 0}, {2, 0, 0}, {2, 0, 2}, {0, 0, 2}};
    CollisionQuad quad;
};

TEST(CollisionPolygon, PointsOnEdgesAndCornersPassEveryProjectionTest) {
    // The same square seen from each axis (corners wound so that (v1 - v0) x
    // (v2 - v1) is the normal): its footprint test and its own plane.
    struct Case {
        const char* name;
        Vector3 corners[4];
        Vector3 normal;
        bool (CollisionPolygon::*test)(const Vector3&, Vector3*) const;
        Vector3 (*at)(Real, Real); // a point of the square's plane from two coordinates
    };
    const Case cases[] = {
        {"floor (x, z)", {{0, 0, 0}, {2, 0, 0}, {2, 0, 2}, {0, 0, 2}}, {0, -1, 0}, &CollisionPolygon::ContainsXZ,
         [](Real a, Real b) { return Vector3(a, 0, b); }},
        {"ceiling (x, z)", {{0, 0, 0}, {0, 0, 2}, {2, 0, 2}, {2, 0, 0}}, {0, 1, 0}, &CollisionPolygon::ContainsXZ,
         [](Real a, Real b) { return Vector3(a, 0, b); }},
        {"wall (y, z)", {{0, 0, 0}, {0, 2, 0}, {0, 2, 2}, {0, 0, 2}}, {1, 0, 0}, &CollisionPolygon::ContainsYZ,
         [](Real a, Real b) { return Vector3(0, a, b); }},
        {"wall (x, y)", {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}, {0, 0, 1}, &CollisionPolygon::ContainsXY,
         [](Real a, Real b) { return Vector3(a, b, 0); }},
    };
    for (const Case& c : cases) {
        Vector3 points[4] = {c.corners[0], c.corners[1], c.corners[2], c.corners[3]};
        CollisionQuad quad;
        SetCorners(quad, points, c.normal);
        const Vector3 inside[] = {c.at(0, 0), c.at(2, 2), c.at(0, 2), c.at(1, 0), c.at(2, 1), c.at(1, 1)};
        for (const Vector3& p : inside) {
            Vector3 normal(9, 9, 9);
            EXPECT_TRUE((quad.*c.test)(p, &normal)) << c.name << " at " << p.x << "," << p.y << "," << p.z;
            EXPECT_EQ(c.normal.x, normal.x) << c.name;
            EXPECT_TRUE(quad.ContainsProjected(p, nullptr)) << c.name;
        }
        EXPECT_FALSE((quad.*c.test)(c.at(2.01f, 1), nullptr)) << c.name;
        EXPECT_FALSE((quad.*c.test)(c.at(1, -0.01f), nullptr)) << c.name;
        // The triangle over three of the corners keeps the same edges.
        CollisionTriangle triangle;
        Vector3 three[3] = {c.corners[0], c.corners[1], c.corners[2]};
        SetCorners(triangle, three, c.normal);
        EXPECT_TRUE((triangle.*c.test)(c.at(1, 1), nullptr)) << c.name;
    }
}

TEST(CollisionPolygon, AxisLinesWriteThePlanesCoordinate) {
    // A ramp rising (y falling) by 1 over z = 0..2.
    Vector3 points[4] = {{0, 0, 0}, {2, 0, 0}, {2, -1, 2}, {0, -1, 2}};
    CollisionQuad ramp;
    SetCorners(ramp, points, Vector3(0, -2, -1));
    Vector3 p(1, 5, 1);
    ASSERT_TRUE(ramp.HitAlongY(p, nullptr));
    EXPECT_FLOAT_EQ(-0.5f, p.y);
    Vector3 off(3, 5, 1);
    EXPECT_FALSE(ramp.HitAlongY(off, nullptr));
    EXPECT_EQ(5.0f, off.y);
    Vector3 q(1, -0.5f, 9);
    ASSERT_TRUE(ramp.HitAlongZ(q, nullptr));
    EXPECT_FLOAT_EQ(1.0f, q.z);
    // The ramp's normal has no x: the line along x never meets its plane.
    Vector3 r(9, -0.5f, 1);
    EXPECT_FALSE(ramp.HitAlongX(r, nullptr));

    Vector3 hit;
    ASSERT_TRUE(ramp.RayHit(hit, Vector3(1, -5, 1), Vector3(0, 2, 0), nullptr));
    EXPECT_FLOAT_EQ(-0.5f, hit.y);
    EXPECT_FALSE(ramp.RayHit(hit, Vector3(1, -5, 1), Vector3(1, 0, 0), nullptr)); // parallel to x
}

TEST(CollisionPolygon, ClipToBoxTellsInsidePartlyAndOutside) {
    FloorQuad floor;
    struct Case {
        const char* name;
        Vector3 min, max;
        int expected;
    };
    const Case cases[] = {
        {"inside", {-1, -1, -1}, {3, 1, 3}, kClipInside},
        {"a corner on a face", {0, 0, 0}, {2, 0, 2}, kClipInside},
        {"crossing a face", {1, -1, 1}, {3, 1, 3}, kClipPartly},
        {"beside, beyond one plane", {3, -1, -1}, {4, 1, 3}, kClipOutside},
        {"above the plane", {-1, -2, -1}, {3, -1, 3}, kClipOutside},
        {"a small box under the middle", {0.9f, -0.1f, 0.9f}, {1.1f, 0.1f, 1.1f}, kClipPartly},
        {"off a corner, diagonally", {2.5f, -1, 2.5f}, {3, 1, 3}, kClipOutside},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, floor.quad.ClipToBox(c.min, c.max)) << c.name;

    // A large triangle over a small box, no corner inside: the clip keeps the middle.
    Vector3 points[3] = {{-10, 0, -10}, {-10, 0, 20}, {20, 0, -10}};
    CollisionTriangle large;
    SetCorners(large, points, Vector3(0, -1, 0));
    EXPECT_EQ(kClipPartly, large.ClipToBox(Vector3(0, -1, 0), Vector3(1, 1, 1)));
    EXPECT_EQ(kClipOutside, large.ClipToBox(Vector3(6, -1, 6), Vector3(7, 1, 7))); // beyond the long edge
}

TEST(CollisionPolygon, ExitTimesCountWholeTicksToTheEdge) {
    FloorQuad floor;
    uint32_t toMargin = 0, toEdge = 0;
    floor.quad.ExitTimes(Vector3(1, 0, 1), Vector3(0, 0, 0), 0.5f, toMargin, toEdge);
    EXPECT_EQ(2147483648u, toMargin);
    EXPECT_EQ(2147483649u, toEdge);

    // 2.5 ticks from the x = 2 edge at 0.4 per tick.
    floor.quad.ExitTimes(Vector3(1, 0, 1), Vector3(0.4f, 0, 0), 0.0f, toMargin, toEdge);
    EXPECT_EQ(2u, toMargin);
    EXPECT_EQ(3u, toEdge);
    // A margin of 0.1 is a quarter tick's travel, 0.5 one and a quarter.
    floor.quad.ExitTimes(Vector3(1, 0, 1), Vector3(0.4f, 0, 0), 0.1f, toMargin, toEdge);
    EXPECT_EQ(2u, toMargin);
    floor.quad.ExitTimes(Vector3(1, 0, 1), Vector3(0.4f, 0, 0), 0.5f, toMargin, toEdge);
    EXPECT_EQ(1u, toMargin);
    EXPECT_EQ(3u, toEdge);
    // Already within the margin: no tick left before it.
    floor.quad.ExitTimes(Vector3(1.9f, 0, 1), Vector3(0.4f, 0, 0), 0.5f, toMargin, toEdge);
    EXPECT_EQ(0u, toMargin);
    EXPECT_EQ(1u, toEdge);
}

TEST(CollisionPolygon, DiscsStepsAndNearestNeighbours) {
    FloorQuad floor;
    EXPECT_TRUE(floor.quad.OverlapsDisc(Vector3(1, 0, 1), 0.1f));
    EXPECT_TRUE(floor.quad.OverlapsDisc(Vector3(2.05f, 0, 2.05f), 0.1f)); // a corner
    EXPECT_TRUE(floor.quad.OverlapsDisc(Vector3(2.5f, 0, 1), 0.6f));      // an edge
    EXPECT_FALSE(floor.quad.OverlapsDisc(Vector3(2.5f, 0, 1), 0.4f));
    EXPECT_TRUE(floor.quad.StepEnters(Vector3(2.0005f, 0, 1), Vector3(-3, 0, 0)));
    EXPECT_FALSE(floor.quad.StepEnters(Vector3(2.0005f, 0, 1), Vector3(3, 0, 0)));

    FloorQuad near, far;
    near.quad.SetReferencePoint(3, 0, 1);
    far.quad.SetReferencePoint(9, 0, 1);
    EXPECT_EQ(&floor.quad, floor.quad.NearestNeighbour(Vector3(0, 0, 0)));
    floor.quad.AddNeighbour(&far.quad);
    floor.quad.AddNeighbour(&near.quad);
    EXPECT_EQ(&near.quad, floor.quad.NearestNeighbour(Vector3(4, 0, 1)));
    EXPECT_EQ(&far.quad, floor.quad.NearestNeighbour(Vector3(8, 0, 1)));

    CollisionPolygon* back = floor.quad.Reversed();
    EXPECT_EQ(1.0f, back->normal.y);
    EXPECT_EQ(&floor.points[3], back->GetVertices()[0]);
    EXPECT_EQ(&floor.points[0], back->GetVertices()[3]);
}

TEST(CollisionPolygon, TheLinkArrayGrowsAndShrinksInBlocksOfFour) {
    FloorQuad p;
    std::vector<FloorQuad> others(5);
    for (FloorQuad& o : others) p.quad.AddNeighbour(&o.quad);
    ASSERT_EQ(5u, p.quad.neighbourCount);
    EXPECT_GE(malloc_usable_size(p.quad.neighbours), 8 * sizeof(CollisionPolygon*));
    EXPECT_EQ(4u, p.quad.RemoveNeighbour(&others[4].quad));
    EXPECT_LT(malloc_usable_size(p.quad.neighbours), 8 * sizeof(CollisionPolygon*));
    EXPECT_FALSE(p.quad.HasNeighbour(&others[4].quad));

    // Removing slot 0 moves the last entry into it.
    EXPECT_EQ(3u, p.quad.RemoveNeighbourAt(0));
    EXPECT_EQ(&others[3].quad, p.quad.neighbours[0]);
    // A polygon that is not linked leaves the links as they are.
    EXPECT_EQ(3u, p.quad.RemoveNeighbour(&others[4].quad));
    EXPECT_EQ(3u, p.quad.RemoveNeighbourAt(7));
    p.quad.RemoveNeighbour(&others[3].quad);
    p.quad.RemoveNeighbour(&others[1].quad);
    EXPECT_EQ(0u, p.quad.RemoveNeighbour(&others[2].quad));
    EXPECT_EQ(nullptr, p.quad.neighbours);
}

TEST(CollisionPolygon, TrianglesSharingAnEdgeAreAdjacentBothWaysFoldedOnesAreNot) {
    Vector3 a(0, 0, 0), b(1, 0, 0), c(0, 0, 1), d(1, 0, 1);
    Vector3 behind(-0.5f, 0, -0.5f), onto(0, 0, 0);
    const Vector3 up(0, -1, 0);
    auto triangle = [&](Vector3* p0, Vector3* p1, Vector3* p2) {
        auto* t = new CollisionTriangle;
        t->corners[0] = p0, t->corners[1] = p1, t->corners[2] = p2;
        t->normal = up;
        return std::unique_ptr<CollisionTriangle>(t);
    };
    auto first = triangle(&a, &b, &c);
    auto second = triangle(&b, &d, &c);
    EXPECT_TRUE(first->IsAdjacent(*second));
    EXPECT_TRUE(second->IsAdjacent(*first));
    EXPECT_TRUE(first->SharesTwoVertices(*second));

    // Folded back over the first: its centre lies behind the first's, on the same side of the edge.
    auto folded = triangle(&b, &c, &behind);
    EXPECT_FALSE(first->IsAdjacent(*folded));
    // Folded flat onto the first: neither way.
    auto flat = triangle(&b, &c, &onto);
    EXPECT_FALSE(first->IsAdjacent(*flat));
    EXPECT_FALSE(flat->IsAdjacent(*first));
    // One shared corner is not an edge.
    auto corner = triangle(&d, &behind, &onto);
    EXPECT_FALSE(second->IsAdjacent(*corner));
    EXPECT_TRUE(second->SharesVertex(*corner));
    EXPECT_FALSE(second->SharesTwoVertices(*corner));

    // By position: the same corners copied, 0.05 apart.
    Vector3 b2(1.05f, 0, 0), c2(0.05f, 0, 1), d2(1.05f, 0, 1);
    auto copy = triangle(&b2, &d2, &c2);
    EXPECT_FALSE(first->IsAdjacent(*copy));
    EXPECT_TRUE(CollisionPolygonsTouch(*first, *copy));
    Vector3 b3(1.2f, 0, 0);
    auto apart = triangle(&b3, &d2, &c2);
    EXPECT_FALSE(CollisionPolygonsTouch(*first, *apart));
}

} // namespace
