#include "Tv/sim/actor_registry.h"

#include "Tv/sim/server_object.h"

HashTable<ServerObject*> ServerActorHash{kActorHashBuckets};
int32_t ActorIdCounter = 0;
List<ServerUnit*> PathRequestList;
List<ServerUnit*> PathInProgressList;
List<NanofragBurst*> NanofragBurstList;
List<ServerTrackObject*> TrackObjectList;

namespace {

List<ServerObject*> teamActorLists[kTeamActorListCount];

uint32_t KeyOf(ServerObject* actor) { return static_cast<uint32_t>(actor->Id); }

} // namespace

int32_t TvNextActorId() { return ActorIdCounter++; }

void TvResetActorIds() { ActorIdCounter = 0; }

ServerObject* TvFindActor(int32_t id) {
    const auto* entry =
        ServerActorHash.Find(static_cast<uint32_t>(id), [id](ServerObject* actor) { return actor->Id == id; });
    return entry ? entry->Payload : nullptr;
}

void RegisterActor(ServerObject* actor) {
    ServerActorHash.Insert(actor, KeyOf(actor));
    actor->InActorHash = 1;
}

void UnregisterActor(ServerObject* actor) {
    if (actor->InActorHash) ServerActorHash.Remove(actor, KeyOf(actor));
    actor->InActorHash = 0;
}

List<ServerObject*>* TeamActorListOf(int32_t team) {
    return team >= 0 && team < kTeamActorListCount ? &teamActorLists[team] : nullptr;
}

void TeamListAppend(ServerObject* actor) {
    if (List<ServerObject*>* list = TeamActorListOf(actor->Team)) list->PushBack(actor);
}

void TeamListRemove(ServerObject* actor) {
    if (List<ServerObject*>* list = TeamActorListOf(actor->Team)) list->RemoveValue(actor);
}

ActorSnapshot::ActorSnapshot(Hold hold) : hold_(hold) {
    table_.CopyFrom(ServerActorHash, KeyOf);
    if (hold_ == Hold::References) ForEach([](ServerObject* actor) { actor->AddRef(); });
}

ActorSnapshot::~ActorSnapshot() {
    if (hold_ == Hold::References) ForEach([](ServerObject* actor) { actor->Release(); });
}

void TvStartAllActors() {
    ActorSnapshot snapshot;
    snapshot.ForEach([](ServerObject* actor) { actor->Start(0, 0.0f); });
}

void TvReleaseAllActors() {
    ActorSnapshot snapshot;
    snapshot.ForEach([](ServerObject* actor) {
        actor->ReleaseReferences();
        UnregisterActor(actor);
        actor->Release();
    });
    // Bursts belong to the level that made them: none may fire in the next one.
    for (NanofragBurst* burst : NanofragBurstList) delete burst;
    NanofragBurstList.Clear();
}
