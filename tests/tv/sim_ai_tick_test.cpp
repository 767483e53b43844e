// The AI step: core installation, the per-pass driver and its walk over lists that change under it.
#include <functional>
#include <map>
#include <vector>

#include "Tv/client/teamtable.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/ai_level.h"
#include "Tv/sim/ai_team_list.h"
#include "Tv/sim/ai_tick.h"
#include "Tv/sim/combat_ai.h"
#include "Tv/sim/noise_events.h"
#include "tests/tv/sim_combat_fixture.h"

namespace {

using SimAiTickTest = CombatTest;

std::vector<int32_t> calls;
std::map<int32_t, std::function<void(ServerObject*)>> actions;

void RecordingAi(ServerObject* actor, uint64_t) {
    calls.push_back(actor->Id);
    if (auto action = actions.find(actor->Id); action != actions.end()) action->second(actor);
}

class SimAiDriverTest : public CombatTest {
protected:
    void SetUp() override {
        CombatTest::SetUp();
        calls.clear();
        actions.clear();
    }
    void TearDown() override {
        actions.clear();
        CombatTest::TearDown();
    }
    // A listed actor driven by the recording core.
    TestActor* Listed(int32_t team, const ObjectDefinition* definition = nullptr) {
        TestActor* actor = new TestActor(team, {0, 0, 0}, kActorFlagsUnit, definition);
        actor->AiTickCallback = RecordingAi;
        TeamListAppend(actor);
        return actor;
    }
};

TEST_F(SimAiTickTest, EachCoreInstallsItsCallbackAndTeamListing) {
    struct Case {
        int32_t core;
        bool armed;
        AiCallback callback;
        bool listed;
    };
    const AiCallback previous = TvPathfinderAi;
    const Case cases[] = {
        {0, true, TvCombatAi, true},  {0, false, nullptr, true},        {13, true, TvCombatAi, true},
        {19, false, nullptr, true},   {4, true, nullptr, false},        {5, false, nullptr, false},
        {6, false, TvIdleAi, false},  {7, false, TvPathfinderAi, true}, {9, false, nullptr, false},
        {14, false, TvIdleAi, false}, {16, false, TvIdleAi, false},     {18, false, TvIdleAi, true},
        {20, true, TvIdleAi, true},   {42, false, previous, true},      {-1, true, previous, true},
    };
    for (const Case& c : cases) {
        TestActor actor(2, {0, 0, 0});
        actor.armed = c.armed;
        actor.AiTickCallback = previous;
        actor.InTeamList = !c.listed;
        actor.AiFlags = 0xFFu;
        actor.WithheldShots = 7;
        actor.HasNoisePoint = 1;
        TvSetAiCore(&actor, c.core, 1234);
        EXPECT_EQ(actor.AiTickCallback, c.callback) << "core " << c.core << (c.armed ? " armed" : "");
        EXPECT_EQ(actor.InTeamList, c.listed) << "core " << c.core;
        EXPECT_EQ(actor.AiCore, c.core);
        EXPECT_EQ(actor.AiWakeTime, 1234u);
        EXPECT_EQ(actor.AiActivity, 3);
        EXPECT_EQ(actor.AiFlags, 0u);
        EXPECT_EQ(actor.WithheldShots, 0);
        EXPECT_EQ(actor.HasNoisePoint, 0);
        EXPECT_FLOAT_EQ(actor.AiAggression, 0.7f) << "no character";
    }

    ObjectDefinition* brave = MakeDefinition("brave", 0, true);
    brave->character->aggression = 0.4f;
    TestActor bot(2, {0, 0, 0}, kActorFlagsUnit, brave);
    TvSetAiCore(&bot, 0, 0);
    EXPECT_FLOAT_EQ(bot.AiAggression, 0.4f);
}

TEST_F(SimAiDriverTest, SquadMembersFirstThenTheLiveActorsOfEachListedTeam) {
    ObjectDefinition* squad = MakeDefinition("always cpu", 0, true);
    squad->character->alwaysCpuControlled = true;
    TestActor* enemy = Listed(2);
    Listed(2)->Dead = 1;
    Listed(3);
    TestActor* member = Listed(1, squad);
    member->Dead = 1; // the squad step makes no liveness test
    TestActor* sameCharacterOnTeamTwo = Listed(2, squad);

    TvAiTick(1);
    EXPECT_EQ(calls, (std::vector<int32_t>{member->Id})) << "no AiTeamList entry: only the squad member";

    calls.clear();
    AiTeamListAdd(2);
    AiTeamListAdd(2);
    TvAiTick(2);
    const std::vector<int32_t> twice{member->Id, enemy->Id, sameCharacterOnTeamTwo->Id, enemy->Id,
                                     sameCharacterOnTeamTwo->Id};
    EXPECT_EQ(calls, twice) << "the dead and the unlisted team's actors are not called";

    calls.clear();
    AiTeamListRemove(2);
    TvAiTick(3);
    EXPECT_EQ(calls, (std::vector<int32_t>{member->Id, enemy->Id, sameCharacterOnTeamTwo->Id}));
}

TEST_F(SimAiDriverTest, CallbacksMayRemoveConvertAndSpawnActorsOfTheListBeingWalked) {
    AiTeamListAdd(2);
    TestActor* first = Listed(2);
    TestActor* second = Listed(2);
    TestActor* third = Listed(2);
    const int32_t secondId = second->Id, thirdId = third->Id;
    int32_t spawnedId = -1;
    actions[first->Id] = [&](ServerObject*) {
        second->Remove(false); // its last reference goes: deleted once the pass lets go
        spawnedId = Listed(2)->Id;
    };
    actions[thirdId] = [](ServerObject* self) {
        TeamListRemove(self);
        self->SetTeam(3);
        TeamListAppend(self);
    };

    TvAiTick(1);
    EXPECT_EQ(calls, (std::vector<int32_t>{first->Id, thirdId})) << "the spawned actor waits for the next pass";
    EXPECT_EQ(TvFindActor(secondId), nullptr);
    EXPECT_EQ(TeamActorListOf(2)->Count(), 2) << "the removed actor was deleted after the pass";
    EXPECT_FALSE(TeamActorListOf(2)->Contains(second));

    calls.clear();
    actions.clear();
    TvAiTick(2);
    EXPECT_EQ(calls, (std::vector<int32_t>{first->Id, spawnedId}));
}

TEST_F(SimAiDriverTest, EveryTenthTickRefreshesNoiseEventsAndTheCountRunsOnAcrossLevels) {
    AiTeamListAdd(2);
    // The count is process-wide: begin right after a refresh.
    while (AiTickCount % 10 != 0)
        TvAiTick(5);
    const uint32_t start = AiTickCount;
    TvAddExplosionNoise(25, {0, 0, 0}, {0, 0, 0}, 0, 0);
    for (uint32_t k = 1; k <= 20; ++k) {
        TvAiTick(5);
        EXPECT_EQ(AiTickCount, start + k);
        EXPECT_EQ(NoiseEventList.IsEmpty(), k % 10 == 0) << "tick " << k;
        if (k % 10 == 5) {
            // A level ends and the next starts halfway between refreshes: the
            // next refresh is five ticks away, not ten.
            TvEndLevelAi();
            TvStartLevelAi();
        }
        if (k % 10 == 5 || k % 10 == 0) TvAddExplosionNoise(25, {0, 0, 0}, {0, 0, 0}, 0, 0);
    }
}

TEST_F(SimAiTickTest, ALevelDrivesItsActiveNonPlayerTeamsAndStartsWithoutNoise) {
    TvAddExplosionNoise(25, {0, 0, 0}, {0, 0, 0}, 0, 0);
    AiTeamListAdd(7);
    TeamTable::GetTeam(0)->Active = 0;
    TvEndLevelAi();
    EXPECT_TRUE(AiTeamList.IsEmpty());
    EXPECT_TRUE(NoiseEventList.IsEmpty());

    TvAddExplosionNoise(25, {0, 0, 0}, {0, 0, 0}, 0, 0);
    TeamTable::GetTeam(1)->PlayerTeam = 0;
    TvStartLevelAi();
    std::vector<int32_t> teams;
    for (const AiTeamEntry& entry : AiTeamList)
        teams.push_back(entry.team);
    EXPECT_EQ(teams, (std::vector<int32_t>{1, 2})) << "team 0 is inactive, the others are player teams";
    EXPECT_TRUE(NoiseEventList.IsEmpty());
}

} // namespace
