#include "Tv/server/session_start.h"

#include <algorithm>
#include <cstring>

#include "Awapi/aw3d/aw_hooks.h"
#include "Tv/frontend/levelnames.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/lobby_state.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server.h"
#include "Tv/server/server_state.h"

namespace {

constexpr uint32_t kPlayerNameBytes = 32;
constexpr uint32_t kLobbyTextBytes = 64;

bool Reported(plat::HResult result) {
    if (result >= 0) return true;
    AwReportError(result);
    return false;
}

bool IsMultiplayerType(int32_t gameType) { return gameType >= kGameCooperative && gameType <= kGameCaptureTheFlag; }

// A text in a fixed field: at most size - 1 characters, then zeros.
void WriteFixedText(ByteWriter& out, const char* text, uint32_t size) {
    const size_t length = text ? std::min<size_t>(std::strlen(text), size - 1) : 0;
    out.Bytes(text, length);
    out.Zeros(size - length);
}

void WriteText(ByteWriter& out, const char* text) { out.Bytes(text, std::strlen(text) + 1); }

bool MarkSessionClosed() {
    uint32_t size = 0;
    plat::HResult result = ServerDirectPlay->GetSessionDesc(nullptr, &size);
    if (result != plat::kDpErrBufferTooSmall && !Reported(result)) return false;
    plat::DpSessionDesc desc;
    size = std::max(size, plat::kDpSessionDescSize);
    if (!Reported(ServerDirectPlay->GetSessionDesc(&desc, &size))) return false;
    desc.flags |= plat::kDpSessionNewPlayersDisabled | plat::kDpSessionJoinDisabled;
    return Reported(ServerDirectPlay->SetSessionDesc(desc));
}

} // namespace

bool TvCloseSessionToJoins() {
    if (!ServerDirectPlay) return true;
    if (!MarkSessionClosed()) return false;
    ServerLockHold hold;
    FreeSessionPlayers(ServerPlayerList);
    bool added = true;
    const plat::HResult result = ServerDirectPlay->EnumPlayers(
        nullptr,
        [&added](plat::DpId id, uint32_t, const plat::DpName& name, uint32_t flags) {
            if (flags & plat::kDpEnumPlayersServerPlayer) return true;
            auto* player = new SessionPlayer(id, name.shortName);
            player->Acknowledged = 1;
            ServerPlayerList.PushBack(player);
            added = Reported(ServerDirectPlay->AddPlayerToGroup(AllPlayersGroup, id)) && added;
            return true;
        },
        0);
    ServerPlayerListBuilt = Reported(result) && added;
    return ServerPlayerListBuilt;
}

bool TvSendStartGame() {
    if (!ServerDirectPlay) return true;
    const int32_t gameType = CurrentGameType;
    SessionTeamCount = IsMultiplayerType(gameType) ? ServerPlayerList.Count() + 2 : 3;
    int32_t index = 0;
    for (const SessionPlayer* player : ServerPlayerList) {
        ByteWriter message;
        message.I32(GameOptions.LevelStatus == kLevelOver ? MSG_START_GAME_LEVEL_OVER : MSG_START_GAME);
        message.I32(gameType);
        message.I32(SessionTeamCount);
        message.I32(IsMultiplayerType(gameType) ? PlayerSlotOfIndex(index) : 1);
        WriteText(message, TvGetLevelScriptName());
        WriteText(message, TvGetCommandScriptName());
        if (!TvSendToId(player->Id, message, true)) return false;
        ++index;
    }
    return true;
}

bool TvSendPlayerTable(const int32_t (&values)[4]) {
    const auto count = static_cast<int32_t>(TvGetPlayerCount());
    bool sent = true;
    for (int32_t a = 0; a < count; ++a) {
        ByteWriter message;
        message.I32(MSG_PLAYER_TABLE);
        for (int32_t v : values) message.I32(v);
        for (int32_t i = 0; i < kMaxSessionPlayers; ++i) message.U32(TvGetPlayer(i) ? TvGetPlayer(i)->Id : 0);
        for (int32_t i = 0; i < kMaxSessionPlayers; ++i)
            WriteFixedText(message, TvGetPlayer(i) ? TvGetPlayer(i)->Name.Get() : nullptr, kPlayerNameBytes);
        message.I32(a + 1);
        sent = TvSendToId(TvGetPlayer(count - 1 - a)->Id, message, false) && sent;
    }
    return sent;
}

bool TvSendLobbySetup(const int32_t (&six)[6], const int32_t (&twenty)[20], int32_t value, const char* text) {
    ByteWriter message;
    message.I32(MSG_LOBBY_SETUP);
    for (int32_t v : six) message.I32(v);
    for (int32_t v : twenty) message.I32(v);
    message.I32(value);
    message.I32(MultiplayerSettingA);
    message.I32(CurrentGameType);
    message.I32(LobbySessionValue);
    for (const auto& ready : LobbyReadyFlags) message.U8(ready);
    WriteFixedText(message, text, kLobbyTextBytes);
    return TvSendToAll(message, false);
}

bool TvSendLobbySettings(const int32_t (&five)[5]) {
    ByteWriter message;
    message.I32(MSG_LOBBY_SETTINGS);
    for (int32_t v : five) message.I32(v);
    message.Zeros(1);
    message.I32(CurrentGameType);
    for (const auto& ready : LobbyReadyFlags) message.U8(ready);
    message.I32(LobbySessionValue);
    message.U8(UserMatchSettings.FriendlyFire != 0);
    return TvSendToAll(message, false);
}

bool TvSendLobbyChat() {
    char text[kLobbyChatTextSize];
    TvGetLobbyChatText(text);
    ByteWriter message;
    message.I32(MSG_CHAT_TEXT);
    WriteFixedText(message, text, kChatTextField);
    return TvSendToAll(message, true);
}

bool TvSendPlayerLeft(int32_t position) {
    if (position == -1 && TvGetPlayerCount() == 0) return true;
    ByteWriter message;
    message.I32(MSG_PLAYER_LEFT);
    message.I32(position);
    return TvSendToAll(message, true);
}

bool TvDestroyPlayer(plat::DpId id) { return ServerDirectPlay && Reported(ServerDirectPlay->DestroyPlayer(id)); }
