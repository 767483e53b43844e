#include <gtest/gtest.h>

#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/server_bot.h"
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
