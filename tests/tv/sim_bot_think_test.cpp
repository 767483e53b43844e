#include <gtest/gtest.h>

#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/item_messages.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/server_pickup.h"
#include "Tv/sim/vulnerability.h"
#include "tests/tv/sim_bot_fixture.h"

namespace {

constexpr int32_t kMsgAttackOutOfRange = 30;
constexpr int32_t kMsgAttackStopped = 68;

class BotThinkTest : public BotTest {
protected:
    void SetUp() override {
        BotTest::SetUp();
        MakeFloor(20, 20);
    }
};

// Without a shot to fire (no weapon, or a weapon row that names no projectile)
// an attack ends at the first pass.
TEST_F(BotThinkTest, AttackWithoutAShotToFireStopsAtTheFirstPass) {
    GunnerSpec unarmed;
    unarmed.weapon = kWeaponTypeNone;
    GunnerSpec empty;
    empty.weapon = 3;
    ObjectDefinition* emptyGunner = MakeGunner("empty", empty);
    WeaponTableRow(3, DefaultAmmoType(3))->projectile = nullptr;
    ServerBot* bots[] = {MakeBot(2, {5, 0, 5}, MakeGunner("unarmed", unarmed)), MakeBot(2, {9, 0, 5}, emptyGunner)};
    ASSERT_NE(bots[0], nullptr);
    ASSERT_NE(bots[1], nullptr);
    EXPECT_EQ(bots[0]->GetWeapon(), nullptr);
    EXPECT_EQ(bots[0]->GetMagazineSize(), 100);
    for (ServerBot* bot : bots) {
        bot->AttackPoint(bot->Position + Vector3(0, 0, 5), NowSeconds(), 0, 0);
        ASSERT_TRUE(bot->IsFiring());
        ThinkUnit(*bot, 0.05f);
        EXPECT_FALSE(bot->IsFiring());
        EXPECT_EQ(SentFor(kMsgAttackStopped, bot->Id).size(), 1u);
    }
}

// The attack point straight ahead at squared distances around the shot's max
// range (400), and at the muzzle.
TEST_F(BotThinkTest, AttackLastsFromBeyondTheMuzzleUpToTheMaxRange) {
    struct Case {
        Real distance;
        bool attacking;
    };
    const Case cases[] = {{0, false}, {5, true}, {20, true}, {20.01f, false}};
    Real x = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        ServerBot* bot = MakeBot(2, {x, 0, 2}, MakeGunner("gunner"));
        ASSERT_NE(bot, nullptr);
        x += 4;
        bot->AttackPoint(bot->Position + Vector3(0, 0, c.distance), NowSeconds(), 1, 0);
        ThinkUnit(*bot, 0.05f);
        EXPECT_EQ(bot->IsFiring(), c.attacking);
    }
}

// Queued attack orders run when the bot is idle; an order naming a vanished
// actor is dropped all the same.
TEST_F(BotThinkTest, QueuedAttackOrdersRunAndLeaveTheQueue) {
    ServerBot* bot = MakeBot(2, {5, 0, 5}, MakeGunner("gunner"));
    ServerBot* target = MakeBot(1, {5, 0, 12}, MakeGunner("target"));
    ASSERT_NE(bot, nullptr);
    ASSERT_NE(target, nullptr);
    bot->QueueAttackTarget(999, 0);
    bot->QueueAttackTarget(target->Id, 0);
    ThinkUnit(*bot, 0.05f);
    EXPECT_FALSE(bot->IsFiring());
    ThinkUnit(*bot, 0.05f);
    EXPECT_TRUE(bot->IsFiring());
    EXPECT_EQ(bot->GetFireTarget(), target);
    EXPECT_FALSE(bot->HasOrders());
    EXPECT_EQ(SentFor(kMsgOrderDone, bot->Id).size(), 2u);
}

// A player's bot whose target is out of range walks after it and queues the
// attack for later.
TEST_F(BotThinkTest, PlayerBotFollowsATargetOutOfRange) {
    ServerBot* bot = MakeBot(1, {5, 0, 5}, MakeGunner("gunner"));
    ServerBot* target = MakeBot(2, {5, 0, 30}, MakeGunner("target"));
    ASSERT_NE(bot, nullptr);
    ASSERT_NE(target, nullptr);
    ASSERT_EQ(bot->CpuControlled, 0);
    bot->AttackTarget(target, NowSeconds(), 0, 1);
    ThinkUnit(*bot, 0.05f);
    EXPECT_FALSE(bot->IsFiring());
    ASSERT_TRUE(bot->HasOrders());
    const UnitOrder& order = *bot->Orders.Front();
    EXPECT_EQ(order.Type, kOrderAttackTarget);
    EXPECT_EQ(order.TargetId, target->Id);
    EXPECT_EQ(order.AttackWord & 0xFF, 1);
    const std::vector<RecordedMessage> told = SentFor(kMsgAttackOutOfRange, bot->Id);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].bytes.size(), 16u);
    EXPECT_EQ(MessageInt(told[0].bytes, 12), target->Id);
    EXPECT_FALSE(bot->Waypoints.IsEmpty()); // on its way toward the target
}

