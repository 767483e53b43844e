#include "Tv/server/client_order_access.h"

#include "Tv/server/server_state.h"
#include "Tv/server/session_players.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_bot.h"

namespace {

// The team slot the sender plays in multiplayer, or -1 for a sender that is no
// session player.
int32_t SenderSlot(plat::DpId sender) {
    SessionPlayerReadLock hold;
    for (int32_t i = 0; i < kMaxSessionPlayers; ++i) {
        const SessionPlayer* player = TvGetPlayer(i);
        if (player && player->Id == sender) return PlayerSlotOfIndex(i);
    }
    return -1;
}

ServerObject* OrderedActor(plat::DpId sender, int32_t id, const char*& reason) {
    ServerObject* actor = TvFindActor(id);
    if (!actor) {
        reason = "no such actor";
        return nullptr;
    }
    if (!SenderControlsTeam(sender, actor->Team)) {
        reason = "actor of a team the sender does not play";
        return nullptr;
    }
    return actor;
}

} // namespace

bool SenderControlsTeam(plat::DpId sender, int32_t team) { return !ServerDirectPlay || SenderSlot(sender) == team; }

ServerUnit* OrderedUnit(plat::DpId sender, int32_t id, const char*& reason) {
    ServerObject* actor = OrderedActor(sender, id, reason);
    if (actor && !actor->IsUnit()) {
        reason = "not a unit";
        return nullptr;
    }
    return static_cast<ServerUnit*>(actor);
}

ServerBot* OrderedBot(plat::DpId sender, int32_t id, const char*& reason) {
    ServerObject* actor = OrderedActor(sender, id, reason);
    if (actor && !actor->IsBot()) {
        reason = "not a bot";
        return nullptr;
    }
    return static_cast<ServerBot*>(actor);
}
