#include "Tv/sim/noise_events.h"

#include <vector>

#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "core/clock.h"

List<NoiseEvent*> NoiseEventList;

namespace {

constexpr int32_t kListeningTeam = 2;

// Frees an unlinked event. Its reference may be the owner's last, and the
// owner's destructor looks for its event again: unlink first, then free.
void FreeEvent(NoiseEvent* event) {
    if (event->owner) {
        event->owner->AiFlags &= ~kAiFlagNoiseEvent;
        event->owner->Release();
    }
    delete event;
}

void DropEvent(ListNode<NoiseEvent*>* node) {
    NoiseEvent* event = node->Payload;
    NoiseEventList.RemoveNode(node);
    FreeEvent(event);
}

void WakeListeners(const Vector3& p, Real extentSquared) {
    const List<ServerObject*>* listeners = TeamActorListOf(kListeningTeam);
    // Woken at the server's time, which the cores compare AiWakeTime with.
    const uint64_t now = ServerClock.GetTime();
    for (ServerObject* actor : *listeners) {
        if (!actor->IsAlive() || actor->IsFiring()) continue;
        if (actor->AiCore != kAiCoreBot && actor->AiCore != kAiCoreScavenger) continue;
        const CharacterRecord* character = actor->GetCharacterRecord();
        const Vector3 d = actor->Position - p;
        if (character && character->hearingRangeSquared >= Dot(d, d) - extentSquared) actor->AiWakeTime = now;
    }
}

} // namespace

void TvAddNoiseEvent(ServerObject* unit) {
    NoiseEvent* event = new NoiseEvent;
    event->position = event->secondPosition = unit->Position;
    event->loudness = kUnitNoiseLoudness;
    event->owner = unit;
    unit->AddRef();
    NoiseEventList.PushBack(event);
}

void TvGiveNoiseEvent(ServerObject* unit) {
    if (unit->AiFlags & kAiFlagNoiseEvent) return;
    TvAddNoiseEvent(unit);
    unit->AiFlags |= kAiFlagNoiseEvent;
}

void TvRemoveNoiseEventOf(ServerObject* actor) {
    for (ListIterator<NoiseEvent*> it(NoiseEventList); !it.AtEnd(); it.Next())
        if ((*it.Payload())->owner == actor) {
            DropEvent(it.Node());
            return;
        }
    actor->AiFlags &= ~kAiFlagNoiseEvent;
}

void TvAddExplosionNoise(int32_t loudness, const Vector3& p, const Vector3& q, uint64_t expiry, Real extent) {
    NoiseEvent* event = new NoiseEvent;
    event->position = p;
    event->secondPosition = q;
    event->extentSquared = extent * extent;
    event->loudness = loudness;
    event->expiry = expiry;
    NoiseEventList.PushBack(event);
    WakeListeners(p, event->extentSquared);
}

void TvClearNoiseEvents() {
    while (!NoiseEventList.IsEmpty())
        DropEvent(NoiseEventList.First());
}

void TvRefreshNoiseEvents(uint64_t time) {
    // Expired events are freed after the walk: freeing may delete owners, which changes the list.
    std::vector<NoiseEvent*> expired;
    ListIterator<NoiseEvent*> it(NoiseEventList);
    while (!it.AtEnd()) {
        ListNode<NoiseEvent*>* node = it.Node();
        it.Next();
        NoiseEvent* event = node->Payload;
        if (event->owner && event->owner->IsAlive()) {
            event->position = event->secondPosition = event->owner->Position;
            event->loudness = event->owner->IsMoving() ? kUnitNoiseLoudness : 0;
        } else if (time > event->expiry) {
            NoiseEventList.RemoveNode(node);
            expired.push_back(event);
        }
    }
    for (NoiseEvent* event : expired)
        FreeEvent(event);
}
