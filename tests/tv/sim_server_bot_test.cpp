// The armed bot's own operations: its weapon and magazine, attack commands
// and their messages, the heading rule, the elevation, and the shot.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/message_types.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/equipped_item.h"
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

// ---- What a fitted robot takes from its items ----

class FittedBotTest : public ServerBotTest {
protected:
    void SetUp() override {
        ServerBotTest::SetUp();
        gunner = MakeGunner("gunner");
        // Weapon 1 loads type 2 by default; type 4 fires from it with salvos of 3, the one-shot type with salvos of 1.
        for (int32_t type : {4, kAmmoTypeOneShot}) {
            auto* row = new WeaponParameters(*WeaponTableRow(1, 2));
            row->salvoSize = type == 4 ? 3 : 1;
            row->magazineSize = 6;
            *WeaponTableSlot(1, type) = row;
        }
        bot = MakeFittedBot({4, 0, 4}, gunner);
        ASSERT_NE(bot, nullptr);
        ASSERT_NE(bot->Inventory, nullptr);
    }

    ObjectDefinition* gunner = nullptr;
    ServerBot* bot = nullptr;
};

TEST_F(FittedBotTest, AFittedBotLoadsFromTheFullestStackItCanFire) {
    struct Case {
        const char* what;
        std::vector<std::pair<int32_t, int32_t>> stacks; // (type, count), first one carried first
        int32_t chosen;                                  // index into stacks, -1 none
        SelectAmmoResult result;
        int32_t ammoType, magazine;
    };
    const Case cases[] = {
        {"equal stacks: the first", {{2, 30}, {2, 30}}, 0, kAmmoSameType, 2, 10},
        {"the fuller of one type", {{2, 5}, {2, 8}}, 1, kAmmoSameType, 2, 8},
        {"loaded type first", {{4, 40}, {2, 3}}, 1, kAmmoSameType, 2, 3},
        {"another type when the loaded one is out", {{2, 0}, {4, 5}, {4, 9}}, 2, kAmmoSwitched, 4, 6},
        {"a stack short of a salvo is skipped", {{4, 2}}, -1, kAmmoNone, 2, 0},
        {"the one-shot type stands in only for itself", {{kAmmoTypeOneShot, 9}}, -1, kAmmoNone, 2, 0},
        {"a type the weapon cannot fire", {{7, 9}}, -1, kAmmoNone, 2, 0},
        {"nothing carried", {}, -1, kAmmoNone, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bot->SetWeapon(1);
        std::vector<InventoryItem*> carried;
        // Carry inserts in front of the kind, so the list ends up in the case's order.
        for (auto it = c.stacks.rbegin(); it != c.stacks.rend(); ++it)
            carried.insert(carried.begin(), Carry(*bot, IK_AMMO, it->first, it->first, it->second));
        EXPECT_EQ(bot->SelectAmmo(), c.result);
        EXPECT_EQ(bot->AmmoItem, c.chosen < 0 ? nullptr : carried[static_cast<size_t>(c.chosen)]);
        EXPECT_EQ(bot->Weapon->AmmoType, c.ammoType);
        EXPECT_EQ(bot->GetMagazineCount(), c.magazine);
        for (InventoryItem* item : carried) bot->Inventory->RemoveItem(item);
        bot->AmmoItem = nullptr;
    }
}

TEST_F(FittedBotTest, AWeaponWithoutAmmunitionItemsAlwaysHasAShot) {
    auto* row = new WeaponParameters(*WeaponTableRow(1, 2));
    *WeaponTableSlot(1, kAmmoTypeNoItem) = row;
    ASSERT_TRUE(bot->Weapon->SetAmmoType(kAmmoTypeNoItem));
    bot->SetMagazineCount(0);
    EXPECT_EQ(bot->SelectAmmo(), kAmmoSameType);
    EXPECT_EQ(bot->GetMagazineCount(), 1);
    EXPECT_EQ(bot->AmmoItem, nullptr);
}

// Magazine 10, salvo 1, from a stack of 11; then a stack of type 4 (salvo 3, magazine 6) of 4 rounds.
TEST_F(FittedBotTest, ShotsEmptyTheMagazineReloadFromTheStackAndSwitchWhenItRunsOut) {
    InventoryItem* other = Carry(*bot, IK_AMMO, 4, 4, 4);
    InventoryItem* loaded = Carry(*bot, IK_AMMO, 2, 2, 11);
    bot->SetMagazineCount(0);
    ASSERT_EQ(bot->SelectAmmo(), kAmmoSameType);
    ASSERT_EQ(bot->AmmoItem, loaded);
    for (int shot = 1; shot <= 9; ++shot) ASSERT_EQ(bot->ConsumeShot(), kShotNext) << shot;
    EXPECT_EQ(bot->GetMagazineCount(), 1);
    EXPECT_EQ(loaded->Count, 2);
    EXPECT_EQ(bot->ConsumeShot(), kShotReloaded); // less than a magazine left: what is left
    EXPECT_EQ(bot->GetMagazineCount(), 1);
    EXPECT_EQ(loaded->Count, 1);

    const int32_t loadedId = loaded->ItemId;
    EXPECT_EQ(bot->ConsumeShot(), kShotReloaded); // the stack is gone; type 4 takes over
    EXPECT_EQ(bot->Inventory->FindItem(loadedId), nullptr);
    EXPECT_EQ(bot->Inventory->ItemCount(), 1);
    EXPECT_EQ(bot->AmmoItem, other);
    EXPECT_EQ(bot->Weapon->AmmoType, 4);
    EXPECT_EQ(bot->GetMagazineCount(), 4);

    EXPECT_EQ(bot->ConsumeShot(), kShotEmpty); // one round is short of a salvo
    EXPECT_EQ(other->Count, 1);
    EXPECT_EQ(bot->AmmoItem, nullptr);
    EXPECT_EQ(bot->GetMagazineCount(), 0);
    EXPECT_EQ(bot->Inventory->ItemCount(), 1); // a stack that still holds rounds stays
}

// A fitted robot ordered to attack fires from its stack until it is empty, then stops.
TEST_F(FittedBotTest, AnAttackFiresTheStackDownAndEndsWhenItIsEmpty) {
    Carry(*bot, IK_AMMO, 2, 2, 2);
    bot->SetMagazineCount(0);
    bot->AttackPoint({4, 0, 12}, NowSeconds(), 0, 0);
    for (int pass = 0; pass < 60 && bot->IsFiring(); ++pass) Step(0.1f);
    EXPECT_FALSE(bot->IsFiring());
    EXPECT_EQ(SentFor(MSG_PROJECTILE_FIRED, bot->Id).size(), 2u);
    EXPECT_EQ(bot->Inventory->ItemCount(), 0);
}

// Worn shield and armour items soak up a drain in equipment order.
TEST_F(FittedBotTest, DrainsSpendWornItemsInOrderAndTellTheClients) {
    struct Case {
        const char* what;
        int32_t kind;
        std::vector<int32_t> worn; // counts, in equipment order
        Real amount;
        std::vector<int32_t> left; // counts of the items still carried, in equipment order
        Real lowered;              // of Shield or Armour
        std::vector<int32_t> messages;
    };
    const Case cases[] = {
        {"part of a shield item", IK_SHIELD, {5}, 2.7f, {3}, 2, {kMsgShieldItemCount}},
        {"a whole shield item", IK_SHIELD, {5}, 5, {}, 5, {kMsgItemGone}},
        {"one used up, the next drained", IK_SHIELD, {5, 4}, 7, {2}, 7, {kMsgItemGone, kMsgShieldItemCount}},
        {"more than everything worn", IK_SHIELD, {2, 1}, 9, {}, 3, {kMsgItemGone, kMsgItemGone}},
        {"armour", IK_ARMOUR, {3}, 1, {2}, 1, {kMsgArmourItemCount}},
    };
    int32_t slot = kMountFirstPoint;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        recorder.Clear();
        std::vector<int32_t> keys;
        for (int32_t count : c.worn) {
            const int32_t key = Carry(*bot, c.kind, 0, count, count)->ItemId;
            bot->EquipItem(slot++, key, false);
            keys.push_back(key);
        }
        const bool shield = c.kind == IK_SHIELD;
        const Real before = shield ? bot->GetShield() : bot->GetArmour();
        shield ? bot->DrainShieldItems(c.amount) : bot->DrainArmourItems(c.amount);

        EXPECT_FLOAT_EQ(before - (shield ? bot->GetShield() : bot->GetArmour()), c.lowered);
        std::vector<int32_t> left;
        for (int32_t key : keys)
            if (const InventoryItem* item = bot->Inventory->FindItem(key)) {
                EXPECT_NE(bot->FindEquippedItem(key), nullptr);
                left.push_back(item->Count);
            }
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(bot->Equipment.Count(), static_cast<int32_t>(c.left.size()));
        EXPECT_EQ(TypesFor(bot->Id, {kMsgItemGone, kMsgShieldItemCount, kMsgArmourItemCount}), c.messages);
        for (const RecordedMessage& m : recorder.Sent(kMsgShieldItemCount)) {
            EXPECT_EQ(m.bytes.size(), 16u);
            EXPECT_EQ(MessageInt(m.bytes, 12), c.left.front());
        }
        for (const RecordedMessage& m : recorder.Sent(kMsgItemGone)) EXPECT_EQ(m.bytes.size(), 12u);
        for (int32_t key : keys)
            if (EquippedItem* worn = bot->FindEquippedItem(key)) bot->RemoveItem(worn);
        while (bot->Inventory->ItemCount() > 0) bot->Inventory->RemoveItem(bot->Inventory->Items.Front());
    }
}

