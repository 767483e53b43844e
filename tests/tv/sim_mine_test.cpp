// Laid mines: their cores, the team slots, what sets them off, their blasts and decoys.
#include <limits>
#include <string>
#include <vector>

#include "Tv/client/teamtable.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/match_settings.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/ai_level.h"
#include "Tv/sim/ai_tick.h"
#include "Tv/sim/server_mine.h"
#include "Tv/sim/server_minebot.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/vulnerability.h"
#include "core/clock.h"
#include "tests/tv/sim_combat_fixture.h"

namespace {

constexpr Real kMineRange = 3.0f;

// An actor that aims at whatever the test says.
class Aimer : public TestActor {
public:
    using TestActor::TestActor;
    ServerObject* GetFireTarget() const override { return aimAt; }
    ServerObject* aimAt = nullptr;
};

class MineTest : public CombatTest {
protected:
    // A mine character of that kind: sight range 3 m, 40 as its blast damage.
    ObjectDefinition* MineOf(MineKind kind) {
        WalkerSpec spec;
        spec.aiCore = kAiCoreMine;
        ObjectDefinition* definition = MakeWalker("mine", spec);
        definition->character->weapon = kind;
        definition->character->sightRange = kMineRange;
        definition->character->hearingRange = 12;
        definition->limit = 40;
        return definition;
    }
    ServerUnit* Lay(int32_t team, MineKind kind, const Vector3& at) { return MakeUnit(team, at, MineOf(kind)); }

    // Runs the mine's AI that many seconds on.
    void MineAi(ServerObject* mine, Real seconds) {
        AdvanceSeconds(seconds);
        TvMineAi(mine, Now());
    }

    // Messages of that type sent about that actor.
    size_t CountFor(int32_t type, const ServerObject* actor) { return SentFor(type, actor->Id).size(); }

