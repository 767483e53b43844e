// Session, lobby and text messages on the client. A driven server runs only
// in the host cases (no server thread).

#include <gtest/gtest.h>

#include <cstring>

#include "Tv/client/teamhooks.h"
#include "Tv/client/teamtable.h"
#include "Tv/frontend/levelnames.h"
#include "Tv/server/client_link.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/lobby_state.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/server.h"
#include "Tv/server/server_message_dispatch.h"
#include "Tv/server/session_players.h"
#include "Tv/server/shell_state.h"
#include "core/stringtable.h"
#include "tests/tv/client_dispatch_fixture.h"

namespace {

ByteWriter StartRecord(int32_t type, int32_t gameType, int32_t localTeam, const char* level = "next.tvs",
                       const char* commands = "next.tcs") {
    ByteWriter w = Record(type, {gameType, 4, localTeam});
    w.Bytes(level, std::strlen(level) + 1);
    w.Bytes(commands, std::strlen(commands) + 1);
    return w;
}

ByteWriter PlayerTableRecord(int32_t ownIndex, const char* secondName = "Second") {
    ByteWriter w = Record(200, {11, 12, 13, 14, 1001, 1002, 0, 0});
    const char* names[4] = {"Host", secondName, "", ""};
    for (const char* name : names) {
        char field[32] = {};
        std::strncpy(field, name, sizeof field);
        w.Bytes(field, sizeof field);
    }
    w.I32(ownIndex);
    return w;
}

ByteWriter LobbySetupRecord(int32_t gameType, const uint8_t (&ready)[4], const char* text) {
    ByteWriter w = Record(143, {1, 2, 3, 4, 5, 6});
    for (int32_t i = 0; i < 20; ++i) w.I32(100 + i);
    w.I32(108);
    w.I32(15); // MultiplayerSettingA
    w.I32(gameType);
    w.I32(77); // LobbySessionValue
    w.Bytes(ready, 4);
    char field[64];
    std::memset(field, 'x', sizeof field);
    if (text) std::strncpy(field, text, sizeof field);
    w.Bytes(field, sizeof field);
    return w;
}

class ClientDispatchSessionTest : public ClientDispatchTest {
protected:
    void SetUp() override {
        ClientDispatchTest::SetUp();
        TvSetLevelScriptName("old.tvs");
        TvSetCommandScriptName("old.tcs");
        GameOptions.LevelStatus = kLevelRunning;
    }
    void TearDown() override {
        TvSetLevelScriptName("");
        TvSetCommandScriptName("");
        ClientDispatchTest::TearDown();
    }
};

} // namespace

TEST_F(ClientDispatchSessionTest, StartMessagesFollowTheGameStateAndTheHost) {
    struct Case {
        int32_t type;
        int32_t state;
        bool host;
        bool applied;
        int32_t levelStatus;
        bool panelsReleased;
        uint8_t startGame;
    } const cases[] = {
        {0, kGameStatePlay, false, true, 2, true, 0},      // a new level while playing
        {0, kGameStateFrontEnd, false, true, 0, false, 1}, // the lobby launches the game
        {0, kGameStateFrontEnd, true, true, 0, false, 1},  // on the host too
        {0, kGameStatePlay, true, false, 0, false, 0},     // the host's own level flow ends the level
        {1, kGameStatePlay, false, true, 3, false, 0},     // level over
        {1, kGameStatePlay, true, true, 3, false, 0},      // on the host as well, under the lock
        {1, kGameStateFrontEnd, false, false, 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " state " << c.state << " host " << c.host);
        if (c.host) StartServer();
        CurrentGameState = c.state;
        TvSetLevelScriptName("old.tvs");
        GameOptions.LevelStatus = kLevelRunning;
        ClientLobby.StartGame = 0;
        ClientLobby.LocalReady = 1;
        TeamTable::GetTeam(1)->TeamScore = 5;
        seen.calls.clear();

        Dispatch(StartRecord(c.type, kGameCaptureTheFlag, 4));

        EXPECT_STREQ(TvGetLevelScriptName(), c.applied ? "next.tvs" : "old.tvs");
        EXPECT_EQ(LocalTeam, c.applied ? 4 : 1);
        EXPECT_EQ(CurrentGameType, c.applied ? kGameCaptureTheFlag : kGameStory);
        EXPECT_EQ(TeamTable::GetTeam(1)->TeamScore, c.applied ? 0 : 5);
        EXPECT_EQ(GameOptions.LevelStatus, c.levelStatus);
        EXPECT_EQ(seen.calls.size(), c.panelsReleased ? 1u : 0u);
        EXPECT_EQ(ClientLobby.StartGame, c.startGame);
        EXPECT_EQ(ClientLobby.LocalReady, c.startGame ? 0 : 1);
        EXPECT_EQ(TvGetServerLockCount(), 0);
        if (c.applied) EXPECT_STREQ(TvGetCommandScriptName(), "next.tcs");
        TvStopServer();
        LocalTeam = 1;
        CurrentGameType = kGameStory;
        TeamTable::Reset();
    }
    EXPECT_TRUE(drops.reasons.empty());
}

