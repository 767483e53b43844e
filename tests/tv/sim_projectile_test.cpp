// Projectiles: launch message, predicted and moving impacts, friendly fire,
// blasts, homing, orientation and the flight's end.
#include <cmath>
#include <limits>
#include <vector>

#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/server/projectile_launch.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/noise_events.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/sim/server_unit.h"
#include "Tv/world/intersection.h"
#include "core/clock.h"
#include "tests/tv/sim_combat_fixture.h"

namespace {

constexpr int32_t kMsgDamageReport = 55;
constexpr int32_t kMsgImpact = 71;
constexpr Quaternion kAlongZ{0, 0, 0, 1};

class SimProjectileTest : public CombatTest {
protected:
    // A projectile launched now, held by the test as well as by the registry.
    ServerProjectile* Launch(const ObjectDefinition* shot, int32_t team, const Vector3& from, Real speed,
                             const Quaternion& orientation = kAlongZ, int32_t targetId = -1, int32_t shooterId = -1) {
        ServerProjectile* projectile =
            new ServerProjectile(team, shot, from, orientation, speed, shooterId, targetId, 0, TvNextActorId());
        projectile->AddRef();
        held.push_back(projectile);
        launchTicks = ServerClock.GetTime();
        projectile->Start(launchTicks, SecondsOf(launchTicks));
        return projectile;
    }
    void TearDown() override {
        for (ServerProjectile* projectile : held)
            projectile->Release();
        CombatTest::TearDown();
    }
    static Real SecondsOf(uint64_t ticks) { return static_cast<Real>(ticks) * CurrentSecondsPerTick(); }
    // One world step of the projectile `ticks` after launch: Step, then Think while it flies.
    void PassAt(ServerProjectile* projectile, uint64_t ticks) {
        const uint64_t time = launchTicks + ticks;
        projectile->Step(time, SecondsOf(time));
        if (!projectile->Dead) projectile->Think(time, SecondsOf(time));
    }
    // A solid floor from z = 0 to 20 at y = 0 (x from -5 to 5) and a wall 5 m
    // high across it at z = wallZ.
    void MakeWalledFloor(Real wallZ) {
        GeometryLayout layout;
        layout.FloorQuad(-5, 0, 5, 20, 0);
        layout.Add({layout.Point(-5, 0, wallZ), layout.Point(-5, -5, wallZ), layout.Point(5, -5, wallZ),
                    layout.Point(5, 0, wallZ)});
        MakeSolidLevel(layout);
    }
    // The one message of that type, naming `definition` (its id at `idOffset`),
    // when a definition is given, and none without one: its bytes, if any.
    std::vector<uint8_t> OneMessageNaming(int32_t type, const ObjectDefinition* definition, size_t idOffset) {
        const std::vector<RecordedMessage> sent = recorder.Sent(type);
        EXPECT_EQ(sent.size(), definition ? 1u : 0u);
        if (!definition || sent.size() != 1) return {};
        EXPECT_EQ(MessageInt(sent[0].bytes, idOffset), definition->id);
        return sent[0].bytes;
    }
    static uint64_t TicksOf(double seconds) {
        return static_cast<uint64_t>(seconds * static_cast<double>(CurrentTicksPerSecondFloat()));
    }

