#include "Tv/sim/ai_level.h"

#include "Tv/client/teamtable.h"
#include "Tv/sim/ai_team_list.h"
#include "Tv/sim/ai_tick.h"
#include "Tv/sim/noise_events.h"

void TvStartLevelAi() {
    TvClearNoiseEvents();
    for (uint32_t team = 0; team < TeamCount; ++team) {
        const TeamRecord* record = TeamTable::GetTeam(static_cast<int32_t>(team));
        if (record && record->Active && !record->IsPlayerTeam()) AiTeamListAdd(static_cast<int32_t>(team));
    }
    // The placed mines claim their slots when the actors start, after this.
    TeamTable::ClearAllMineSlots();
}

void TvEndLevelAi() {
    TvClearNoiseEvents();
    AiTeamListClear();
    TvClearLevelTriggers();
}
