#include <gtest/gtest.h>

#include <limits>

#include "Tv/client/teamtable.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_settings.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/server_popup.h"
#include "Tv/sim/turret_ai.h"
#include "Tv/sim/waypoint_graph.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "tests/tv/sim_emplacement_fixture.h"

namespace {

constexpr Real kCycleSeconds = 3;

// A raised turret of team 2 at (20, 0, 4) facing +z: sight range 20 m, 45 degrees either side,
// target cycle 3 s. A wall across z = 20 from x = 14 to 26 stands on the floor.
class TurretAiTest : public EmplacementTest {
protected:
    void SetUp() override {
        EmplacementTest::SetUp();
        GeometryLayout layout;
        layout.FloorGrid(20, 20, 0, 0, 2, 0);
        layout.Add(
            {layout.Point(14, -3, 20), layout.Point(14, 1, 20), layout.Point(26, 1, 20), layout.Point(26, -3, 20)});
        MakeSolidLevel(layout);
        TvLoadPathGraph();
    }

    ServerTurret* RaisedTurret(int32_t weapon = 1) {
        GunnerSpec spec;
        spec.weapon = weapon;
        spec.sightRange = 20;
        spec.sightAngle = 512;
        EmplacementModelSpec noRise;
        noRise.rise = false;
        ObjectDefinition* definition = MakeEmplacement("turret", 20, spec, noRise);
        definition->character->targetCycleTime = kCycleSeconds;
        ServerTurret* turret = MakeTurret(2, {20, 0, 4}, definition);
        if (!turret) return nullptr;
        turret->PopUp(false);
        ThinkFor(*turret, 0.01f); // installs the turret core
        return turret;
    }

    // Advances the clock and runs one pass of the turret core.
    void AiPass(ServerTurret& turret, Real seconds = 1.0f) {
        AdvanceSeconds(seconds);
        TvTurretAi(&turret, Now());
    }