// ---- The "president" ----

class PresidentTest : public BotThinkTest {
protected:
    void SetUp() override {
        BotThinkTest::SetUp();
        RegisterServerPickup();
        president = MakeGunner("President");
        president->limit = 0x4;
        // Weapon 5 fires ammunition type 6.
        auto* row = new WeaponParameters(*WeaponTableRow(1, DefaultAmmoType(1)));
        *WeaponTableSlot(5, 6) = row;
    }

    ServerObject* MakePickup(const char* name, const Vector3& position, bool goesWhenCollected) {
        ObjectDefinition* definition = MakeDefinition(name, 10, true);
        if (goesWhenCollected) definition->flags |= kDefinitionDestroyAfterCollection;
        return TvFindActor(TvCreateServerActor(0, definition, position, HeadingQuaternion(0)));
    }

    ObjectDefinition* president = nullptr;
};

// Below 15 % health a player's president drops its orders, takes up the best
// weapon it has ammunition for, heads for the nearest pickup that stays and
// crouches there; every 3 s while it is more than sqrt(5) from where it is
// bound it lays a mine.
TEST_F(PresidentTest, AWoundedPresidentArmsItselfRunsForAPickupAndLaysMines) {
    ServerBot* bot = MakeFittedBot({5, 0, 5}, president);
    ASSERT_NE(bot, nullptr);
    ASSERT_NE(MakePickup("snack", {7, 0, 5}, true), nullptr); // nearer, but it goes when collected
    ASSERT_NE(MakePickup("crate", {5, 0, 15}, false), nullptr);
    ASSERT_NE(MakePickup("far crate", {5, 0, 30}, false), nullptr);
    Carry(*bot, IK_WEAPON, 3, 0, 0);
    InventoryItem* best = Carry(*bot, IK_WEAPON, 5, 0, 0);
    Carry(*bot, IK_WEAPON, 14, 0, 0);                 // no weapon to flee with
    Carry(*bot, IK_WEAPON, 7, 0, 0)->LimitMask = 0x4; // not for this character
    Carry(*bot, IK_AMMO, 6, 6, 20);
    InventoryItem* mines = Carry(*bot, IK_MINE_LAYER, kMineTypeProximity, 3, 0);
    bot->QueueCrouch();
    bot->PushHoldOrder(); // holds the crouch back

    ThinkUnit(*bot, 0.05f); // healthy: nothing
    EXPECT_EQ(bot->Fleeing, 0);
    bot->Strength = 14;
    recorder.Clear();
    const uint64_t wounded = Now() + 1;
    ThinkUnit(*bot, 0.05f);
    EXPECT_EQ(bot->Fleeing, 1);
    EXPECT_EQ(SentFor(kMsgOrderDone, bot->Id).size(), 2u);
    ASSERT_EQ(bot->Orders.Count(), 1);
    EXPECT_EQ(bot->Orders.Front()->Type, kOrderCrouch);
    ASSERT_NE(bot->Weapon, nullptr);
    EXPECT_EQ(bot->Weapon->WeaponType, 5);
    ASSERT_EQ(SentFor(MSG_ITEM_USED, bot->Id).size(), 1u);
    EXPECT_EQ(MessageInt(SentFor(MSG_ITEM_USED, bot->Id)[0].bytes, 8), best->ItemId);
    EXPECT_EQ(bot->GoalPolygon, FloorAt(5, 15));
    EXPECT_GE(bot->NextFleeStep, wounded);

    // Mines only once 3 s have passed, and only while it is far from where it is bound.
    recorder.Clear();
    bot->Destination = bot->Position + Vector3(2, 0, 1); // squared distance 5: there
    ThinkUnit(*bot, 3.1f);
    bot->Destination = bot->Position + Vector3(2, 0, 1.01f);
    ThinkUnit(*bot, 0.05f);
    bot->Destination = bot->Position + Vector3(0, 0, 9);
    ThinkUnit(*bot, 0.05f); // the next step is 3 s away again
    const std::vector<RecordedMessage> used = SentFor(MSG_ITEM_USED, bot->Id);
    ASSERT_EQ(used.size(), 1u);
    EXPECT_EQ(MessageInt(used[0].bytes, 8), mines->ItemId);

    bot->Strength = 16; // above 15 % it is well again
    ThinkUnit(*bot, 0.05f);
    EXPECT_EQ(bot->Fleeing, 0);
}