TEST_F(ClientDispatchSessionTest, StartMessagesWithValuesOutOfRangeAreDropped) {
    TeamTable::GetTeam(1)->TeamScore = 5;
    ExpectDropped(StartRecord(0, 6, 1)); // game type
    ExpectDropped(StartRecord(0, -1, 1));
    ExpectDropped(StartRecord(1, 1, 2)); // the computer's team is not a player slot
    ExpectDropped(StartRecord(0, 1, 6));
    ByteWriter unterminated = Record(0, {1, 4, 1});
    unterminated.Bytes("next.tvs", 9);
    unterminated.Bytes("next.tcs", 8);
    ExpectDropped(unterminated);
    EXPECT_STREQ(TvGetLevelScriptName(), "old.tvs");
    EXPECT_EQ(TeamTable::GetTeam(1)->TeamScore, 5);
    EXPECT_EQ(GameOptions.LevelStatus, kLevelRunning);
}

TEST_F(ClientDispatchSessionTest, PlayerTableSetsTheOwnIndexAndRebuildsTheSessionPlayers) {
    Dispatch(PlayerTableRecord(2));
    EXPECT_EQ(ClientLobby.OwnPlayerIndex, 2);
    EXPECT_EQ(ClientLobby.OwnPlayerValue, 12);
    EXPECT_EQ(PlayerTable[3], 14);
    ASSERT_EQ(SessionPlayerList.Count(), 2);
    EXPECT_STREQ(SessionPlayerList.Front()->Name.Get(), "Host");
    EXPECT_EQ(SessionPlayerList.Back()->Id, 1002u);

    for (int32_t own : {0, 5, -1}) ExpectDropped(PlayerTableRecord(own));
    ByteWriter longName = PlayerTableRecord(1, "0123456789012345678901234567890123456789");
    ExpectDropped(longName);
    EXPECT_EQ(ClientLobby.OwnPlayerIndex, 2);
    EXPECT_EQ(SessionPlayerList.Count(), 2);
}

TEST_F(ClientDispatchSessionTest, LobbySetupNeedsTheOwnIndexAndShowsItsTextOnce) {
    const uint8_t ready[4] = {1, 0, 1, 0};
    ExpectDropped(LobbySetupRecord(kGameCooperative, ready, "Welcome")); // before the player table

    Dispatch(PlayerTableRecord(3));
    Dispatch(LobbySetupRecord(kGameCooperative, ready, "Welcome"));
    EXPECT_EQ(LobbyRobotChoices[19], 119);
    EXPECT_EQ(ClientLobby.OwnChoices[0], 110); // player 3's five choices
    EXPECT_EQ(ClientLobby.LocalReady, 1);
    EXPECT_EQ(ClientLobby.SessionSetup[5], 6);
    EXPECT_EQ(ClientLobby.SetupValue, 108);
    EXPECT_EQ(CurrentGameType, kGameCooperative);
    EXPECT_EQ(MultiplayerSettingA, 15);
    EXPECT_EQ(LobbySessionValue, 77);
    EXPECT_EQ(seen.robotRefreshes.size(), 40u); // every choice, then all again for the new game type
    EXPECT_EQ(seen.lines, std::vector<std::string>{"Welcome"});

    // Later set-ups keep the first one's session values and do not print again.
    Dispatch(LobbySetupRecord(kGamePresident, ready, "Again"));
    EXPECT_EQ(CurrentGameType, kGameCooperative);
    EXPECT_EQ(seen.lines.size(), 1u);

    ExpectDropped(LobbySetupRecord(kGameCooperative, ready, nullptr)); // text fills its field
    ExpectDropped(LobbySetupRecord(9, ready, "Bad type"));
}

TEST_F(ClientDispatchSessionTest, EndOfGameOpensTheMenuAndAllowsTheLobbyTextAgain) {
    LobbyTextShown = 1;
    InterfacePendingCommand = 3;
    Dispatch(Record(135));
    EXPECT_EQ(LobbyTextShown, 0);
    EXPECT_EQ(InterfacePendingCommand, 0);
    EXPECT_EQ(seen.calls, std::vector<std::string>{"openNetworkGameMenu"});
}

