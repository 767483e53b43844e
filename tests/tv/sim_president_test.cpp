// The president game's prize: who takes the president, when it scores, the
// exit it is told, and when a successor appears.
#include <cmath>
#include <string>
#include <vector>

#include "Awapi/model/dummy_object.h"
#include "Tv/client/teamtable.h"
#include "Tv/console/console_hooks.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server.h"
#include "Tv/server/server_state.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/server_president.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr int32_t kMsgPresidentExit = 199;
constexpr int32_t kMsgCreateObject = 100;
constexpr int32_t kCorePresident = 19;

std::vector<std::string> printed;

void ExpectSamePoint(const Vector3& a, const Vector3& b) {
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
}

class PresidentGameTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeFloor(20, 20);
        CurrentGameType = kGamePresident;
        SessionTeamCount = 5; // teams 1, 3 and 4 are players'
        TeamTable::Reset();
        WalkerSpec spec;
        spec.aiCore = kCorePresident;
        spec.registered = true;
        president = MakeWalker("president", spec);
        printed.clear();
        ConsoleHooks hooks;
        hooks.print = [](const char* text) { printed.emplace_back(text); };
        SetConsoleHooks(hooks);
    }
    void TearDown() override {
        SimulationRunning = false;
        SetConsoleHooks(ConsoleHooks{});
        LevelDummyList.clear();
        SimTest::TearDown();
    }

    static void AddDummy(const char* name, const Vector3& at) {
        AwDummyObject dummy;
        dummy.Name = name;
        dummy.Position = at;
        LevelDummyList.push_back(dummy);
    }
    // The four exits at (2 + 8i, 0, 36), and the eighteen spawn places at (1 + 2i, 0, 2).
    static void AddLevelDummies() {
        for (int32_t i = 0; i < 4; ++i)
            AddDummy((std::string("exit") + static_cast<char>('a' + i)).c_str(), {2.0f + 8.0f * i, 0, 36});
        for (int32_t i = 0; i < 18; ++i)
            AddDummy((std::string("dumpres") + static_cast<char>('a' + i)).c_str(), {1.0f + 2.0f * i, 0, 2});
    }

    ServerPresident* MakePresident(int32_t team, const Vector3& at) {
        ServerUnit* unit = MakeUnit(team, at, president);
        EXPECT_TRUE(unit && unit->IsPresident());
        unit->Position = at;
        return static_cast<ServerPresident*>(unit);
    }
    ServerUnit* MakeRival(int32_t team, const Vector3& at) {
        ServerUnit* unit = MakeUnit(team, at);
        unit->Position = at;
        return unit;
    }
    // The teams the owner-change messages named, in order.
    std::vector<int32_t> OwnerChanges(int32_t id) {
        std::vector<int32_t> teams;
        for (const RecordedMessage& m : SentFor(MSG_OWNER_CHANGED, id)) teams.push_back(MessageInt(m.bytes, 8));
        return teams;
    }
    static int32_t PresidentCount() {
        int32_t count = 0;
        ForEachActor([&](const ServerObject* actor) { count += actor->IsPresident() && actor->IsAlive() ? 1 : 0; });
        return count;
    }

    ObjectDefinition* president = nullptr;
};

TEST_F(PresidentGameTest, TheNearestRivalTakesItAndKeepsItForFiveSeconds) {
    // Rivals at squared distances 4.0 and 4.5, in either team order: the nearer takes it.
    const struct { int32_t nearTeam, farTeam; } cases[] = {{1, 3}, {3, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nearTeam);
        ServerPresident* p = MakePresident(0, {10, 0, 10});
        ServerUnit* near = MakeRival(c.nearTeam, {12, 0, 10});
        ServerUnit* far = MakeRival(c.farTeam, {10, 0, 10 + std::sqrt(4.5f)});
        ThinkUnit(*p, 0.05f);
        EXPECT_EQ(OwnerChanges(p->Id), std::vector<int32_t>{c.nearTeam});
        EXPECT_EQ(p->Team, c.nearTeam);
        EXPECT_TRUE(TeamActorListOf(c.nearTeam)->Contains(p));
        EXPECT_FALSE(TeamActorListOf(0)->Contains(p));

        // The other rival comes nearer: no change within 5 s, one at the first pass after.
        far->Position = {10, 0, 11};
        ThinkUnit(*p, 4.9f);
        EXPECT_EQ(p->Team, c.nearTeam);
        ThinkUnit(*p, 0.2f);
        EXPECT_EQ(OwnerChanges(p->Id), (std::vector<int32_t>{c.nearTeam, c.farTeam}));
        EXPECT_EQ(p->Team, c.farTeam);
        for (ServerObject* actor :
             {static_cast<ServerObject*>(p), static_cast<ServerObject*>(near), static_cast<ServerObject*>(far)})
            actor->Remove(false);
    }
}

TEST_F(PresidentGameTest, NoRivalWithinReachNorADeadOneTakesIt) {
    ServerPresident* p = MakePresident(0, {10, 0, 10});
    ServerUnit* rival = MakeRival(1, {10, 0, 12.25f}); // squared distance 5.0625
    ServerUnit* dead = MakeRival(3, {10, 0, 11});
    dead->Strength = 0;
    ThinkUnit(*p, 0.05f);
    EXPECT_TRUE(OwnerChanges(p->Id).empty());
    EXPECT_EQ(p->Team, 0);
    rival->Position = {10, 0, 12};
    ThinkUnit(*p, 0.05f);
    EXPECT_EQ(OwnerChanges(p->Id), std::vector<int32_t>{1});
}

