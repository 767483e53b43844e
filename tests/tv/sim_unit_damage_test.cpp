// How units lose and regain strength, die once, score a leader's death, leave
// their items and are knocked out.
#include <gtest/gtest.h>

#include <memory>

#include "Tv/client/inventory.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/server_state.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/cheat_switches.h"
#include "Tv/sim/item_messages.h"
#include "Tv/sim/noise_events.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/squad_carry_over.h"
#include "Tv/sim/unit_flags.h"
#include "tests/tv/sim_bot_fixture.h"

namespace {

class UnitDamageTest : public BotTest {
protected:
    void SetUp() override {
        BotTest::SetUp();
        MakeFloor(10, 10);
    }
    void TearDown() override {
        GodMode = false;
        BotTest::TearDown();
    }
};

TEST_F(UnitDamageTest, ShieldThenArmourSoakUpProtectedDamage) {
    const struct {
        Real amount;
        bool protectedHit;
        Real shieldLeft, strengthLost;
        bool changed;
    } cases[] = {
        {10, true, 0, 3, true},   // 4 on the shield, 3 on the armour, 3 through
        {4, true, 0, 0, false},   // the shield takes it all
        {6, true, 0, 0, false},   // 2 past the shield, within the armour
        {10, false, 4, 10, true}, // unprotected: neither applies
        {-30, true, 4, 0, true},  // a repair stops at the character's strength
    };
    for (const auto& c : cases) {
        ServerBot* bot = MakeBot(2, {4, 0, 4}, MakeGunner("gunner"));
        ASSERT_NE(bot, nullptr);
        bot->SetShield(4);
        bot->Armour = 3;
        const Real before = bot->Strength;
        EXPECT_EQ(bot->TakeDamage(c.amount, c.protectedHit, 1), c.changed) << c.amount;
        EXPECT_EQ(bot->GetShield(), c.shieldLeft) << c.amount;
        EXPECT_EQ(before - bot->Strength, c.strengthLost) << c.amount;
        bot->Remove(true);
    }
}

TEST_F(UnitDamageTest, GodModeSparesPlayerUnitsOnly) {
    GodMode = true;
    ServerUnit* mine = MakeUnit(1, {2, 0, 2});
    ServerUnit* theirs = MakeUnit(2, {6, 0, 6});
    ASSERT_TRUE(mine && theirs);
    mine->Strength = 50;
    EXPECT_FALSE(mine->TakeDamage(10, false, 2));
    EXPECT_FALSE(mine->TakeDamage(-10, false, 2));
    EXPECT_EQ(mine->Strength, 50);
    EXPECT_TRUE(theirs->TakeDamage(10, false, 1));
    EXPECT_EQ(theirs->Strength, 90);
}

TEST_F(UnitDamageTest, AUnitDiesOnceWithItsMessage) {
    ServerUnit* unit = MakeUnit(2, {4, 0, 4});
    ASSERT_NE(unit, nullptr);
    EXPECT_FALSE(unit->TakeDamage(0, false, 1));
    EXPECT_TRUE(unit->TakeDamage(150, false, 1));
    EXPECT_EQ(unit->Strength, 0);
    EXPECT_TRUE(unit->TakeDamage(5, false, 1));
    const std::vector<RecordedMessage> deaths = SentFor(kMsgUnitDied, unit->Id);
    ASSERT_EQ(deaths.size(), 1u);
    EXPECT_EQ(deaths[0].bytes.size(), 56u);
    EXPECT_TRUE(unit->AiFlags & 0x200); // dead for the AI
}

TEST_F(UnitDamageTest, AUnitThatExplodesSendsSixtyOne) {
    ObjectDefinition* role = MakeWalker("bomb");
    role->destruction = std::make_unique<DestructionRecord>(0);
    ServerUnit* unit = MakeUnit(2, {4, 0, 4}, role);
    ASSERT_NE(unit, nullptr);
    const int32_t id = unit->Id;
    unit->TakeDamage(150, false, 1);
    const std::vector<RecordedMessage> deaths = SentFor(kMsgUnitDestroyed, id);
    ASSERT_EQ(deaths.size(), 1u);
    EXPECT_EQ(deaths[0].bytes.size(), 56u);
    EXPECT_TRUE(SentFor(kMsgUnitDied, id).empty());
}

TEST_F(UnitDamageTest, KillingALeaderScoresInLeaderKillsPlay) {
    CurrentGameType = kGameLeadKills;
    const struct {
        const char* name;
        int32_t killer;
        bool scores;
    } cases[] = {{"Dodo", 3, true}, {"ZUDAD", 1, true}, {"Dodo", 2, false}, {"Dodo", -1, false}, {"grunt", 3, false}};
    for (const auto& c : cases) {
        ServerUnit* unit = MakeUnit(2, {4, 0, 4}, MakeWalker(c.name));
        ASSERT_NE(unit, nullptr);
        const int32_t before = recorder.CountSent(kMsgTeamScores);
        unit->TakeDamage(500, false, c.killer);
        ASSERT_EQ(recorder.CountSent(kMsgTeamScores) - before, c.scores ? 1 : 0) << c.name << " " << c.killer;
        if (c.scores) {
            const RecordedMessage score = recorder.Sent(kMsgTeamScores).back();
            ASSERT_EQ(score.bytes.size(), 8u);
            EXPECT_EQ(score.bytes[4], c.killer);
        }
        unit->Remove(true);
    }
}

TEST_F(UnitDamageTest, ADyingCarrierDropsTheFlagAfterItsDeathMessage) {
    ServerUnit* unit = MakeUnit(1, {4, 0, 4});
    ASSERT_NE(unit, nullptr);
    unit->CarriedFlag = 2; // the computer's flag
    unit->TakeDamage(500, false, 2);
    EXPECT_EQ(unit->CarriedFlag, 0);
    EXPECT_EQ(TypesFor(unit->Id, {kMsgUnitDied, kMsgFlagDropped}),
              (std::vector<int32_t>{kMsgUnitDied, kMsgFlagDropped}));
}

TEST_F(UnitDamageTest, AKnockedOutUnitStopsItsAttackAndItsAi) {
    ServerBot* bot = MakeBot(2, {4, 0, 4}, MakeGunner("gunner"));
    ASSERT_NE(bot, nullptr);
    bot->AttackPoint({4, 0, 9}, NowSeconds(), 0, 0);
    bot->Disable();
    EXPECT_FALSE(bot->IsFiring());
    EXPECT_EQ(bot->AiTickCallback, nullptr);
    EXPECT_EQ(bot->Disabled, 1);
    ASSERT_EQ(SentFor(kMsgUnitDisabled, bot->Id).size(), 1u);
}

TEST_F(UnitDamageTest, TheBaseRuleRepairsOnlyCharactersAndAbsorbsWithArmour) {
    ObjectDefinition* crate = MakeDefinition("crate", 6);
    auto* object = new ServerObject(0, crate, {2, 0, 2}, Quaternion{0, 0, 0, 1}, kActorFlagsBlocker, 9001);
    object->Strength = 20;
    object->Armour = 5;
    EXPECT_FALSE(object->TakeDamage(-5, false, -1));
    EXPECT_FALSE(object->TakeDamage(5, true, -1));
    EXPECT_TRUE(object->TakeDamage(7, true, -1));
    EXPECT_EQ(object->Strength, 18);
    object->Release();
}

// ---- What a dying unit's items become ----

std::vector<int32_t> carriedRobots;
std::vector<int32_t> carriedItems;

class DeathItemsTest : public UnitDamageTest {
protected:
    void SetUp() override {
        UnitDamageTest::SetUp();
        carriedRobots.clear();
        carriedItems.clear();
        SquadCarryOverHooks hooks;
        hooks.addRobot = [](const ServerObject& actor) { carriedRobots.push_back(actor.Id); };
        hooks.addItem = [](const InventoryItem& item) { carriedItems.push_back(item.ItemId); };
        SetSquadCarryOverHooks(hooks);
        SimulationRunning = true;
        gunner = MakeGunner("squaddie");
        gunner->character->maxModule = 8;
        plate = MakeDefinition("plate", 10, true, false, true);
        plate->character->aggression = 0.91f; // armour
        plate->character->walkingSpeed = 2 << 16;
    }
    void TearDown() override {
        SimulationRunning = false;
        SetSquadCarryOverHooks({});
        UnitDamageTest::TearDown();
    }
    // A squad bot carrying armour items with these death actions.
    ServerBot* MakeCarrier(std::initializer_list<int32_t> deathActions) {
        ServerBot* bot = MakeBot(1, {4, 0, 4}, gunner);
        if (!bot || !bot->Inventory) return nullptr;
        for (int32_t action : deathActions) {
            const int32_t key = TakeInventoryItemId();
            bot->Inventory->AddItem(IK_ARMOUR, plate, key, -1);
            bot->Inventory->FindItem(key)->DeathAction = action;
        }
        return bot;
    }

