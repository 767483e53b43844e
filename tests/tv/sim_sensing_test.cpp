// Sensing: the sweeping sight ray reports an enemy only when it passes over
// it; candidate rules of the nearest-enemy searches.
#include <cmath>
#include <limits>
#include <numbers>

#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/sensing.h"
#include "Tv/sim/server_unit.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "tests/tv/sim_combat_fixture.h"

namespace {

constexpr Real kNone = std::numeric_limits<Real>::max();
constexpr Real kSightAngle = 512; // an eighth of a turn either side
constexpr Real kScanRate = 1024;  // angle units a second
constexpr double kStepSeconds = 0.1;

class SimSensingTest : public CombatTest {
protected:
    void SetUp() override {
        CombatTest::SetUp();
        ObjectDefinition* definition = MakeDefinition("scout", 0, true);
        definition->character->angularScanRate = kScanRate;
        owner = new ServerUnit(1, definition, {0, 0, 0}, {0, 0, 0, 1}, TvNextActorId());
        owner->SightRange = 20;
        owner->SightAngle = kSightAngle;
        TeamListAppend(owner);
        senses = std::make_unique<ActorAiData>(owner, &scan);
    }
    void TearDown() override {
        senses.reset();
        CombatTest::TearDown();
    }
    TestActor* Enemy(int32_t team, const Vector3& position, int32_t core = 0) {
        TestActor* enemy = new TestActor(team, position, kActorFlagsUnit);
        enemy->AiCore = core;
        TeamListAppend(enemy);
        return enemy;
    }
    // Steps the sweep until it reports something or ends; the angle at the report, or NaN.
    Real SweepUntilReported(ServerObject*& target, Real& best) {
        for (int32_t step = 0; step < 100 && scan.ScanActive; ++step) {
            AdvanceSeconds(kStepSeconds);
            if (senses->Scan(target, best)) return scan.ScanAngle;
        }
        return std::numeric_limits<Real>::quiet_NaN();
    }
    static Real BearingOf(const Vector3& p) {
        return std::atan2(p.x, p.z) * 4096.0f / (2.0f * std::numbers::pi_v<Real>);
    }