TEST_F(PresidentGameTest, APlayerTeamIsToldTheLastExitOfTheDrawnName) {
    AddLevelDummies();
    AddDummy("EXITA", {30, 0, 30}); // later dummies of a name win, whatever their case
    AddDummy("ExitB", {31, 0, 30});
    AddDummy("exitC", {32, 0, 30});
    AddDummy("exitd", {33, 0, 30});
    ServerPresident* p = MakePresident(3, {10, 0, 10});
    const std::vector<RecordedMessage> told = recorder.Sent(kMsgPresidentExit);
    ASSERT_EQ(told.size(), 1u);
    ASSERT_EQ(told[0].bytes.size(), 24u);
    const int32_t exit = MessageInt(told[0].bytes, 4);
    ASSERT_GE(exit, 0);
    ASSERT_LT(exit, 4);
    EXPECT_EQ(MessageInt(told[0].bytes, 8), p->Id);
    const Vector3 expected{30.0f + exit, 0, 30};
    ExpectSamePoint(p->ExitPoint, expected);
    EXPECT_EQ(MessageFloat(told[0].bytes, 12), expected.x);
    EXPECT_EQ(MessageFloat(told[0].bytes, 20), expected.z);

    // Team 0 is no player team: nobody is told, the exit stays.
    TeamListRemove(p);
    p->SetTeam(0);
    TeamListAppend(p);
    EXPECT_EQ(recorder.CountSent(kMsgPresidentExit), 1);
    ExpectSamePoint(p->ExitPoint, expected);
}

TEST_F(PresidentGameTest, ItScoresForAPlayerTeamWithinFiveMetresOfItsExit) {
    AddLevelDummies();
    ServerPresident* p = MakePresident(1, {10, 0, 10});
    ASSERT_TRUE(p->HasExit);
    p->Position = p->ExitPoint + Vector3(0, 0, -5.01f);
    ThinkUnit(*p, 0.05f);
    EXPECT_EQ(recorder.CountSent(kMsgTeamScores), 0);

    SimulationRunning = true;
    p->Position = p->ExitPoint + Vector3(0, 0, -4.99f);
    const int32_t id = p->Id;
    ThinkUnit(*p, 0.05f);
    const std::vector<RecordedMessage> scores = recorder.Sent(kMsgTeamScores);
    ASSERT_EQ(scores.size(), 1u);
    EXPECT_EQ(scores[0].bytes, MessageOf({kMsgTeamScores, 1}));
    EXPECT_EQ(TvFindActor(id), nullptr);

    // Its successor stands at one of the spawn places, in team 0.
    ASSERT_EQ(PresidentCount(), 1);
    ForEachActor([&](const ServerObject* actor) {
        if (!actor->IsPresident()) return;
        EXPECT_EQ(actor->Team, 0);
        EXPECT_EQ(actor->Position.z, 2.0f);
        EXPECT_EQ(SentFor(kMsgCreateObject, actor->Id).size(), 1u);
    });
}

TEST_F(PresidentGameTest, TeamsZeroAndTwoAndAPresidentWithoutAnExitNeverScore) {
    AddLevelDummies();
    for (int32_t team : {0, 2}) {
        SCOPED_TRACE(team);
        ServerPresident* p = MakePresident(team, {10, 0, 10});
        p->ExitPoint = p->Position;
        p->HasExit = true;
        ThinkUnit(*p, 0.05f);
        EXPECT_TRUE(p->IsAlive());
        p->Remove(false);
    }
    // A level without exits: a player team is told none, and the president
    // standing on the point it keeps does not score.
    LevelDummyList.clear();
    ServerPresident* p = MakePresident(1, {0, 0, 0});
    EXPECT_FALSE(p->HasExit);
    ExpectSamePoint(p->ExitPoint, Vector3(0, 0, 0));
    ThinkUnit(*p, 0.05f);
    EXPECT_TRUE(p->IsAlive());
    EXPECT_EQ(recorder.CountSent(kMsgTeamScores), 0);
}

TEST_F(PresidentGameTest, NoSuccessorWhileTheSimulationIsStopped) {
    AddLevelDummies();
    // Scoring with the simulation stopped.
    ServerPresident* p = MakePresident(1, {10, 0, 10});
    p->Position = p->ExitPoint;
    ThinkUnit(*p, 0.05f);
    EXPECT_EQ(recorder.CountSent(kMsgTeamScores), 1);
    EXPECT_EQ(PresidentCount(), 0);

    // A level that ends with a president alive.
    SimulationRunning = true;
    MakePresident(0, {10, 0, 10});
    TvStopSimulation();
    EXPECT_EQ(PresidentCount(), 0);
    EXPECT_EQ(recorder.CountSent(kMsgCreateObject), 0);
}

TEST_F(PresidentGameTest, SpawningNeedsThePresidentGameAndRole) {
    AddLevelDummies();
    CurrentGameType = kGameCaptureTheFlag;
    TvSpawnPresident();
    EXPECT_EQ(PresidentCount(), 0);

    CurrentGameType = kGamePresident;
    TvSpawnPresident();
    EXPECT_EQ(PresidentCount(), 1);
    EXPECT_TRUE(printed.empty());

    president->name = OwnedText("chairman");
    TvSpawnPresident();
    EXPECT_EQ(PresidentCount(), 1);
    EXPECT_EQ(printed, std::vector<std::string>{"No president role found"});
}

} // namespace