TEST_F(FittedBotTest, TheComputerTeamsShieldIsANumberAlone) {
    ServerBot* enemy = MakeBot(2, {8, 0, 4}, gunner);
    ASSERT_NE(enemy, nullptr);
    enemy->SetShield(3);
    enemy->DrainShieldItems(2.5f);
    EXPECT_FLOAT_EQ(enemy->GetShield(), 0.5f);
    enemy->DrainShieldItems(2);
    EXPECT_EQ(enemy->GetShield(), 0);
    EXPECT_TRUE(recorder.Sent(kMsgShieldItemCount).empty());
}

// A decoy leaves from one unit above the bot (no muzzle part) and uses up the layer's decoys.
TEST_F(FittedBotTest, DecoysAreFiredWhileTheLayerHoldsAnyAndTheBotAlwaysFacesThePoint) {
    ObjectDefinition* decoy = MakeShot("decoy_projectile", 0);
    InventoryItem* layer = Carry(*bot, IK_MINE_LAYER, kMineTypeDecoy, 2, 0);
    Carry(*bot, IK_MINE_LAYER, kMineTypeProximity, 5, 0);
    const int32_t layerId = layer->ItemId;
    for (int launch = 0; launch < 3; ++launch) bot->LaunchDecoy({9, 0, 4});

    const std::vector<RecordedMessage> shots = SentFor(MSG_PROJECTILE_FIRED, bot->Id);
    ASSERT_EQ(shots.size(), 2u);
    for (const RecordedMessage& shot : shots) {
        EXPECT_EQ(MessageInt(shot.bytes, 8), -1);
        EXPECT_EQ(MessageInt(shot.bytes, 12), decoy->id);
        EXPECT_EQ(shot.bytes[16], 1);
        EXPECT_EQ(F32At(shot, 28), -1.0f);
        EXPECT_FLOAT_EQ(F32At(shot, 52), 17.1f);
        EXPECT_EQ(MessageInt(shot.bytes, 56), kWeaponTypeNone);
    }
    EXPECT_EQ(bot->Inventory->FindItem(layerId), nullptr);
    EXPECT_EQ(bot->Inventory->ItemCount(), 1); // the mine layer is no decoy layer
    EXPECT_EQ(SentFor(kMsgBotDecoy, bot->Id).size(), 3u);
    EXPECT_NEAR(ForwardAxis(bot->Orientation).x, 1, 0.01f);
}