    int32_t AttackOrders(const ServerTurret& turret) {
        return static_cast<int32_t>(SentFor(kMsgBotAttackTarget, turret.Id).size());
    }
};

TEST_F(TurretAiTest, WithLosTestingATargetBehindAWallIsDroppedAtTheNextPass) {
    TestActor* hidden = Intruder(1, {20, -1, 23});
    for (bool los : {true, false}) {
        SCOPED_TRACE(los ? "LOS testing on" : "LOS testing off");
        ServerTurret* turret = RaisedTurret();
        ASSERT_NE(turret, nullptr);
        ASSERT_EQ(turret->AiTickCallback, &TvTurretAi);
        turret->SetLosTesting(los);
        turret->AttackTarget(hidden, NowSeconds(), 0, 0);

        AiPass(*turret, 0.1f);
        EXPECT_EQ(turret->IsFiring(), !los);
        EXPECT_EQ(turret->GetFireTarget(), los ? nullptr : hidden);
        EXPECT_EQ(SentFor(kMsgBotStopAttacking, turret->Id).size(), los ? 1u : 0u);
        turret->Remove(false);
    }
}

// Once chosen, a far target stays for the cycle time although a better aligned far actor came into
// view; then the turret chooses among the others.
TEST_F(TurretAiTest, AFarTargetStaysForTheCycleTimeThenTheOthersAreWeighed) {
    ServerTurret* turret = RaisedTurret();
    ASSERT_NE(turret, nullptr);
    TestActor* first = Intruder(1, {22, -1, 16});
    AiPass(*turret);
    ASSERT_EQ(turret->GetFireTarget(), first);
    const uint64_t chosen = Now();
    EXPECT_EQ(turret->GetTurretAiTime(), TicksAfter(chosen, kCycleSeconds));
    EXPECT_EQ(turret->Weapon->RoundTicks, static_cast<Real>(turret->ShotInterval)) << "the normal rate";
    EXPECT_GT(turret->ShotInterval, 0u) << "taken from the weapon";

    TestActor* aligned = Intruder(1, {20, -1, 15});
    AiPass(*turret);
    AiPass(*turret);
    EXPECT_EQ(turret->GetFireTarget(), first);
    EXPECT_EQ(AttackOrders(*turret), 1) << "the target is kept, not attacked anew";

    AiPass(*turret);
    ASSERT_EQ(Now(), TicksAfter(chosen, kCycleSeconds));
    EXPECT_EQ(turret->GetFireTarget(), aligned);
}

// During a far target's cycle an actor coming within 5 m inside the cone is attacked at the next
// pass at twice the rate; one within 5 m behind is not.
TEST_F(TurretAiTest, AnIntruderWithinFiveMetresInsideTheConeIsTakenAtOnceAtDoubleRate) {
    ServerTurret* turret = RaisedTurret();
    ASSERT_NE(turret, nullptr);
    Intruder(1, {22, -1, 16});
    AiPass(*turret);
    Intruder(1, {20, -1, 1}); // 3 m behind
    AiPass(*turret);
    EXPECT_EQ(AttackOrders(*turret), 1);

    TestActor* intruder = Intruder(1, {21, -1, 8});
    AiPass(*turret);
    EXPECT_EQ(turret->GetFireTarget(), intruder);
    EXPECT_EQ(turret->Weapon->RoundTicks, static_cast<Real>(turret->ShotInterval) * 0.5f);
    EXPECT_EQ(turret->GetTurretAiTime(), 0u);

    AiPass(*turret);
    EXPECT_EQ(turret->GetFireTarget(), intruder) << "a close target stays";
    EXPECT_EQ(turret->Weapon->RoundTicks, static_cast<Real>(turret->ShotInterval) * 0.5f);
}

// Outside game types 0 and 1 a turret acts only while converted, and then never aims at team 2;
// when the conversion runs out it goes back to sleep.
TEST_F(TurretAiTest, OutsideGameTypesZeroAndOneOnlyAConvertedTurretAttacks) {
    SessionTeamCount = 4;
    TeamTable::Reset();
    ASSERT_GE(TeamCount, 4u);
    CurrentGameType = 2;
    ServerTurret* turret = RaisedTurret();
    ASSERT_NE(turret, nullptr);
    TestActor* enemy = Intruder(1, {22, -1, 14});
    Intruder(2, {20, -1, 10}); // nearer and straight ahead
    for (int pass = 0; pass < 3; ++pass) AiPass(*turret);
    EXPECT_FALSE(turret->IsFiring());
    EXPECT_EQ(AttackOrders(*turret), 0);

    turret->Convert(NowSeconds(), NowSeconds() + 1.5f, 3);
    AiPass(*turret);
    EXPECT_EQ(turret->GetFireTarget(), enemy);

    AiPass(*turret);
    EXPECT_EQ(turret->Team, kComputerTeam);
    EXPECT_EQ(turret->AiWakeTime, static_cast<uint64_t>(std::numeric_limits<int64_t>::max()));
    AiPass(*turret);
    EXPECT_EQ(AttackOrders(*turret), 1);
}

TEST_F(TurretAiTest, AStunnedTurretSleepsUntilTheStunEndsAndThenEndsIt) {
    ServerTurret* turret = RaisedTurret();
    ASSERT_NE(turret, nullptr);
    TestActor* enemy = Intruder(1, {20, -1, 12});
    turret->Stun(NowSeconds(), NowSeconds() + 2.5f);
    const Real stunEnd = turret->StunEnd;
    AiPass(*turret);
    EXPECT_EQ(turret->AiWakeTime, static_cast<uint64_t>(FloorToInt64(stunEnd * CurrentTicksPerSecondFloat())));
    AiPass(*turret);
    EXPECT_EQ(AttackOrders(*turret), 0);
    EXPECT_EQ(turret->StunEnd, stunEnd);

    AiPass(*turret, 0.6f);
    EXPECT_EQ(turret->StunEnd, 0.0f);
    EXPECT_EQ(turret->GetFireTarget(), enemy);
}

// A target at the turret's own position gives no line to aim along: the cone is the turret's facing
// and the target is dropped for one ahead. A turret without a weapon has no shot spacing to set.
TEST_F(TurretAiTest, ATargetAtTheTurretsPositionIsDroppedForOneAheadEvenWithoutAWeapon) {
    ServerTurret* turret = RaisedTurret(kWeaponTypeNone);
    ASSERT_NE(turret, nullptr);
    ASSERT_EQ(turret->GetWeapon(), nullptr);
    TestActor* onTop = Intruder(1, turret->Position);
    TestActor* ahead = Intruder(1, {20, -1, 12});
    turret->AttackTarget(onTop, NowSeconds(), 0, 0);
    AiPass(*turret, 0.1f);
    EXPECT_EQ(turret->GetFireTarget(), ahead);
    EXPECT_EQ(turret->ShotInterval, 0u);
}

} // namespace
