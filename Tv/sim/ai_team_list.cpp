#include "Tv/sim/ai_team_list.h"

#include <vector>

#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"

List<AiTeamEntry> AiTeamList;

void AiTeamEntry::Tick(uint64_t time) const {
    const List<ServerObject*>* actors = TeamActorListOf(team);
    if (!actors) return;
    // Walked over a held copy: callbacks convert, spawn, remove and delete actors.
    std::vector<ServerObject*> held(actors->begin(), actors->end());
    for (ServerObject* actor : held)
        actor->AddRef();
    for (ServerObject* actor : held)
        if (actor->Team == team && actor->AiTickCallback && actor->IsAlive()) actor->AiTickCallback(actor, time);
    for (ServerObject* actor : held)
        actor->Release();
}

void AiTeamListAdd(int32_t team) { AiTeamList.PushBack(AiTeamEntry{team}); }

void AiTeamListRemove(int32_t team) {
    for (ListIterator<AiTeamEntry> it(AiTeamList); !it.AtEnd(); it.Next())
        if (it.Payload()->team == team) {
            AiTeamList.RemoveNode(it.Node());
            return;
        }
}

void AiTeamListClear() { AiTeamList.Clear(); }