    ServerUnit* owner = nullptr;
    SightScan scan;
    std::unique_ptr<ActorAiData> senses;
};

TEST_F(SimSensingTest, AStandingEnemyIsReportedOnTheStepInWhichTheRaySwingsPastIt) {
    const Vector3 place{2, 0, 10};
    TestActor* enemy = Enemy(2, place);
    scan.Start(kSightAngle, GameClock.GetSeconds());
    ServerObject* target = nullptr;
    Real best = kNone;
    AdvanceSeconds(kStepSeconds);
    EXPECT_FALSE(senses->Scan(target, best)) << "the first meeting only notes its side";
    const Real angle = SweepUntilReported(target, best);
    EXPECT_EQ(target, enemy);
    EXPECT_FLOAT_EQ(best, 104);
    // The first step whose ray is past the enemy's bearing.
    EXPECT_GT(angle, BearingOf(place));
    EXPECT_LE(angle - static_cast<Real>(kStepSeconds) * kScanRate, BearingOf(place));
}

TEST_F(SimSensingTest, AnEnemyMetBehindTheSweepWaitsForTheRayToComeBack) {
    Enemy(2, {0, 0, -5}); // behind: the sweep turns only while someone is in range
    scan.Start(kSightAngle, GameClock.GetSeconds());
    ServerObject* target = nullptr;
    Real best = kNone;
    while (scan.ScanAngle < 300) {
        AdvanceSeconds(kStepSeconds);
        senses->Scan(target, best);
    }
    const Vector3 place{2, 0, 10};
    TestActor* enemy = Enemy(2, place);
    const Real angle = SweepUntilReported(target, best);
    EXPECT_EQ(target, enemy);
    EXPECT_EQ(scan.ScanProgress, 1) << "reported on the way back";
    EXPECT_LT(angle, BearingOf(place));
    EXPECT_GE(angle + static_cast<Real>(kStepSeconds) * kScanRate, BearingOf(place));
}

TEST_F(SimSensingTest, AnEnemyFirstMetAsTheRayCrossesItWaitsForTheNextCrossing) {
    Enemy(2, {0, 0, -5}); // behind: the sweep turns only while someone is in range
    scan.Start(kSightAngle, GameClock.GetSeconds());
    const Vector3 place{2, 0, 10};
    const Real bearing = BearingOf(place);
    const Real step = static_cast<Real>(kStepSeconds) * kScanRate;
    ServerObject* target = nullptr;
    Real best = kNone;
    while (scan.ScanAngle + step < bearing) { // stop one step short of the enemy's bearing
        AdvanceSeconds(kStepSeconds);
        senses->Scan(target, best);
    }
    TestActor* enemy = Enemy(2, place);
    AdvanceSeconds(kStepSeconds);
    EXPECT_FALSE(senses->Scan(target, best)) << "the step that first meets it only notes its side";
    ASSERT_GT(scan.ScanAngle, bearing) << "that step swept past it";
    ASSERT_EQ(scan.ScanProgress, 0);
    const Real angle = SweepUntilReported(target, best);
    EXPECT_EQ(target, enemy);
    EXPECT_EQ(scan.ScanProgress, 1) << "reported when the ray comes back over it";
    EXPECT_LT(angle, bearing);
    EXPECT_GE(angle + step, bearing);
}

TEST_F(SimSensingTest, MinesAreNeverCandidatesAndTeamZeroOnlyForTheSweep) {
    TestActor* mine = Enemy(2, {0.5f, 0, 3}, kAiCoreMine);
    TestActor* neutral = Enemy(0, {1, 0, 5});
    TestActor* far = Enemy(3, {3, 0, 12});
    Enemy(3, {0, 0, 2})->concealed = true;

    ServerObject* target = nullptr;
    Real best = kNone;
    EXPECT_TRUE(senses->FindNearestVisible(kNone, target, best));
    EXPECT_EQ(target, far) << "neither the mine, team 0 nor the concealed";
    best = kNone;
    target = nullptr;
    EXPECT_FALSE(senses->FindNearestVisible(100, target, best)) << "the limit is strict and squared";

    scan.Start(kSightAngle, GameClock.GetSeconds());
    best = kNone;
    target = nullptr;
    SweepUntilReported(target, best);
    EXPECT_EQ(target, neutral) << "the mine and the concealed enemy lie earlier in the sweep";

    EXPECT_EQ(TvFindOtherEnemyInSight(owner, nullptr), mine) << "the mine counts here";
    EXPECT_EQ(TvFindOtherEnemyInSight(owner, mine), far) << "team 0 is neutral";
    owner->SightRange = 1;
    EXPECT_EQ(TvFindOtherEnemyInSight(owner, mine), mine) << "none in range: the excluded one";
}

// An angle that is no number, or too large for a table index, turns the ray
// nowhere: enemies on either side and dead ahead are never reported.
TEST_F(SimSensingTest, ASweepWhoseAngleIsNoAngleNeitherFailsNorReports) {
    Enemy(2, {-3, 0, 8});
    Enemy(2, {3, 0, 8});
    Enemy(3, {0, 0, 6});
    const Real angles[] = {std::numeric_limits<Real>::quiet_NaN(), std::numeric_limits<Real>::infinity(),
                           -std::numeric_limits<Real>::infinity(), 1e30f, -1e30f};
    for (Real start : angles) {
        scan.Start(kSightAngle, GameClock.GetSeconds());
        scan.ScanAngle = start;
        ServerObject* target = nullptr;
        Real best = kNone;
        for (int32_t step = 0; step < 20; ++step) {
            AdvanceSeconds(kStepSeconds);
            EXPECT_FALSE(senses->Scan(target, best)) << "angle " << start << ", step " << step;
        }
        EXPECT_EQ(target, nullptr);
    }
}

TEST_F(SimSensingTest, AWallAcrossTheRayDropsEnemiesBeyondItEvenWithAClearLineToThem) {
    // A wall at z = 5 from x = 1.3 to 3: it cuts the ray that first swings past
    // the enemy, not the line from the eye to the enemy (x = 1 at that depth).
    GeometryLayout layout;
    layout.Add({layout.Point(1.3f, -3, 5), layout.Point(1.3f, 1, 5), layout.Point(3, 1, 5), layout.Point(3, -3, 5)});
    MakeSolidLevel(layout);
    const Vector3 place{2, 0, 10};
    TestActor* enemy = Enemy(2, place);
    ASSERT_TRUE(TvLevelSegmentHit(owner->Position + SightEyeOffset, place + SightEyeOffset));

    scan.Start(kSightAngle, GameClock.GetSeconds());
    ServerObject* target = nullptr;
    Real best = kNone;
    const Real angle = SweepUntilReported(target, best);
    EXPECT_EQ(target, enemy);
    EXPECT_EQ(scan.ScanProgress, 1) << "not on the way out, where the wall cut the ray; on the way back";
    EXPECT_LT(angle, BearingOf(place));
}

} // namespace
