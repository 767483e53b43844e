#pragma once
// The containers that hold the simulation's actors between passes: the hash
// of every live actor by id, the per-team actor lists and the id counter, with
// the whole-population operations of level start and end. Touched only on the
// server thread or while holding the server lock; no lock of their own.

#include <cstdint>

#include "core/hashtable.h"
#include "core/list.h"
#include "core/maths.h"
#include "core/mem.h"

class ServerObject;
class ServerTrackObject;
class ServerUnit;

constexpr uint32_t kActorHashBuckets = 64;
constexpr int32_t kTeamActorListCount = 10; // teams 0 to 9; others have no list

// Every registered actor, keyed by Id (bucket Id AND 63; new entries at the
// head of their chain). An entry holds no reference of its own.
extern HashTable<ServerObject*> ServerActorHash;
// The next actor id: every new actor, projectiles included, takes it.
extern int32_t ActorIdCounter;

// Units waiting for a path search, in the order they asked (each once).
extern List<ServerUnit*> PathRequestList;
// Units allowed to search in this pass: refilled by TvWorldTick from the
// front of PathRequestList, at most PathRequestBudget of them.
extern List<ServerUnit*> PathInProgressList;

// A burst of nanofrag shots at every unit near a point, every two seconds until it ends.
struct NanofragBurst : MemObject {
    Vector3 position{0, 0, 0};
    uint64_t EndTicks = 0;
    uint64_t NextTicks = 0;
};
extern List<NanofragBurst*> NanofragBurstList; // owned records
extern List<ServerTrackObject*> TrackObjectList;

constexpr Real kCloakSeconds = 120.0f;
constexpr Real kDisguiseSeconds = 60.0f;
constexpr Real kHomingArrivedSquared = 0.04f; // a homing shot within 0.2 m (horizontal) has arrived
constexpr Real kActorGravity = 9.81f;

// A new actor's id: the counter's value, which then grows by one.
int32_t TvNextActorId();
// ActorIdCounter := 0 (level load).
void TvResetActorIds();

// The actor with that id, or null.
ServerObject* TvFindActor(int32_t id);
// Registration (the actor's constructor) and unregistration (Remove, the destructor).
void RegisterActor(ServerObject* actor);
void UnregisterActor(ServerObject* actor);

// The list of a team's actors in the order they were added, or null for a
// team outside 0 to 9.
List<ServerObject*>* TeamActorListOf(int32_t team);
// Appends the actor to its team's list (when the team has one).
void TeamListAppend(ServerObject* actor);
// Takes the actor out of its team's list, if it is there.
void TeamListRemove(ServerObject* actor);

// Walks ServerActorHash itself, buckets in ascending order: `f` must neither
// create nor remove actors (walk an ActorSnapshot for that).
template <class F>
void ForEachActor(F f) {
    HashSetIterator<ServerObject*> it;
    for (it.Begin(ServerActorHash); !it.AtEnd(); it.Next()) f(it.Current()->Payload);
}

// A copy of ServerActorHash that stays valid while actors are created,
// removed or deleted: every entry re-inserted at the head of its bucket.
// Walks visit the buckets in ascending order, each chain from its head. With
// references held, every actor stays alive until the snapshot goes.
class ActorSnapshot {
public:
    enum class Hold { None, References };
    explicit ActorSnapshot(Hold hold = Hold::None);
    ~ActorSnapshot();
    ActorSnapshot(const ActorSnapshot&) = delete;
    ActorSnapshot& operator=(const ActorSnapshot&) = delete;

    template <class F>
    void ForEach(F f) const {
        HashSetIterator<ServerObject*> it;
        for (it.Begin(table_); !it.AtEnd(); it.Next()) f(it.Current()->Payload);
    }

private:
    HashTable<ServerObject*> table_{kActorHashBuckets};
    const Hold hold_;
};

// Starts every actor at time 0 (simulation start, after a saved game loaded).
void TvStartAllActors();
// Level end: every actor drops its references to others, leaves the hash and
// drops the registry's reference.
void TvReleaseAllActors();
