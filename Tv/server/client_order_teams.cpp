// A team's mines (47, 48) and its pause time (49, 50).

#include <algorithm>

#include "Tv/client/teamtable.h"
#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/client_order_access.h"
#include "Tv/server/client_order_handlers.h"
#include "Tv/server/game_speed.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server_state.h"
#include "Tv/server/session_players.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_mine.h"
#include "Tv/sim/server_object.h"
#include "core/clock.h"

namespace {

bool AnyAlive(int32_t team) {
    const List<ServerObject*>* actors = TeamActorListOf(team);
    if (!actors) return false;
    for (const ServerObject* actor : *actors)
        if (actor->IsAlive()) return true;
    return false;
}

} // namespace

DrainStep HandleDetonateTeamMines(plat::DpId sender, const uint8_t* record, uint32_t size) {
    ClientRecordReader in(record, size);
    const int32_t team = in.I32();
    if (!TeamTable::GetTeam(team)) return DropClientRecord(record, size, "team out of range");
    if (!SenderControlsTeam(sender, team)) return DropClientRecord(record, size, "a team the sender does not play");
    TvSetOffTeamMines(team);
    return DrainStep::Continue;
}

DrainStep HandleDetonateMine(plat::DpId sender, const uint8_t* record, uint32_t size) {
    ClientRecordReader in(record, size);
    const int32_t team = in.I32();
    const int32_t slot = in.I32();
    if (!TeamTable::GetTeam(team)) return DropClientRecord(record, size, "team out of range");
    if (slot < 0 || slot >= kMineSlotCount) return DropClientRecord(record, size, "mine slot out of range");
    if (!SenderControlsTeam(sender, team)) return DropClientRecord(record, size, "a team the sender does not play");
    TvUseMineSlot(team, slot);
    return DrainStep::Continue;
}

DrainStep HandleTeamPause(plat::DpId, const uint8_t* record, uint32_t size) {
    ClientRecordReader in(record, size);
    const int32_t team = in.I32();
    TeamRecord* pausing = TeamTable::GetTeam(team);
    if (!pausing) return DropClientRecord(record, size, "team out of range");
    if (PausingTeam != -1 || team > static_cast<int32_t>(TvGetPlayerCount()) + 1 || pausing->PauseTimeLeft <= 0.0f ||
        !AnyAlive(team))
        return DrainStep::Continue;
    PauseStartTime = RealClock.GetSeconds();
    PausingTeam = team;
    SpeedBeforePause = SpeedChangePending ? PendingGameSpeed.load() : ServerClock.GetSpeed();
    ByteWriter message;
    message.I32(MSG_TEAM_EFFECT);
    message.I32(team);
    message.F32(pausing->PauseTimeLeft);
    TvBroadcast(message, true);
    TvSetGameSpeed(0.0f);
    return DrainStep::Continue;
}

DrainStep HandleTeamResume(plat::DpId, const uint8_t* record, uint32_t size) {
    ClientRecordReader in(record, size);
    const int32_t team = in.I32();
    TeamRecord* resuming = TeamTable::GetTeam(team);
    if (!resuming) return DropClientRecord(record, size, "team out of range");
    if (PausingTeam == -1) {
        TvBroadcastType(MSG_UNPAUSE,
                        true); // every client resumes, whatever it missed
        return DrainStep::Continue;
    }
    if (team != PausingTeam) return DrainStep::Continue;
    resuming->PauseTimeLeft = std::max(0.0f, resuming->PauseTimeLeft - (RealClock.GetSeconds() - PauseStartTime));
    PauseStartTime = kLargestFloat;
    PausingTeam = -1;
    TvBroadcastType(MSG_UNPAUSE, true);
    TvSetGameSpeed(SpeedBeforePause);
    SpeedBeforePause = kLargestFloat;
    return DrainStep::Continue;
}
