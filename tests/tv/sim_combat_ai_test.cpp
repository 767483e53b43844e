#include <gtest/gtest.h>

#include <cmath>

#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/combat_ai.h"
#include "Tv/sim/server_bot.h"
#include "core/clock.h"
#include "tests/tv/sim_bot_fixture.h"

namespace {

constexpr int32_t kSearching = 6;
constexpr int32_t kIdle = 3;
constexpr int32_t kAlarmRaised = 1;
constexpr uint32_t kAiFlagShotAt = 0x4;

class CombatAiTest : public BotTest {
protected:
    void SetUp() override {
        BotTest::SetUp();
        MakeFloor(10, 10);
    }
    // Advances the clock and runs one think of the bot.
    void Think(ServerBot& bot, Real seconds) {
        AdvanceSeconds(seconds);
        TvCombatAi(&bot, Now());
    }
};

// A think clears the shot-at flag; before the wake time it is left alone.
TEST_F(CombatAiTest, ThinksFiveTimesASecondWithAVisionConeAndOnceWithout) {
    GunnerSpec coned;
    coned.visionCone = true;
    ServerBot* withCone = MakeBot(2, {3, 0, 3}, MakeGunner("watcher", coned));
    ServerBot* without = MakeBot(2, {3, 0, 17}, MakeGunner("gunner"));
    ASSERT_NE(withCone, nullptr);
    ASSERT_NE(without, nullptr);
    struct Case {
        ServerBot* bot;
        Real period;
    };
    for (const Case& c : {Case{withCone, 0.2f}, Case{without, 1.0f}}) {
        SCOPED_TRACE(c.period);
        Think(*c.bot, 0);
        c.bot->AiFlags |= kAiFlagShotAt;
        Think(*c.bot, c.period - 0.01f);
        EXPECT_TRUE(c.bot->AiFlags & kAiFlagShotAt);
        Think(*c.bot, 0.02f);
        EXPECT_FALSE(c.bot->AiFlags & kAiFlagShotAt);
    }
}

// An enemy within 3 m: a bot that is not firing backs off to 5 m from it; a
// firing one holds its ground.
TEST_F(CombatAiTest, BotNotFiringBacksOffFromAnEnemyAtTwoPointNineMetres) {
    // The enemy's centre stands on the floor, 2.9 m from each bot.
    TestActor* enemy = new TestActor(1, {10, 0.5f, 10}, kActorFlagsUnit);
    TeamListAppend(enemy);
    ServerBot* calm = MakeBot(2, {7.1f, 0, 10}, MakeGunner("gunner"));
    ServerBot* firing = MakeBot(2, {10, 0, 12.9f}, MakeGunner("gunner"));
    ASSERT_NE(calm, nullptr);
    ASSERT_NE(firing, nullptr);
    firing->AttackTarget(enemy, NowSeconds(), 0, 0);
    AdvanceSeconds(0.05f);
    for (ServerBot* bot : {calm, firing}) {
        bot->AlarmState = kAlarmRaised; // searching: an enemy in sight is sensed without a scan
        TvCombatAi(bot, Now());
        EXPECT_EQ(bot->InvestigatePoint.x, 10);
    }
    EXPECT_EQ(calm->PathState, PS_COMPLETE);
    EXPECT_EQ(calm->GoalPolygon, FloorAt(5, 10));
    EXPECT_EQ(firing->PathState, PS_NONE);
    EXPECT_TRUE(firing->IsFiring());
}

// On a floor of half-metre quads the walk ends on the quad under the point
// 5 m from the enemy on the bot's side, from whichever side the bot stands.
TEST_F(CombatAiTest, TheBackOffWalkEndsOnTheQuadFiveMetresFromTheEnemy) {
    MakeFloor(40, 40, 0.5f);
    const Vector3 enemyAt{10.25f, 0.5f, 10.25f}; // its centre on the floor, mid-quad
    const Vector3 sides[] = {{-1, 0, 0}, {0, 0, 1}, {0.6f, 0, -0.8f}};
    for (const Vector3& side : sides) {
        SCOPED_TRACE(testing::Message() << side.x << " " << side.z);
        TestActor* enemy = new TestActor(1, enemyAt, kActorFlagsUnit);
        TeamListAppend(enemy);
        ServerBot* bot = MakeBot(2, Vector3(enemyAt.x, 0, enemyAt.z) + 2.9f * side, MakeGunner("gunner"));
        ASSERT_NE(bot, nullptr);
        bot->AlarmState = kAlarmRaised;
        AdvanceSeconds(0.05f);
        TvCombatAi(bot, Now());
        const Vector3 toEnemy = enemy->Position - bot->Position;
        const Vector3 backOff = enemy->Position - toEnemy * (5.0f / std::sqrt(Dot(toEnemy, toEnemy)));
        EXPECT_EQ(bot->PathState, PS_COMPLETE);
        EXPECT_EQ(bot->GoalPolygon, FloorAt(backOff.x, backOff.z));
        bot->Remove(false);
        enemy->Remove(false);
    }
}

// The swap writes the character record, so every actor of that character sees
// it.
TEST_F(CombatAiTest, ActorsOfOneCharacterShareTheWeaponSwap) {
    GunnerSpec spec;
    spec.weapon = 1;
    spec.secondaryWeapon = 2;
    ObjectDefinition* gunner = MakeGunner("gunner", spec);
    CharacterRecord& character = *gunner->character;
    character.weaponCycleTime = 1;
    character.weaponCycleTime2 = 2;
    ServerBot* first = MakeBot(2, {4, 0, 4}, gunner);
    ServerBot* second = MakeBot(2, {8, 0, 4}, gunner);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    first->WeaponCycleTime = second->WeaponCycleTime = 1;
    Think(*first, 0);
    Think(*second, 0);
    Think(*first, 1.1f);
    EXPECT_EQ(first->GetWeapon()->WeaponType, 2);
    EXPECT_EQ(first->WeaponCycleTime, 2);
    EXPECT_EQ(second->GetCharacterRecord()->weapon, 2);
    EXPECT_EQ(second->GetCharacterRecord()->secondaryWeapon, 1);
    // The second bot's cycle now reads the swapped times: without a crowded
    // target it keeps the record as it is.
    TvCombatAi(second, Now());
    EXPECT_EQ(character.weapon, 2);
    EXPECT_EQ(character.weaponCycleTime, 2);
}

TEST_F(CombatAiTest, FruitlessSearchEndsAfterSeventeenSecondsWithTheAlarmCleared) {
    ServerBot* bot = MakeBot(2, {10, 0, 10}, MakeGunner("gunner"));
    ASSERT_NE(bot, nullptr);
    bot->AiActivity = kSearching;
    Think(*bot, 0.05f);
    EXPECT_EQ(bot->AlarmState, kAlarmRaised);
    EXPECT_EQ(SentFor(99, bot->Id).size(), 1u);
    for (int32_t second = 1; second <= 16; ++second)
        Think(*bot, 1.0f);
    EXPECT_EQ(bot->AiActivity, kSearching);
    EXPECT_TRUE(SentFor(98, bot->Id).empty());
    Think(*bot, 1.1f);
    EXPECT_EQ(bot->AiActivity, kIdle);
    EXPECT_EQ(bot->AlarmState, 0);
    const std::vector<RecordedMessage> cleared = SentFor(98, bot->Id);
    ASSERT_EQ(cleared.size(), 1u);
    EXPECT_EQ(cleared[0].bytes.size(), 8u);
}

// Engaging raises the alarm: pending, then a second of alerting that wakes idle team-mates nearby.
TEST_F(CombatAiTest, EngagingBotRaisesTheAlarmAndWakesIdleTeamMates) {
    GunnerSpec coned;
    coned.visionCone = true;
    ObjectDefinition* sentryRole = MakeGunner("sentry", coned);
    sentryRole->character->alertRadius = 10;
    TestActor* enemy = new TestActor(1, {10.8f, 0.5f, 10}, kActorFlagsUnit);
    TeamListAppend(enemy);
    ServerBot* sentry = MakeBot(2, {10, 0, 10}, sentryRole);
    ServerBot* mate = MakeBot(2, {10, 0, 15}, MakeGunner("gunner"));
    ASSERT_NE(sentry, nullptr);
    ASSERT_NE(mate, nullptr);
    Think(*sentry, 0.05f);
    EXPECT_EQ(sentry->AlarmState, 2);
    EXPECT_EQ(TypesFor(sentry->Id, {96, 97, 98, 99}), (std::vector<int32_t>{96, 97}));
    ASSERT_TRUE(sentry->HasStoredWaypoints()); // the way back once the fight is over
    EXPECT_EQ(sentry->StoredWaypoints.Front()->Position.z, 10);
    EXPECT_EQ(sentry->StoredWaypoints.Front()->Word, 0);
    EXPECT_EQ(mate->AiActivity, kIdle);
    Think(*sentry, 0.2f);
    EXPECT_EQ(mate->AiActivity, 0);
    EXPECT_EQ(mate->InvestigatePoint.x, 10.8f);
    Think(*sentry, 1.0f);
    EXPECT_EQ(sentry->AlarmState, 3);
}

// The alarm's return point: a lone stored waypoint with no wait is headed for
// once and then dropped.
TEST_F(CombatAiTest, LoneReturnPointIsHeadedForOnceAndDropped) {
    ServerBot* bot = MakeBot(2, {3, 0, 3}, MakeGunner("gunner"));
    ASSERT_NE(bot, nullptr);
    bot->AddStoredWaypoint({15, 0, 15}, 0, 0);
    Think(*bot, 0.05f);
    EXPECT_EQ(bot->GoalPolygon, FloorAt(15, 15));
    EXPECT_FALSE(bot->HasStoredWaypoints());
}

// A patrol waypoint's fourth word is its wait: the bot stays put until the wait
// is over.
TEST_F(CombatAiTest, PatrolWaitsAtTheNearestStoredWaypointForItsWait) {
    ServerBot* bot = MakeBot(2, {3, 0, 3}, MakeGunner("gunner"));
    ASSERT_NE(bot, nullptr);
    bot->AddStoredWaypoint({13, 0, 3}, 1, 0);
    bot->AddStoredWaypoint({3, 0, 17}, 1, 0);
    bot->StoredWaypoints.Front()->Word = 2;
    Think(*bot, 0.05f);
    EXPECT_EQ(bot->GoalPolygon, FloorAt(3, 3));
    bot->AiActivity = kIdle;
    Think(*bot, 2.1f);
    EXPECT_EQ(bot->GoalPolygon, FloorAt(13, 3));
    EXPECT_TRUE(bot->HasStoredWaypoints());
}

} // namespace
