// Game rules and options: damage, difficulty, the win checks, the options
// record, the level descriptions and respawning.
#include <map>

#include "Tv/client/teamtable.h"
#include "Tv/console/console_hooks.h"
#include "Tv/frontend/levelnames.h"
#include "Tv/frontend/missionlist.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/command_scripts.h"
#include "Tv/server/damage_rules.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/level_description.h"
#include "Tv/server/message_queue.h"
#include "Tv/server/message_types.h"
#include "Tv/server/respawn.h"
#include "Tv/server/server.h"
#include "Tv/server/server_hooks.h"
#include "Tv/server/server_state.h"
#include "Tv/server/win_rules.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "core/clock.h"
#include "core/mem.h"
#include "core/stringtable.h"
#include "tests/tv/server_fixture.h"

namespace {

using ServerRulesTest = ServerTest;

// Replaces the program's string table for the life of the object.
class ScopedStrings {
public:
    explicit ScopedStrings(const std::map<uint32_t, const char*>& texts) : saved_(ResourceStrings) {
        const uint32_t first = texts.begin()->first, last = texts.rbegin()->first;
        StringTable table;
        table.count = last - first + 1;
        table.entries = static_cast<StringTableEntry*>(MemAlloc(table.count * sizeof(StringTableEntry)));
        for (uint32_t i = 0; i < table.count; ++i) {
            const auto it = texts.find(first + i);
            table.entries[i] = {first + i, it == texts.end() ? nullptr : TextCopy(it->second)};
        }
        ResourceStrings = table;
    }
    ~ScopedStrings() {
        StringTableFree(ResourceStrings);
        ResourceStrings = saved_;
    }

private:
    StringTable saved_;
};

void PlaceInCampaign(int32_t position) {
    for (int32_t i = 0; i <= position; ++i) {
        const std::string level = "level" + std::to_string(i) + ".tvs";
        TvAddMission("mission", level.c_str(), "level.tcs");
    }
    TvSetLevelScriptName(("LEVEL" + std::to_string(position) + ".TVS").c_str());
}

TEST_F(ServerRulesTest, DamageScaling) {
    DamageMultiplierPlayer = 0.5f;
    DamageMultiplierComputer = 2.0f;
    EXPECT_EQ(TvScaleDamage(true, 0.0f, 1, 0.5f, 3), 0.0f);
    EXPECT_EQ(TvScaleDamage(false, -4.0f, 1, 0.5f, 3), -4.0f) << "no damage is never scaled";
    EXPECT_EQ(TvScaleDamage(true, 10.0f, 0, 0.5f, 3), 5.0f);
    EXPECT_EQ(TvScaleDamage(false, 10.0f, 0, 0.5f, 3), 20.0f);
    struct Case {
        int32_t kind, targetClass;
        bool resisted;
    };
    const Case cases[] = {
        {3, 8, true},   {3, 1, true},   {3, 2, false},  {4, 2, true},    {4, 8, true},   {5, 2, true},  {5, 8, false},
        {33, 4, true},  {9, 5, true},   {11, 7, true},  {11, 8, true},   {12, 6, true},  {31, 6, true}, {13, 1, false},
        {13, 8, false}, {15, 4, false}, {34, 4, false}, {100, 8, false}, {-1, 1, false}, {0, 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TvScaleDamage(false, 10.0f, c.targetClass, 0.75f, c.kind),
                  c.resisted ? 20.0f * (1.0f - 0.75f) : 20.0f)
            << "kind " << c.kind << " against class " << c.targetClass;
}

TEST_F(ServerRulesTest, DifficultyAndTheLevelsPlaceInTheCampaign) {
    GameOptions.Difficulty = 2;
    TvApplyDifficulty();
    EXPECT_EQ(DamageMultiplierPlayer, 0.8f) << "not in the mission list: no scaling";
    EXPECT_EQ(DamageMultiplierComputer, 0.85f);

    PlaceInCampaign(9);
    TvApplyDifficulty();
    EXPECT_EQ(DamageMultiplierComputer, 0.85f * 0.7142857f);
    EXPECT_EQ(DamageMultiplierPlayer, 0.8f + 4 * 0.02f);

    struct Case {
        int32_t position, difficulty;
        float player, computer;
    };
    const Case cases[] = {
        {5, 0, 0.4f, 0.85f},
        {6, 1, 0.4f + 1 * 0.05f, 0.85f * 0.8333333f},
        {8, 3, 1.0f + 3 * 0.02f, 0.85f * 0.7692308f},
        {14, 0, 0.4f + 9 * 0.05f, 0.85f * 0.6666667f},
    };
    for (const Case& c : cases) {
        TvClearMissionList();
        PlaceInCampaign(c.position);
        GameOptions.Difficulty = c.difficulty;
        TvApplyDifficulty();
        EXPECT_EQ(DamageMultiplierPlayer, c.player) << "position " << c.position;
        EXPECT_EQ(DamageMultiplierComputer, c.computer) << "position " << c.position;
    }
    GameOptions.Difficulty = 77; // from a damaged saved game
    TvApplyDifficulty();
    EXPECT_EQ(DamageMultiplierPlayer, 1.0f + 9 * 0.02f);
}

TEST(ServerGameOptions, DefaultsRoundTripToTheSame152Bytes) {
    const GameOptionsRecord defaults;
    ByteWriter out;
    WriteGameOptions(out, defaults);
    ASSERT_EQ(out.size(), kGameOptionsSize);
    const std::vector<uint8_t>& bytes = out.bytes();
    EXPECT_EQ(bytes[18], 1);             // echo on
    EXPECT_EQ(bytes[25], 1);             // overhead view
    EXPECT_EQ(MessageInt(bytes, 28), 5); // console popup lines
    EXPECT_EQ(MessageInt(bytes, 56), 1);
    EXPECT_EQ(MessageInt(bytes, 60), 1); // medium
    EXPECT_EQ(MessageInt(bytes, 64), 0); // sun colour: packed value unset
    EXPECT_EQ(MessageFloat(bytes, 68), 0.3f);
    EXPECT_EQ(MessageFloat(bytes, 76), 0.275f);
    EXPECT_EQ(MessageInt(bytes, 84), 2); // floats valid
    EXPECT_EQ(MessageFloat(bytes, 92), -0.3937004f);
    EXPECT_EQ(MessageFloat(bytes, 100), 150.0f);
    EXPECT_EQ(MessageInt(bytes, 104), 1);  // leave the level
    EXPECT_EQ(MessageInt(bytes, 140), -1); // no training area
    EXPECT_EQ(MessageFloat(bytes, 144), 100.0f);
    for (size_t unset : {19, 26, 27, 148, 149, 150, 151}) EXPECT_EQ(bytes[unset], 0) << unset;

    ByteReader in(bytes.data(), bytes.size());
    GameOptionsRecord read;
    read.Difficulty = 3;
    ASSERT_TRUE(ReadGameOptions(in, read));
    ByteWriter again;
    WriteGameOptions(again, read);
    EXPECT_EQ(again.bytes(), bytes);
}

TEST(ServerGameOptions, EveryFieldLivesAtItsOffsetAndAShortRecordIsRefused) {
    GameOptionsRecord options;
    options.WaitState[17] = 9;
    options.LowDetailShapes = 21;
    options.ControlsDisabled = 1;
    options.LevelShadowsOn = 45;
    options.Difficulty = 3;
    options.LevelStatus = 3;
    options.SessionOption = 109;
    options.MissionStats[kStatTotalLosses] = 137;
    options.TrainingArea = 4;
    ByteWriter out;
    WriteGameOptions(out, options);
    const std::vector<uint8_t>& bytes = out.bytes();
    EXPECT_EQ(bytes[17], 9);
    EXPECT_EQ(MessageInt(bytes, 20), 21);
    EXPECT_EQ(bytes[24], 1);
    EXPECT_EQ(MessageInt(bytes, 44), 45);
    EXPECT_EQ(MessageInt(bytes, 60), 3);
    EXPECT_EQ(MessageInt(bytes, 104), 3);
    EXPECT_EQ(MessageInt(bytes, 108), 109);
    EXPECT_EQ(MessageInt(bytes, 136), 137);
    EXPECT_EQ(MessageInt(bytes, 140), 4);

    ByteReader shortIn(bytes.data(), bytes.size() - 1);
    GameOptionsRecord untouched;
    EXPECT_FALSE(ReadGameOptions(shortIn, untouched));
    EXPECT_EQ(untouched.Difficulty, 1);
}

TEST(ServerGameOptions, MissionStatsReset) {
    GameOptionsRecord saved = GameOptions;
    for (int32_t i = 0; i < kMissionStatCount; ++i) GameOptions.MissionStats[i] = i + 1;
    TvResetMissionStats(false);
    EXPECT_EQ(GameOptions.MissionStats[kStatLevelLosses], 0);
    EXPECT_EQ(GameOptions.MissionStats[kStatTotalLosses], 7);
    TvResetMissionStats(true);
    for (int32_t stat : GameOptions.MissionStats) EXPECT_EQ(stat, 0);
    GameOptions = saved;
}

class ServerWinTest : public ServerTest {
protected:
    // Two players: teams 1 and 3 are player teams of a four-team game.
    void StartMatch(GameType type) {
        CurrentGameType = type;
        MakeSession(2);
        SessionTeamCount = 4;
        TeamTable::Reset();
        StartServer(session);
        TvLockServer();
    }
    void TearDown() override {
        while (TvGetServerLockCount() > 0) TvUnlockServer();
        ServerTest::TearDown();
    }
    std::vector<uint8_t> Winners() {
        const std::vector<RecordedMessage> sent = recorder.Sent(MSG_WINNERS);
        if (sent.empty() || sent.back().bytes.size() != 4 + kWinnerTeams) return {};
        return std::vector<uint8_t>(sent.back().bytes.begin() + 4, sent.back().bytes.end());
    }
};

TEST_F(ServerWinTest, AllScoresZeroAtTheTimeLimitMakeEveryPlayerTeamWin) {
    StartMatch(kGamePresident);
    TvEndMatchByScore();
    EXPECT_TRUE(MatchDecided);
    EXPECT_EQ(Winners(), (std::vector<uint8_t>{0, 1, 0, 1, 0, 0}));
    // 156 goes first, then the game stops (a slow-down to 0 in multiplayer).
    const std::vector<RecordedMessage> messages = recorder.Messages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[messages.size() - 2].type, MSG_WINNERS);
    EXPECT_EQ(messages.back().type, MSG_PAUSE);
    EXPECT_EQ(MessageFloat(messages.back().bytes, 4), 0.0f);
}

TEST_F(ServerWinTest, TheHighestScoreWinsAtTheTimeLimit) {
    StartMatch(kGameLeadKills);
    TeamTable::GetTeam(3)->TeamScore = 2;
    TvEndMatchByScore();
    EXPECT_EQ(Winners(), (std::vector<uint8_t>{0, 0, 0, 1, 0, 0}));
}

TEST_F(ServerWinTest, TheScoreLimitEndsTheMatchUnlessItIsZero) {
    StartMatch(kGameCaptureTheFlag);
    ScoreLimit = 3;
    TeamTable::GetTeam(3)->TeamScore = 2;
    EXPECT_FALSE(TvCheckWinConditions());
    TeamTable::GetTeam(3)->TeamScore = 3;
    TeamTable::GetTeam(1)->TeamScore = 5;
    EXPECT_TRUE(TvCheckWinConditions());
    EXPECT_EQ(Winners(), (std::vector<uint8_t>{0, 1, 0, 0, 0, 0})) << "the first team in index order";
    ScoreLimit = 0;
    EXPECT_FALSE(TvCheckWinConditions());
}

TEST_F(ServerWinTest, TheLastLeadStandingWins) {
    StartMatch(kGameLastLeadStanding);
    ObjectDefinition* tavrin = MakeDefinition("tavrin", 1);
    ObjectDefinition* doriz = MakeDefinition("DORIZ", 1);
    ObjectDefinition* crate = MakeDefinition("crate", 1);
    TvCreateServerActor(1, tavrin, {0, 0, 0}, {0, 0, 0, 1});
    const int32_t other = TvCreateServerActor(3, doriz, {0, 0, 0}, {0, 0, 0, 1});
    TvCreateServerActor(3, crate, {0, 0, 0}, {0, 0, 0, 1});
    EXPECT_FALSE(TvCheckWinConditions());
    TvFindActor(other)->Remove(true);
    EXPECT_TRUE(TvCheckWinConditions());
    EXPECT_EQ(Winners(), (std::vector<uint8_t>{0, 1, 0, 0, 0, 0}));
}

TEST_F(ServerWinTest, StoryAndCooperativeGamesHaveNoWinCheck) {
    StartMatch(kGameCooperative);
    TeamTable::GetTeam(1)->TeamScore = 100;
    EXPECT_FALSE(TvCheckWinConditions());
    EXPECT_EQ(recorder.CountSent(MSG_WINNERS), 0);
}

TEST_F(ServerWinTest, TheServerChecksAfterSevenHundredAndFiftyPasses) {
    StartMatch(kGamePresident);
    ScoreLimit = 1;
    TeamTable::GetTeam(3)->TeamScore = 1;
    TvUnlockServer();
    TvStartSimulation();
    RunPasses(740);
    EXPECT_EQ(recorder.CountSent(MSG_WINNERS), 0);
    RunPasses(20);
    EXPECT_EQ(recorder.CountSent(MSG_WINNERS), 1);
    EXPECT_TRUE(MatchDecided);
    RunPasses(20);
    EXPECT_EQ(recorder.CountSent(MSG_WINNERS), 1);
}

TEST_F(ServerRulesTest, LevelDescriptions) {
    const ScopedStrings strings({{3268, "First line\n\nSecond line\r\nThird"},
                                 {3269, "\n\n"},
                                 {3298, "Mission briefing"},
                                 {3299, "No description."}});
    EXPECT_EQ(TvGetLevelIndex(), -1);
    EXPECT_EQ(TvGetLevelDescriptionLineCount(), -1);
    EXPECT_TRUE(TvGetLevelDescriptionText().IsNone());

    PlaceInCampaign(0);
    EXPECT_EQ(TvGetLevelIndex(), 0);
    EXPECT_EQ(TvGetLevelDescriptionLineCount(), 3);
    EXPECT_STREQ(TvGetLevelDescriptionLine(1).Get(), "Second line");
    EXPECT_STREQ(TvGetLevelDescriptionLine(2).Get(), "Third");
    EXPECT_TRUE(TvGetLevelDescriptionLine(3).IsNone());
    EXPECT_STREQ(TvGetLevelDescriptionText().Get(), "Mission briefing\nFirst line\n\nSecond line\r\nThird");

    TvClearMissionList();
    PlaceInCampaign(1);
    EXPECT_EQ(TvGetLevelDescriptionLineCount(), 0);
    EXPECT_TRUE(TvGetLevelDescriptionLine(0).IsNone());
    EXPECT_STREQ(TvGetLevelDescriptionText().Get(), "Mission briefing\nNo description.");
}

std::vector<std::string> printed;
std::vector<std::string> batched;

class ServerScriptTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        printed.clear();
        batched.clear();
        ConsoleHooks hooks;
        hooks.print = [](const char* text) { printed.emplace_back(text); };
        hooks.batchLoadFile = [](const char* name) {
            batched.emplace_back(name);
            return true;
        };
        SetConsoleHooks(hooks);
    }
    void TearDown() override {
        SetConsoleHooks(ConsoleHooks{});
        ServerTest::TearDown();
    }
};

