// The unit's walking: the turn-and-arc step, arrival, the motion messages and
// their timing, the move and stop commands and the waypoint cycle.
#include <gtest/gtest.h>

#include <cmath>

#include "Tv/server/game_settings.h"
#include "Tv/server/match_settings.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr uint32_t kNoFloor = 0xFFFFFF;

// The heading of a pure yaw quaternion, in angle units.
Real HeadingOf(const Quaternion& q) { return 2.0f * std::atan2(q.y, q.w) * 4096.0f / (2.0f * 3.14159265f); }

class UnitMotionTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeFloor(8, 8); // 16 m square of 2 m quads; quad centres at odd metres
    }

    // A unit at (3, 3) walking to its one waypoint at (7, 3).
    ServerUnit* WalkingUnit() {
        ServerUnit* unit = MakeUnit(1, {3, 0, 3});
        if (!unit) return nullptr;
        unit->AddWaypoint({7, 0, 3}, 0, false, 0);
        unit->WalkTo({7, 0, 3}, false);
        return unit;
    }
};

TEST_F(UnitMotionTest, ADestinationStraightAheadIsWalkedWithoutTurning) {
    ServerUnit* unit = MakeUnit(1, {3, 0, 3});
    ASSERT_NE(nullptr, unit);
    unit->WalkTo({3, 0, 13}, false);
    for (int pass = 1; pass <= 3; ++pass) {
        WalkUnit(*unit, 0.5f);
        EXPECT_EQ(3.0f, unit->Position.x) << pass;
        EXPECT_NEAR(3.0f + pass * 1.0f, unit->Position.z, 0.01f) << "speed 2 m/s, pass " << pass;
        EXPECT_EQ(0.0f, unit->Orientation.y) << pass;
        EXPECT_EQ(1.0f, unit->Orientation.w) << pass;
        EXPECT_TRUE(unit->IsMoving());
    }
}

TEST_F(UnitMotionTest, ADestinationBehindInsideTheTurningCircleIsTurnedToOnTheSpot) {
    // Turning circle of 2 / pi m at 2 m/s and half a turn a second; a pass of
    // 0.1 s turns at most 204.8 units.
    ServerUnit* unit = MakeUnit(1, {5, 0, 5});
    ASSERT_NE(nullptr, unit);
    unit->WalkTo({5, 0, 4.2f}, false);
    Real heading = 0;
    int spinning = 0;
    for (int pass = 0; pass < 20 && unit->IsMoving(); ++pass) {
        const Vector3 before = unit->Position;
        WalkUnit(*unit, 0.1f);
        const Real turned = HeadingOf(unit->Orientation) - heading;
        heading = HeadingOf(unit->Orientation);
        const bool moved = unit->Position.x != before.x || unit->Position.z != before.z;
        if (moved) break;
        ++spinning;
        EXPECT_NEAR(204.8f, turned, 2.5f) << "a whole pass's turn, pass " << pass;
    }
    // While the turn exceeds a pass's maxTurn: 2048 less the arc's share h of about 443 units.
    EXPECT_EQ(7, spinning);
    for (int pass = 0; pass < 20 && unit->IsMoving(); ++pass) WalkUnit(*unit, 0.1f);
    EXPECT_FALSE(unit->IsMoving()) << "then it walks to the point behind";
    EXPECT_LT(TvWeightedDistanceSquared(unit->Position, {5, 0, 4.2f}), 0.2f) << "where a walk counts as arrived";
}

TEST_F(UnitMotionTest, ADestinationReachedWithinAStepIsLandedOnExactlyAndAnnouncedAtOnce) {
    struct Case {
        int32_t gameType, detail;
    };
    for (const Case c : {Case{kGameStory, 0}, Case{kGameStory, 9}, Case{kGameCooperative, 9}}) {
        CurrentGameType = c.gameType;
        UserMatchSettings.NetDetailLevel = c.detail;
        recorder.Clear();
        ServerUnit* unit = MakeUnit(1, {3, 0, 3});
        ASSERT_NE(nullptr, unit);
        const Vector3 target(3.3f, 0, 3.7f);
        unit->WalkTo(target, false);
        WalkUnit(*unit, 0.5f);
        EXPECT_EQ(target.x, unit->Position.x) << c.gameType << "/" << c.detail;
        EXPECT_EQ(target.z, unit->Position.z) << c.gameType << "/" << c.detail;
        EXPECT_FALSE(unit->IsMoving());
        const auto atRest = SentFor(59, unit->Id);
        ASSERT_EQ(1u, atRest.size()) << c.gameType << "/" << c.detail;
        EXPECT_EQ(56u, atRest[0].bytes.size());
        EXPECT_EQ(target.x, MessageFloat(atRest[0].bytes, 12));
        EXPECT_EQ(target.z, MessageFloat(atRest[0].bytes, 20));
        for (int pass = 0; pass < 3; ++pass) WalkUnit(*unit, 0.6f);
        EXPECT_TRUE(SentFor(61, unit->Id).empty()) << "at rest: no walking updates";
        unit->Remove(false);
    }
}

