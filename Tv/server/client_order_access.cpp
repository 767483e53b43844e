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

// The actor the record's first field names, when the sender controls its
// team and `Kind` says it is of the kind wanted; else null with the reason.
template <class Actor, bool (ServerObject::*Kind)() const>
Actor* OrderedActor(plat::DpId sender, int32_t id, const char*& reason) {
    ServerObject* actor = TvFindActor(id);
    if (!actor)
        reason = "no such actor";
    else if (!SenderControlsTeam(sender, actor->Team))
        reason = "actor of a team the sender does not play";
    else if (!(actor->*Kind)())
        reason = "an actor of another kind";
    else
        return static_cast<Actor*>(actor);
    return nullptr;
}

template <class Actor, bool (ServerObject::*Kind)() const>
DrainStep RunOrder(plat::DpId sender, const uint8_t* record, uint32_t size,
                   const char* (*body)(Actor&, ClientRecordReader&)) {
    ClientRecordReader in(record, size);
    const char* reason = nullptr;
    if (Actor* actor = OrderedActor<Actor, Kind>(sender, in.I32(), reason)) reason = body(*actor, in);
    return reason ? DropClientRecord(record, size, reason) : DrainStep::Continue;
}

} // namespace

bool SenderControlsTeam(plat::DpId sender, int32_t team) { return !ServerDirectPlay || SenderSlot(sender) == team; }

DrainStep RunUnitOrder(plat::DpId sender, const uint8_t* record, uint32_t size, UnitOrderBody body) {
    return RunOrder<ServerUnit, &ServerObject::IsUnit>(sender, record, size, body);
}

DrainStep RunBotOrder(plat::DpId sender, const uint8_t* record, uint32_t size, BotOrderBody body) {
    return RunOrder<ServerBot, &ServerObject::IsBot>(sender, record, size, body);
}
