// What units do with their items: wearing and taking them off, using them,
// laying mines, the disguise and cloak modules, dropping items as pickups,
// collecting pickups and handing items to a team-mate.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Awapi/model/model_node.h"
#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/equipped_item.h"
#include "Tv/sim/item_messages.h"
#include "Tv/sim/noise_events.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/server_pickup.h"
#include "core/clock.h"
#include "core/random.h"
#include "tests/tv/sim_bot_fixture.h"

namespace {

constexpr int32_t kAmmoType = 3;
constexpr int32_t kKindSpecialModule = 10;

// The string id of a player notice (message 160: type, 16-bit id).
int32_t NoticeOf(const RecordedMessage& notice) { return notice.bytes[4] | notice.bytes[5] << 8; }

class UnitItemsTest : public BotTest {
protected:
    void SetUp() override {
        BotTest::SetUp();
        RegisterServerPickup();
        MakeFloor(10, 10);
        savedGameType_ = CurrentGameType;
        savedMaxPerSlot_ = AmmoTypeTable[kAmmoType].maxPerSlot;
        AmmoTypeTable[kAmmoType].maxPerSlot = 50;
        squad = MakeSquadCharacter(MakeWalker("squaddie"));
    }
    void TearDown() override {
        AmmoTypeTable[kAmmoType].maxPerSlot = savedMaxPerSlot_;
        CurrentGameType = savedGameType_;
        BotTest::TearDown();
    }

    // Room for 2 weapons, 2 ammunition stacks and 4 other items.
    static ObjectDefinition* MakeSquadCharacter(ObjectDefinition* definition) {
        CharacterRecord& c = *definition->character;
        c.maxWeapon = 2;
        c.maxAmmo = 2;
        c.maxModule = 4;
        return definition;
    }
    // A registered item definition: the kind as its aggression class, the base
    // value as its walking speed, the sub-kind as its weapon.
    ObjectDefinition* MakeItemDefinition(const char* name, int32_t kind, int32_t base, int32_t subKind = 0) {
        ObjectDefinition* definition = MakeDefinition(name, kAiCorePickup, true, false, true);
        definition->character->aggression = static_cast<Real>(kind) / 10.0f + 0.01f;
        definition->character->walkingSpeed = base << 16;
        definition->character->weapon = subKind;
        return definition;
    }
    ServerUnit* MakeSquadUnit(const Vector3& at = {4, 0, 4}) { return MakeUnit(1, at, squad); }
    // Gives the unit an item of the definition (count -1: the definition's own);
    // answers its key.
    static int32_t Give(ServerUnit& unit, const ObjectDefinition* definition, int32_t count = -1) {
        const int32_t key = TakeInventoryItemId();
        unit.Inventory->AddItem(ObjectDefinition::AggressionClass(definition), definition, key, count);
        return key;
    }
    static InventoryItem* Item(const ServerUnit& unit, int32_t key) { return unit.Inventory->FindItem(key); }
    std::vector<int32_t> Types(const ServerUnit& unit, std::initializer_list<int32_t> types) {
        return TypesFor(unit.Id, types);
    }
    // Reseeds the calling thread's generator so that its next fraction is below
    // 0.2 (or not).
    static void SeedNextFraction(bool below) {
        RandomGenerator& generator = RandomGenerator::ForCallingThread();
        for (uint32_t seed = 1;; ++seed) {
            generator.Seed(seed);
            if ((RandomUnit() < 0.2f) == below) {
                generator.Seed(seed);
                return;
            }
        }
    }

