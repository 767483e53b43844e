#include "Tv/server/handshake_messages.h"

#include "Tv/server/game_options.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server_state.h"
#include "core/bytes.h"

namespace {

SessionPlayer* ServerPlayerWithId(plat::DpId id) {
    for (SessionPlayer* player : ServerPlayerList)
        if (player->Id == id) return player;
    return nullptr;
}

} // namespace

DrainStep HandleSpeedAcknowledgement(plat::DpId sender, const uint8_t* bytes, uint32_t size) {
    ByteReader reader(bytes, size);
    reader.Skip(4);
    if (reader.I32() != PauseSequence) return DrainStep::Continue;
    if (SessionPlayer* player = ServerPlayerWithId(sender)) player->Acknowledged = 1;
    return DrainStep::Continue;
}

DrainStep HandleReady(plat::DpId sender, const uint8_t*, uint32_t) {
    if (!ServerPlayerListBuilt) return DrainStep::Continue;
    SessionPlayer* player = ServerPlayerWithId(sender);
    if (!player) return DrainStep::Continue;
    player->Ready = 1;
    MatchDecided = false;
    ServerPass.passCounter = 0;
    return DrainStep::Continue;
}

DrainStep HandleWaitingForGo(plat::DpId sender, const uint8_t*, uint32_t) {
    if (!ServerDirectPlay) return DrainStep::Continue;
    ByteWriter go;
    go.I32(MSG_GO);
    TvSendToId(sender, go, true);
    return DrainStep::Continue;
}

DrainStep HandleSettingsRequest(plat::DpId, const uint8_t*, uint32_t) {
    ByteWriter reply;
    reply.I32(MSG_SETTINGS_AND_STATS);
    reply.U8(GameOptions.SessionOption != 0);
    reply.U8(UserMatchSettings.FriendlyFire != 0);
    reply.U8(UserMatchSettings.RuleFlagB != 0);
    for (int32_t stat : GameOptions.MissionStats) reply.I32(stat);
    TvBroadcast(reply, false);
    return DrainStep::End;
}
