// Swarms: the quarry they chase, their burst and when they give up.
#include <cstdint>
#include <vector>

#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/node_ai.h"
#include "Tv/sim/server_minebot.h"
#include "Tv/sim/server_unit.h"
#include "tests/tv/sim_fixture.h"
#include "tests/tv/sim_launch_recorder.h"

namespace {

constexpr int32_t kChasing = 8;

class SwarmTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeFloor(20, 20);
        WalkerSpec spec;
        spec.aiCore = kAiCoreSwarm;
        swarmKind = MakeWalker("swarm", spec);
        swarmKind->character->sightRange = 8;
        swarmKind->limit = 30;
    }

    ServerUnit* Swarm(int32_t team, const Vector3& at) { return MakeUnit(team, at, swarmKind); }

    // Runs the swarm core 1.1 s on.
    void Think(ServerUnit* swarm) {
        AdvanceSeconds(1.1);
        TvSwarmAi(swarm, Now());
    }

    ObjectDefinition* swarmKind = nullptr;
};

TEST_F(SwarmTest, ItChasesTheLastActorOfAnotherTeamWithinSight) {
    WalkerSpec mineSpec;
    mineSpec.aiCore = kAiCoreMine;
    ServerUnit* swarm = Swarm(1, {10, 0, 10});
    MakeUnit(0, {13, 0, 10});                               // searched first
    ServerUnit* later = MakeUnit(2, {10, 0, 17});           // a higher team index: searched last
    MakeUnit(2, {10, 0, 18.5f});                            // beyond sight
    MakeUnit(2, {14, 0, 10}, MakeWalker("mine", mineSpec)); // a mine, never a quarry
    MakeUnit(1, {12, 0, 12});                               // a team-mate
    Think(swarm);
    EXPECT_EQ(swarm->AiActivity, kChasing);
    EXPECT_EQ(swarm->AiTarget, later);
    EXPECT_EQ(swarm->GoalPolygon, later->GetFloorPolygon());

    // An actor of team 0 is a quarry too.
    ServerUnit* second = Swarm(1, {2, 0, 30});
    ServerUnit* neutral = MakeUnit(0, {2, 0, 34});
    Think(second);
    EXPECT_EQ(second->AiTarget, neutral);
}

TEST_F(SwarmTest, AnyEnemyWithinReachSetsOffTheBurstWhichHitsEveryLiveActorNear) {
    for (bool fragments : {false, true}) {
        SCOPED_TRACE(fragments ? "with fragments" : "without a fragment definition");
        LaunchRecorder shots;
        if (fragments) MakeDefinition("frag_projectile", 1, false, true, true);
        recorder.Clear();
        ServerUnit* swarm = Swarm(1, {10, 0, 10});
        ServerUnit* quarry = MakeUnit(2, {10, 0, 17});
        ServerUnit* passer = MakeUnit(0, {12.4f, 0, 10}); // 2.4 m: not the quarry, still an enemy
        ServerUnit* mate = MakeUnit(1, {10, 0, 13.9f});
        ServerUnit* outside = MakeUnit(2, {14, 0, 10}); // exactly 4 m
        swarm->AiActivity = kChasing;
        swarm->SetAiTarget(quarry);
        Think(swarm);

        const std::vector<RecordedMessage> burst = recorder.Sent(kMsgMinebotBurst);
        ASSERT_EQ(burst.size(), 1u);
        ASSERT_EQ(burst[0].bytes.size(), 16u);
        EXPECT_EQ(MessageFloat(burst[0].bytes, 4), 10.0f);
        EXPECT_EQ(MessageFloat(burst[0].bytes, 12), 10.0f);
        EXPECT_EQ(shots.launches.size(), fragments ? 4u : 0u);
        for (ServerUnit* hit : {swarm, passer, mate}) {
            EXPECT_EQ(SentFor(kMsgDamageReport, hit->Id).size(), 1u);
            EXPECT_EQ(hit->Strength, 70);
        }
        for (ServerUnit* spared : {quarry, outside}) {
            EXPECT_TRUE(SentFor(kMsgDamageReport, spared->Id).empty());
            EXPECT_EQ(spared->Strength, 100);
        }
        for (ServerUnit* unit : {swarm, quarry, passer, mate, outside}) unit->Remove(false);
    }
}

TEST_F(SwarmTest, ATeamMateWithinReachSetsNothingOff) {
    ServerUnit* swarm = Swarm(1, {10, 0, 10});
    ServerUnit* quarry = MakeUnit(2, {10, 0, 17});
    MakeUnit(1, {11, 0, 10});
    swarm->AiActivity = kChasing;
    swarm->SetAiTarget(quarry);
    Think(swarm);
    EXPECT_EQ(recorder.CountSent(kMsgMinebotBurst), 0);
}

TEST_F(SwarmTest, ItWalksStraightOntoANeighbouringPolygonOrGivesUpAtRest) {
    struct Case {
        const char* what;
        Vector3 quarry;
        bool straightWalk;
    };
    const Case cases[] = {
        {"quarry on the next polygon", {3.9f, 0, 1}, true},
        {"quarry two polygons over", {6.5f, 0, 1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ServerUnit* swarm = Swarm(1, {1, 0, 1});
        ServerUnit* quarry = MakeUnit(2, c.quarry);
        swarm->AiActivity = kChasing;
        swarm->SetAiTarget(quarry);
        Think(swarm);
        if (c.straightWalk) {
            ASSERT_EQ(swarm->Waypoints.Count(), 1);
            EXPECT_EQ(swarm->Waypoints.Front()->Position.x, c.quarry.x);
            EXPECT_EQ(swarm->AiActivity, kChasing);
        } else {
            EXPECT_TRUE(swarm->Waypoints.IsEmpty());
            EXPECT_EQ(swarm->AiActivity, 3);
        }
        swarm->Remove(false);
        quarry->Remove(false);
    }
}

TEST_F(SwarmTest, WhenItsQuarryDiesItStopsAndSearchesAgainASecondLater) {
    ServerUnit* swarm = Swarm(1, {2, 0, 2});
    ServerUnit* quarry = MakeUnit(2, {8, 0, 2});
    Think(swarm);
    ASSERT_EQ(swarm->AiTarget, quarry);
    quarry->Strength = 0;
    Think(swarm);
    EXPECT_EQ(swarm->AiActivity, 3);
    EXPECT_EQ(swarm->AiTarget, nullptr);

    ServerUnit* next = MakeUnit(2, {2, 0, 8});
    Think(swarm);
    EXPECT_EQ(swarm->AiTarget, next);
}

TEST_F(SwarmTest, AStunnedSwarmWaitsAndAnEndedConversionTakesThePass) {
    ServerUnit* swarm = Swarm(1, {2, 0, 2});
    MakeUnit(0, {6, 0, 2});
    swarm->StunEnd = NowSeconds() + 5;
    Think(swarm);
    EXPECT_EQ(swarm->AiActivity, 3);
    AdvanceSeconds(4);
    swarm->ConvertEnd = NowSeconds();
    Think(swarm);
    EXPECT_EQ(swarm->StunEnd, 0.0f);
    EXPECT_EQ(swarm->ConvertEnd, 0.0f);
    EXPECT_EQ(swarm->AiActivity, 3);
    Think(swarm);
    EXPECT_EQ(swarm->AiActivity, kChasing);
}

} // namespace