    ObjectDefinition* squad = nullptr;

private:
    int32_t savedGameType_ = 0;
    int32_t savedMaxPerSlot_ = 0;
};

TEST_F(UnitItemsTest, APlayersUnitCarriesAnInventoryShapedByItsCharacter) {
    squad->character->weapon = 5;
    ServerUnit* ours = MakeSquadUnit();
    ServerUnit* theirs = MakeUnit(2, {6, 0, 6}, squad);
    ASSERT_TRUE(ours && theirs);
    ASSERT_NE(ours->Inventory, nullptr);
    EXPECT_EQ(ours->Inventory->MaxWeapon, 2);
    EXPECT_EQ(ours->Inventory->MaxAmmo, 2);
    EXPECT_EQ(ours->Inventory->MaxModule, 4);
    EXPECT_EQ(ours->Inventory->OwnerWeaponType, 5);
    EXPECT_EQ(theirs->Inventory, nullptr);
}

TEST_F(UnitItemsTest, TheUpdateCollectsAPickupInReachAndHandsOverToAMateInReach) {
    squad->character->customisationModel = new AwModel; // units that can take items
    ServerUnit* unit = MakeSquadUnit({4, 0, 4});
    ServerUnit* mate = MakeSquadUnit({6, 0, 6});
    ASSERT_TRUE(unit && mate);
    ObjectDefinition* shells = MakeItemDefinition("shells", IK_AMMO, 20, kAmmoType);
    ServerObject* pickup = TvFindActor(TvCreateServerActor(0, shells, {4, 0, 5}, Quaternion{0, 0, 0, 1}));
    ASSERT_TRUE(pickup && pickup->IsPickup());
    pickup->Start(Now(), NowSeconds());

    unit->TargetId = pickup->Id; // squared distance 1, inside the default radius of 6
    ThinkUnit(*unit, 0.1f);      // no pick-up sequence: taken at once
    ASSERT_EQ(SentFor(MSG_PICKUP_COLLECTED, unit->Id).size(), 1u);
    EXPECT_EQ(unit->TargetId, -1);
    ASSERT_EQ(unit->Inventory->ItemCount(), 1);
    const int32_t key = unit->Inventory->Items.Front()->ItemId;

    unit->SetAiTarget(mate); // squared distance 8: within the hand-over's 16
    unit->TargetId = key;
    unit->GiveCount = -1;
    ThinkUnit(*unit, 0.1f);
    EXPECT_EQ(SentFor(kMsgItemGiven, unit->Id).size(), 1u);
    EXPECT_EQ(mate->Inventory->ItemCount(), 1);
    EXPECT_EQ(unit->AiTarget, nullptr);
    EXPECT_EQ(unit->TargetId, -1);
    EXPECT_EQ(unit->GiveCount, -1);
}

// ---- Wearing ----

TEST_F(UnitItemsTest, WearingArmourAddsItAndTakingItOffTakesItAway) {
    ServerUnit* unit = MakeSquadUnit();
    ASSERT_TRUE(unit && unit->Inventory);
    ObjectDefinition* heavy = MakeItemDefinition("heavy plate", IK_ARMOUR, 5);
    ObjectDefinition* light = MakeItemDefinition("light plate", IK_ARMOUR, 3);
    const int32_t first = Give(*unit, heavy);
    const int32_t second = Give(*unit, light);

    unit->EquipItem(2, first, true);
    EXPECT_EQ(unit->Armour, 5);
    const std::vector<RecordedMessage> equipped = SentFor(MSG_ITEM_EQUIPPED, unit->Id);
    ASSERT_EQ(equipped.size(), 1u);
    EXPECT_EQ(equipped[0].bytes, MessageOf({MSG_ITEM_EQUIPPED, unit->Id, 2, first}));

    unit->EquipItem(2, second, false); // the slot's occupant comes off first
    EXPECT_EQ(unit->Armour, 3);
    EXPECT_EQ(SentFor(kMsgItemEquippedQuiet, unit->Id).size(), 1u);
    unit->EquipItem(4, second, true); // an item worn elsewhere moves
    ASSERT_EQ(unit->Equipment.Count(), 1);
    EXPECT_EQ(unit->Equipment.Front()->Slot, 4);
    EXPECT_EQ(unit->Armour, 3);

    unit->RemoveItem(unit->FindEquippedItem(second));
    EXPECT_EQ(unit->Armour, 0);
    EXPECT_TRUE(unit->Equipment.IsEmpty());
    EXPECT_NE(Item(*unit, second), nullptr) << "the item stays in the inventory";
}

TEST_F(UnitItemsTest, ModulesRaiseSightAndSteadyAimWhileWorn) {
    squad->character->aim = 64;
    ServerUnit* unit = MakeSquadUnit();
    ASSERT_NE(unit, nullptr);
    const Real sight = unit->SightRange;
    const int32_t scope = Give(*unit, MakeItemDefinition("scope", IK_MODULE, 4, 3));
    const int32_t gyro = Give(*unit, MakeItemDefinition("gyro", IK_MODULE_2, 2, 6));
    unit->EquipItem(2, scope, true);
    unit->EquipItem(3, gyro, true);
    EXPECT_EQ(unit->SightRange, sight + 4);
    EXPECT_EQ(unit->SightBonusCount, 1);
    EXPECT_EQ(unit->AimModuleCount, 2);
    EXPECT_EQ(unit->Aim, 16);
    unit->RemoveItem(unit->FindEquippedItem(scope));
    unit->RemoveItem(unit->FindEquippedItem(gyro));
    EXPECT_EQ(unit->SightRange, sight);
    EXPECT_EQ(unit->SightBonusCount, 0);
    EXPECT_EQ(unit->Aim, 64);
}

TEST_F(UnitItemsTest, ItemsThatMayNotGoOnAreRefused) {
    ServerUnit* unit = MakeSquadUnit();
    ASSERT_NE(unit, nullptr);
    squad->limit = 0x4;
    ObjectDefinition* restricted = MakeItemDefinition("officer plate", IK_ARMOUR, 5);
    restricted->limit = 0x6;
    const int32_t plate = Give(*unit, MakeItemDefinition("plate", IK_ARMOUR, 5));
    const int32_t gun = Give(*unit, MakeItemDefinition("gun", IK_WEAPON, 1, 2));
    const int32_t officers = Give(*unit, restricted);
    const struct {
        int32_t slot, key;
        int32_t notice; // 0: refused without a word
    } cases[] = {
        {13, plate, 0},       // past the mount points
        {-1, plate, 0},       // before them
        {5, gun, 0},          // a weapon goes on an arm only
        {2, 999, 0},          // not carried
        {2, officers, 12088}, // its limit bits meet the character's
    };
    for (const auto& c : cases) {
        recorder.Clear();
        unit->EquipItem(c.slot, c.key, true);
        EXPECT_TRUE(unit->Equipment.IsEmpty()) << c.slot << " " << c.key;
        EXPECT_EQ(unit->Armour, 0);
        EXPECT_EQ(recorder.CountSent(MSG_ITEM_EQUIPPED), 0);
        const std::vector<RecordedMessage> notices = recorder.Sent(MSG_PLAYER_NOTICE);
        ASSERT_EQ(notices.size(), c.notice ? 1u : 0u) << c.slot << " " << c.key;
        if (c.notice) {
            EXPECT_EQ(NoticeOf(notices[0]), c.notice);
            ASSERT_EQ(recorder.CountSent(MSG_PLAYER_CUE), 1);
            EXPECT_EQ(recorder.Sent(MSG_PLAYER_CUE)[0].bytes[4], 40);
        }
    }
}

TEST_F(UnitItemsTest, AShieldModuleOfSubKindFourWaitsUntilTheBotStopsFiring) {
    ServerBot* bot = MakeBot(1, {4, 0, 4}, MakeSquadCharacter(MakeGunner("gunner")));
    ASSERT_TRUE(bot && bot->Inventory);
    const int32_t key = Give(*bot, MakeItemDefinition("reflector", IK_SHIELD, 6, 4));
    bot->AttackPoint({4, 0, 9}, NowSeconds(), 0, 0);
    bot->EquipItem(2, key, true);
    EXPECT_TRUE(bot->Equipment.IsEmpty());
    ASSERT_EQ(recorder.CountSent(MSG_PLAYER_NOTICE), 1);
    EXPECT_EQ(NoticeOf(recorder.Sent(MSG_PLAYER_NOTICE)[0]), 12089);
    bot->StopAttacking(NowSeconds());
    bot->EquipItem(2, key, true);
    EXPECT_EQ(bot->GetShield(), 6);
}

TEST_F(UnitItemsTest, AWeaponGoesOnTheRightArmAndComingOffRestoresTheCharactersOwn) {
    ObjectDefinition* gunner = MakeSquadCharacter(MakeGunner("gunner"));
    ServerBot* bot = MakeBot(1, {4, 0, 4}, gunner);
    ASSERT_TRUE(bot && bot->Inventory && bot->Weapon);
    const int32_t launcher = Give(*bot, MakeItemDefinition("launcher", IK_WEAPON, 1, 7));
    bot->UseItem(launcher, true);
    ASSERT_EQ(bot->Equipment.Count(), 1);
    EXPECT_EQ(bot->Equipment.Front()->Slot, kMountRightArm);
    ASSERT_NE(bot->Weapon, nullptr);
    EXPECT_EQ(bot->Weapon->WeaponType, 7);
    bot->RemoveItem(bot->Equipment.Front());
    ASSERT_NE(bot->Weapon, nullptr);
    EXPECT_EQ(bot->Weapon->WeaponType, gunner->character->weapon);
}

TEST_F(UnitItemsTest, AFreeSlotIsTheFirstMountPointTheModelHasAndNobodyUses) {
    // A customisation model with two mount points, "slotb" (3) and "slotd" (5).
    auto* model = new AwModel;
    for (const char* name : {"body", "slotb", "slotd"}) {
        auto* part = new AwModel;
        part->Name = name;
        model->Children.push_back(part);
    }
    squad->character->customisationModel = model;
    ServerUnit* unit = MakeSquadUnit();
    ASSERT_NE(unit, nullptr);
    ObjectDefinition* plate = MakeItemDefinition("plate", IK_ARMOUR, 1);
    const int32_t keys[] = {Give(*unit, plate), Give(*unit, plate), Give(*unit, plate)};
    for (int32_t key : keys)
        unit->UseItem(key, true);
    std::vector<int32_t> slots;
    for (const EquippedItem* worn : unit->Equipment)
        slots.push_back(worn->Slot);
    EXPECT_EQ(slots, (std::vector<int32_t>{3, 5})) << "the third finds no free mount point";
    EXPECT_EQ(unit->Armour, 2);
}

// ---- Using ----

TEST_F(UnitItemsTest, ARepairKitHealsUpToTheCharactersStrengthAndIsUsedUp) {
    ServerUnit* unit = MakeSquadUnit();
    ASSERT_NE(unit, nullptr);
    unit->Strength = 80;
    const int32_t kit = Give(*unit, MakeItemDefinition("kit", IK_REPAIR, 50));
    unit->UseItem(kit, false);
    EXPECT_EQ(unit->Strength, 100);
    EXPECT_EQ(Item(*unit, kit), nullptr);
    EXPECT_EQ(Types(*unit, {MSG_ITEM_USED, kMsgItemUsedQuiet}), std::vector<int32_t>{kMsgItemUsedQuiet});
    recorder.Clear();
    unit->UseItem(kit, true); // no longer carried: nothing at all
    EXPECT_TRUE(recorder.Messages().empty());
}

TEST_F(UnitItemsTest, AmmunitionLoadsABotWhoseWeaponFiresIt) {
    ObjectDefinition* gunner = MakeSquadCharacter(MakeGunner("gunner"));
    ServerBot* bot = MakeBot(1, {4, 0, 4}, gunner);
    ASSERT_TRUE(bot && bot->Weapon);
    const int32_t weapon = bot->Weapon->WeaponType;
    *WeaponTableSlot(weapon, kAmmoType) = new WeaponParameters;
    const int32_t usable = Give(*bot, MakeItemDefinition("shells", IK_AMMO, 20, kAmmoType));
    const int32_t foreign = Give(*bot, MakeItemDefinition("darts", IK_AMMO, 20, 5));
    bot->UseItem(foreign, true);
    EXPECT_NE(bot->Weapon->AmmoType, 5);
    bot->UseItem(usable, true);
    EXPECT_EQ(bot->Weapon->AmmoType, kAmmoType);
    auto* stray = new InventoryItem; // a type past the table, as a bad record would carry
    stray->Kind = IK_AMMO;
    stray->Value = stray->SubType = 40;
    stray->ItemId = TakeInventoryItemId();
    bot->Inventory->InsertItem(stray);
    bot->UseItem(stray->ItemId, true);
    EXPECT_EQ(bot->Weapon->AmmoType, kAmmoType);
}

// ---- Mine laying ----

class MineLayingTest : public UnitItemsTest {
protected:
    void SetUp() override {
        UnitItemsTest::SetUp();
        squad->character->mineLayingTime = 2;
        unit = MakeSquadUnit();
        ASSERT_TRUE(unit && unit->Inventory);
    }
    // A mine definition of that name whose character carries `weapon`.
    ObjectDefinition* MakeMine(const char* name, int32_t weapon) {
        ObjectDefinition* mine = MakeDefinition(name, kAiCoreMine, true, false, true);
        mine->character->weapon = weapon;
        return mine;
    }
    // Runs the item action's step after `seconds` of both clocks.
    void StepAfter(Real seconds) {
        AdvanceSeconds(seconds);
        unit->StepItemAction(Now(), NowSeconds());
    }
    // The mines of the unit's team in play.
    int32_t MinesLaid(const ObjectDefinition* mine) {
        int32_t count = 0;
        ForEachActor([&](const ServerObject* actor) { count += actor->Definition == mine; });
        return count;
    }