TEST_F(ServerScriptTest, AScriptRunsOnceOnTheHostAndIsAnnouncedToTheClients) {
    StartServer();
    TvLockServer();
    TvRunCommandScript("trigger.tcs");
    TvUnlockServer();
    const std::vector<RecordedMessage> runs = recorder.Sent(MSG_RUN_SCRIPT);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].bytes.size(), 4u + 11u + 1u);
    TvRunQueuedScript();
    TvRunQueuedScript();
    EXPECT_EQ(batched, std::vector<std::string>{"trigger.tcs"});
}

TEST_F(ServerScriptTest, RespawningKnownAndUnknownCharacters) {
    const ScopedStrings strings({{11021, "Unknown definition."}});
    MakeDefinition("MPLAY_LOB", 1, false, false, true);
    CurrentGameType = kGameCaptureTheFlag;
    static bool ranOnServerThread = false;
    ServerHooks hooks;
    hooks.evaluateTriggers = [] {
        if (ranOnServerThread) return;
        ranOnServerThread = true;
        TvRespawnCharacter("nobody", 3, {0, 0, 0}, {0, 0, 0, 1});
        TvRespawnCharacter("mplay_lob", 3, {4, 0, 4}, {0, 0, 0, 1});
    };
    SetServerHooks(hooks);
    StartServer();
    TvStartSimulation();
    RunPasses(4);
    EXPECT_TRUE(printed.empty()) << "the server thread does not print itself";
    ASSERT_EQ(RespawnIdList.Count(), 1);
    const ServerObject* respawned = TvFindActor(RespawnIdList.Front());
    ASSERT_NE(respawned, nullptr);
    EXPECT_EQ(respawned->Team, 3);
    EXPECT_EQ(recorder.CountSent(MSG_CREATE_OBJECT), 1);
    TvRunQueuedScript();
    EXPECT_EQ(printed, std::vector<std::string>{"Unknown definition."});
    EXPECT_EQ(batched, std::vector<std::string>{"CTFRespawn.tcs"});
    ranOnServerThread = false;
}

} // namespace
