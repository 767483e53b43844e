// Nodes: their patrol lists, and the node core's generating, send-off and limits.
#include <cmath>
#include <cstdint>
#include <vector>

#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/node_ai.h"
#include "Tv/sim/server_mine.h"
#include "Tv/sim/server_node.h"
#include "Tv/sim/server_popup.h"
#include "Tv/world/collision_polygon.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr int32_t kNodeTeam = 2;
constexpr int32_t kEnemyTeam = 1;

class NodeTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeFloor(20, 20);
        WalkerSpec robotSpec;
        robotSpec.registered = true;
        MakeWalker("robot", robotSpec);
        WalkerSpec nodeSpec;
        nodeSpec.aiCore = 15;
        nodeKind = MakeWalker("generator", nodeSpec);
        CharacterRecord& c = *nodeKind->character;
        c.hearingRangeSquared = 100; // 10 m
        c.sightRange = 4;
        c.generationLimit = 5;
        c.aggression = 1;
        nodeKind->severPoints.emplace_back("robot");
    }

    ServerNode* Node(const Vector3& at = {20, 0, 20}) {
        ServerUnit* unit = MakeUnit(kNodeTeam, at, nodeKind);
        return unit && unit->IsNode() ? static_cast<ServerNode*>(unit) : nullptr;
    }

    // One node core call 1.1 s on: a generating pass is followed by its send-off one.
    void Pass(ServerNode* node, int32_t count = 1) {
        for (int32_t i = 0; i < count; ++i) {
            AdvanceSeconds(1.1);
            TvNodeAi(node, Now());
        }
    }

    // The ids of the actors the node announced (message 110), in order.
    std::vector<int32_t> Generated() {
        std::vector<int32_t> ids;
        for (const RecordedMessage& m : recorder.Sent(kMsgNodeGenerated)) ids.push_back(MessageInt(m.bytes, 4));
        return ids;
    }

    ServerUnit* Actor(int32_t id) { return static_cast<ServerUnit*>(TvFindActor(id)); }

    ObjectDefinition* nodeKind = nullptr;
};

std::vector<Real> Xs(const NodeWaypointList& list) {
    std::vector<Real> xs;
    for (const NodeWaypoint& w : list) xs.push_back(w.Position.x);
    return xs;
}

TEST_F(NodeTest, WaypointsGoIntoThePatrolListsWhichAreHandedOutInTurn) {
    ServerNode* node = Node();
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->GetSize(), 632);
    EXPECT_EQ(node->GenerationLimit, 5);

    // Before any new list: the construction-time list, which is also the next one with a single list.
    static_cast<ServerUnit*>(node)->AddWaypoint({1, 0, 0}, 4, true, 9);
    EXPECT_TRUE(node->Waypoints.IsEmpty());
    EXPECT_TRUE(node->StoredWaypoints.IsEmpty());
    const NodeWaypointList& only = node->NextWaypointList();
    ASSERT_EQ(only.Count(), 1);
    const NodeWaypoint& first = only.Front();
    EXPECT_EQ(first.Keep, 4);
    EXPECT_EQ(first.Tag, 9);
    EXPECT_EQ(first.AlsoStore, 1);
    EXPECT_EQ(&node->NextWaypointList(), &only);

    node->NewWaypointList();
    node->AddWaypoint({2, 0, 0}, 0, false, 0);
    node->NewWaypointList();
    node->AddWaypoint({3, 0, 0}, 0, false, 0);
    node->AddWaypoint({3.5f, 0, 0}, 0, false, 0);
    ASSERT_EQ(node->WaypointListCount(), 3);
    // A new list starts the patrol from the first again: the second comes next, and it wraps.
    const std::vector<std::vector<Real>> expected{{2}, {3, 3.5f}, {1}, {2}};
    for (const std::vector<Real>& xs : expected) EXPECT_EQ(Xs(node->NextWaypointList()), xs);
}

TEST_F(NodeTest, PathPlanningOnANodeFillsItsPatrolNotItsWalk) {
    ServerNode* node = Node({1, 0, 1});
    node->HeadFor(FloorAt(9, 1), NowSeconds());
    for (int32_t i = 0; i < 5 && node->IsPathPending(); ++i) Step(0.1f);
    EXPECT_TRUE(node->Waypoints.IsEmpty());
    EXPECT_FALSE(node->NextWaypointList().IsEmpty());
}