TEST_F(PresidentTest, OnlyAPlayersPresidentFleesAndOnlyWithoutTheComputerAtTheHelm) {
    const struct {
        const char* name;
        int32_t team;
        uint8_t cpuControlled;
        bool flees, dropsOrders;
    } cases[] = {
        {"PRESIDENT", 1, 0, true, true},
        {"president", 1, 1, true, false},
        {"president", 2, 1, false, false},
        {"vice president", 1, 0, false, false},
    };
    Real x = 3;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " team " << c.team << " cpu " << int(c.cpuControlled));
        ServerBot* bot = MakeBot(c.team, {x, 0, 5}, MakeGunner(c.name));
        x += 4;
        ASSERT_NE(bot, nullptr);
        bot->CpuControlled = c.cpuControlled;
        bot->QueueCrouch();
        bot->PushHoldOrder(); // holds the crouch back
        bot->Strength = 5;
        ThinkUnit(*bot, 0.05f);
        EXPECT_EQ(bot->Fleeing != 0, c.flees);
        ASSERT_TRUE(bot->HasOrders());
        EXPECT_EQ(bot->Orders.Front()->Type, c.dropsOrders ? kOrderCrouch : kOrderHold);
        EXPECT_EQ(SentFor(kMsgOrderDone, bot->Id).size(), c.dropsOrders ? 2u : 0u);
    }
}

// ---- The default item ----

class DefaultItemTest : public BotThinkTest {
protected:
    void SetUp() override {
        BotThinkTest::SetUp();
        GunnerSpec spec;
        spec.weapon = 9;
        spec.registered = true;
        zudad = MakeGunner("zudad", spec);
        beam = MakeShot("interface_beam", 0);
        beam->projectile->maxRange = 400;
        WeaponTableRow(9, DefaultAmmoType(9))->projectile = beam;
        device = MakeWalker("device");
        device->interfaceBeamDelay = 1;
        device->interfaceBeamEffect = kVulnerabilityConfuse;
        device->interfaceBeamDuration = 5;
    }

    static int32_t DefaultItems(const ServerObject& actor) {
        int32_t n = 0;
        for (const Vulnerability* v : actor.Vulnerabilities) n += v->owned;
        return n;
    }

    ObjectDefinition* zudad = nullptr;
    ObjectDefinition* beam = nullptr;
    ObjectDefinition* device = nullptr;
};

TEST_F(DefaultItemTest, AnActorOfADefinitionWithADefaultItemGetsItOnce) {
    ServerUnit* unit = MakeUnit(2, {5, 0, 12}, device);
    ServerUnit* plain = MakeUnit(2, {9, 0, 12});
    ASSERT_NE(unit, nullptr);
    ASSERT_NE(plain, nullptr);
    ASSERT_EQ(DefaultItems(*unit), 1);
    EXPECT_EQ(DefaultItems(*plain), 0); // its delay is -1
    TvGiveDefaultItem(unit);
    EXPECT_EQ(DefaultItems(*unit), 1);
    const Vulnerability& item = *unit->Vulnerabilities.Front();
    EXPECT_EQ(item.attacker, zudad);
    EXPECT_EQ(item.projectile, beam);
    EXPECT_EQ(item.delaySeconds, 1);
    EXPECT_EQ(item.effect, kVulnerabilityConfuse);
    EXPECT_EQ(item.durationSeconds, 5);
    EXPECT_EQ(item.scriptName, nullptr);
}

TEST_F(DefaultItemTest, ALevelWithoutTheBeamGivesNoDefaultItem) {
    beam->name = OwnedText("other beam");
    ServerUnit* unit = MakeUnit(2, {5, 0, 12}, device);
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(DefaultItems(*unit), 0);
}

// The beam's first shot starts the work; a second later the target is confused (stunned in story play).
TEST_F(DefaultItemTest, TheBeamOfZudadAppliesTheDefaultItem) {
    device->interfaceBeamScript = OwnedText("wake.tcs");
    ServerBot* bot = MakeBot(1, {5, 0, 5}, zudad);
    ServerUnit* target = MakeUnit(2, {5, 0, 12}, device);
    ASSERT_NE(bot, nullptr);
    ASSERT_NE(target, nullptr);
    EXPECT_STREQ(target->Vulnerabilities.Front()->scriptName, "wake.tcs");
    bot->AttackTarget(target, NowSeconds(), 0, 0);
    for (int pass = 0; pass < 40 && bot->IsFiring(); ++pass) ThinkUnit(*bot, 0.05f);
    EXPECT_FALSE(bot->IsFiring());
    EXPECT_EQ(SentFor(kMsgBotBeamStarted, bot->Id).size(), 1u);
    EXPECT_EQ(SentFor(kMsgActorStunned, target->Id).size(), 1u);
}

} // namespace
