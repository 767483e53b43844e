// The armed bot's own operations: its weapon and magazine, attack commands
// and their messages, the heading rule, the elevation, and the shot.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/message_types.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/server_bot.h"
#include "tests/tv/sim_bot_fixture.h"

namespace {

Real F32At(const RecordedMessage& message, size_t offset) {
    Real value;
    std::memcpy(&value, message.bytes.data() + offset, sizeof value);
    return value;
}

class ServerBotTest : public BotTest {
protected:
    void SetUp() override {
        BotTest::SetUp();
        MakeFloor(20, 20);
    }
};

TEST_F(ServerBotTest, TheFactoryArmsTheBotCoreAndArmedCharactersOfNoOtherClass) {
    ObjectDefinition* gunner = MakeGunner("gunner");
    ObjectDefinition* armedWalker = MakeGunner("armed walker");
    armedWalker->aiCore = 1;
    const struct {
        const ObjectDefinition* definition;
        bool bot;
    } cases[] = {{gunner, true}, {armedWalker, true}, {walker, false}};
    for (const auto& c : cases) {
        ServerUnit* unit = MakeUnit(2, {4, 0, 4}, c.definition);
        ASSERT_NE(unit, nullptr);
        EXPECT_EQ(unit->IsBot(), c.bot) << c.definition->name.Get();
        unit->Remove(true);
    }
}

TEST_F(ServerBotTest, WeaponTypeNoneHasNoWeaponAndItsAttackEndsAtTheFirstPass) {
    GunnerSpec spec;
    spec.weapon = kWeaponTypeNone;
    ServerBot* bot = MakeBot(2, {4, 0, 4}, MakeGunner("unarmed", spec));
    ASSERT_NE(bot, nullptr);
    EXPECT_EQ(bot->GetWeapon(), nullptr);
    EXPECT_EQ(bot->GetMagazineSize(), 100);
    EXPECT_EQ(bot->GetSize(), 776);

    bot->AttackPoint({4, 0, 14}, NowSeconds(), 0, 0);
    EXPECT_TRUE(bot->IsFiring());
    Step(0.05f);
    EXPECT_FALSE(bot->IsFiring());
    EXPECT_EQ(recorder.CountSent(MSG_PROJECTILE_FIRED), 0);
}

TEST_F(ServerBotTest, UnfittedBotNeverRunsOutAndAlternatesItsMuzzles) {
    ObjectDefinition* gunner = MakeGunner("gunner");
    gunner->hotspotName = OwnedText("left");
    gunner->alternateHotspotName = OwnedText("right");
    ServerBot* bot = MakeBot(2, {4, 0, 4}, gunner);
    ASSERT_NE(bot, nullptr);
    ASSERT_NE(bot->GetWeapon(), nullptr);
    EXPECT_EQ(bot->GetMagazineSize(), 10);
    EXPECT_EQ(bot->GetMagazineCount(), 1);
    for (const char* expected : {"right", "left", "right"}) {
        EXPECT_EQ(bot->ConsumeShot(), kShotNext);
        EXPECT_STREQ(bot->GetMuzzleHotspot(), expected);
        EXPECT_EQ(bot->GetMagazineCount(), 1);
    }
}

TEST_F(ServerBotTest, WeaponAndAmmunitionChangesAreAnnouncedAndLeaveTheBotReady) {
    ServerBot* bot = MakeBot(1, {4, 0, 4}, MakeGunner("gunner"));
    ASSERT_NE(bot, nullptr);
    bot->AttackPoint({4, 0, 9}, NowSeconds(), 0, 0);
    bot->SetAmmoType(40); // no row: the weapon keeps its ammunition
    EXPECT_EQ(bot->GetWeapon()->AmmoType, DefaultAmmoType(1));
    EXPECT_EQ(bot->GetMagazineCount(), 1);
    ASSERT_EQ(SentFor(kMsgBotAmmoType, bot->Id).size(), 1u);
    EXPECT_EQ(SentFor(kMsgBotAmmoType, bot->Id)[0].bytes.size(), 12u);

    bot->SetWeapon(kWeaponTypeNone);
    EXPECT_FALSE(bot->IsFiring());
    EXPECT_EQ(bot->GetWeapon(), nullptr);
    bot->SetWeapon(1);
    ASSERT_NE(bot->GetWeapon(), nullptr);
    EXPECT_EQ(bot->GetMagazineCount(), 1);
    EXPECT_EQ(bot->GetMagazineSize(), 10);
    ASSERT_EQ(SentFor(kMsgBotWeapon, bot->Id).size(), 2u); // a player team's bot
    EXPECT_EQ(SentFor(kMsgBotWeapon, bot->Id)[0].bytes.size(), 12u);
}

TEST_F(ServerBotTest, AttackCommandsAnnounceThemselvesAndDeadOrCrouchedBotsIgnoreThem) {
    ServerBot* bot = MakeBot(2, {4, 0, 4}, MakeGunner("gunner"));
    ServerUnit* target = MakeUnit(1, {4, 0, 12});
    ASSERT_NE(bot, nullptr);
    ASSERT_NE(target, nullptr);

    bot->AttackTarget(target, NowSeconds(), 0, 0);
    EXPECT_EQ(bot->GetFireTarget(), target);
    ASSERT_EQ(SentFor(kMsgBotAttackTarget, bot->Id).size(), 1u);
    EXPECT_EQ(SentFor(kMsgBotAttackTarget, bot->Id)[0].bytes.size(), 16u);
    bot->AttackPoint({4, 0, 9}, NowSeconds(), 0, 1);
    EXPECT_EQ(bot->GetFireTarget(), nullptr);
    ASSERT_EQ(SentFor(kMsgBotLobPoint, bot->Id).size(), 1u);
    EXPECT_EQ(SentFor(kMsgBotLobPoint, bot->Id)[0].bytes.size(), 24u);
    bot->StopAttacking(NowSeconds());
    EXPECT_FALSE(bot->IsFiring());
    ASSERT_EQ(SentFor(kMsgBotStopAttacking, bot->Id).size(), 1u);
    EXPECT_EQ(SentFor(kMsgBotStopAttacking, bot->Id)[0].bytes.size(), 12u);

    bot->Crouched = 1;
    bot->AttackTarget(target, NowSeconds(), 0, 0);
    bot->Crouched = 0;
    bot->Strength = 0;
    bot->AttackPoint({4, 0, 9}, NowSeconds(), 0, 0);
    EXPECT_FALSE(bot->IsFiring());
    EXPECT_EQ(SentFor(kMsgBotAttackTarget, bot->Id).size(), 1u);
    EXPECT_EQ(SentFor(kMsgBotAttackPoint, bot->Id).size(), 0u);
}

TEST_F(ServerBotTest, ADecoyRequestFacesAFinitePointAndIgnoresAnyOther) {
    ServerBot* bot = MakeBot(1, {4, 0, 4}, MakeGunner("gunner"));
    ASSERT_NE(bot, nullptr);
    bot->LaunchDecoy({NAN, 0, 9});
    bot->LaunchDecoy({4, INFINITY, 9});
    EXPECT_TRUE(SentFor(kMsgBotDecoy, bot->Id).empty());
    bot->LaunchDecoy({9, 0, 4}); // a quarter turn to the right
    ASSERT_EQ(SentFor(kMsgBotDecoy, bot->Id).size(), 1u);
    EXPECT_EQ(SentFor(kMsgBotDecoy, bot->Id)[0].bytes.size(), 20u);
    EXPECT_NEAR(ForwardAxis(bot->Orientation).x, 1, 0.01f);
}

TEST_F(ServerBotTest, HeadingDifferencesWrapIntoOneTurn) {
    const struct {
        Real in, out;
    } cases[] = {{2048, 2048}, {2049, -2047}, {-2048, -2048}, {-2049, 2047}, {6000, 1904}, {-4096, 0}, {0, 0}};
    for (const auto& c : cases) EXPECT_EQ(WrapHeadingDelta(c.in), c.out) << c.in;
    EXPECT_EQ(WrapHeadingDelta(NAN), 0);
    EXPECT_LE(std::fabs(WrapHeadingDelta(3.0e9f)), 2048);
}

TEST_F(ServerBotTest, ElevationIsStraightOrOnEitherArcAndUnreachablePointsSayNo) {
    Real e = 123;
    ASSERT_TRUE(TvAimElevation({0, -10, 10}, 20, false, false, e));
    EXPECT_NEAR(e, -512, 2); // 45 degrees up (y grows downward)
    Real low = 0, high = 0;
    ASSERT_TRUE(TvAimElevation({0, 0, 20}, 20, true, false, low));
    ASSERT_TRUE(TvAimElevation({0, 0, 20}, 20, true, true, high));
    EXPECT_LT(low, 0);
    EXPECT_LT(high, low); // the high arc points further up
    EXPECT_GT(low, -512);
    EXPECT_LT(high, -512);

    e = 123;
    EXPECT_FALSE(TvAimElevation({0, 0, 100}, 5, true, false,
                                e)); // out of reach of that speed
    EXPECT_EQ(e, 123);
}

TEST_F(ServerBotTest, AnUnreachableTargetEndsTheAttack) {
    bolt->projectile->gravity = true;
    ServerBot* bot = MakeBot(1, {4, 0, 4}, MakeGunner("mortar"));
    ASSERT_NE(bot, nullptr);
    bot->AttackPoint({4, 0, 30}, NowSeconds(), 0, 0);
    bot->ShotSpeed = 5;
    EXPECT_FALSE(bot->AimAtTarget(Now(), NowSeconds()));
    EXPECT_FALSE(bot->IsFiring());
    const std::vector<RecordedMessage> cues = recorder.Sent(MSG_PLAYER_CUE);
    ASSERT_EQ(cues.size(), 1u);
    EXPECT_EQ(cues[0].bytes[4], kCueOutOfReach);
}

TEST_F(ServerBotTest, ALobNeedsAFallingShotAndAGunThatRisesFarEnough) {
    const struct {
        bool gravity;
        Real elevationAngle;
        bool canLob;
    } cases[] = {{true, 1024, true}, {true, 150, false}, {false, 1024, false}};
    for (const auto& c : cases) {
        bolt->projectile->gravity = c.gravity;
        ObjectDefinition* mortar = MakeGunner("mortar");
        mortar->character->elevationAngle = c.elevationAngle;
        ServerBot* bot = MakeBot(2, {4, 0, 4}, mortar);
        ASSERT_NE(bot, nullptr);
        // The flatter path at 13 m/s to a point 10 m away rises at about 200 units.
        EXPECT_EQ(bot->CanLobAt({4, 0, 14}), c.canLob) << c.gravity << " " << c.elevationAngle;
        bot->Remove(true);
    }
}

TEST_F(ServerBotTest, AMaximumRangeIsInRange) {
    const struct {
        Real distance;
        bool attacking;
    } cases[] = {{20, true}, {20.01f, false}};
    for (const auto& c : cases) {
        ServerBot* bot = MakeBot(2, {4, 0, 4}, MakeGunner("gunner"));
        ASSERT_NE(bot, nullptr);
        bot->AttackPoint({4, 0, 4 + c.distance}, NowSeconds(), 1, 0);
        Step(0.05f);
        EXPECT_EQ(bot->IsFiring(), c.attacking) << c.distance;
        bot->Remove(true);
    }
}

TEST_F(ServerBotTest, AmmoTypeOneAimsHigherFiresOnceAndStops) {
    ServerBot* bot = MakeBot(2, {4, 0, 4}, MakeGunner("gunner"));
    ASSERT_NE(bot, nullptr);
    WeaponParameters** slot = WeaponTableSlot(1, kAmmoTypeOneShot);
    ASSERT_TRUE(slot && !*slot);
    *slot = new WeaponParameters(*WeaponTableRow(1, DefaultAmmoType(1)));
    ASSERT_TRUE(bot->Weapon->SetAmmoType(kAmmoTypeOneShot));

    bot->AttackPoint({4, 0, 14}, NowSeconds(), 0, 0);
    for (int pass = 0; pass < 4 && bot->IsFiring(); ++pass) Step(0.05f);
    EXPECT_FALSE(bot->IsFiring());
    EXPECT_NEAR(bot->Elevation, -512, 2); // ten units above a point ten away
    EXPECT_EQ(TypesFor(bot->Id, {MSG_PROJECTILE_FIRED, kMsgBotOneShotDone, kMsgBotStopAttacking}),
              (std::vector<int32_t>{MSG_PROJECTILE_FIRED, kMsgBotOneShotDone, kMsgBotStopAttacking}));
    const std::vector<RecordedMessage> shots = SentFor(MSG_PROJECTILE_FIRED, bot->Id);
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(shots[0].bytes.size(), 64u);
    EXPECT_EQ(shots[0].bytes[16], 2); // the shot's team
    EXPECT_EQ(SentFor(kMsgBotOneShotDone, bot->Id)[0].bytes.size(), 8u);
    const Quaternion q{F32At(shots[0], 36), F32At(shots[0], 40), F32At(shots[0], 44), F32At(shots[0], 48)};
    const Vector3 forward = ForwardAxis(q);
    EXPECT_NEAR(forward.y, -forward.z,
                0.01f); // up at 45 degrees toward the point
}

} // namespace
