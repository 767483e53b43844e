// Projectiles fired and gone, weapons, explosions and notices.

#include <limits>

#include "Awapi/aw3d/aw_hooks.h"
#include "Tv/server/client_link.h"
#include "Tv/server/game_settings.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "tests/tv/client_effects_fixture.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct FiredFields {
    int32_t shooter = -1;
    int32_t target = -1;
    int32_t team = 2;
    float time = 0;
    Vector3 position{1, 0, 1};
    float speed = 20.0f;
    int32_t weapon = 33;
    int32_t id = 300;
};

ByteWriter FiredRecord(int32_t definitionId, const FiredFields& f) {
    ByteWriter w = Record(70, {f.shooter, f.target, definitionId});
    w.U8(static_cast<uint8_t>(f.team));
    w.Zeros(3);
    w.F32(f.time);
    WritePosition(w, f.position);
    WriteOrientation(w, Quaternion{0, 0, 0, 1});
    w.F32(f.speed);
    w.I32(f.weapon);
    w.I32(f.id);
    return w;
}

ByteWriter GoneRecord(int32_t id, int32_t target, const Vector3& end, float time = 0) {
    ByteWriter w = Record(71, {id, target});
    w.F32(time);
    WritePosition(w, end);
    w.U8(0);
    return w;
}

int FullFog(float, float, float) { return 254; }

class ClientDispatchCombat : public ClientEffectsTest {
protected:
    void SetUp() override {
        ClientEffectsTest::SetUp();
        LocalTeam = 1;
        shot = MakeShapedDefinition("bolt");
        shot->projectile = std::make_unique<ProjectileRecord>();
        shot->projectile->sound = 61;
    }
    void TearDown() override {
        AwFogLevelAt = nullptr;
        TvForgetRemovedProjectiles();
        ClientEffectsTest::TearDown();
    }
    ObjectDefinition* shot = nullptr;
};

TEST_F(ClientDispatchCombat, GoneBeforeFiredKeepsTheProjectileFromBeingBuiltUntilTheNextLevel) {
    Dispatch(GoneRecord(300, -1, {5, 0, 5}));
    ASSERT_EQ(puffs.size(), 1u);
    EXPECT_FLOAT_EQ(puffs[0].x, 5.0f);
    EXPECT_TRUE(TvIsRemovedProjectile(300));

    Dispatch(FiredRecord(shot->id, {}));
    EXPECT_EQ(TvFindClientObject(300), nullptr);
    EXPECT_TRUE(drops.reasons.empty());

    TvForgetRemovedProjectiles(); // what the next level start does
    Dispatch(FiredRecord(shot->id, {}));
    EXPECT_NE(TvFindClientObject(300), nullptr);
}

TEST_F(ClientDispatchCombat, FiredStartsNoLaterThanNowAndEnemyFireRevealsItsOrigin) {
    AdvanceSeconds(10.0);
    const float now = GameClock.GetSeconds();
    FiredFields enemy;
    enemy.time = now + 30.0f;
    Dispatch(FiredRecord(shot->id, enemy));
    ClientObject* projectile = TvFindClientObject(300);
    ASSERT_NE(projectile, nullptr);
    EXPECT_FLOAT_EQ(projectile->LastSeconds, now);
    ASSERT_EQ(seen.revealers.size(), 1u);
    EXPECT_FLOAT_EQ(seen.revealers[0].Radius, 25.0f);
    EXPECT_EQ(seen.revealers[0].DurationTicks, FloorToInt(60.0f * CurrentTicksPerSecondFloat()));

    FiredFields own;
    own.team = 1;
    own.id = 301;
    Dispatch(FiredRecord(shot->id, own));
    EXPECT_NE(TvFindClientObject(301), nullptr);
    EXPECT_EQ(seen.revealers.size(), 1u);
}

