#include "Tv/client/teamtable.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/world_tick.h"
#include "core/clock.h"

void TvCutsceneFreeze() {
    const Real now = ServerClock.GetSeconds();
    ForEachActor([now](ServerObject* actor) {
        if (!actor->IsAlive() || !actor->IsUnit()) return;
        auto* unit = static_cast<ServerUnit*>(actor);
        const TeamRecord* team = TeamTable::GetTeam(unit->Team);
        const bool playerTeam = team && team->IsPlayerTeam();
        if (unit->IsAtRestUnderControl()) {
            if (playerTeam) {
                unit->StopMoving(now);
            } else {
                unit->Halt(now);
            }
        }
        if (unit->IsFiring()) unit->StopAttacking(now);
        if (unit->Crouched && playerTeam) unit->ToggleCrouch();
    });
}
