// The minebot: what it hears, its chase, its recruits and its burst.
#include <vector>

#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/server_minebot.h"
#include "Tv/sim/server_unit.h"
#include "tests/tv/sim_fixture.h"
#include "tests/tv/sim_launch_recorder.h"

namespace {


class MinebotTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeFloor(20, 20);
        WalkerSpec spec;
        spec.aiCore = kAiCoreMinebot;
        minebotKind = MakeWalker("minebot", spec);
        minebotKind->character->hearingRange = 10;
        minebotKind->character->hearingRangeSquared = 100;
        minebotKind->character->alertRadius = 5;
        minebotKind->limit = 30;
    }

    ServerUnit* Minebot(int32_t team, const Vector3& at) { return MakeUnit(team, at, minebotKind); }

    // Runs the minebot's AI that many seconds on.
    void Think(ServerUnit* minebot, Real seconds) {
        AdvanceSeconds(seconds);
        TvMinebotAi(minebot, Now());
    }

    ObjectDefinition* minebotKind = nullptr;
};

TEST_F(MinebotTest, ItChasesTheNearestEnemyItHears) {
    ServerUnit* minebot = Minebot(2, {2, 0, 2});
    MakeUnit(1, {10, 0, 2});                     // 8 m
    ServerUnit* nearer = MakeUnit(1, {7, 0, 2}); // 5 m
    MakeUnit(0, {4, 0, 2});                      // nearer, but of team 0
    Think(minebot, 1.5f);
    EXPECT_EQ(minebot->AiActivity, kAiActivityChasing);
    EXPECT_EQ(minebot->AiTarget, nearer);
    EXPECT_EQ(minebot->GoalPolygon, nearer->GetFloorPolygon());

    const std::vector<RecordedMessage> chase = recorder.Sent(kMsgMinebotChase);
    ASSERT_EQ(chase.size(), 1u);
    ASSERT_EQ(chase[0].bytes.size(), 24u);
    EXPECT_EQ(MessageFloat(chase[0].bytes, 4), 2.0f);
    EXPECT_EQ(MessageFloat(chase[0].bytes, 12), 2.0f);
    EXPECT_EQ(MessageFloat(chase[0].bytes, 16), 20.0f);
    EXPECT_EQ(static_cast<uint32_t>(MessageInt(chase[0].bytes, 20)), 0x00030001u);
}

TEST_F(MinebotTest, ItStaysWhereItIsWhenNobodyIsWithinHearing) {
    ServerUnit* minebot = Minebot(2, {2, 0, 2});
    MakeUnit(1, {12, 0, 2}); // exactly 10 m
    MakeUnit(2, {3, 0, 2});  // a team-mate
    Think(minebot, 1.5f);
    EXPECT_NE(minebot->AiActivity, kAiActivityChasing);
    EXPECT_EQ(minebot->AiTarget, nullptr);
    EXPECT_EQ(recorder.CountSent(kMsgMinebotChase), 0);
}

TEST_F(MinebotTest, ItFollowsItsQuarryAndGivesUpWhenTheQuarryDies) {
    ServerUnit* minebot = Minebot(2, {2, 0, 2});
    ServerUnit* quarry = MakeUnit(1, {8, 0, 2});
    TvMinebotChase(minebot, quarry, NowSeconds());
    Think(minebot, 1.5f);
    EXPECT_TRUE(minebot->IsMoving());
    EXPECT_EQ(minebot->Destination.x, 8.0f);

    quarry->Strength = 0;
    Think(minebot, 1.5f);
    EXPECT_EQ(minebot->AiActivity, 3);
    EXPECT_EQ(minebot->AiTarget, nullptr);
    EXPECT_FALSE(minebot->IsMoving());
}