    uint64_t launchTicks = 0;
    std::vector<ServerProjectile*> held;
};

TEST_F(SimProjectileTest, TheLaunchMessageCarriesTheShotsTeamAtOffset16) {
    const ObjectDefinition* shot = MakeShot("bolt", 10);
    ASSERT_TRUE(TvFireProjectile(shot, {1, 2, 3}, {1, 2, 13}, 7, -1, 3, 5, 40));
    const std::vector<RecordedMessage> fired = recorder.Sent(MSG_PROJECTILE_FIRED);
    ASSERT_EQ(fired.size(), 1u);
    const std::vector<uint8_t>& m = fired[0].bytes;
    ASSERT_EQ(m.size(), 64u);
    EXPECT_EQ(MessageInt(m, 4), 7);
    EXPECT_EQ(MessageInt(m, 8), -1);
    EXPECT_EQ(MessageInt(m, 12), shot->id);
    EXPECT_EQ(MessageInt(m, 16), 3) << "the team byte, then three zero bytes";
    EXPECT_FLOAT_EQ(MessageFloat(m, 52), 40);
    EXPECT_EQ(MessageInt(m, 56), 5);

    const ServerObject* projectile = TvFindActor(MessageInt(m, 60));
    ASSERT_NE(projectile, nullptr);
    EXPECT_TRUE(projectile->IsProjectile());
    EXPECT_EQ(projectile->GetSize(), 376);
    EXPECT_EQ(projectile->InTeamList, 0);
    EXPECT_TRUE(projectile->Mobile);
    EXPECT_EQ(TeamActorListOf(3)->Count(), 0);
}

TEST_F(SimProjectileTest, AFiredShotFliesAndStrikesThroughTheWorldStep) {
    TestActor* barrel = new TestActor(2, {0, 0, 20});
    barrel->hitAt = 0.52f; // its near side, 20.8 m away at 40 m/s
    const ObjectDefinition* shot = MakeShot("bolt", 10);
    ASSERT_TRUE(TvFireProjectile(shot, {0, 0, 0}, {0, 0, 20}, -1, -1, 1, 0, 40));
    const int32_t id = MessageInt(recorder.Sent(MSG_PROJECTILE_FIRED)[0].bytes, 60);
    for (int32_t pass = 0; pass < 10; ++pass) Step(0.05f);
    EXPECT_EQ(recorder.CountSent(kMsgImpact), 0);
    EXPECT_NE(TvFindActor(id), nullptr);
    Step(0.05f);
    EXPECT_EQ(recorder.CountSent(kMsgImpact), 1) << "in the pass at 0.55 s";
    EXPECT_EQ(TvFindActor(id), nullptr);
    EXPECT_EQ(barrel->damage.size(), 1u);
}

TEST_F(SimProjectileTest, APredictedStrikeLandsInTheFirstPassAtOrAfterItsTimeExactlyWhereForeseen) {
    const std::vector<std::vector<double>> passLengths = {{0.05}, {0.3}, {0.7, 0.1, 1.3, 0.45, 0.01}, {2.5}};
    for (const std::vector<double>& lengths : passLengths) {
        recorder.Clear();
        TestActor* barrel = new TestActor(2, {0.25f, -1, 100});
        barrel->hitAt = 2.5f;
        const Vector3 origin{0.25f, -1, 0.5f};
        ServerProjectile* shot = Launch(MakeShot("bolt", 10), 1, origin, 40);
        EXPECT_EQ(shot->VictimId, barrel->Id);

        uint64_t ticks = 0;
        bool due = false;
        for (size_t k = 0; !due; ++k) {
            ticks += TicksOf(lengths[k % lengths.size()]);
            due = SecondsOf(ticks) >= 2.5f;
            PassAt(shot, ticks);
            ASSERT_EQ(recorder.CountSent(kMsgImpact), due ? 1 : 0) << "pass " << k;
        }
        const std::vector<uint8_t> impact = recorder.Sent(kMsgImpact)[0].bytes;
        ASSERT_EQ(impact.size(), 29u);
        EXPECT_EQ(MessageInt(impact, 4), shot->Id);
        EXPECT_EQ(MessageInt(impact, 8), barrel->Id);
        const Vector3 expected = origin + 2.5f * shot->Velocity;
        EXPECT_EQ(MessageFloat(impact, 16), expected.x);
        EXPECT_EQ(MessageFloat(impact, 20), expected.y);
        EXPECT_EQ(MessageFloat(impact, 24), expected.z);
        EXPECT_EQ(impact[28], 1) << "killed: the victim's damage rule answered true";
        EXPECT_TRUE(shot->Dead);

        ASSERT_EQ(barrel->damage.size(), 1u);
        EXPECT_FLOAT_EQ(barrel->damage[0].amount, 10);
        EXPECT_TRUE(barrel->damage[0].protectedHit);
        EXPECT_EQ(barrel->damage[0].attackerTeam, 1);
        EXPECT_EQ(barrel->AiFlags & 0x4u, 0x4u) << "the victim's AI learns it was shot at";
        const std::vector<RecordedMessage> report = recorder.Sent(kMsgDamageReport);
        ASSERT_EQ(report.size(), 1u);
        ASSERT_EQ(report[0].bytes.size(), 20u);
        EXPECT_EQ(MessageInt(report[0].bytes, 4), barrel->Id);
        EXPECT_FLOAT_EQ(MessageFloat(report[0].bytes, 8), 90) << "strength, then shield and armour";

        ASSERT_EQ(NoiseEventList.Count(), 1);
        EXPECT_EQ(NoiseEventList.Front()->position.z, expected.z);
        EXPECT_EQ(NoiseEventList.Front()->loudness, 25);
        TvClearNoiseEvents();
        barrel->Remove(false);
    }
}

TEST_F(SimProjectileTest, FriendlyFireRulesForDirectHitsAndBlastsAndABlastSparesTheDirectVictim) {
    struct Case {
        int32_t gameType, victimTeam;
        bool friendlyFire;
        bool victimHurt, teammateHurt;
    };
    // The shot is team 1's; its teammate and the victim's own mate stand in the blast.
    const Case cases[] = {
        {kGameStory, 3, false, false, false}, {kGameCooperative, 3, false, false, false},
        {2, 3, false, true, false},           {3, 3, false, true, false},
        {4, 3, false, true, false},           {5, 3, false, true, false},
        {kGameStory, 2, false, true, false},  {kGameStory, 3, true, true, true},
    };
    for (const Case& c : cases) {
        recorder.Clear();
        CurrentGameType = c.gameType;
        UserMatchSettings.FriendlyFire = c.friendlyFire;
        TestActor* victim = new TestActor(c.victimTeam, {0, 0, 10});
        victim->hitAt = 0.1f; // (0, 0, 10)
        TestActor* victimsMate = new TestActor(c.victimTeam, {1, 0, 10});
        TestActor* teammate = new TestActor(1, {-1, 0, 10});
        TestActor* outside = new TestActor(c.victimTeam, {0, 0, 13});
        ServerProjectile* shot = Launch(MakeShot("shell", 10, 4, 2.5f), 1, {0, 0, 0}, 100);
        PassAt(shot, TicksOf(0.15));
        ASSERT_TRUE(shot->Dead);
        const auto expectHurt = [&](const TestActor* actor, bool hurt, Real amount, const char* who) {
            ASSERT_EQ(actor->damage.size(), hurt ? 1u : 0u) << who << ", game type " << c.gameType;
            if (hurt) {
                EXPECT_FLOAT_EQ(actor->damage[0].amount, amount) << who;
            }
        };
        expectHurt(victim, c.victimHurt, 10, "the victim (direct only)");
        expectHurt(victimsMate, c.victimHurt, 4, "the victim's mate");
        expectHurt(teammate, c.teammateHurt, 4, "the shooter's teammate");
        expectHurt(outside, false, 0, "beyond the blast");
        for (TestActor* actor : {victim, victimsMate, teammate, outside})
            actor->Remove(false);
    }
}

// Without friendly fire a shot passes through a unit of its own team and its
// blast spares it, in every game type; with friendly fire the unit is struck.
TEST_F(SimProjectileTest, WithoutFriendlyFireAShotNeverHurtsItsOwnTeam) {
    struct Case {
        int32_t gameType;
        bool friendlyFire;
    };
    const Case cases[] = {
        {kGameStory, false}, {kGameCooperative, false}, {2, false}, {3, false}, {4, false}, {5, false}, {2, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "game type " << c.gameType << (c.friendlyFire ? ", friendly fire" : ""));
        recorder.Clear();
        CurrentGameType = c.gameType;
        UserMatchSettings.FriendlyFire = c.friendlyFire;
        TestActor* comrade = new TestActor(1, {0, 0, 10}, kActorFlagsUnit);
        comrade->hitAt = 0.1f; // in the line of fire, 1 m before the barrel
        TestActor* barrel = new TestActor(2, {0, 0, 11});
        barrel->hitAt = 0.11f;
        ServerProjectile* shot = Launch(MakeShot("shell", 10, 4, 2.5f), 1, {0, 0, 0}, 100);
        PassAt(shot, TicksOf(0.15));
        ASSERT_TRUE(shot->Dead);
        const std::vector<RecordedMessage> impact = recorder.Sent(kMsgImpact);
        ASSERT_EQ(impact.size(), 1u);
        EXPECT_EQ(MessageInt(impact[0].bytes, 8), c.friendlyFire ? comrade->Id : barrel->Id);
        if (c.friendlyFire) {
            ASSERT_EQ(comrade->damage.size(), 1u);
            EXPECT_FLOAT_EQ(comrade->damage[0].amount, 10);
        } else {
            EXPECT_TRUE(comrade->damage.empty()) << "neither struck nor caught in the blast 1 m away";
        }
        ASSERT_EQ(barrel->damage.size(), 1u);
        EXPECT_FLOAT_EQ(barrel->damage[0].amount, c.friendlyFire ? 4 : 10);
        comrade->Remove(false);
        barrel->Remove(false);
    }
}

TEST_F(SimProjectileTest, AHomingShotArrivesWithinTwentyCentimetresOrGoesAfterTenSeconds) {
    const ObjectDefinition* missile = MakeShot("missile", 10, 0, 0, kFlightHoming);
    TestActor* still = new TestActor(2, {0, 0, 3});
    const Vector3 centre = still->GetCentre();
    // 0.1 m a pass, turning toward the target from beside it.
    ServerProjectile* shot = Launch(missile, 1, {1, 0, 0}, 2, kAlongZ, still->Id);
    const int32_t hits = GameOptions.MissionStats[kStatPlayerHits];
    uint64_t ticks = 0;
    while (!shot->Dead && SecondsOf(ticks) < 10)
        PassAt(shot, ticks += TicksOf(0.05));
    const std::vector<RecordedMessage> impact = recorder.Sent(kMsgImpact);
    ASSERT_EQ(impact.size(), 1u) << "arrived after " << SecondsOf(ticks) << " s";
    EXPECT_EQ(MessageInt(impact[0].bytes, 8), -1) << "an arrival strikes no victim";
    const Real dx = MessageFloat(impact[0].bytes, 16) - centre.x, dz = MessageFloat(impact[0].bytes, 24) - centre.z;
    EXPECT_LT(dx * dx + dz * dz, 0.04f);
    EXPECT_EQ(GameOptions.MissionStats[kStatPlayerHits], hits + 1);
    EXPECT_EQ(recorder.CountSent(MSG_REMOVE_OBJECT), 0);

    recorder.Clear();
    TestActor* far = new TestActor(2, {0, 0, 1000});
    shot = Launch(missile, 1, {0, 0, 0}, 20, kAlongZ, far->Id);
    ticks = 0;
    while (!shot->Dead) {
        ASSERT_LE(SecondsOf(ticks), 10) << "still flying";
        PassAt(shot, ticks += TicksOf(0.05));
    }
    EXPECT_GT(SecondsOf(ticks), 10);
    EXPECT_EQ(recorder.CountSent(MSG_REMOVE_OBJECT), 1);
    EXPECT_EQ(recorder.CountSent(kMsgImpact), 0);
}

TEST_F(SimProjectileTest, OrientationTurnsForwardOntoTheVelocityAlongTheZAxisToo) {
    const Vector3 velocities[] = {{0, 0, 5}, {0, 0, -5}, {3, 0, 0}, {0, -4, 3}, {1, 2, -2}, {-0.5f, 0.1f, 0}};
    for (const Vector3& v : velocities) {
        const Quaternion q = ProjectileOrientation(v);
        Vector3 forward;
        QuaternionZAxis(forward, q);
        // The half angle is a whole table index: the turn is good to two angle units (0.0031 rad).
        const Vector3 expected = v * (1.0f / std::sqrt(Dot(v, v)));
        EXPECT_NEAR(forward.x, expected.x, 4e-3f) << v.x << " " << v.y << " " << v.z;
        EXPECT_NEAR(forward.y, expected.y, 4e-3f) << v.x << " " << v.y << " " << v.z;
        EXPECT_NEAR(forward.z, expected.z, 4e-3f) << v.x << " " << v.y << " " << v.z;
        EXPECT_NEAR(Dot(Vector3(q.x, q.y, q.z), Vector3(q.x, q.y, q.z)) + q.w * q.w, 1, 2e-3f);
    }
    const Quaternion back = ProjectileOrientation({0, 0, -5});
    EXPECT_EQ(back.y, 1);
    EXPECT_EQ(back.w, 0);
}

TEST_F(SimProjectileTest, AShotStrikesTheLevelWhereForeseenAndLeavesItsBox) {
    MakeWalledFloor(20); // across its far end
    const ObjectDefinition* bolt = MakeShot("bolt", 10);
    TestActor* shooter = new TestActor(1, {0, 0, 1});
    shooter->WithheldShots = 2;
    ServerProjectile* shot = Launch(bolt, 1, {0, -1, 10}, 10, kAlongZ, -1, shooter->Id);
    EXPECT_TRUE(shot->WillHit);
    EXPECT_TRUE(shot->HitsLevel);
    EXPECT_NEAR(shot->HitAt, 1.0f, 1e-5f);
    uint64_t ticks = 0;
    while (!shot->Dead)
        PassAt(shot, ticks += TicksOf(0.3));
    EXPECT_GE(SecondsOf(ticks), shot->HitAt);
    EXPECT_LT(SecondsOf(ticks - TicksOf(0.3)), shot->HitAt);
    const std::vector<RecordedMessage> impact = recorder.Sent(kMsgImpact);
    ASSERT_EQ(impact.size(), 1u);
    EXPECT_EQ(MessageInt(impact[0].bytes, 8), -1);
    EXPECT_EQ(MessageFloat(impact[0].bytes, 24), (Vector3(0, -1, 10) + shot->HitAt * shot->Velocity).z);
    EXPECT_EQ(shooter->WithheldShots, 3) << "a shot that hit no actor counts as withheld";
    EXPECT_EQ(recorder.CountSent(MSG_REMOVE_OBJECT), 0) << "the impact message ends it";

    // Backwards along the floor: out of the box where z goes below 0.
    recorder.Clear();
    shot = Launch(bolt, 1, {0, -1, 10}, 10, Quaternion{0, 1, 0, 0});
    ticks = 0;
    while (!shot->Dead) {
        ASSERT_EQ(recorder.CountSent(MSG_REMOVE_OBJECT), 0);
        PassAt(shot, ticks += TicksOf(0.05));
    }
    EXPECT_LT(shot->Position.z, 0);
    EXPECT_GE(shot->Position.z, -0.5f);
    EXPECT_EQ(recorder.CountSent(MSG_REMOVE_OBJECT), 1);
    EXPECT_EQ(recorder.CountSent(kMsgImpact), 0);
}

// A decoy shot that strikes the level leaves a "decoy" one metre above the
// point, when the level defines one; without it nothing is spawned.
TEST_F(SimProjectileTest, ADecoyShotLeavesADecoyOnlyWhenTheLevelDefinesOne) {
    MakeWalledFloor(5);
    const ObjectDefinition* decoyShot = MakeShot("decoy_projectile", 0);
    for (bool defined : {false, true}) {
        SCOPED_TRACE(defined ? "with a decoy" : "without a decoy");
        recorder.Clear();
        const ObjectDefinition* decoy =
            defined ? MakeDefinition("decoy", kAiCoreReserved, false, false, true) : nullptr;
        ServerProjectile* shot = Launch(decoyShot, 1, {0, -1, 0}, 10); // strikes the wall after 0.5 s
        uint64_t ticks = 0;
        while (!shot->Dead && ticks < TicksOf(2))
            PassAt(shot, ticks += TicksOf(0.2));
        ASSERT_TRUE(shot->Dead);
        ASSERT_EQ(recorder.CountSent(kMsgImpact), 1);
        const std::vector<uint8_t> created = OneMessageNaming(MSG_CREATE_OBJECT, decoy, 8);
        if (!created.empty()) {
            EXPECT_NEAR(MessageFloat(created, 24), -2, 1e-4f);
            EXPECT_NEAR(MessageFloat(created, 28), 5, 1e-4f);
        }
    }
}

// A flare at its point lights a "flare_light" when the level defines one, and
// goes either way.
TEST_F(SimProjectileTest, AFlareAtItsPointFiresItsLightOnlyWhenDefinedAndGoes) {
    const ObjectDefinition* flare = MakeShot("flare", 0);
    for (bool defined : {false, true}) {
        SCOPED_TRACE(defined ? "with a light" : "without a light");
        recorder.Clear();
        const ObjectDefinition* light = defined ? MakeShot("flare_light", 0) : nullptr;
        ServerProjectile* shot = Launch(flare, 1, {0, -1, 0}, 10);
        shot->SetTargetPoint({0, -1, 3});
        PassAt(shot, TicksOf(0.1)); // 2 m short of the point
        ASSERT_FALSE(shot->Dead);
        PassAt(shot, TicksOf(0.25)); // within 1 m of it
        EXPECT_TRUE(shot->Dead);
        EXPECT_EQ(recorder.CountSent(MSG_REMOVE_OBJECT), 1);
        OneMessageNaming(MSG_PROJECTILE_FIRED, light, 12);
    }
}

// A bot of the player's side that a shot can strike, recording how it answers.
class StruckBot : public ServerUnit {
public:
    StruckBot(const ObjectDefinition* definition, const Vector3& position)
        : ServerUnit(1, definition, position, {0, 0, 0, 1}, TvNextActorId()) {}
    bool IsBot() const override { return true; }
    WeaponInstance* GetWeapon() const override { return const_cast<WeaponInstance*>(&weapon); }
    bool HitTestSegment(HitRecord& out, const Vector3&, const Vector3&, const HitRecord& in) override {
        out.t = in.t;
        return true;
    }
    void AttackTarget(ServerObject* target, Real, int32_t, int32_t) override { attacked = target; }

