#include <vector>

#include "Awapi/aw3d/aw_hooks.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server.h"
#include "Tv/server/server_state.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "core/hashtable.h"
#include "core/rwlock.h"

namespace {

// The ids of the players present in the session, as last enumerated.
HashTable<plat::DpId> serverPlayerIdSet{64};
RwLock serverPlayerIdSetLock;

bool PlayerPresent(plat::DpId id) {
    return serverPlayerIdSet.Find(MixKey(id), [id](plat::DpId present) { return present == id; }) != nullptr;
}

// The team that takes a dropped cooperative player's actors: team 1 when one
// player is left, else the team of the last player still present (never the
// dropped player's own, which the session may still list).
int32_t ReceivingTeam() {
    SessionPlayerReadLock hold;
    int32_t present = 0, lastIndex = 0;
    for (int32_t i = 0; i < static_cast<int32_t>(TvGetPlayerCount()) && i < kMaxSessionPlayers; ++i) {
        if (!PlayerPresent(TvGetPlayer(i)->Id)) continue;
        ++present;
        lastIndex = i;
    }
    return present <= 1 ? 1 : PlayerSlotOfIndex(lastIndex);
}

// The lobby position that plays `team` in a session of `players` players.
int32_t LobbyPositionOfTeam(int32_t team, int32_t players) { return team == 1 ? players : players + 2 - team; }

void BroadcastCoopTable() {
    ByteWriter message;
    message.I32(MSG_LOBBY_CHOICES);
    for (const auto& entry : CoopCharacterTable) message.I32(entry);
    TvBroadcast(message, true);
}

struct DroppedTeam {
    int32_t team;
    int32_t receiving; // cooperative game: the team that takes its actors
};

// Hands every actor of `team` to the receiving team, announcing each.
void HandOverActors(int32_t team, int32_t receiving) {
    const auto players = static_cast<int32_t>(TvGetPlayerCount());
    const int32_t droppedPosition = LobbyPositionOfTeam(team, players);
    const int32_t receivingPosition = LobbyPositionOfTeam(receiving, players);
    ActorSnapshot snapshot;
    snapshot.ForEach([&](ServerObject* actor) {
        if (actor->Team != team) return;
        const bool listed = actor->InTeamList;
        if (listed) TeamListRemove(actor);
        ByteWriter message;
        message.I32(MSG_OWNER_CHANGED);
        message.I32(actor->Id);
        message.I32(receiving);
        TvBroadcast(message, true);
        actor->SetTeam(receiving);
        if (listed) TeamListAppend(actor);
        for (auto& entry : CoopCharacterTable)
            if (entry == droppedPosition) entry = receivingPosition;
        BroadcastCoopTable();
    });
}

bool EnumeratePresentPlayers() {
    serverPlayerIdSet.Clear();
    const plat::HResult result = ServerDirectPlay->EnumPlayers(
        nullptr,
        [](plat::DpId id, uint32_t, const plat::DpName&, uint32_t flags) {
            if (!(flags & plat::kDpEnumPlayersServerPlayer)) serverPlayerIdSet.Insert(id, MixKey(id));
            return true;
        },
        0);
    if (result >= 0) return true;
    AwReportError(result);
    return false;
}

} // namespace

bool TvCheckDroppedPlayers() {
    if (!ServerDirectPlay) return true;
    std::vector<DroppedTeam> dropped;
    serverPlayerIdSetLock.Lock(true);
    const bool enumerated = EnumeratePresentPlayers();
    if (enumerated) {
        for (SessionPlayer* player : ServerPlayerList) {
            if (player->Gone || PlayerPresent(player->Id)) continue;
            player->Gone = 1;
            SessionPlayerReadLock hold;
            dropped.push_back({TvPlayerSlotForId(player->Id), 0});
        }
        for (DroppedTeam& d : dropped) d.receiving = ReceivingTeam();
    }
    serverPlayerIdSetLock.Unlock(true);
    if (dropped.empty()) return enumerated;
    // The level-start wait checks from the main thread: the actors are the server's.
    ServerLockHold lock;
    for (const DroppedTeam& d : dropped) {
        if (CurrentGameType == kGameCooperative)
            HandOverActors(d.team, d.receiving);
        else
            TvKillTeam(d.team);
    }
    return true;
}