    ObjectDefinition* gunner = nullptr;
    ObjectDefinition* plate = nullptr;
};

TEST_F(DeathItemsTest, InStoryPlayHalfTheSquadsItemsLieWhereItFellAndTheRestAreLost) {
    const struct {
        std::initializer_list<int32_t> actions;
        int32_t dropped, carried;
    } cases[] = {
        {{0, 0, 0, 0, 0}, 2, 0}, // 2 at random, 3 lost
        {{1, 0, 0, 0, 0}, 2, 0}, // the one that always drops, then 1 at random
        {{2, 2, 0, 0, 0}, 2, 2}, // 2 carried over; 2 at random of the 3 left, 1 lost
        {{1, 1, 0, 0}, 2, 0},    // the half is used up by the two: the others stay with the wreck
    };
    for (const auto& c : cases) {
        ServerBot* bot = MakeCarrier(c.actions);
        ASSERT_NE(bot, nullptr);
        carriedRobots.clear();
        carriedItems.clear();
        const int32_t losses = GameOptions.MissionStats[kStatLevelLosses];
        bot->TakeDamage(500, false, 2);
        EXPECT_EQ(SentFor(MSG_ITEM_DROPPED, bot->Id).size(), static_cast<size_t>(c.dropped));
        EXPECT_EQ(carriedItems.size(), static_cast<size_t>(c.carried));
        EXPECT_EQ(carriedRobots, c.carried ? std::vector<int32_t>{bot->Id} : std::vector<int32_t>{});
        EXPECT_EQ(GameOptions.MissionStats[kStatLevelLosses], losses + 1);
        const int32_t left = bot->Inventory->ItemCount();
        bot->AddRef();
        bot->Remove(true); // a second OnDeath deals nothing out
        EXPECT_EQ(SentFor(MSG_ITEM_DROPPED, bot->Id).size(), static_cast<size_t>(c.dropped));
        EXPECT_EQ(bot->Inventory->ItemCount(), left);
        EXPECT_EQ(GameOptions.MissionStats[kStatLevelLosses], losses + 1);
        bot->Release();
    }
    EXPECT_EQ(GameOptions.MissionStats[kStatTotalLosses], 4);
}

TEST_F(DeathItemsTest, AUnitReleasedWithTheLevelLeavesNothingBehind) {
    CurrentGameType = kGameLastLeadStanding; // where a death drops everything
    ServerBot* bot = MakeCarrier({0, 1, 0});
    ASSERT_NE(bot, nullptr);
    const int32_t id = bot->Id;
    TvReleaseAllActors();
    TvClearNoiseEvents(); // the last reference: the unit goes
    EXPECT_TRUE(SentFor(MSG_ITEM_DROPPED, id).empty());
}

TEST_F(DeathItemsTest, InMultiplayerEveryItemDropsEvenWhenItCannotLieDown) {
    CurrentGameType = kGameLastLeadStanding;
    ServerBot* bot = MakeCarrier({0, 1, 2, 0});
    ASSERT_NE(bot, nullptr);
    // A worn shield, and no "shield_pickup" in the level to put it down as.
    const int32_t shield = TakeInventoryItemId();
    ObjectDefinition* buckler = MakeDefinition("buckler", 10, true, false, true);
    buckler->character->aggression = 0.31f;
    buckler->character->walkingSpeed = 5 << 16;
    bot->Inventory->AddItem(IK_SHIELD, buckler, shield, 12);
    bot->EquipItem(2, shield, true);
    bot->TakeDamage(500, false, 2);
    EXPECT_EQ(bot->Inventory->ItemCount(), 0);
    EXPECT_EQ(SentFor(MSG_ITEM_DROPPED, bot->Id).size(), 5u);
    EXPECT_TRUE(carriedItems.empty());
    EXPECT_EQ(GameOptions.MissionStats[kStatLevelLosses], 0) << "counted in the squad games only";
}

} // namespace
