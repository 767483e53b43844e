#include <gtest/gtest.h>

#include "Tv/client/collisionvolume.h"
#include "Tv/world/mover_world.h"
#include "tests/tv/world_fixtures.h"

namespace {

using MoverFixture = GeometryWorld<MoverWorld>;

// The world gridded and linked as a level is.
void GridAndLink(MoverWorld& world) {
    world.BuildGrid(8, 1, 8);
    world.LinkAllNeighbours();
}

// A unit's volume: height 1.6, radius 0.5.
CollisionVolume* UnitVolume() { return new CollisionVolume(1.6f, 0.5f, 0.15f); }

GeometryLayout FloorOf(int nx, int nz) {
    GeometryLayout layout;
    layout.FloorGrid(nx, nz, 0, 0, 2, 0);
    return layout;
}

TEST(Movers, SizeDecidesThePathMaskAndTheMoverStartsOnItsFloorsReferencePoint) {
    struct Case {
        Real height, radius;
        uint32_t pathMask;
    };
    for (const Case& c : {Case{1.6f, 0.7f, 0x140380}, Case{1.0f, 1.2f, 0x140580}, Case{1.54f, 0.6f, 0x140100},
                          Case{2.0f, 0.5f, 0x140300}}) {
        MoverFixture f(FloorOf(1, 1));
        GridAndLink(f.world);
        Vector3 p(0.5f, -3, 1.5f);
        Mover* m = f.world.AddMover(p, new CollisionVolume(c.height, c.radius, 0.3f * c.radius), 77);
        EXPECT_EQ(c.pathMask, m->pathMask) << c.height << " " << c.radius;
        EXPECT_EQ(0x40100u, m->moveMask);
        EXPECT_EQ(&f[0], m->floor);
        EXPECT_EQ(77u, m->time);
        EXPECT_FLOAT_EQ(0.4f * c.height, m->scaledHeight);
        EXPECT_EQ(1.0f, p.x); // the floor's reference point
        EXPECT_EQ(0.0f, p.y);
        EXPECT_EQ(1.0f, p.z);
        EXPECT_EQ(1.0f, m->position.z);
        EXPECT_EQ(1, f.world.movers.Count());
    }
}

TEST(Movers, AMoveAtTheMoversOwnTimeStaysPut) {
    MoverFixture f(FloorOf(2, 2));
    GridAndLink(f.world);
    Vector3 p(1, 0, 1);
    Mover* m = f.world.AddMover(p, UnitVolume(), 10);
    Vector3 target(3, 0, 3);
    EXPECT_TRUE(f.world.MoveMover(target, *m, 10));
    EXPECT_EQ(1.0f, target.x);
    EXPECT_EQ(1.0f, target.z);
    EXPECT_EQ(1.0f, m->position.x);
    EXPECT_EQ(10u, m->time);
}

TEST(Movers, OnALevelFloorTheMoveEndsAtTheTarget) {
    MoverFixture f(FloorOf(4, 4));
    GridAndLink(f.world);
    Vector3 p(3, 0, 3);
    Mover* m = f.world.AddMover(p, UnitVolume(), 0);
    ASSERT_EQ(&f[5], m->floor);

    Vector3 target(3.25f, 0, 3.25f); // within the same quad
    EXPECT_TRUE(f.world.MoveMover(target, *m, 4));
    EXPECT_EQ(3.25f, target.x);
    EXPECT_EQ(3.25f, target.z);
    EXPECT_EQ(&f[5], m->floor);

    // Across two edges to the quad at x 6..8.
    f.world.SetMoverState(*m, Vector3(3, 0, 3), Vector3(0, 0, 0), 5, 4);
    target = Vector3(6.5f, 0, 3);
    EXPECT_TRUE(f.world.MoveMover(target, *m, 12));
    EXPECT_FLOAT_EQ(6.5f, target.x);
    EXPECT_FLOAT_EQ(3.0f, target.z);
    EXPECT_EQ(0.0f, target.y);
    EXPECT_EQ(&f[13], m->floor);
    EXPECT_EQ(12u, m->time);
}

TEST(Movers, OnASlopeTheMoverFallsShortAndFollowsThePlane) {
    GeometryLayout layout; // rising by 1 in 4 along x (y grows downward)
    layout.Add({layout.Point(0, 0, 0), layout.Point(8, -2, 0), layout.Point(8, -2, 8), layout.Point(0, 0, 8)});
    MoverFixture f(layout);
    GridAndLink(f.world);
    Vector3 p(4, 0, 4);
    Mover* m = f.world.AddMover(p, UnitVolume(), 0);
    Vector3 target(5, 0, 4);
    EXPECT_TRUE(f.world.MoveMover(target, *m, 4));
    // The velocity slid into the plane keeps 16/17 of its horizontal part.
    EXPECT_LT(target.x, 5.0f);
    EXPECT_NEAR(4.0f + 16.0f / 17.0f, target.x, 1e-4f);
    EXPECT_NEAR(-target.x / 4.0f, target.y, 1e-4f);
    EXPECT_EQ(4.0f, target.z);
}

TEST(Movers, AnEdgeThatCannotBeCrossedStopsTheMoverARadiusShort) {
    GeometryLayout alone = FloorOf(1, 1);
    GeometryLayout barred = FloorOf(2, 1);
    barred.polygons[1].flags = 0x40000; // in every mover's move mask
    for (const GeometryLayout* layout : {&alone, &barred}) {
        MoverFixture f(*layout);
        GridAndLink(f.world);
        Vector3 p(1, 0, 1);
        Mover* m = f.world.AddMover(p, UnitVolume(), 100);
        Vector3 target(3, 0, 1);
        EXPECT_FALSE(f.world.MoveMover(target, *m, 108));
        EXPECT_EQ(1.5f, target.x); // the edge at 2 less the radius
        EXPECT_EQ(1.0f, target.z);
        EXPECT_EQ(108u, m->time);
        EXPECT_EQ(&f[0], m->floor);
    }
}

TEST(Movers, ASlowFloorOrASlowMoverCoversHalfTheDistance) {
    for (uint32_t floorFlags : {0u, 0x1000u})
        for (uint32_t moverFlags : {0u, 0x1000u}) {
            GeometryLayout layout;
            layout.FloorQuad(0, 0, 8, 8, 0).flags = floorFlags;
            MoverFixture f(layout);
            GridAndLink(f.world);
            Vector3 p(4, 0, 4);
            Mover* m = f.world.AddMover(p, UnitVolume(), 0);
            m->moveMask |= moverFlags;
            Vector3 target(4.5f, 0, 4);
            EXPECT_TRUE(f.world.MoveMover(target, *m, 8));
            EXPECT_EQ((floorFlags | moverFlags) ? 4.25f : 4.5f, target.x) << floorFlags << " " << moverFlags;
        }
}

TEST(Movers, AMoverWithoutAFloorFindsOneOnItsNextMoveOrDrifts) {
    MoverFixture f(FloorOf(1, 1));
    Vector3 p(1.5f, -1, 0.5f);
    Mover* m = f.world.AddMover(p, UnitVolume(), 0); // no grid yet: nothing under it
    EXPECT_EQ(nullptr, m->floor);
    EXPECT_EQ(1.5f, p.x);
    EXPECT_EQ(-1.0f, p.y);
    GridAndLink(f.world);
    Vector3 target(1.5f, -1, 0.5f);
    EXPECT_TRUE(f.world.MoveMover(target, *m, 4));
    EXPECT_EQ(&f[0], m->floor);
    EXPECT_EQ(1.5f, target.x);
    EXPECT_EQ(0.0f, target.y); // on the plane
    EXPECT_EQ(0.5f, target.z);

    // Beside every polygon there is nothing to find.
    f.world.SetMoverState(*m, Vector3(5, 0, 5), Vector3(0, 0, 0), 1, 4);
    EXPECT_EQ(nullptr, m->floor);
    target = Vector3(5, 0, 5);
    EXPECT_TRUE(f.world.MoveMover(target, *m, 8));
    EXPECT_EQ(nullptr, m->floor);
    EXPECT_FLOAT_EQ(4.999f, target.x);
    EXPECT_FLOAT_EQ(-0.001f, target.y);
    EXPECT_EQ(8u, m->time);
}

TEST(Movers, StateFromOutsideAndMeshRemoval) {
    GeometryLayout other;
    other.FloorQuad(4, 0, 6, 2, 0);
    MoverFixture f(FloorOf(2, 1));
    ShapeTree otherTree = MakeGeometryTree(other);
    f.world.AddShapeTree(otherTree.get(), IdentityMatrix);
    GridAndLink(f.world);
    Vector3 a(1, 0, 1), b(5, 0, 1);
    Mover* onFloor = f.world.AddMover(a, UnitVolume(), 0);
    Mover* onOther = f.world.AddMover(b, UnitVolume(), 0);
    ASSERT_EQ(&f[0], onFloor->floor);

    f.world.SetMoverState(*onFloor, Vector3(3, 0, 1), Vector3(0.5f, 0, 0), 1, 9);
    EXPECT_EQ(&f[1], onFloor->floor);
    EXPECT_EQ(3.0f, onFloor->position.x);
    EXPECT_EQ(0.5f, onFloor->velocity.x);
    EXPECT_EQ(9u, onFloor->time);
    for (uint32_t index : {f.world.polygonCount, 0xFFFFFFFFu}) {
        f.world.SetMoverState(*onFloor, Vector3(3, 0, 1), Vector3(0, 0, 0), index, 9);
        EXPECT_EQ(nullptr, onFloor->floor);
    }

    // Removing the other mesh forgets only its movers' floors, and the links
    // that reach it (a door's, say) go with it.
    LinkBothWays(f[1], f.world.meshes.Back()->Polygon(0));
    f.world.SetMoverState(*onFloor, Vector3(3, 0, 1), Vector3(0, 0, 0), 1, 9);
    f.world.RemoveShapeTree(otherTree.get());
    EXPECT_EQ(nullptr, onOther->floor);
    EXPECT_EQ(&f[1], onFloor->floor);
    EXPECT_EQ(1u, f[0].neighbourCount);
    ASSERT_EQ(1u, f[1].neighbourCount);
    EXPECT_EQ(&f[0], f[1].neighbours[0]);

    f.world.RemoveMover(onOther);
    EXPECT_EQ(1, f.world.movers.Count());
    Mover stray; // not in the list: nothing happens to it
    f.world.RemoveMover(&stray);
    EXPECT_EQ(1, f.world.movers.Count());
}

TEST(Movers, TheEntryTestStepsTowardTheReferencePointOnlyWhenStuck) {
    MoverFixture f(FloorOf(1, 1)); // reference point (1, 0, 1)
    struct Case {
        Vector3 p;
        bool stuck, enters;
        Real xAfter;
    };
    for (const Case& c : {Case{{1.5f, 0, 1}, false, true, 1.5f}, Case{{2.005f, 0, 1}, false, false, 2.005f},
                          Case{{2.005f, 0, 1}, true, true, 1.995f}, Case{{2.5f, 0, 1}, true, false, 2.5f},
                          Case{{1.005f, 0, 1}, true, true, 1.0f}}) {
        Vector3 p = c.p;
        EXPECT_EQ(c.enters, MoverEntersPolygon(f[0], p, c.stuck)) << c.p.x << " " << c.stuck;
        EXPECT_NEAR(c.xAfter, p.x, 1e-3f) << c.p.x << " " << c.stuck;
    }
}

} // namespace
