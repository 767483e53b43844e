#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_options.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/lob_elevation.h"
#include "Tv/sim/server_mine.h"
#include "Tv/sim/server_popup.h"
#include "Tv/sim/turret_ai.h"
#include "core/clock.h"
#include "core/random.h"
#include "tests/tv/sim_emplacement_fixture.h"
#include "tests/tv/sim_launch_recorder.h"

namespace {

class TurretTest : public EmplacementTest {
protected:
    void SetUp() override {
        EmplacementTest::SetUp();
        MakeFloor(20, 20);
        GunnerSpec spec;
        spec.sightRange = 10;
        spec.sightAngle = 512; // 45 degrees either side
        turretType = MakeEmplacement("turret", 20, spec);
        EmplacementModelSpec noRise;
        noRise.rise = false;
        raisingAtOnce = MakeEmplacement("quickturret", 20, spec, noRise);
    }

    // A turret of team 2 at (10, 0, 10) facing +z, up at once.
    ServerTurret* RaisedTurret() {
        ServerTurret* turret = MakeTurret(2, {10, 0, 10}, raisingAtOnce);
        if (turret) turret->PopUp(false);
        return turret;
    }

    ObjectDefinition* turretType = nullptr;
    ObjectDefinition* raisingAtOnce = nullptr;
};

// Only an enemy in its sight cone (45 degrees either side of its facing) and within sight range (10
// m) raises the turret; mines, team 0 and concealed actors never do, nor an actor at the turret's
// own position (no direction).
TEST_F(TurretTest, RisesForAnEnemyInItsFieldOfViewOnly) {
    enum Kind { kEnemy, kMine, kConcealed };
    struct Case {
        const char* what;
        int32_t team;
        Kind kind;
        Vector3 offset;
        bool rises;
    };
    const Case cases[] = {
        {"an enemy ahead within range", 1, kEnemy, {0, 0, 6}, true},
        {"an enemy inside the cone's edge", 1, kEnemy, {4.5f, 0, 5}, true},
        {"an enemy outside it", 1, kEnemy, {5, 0, 4.5f}, false},
        {"an enemy behind", 1, kEnemy, {0, 0, -4}, false},
        {"an enemy ahead beyond range", 1, kEnemy, {0, 0, 10.1f}, false},
        {"a mine ahead", 1, kMine, {0, 0, 3}, false},
        {"an actor of team 0 ahead", 0, kEnemy, {0, 0, 3}, false},
        {"a concealed enemy ahead", 1, kConcealed, {0, 0, 3}, false},
        {"an enemy at the turret's position", 1, kEnemy, {0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ServerTurret* turret = MakeTurret(2, {10, 0, 10}, turretType);
        ASSERT_NE(turret, nullptr);
        TestActor* actor = Intruder(c.team, turret->Position + c.offset);
        actor->concealed = c.kind == kConcealed;
        if (c.kind == kMine) actor->AiTickCallback = TvMineAi;

        ThinkFor(*turret, 0.05f);
        EXPECT_EQ(turret->Rising, c.rises);
        EXPECT_EQ(SentFor(kMsgPopupRising, turret->Id).size(), c.rises ? 1u : 0u);
        actor->Remove(false);
        turret->Remove(false);
    }
}

// The gun turns within the gun yaw angle (256, 22.5 degrees) and the turret fires; beyond it the
// attack ends. The body never turns.
TEST_F(TurretTest, ATargetBeyondTheGunYawAngleEndsTheAttackAndTheBodyStays) {
    LaunchRecorder launches;
    struct Case {
        const char* what;
        Vector3 offset;
        bool fires;
    };
    const Case cases[] = {
        {"ahead, within the yaw angle", {2, 0, 8}, true},
        {"to the side, beyond it", {6, 0, 6}, false},
        {"straight behind", {0, 0, -6}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ServerTurret* turret = RaisedTurret();
        ASSERT_NE(turret, nullptr);
        const Quaternion facing = turret->Orientation;
        TestActor* target = Intruder(1, turret->Position + c.offset);
        const size_t before = launches.launches.size();

        turret->AttackTarget(target, NowSeconds(), 0, 0);
        ThinkFor(*turret, 0.05f);
        ThinkFor(*turret, 0.05f);
        EXPECT_EQ(turret->IsFiring(), c.fires);
        EXPECT_EQ(SentFor(kMsgBotStopAttacking, turret->Id).size(), c.fires ? 0u : 1u);
        EXPECT_EQ(launches.launches.size() - before, c.fires ? 1u : 0u);
        EXPECT_EQ(turret->Orientation.y, facing.y);
        EXPECT_EQ(turret->Orientation.w, facing.w);
        target->Remove(false);
        turret->Remove(false);
    }
}

// With Aim 0.0 every shot leaves along the line from the muzzle to the target's centre; with a
// spread the shots scatter. Each shot is announced (70), counted for team 2 and spaced by the
// weapon's round time (0.5 s).
TEST_F(TurretTest, WithAimZeroEveryShotFliesAlongTheAimLine) {
    LaunchRecorder launches;
    RandomGenerator::ForCallingThread().Seed(RandomGenerator::kDefaultSeed);
    for (Real aim : {0.0f, 2000.0f}) {
        SCOPED_TRACE(aim);
        const size_t first = launches.launches.size();
        const int32_t shotsBefore = GameOptions.MissionStats[kStatEnemyShots];
        ServerTurret* turret = RaisedTurret();
        ASSERT_NE(turret, nullptr);
        turret->Aim = aim;
        TestActor* target = Intruder(1, turret->Position + Vector3(3, -2, 8));
        turret->AttackTarget(target, NowSeconds(), 0, 0);
        for (int pass = 0; pass < 26; ++pass) ThinkFor(*turret, 0.05f);

        ASSERT_EQ(launches.launches.size() - first, 3u) << "at 0, 0.5 and 1.0 s";
        Vector3 line = target->GetCentre() - turret->GetMuzzlePosition();
        line = line * (1.0f / std::sqrt(Dot(line, line)));
        int32_t alongTheLine = 0;
        for (size_t k = first; k < launches.launches.size(); ++k) {
            const ProjectileLaunch& shot = launches.launches[k];
            EXPECT_EQ(shot.shooterId, turret->Id);
            EXPECT_EQ(shot.targetId, target->Id);
            EXPECT_EQ(shot.team, 2);
            const Vector3 flight = ForwardAxis(shot.orientation);
            alongTheLine += Dot(flight, line) > 0.9999f; // within the angle tables' step
        }
        EXPECT_EQ(alongTheLine, aim == 0 ? 3 : 0);
        EXPECT_EQ(recorder.CountSent(MSG_PROJECTILE_FIRED), static_cast<int32_t>(launches.launches.size()));
        EXPECT_EQ(GameOptions.MissionStats[kStatEnemyShots] - shotsBefore, 3);
        target->Remove(false);
        turret->Remove(false);
    }
}

// A target straight above or below the muzzle, or at the turret's own position, has no elevation:
// the attack ends without a shot.
TEST_F(TurretTest, ATargetWithNoElevationEndsTheAttack) {
    LaunchRecorder launches;
    for (const Vector3& offset : {Vector3(0, -5, 0), Vector3(0, 5, 0), Vector3(0, 0, 0)}) {
        SCOPED_TRACE(offset.y);
        ServerTurret* turret = RaisedTurret();
        ASSERT_NE(turret, nullptr);
        TestActor* target = Intruder(1, turret->GetMuzzlePosition() + offset);
        turret->AttackTarget(target, NowSeconds(), 0, 0);
        ThinkFor(*turret, 0.05f);
        EXPECT_FALSE(turret->IsFiring());
        EXPECT_TRUE(std::isfinite(turret->Elevation));
        target->Remove(false);
        turret->Remove(false);
    }
    EXPECT_TRUE(launches.launches.empty());
}

// A conversion raises a lowered turret at once and wakes its AI; when it ends the AI sleeps until
// something wakes it.
TEST_F(TurretTest, AConvertedTurretRisesAtOnceAndSleepsWhenTheConversionEnds) {
    ServerTurret* turret = MakeTurret(2, {10, 0, 10}, turretType);
    ASSERT_NE(turret, nullptr);
    turret->AiWakeTime = Now() + 1000000;
    turret->Convert(NowSeconds(), NowSeconds() + 10, 1);
    EXPECT_TRUE(turret->Rising);
    EXPECT_EQ(SentFor(kMsgPopupRising, turret->Id).size(), 1u);
    EXPECT_EQ(turret->Team, 1);
    EXPECT_LE(turret->AiWakeTime, Now());

    turret->Convert(NowSeconds(), NowSeconds() + 10, 1);
    EXPECT_EQ(SentFor(kMsgPopupRising, turret->Id).size(), 1u) << "a rise under way is not restarted";

    turret->EndConversion();
    EXPECT_EQ(turret->Team, 2);
    EXPECT_EQ(turret->AiWakeTime, static_cast<uint64_t>(std::numeric_limits<int64_t>::max()));
}

// The flatter path of a lobbed shot reaches the point; toward a point out of reach the shot still
// goes up; straight up or down, or a shot without speed, has no elevation.
TEST_F(TurretTest, TheFlatterLobPathReachesThePointOrGoesAsFarAsItCan) {
    struct Case {
        Vector3 aim;
        Real speed;
        bool found;
    };
    const Case cases[] = {
        {{0, 0, 20}, 20, true},  {{12, -3, 5}, 20, true}, {{0, 4, 15}, 15, true},
        {{0, 0, 100}, 20, true}, {{0, -5, 0}, 20, false}, {{0, 0, 10}, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.aim.x << ", " << c.aim.y << ", " << c.aim.z << " at " << c.speed);
        Real e = 12345;
        ASSERT_EQ(TvFlatterLobElevation(c.aim, c.speed, e), c.found);
        if (!c.found) {
            EXPECT_EQ(e, 12345) << "untouched";
            continue;
        }
        const Real radians = e / AngleUnitsPerRadian;
        const Real h = std::sqrt(c.aim.x * c.aim.x + c.aim.z * c.aim.z);
        const Real vh = c.speed * std::cos(radians), vy = c.speed * std::sin(radians);
        const Real t = h / vh;
        const Real y = vy * t + 0.5f * Gravity * t * t; // y grows downward
        const Real v2 = c.speed * c.speed;
        const bool reachable = v2 * v2 + 2 * Gravity * c.aim.y * v2 - Gravity * Gravity * h * h >= 0;
        if (reachable) {
            EXPECT_NEAR(y, c.aim.y, 0.05f * h) << "the path passes through the point";
            Real low = 0;
            ASSERT_TRUE(TvAimElevation(c.aim, c.speed, true, false, low));
            EXPECT_NEAR(e, low, 2.0f) << "the flatter of the two paths";
        } else {
            EXPECT_LT(e, 0.0f) << "upward";
            EXPECT_GT(e, -1024.0f);
        }
    }
}

} // namespace