    ServerUnit* unit = nullptr;
};

TEST_F(MineLayingTest, TheLastMineIsLaidAsTheLayerGoes) {
    ObjectDefinition* mine = MakeMine("mine", 0);
    const int32_t layer = Give(*unit, MakeItemDefinition("layer", IK_MINE_LAYER, 1, 0));
    unit->UseItem(layer, true);
    ASSERT_TRUE(unit->ItemActionActive);
    const std::vector<RecordedMessage> kneel = SentFor(kMsgUnitSequence, unit->Id);
    ASSERT_EQ(kneel.size(), 1u);
    EXPECT_EQ(kneel[0].bytes.size(), 25u);
    EXPECT_EQ(MessageInt(kneel[0].bytes, 8), 96);
    EXPECT_EQ(MessageInt(kneel[0].bytes, 20), -1);

    StepAfter(0.1f); // a model without the sequence is through the kneeling at once
    EXPECT_EQ(unit->ItemActionState, 1);
    ASSERT_EQ(SentFor(kMsgMineLayingBegun, unit->Id).size(), 1u);
    StepAfter(1.0f);
    EXPECT_EQ(MinesLaid(mine), 0) << "two seconds to lay";
    StepAfter(1.5f);
    EXPECT_EQ(MinesLaid(mine), 1);
    EXPECT_EQ(Item(*unit, layer), nullptr);
    EXPECT_EQ(Types(*unit, {kMsgMineLaid, kMsgMineLayerUsedUp, kMsgMineLayingCancelled}),
              (std::vector<int32_t>{kMsgMineLaid, kMsgMineLayerUsedUp}));
    EXPECT_EQ(SentFor(kMsgMineLaid, unit->Id)[0].bytes, MessageOf({kMsgMineLaid, unit->Id, layer, 0}));
    const std::vector<RecordedMessage> stand = SentFor(kMsgUnitSequence, unit->Id);
    ASSERT_EQ(stand.size(), 2u);
    EXPECT_EQ(MessageInt(stand[1].bytes, 8), 103);
    EXPECT_EQ(MessageInt(stand[1].bytes, 20), 1);
    StepAfter(0.1f);
    EXPECT_FALSE(unit->ItemActionActive);
}

TEST_F(MineLayingTest, ACancelWhileKneelingLaysNothing) {
    ObjectDefinition* mine = MakeMine("mine", 0);
    const int32_t layer = Give(*unit, MakeItemDefinition("layer", IK_MINE_LAYER, 3, 0));
    unit->UseItem(layer, true);
    unit->ItemActionCancelled = 1;
    EXPECT_EQ(unit->ItemActionState, 0);
    StepAfter(0.1f);
    EXPECT_EQ(unit->ItemActionState, 2) << "cancelled as soon as the laying starts";
    EXPECT_EQ(SentFor(kMsgMineLayingCancelled, unit->Id).size(), 1u);
    EXPECT_EQ(MinesLaid(mine), 0);
    EXPECT_EQ(Item(*unit, layer)->Value, 3);
    StepAfter(0.1f);
    EXPECT_FALSE(unit->ItemActionActive);
}

TEST_F(MineLayingTest, APlayersRemoteMineOrDecoyIsAnnounced) {
    const struct {
        const char* name;
        int32_t subKind, weapon;
        bool notice;
    } cases[] = {{"remote_mine", 1, 1, true}, {"decoy", 3, 3, true}, {"timed_mine", 2, 2, false}};
    for (const auto& c : cases) {
        MakeMine(c.name, c.weapon);
        const int32_t layer = Give(*unit, MakeItemDefinition(c.name, IK_MINE_LAYER, 2, c.subKind));
        recorder.Clear();
        unit->UseItem(layer, true);
        StepAfter(0.1f);
        StepAfter(2.5f);
        StepAfter(0.1f);
        EXPECT_FALSE(unit->ItemActionActive) << c.name;
        const std::vector<RecordedMessage> notices = recorder.Sent(kMsgPlayerMineNotice);
        ASSERT_EQ(notices.size(), c.notice ? 1u : 0u) << c.name;
        if (c.notice) {
            EXPECT_EQ(notices[0].bytes, MessageOf({kMsgPlayerMineNotice, 12090}));
        }
    }
}

TEST_F(MineLayingTest, NoLayingWhileMovingCrouchedOrWithoutTheMine) {
    MakeMine("mine", 0);
    const int32_t layer = Give(*unit, MakeItemDefinition("layer", IK_MINE_LAYER, 2, 0));
    const int32_t empLayer = Give(*unit, MakeItemDefinition("emp layer", IK_MINE_LAYER, 2,
                                                            4)); // no "EMP_mine"
    unit->Moving = 1;
    unit->UseItem(layer, true);
    unit->Moving = 0;
    unit->Crouched = 1;
    unit->UseItem(layer, true);
    unit->Crouched = 0;
    unit->UseItem(empLayer, true);
    EXPECT_FALSE(unit->ItemActionActive);
    EXPECT_EQ(SentFor(MSG_ITEM_USED, unit->Id).size(), 3u) << "each use is still announced";
    EXPECT_TRUE(SentFor(kMsgUnitSequence, unit->Id).empty());
}

// ---- Disguise and cloak ----

TEST_F(UnitItemsTest, ADisguiseImitatesTheComputersBotBuiltMostLikeTheUnit) {
    squad->character->boundsRadius = 1.0f;
    ObjectDefinition* close = MakeGunner("close");
    close->character->boundsRadius = 1.2f;
    ObjectDefinition* far = MakeGunner("far");
    far->character->boundsRadius = 3.0f;
    ASSERT_TRUE(MakeBot(2, {8, 0, 8}, far) && MakeBot(2, {9, 0, 9}, close));
    ServerUnit* unit = MakeSquadUnit();
    ASSERT_NE(unit, nullptr);
    const int32_t key = Give(*unit, MakeItemDefinition("mask", kKindSpecialModule, 1, 4));
    SeedNextFraction(false);
    unit->UseItem(key, true);
    EXPECT_EQ(unit->DisguiseId, close->id);
    EXPECT_TRUE(unit->Concealed);
    EXPECT_EQ(Item(*unit, key), nullptr);
    const std::vector<RecordedMessage> begun = SentFor(kMsgDisguiseBegun, unit->Id);
    ASSERT_EQ(begun.size(), 1u);
    EXPECT_EQ(begun[0].bytes.size(), 20u);
    EXPECT_EQ(MessageInt(begun[0].bytes, 8), close->id);
    EXPECT_EQ(MessageFloat(begun[0].bytes, 16) - MessageFloat(begun[0].bytes, 12), 60.0f);
    EXPECT_EQ(SentFor(MSG_ITEM_DROPPED, unit->Id).size(), 1u);
}

TEST_F(UnitItemsTest, ADisguiseWithNobodyToImitateKeepsTheUnitsOwnLook) {
    for (bool randomChoice : {true, false}) {
        ServerUnit* unit = MakeSquadUnit();
        ASSERT_NE(unit, nullptr);
        const int32_t key = Give(*unit, MakeItemDefinition("mask", kKindSpecialModule, 1, 4));
        SeedNextFraction(randomChoice);
        unit->UseItem(key, true);
        EXPECT_EQ(unit->DisguiseId, squad->id) << randomChoice;
        unit->Remove(true);
    }
}

TEST_F(UnitItemsTest, ACloakSilencesTheUnitAndRefusesASecondModule) {
    ServerUnit* unit = MakeSquadUnit();
    ASSERT_NE(unit, nullptr);
    ASSERT_TRUE(unit->AiFlags & kAiFlagNoiseEvent);
    const int32_t cloak = Give(*unit, MakeItemDefinition("cloak", kKindSpecialModule, 1, 5));
    const int32_t mask = Give(*unit, MakeItemDefinition("mask", kKindSpecialModule, 1, 4));
    unit->UseItem(cloak, true);
    EXPECT_TRUE(unit->CloakActive);
    EXPECT_FALSE(unit->AiFlags & kAiFlagNoiseEvent);
    ASSERT_EQ(SentFor(kMsgCloakBegun, unit->Id).size(), 1u);
    EXPECT_EQ(SentFor(kMsgCloakBegun, unit->Id)[0].bytes.size(), 16u);
    EXPECT_EQ(Item(*unit, cloak), nullptr);

    unit->UseItem(mask, true);
    EXPECT_EQ(unit->DisguiseId, -1);
    EXPECT_NE(Item(*unit, mask), nullptr) << "a refused module stays";
    const std::vector<RecordedMessage> refusals = recorder.Sent(kMsgRefusalCue);
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(refusals[0].bytes, MessageOf({kMsgRefusalCue, 40}));

    ThinkUnit(*unit, 121.0f);
    EXPECT_FALSE(unit->CloakActive);
    EXPECT_TRUE(unit->AiFlags & kAiFlagNoiseEvent) << "heard again";
}

// ---- Dropping ----

TEST_F(UnitItemsTest, ShieldsAndAmmunitionGoDownOnePickupsWorthAtATime) {
    ObjectDefinition* shieldPickup = MakeItemDefinition("shield_pickup", IK_SHIELD, 5);
    ObjectDefinition* shells = MakeItemDefinition("shells", IK_AMMO, 20, kAmmoType);
    const struct {
        const ObjectDefinition* item;
        int32_t count;
        int32_t dropped, kept; // kept -1: the item is gone
    } cases[] = {
        {shieldPickup, 12, 5, 7}, // worth more than one pickup: exactly one pickup's worth
        {shieldPickup, 5, 5, -1},
        {shells, 30, 20, 10},
        {shells, 20, 20, -1},
    };
    for (const auto& c : cases) {
        ServerUnit* unit = MakeSquadUnit();
        ASSERT_NE(unit, nullptr);
        const int32_t key = Give(*unit, c.item, c.count);
        recorder.Clear();
        unit->DropItem(key);
        const std::vector<RecordedMessage> counts = recorder.Sent(MSG_PICKUP_COUNT);
        ASSERT_EQ(counts.size(), 1u) << c.count;
        EXPECT_EQ(counts[0].bytes.size(), 12u);
        EXPECT_EQ(MessageInt(counts[0].bytes, 8), c.dropped) << c.count;
        auto* pickup = static_cast<ServerPickup*>(TvFindActor(MessageInt(counts[0].bytes, 4)));
        ASSERT_TRUE(pickup && pickup->IsPickup());
        EXPECT_EQ(pickup->ItemCount, c.dropped);
        EXPECT_EQ(pickup->Team, 0);
        EXPECT_EQ(pickup->Definition, c.item);
        const InventoryItem* left = Item(*unit, key);
        EXPECT_EQ(left ? left->Count : -1, c.kept) << c.count;
        EXPECT_EQ(SentFor(MSG_ITEM_DROPPED, unit->Id).size(), 1u);
        unit->Remove(true);
        pickup->Remove(true);
    }
}

TEST_F(UnitItemsTest, AnItemThatCannotBePutDownIsStillDropped) {
    ServerUnit* unit = MakeSquadUnit();
    ASSERT_NE(unit, nullptr);
    // No "shield_pickup" in the level: the shield goes without a pickup.
    const int32_t shield = Give(*unit, MakeItemDefinition("buckler", IK_SHIELD, 5), 12);
    unit->EquipItem(2, shield, true);
    unit->DropItem(shield);
    EXPECT_EQ(Item(*unit, shield), nullptr);
    EXPECT_TRUE(unit->Equipment.IsEmpty());
    EXPECT_EQ(recorder.CountSent(MSG_PICKUP_COUNT), 0);
    EXPECT_EQ(SentFor(MSG_ITEM_DROPPED, unit->Id).size(), 1u);

    // A pickup that holds nothing: the whole stack goes down at once.
    ObjectDefinition* emptyCrate = MakeItemDefinition("empty crate", IK_AMMO, 0, 5);
    AmmoTypeTable[5].maxPerSlot = 50;
    const int32_t darts = Give(*unit, emptyCrate, 30);
    unit->DropItem(darts);
    AmmoTypeTable[5].maxPerSlot = 0;
    EXPECT_EQ(Item(*unit, darts), nullptr);
    const std::vector<RecordedMessage> counts = recorder.Sent(MSG_PICKUP_COUNT);
    ASSERT_EQ(counts.size(), 1u);
    EXPECT_EQ(MessageInt(counts[0].bytes, 8), 30);
}

TEST_F(UnitItemsTest, OtherItemsLieDownAsTheirOwnPickupWithTheirCount) {
    ServerUnit* unit = MakeSquadUnit();
    ASSERT_NE(unit, nullptr);
    ObjectDefinition* layerDefinition = MakeItemDefinition("layer", IK_MINE_LAYER, 4, 0);
    const int32_t layer = Give(*unit, layerDefinition, 3);
    const int32_t plate = Give(*unit, MakeItemDefinition("plate", IK_ARMOUR, 5));
    unit->EquipItem(2, plate, true);
    unit->DropItem(layer);
    unit->DropItem(plate);
    EXPECT_EQ(unit->Inventory->ItemCount(), 0);
    EXPECT_EQ(unit->Armour, 0) << "taken off first";
    const std::vector<RecordedMessage> counts = recorder.Sent(MSG_PICKUP_COUNT);
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_EQ(MessageInt(counts[0].bytes, 8), 3) << "a mine layer's mines left";
    EXPECT_EQ(TvFindActor(MessageInt(counts[0].bytes, 4))->Definition, layerDefinition);
    EXPECT_EQ(MessageInt(counts[1].bytes, 8), 5) << "an armour's points";
}

// ---- Collecting ----

TEST_F(UnitItemsTest, CollectingTakesWhatFitsAndLeavesTheRest) {
    squad->character->maxAmmo = 1;
    ServerUnit* unit = MakeSquadUnit();
    ASSERT_NE(unit, nullptr);
    ObjectDefinition* shells = MakeItemDefinition("shells", IK_AMMO, 20, kAmmoType);
    Give(*unit, shells, 47); // one stack, the limit: room for 3
    const int32_t id = TvCreateServerActor(0, shells, {4, 0, 5}, Quaternion{0, 0, 0, 1});
    auto* pickup = static_cast<ServerPickup*>(TvFindActor(id));
    ASSERT_TRUE(pickup && pickup->IsPickup());
    pickup->ItemCount = 5;
    const int32_t nextId = NextInventoryItemId;

    EXPECT_TRUE(unit->CollectPickup(pickup, true));
    EXPECT_EQ(pickup->ItemCount, 2);
    EXPECT_FALSE(pickup->Taken);
    EXPECT_EQ(unit->Inventory->Items.Front()->Count, 50);
    const std::vector<RecordedMessage> collected = SentFor(MSG_PICKUP_COLLECTED, unit->Id);
    ASSERT_EQ(collected.size(), 1u);
    EXPECT_EQ(collected[0].bytes, MessageOf({MSG_PICKUP_COLLECTED, unit->Id, IK_AMMO, shells->id, nextId, 3}));

    EXPECT_FALSE(unit->CollectPickup(pickup, false)) << "full: quietly nothing";
    EXPECT_EQ(recorder.CountSent(MSG_INVENTORY_FULL), 0);
    EXPECT_FALSE(unit->CollectPickup(pickup, true));
    ASSERT_EQ(SentFor(MSG_INVENTORY_FULL, unit->Id).size(), 1u);
    EXPECT_EQ(SentFor(MSG_INVENTORY_FULL, unit->Id)[0].bytes, MessageOf({MSG_INVENTORY_FULL, unit->Id, IK_AMMO}));
    EXPECT_EQ(pickup->ItemCount, 2);
}

TEST_F(UnitItemsTest, APickupGivingAllItHoldsIsTaken) {
    ServerUnit* unit = MakeSquadUnit();
    ASSERT_NE(unit, nullptr);
    ObjectDefinition* shells = MakeItemDefinition("shells", IK_AMMO, 20, kAmmoType);
    auto* pickup = static_cast<ServerPickup*>(TvFindActor(TvCreateServerActor(0, shells, {4, 0, 5}, {0, 0, 0, 1})));
    ASSERT_NE(pickup, nullptr);
    unit->Collecting = 1;
    EXPECT_TRUE(unit->CollectPickup(pickup, false)); // -1: as the definition says
    EXPECT_TRUE(pickup->Taken);
    EXPECT_FALSE(unit->Collecting);
    EXPECT_EQ(unit->Inventory->Items.Front()->Count, 20);
    EXPECT_EQ(SentFor(kMsgPickupCollectedQuiet, unit->Id).size(), 1u);
    EXPECT_FALSE(unit->CollectPickup(pickup, true)) << "nothing left to take";
}

// ---- Handing over ----

TEST_F(UnitItemsTest, HandingOverMovesWholeItemsOrShares) {
    ObjectDefinition* shells = MakeItemDefinition("shells", IK_AMMO, 20, kAmmoType);
    ObjectDefinition* layer = MakeItemDefinition("layer", IK_MINE_LAYER, 4, 0);
    ObjectDefinition* gun = MakeItemDefinition("gun", IK_WEAPON, 1, 2);
    const struct {
        const ObjectDefinition* item;
        int32_t count, asked;
        int32_t sent;         // message 129's count
        int32_t giverKeeps;   // rounds or mines; -1: the item went
        int32_t receiverGets; // rounds or mines of the receiver's new item
    } cases[] = {
        {gun, -1, -1, -1, -1, 0},                                   // no limit on either side: the whole item
        {shells, 30, 10, 10, 20, 10}, {shells, 30, -1, -1, -1, 30}, // room -1 and count -1: whole
        {shells, 30, 40, 40, -1, 30},                               // more than it holds: whole
        {layer, 3, 2, 2, 1, 2},
    };
    for (const auto& c : cases) {
        ServerUnit* giver = MakeSquadUnit({4, 0, 4});
        ServerUnit* receiver = MakeSquadUnit({5, 0, 4});
        ASSERT_TRUE(giver && receiver);
        const int32_t key = Give(*giver, c.item, c.count);
        InventoryItem* record = Item(*giver, key);
        recorder.Clear();
        giver->GiveItemTo(key, receiver->Id, c.asked);
        const std::vector<RecordedMessage> given = SentFor(kMsgItemGiven, giver->Id);
        ASSERT_EQ(given.size(), 1u) << c.count << " " << c.asked;
        EXPECT_EQ(given[0].bytes.size(), 24u);
        EXPECT_EQ(MessageInt(given[0].bytes, 8), receiver->Id);
        EXPECT_EQ(MessageInt(given[0].bytes, 12), key);
        EXPECT_EQ(MessageInt(given[0].bytes, 16), c.sent) << c.count << " " << c.asked;
        const InventoryItem* kept = Item(*giver, key);
        const bool isLayer = c.item == layer;
        EXPECT_EQ(kept ? (isLayer ? kept->Value : kept->Count) : -1, c.giverKeeps) << c.count << " " << c.asked;
        ASSERT_EQ(receiver->Inventory->ItemCount(), 1);
        const InventoryItem* got = receiver->Inventory->Items.Front();
        if (c.item == gun) {
            EXPECT_EQ(got, record) << "the record itself moves";
        } else {
            EXPECT_EQ(isLayer ? got->Value : got->Count, c.receiverGets) << c.count << " " << c.asked;
        }
        giver->Remove(true);
        receiver->Remove(true);
    }
}

TEST_F(UnitItemsTest, NothingIsHandedOverWithoutRoomOrForABadCount) {
    squad->character->maxWeapon = 1;
    ServerUnit* giver = MakeSquadUnit({4, 0, 4});
    ServerUnit* receiver = MakeSquadUnit({5, 0, 4});
    ServerUnit* stranger = MakeUnit(2, {6, 0, 4}, squad);
    ASSERT_TRUE(giver && receiver && stranger);
    ObjectDefinition* gun = MakeItemDefinition("gun", IK_WEAPON, 1, 2);
    Give(*receiver, gun);
    const int32_t key = Give(*giver, gun);
    const int32_t shells = Give(*giver, MakeItemDefinition("shells", IK_AMMO, 20, kAmmoType), 30);
    giver->GiveItemTo(key, receiver->Id, -1);
    EXPECT_EQ(SentFor(MSG_INVENTORY_FULL, giver->Id)[0].bytes, MessageOf({MSG_INVENTORY_FULL, giver->Id, IK_WEAPON}));
    giver->GiveItemTo(key, stranger->Id, -1); // carries no inventory
    giver->GiveItemTo(shells, receiver->Id, -5);
    giver->GiveItemTo(shells, receiver->Id, 0);
    EXPECT_EQ(recorder.CountSent(kMsgItemGiven), 0);
    EXPECT_EQ(Item(*giver, shells)->Count, 30);
    EXPECT_EQ(receiver->Inventory->ItemCount(), 1);
}

TEST_F(UnitItemsTest, ABotHandingOverItsLoadedStackReloadsFromAnother) {
    ObjectDefinition* gunner = MakeSquadCharacter(MakeGunner("gunner"));
    gunner->character->customisationModel = new AwModel;
    ServerBot* bot = MakeBot(1, {4, 0, 4}, gunner);
    ServerUnit* mate = MakeSquadUnit({5, 0, 4});
    ASSERT_TRUE(bot && mate);
    const int32_t ammoType = bot->Weapon->AmmoType;
    AmmoTypeTable[ammoType].maxPerSlot = 50;
    const int32_t key = Give(*bot, MakeItemDefinition("rounds", IK_AMMO, 20, ammoType), 30);
    bot->AmmoItem = Item(*bot, key);
    bot->SetMagazineCount(10);
    bot->GiveItemTo(key, mate->Id,
                    25); // partial: the magazine holds no more than the stack
    EXPECT_EQ(bot->AmmoItem, Item(*bot, key));
    EXPECT_EQ(bot->MagazineCount, 5u);
    bot->GiveItemTo(key, mate->Id, -1);
    EXPECT_EQ(Item(*bot, key), nullptr);
    EXPECT_EQ(bot->AmmoItem, nullptr) << "no stack left to load from";
    EXPECT_EQ(bot->MagazineCount, 0u);
    AmmoTypeTable[ammoType].maxPerSlot = 0;
}

} // namespace
