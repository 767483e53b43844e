// The unit's path states and planning steps: the greedy walk, the full
// search after it, the partial repair around units and the give-up.
#include <gtest/gtest.h>

#include <vector>

#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr uint32_t kBlockedForPlayerUnits = 0x80000; // in the path mask of a player team's units

class UnitPathsTest : public SimTest {
protected:
    // The waypoints' (x, z) in list order.
    static std::vector<std::pair<Real, Real>> Route(const ServerUnit& unit) {
        std::vector<std::pair<Real, Real>> route;
        for (const Waypoint* w : unit.Waypoints) route.emplace_back(w->Position.x, w->Position.z);
        return route;
    }
};

TEST_F(UnitPathsTest, APolygonNextToTheUnitsIsOneGreedyStepUnlessItIsNear) {
    // 2 m quads: the next centre is 4 m^2 away, a waypoint; 1 m quads: 1 m^2, near, dropped.
    MakeFloor(4, 4, 2);
    ServerUnit* unit = MakeUnit(1, {3, 0, 3});
    ASSERT_NE(nullptr, unit);
    unit->HeadFor(FloorAt(5, 3), NowSeconds());
    EXPECT_EQ(PS_COMPLETE, unit->PathState);
    EXPECT_TRUE(PathRequestList.Contains(unit));
    unit->PlanClearPath();
    EXPECT_EQ(PS_DONE, unit->PathState);
    EXPECT_FALSE(PathRequestList.Contains(unit));
    EXPECT_EQ((std::vector<std::pair<Real, Real>>{{5, 3}}), Route(*unit));
    EXPECT_FALSE(unit->IsMoving());
}

TEST_F(UnitPathsTest, ANearNextPolygonIsDroppedAndTheFullSearchRunsInALaterPass) {
    MakeFloor(4, 4, 1);
    ServerUnit* unit = MakeUnit(1, {1.5f, 0, 1.5f});
    ASSERT_NE(nullptr, unit);
    unit->HeadFor(FloorAt(2.5f, 1.5f), NowSeconds());
    unit->PlanClearPath();
    EXPECT_EQ(PS_CLEARPATH_FAILED, unit->PathState);
    EXPECT_TRUE(PathRequestList.Contains(unit)) << "still waiting for a search";
    EXPECT_TRUE(unit->Waypoints.IsEmpty());

    unit->PlanFullPath();
    EXPECT_EQ(PS_DONE, unit->PathState);
    EXPECT_FALSE(PathRequestList.Contains(unit));
    EXPECT_TRUE(unit->Waypoints.IsEmpty()) << "the search's only polygon is near too: the unit stays";
    EXPECT_FALSE(unit->IsMoving());
}

TEST_F(UnitPathsTest, EachPlanningStepTakesAWorldStepOfItsOwn) {
    MakeFloor(4, 4, 1);
    ServerUnit* unit = MakeUnit(1, {1.5f, 0, 1.5f});
    ASSERT_NE(nullptr, unit);
    unit->HeadFor(FloorAt(2.5f, 1.5f), NowSeconds());
    const PathState expected[] = {PS_CLEARPATH_FAILED, PS_DONE, PS_NONE};
    for (PathState state : expected) {
        Step(0.1f);
        EXPECT_EQ(state, unit->PathState);
    }
    EXPECT_TRUE(unit->Waypoints.IsEmpty());
    EXPECT_FALSE(unit->IsMoving());
}

TEST_F(UnitPathsTest, WhereTheGreedyWalkGetsNoNearerTheFullSearchLeadsRound) {
    // A blocked quad between the unit and its goal: the greedy walk cannot get nearer.
    GeometryLayout layout;
    layout.FloorGrid(3, 3, 0, 0, 2, 0);
    layout.polygons[4].flags = kBlockedForPlayerUnits; // the centre quad (x 2-4, z 2-4)
    MakeLevel(layout);
    ServerUnit* unit = MakeUnit(1, {1, 0, 3});
    ASSERT_NE(nullptr, unit);
    unit->HeadFor(FloorAt(5, 3), NowSeconds());
    unit->PlanClearPath();
    EXPECT_EQ(PS_CLEARPATH_FAILED, unit->PathState);
    unit->PlanFullPath();
    EXPECT_EQ(PS_DONE, unit->PathState);
    const auto route = Route(*unit);
    ASSERT_EQ(4u, route.size()) << "round the blocked quad, start end first";
    EXPECT_EQ((std::pair<Real, Real>{5, 3}), route.back());
    for (const auto& [x, z] : route) EXPECT_FALSE(x == 3 && z == 3) << "never over the blocked quad";
    EXPECT_EQ(route.front().first, unit->CurrentWaypoint()->Position.x) << "the cursor on the first";
}

