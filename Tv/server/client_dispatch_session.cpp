// Session, level flow, lobby and text messages.

#include "Tv/server/client_dispatch_session.h"

#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "Tv/client/client_sounds.h"
#include "Tv/client/teamtable.h"
#include "Tv/console/console_hooks.h"
#include "Tv/frontend/levelnames.h"
#include "Tv/server/client_link.h"
#include "Tv/server/client_service_hooks.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/lobby_state.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server.h"
#include "Tv/server/server_message_catalogue.h"
#include "Tv/server/server_message_fields.h"
#include "Tv/server/session_players.h"
#include "Tv/server/shell_state.h"
#include "core/clock.h"
#include "core/stringtable.h"

namespace {

constexpr int32_t kLevelFinished = 2;
constexpr uint32_t kOwnIndexLeftText = 1430;
constexpr uint32_t kSomeoneLeftText = 1441;
constexpr size_t kLobbyTextField = 64;
constexpr size_t kPlayerNameField = 32;

bool IsGameType(int32_t type) { return type >= kGameStory && type <= kGameCaptureTheFlag; }

bool IsPlayerSlot(int32_t team) { return team == 1 || team == 3 || team == 4 || team == 5; }

bool IsPlayerIndex(int32_t index) { return index >= 1 && index <= kMaxSessionPlayers; }

void RefreshAllMenuRobots() {
    for (int32_t choice = 1; choice <= 20; ++choice) TvUpdateMenuRobots(choice);
}

void PrintResourceString(uint32_t id) {
    const char* text = StringTableLookup(id);
    if (*text) TvConsolePrint(text);
}

struct StartRecord {
    int32_t gameType;
    int32_t playerCount;
    int32_t localTeam;
    std::string levelScript;
    std::string commandScript;
};

// The fields of 0 and 1, or a reason.
const char* ReadStart(const uint8_t* record, size_t size, StartRecord& start) {
    ByteReader in = RecordReader(record, size);
    start.gameType = in.I32();
    start.playerCount = in.I32();
    start.localTeam = in.I32();
    in.CString(start.levelScript);
    in.CString(start.commandScript);
    if (!in.ok()) return "unreadable start record";
    if (!IsGameType(start.gameType)) return "game type out of range";
    if (!IsPlayerSlot(start.localTeam)) return "local team is not a player slot";
    return nullptr;
}

// Names and values of a start record, and a fresh team table. On a host the
// server thread reads the team table, so this runs under the server lock.
void StoreStart(const StartRecord& start) {
    ServerLockHold hold;
    TvSetLevelScriptName(start.levelScript.c_str());
    TvSetCommandScriptName(start.commandScript.c_str());
    ClientLobby.StartPlayerCount = start.playerCount;
    LocalTeam = start.localTeam;
    CurrentGameType = start.gameType;
    TeamTable::Reset();
}

const char* HandleStartGame(const uint8_t* record, size_t size) {
    StartRecord start;
    if (const char* reason = ReadStart(record, size, start)) return reason;
    if (CurrentGameState == kGameStatePlay) {
        if (TvIsServerRunning()) return nullptr;
        StoreStart(start);
        GameOptions.LevelStatus = kLevelFinished;
        TvReleaseHudPanels();
        return nullptr;
    }
    StoreStart(start);
    ClientLobby.StartCounter = 0;
    ClientLobby.LocalReady = 0;
    ClientLobby.StartGame = 1;
    return nullptr;
}

const char* HandleStartGameLevelOver(const uint8_t* record, size_t size) {
    StartRecord start;
    if (const char* reason = ReadStart(record, size, start)) return reason;
    if (CurrentGameState != kGameStatePlay) return nullptr;
    StoreStart(start);
    GameOptions.LevelStatus = kLevelOver;
    return nullptr;
}

const char* HandleEndOfGame(const uint8_t*, size_t) {
    LobbyTextShown = 0;
    TvOpenNetworkGameMenu();
    InterfacePendingCommand = 0;
    return nullptr;
}

const char* HandleChatText(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    std::string text;
    if (!ReadFieldText(in, kChatTextField, text)) return "unterminated chat text";
    TvConsolePrint(text.c_str());
    return nullptr;
}

const char* HandleConsoleNotice(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    TvConsolePrint(StringTableLookup(in.U32()));
    return nullptr;
}

// The receiver's own 1-based player index, or a reason when it is unknown.
const char* OwnIndexReason() {
    return IsPlayerIndex(ClientLobby.OwnPlayerIndex) ? nullptr : "own player index unknown";
}

const char* HandleLobbySetup(const uint8_t* record, size_t size) {
    if (const char* reason = OwnIndexReason()) return reason;
    ByteReader in = RecordReader(record, size);
    int32_t setup[6];
    for (int32_t& v : setup) v = in.I32();
    int32_t choices[20];
    for (int32_t& v : choices) v = in.I32();
    const int32_t setupValue = in.I32();
    const int32_t settingA = in.I32();
    const int32_t gameType = in.I32();
    const int32_t sessionValue = in.I32();
    uint8_t ready[4];
    for (uint8_t& v : ready) v = in.U8();
    std::string text;
    if (!ReadFieldText(in, kLobbyTextField, text)) return "unterminated lobby text";
    if (!IsGameType(gameType)) return "game type out of range";

    const int32_t own = ClientLobby.OwnPlayerIndex - 1;
    for (int32_t i = 0; i < 20; ++i) {
        LobbyRobotChoices[i] = choices[i];
        TvUpdateMenuRobots(i + 1);
    }
    for (int32_t k = 0; k < 5; ++k) ClientLobby.OwnChoices[k] = choices[own * 5 + k];
    for (int32_t i = 0; i < 4; ++i) LobbyReadyFlags[i] = ready[i];
    MultiplayerSettingA = settingA;
    ClientLobby.LocalReady = ready[own];
    if (!ClientLobby.ReceivedSetup) {
        std::copy(std::begin(setup), std::end(setup), ClientLobby.SessionSetup);
        ClientLobby.SetupValue = setupValue;
        if (gameType != CurrentGameType) {
            CurrentGameType = gameType;
            RefreshAllMenuRobots();
        }
        ClientLobby.ReceivedSetup = 1;
    }
    LobbySessionValue = sessionValue;
    if (!LobbyTextShown) {
        TvConsolePrint(text.c_str());
        LobbyTextShown = 1;
    }
    return nullptr;
}

const char* HandleLobbySettings(const uint8_t* record, size_t size) {
    if (const char* reason = OwnIndexReason()) return reason;
    ByteReader in = RecordReader(record, size);
    int32_t coop[5];
    for (int32_t& v : coop) v = in.I32();
    const uint8_t settingsByte = in.U8();
    const int32_t gameType = in.I32();
    uint8_t ready[4];
    for (uint8_t& v : ready) v = in.U8();
    const int32_t sessionValue = in.I32();
    const uint8_t friendlyFire = in.U8();
    if (!IsGameType(gameType)) return "game type out of range";

    for (int32_t k = 0; k < 5; ++k) {
        if (CoopCharacterTable[k] == coop[k]) continue;
        CoopCharacterTable[k] = coop[k];
        RefreshAllMenuRobots();
    }
    for (int32_t i = 0; i < 4; ++i) LobbyReadyFlags[i] = ready[i];
    ClientLobby.SettingsByte = settingsByte;
    CurrentGameType = gameType;
    LobbySessionValue = sessionValue;
    UserMatchSettings.FriendlyFire = friendlyFire;
    ClientLobby.LocalReady = ready[ClientLobby.OwnPlayerIndex - 1];
    GameOptions.Difficulty = 3;
    ClientLobby.ReceivedSetup = 1;
    return nullptr;
}

const char* HandleLobbyChoices(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    for (auto& entry : CoopCharacterTable) entry = in.I32();
    return nullptr;
}

const char* HandlePlayerNotice(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    PrintResourceString(in.U16());
    return nullptr;
}

const char* HandlePlayerCue(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    TvPlaySound(in.U8(), "");
    return nullptr;
}

const char* HandlePlayerTable(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    int32_t values[4];
    for (int32_t& v : values) v = in.I32();
    uint32_t ids[4];
    for (uint32_t& v : ids) v = in.U32();
    std::string names[4];
    for (std::string& name : names)
        if (!ReadFieldText(in, kPlayerNameField, name)) return "unterminated player name";
    const int32_t own = in.I32();
    if (!IsPlayerIndex(own)) return "own player index out of range";

    ClientLobby.OwnPlayerValue = values[own - 1];
    ClientLobby.PlayerTableTime = RealClock.GetSeconds();
    std::copy(std::begin(values), std::end(values), PlayerTable);
    ClientLobby.OwnPlayerIndex = own;
    if (TvIsServerRunning()) return nullptr;
    std::vector<std::pair<plat::DpId, const char*>> players;
    for (int32_t i = 0; i < 4; ++i)
        if (ids[i] != 0) players.emplace_back(ids[i], names[i].c_str());
    TvSetSessionPlayers(players);
    return nullptr;
}

const char* HandlePlayerLeft(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    const int32_t index = in.I32();
    if (index == -1)
        PrintResourceString(kSomeoneLeftText);
    else if (IsPlayerIndex(index) && index == ClientLobby.OwnPlayerIndex)
        PrintResourceString(kOwnIndexLeftText);
    return nullptr;
}

} // namespace