TEST_F(NodeTest, ItGeneratesAtMostItsLimitHoweverManyDieAndSendsOffTheLast) {
    ServerNode* node = Node();
    MakeUnit(kEnemyTeam, {26, 0, 20}); // heard, beyond sight
    for (int32_t i = 0; i < 30; ++i) {
        Pass(node);
        // Every actor dies as soon as it has been sent off.
        if (!node->NodeAiFlag && node->NodeAiIndex != -1)
            if (ServerObject* made = TvFindActor(node->NodeAiIndex); made && made->AiActivity == 8) made->Remove(true);
    }
    const std::vector<RecordedMessage> sent = recorder.Sent(kMsgNodeGenerated);
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(node->NodeAiValue, 5);
    for (const RecordedMessage& m : sent) {
        ASSERT_EQ(m.bytes.size(), 20u);
        EXPECT_EQ(MessageFloat(m.bytes, 8), 20.0f);
        EXPECT_EQ(MessageFloat(m.bytes, 16), 20.0f);
    }
    // The fifth was sent off although the node was already exhausted.
    EXPECT_EQ(SentFor(MSG_REMOVE_OBJECT, MessageInt(sent[4].bytes, 4)).size(), 1u);
}

TEST_F(NodeTest, SixListedAliveStopItUntilOneDiesThenItGeneratesInThatPass) {
    nodeKind->character->generationLimit = 20;
    ServerNode* node = Node();
    node->Alerted = 1;
    Pass(node, 12);
    std::vector<int32_t> made = Generated();
    ASSERT_EQ(made.size(), 6u);
    Pass(node, 4);
    EXPECT_EQ(Generated().size(), 6u);

    Actor(made[2])->Remove(true);
    Actor(made[4])->Remove(true);
    while (node->AiWakeTime >= Now()) AdvanceSeconds(0.5);
    TvNodeAi(node, Now());
    made = Generated();
    ASSERT_EQ(made.size(), 7u);
    // One dead entry (the oldest) left the list in that pass; the other waits for the next.
    const std::vector<int32_t> listed(node->NodeAiList.begin(), node->NodeAiList.end());
    EXPECT_EQ(listed, (std::vector<int32_t>{made[0], made[1], made[3], made[4], made[5], made[6]}));
}

TEST_F(NodeTest, AnEnemyBeyondSightSendsEachNewActorAlongTheNextPatrolList) {
    ServerNode* node = Node();
    node->AddWaypoint({1, 0, 1}, 0, false, 0);
    node->NewWaypointList();
    node->AddWaypoint({2, 0, 2}, 0, true, 7);
    node->AddWaypoint({2, 0, 3}, 0, false, 0);
    node->NewWaypointList();
    node->AddWaypoint({3, 0, 3}, 0, false, 0);
    MakeUnit(kEnemyTeam, {26, 0, 20});
    Pass(node, 8);
    const std::vector<int32_t> made = Generated();
    ASSERT_EQ(made.size(), 4u);
    const std::vector<std::vector<Real>> expected{{2, 2}, {3}, {1}, {2, 2}};
    for (size_t i = 0; i < made.size(); ++i) {
        ServerUnit* actor = Actor(made[i]);
        std::vector<Real> xs;
        for (const Waypoint* w : actor->Waypoints) xs.push_back(w->Position.x);
        EXPECT_EQ(xs, expected[i]) << "actor " << i;
        EXPECT_EQ(actor->AiActivity, 8);
    }
    // The record's byte and second value reach the new actor as "also store" and tag.
    const ServerUnit* alongSecondList = Actor(made[0]);
    ASSERT_EQ(alongSecondList->StoredWaypoints.Count(), 1);
    EXPECT_EQ(alongSecondList->Waypoints.Front()->Tag, 7);
    EXPECT_EQ(alongSecondList->Waypoints.Front()->Keep, 0);
}