TEST_F(ClientDispatchSessionTest, LobbySettingsTakeTheReadyByteOfTheOwnIndex) {
    ByteWriter settings = Record(144, {1, 2, 2, 1, 0});
    settings.U8(9);
    settings.I32(kGameCooperative);
    const uint8_t ready[4] = {0, 1, 0, 0};
    settings.Bytes(ready, 4);
    settings.I32(31);
    settings.U8(1);
    ExpectDropped(settings); // own index unknown
    Dispatch(PlayerTableRecord(2));
    Dispatch(settings);
    EXPECT_EQ(CoopCharacterTable[2], 2);
    EXPECT_EQ(ClientLobby.LocalReady, 1);
    EXPECT_EQ(ClientLobby.SettingsByte, 9);
    EXPECT_EQ(UserMatchSettings.FriendlyFire, 1);
    EXPECT_EQ(GameOptions.Difficulty, 3);
    EXPECT_EQ(seen.robotRefreshes.size(), 40u); // entries 2 and 3 changed
}

TEST_F(ClientDispatchSessionTest, ChatTextMustEndWithinItsField) {
    ByteWriter chat = Record(141);
    char field[255] = "hello";
    chat.Bytes(field, sizeof field);
    Dispatch(chat);
    EXPECT_EQ(seen.lines, std::vector<std::string>{"hello"});

    ByteWriter full = Record(141);
    std::memset(field, 'a', sizeof field);
    full.Bytes(field, sizeof field);
    ExpectDropped(full);
}

TEST_F(ClientDispatchSessionTest, SessionSettingsApplyOnClientsAndAlwaysMarkTheBriefing) {
    ByteWriter settings = Record(162);
    settings.U8(4);
    settings.U8(1);
    settings.U8(1);
    for (int32_t i = 0; i < 7; ++i) settings.I32(10 + i);
    EXPECT_TRUE(TvApplySessionSettings(settings.bytes().data(), settings.size()));
    EXPECT_EQ(GameOptions.SessionOption, 4);
    EXPECT_EQ(UserMatchSettings.RuleFlagB, 1);
    EXPECT_EQ(GameOptions.MissionStats[6], 16);
    EXPECT_EQ(ClientLobby.SettingsReceived, 1);

    // Through the play dispatcher 162 is ignored; a misfit is refused by the briefing's call.
    GameOptions.SessionOption = 0;
    Dispatch(settings);
    EXPECT_EQ(GameOptions.SessionOption, 0);
    ClientLobby.SettingsReceived = 0;
    EXPECT_FALSE(TvApplySessionSettings(settings.bytes().data(), settings.size() - 1));
    EXPECT_EQ(ClientLobby.SettingsReceived, 0);

    // On the host the server's own values stay.
    StartServer();
    EXPECT_TRUE(TvApplySessionSettings(settings.bytes().data(), settings.size()));
    EXPECT_EQ(GameOptions.SessionOption, 0);
    EXPECT_EQ(ClientLobby.SettingsReceived, 1);
}

// The server thread reads the team table: a host rebuilds it under the server lock.
TEST_F(ClientDispatchSessionTest, AHostRebuildsTheTeamTableUnderTheServerLock) {
    static int32_t lockCountAtReset;
    lockCountAtReset = -1;
    SetTeamGameQuery([] {
        lockCountAtReset = TvGetServerLockCount();
        return TeamGameSettings{};
    });
    StartServer();
    Dispatch(StartRecord(1, kGameCooperative, 1));
    EXPECT_GT(lockCountAtReset, 0);
    EXPECT_EQ(TvGetServerLockCount(), 0);
    EXPECT_EQ(GameOptions.LevelStatus, kLevelOver);
}

TEST_F(ClientDispatchSessionTest, PlayerNoticesPrintTheirStringsWhenTheyExist) {
    char own[] = "You left the game", someone[] = "A player left the game";
    StringTableEntry entries[12] = {};
    for (uint32_t i = 0; i < 12; ++i) entries[i].id = 1430 + i;
    entries[0].text = own;
    entries[11].text = someone;
    const StringTable saved = ResourceStrings;
    ResourceStrings = StringTable{entries, 12};

    Dispatch(Record(201, {0})); // the own index is not known yet
    Dispatch(PlayerTableRecord(2));
    Dispatch(Record(201, {2}));
    Dispatch(Record(201, {-1}));
    Dispatch(Record(201, {3}));
    ByteWriter notice = Record(160);
    notice.U16(1441);
    Dispatch(notice);
    ByteWriter missing = Record(160);
    missing.U16(1431);
    Dispatch(missing);
    ResourceStrings = saved;
    EXPECT_EQ(seen.lines, (std::vector<std::string>{own, someone, someone}));
}