TEST_F(UnitPathsTest, ARepairLeadsRoundAUnitOnThePathAndTheLastTryGivesUpWhenNoneFits) {
    // Five quads long, three wide; the unit walks down the middle and the next quad is taken.
    MakeFloor(3, 5, 2);
    ServerUnit* unit = MakeUnit(1, {3, 0, 3});
    ASSERT_NE(nullptr, unit);
    const auto walkDownTheMiddle = [&] {
        unit->ClearWaypoints();
        for (Real z : {5.0f, 7.0f, 9.0f}) unit->AddWaypoint({3, 0, z}, 0, false, 0);
    };
    walkDownTheMiddle();
    CollisionPolygon* occupied = FloorAt(3, 5);
    occupied->flags |= kPolygonUnitOn;
    unit->SetPathState(PS_RECALCULATE_PART);
    unit->PlanPartialPath();
    EXPECT_EQ(PS_DONE, unit->PathState);
    const auto route = Route(*unit);
    ASSERT_EQ(5u, route.size()) << "three quads round, then the rest of the path";
    EXPECT_EQ((std::pair<Real, Real>{3, 7}), route[3]);
    EXPECT_EQ((std::pair<Real, Real>{3, 9}), route[4]);
    for (const Waypoint* w : unit->Waypoints)
        EXPECT_NE(occupied, FloorAt(w->Position.x, w->Position.z)) << "round the occupied quad";

    // The whole row across is taken: no repair, and the last try stands the unit still.
    for (Real x : {1.0f, 5.0f}) FloorAt(x, 5)->flags |= kPolygonUnitOn;
    walkDownTheMiddle();
    unit->SetPathState(PS_RECALCULATE_PART);
    unit->PlanPartialPath();
    EXPECT_EQ(PS_DONE, unit->PathState);
    EXPECT_EQ(3, unit->Waypoints.Count()) << "a plain repair that fails keeps the path";
    unit->SetPathState(PS_RECALCULATE_PART_OR_GIVE_UP);
    unit->PlanPartialPath();
    EXPECT_EQ(PS_DONE, unit->PathState);
    EXPECT_TRUE(unit->Waypoints.IsEmpty());
    EXPECT_EQ(unit->Position.x, unit->Destination.x);
    EXPECT_EQ(unit->Position.z, unit->Destination.z);
}

TEST_F(UnitPathsTest, TheRepairAvoidsTheNextPolygonsOfTheUnitItYieldsTo) {
    MakeFloor(3, 6, 2);
    ServerUnit* unit = MakeUnit(1, {3, 0, 3});
    ServerUnit* other = MakeUnit(1, {1, 0, 11});
    ASSERT_NE(nullptr, unit);
    ASSERT_NE(nullptr, other);
    for (Real z : {5.0f, 7.0f, 9.0f}) unit->AddWaypoint({3, 0, z}, 0, false, 0);
    other->AddWaypoint({3, 0, 5}, 0, false, 0);
    other->AddRef();
    unit->YieldTo = other;
    unit->SetPathState(PS_RECALCULATE_PART);
    EXPECT_EQ(other, unit->YieldTo) << "kept for the partial re-plan";
    unit->PlanPartialPath();
    EXPECT_EQ(5, unit->Waypoints.Count());
    for (const Waypoint* w : unit->Waypoints) EXPECT_NE(FloorAt(3, 5), FloorAt(w->Position.x, w->Position.z));
    EXPECT_EQ(0u, FloorAt(3, 5)->flags & kPolygonReplanBlocked) << "no mark left behind";
    EXPECT_EQ(nullptr, unit->YieldTo) << "released when the state moves on";
}

TEST_F(UnitPathsTest, ClosingInOnATargetEndsWithinTheRangeLessTwoMetres) {
    // A row of 2 m quads; the target's centre is over the last one (x 11).
    MakeFloor(6, 1, 2);
    ServerObject* target = MakeActor(2, {11, 0, 1});
    ASSERT_NE(nullptr, target);
    struct Case {
        Real squaredRange, lastX;
    };
    // 4: within 2 m of the centre; 36 (above 5) becomes (6 - 2)^2 = 16: within 4 m.
    for (const Case c : {Case{4, 11}, Case{36, 9}}) {
        ServerUnit* unit = MakeUnit(1, {1, 0, 1});
        ASSERT_NE(nullptr, unit);
        unit->WalkTo({2, 0, 1}, false);
        unit->SetPathState(PS_COMPLETE);
        unit->Replan(target, c.squaredRange);
        EXPECT_EQ(PS_NONE, unit->PathState) << c.squaredRange;
        EXPECT_FALSE(unit->IsMoving());
        const auto route = Route(*unit);
        ASSERT_FALSE(route.empty()) << c.squaredRange;
        EXPECT_EQ(3.0f, route.front().first) << "start end first";
        EXPECT_EQ(c.lastX, route.back().first) << c.squaredRange;
        unit->Remove(false);
    }
}

TEST_F(UnitPathsTest, PathStatesJoinAndLeaveTheRequestListOnce) {
    MakeFloor(2, 2, 2);
    ServerUnit* unit = MakeUnit(1, {1, 0, 1});
    ASSERT_NE(nullptr, unit);
    for (PathState state : {PS_COMPLETE, PS_CLEARPATH_FAILED, PS_RECALCULATE_PART, PS_RECALCULATE_PART_OR_GIVE_UP}) {
        unit->SetPathState(state);
        unit->SetPathState(state);
        EXPECT_EQ(1, PathRequestList.Count()) << state;
        EXPECT_TRUE(unit->IsPathPending());
    }
    unit->SetPathState(PS_DONE);
    EXPECT_TRUE(PathRequestList.IsEmpty());
    EXPECT_FALSE(unit->IsPathPending());
}

} // namespace