TEST_F(UnitMotionTest, SettingOffSendsTheMotionStateThePointAndTheFinalTarget) {
    ServerUnit* unit = MakeUnit(1, {5, 0, 7});
    ASSERT_NE(nullptr, unit);
    unit->AddWaypoint({9, 0, 7}, 0, false, 0);
    unit->AddWaypoint({13, 0, 7}, 0, false, 0);
    unit->WalkTo({9, 0, 7}, false);
    const auto sent = SentFor(57, unit->Id);
    ASSERT_EQ(1u, sent.size());
    const std::vector<uint8_t>& m = sent[0].bytes;
    ASSERT_EQ(80u, m.size());
    EXPECT_EQ(unit->StateSeconds, MessageFloat(m, 8));
    EXPECT_EQ(5.0f, MessageFloat(m, 12));
    EXPECT_EQ(7.0f, MessageFloat(m, 20));
    EXPECT_EQ(1.0f, MessageFloat(m, 36)) << "orientation w";
    const uint32_t floorWord = static_cast<uint32_t>(MessageInt(m, 52));
    EXPECT_EQ(FloorAt(5, 7)->polygonIndex, floorWord & 0xFFFFFF);
    EXPECT_EQ(0u, floorWord >> 24);
    EXPECT_EQ(9.0f, MessageFloat(m, 56)) << "the point walked to";
    EXPECT_EQ(13.0f, MessageFloat(m, 68)) << "the final target: the last waypoint";

    // Off the floor there is no polygon to name.
    ServerUnit* lost = MakeUnit(1, {50, 0, 50});
    ASSERT_NE(nullptr, lost);
    UnitMotionState state;
    lost->GetMotionState(state);
    EXPECT_EQ(kNoFloor, state.floorIndex);
    lost->WalkTo({51, 0, 50}, false);
    const auto lostSent = SentFor(57, lost->Id);
    ASSERT_EQ(1u, lostSent.size());
    EXPECT_EQ(static_cast<int32_t>(kNoFloor), MessageInt(lostSent[0].bytes, 52));
    EXPECT_EQ(51.0f, MessageFloat(lostSent[0].bytes, 68)) << "no waypoints: the destination";
}

TEST_F(UnitMotionTest, WalkingIsAnnouncedAtTheGameTypesInterval) {
    struct Case {
        int32_t gameType, detail;
        Real firstUpdateAfter; // passes of 0.35 s: the first past the interval
    };
    for (const Case c : {Case{kGameStory, 0, 1.05f}, Case{kGameStory, 6, 1.05f}, Case{kGameCooperative, 0, 1.05f},
                         Case{kGameCooperative, 1, 1.75f}, Case{kGameCooperative, 2, 2.1f}}) {
        CurrentGameType = c.gameType;
        UserMatchSettings.NetDetailLevel = c.detail;
        recorder.Clear();
        ServerUnit* unit = MakeUnit(1, {1, 0, 1});
        ASSERT_NE(nullptr, unit);
        unit->WalkTo({1, 0, 15}, false);
        const Real start = unit->StateSeconds;
        for (int pass = 0; pass < 8; ++pass) WalkUnit(*unit, 0.35f);
        const auto walking = SentFor(61, unit->Id);
        ASSERT_FALSE(walking.empty()) << c.gameType << "/" << c.detail;
        EXPECT_EQ(56u, walking[0].bytes.size());
        EXPECT_NEAR(c.firstUpdateAfter, MessageFloat(walking[0].bytes, 8) - start, 0.01f)
            << c.gameType << "/" << c.detail;
        EXPECT_NE(0.0f, MessageFloat(walking[0].bytes, 48)) << "velocity z of a walking unit";
        unit->Remove(false);
    }
}

