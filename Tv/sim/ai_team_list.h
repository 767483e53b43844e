#pragma once
// The teams whose actors the AI drives: filled at level load with the active
// teams that are neither player teams nor computer-controlled, emptied at
// level teardown. An index may appear more than once; order is insertion order.

#include <cstdint>

#include "core/list.h"

struct AiTeamEntry {
    int32_t team;
    // Calls the AI callback of every live actor of the team's list, in list
    // order. The list may change under the callbacks: the walk covers the
    // actors listed when it began that are still alive and on the team, and
    // none of them is deleted while it runs.
    void Tick(uint64_t time) const;
};

extern List<AiTeamEntry> AiTeamList;

void AiTeamListAdd(int32_t team);
// Unlinks the first entry of that team, if any.
void AiTeamListRemove(int32_t team);
void AiTeamListClear();
