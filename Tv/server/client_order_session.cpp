// Chat, the lobby's choices and readiness, the disturbed background
// creature, the clock replies and the end of a cutscene.

#include <string>

#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/client_order_handlers.h"
#include "Tv/server/lobby_state.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server_hooks.h"
#include "Tv/server/server_state.h"
#include "Tv/server/shell_state.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "core/clock.h"

namespace {

constexpr int32_t kLobbyPlayers = 4;
constexpr int32_t kLobbyChoicesPerPlayer = 5;

} // namespace

DrainStep HandleChat(plat::DpId, const uint8_t* record, uint32_t size) {
    ClientRecordReader in(record, size);
    const std::string text(in.Text()); // terminated within its field: the row's check
    const bool frontEnd = CurrentGameState == kGameStateFrontEnd;
    if (!frontEnd && !SimulationRunning) return DrainStep::Continue;
    ByteWriter relay;
    relay.I32(MSG_CHAT_TEXT);
    relay.Bytes(text.data(), text.size());
    relay.Zeros(kChatTextField - text.size());
    if (frontEnd) {
        TvSetLobbyChatText(text.c_str());
        TvSendToAll(relay, true);
    } else {
        TvBroadcast(relay, true);
    }
    return DrainStep::Continue;
}

DrainStep HandleLobbyMessage(plat::DpId, const uint8_t* record, uint32_t size) {
    ClientRecordReader in(record, size);
    const int32_t type = in.Type();
    const int32_t player = in.I32();
    if (player < 1 || player > kLobbyPlayers) return DropClientRecord(record, size, "player out of range");
    switch (type) {
    case MSG_PLAYER_OPTION: {
        const int32_t slot = in.I32();
        if (slot < 0 || slot >= kLobbyChoicesPerPlayer) return DropClientRecord(record, size, "slot out of range");
        LobbyRobotChoices[(player - 1) * kLobbyChoicesPerPlayer + slot] = in.I32();
        break;
    }
    case MSG_CYCLE_LOBBY_CHOICE:
        if (auto cycle = InstalledServerHooks().cycleLobbyChoice) cycle(player - 1);
        break;
    case MSG_PLAYER_READY: LobbyReadyFlags[player - 1] = 1; break;
    case MSG_PLAYER_NOT_READY: LobbyReadyFlags[player - 1] = 0; break;
    default: break;
    }
    return DrainStep::Continue;
}

DrainStep HandleRemoveActor(plat::DpId, const uint8_t* record, uint32_t size) {
    ClientRecordReader in(record, size);
    ServerObject* actor = TvFindActor(in.I32());
    if (!actor) return DrainStep::Continue;
    // Clients report only their disturbed background creatures.
    if (!actor->IsBackgroundCreature()) return DropClientRecord(record, size, "not a background creature");
    actor->Remove(true);
    return DrainStep::Continue;
}

DrainStep HandleClockResyncRequest(plat::DpId sender, const uint8_t*, uint32_t) {
    if (!ServerDirectPlay) return DrainStep::Continue;
    ByteWriter reply;
    reply.I32(MSG_SET_CLOCK);
    reply.I32(0);
    reply.F32(ServerClock.GetSeconds() + 1.0f);
    TvSendToPlayerId(sender, reply, false);
    return DrainStep::Continue;
}

DrainStep HandleCancelCutscene(plat::DpId, const uint8_t*, uint32_t) {
    TvBroadcastType(MSG_END_CUTSCENE, true);
    return DrainStep::Continue;
}

DrainStep HandleTimeReport(plat::DpId sender, const uint8_t* record, uint32_t size) {
    ClientRecordReader in(record, size);
    ByteWriter reply;
    reply.I32(MSG_CLOCK_SYNC);
    reply.F32(in.F32());
    reply.F32(ServerClock.GetSeconds());
    TvSendToPlayerId(sender, reply, false);
    return DrainStep::Continue;
}