TEST_F(UnitMotionTest, CommandsOlderThanTheLastOneAreIgnored) {
    ServerUnit* unit = WalkingUnit();
    ASSERT_NE(nullptr, unit);
    unit->LastCommandTime = 10.0f;

    unit->HeadFor(FloorAt(9, 9), 9.5f);
    unit->HeadForPoint({9, 0, 9}, 9.5f);
    unit->StopMoving(9.5f);
    EXPECT_EQ(PS_NONE, unit->PathState);
    EXPECT_EQ(1, unit->Waypoints.Count());
    EXPECT_TRUE(unit->IsMoving());
    EXPECT_TRUE(SentFor(60, unit->Id).empty());

    unit->StopMoving(10.0f);
    EXPECT_EQ(0, unit->Waypoints.Count());
    EXPECT_FALSE(unit->IsMoving());
    EXPECT_EQ(1u, SentFor(60, unit->Id).size());
    unit->HeadForPoint({9, 0, 9}, 10.5f);
    EXPECT_EQ(PS_COMPLETE, unit->PathState);
    EXPECT_EQ(FloorAt(9, 9), unit->GoalPolygon);
    EXPECT_EQ(10.5f, unit->LastCommandTime);
    EXPECT_TRUE(PathRequestList.Contains(unit));
}

TEST_F(UnitMotionTest, ACrouchedUnitIgnoresStopAndMoveCommands) {
    ServerUnit* unit = WalkingUnit();
    ASSERT_NE(nullptr, unit);
    unit->Crouched = 1;
    unit->StopMoving(NowSeconds() + 1);
    unit->HeadFor(FloorAt(9, 9), NowSeconds() + 1);
    EXPECT_EQ(1, unit->Waypoints.Count());
    EXPECT_TRUE(unit->IsMoving());
    EXPECT_EQ(PS_NONE, unit->PathState);
    EXPECT_TRUE(SentFor(60, unit->Id).empty());
}

TEST_F(UnitMotionTest, HaltKeepsTheWaypointsAndSendsAtRestOnce) {
    ServerUnit* unit = WalkingUnit();
    ASSERT_NE(nullptr, unit);
    WalkUnit(*unit, 0.2f);
    unit->Halt(NowSeconds());
    unit->Halt(NowSeconds());
    EXPECT_FALSE(unit->IsMoving());
    EXPECT_EQ(1, unit->Waypoints.Count());
    EXPECT_EQ(unit->Position.x, unit->Destination.x);
    EXPECT_EQ(1u, SentFor(59, unit->Id).size());
}

TEST_F(UnitMotionTest, KeptWaypointsAreWalkedRoundForever) {
    ServerUnit* unit = MakeUnit(1, {3, 0, 3});
    ASSERT_NE(nullptr, unit);
    const Vector3 round[] = {{3, 0, 9}, {9, 0, 9}, {9, 0, 3}};
    for (const Vector3& p : round) unit->AddWaypoint(p, 1, false, 0);
    for (int pass = 0; pass < 200; ++pass) WalkUnit(*unit, 0.1f);
    EXPECT_EQ(3, unit->Waypoints.Count());
    // Each set-off names the next corner, round and round.
    const auto setOff = SentFor(57, unit->Id);
    ASSERT_GE(setOff.size(), 7u) << "20 s at 2 m/s round a 24 m loop";
    for (size_t k = 0; k < setOff.size(); ++k) {
        const Vector3& expected = round[k % 3];
        EXPECT_EQ(expected.x, MessageFloat(setOff[k].bytes, 56)) << k;
        EXPECT_EQ(expected.z, MessageFloat(setOff[k].bytes, 64)) << k;
    }
}

TEST_F(UnitMotionTest, AWaypointIsNewWithItsLastWordZero) {
    ServerUnit* unit = MakeUnit(1, {3, 0, 3});
    ASSERT_NE(nullptr, unit);
    unit->AddWaypoint({5, 0, 5}, 0, true, 7);
    unit->PushWaypointFront({1, 0, 1}, 1, 3);
    ASSERT_EQ(2, unit->Waypoints.Count());
    ASSERT_EQ(1, unit->StoredWaypoints.Count());
    for (const Waypoint* w : unit->Waypoints) EXPECT_EQ(0, w->Word);
    EXPECT_EQ(1.0f, unit->CurrentWaypoint()->Position.x) << "the cursor on the first";
    EXPECT_EQ(7, unit->StoredWaypoints.Front()->Tag);
    unit->RemoveCurrentWaypoint();
    EXPECT_EQ(5.0f, unit->CurrentWaypoint()->Position.x);
}

} // namespace