    std::vector<int32_t> SlotsAnnounced() {
        std::vector<int32_t> slots;
        for (const RecordedMessage& m : recorder.Sent(kMsgMineSlot)) slots.push_back(MessageInt(m.bytes, 8));
        return slots;
    }
};

TEST_F(MineTest, TheMineCoresInstallTheirCallbacks) {
    ServerUnit* mine = Lay(2, kMineProximity, {0, 0, 0});
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(mine->AiTickCallback, TvMineAi);
    EXPECT_EQ(mine->AiStartCallback, TvMineStart);
    EXPECT_TRUE(mine->AiFlags & kAiFlagMineStarted);
    TeamListRemove(mine); // as the console's core change does: core 6 is not listed
    TvSetAiCore(mine, 6, Now());
    EXPECT_EQ(mine->AiStartCallback, TvMineStart) << "a mine keeps its start under another core";
    WalkerSpec spec;
    spec.aiCore = 3;
    ServerUnit* minebot = MakeUnit(2, {5, 0, 0}, MakeWalker("minebot", spec));
    ASSERT_NE(minebot, nullptr);
    EXPECT_EQ(minebot->AiTickCallback, TvMinebotAi);
    EXPECT_EQ(minebot->AiStartCallback, nullptr);
}

TEST_F(MineTest, RemoteMinesTakeTheFirstTwelveSlotsAndATimedMineNone) {
    std::vector<ServerUnit*> mines;
    for (int32_t i = 0; i < 13; ++i) mines.push_back(Lay(2, kMineRemote, {10.0f * static_cast<Real>(i), 0, 0}));
    Lay(2, kMineTimed, {0, 0, 50});
    std::vector<int32_t> expected;
    for (int32_t i = 0; i < 12; ++i) expected.push_back(i);
    expected.push_back(-1);
    EXPECT_EQ(SlotsAnnounced(), expected) << "the thirteenth gets -1; the timed mine claims nothing";
    ASSERT_EQ(recorder.Sent(kMsgMineSlot).back().bytes.size(), 12u);
    EXPECT_EQ(MessageInt(recorder.Sent(kMsgMineSlot).back().bytes, 4), mines[12]->Id);

    // Only the set-off-all key reaches the mine without a slot.
    mines[12]->AddRef();
    for (int32_t slot = 0; slot < kMineSlotCount; ++slot) TvUseMineSlot(2, slot);
    EXPECT_TRUE(mines[12]->IsAlive());
    EXPECT_EQ(recorder.CountSent(kMsgMineExploded), 12);
    TvSetOffTeamMines(2);
    EXPECT_FALSE(mines[12]->IsAlive());
    mines[12]->Release();

    // A slot given up by an exploded mine is handed out again.
    recorder.Clear();
    Lay(2, kMineRemote, {0, 0, 100});
    EXPECT_EQ(SlotsAnnounced(), std::vector<int32_t>{0});
}

TEST_F(MineTest, SlotMessagesCheckTheTeamAndTheSlot) {
    ServerUnit* remote = Lay(2, kMineRemote, {0, 0, 0});
    ServerUnit* decoy = Lay(2, kMineDecoy, {10, 0, 0});
    ASSERT_EQ(SlotsAnnounced(), (std::vector<int32_t>{0, 1}));
    struct Case {
        int32_t team, slot;
    };
    const Case refused[] = {{-1, 0}, {99, 0}, {1, 0}, {2, -1}, {2, 2}, {2, 12}, {2, 25}, {2, 1 << 30}};
    for (const Case& c : refused) {
        TvUseMineSlot(c.team, c.slot);
        TvStartDecoy(c.team, c.slot);
    }
    EXPECT_EQ(recorder.CountSent(kMsgMineExploded), 0);
    EXPECT_EQ(SlotsAnnounced().size(), 2u);
    EXPECT_TRUE(remote->IsAlive());
    EXPECT_EQ(decoy->AiWakeTime, static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) << "still asleep";

    // A mine charmed over to another team leaves its old team's slot behind when it goes.
    TeamRecord* team = TeamTable::GetTeam(2);
    remote->Convert(NowSeconds(), NowSeconds() + 60, 1);
    remote->Remove(true);
    ASSERT_EQ(team->MineSlots[0], remote) << "its old team's slot still names it";
    TvUseMineSlot(2, 0);
    EXPECT_EQ(recorder.CountSent(kMsgMineExploded), 0);
}

TEST_F(MineTest, WhoSetsOffAProximityMine) {
    ObjectDefinition* sweeper = MakeWalker("sweeper");
    ObjectDefinition* engineer = MakeWalker("engineer");
    struct Case {
        const char* what;
        bool setsOff;
    };
    const Case cases[] = {
        {"a unit sweeping mines", false},
        {"the vulnerability's attacker aiming at the mine", false},
        {"the vulnerability's attacker aiming elsewhere", true},
        {"another attacker aiming at the mine", true},
        {"a team-mate", false},
        {"an enemy out of range", false},
        {"an enemy", true},
    };
    Real x = 0;
    for (const Case& c : cases) {
        const std::string what = c.what;
        x += 100;
        ServerUnit* mine = Lay(2, kMineProximity, {x, 0, 0});
        ASSERT_NE(mine, nullptr);
        auto* vulnerability = new Vulnerability;
        vulnerability->attacker = engineer;
        vulnerability->owned = 1;
        mine->Vulnerabilities.PushBack(vulnerability);
        if (what == "a unit sweeping mines") {
            MakeUnit(1, {x + 1, 0, 0}, sweeper)->MineSweep = 1;
        } else if (what.starts_with("the vulnerability") || what.starts_with("another")) {
            auto* aimer = new Aimer(1, {x + 1, 0, 0}, kActorFlagsBlocker, what.starts_with("the") ? engineer : sweeper);
            aimer->aimAt = what.ends_with("elsewhere") ? nullptr : mine;
            TeamListAppend(aimer);
        } else if (what == "a team-mate") {
            MakeUnit(2, {x + 1, 0, 0});
        } else {
            MakeUnit(1, {x + (what == "an enemy" ? 2.9f : 3.0f), 0, 0});
        }
        mine->AddRef();
        MineAi(mine, 1.5f);
        EXPECT_EQ(!mine->IsAlive(), c.setsOff) << c.what;
        mine->Release();
    }
}

TEST_F(MineTest, AMineWakesOnceASecondAndAMineThatWentNeverExplodes) {
    ServerUnit* mine = Lay(2, kMineProximity, {0, 0, 0});
    MineAi(mine, 1.5f);
    ServerUnit* enemy = MakeUnit(1, {1, 0, 0});
    MineAi(mine, 0.5f);
    EXPECT_TRUE(mine->IsAlive()) << "the next look is a second after the last";
    mine->AddRef();
    mine->Remove(false);
    MineAi(mine, 1.0f);
    EXPECT_EQ(recorder.CountSent(kMsgMineExploded), 0);
    mine->Release();
    EXPECT_TRUE(enemy->IsAlive());
}

TEST_F(MineTest, InTheCooperativeGamePlayerMinesSparePlayerTeams) {
    SessionTeamCount = 4; // teams 1 and 3 are players'
    CurrentGameType = kGameCooperative;
    TeamTable::Reset();
    ServerUnit* mine = Lay(1, kMineProximity, {0, 0, 0});
    MakeUnit(3, {1, 0, 0});
    mine->AddRef();
    MineAi(mine, 1.5f);
    EXPECT_TRUE(mine->IsAlive());
    MakeUnit(2, {0, 0, 1});
    MineAi(mine, 1.5f);
    EXPECT_FALSE(mine->IsAlive());
    mine->Release();
}

TEST_F(MineTest, ABlastSetsOffOtherMinesInTurnAndAnEmpBlastNever) {
    // A reaches B, B reaches C; A does not reach C.
    ServerUnit* a = Lay(2, kMineProximity, {0, 0, 0});
    Lay(2, kMineRemote, {2.5f, 0, 0});
    ServerUnit* c = Lay(2, kMineTimed, {5, 0, 0});
    const Vector3 cAt = c->Position;
    TvDetonateMine(a);
    std::vector<RecordedMessage> blasts = recorder.Sent(kMsgMineExploded);
    ASSERT_EQ(blasts.size(), 3u);
    EXPECT_EQ(blasts[0].bytes.size(), 16u);
    EXPECT_EQ(MessageFloat(blasts[2].bytes, 4), cAt.x);
    EXPECT_EQ(ServerActorHash.Count(), 0);
    EXPECT_EQ(TeamTable::GetTeam(2)->MineSlots[0], nullptr) << "the remote mine left its slot";

    // A normal blast catches an EMP mine, whose blast reaches a mine the first did not.
    recorder.Clear();
    ServerUnit* normal = Lay(2, kMineProximity, {100, 0, 0});
    Lay(2, kMineEmp, {102, 0, 0});
    ServerUnit* spared = Lay(2, kMineProximity, {104, 0, 0});
    ServerUnit* computerUnit = MakeUnit(2, {103, 0, 0});
    ServerUnit* playerUnit = MakeUnit(1, {103, 0, 1});
    TvDetonateMine(normal);
    EXPECT_EQ(recorder.CountSent(kMsgMineExploded), 1);
    EXPECT_EQ(recorder.CountSent(kMsgEmpMineExploded), 1);
    EXPECT_TRUE(spared->IsAlive());
    EXPECT_TRUE(computerUnit->Disabled);
    EXPECT_FALSE(playerUnit->Disabled);
    EXPECT_EQ(CountFor(kMsgDamageReport, spared), 0u);
    EXPECT_EQ(CountFor(kMsgDamageReport, computerUnit), 0u) << "an EMP blast does no damage";
}

TEST_F(MineTest, BlastsHitLiveActorsInRangeInEveryGameType) {
    SessionTeamCount = 5; // teams 1, 3 and 4 are players'
    TeamTable::Reset();
    struct Case {
        int32_t gameType, mineTeam, actorTeam;
        Real distance;
        bool alive, ruleB, hit;
    };
    const Case cases[] = {
        {kGameStory, 2, 1, 1, true, false, true},
        {kGameStory, 2, 1, 3, true, false, false},
        {kGameStory, 2, 1, 1, false, false, false},
        {kGameStory, 1, 1, 1, true, false, false},
        {kGameStory, 1, 3, 1, true, true, true},
        {kGameStory, 1, 0, 1, true, false, true},
        {kGameCooperative, 1, 3, 1, true, false, false},
        {kGamePresident, 1, 3, 1, true, false, true},
        {kGamePresident, 1, 1, 1, true, false, false},
        {kGamePresident, 1, 3, 50, true, false, false},
        {kGamePresident, 1, 3, 1, false, false, false},
        {kGameCaptureTheFlag, 3, 4, 60, true, false, false},
        {kGameCaptureTheFlag, 2, 4, 1, false, false, false},
    };
    Real z = 0;
    for (const Case& c : cases) {
        CurrentGameType = c.gameType;
        UserMatchSettings.RuleFlagB = c.ruleB;
        z += 200;
        ServerUnit* mine = Lay(c.mineTeam, kMineProximity, {0, 0, z});
        ServerUnit* victim = MakeUnit(c.actorTeam, {c.distance, 0, z});
        if (!c.alive) victim->Strength = 0;
        TvDetonateMine(mine);
        EXPECT_EQ(CountFor(kMsgDamageReport, victim), c.hit ? 1u : 0u)
            << "game " << c.gameType << ", mine of team " << c.mineTeam << ", actor of team " << c.actorTeam << " at "
            << c.distance << (c.alive ? "" : " dead") << (c.ruleB ? ", rule B" : "");
        if (c.hit) {
            EXPECT_LT(victim->Strength, 100);
        }
    }
}

TEST_F(MineTest, TheBlastIsAnnouncedBeforeItsDamage) {
    ServerUnit* mine = Lay(2, kMineProximity, {0, 0, 0});
    ServerUnit* victim = MakeUnit(1, {1, 0, 0});
    MineAi(mine, 1.5f);
    std::vector<int32_t> order;
    for (const RecordedMessage& m : recorder.Messages())
        if (m.type == kMsgMineExploded || m.type == kMsgDamageReport) order.push_back(m.type);
    EXPECT_EQ(order, (std::vector<int32_t>{kMsgMineExploded, kMsgDamageReport}));
    const std::vector<RecordedMessage> report = SentFor(kMsgDamageReport, victim->Id);
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(report[0].bytes.size(), 20u);
    EXPECT_EQ(MessageFloat(report[0].bytes, 8), victim->Strength);
}

TEST_F(MineTest, ADisabledMineOnlyGoes) {
    ServerUnit* mine = Lay(2, kMineRemote, {0, 0, 0});
    ServerUnit* victim = MakeUnit(1, {1, 0, 0});
    mine->Disable();
    mine->AddRef();
    TvUseMineSlot(2, 0);
    EXPECT_FALSE(mine->IsAlive());
    EXPECT_EQ(recorder.CountSent(kMsgMineExploded), 0);
    EXPECT_EQ(CountFor(kMsgDamageReport, victim), 0u);
    EXPECT_EQ(TeamTable::GetTeam(2)->MineSlots[0], nullptr);
    mine->Release();
}

TEST_F(MineTest, ATimedMineExplodesTenSecondsAfterItsStart) {
    ServerUnit* mine = Lay(2, kMineTimed, {0, 0, 0});
    mine->AddRef();
    MineAi(mine, 9.5f);
    EXPECT_TRUE(mine->IsAlive());
    MineAi(mine, 1.0f);
    EXPECT_FALSE(mine->IsAlive());
    mine->Release();
}

TEST_F(MineTest, AStartedDecoyCallsOutForSixtySecondsThenGoes) {
    ServerUnit* decoy = Lay(2, kMineDecoy, {0, 0, 0});
    decoy->AddRef();
    MineAi(decoy, 5);
    EXPECT_EQ(CountFor(kMsgDecoyCalls, decoy), 0u) << "asleep until started";

    TvUseMineSlot(2, 0);
    EXPECT_EQ(decoy->AiWakeTime, ServerClock.GetTime()) << "the server's own time in full";
    const std::vector<RecordedMessage> given = SentFor(kMsgMineSlot, decoy->Id);
    ASSERT_EQ(given.size(), 2u);
    EXPECT_EQ(MessageInt(given[1].bytes, 8), kMineSlotGivenUp);
    EXPECT_EQ(TeamTable::GetTeam(2)->MineSlots[0], nullptr);
    TvUseMineSlot(2, 0);
    EXPECT_EQ(SentFor(kMsgMineSlot, decoy->Id).size(), 2u) << "a started decoy has no slot";

    // Looked at every 0.7 s, a call falls due once 6 s have passed: calls at
    // 0.7, 7.0, ..., 57.4 s; at 63.7 s the 60 s are over.
    for (int32_t step = 1; step <= 90; ++step) MineAi(decoy, 0.7f);
    EXPECT_EQ(CountFor(kMsgDecoyCalls, decoy), 10u);
    EXPECT_TRUE(decoy->IsAlive());
    for (int32_t step = 91; step <= 100; ++step) MineAi(decoy, 0.7f);
    EXPECT_EQ(CountFor(kMsgDecoyCalls, decoy), 10u);
    EXPECT_FALSE(decoy->IsAlive());
    ASSERT_FALSE(recorder.Sent(kMsgDecoyCalls).empty());
    EXPECT_EQ(recorder.Sent(kMsgDecoyCalls)[0].bytes.size(), 8u);
    decoy->Release();
}

TEST_F(MineTest, SettingOffAllMinesTakesOnlyTheTeamsRemoteMines) {
    SessionTeamCount = 4;
    TeamTable::Reset();
    ServerUnit* first = Lay(1, kMineRemote, {0, 0, 0});
    ServerUnit* second = Lay(1, kMineRemote, {10, 0, 0});
    ServerUnit* proximity = Lay(1, kMineProximity, {20, 0, 0});
    ServerUnit* otherTeams = Lay(3, kMineRemote, {30, 0, 0});
    Lay(1, kMineRemote, {40, 0, 0})->Strength = 0; // dead, not yet taken away: it stays quiet
    for (ServerUnit* mine : {first, second}) mine->AddRef();
    TvSetOffTeamMines(1);
    EXPECT_FALSE(first->IsAlive());
    EXPECT_FALSE(second->IsAlive());
    EXPECT_TRUE(proximity->IsAlive());
    EXPECT_TRUE(otherTeams->IsAlive());
    for (ServerUnit* mine : {first, second}) mine->Release();
    TvSetOffTeamMines(-5);
    TvSetOffTeamMines(99);
    EXPECT_EQ(recorder.CountSent(kMsgMineExploded), 2);
}

TEST_F(MineTest, TheLevelLoadEmptiesTheSlots) {
    Lay(2, kMineRemote, {0, 0, 0});
    Lay(1, kMineDecoy, {10, 0, 0});
    TeamTable::GetTeam(0)->MineSlots[3] = TeamTable::GetTeam(1)->MineSlots[0];
    TvStartLevelAi();
    EXPECT_EQ(TeamTable::GetTeam(1)->MineSlots[0], nullptr);
    EXPECT_EQ(TeamTable::GetTeam(2)->MineSlots[0], nullptr);
    EXPECT_NE(TeamTable::GetTeam(0)->MineSlots[3], nullptr) << "team 0's table is left alone";
    TeamTable::GetTeam(0)->MineSlots[3] = nullptr;
}

} // namespace