void ApplySettingsAndStats(const uint8_t* record, size_t size) {
    if (!TvIsServerRunning()) {
        ByteReader in = RecordReader(record, size);
        GameOptions.SessionOption = in.U8();
        UserMatchSettings.FriendlyFire = in.U8();
        UserMatchSettings.RuleFlagB = in.U8();
        for (int32_t& stat : GameOptions.MissionStats) stat = in.I32();
    }
    ClientLobby.SettingsReceived = 1;
}

const ServerMessageRow kSessionMessageRows[] = {
    TextsRow(MSG_START_GAME, "MSG_START_GAME", 16, 2, HandleStartGame),
    TextsRow(MSG_START_GAME_LEVEL_OVER, "MSG_START_GAME_LEVEL_OVER", 16, 2, HandleStartGameLevelOver),
    ExactRow(MSG_END_OF_GAME, "MSG_END_OF_GAME", 4, HandleEndOfGame),
    ExactRow(MSG_CHAT_TEXT, "MSG_CHAT_TEXT", 4 + kChatTextField, HandleChatText),
    ExactRow(142, "MSG_CONSOLE_NOTICE", 8, HandleConsoleNotice),
    ExactRow(MSG_LOBBY_SETUP, "MSG_LOBBY_SETUP", 192, HandleLobbySetup),
    ExactRow(MSG_LOBBY_SETTINGS, "MSG_LOBBY_SETTINGS", 38, HandleLobbySettings),
    ExactRow(MSG_LOBBY_CHOICES, "MSG_LOBBY_CHOICES", 24, HandleLobbyChoices),
    ExactRow(MSG_PLAYER_NOTICE, "MSG_PLAYER_NOTICE", 6, HandlePlayerNotice),
    ExactRow(MSG_PLAYER_CUE, "MSG_PLAYER_CUE", 5, HandlePlayerCue),
    // Applied only by the briefing's poll (TvApplySessionSettings).
    ExactRow(MSG_SETTINGS_AND_STATS, "MSG_SETTINGS_AND_STATS", 35, nullptr),
    ExactRow(MSG_PLAYER_TABLE, "MSG_PLAYER_TABLE", 168, HandlePlayerTable),
    ExactRow(MSG_PLAYER_LEFT, "MSG_PLAYER_LEFT", 8, HandlePlayerLeft),
};
const size_t kSessionMessageRowCount = std::size(kSessionMessageRows);