    WeaponInstance weapon;
    ServerObject* attacked = nullptr;
};

TEST_F(SimProjectileTest, TheShooterCountsWithheldShotsAndABotShotAtFromWithinItsRangeAnswers) {
    struct Case {
        const char* what;
        Real weaponRange; // squared, as the records keep it
        int32_t standingMode;
        bool moving;
        bool answers;
    };
    const Case cases[] = {
        {"in range", 100, 4, false, true},
        {"just out of range", 99.9f, 4, false, false},
        {"under a player's orders", 100, 6, false, false},
        {"walking", 100, 4, true, false},
    };
    ObjectDefinition* gun = MakeShot("gun shot", 10);
    for (const Case& c : cases) {
        gun->projectile->maxRange = c.weaponRange;
        TestActor* shooter = new TestActor(2, {0, 0, 0});
        shooter->WithheldShots = 3;
        StruckBot* bot = new StruckBot(walker, {0, 0, 10});
        bot->weapon.Projectile = gun;
        bot->StandingMode = c.standingMode;
        bot->Moving = c.moving;
        ServerProjectile* shot = Launch(MakeShot("bolt", 10), 2, {0, 0, 9.5f}, 10, kAlongZ, bot->Id, shooter->Id);
        PassAt(shot, TicksOf(0.05));
        ASSERT_TRUE(shot->Dead) << c.what;
        EXPECT_EQ(bot->attacked, c.answers ? shooter : nullptr) << c.what;
        EXPECT_EQ(shooter->WithheldShots, 0) << "it struck its target";
        bot->Remove(false);
        shooter->Remove(false);
    }
}

TEST_F(SimProjectileTest, AShotWhosePositionIsNotFiniteLeavesTheLevel) {
    const Real nan = std::numeric_limits<Real>::quiet_NaN();
    ServerProjectile* shot = Launch(MakeShot("bolt", 10), 1, {0, 0, 0}, 40, Quaternion{nan, 0, 0, 1});
    PassAt(shot, TicksOf(0.05));
    EXPECT_TRUE(shot->Dead);
    EXPECT_EQ(recorder.CountSent(MSG_REMOVE_OBJECT), 1);
}

} // namespace