// An attack that ends the bot's concealment takes off its worn module of sub-kind 4.
TEST_F(FittedBotTest, AnAttackFromConcealmentTakesOffTheModuleOfSubKindFour) {
    ServerUnit* target = MakeUnit(2, {4, 0, 12});
    ASSERT_NE(target, nullptr);
    InventoryItem* sight = Carry(*bot, IK_MODULE, 3, 1, 0);
    InventoryItem* module = Carry(*bot, IK_MODULE, 4, 1, 0);
    bot->EquipItem(kMountFirstPoint, sight->ItemId, false);
    bot->EquipItem(kMountFirstPoint + 1, module->ItemId, false);
    ASSERT_NE(bot->FindEquippedItem(module->ItemId), nullptr);

    bot->AttackTarget(target, NowSeconds(), 0, 0); // not concealed: it stays on
    EXPECT_NE(bot->FindEquippedItem(module->ItemId), nullptr);
    bot->Concealed = 1;
    bot->AttackTarget(target, NowSeconds(), 0, 0);
    EXPECT_EQ(bot->Concealed, 0);
    EXPECT_EQ(bot->FindEquippedItem(module->ItemId), nullptr);
    EXPECT_NE(bot->FindEquippedItem(sight->ItemId), nullptr);
    EXPECT_NE(bot->Inventory->FindItem(module->ItemId), nullptr); // taken off, still carried
}
