// The client unit's predicted walk between the server's motion messages: the
// turning circle, arrival, the stand-still radius, a character that cannot
// turn; the motion messages, stances and the idle flourishes' countdown.
// Main thread only (no server thread runs).
#include <gtest/gtest.h>

#include <cmath>

#include "Tv/client/client_unit.h"
#include "core/clock.h"
#include "sound/music_moods.h"
#include "tests/tv/client_unit_fixture.h"

namespace {

class ClientUnitWalk : public ClientUnitTest {
protected:
    // Sends the unit toward `destination` at time 0 and runs frames of `step` seconds.
    void Walk(ClientUnit& unit, const Vector3& destination) {
        ClientMotionState state;
        state.Pose.Position = unit.Position;
        state.Pose.Orientation = unit.Orientation;
        unit.StartWalking(destination, state, destination);
        unit.MoveTicks = 0;
        now = 0;
    }
    void Frame(ClientUnit& unit, double seconds = 0.1) {
        now += TicksFor(seconds);
        unit.Update(now, static_cast<Real>(static_cast<double>(now) * CurrentSecondsPerTick()));
    }
    uint64_t now = 0;
};

TEST_F(ClientUnitWalk, ADestinationInsideTheTurningCircleIsTurnedToOnTheSpotFirst) {
    ClientUnit* unit = MakeUnit(1);
    ASSERT_NE(unit, nullptr);
    // 2 m/s at a quarter turn a second: a turning circle of radius 4/pi, so a
    // point 1 m to the side needs about 761 angle units of turn on the spot.
    Walk(*unit, Vector3(1, 0, 0));
    Real heading = HeadingOf(unit->Orientation);
    int32_t framesTurning = 0;
    while (unit->Position.x == 0 && unit->Position.z == 0 && framesTurning < 20) {
        Frame(*unit);
        const Real turned = HeadingOf(unit->Orientation) - heading;
        if (unit->Position.x == 0 && unit->Position.z == 0) {
            EXPECT_NEAR(turned, 102.4f, 1.0f) << "a whole frame's turn, and no step";
            ++framesTurning;
        }
        heading = HeadingOf(unit->Orientation);
    }
    EXPECT_EQ(framesTurning, 7);
    // Then it arcs in until it stands within the stand-still radius, and stays.
    for (int32_t i = 0; i < 30; ++i) Frame(*unit);
    const Vector3 end = unit->Position;
    EXPECT_LT((end.x - 1) * (end.x - 1) + end.z * end.z, kUnitArrivedSquared);
    Frame(*unit);
    EXPECT_EQ(unit->Position.x, end.x);
    EXPECT_EQ(unit->Position.z, end.z);
    EXPECT_TRUE(unit->Moving) << "until the server's stop";
}

TEST_F(ClientUnitWalk, AStraightWalkStopsShortOfOvershootAndStays) {
    ClientUnit* unit = MakeUnit(1);
    Walk(*unit, Vector3(0, 0, 2.5f));
    Frame(*unit, 0.5);
    EXPECT_NEAR(unit->Position.z, 1.0f, 1e-3f);
    Frame(*unit, 0.5);
    EXPECT_NEAR(unit->Position.z, 2.0f, 2e-3f);
    Frame(*unit, 0.5); // half a metre left: it lands on the destination
    EXPECT_EQ(unit->Position.z, 2.5f);
    Frame(*unit, 0.5);
    EXPECT_EQ(unit->Position.z, 2.5f);
    EXPECT_EQ(unit->Position.x, 0.0f);
}

TEST_F(ClientUnitWalk, ADestinationWithinTheStandStillRadiusLeavesTheUnitInPlace) {
    ClientUnit* unit = MakeUnit(1);
    Walk(*unit, Vector3(0.3f, 1.0f, 0.2f)); // W2 = 0.09 + 0.01 + 0.04 < 0.2
    const Quaternion before = unit->Orientation;
    for (int32_t i = 0; i < 5; ++i) Frame(*unit);
    EXPECT_EQ(unit->Position.x, 0.0f);
    EXPECT_EQ(unit->Position.z, 0.0f);
    EXPECT_EQ(unit->Orientation.y, before.y);
    EXPECT_TRUE(unit->Moving);
}

// As the server's unit does: without a turn budget the step has nothing to walk.
TEST_F(ClientUnitWalk, ACharacterThatCannotTurnHasNoTurningCircleAndStaysPut) {
    ObjectDefinition* definition = UnitDefinition();
    definition->character->turningSpeed = 0;
    ClientUnit* unit = MakeUnit(1, 1, {0, 0, 0}, definition);
    EXPECT_EQ(unit->TurnRadiusSquared, 0.0f);
    Walk(*unit, Vector3(5, 0, 0));
    Frame(*unit, 0.5);
    EXPECT_EQ(unit->Position.x, 0.0f);
    EXPECT_EQ(unit->Position.z, 0.0f);
    EXPECT_TRUE(std::isfinite(unit->Orientation.y) && std::isfinite(unit->Orientation.w));
}

TEST_F(ClientUnitWalk, SpeedAndTurningCircleFollowTheCharacterAndSpeedChanges) {
    ClientUnit* unit = MakeUnit(1);
    EXPECT_FLOAT_EQ(unit->Speed, 2.0f);
    const Real radius = 2.0f / (1024.0f * 0.0015339808f);
    EXPECT_NEAR(unit->TurnRadiusSquared, radius * radius, 1e-4f);
    ClientMotionState state;
    state.Pose.Position = Vector3(4, 0, 4);
    unit->ChangeSpeed(65536, state);
    EXPECT_FLOAT_EQ(unit->Speed, 3.0f);
    EXPECT_NEAR(unit->TurnRadiusSquared, 2.25f * radius * radius, 1e-3f);
    EXPECT_EQ(unit->Position.x, 4.0f) << "placed by the state";
}

TEST_F(ClientUnitWalk, MotionStatesStopAndPlaceTheUnitUntilItDies) {
    ClientUnit* unit = MakeUnit(1);
    ClientMotionState state;
    state.Pose.Seconds = 0;
    state.Pose.Position = Vector3(1, 0, 1);
    unit->StartWalking(Vector3(9, 0, 9), state, Vector3(9, 0, 9));
    EXPECT_TRUE(unit->Moving);
    EXPECT_EQ(unit->MoveDestination.x, 9.0f);
    EXPECT_EQ(unit->TargetPoint.z, 9.0f);

    state.Pose.Position = Vector3(2, 0, 3);
    unit->ApplyMotionState(state, false);
    EXPECT_FALSE(unit->Moving);
    EXPECT_EQ(unit->MoveDestination.z, 3.0f);
    EXPECT_EQ(unit->TargetPoint.z, 9.0f) << "only a stop forgets the target";
    unit->ApplyMotionState(state, true);
    EXPECT_EQ(unit->TargetPoint.z, 3.0f);

    state.Pose.Position = Vector3(5, 0, 5);
    unit->Collapse(state);
    EXPECT_TRUE(unit->Dying);
    EXPECT_FALSE(unit->IsAlive());
    EXPECT_EQ(unit->GetHealthFraction(), 0.0f);
    EXPECT_EQ(unit->Position.x, 5.0f);
    state.Pose.Position = Vector3(7, 0, 7);
    unit->StartWalking(Vector3(8, 0, 8), state, Vector3(8, 0, 8));
    unit->ApplyMotionState(state, true);
    EXPECT_FALSE(unit->Moving) << "a dying unit ignores motion";
    EXPECT_EQ(unit->Position.x, 5.0f);
}

TEST_F(ClientUnitWalk, TheAlternateStanceLowersTheCentreAndStandingRestoresIt) {
    ClientUnit* unit = MakeUnit(1);
    const Vector3 standing = unit->CentreOffset;
    EXPECT_FLOAT_EQ(standing.y, -1.0f) << "half the character's height above the feet";
    unit->Moving = 1;
    unit->SetStance(1, true, false);
    EXPECT_FALSE(unit->Moving);
    EXPECT_TRUE(unit->IsAltStance());
    EXPECT_TRUE(unit->IsCloaked());
    unit->SetStance(0, false, true);
    EXPECT_FALSE(unit->IsAltStance());
    EXPECT_EQ(unit->CentreOffset.y, standing.y);
    EXPECT_EQ(seen.sounds, (std::vector<SeenSound>{{81, ""}, {81, ""}}));
}

TEST_F(ClientUnitWalk, IdleFlourishesWaitWhileTheGameStandsAndTheirCountdownNeverDividesByZero) {
    ObjectDefinition* definition = UnitDefinition();
    definition->lowerSequenceCount = 2;
    ClientUnit* unit = MakeUnit(1, 1, {0, 0, 0}, definition);
    const struct {
        float speed;
        bool flourish;
    } cases[] = {{0.0f, false}, {-1.0f, false}, {1e30f, true}, {1.0f, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.speed);
        GameClock.SetSpeed(c.speed);
        unit->IdleDone = 1;
        IdleCountdown = 0;
        Frame(*unit);
        EXPECT_EQ(unit->IdleDone == 0, c.flourish);
        if (c.flourish) {
            EXPECT_GE(IdleCountdown, 0);
            if (c.speed > 1e20f) EXPECT_EQ(IdleCountdown, 0) << "a divisor of at least 1";
        }
    }
    GameClock.SetSpeed(1.0f);
}

TEST_F(ClientUnitWalk, AnEnemyUnitThatGoesCountsAKillForTheMusic) {
    const int32_t killsBefore = MoodState.killCount;
    MakeUnit(1, 2)->Remove();
    MakeUnit(2, 1)->Remove();
    EXPECT_EQ(MoodState.killCount, killsBefore + 1);
}

} // namespace
