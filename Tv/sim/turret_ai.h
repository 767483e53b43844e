#pragma once
// The AI core a raised turret runs (ServerTurret::Think installs it). Once a second it keeps its
// fire target while that stays alive, in range, in the view cone around the line of aim and (with
// LOS testing) in sight; takes an intruder within 5 m at double rate; and when a far target's cycle
// time has run out looks for a better aligned one. It only commands the attack; the turret's think
// aims and fires. Server thread, inside TvAiTick.

#include <cstdint>

#include "Tv/client/teamtable.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_mine.h"
#include "Tv/sim/server_object.h"

// Squared range within which a target is close: kept every pass, fired at twice as often.
constexpr Real kTurretCloseRangeSquared = 25.0f;

void TvTurretAi(ServerObject* actor, uint64_t time);

// Calls f for every actor a turret may aim at: those of the teams below TeamCount other than the
// turret's own and the neutral ones (and team 2 only when `withComputerTeam`) that are alive, not
// concealed and not mines, in team order and list order, until f answers true.
template <class F>
void ForEachTurretCandidate(const ServerObject& turret, bool withComputerTeam, F f) {
    for (int32_t team = 0; team < static_cast<int32_t>(TeamCount); ++team) {
        const TeamRecord* record = TeamTable::GetTeam(team);
        List<ServerObject*>* actors = TeamActorListOf(team);
        if (team == turret.Team || (record && record->Neutral) || !actors) continue;
        if (team == kComputerTeam && !withComputerTeam) continue;
        for (ServerObject* actor : *actors)
            if (actor->IsAlive() && !actor->IsActive() && actor->AiTickCallback != TvMineAi && f(actor)) return;
    }
}