TEST_F(MinebotTest, AChasingMinebotRecruitsIdleTeamMatesAround) {
    WalkerSpec botSpec;
    botSpec.aiCore = 0;
    ObjectDefinition* bot = MakeWalker("bot", botSpec);
    ServerUnit* minebot = Minebot(2, {10, 0, 10});
    minebot->InvestigatePoint = {1, 2, 3};
    ServerUnit* quarry = MakeUnit(1, {18, 0, 10});
    ServerUnit* idle = MakeUnit(2, {10, 0, 14}, bot);      // 4 m
    ServerUnit* beyond = MakeUnit(2, {10, 0, 15.5f}, bot); // beyond the 5 m alert radius
    ServerUnit* busy = MakeUnit(2, {10, 0, 6}, bot);
    busy->AiActivity = 1;
    ServerUnit* alarmed = MakeUnit(2, {6, 0, 10}, bot);
    alarmed->AlarmState = 1;
    ServerUnit* mate = Minebot(2, {13, 0, 12});
    idle->AiFlags = beyond->AiFlags = 0x80;
    TvMinebotChase(minebot, quarry, NowSeconds());
    Think(minebot, 1.5f);

    EXPECT_EQ(idle->AiActivity, 0);
    EXPECT_EQ(idle->InvestigatePoint.y, 2.0f);
    EXPECT_EQ(idle->AiFlags, 0u);
    EXPECT_EQ(beyond->AiActivity, 3);
    EXPECT_EQ(beyond->AiFlags, 0x80u);
    EXPECT_EQ(busy->AiActivity, 1);
    EXPECT_EQ(alarmed->AiActivity, 3);
    EXPECT_EQ(mate->AiActivity, kAiActivityChasing);
    EXPECT_EQ(mate->AiTarget, quarry);
}

TEST_F(MinebotTest, ItBurstsBesideAnEnemyAndTakesItsOwnDamage) {
    LaunchRecorder shots;
    MakeDefinition("frag_projectile", 1, false, true, true);
    ServerUnit* minebot = Minebot(2, {10, 0, 10});
    ServerUnit* quarry = MakeUnit(1, {11.4f, 0, 10});
    ServerUnit* bystander = MakeUnit(2, {10, 0, 13.9f});
    ServerUnit* outside = MakeUnit(1, {10, 0, 14});
    TvMinebotChase(minebot, quarry, NowSeconds());
    Think(minebot, 1.5f);

    const std::vector<RecordedMessage> burst = recorder.Sent(kMsgMinebotBurst);
    ASSERT_EQ(burst.size(), 1u);
    EXPECT_EQ(burst[0].bytes.size(), 16u);
    EXPECT_EQ(MessageFloat(burst[0].bytes, 4), 10.0f);
    ASSERT_EQ(shots.launches.size(), 4u);
    for (const ProjectileLaunch& launch : shots.launches) {
        EXPECT_EQ(launch.from.y, -0.3f);
        EXPECT_EQ(launch.kind, 33);
    }
    for (ServerUnit* hit : {minebot, quarry, bystander}) {
        EXPECT_EQ(SentFor(kMsgDamageReport, hit->Id).size(), 1u);
        EXPECT_LT(hit->Strength, 100);
    }
    EXPECT_TRUE(SentFor(kMsgDamageReport, outside->Id).empty());
    EXPECT_EQ(outside->Strength, 100);
}

TEST_F(MinebotTest, AStunnedMinebotWaitsAndADisabledOneForgetsItsQuarry) {
    ServerUnit* minebot = Minebot(2, {2, 0, 2});
    ServerUnit* quarry = MakeUnit(1, {6, 0, 2});
    minebot->StunEnd = NowSeconds() + 5;
    Think(minebot, 1.5f);
    EXPECT_EQ(recorder.CountSent(kMsgMinebotChase), 0);
    Think(minebot, 4.0f);
    EXPECT_EQ(minebot->StunEnd, 0.0f);
    EXPECT_EQ(minebot->AiTarget, quarry);

    minebot->Disabled = 1;
    Think(minebot, 1.5f);
    EXPECT_EQ(minebot->AiTarget, nullptr);
}

} // namespace