TEST_F(NodeTest, WhereTheNewActorGoesWithoutAPatrol) {
    struct Case {
        const char* what;
        Vector3 node;
        bool enemyInSight;
    };
    const Case cases[] = {
        {"an enemy within sight", {21, 0, 21}, true},
        {"alerted, a floor spot beside it", {21, 0, 21}, false},
        {"alerted, no floor beside it", {100, 0, 100}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ServerNode* node = Node(c.node);
        ServerUnit* enemy = c.enemyInSight ? MakeUnit(kEnemyTeam, c.node + Vector3(3, 0, 0)) : nullptr;
        node->Alerted = !c.enemyInSight;
        recorder.Clear();
        Pass(node, 2);
        const std::vector<int32_t> made = Generated();
        ASSERT_EQ(made.size(), 1u);
        ServerUnit* actor = Actor(made[0]);
        if (enemy) {
            EXPECT_EQ(actor->GoalPolygon, enemy->GetFloorPolygon());
            EXPECT_NE(actor->AiActivity, 8);
        } else {
            EXPECT_EQ(actor->AiActivity, 8);
            if (c.node.x > 50) {
                EXPECT_EQ(actor->GoalPolygon, nullptr);
            } else {
                ASSERT_NE(actor->GoalPolygon, nullptr);
                // 1.5 to 2.5 m either way from the middle of its 2 m quad: the middle of a quad two quads over.
                const Vector3 spot = actor->GoalPolygon->GetReferencePoint() - c.node;
                EXPECT_EQ(std::fabs(spot.x), 2.0f);
                EXPECT_EQ(std::fabs(spot.z), 2.0f);
            }
        }
        node->Remove(false);
        actor->Remove(false);
        if (enemy) enemy->Remove(false);
    }
}

TEST_F(NodeTest, AGeneratedPopupStartsToRiseAtOnce) {
    WalkerSpec popupSpec;
    popupSpec.aiCore = 18;
    popupSpec.registered = true;
    MakeWalker("emplacement", popupSpec);
    nodeKind->severPoints.clear();
    nodeKind->severPoints.emplace_back("emplacement");
    ServerNode* node = Node();
    node->Alerted = 1;
    Pass(node);
    const std::vector<int32_t> made = Generated();
    ASSERT_EQ(made.size(), 1u);
    ASSERT_TRUE(TvFindActor(made[0])->IsPopup());
    EXPECT_EQ(static_cast<ServerPopup*>(TvFindActor(made[0]))->Rising, 1);
    EXPECT_EQ(SentFor(kMsgPopupRising, made[0]).size(), 1u);
}

TEST_F(NodeTest, WhatTheNodeHears) {
    WalkerSpec mineSpec;
    mineSpec.aiCore = kAiCoreMine;
    const ObjectDefinition* mine = MakeWalker("mine", mineSpec);
    struct Case {
        const char* what;
        int32_t team;
        Real distance;
        bool concealed;
        const ObjectDefinition* kind;
        bool heard;
    };
    const Case cases[] = {
        {"an enemy inside hearing range", kEnemyTeam, 9.9f, false, nullptr, true},
        {"an enemy at exactly hearing range", kEnemyTeam, 10, false, nullptr, false},
        {"a concealed enemy", kEnemyTeam, 5, true, nullptr, false},
        {"an actor of team 0", 0, 5, false, nullptr, false},
        {"a team-mate", kNodeTeam, 5, false, nullptr, false},
        {"an enemy mine", kEnemyTeam, 5, false, mine, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ServerNode* node = Node();
        ServerUnit* other = MakeUnit(c.team, {20 + c.distance, 0, 20}, c.kind);
        other->Concealed = c.concealed;
        recorder.Clear();
        Pass(node);
        EXPECT_EQ(Generated().size(), c.heard ? 1u : 0u);
        for (int32_t id : Generated()) Actor(id)->Remove(false);
        node->Remove(false);
        other->Remove(false);
    }
}

TEST_F(NodeTest, ALatchingNodeGoesOnGeneratingOnceTheEnemyHasGone) {
    for (bool latch : {false, true}) {
        SCOPED_TRACE(latch ? "latching" : "not latching");
        nodeKind->character->latchTrigger = latch;
        ServerNode* node = Node();
        ServerUnit* enemy = MakeUnit(kEnemyTeam, {25, 0, 20});
        recorder.Clear();
        Pass(node, 2);
        enemy->Remove(false);
        Pass(node, 4);
        EXPECT_EQ(node->Alerted, latch ? 1 : 0);
        EXPECT_EQ(Generated().size(), latch ? 3u : 1u);
        for (int32_t id : Generated()) Actor(id)->Remove(false);
        node->Remove(false);
    }
}

TEST_F(NodeTest, AnEmptyProductionListMakesNothingAndAggressionZeroPutsItToSleep) {
    nodeKind->severPoints.clear();
    ServerNode* idle = Node();
    idle->Alerted = 1;
    Pass(idle, 3);
    EXPECT_TRUE(Generated().empty());
    EXPECT_EQ(idle->NodeAiValue, 0);
    EXPECT_GT(idle->AiWakeTime, Now()); // it listens again a second later
    idle->Remove(false);

    nodeKind->severPoints.emplace_back("robot");
    nodeKind->character->aggression = 0;
    ServerNode* sleeper = Node();
    sleeper->Alerted = 1;
    Pass(sleeper, 2);
    ASSERT_EQ(Generated().size(), 1u);
    EXPECT_EQ(sleeper->AiWakeTime, UINT64_MAX);
    AdvanceSeconds(1000);
    TvNodeAi(sleeper, Now());
    EXPECT_EQ(Generated().size(), 1u);
}

} // namespace