TEST_F(ClientDispatchCombat, FiredRefusesBadFields) {
    MakeClientObject(300);
    const struct {
        const char* what;
        FiredFields fields;
    } cases[] = {
        {"negative speed", {-1, -1, 2, 0, {0, 0, 0}, -1.0f, 33, 301}},
        {"speed not finite", {-1, -1, 2, 0, {0, 0, 0}, kNaN, 33, 301}},
        {"time not finite", {-1, -1, 2, kNaN, {0, 0, 0}, 1.0f, 33, 301}},
        {"position not finite", {-1, -1, 2, 0, {0, kNaN, 0}, 1.0f, 33, 301}},
        {"weapon past none", {-1, -1, 2, 0, {0, 0, 0}, 1.0f, 34, 301}},
        {"negative weapon", {-1, -1, 2, 0, {0, 0, 0}, 1.0f, -1, 301}},
        {"team past the table", {-1, -1, 200, 0, {0, 0, 0}, 1.0f, 33, 301}},
        {"id in use", {-1, -1, 2, 0, {0, 0, 0}, 1.0f, 33, 300}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectDropped(FiredRecord(shot->id, c.fields));
        EXPECT_EQ(TvFindClientObject(301), nullptr);
    }
}

TEST_F(ClientDispatchCombat, HitOnAnEnemyShowsThroughFullFogAndAMissInFogOnlySoundsAndPuffs) {
    AwFogLevelAt = FullFog;
    MakeClientObject(50, 2); // an enemy
    Dispatch(FiredRecord(shot->id, {}));
    seen.revealers.clear();

    Dispatch(GoneRecord(300, 50, {3, 0, 3}));
    EXPECT_EQ(TvFindClientObject(300), nullptr);
    ASSERT_EQ(seen.revealers.size(), 1u);
    EXPECT_FLOAT_EQ(seen.revealers[0].Radius, 20.0f);
    EXPECT_EQ(Calls("impactSparks"), 1);
    EXPECT_TRUE(puffs.empty());
    EXPECT_EQ(seen.sounds, (std::vector<SeenSound>{{61, "d"}}));

    FiredFields second;
    second.id = 301;
    Dispatch(FiredRecord(shot->id, second));
    Dispatch(GoneRecord(301, -1, {4, 0, 4}));
    EXPECT_EQ(TvFindClientObject(301), nullptr);
    EXPECT_EQ(Calls("impactSparks"), 1);
    EXPECT_EQ(puffs.size(), 1u);
    EXPECT_EQ(seen.sounds.size(), 2u);
    EXPECT_TRUE(TvFindClientObject(50)->IsAlive()); // a shot without the destroy flag leaves its target
}

TEST_F(ClientDispatchCombat, GoneRefusesEndsThatAreNotFiniteAndObjectsThatAreNoProjectile) {
    ExpectDropped(GoneRecord(300, -1, {kNaN, 0, 0}));
    ExpectDropped(GoneRecord(300, -1, {0, 0, 0}, kNaN));
    EXPECT_FALSE(TvIsRemovedProjectile(300));

    MakeClientObject(20);
    ExpectDropped(GoneRecord(20, -1, {0, 0, 0}));
    EXPECT_NE(TvFindClientObject(20), nullptr);
    EXPECT_FALSE(TvIsRemovedProjectile(20));
}

TEST_F(ClientDispatchCombat, AmmunitionAndWeaponTypesOutsideTheirTablesAreDropped) {
    MakeClientObject(3);
    const struct {
        int32_t type, value;
        bool dropped;
    } cases[] = {
        {130, -1, true}, {130, 19, true}, {130, 0, false}, {130, 18, false},
        {131, -1, true}, {131, 34, true}, {131, 0, false}, {131, 33, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.value);
        if (c.dropped) {
            ExpectDropped(Record(c.type, {3, c.value}));
        } else {
            const size_t before = drops.reasons.size();
            Dispatch(Record(c.type, {3, c.value}));
            EXPECT_EQ(drops.reasons.size(), before);
        }
    }
}

TEST_F(ClientDispatchCombat, FogHidesMineAndEmpBlastsButNotTheirSoundsOrBigExplosions) {
    const auto blast = [](int32_t type) {
        ByteWriter w = Record(type);
        WritePosition(w, {1, 2, 3});
        return w;
    };
    AwFogLevelAt = FullFog;
    for (int32_t type : {104, 108, 109}) Dispatch(blast(type));
    EXPECT_EQ(seen.calls, (std::vector<std::string>{"sizedExplosion"}));
    EXPECT_EQ(seen.sounds, (std::vector<SeenSound>{{14, "d"}, {14, "d"}, {54, "d"}}));

    AwFogLevelAt = nullptr;
    for (int32_t type : {108, 109}) Dispatch(blast(type));
    EXPECT_EQ(Calls("explosion"), 1);
    EXPECT_EQ(Calls("empBurst"), 1);
}

TEST_F(ClientDispatchCombat, ObjectNoticeAlertsEvenWithoutTheObject) {
    Dispatch(Record(67, {77}));
    EXPECT_EQ(seen.sounds, (std::vector<SeenSound>{{40, ""}}));
    EXPECT_EQ(Calls("raiseCursorAlert"), 1);
}

} // namespace
