#include "Tv/sim/node_ai.h"

#include <cstdint>
#include <vector>

#include "Tv/client/teamtable.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/ai_stun_gate.h"
#include "Tv/sim/server_mine.h"
#include "Tv/sim/server_node.h"
#include "Tv/sim/server_popup.h"
#include "Tv/sim/unit_burst.h"
#include "Tv/world/collision_polygon.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "core/random.h"
#include "core/vector_bytes.h"

namespace {

constexpr int32_t kAiActivityIdle = 3;
constexpr int32_t kAiActivityChasing = 8; // a swarm's chase; a node's new actor once sent off
constexpr int32_t kNodeListedLimit = 6;
constexpr Real kSwarmBurstReachSquared = 6.25f; // 2.5 m
constexpr Real kSpotOffsetHeight = -1.0f;
constexpr Real kSpotOffsetLeast = 1.5f;

// Calls f on every live actor that is not a mine, of the teams from `firstTeam`
// up in index order except `skippedTeam`, in list order; f answers false to stop.
template <class F>
void ForEachCandidate(int32_t firstTeam, int32_t skippedTeam, F f) {
    for (int32_t team = firstTeam; team < static_cast<int32_t>(TeamCount); ++team) {
        const List<ServerObject*>* actors = TeamActorListOf(team);
        if (team == skippedTeam || !actors) continue;
        for (ServerObject* actor : *actors)
            if (actor->IsAlive() && actor->AiTickCallback != TvMineAi && !f(*actor)) return;
    }
}

Real SecondsOf(uint64_t time) { return static_cast<Real>(time) * CurrentSecondsPerTick(); }

uint64_t OneSecondAfter(uint64_t time) { return time + static_cast<uint64_t>(CurrentTicksPerSecond()); }

// time + 1 / aggression seconds; a span too long for the clock (aggression 0)
// saturates, so the node sleeps; a negative or undefined one adds nothing.
uint64_t WakeAfterAggression(uint64_t time, Real aggression) {
    const Real ticks = CurrentTicksPerSecondFloat() * FastReciprocal(aggression);
    if (!(ticks > 0)) return time;
    if (ticks >= 9223372036854775808.0f) return UINT64_MAX;
    const auto span = static_cast<uint64_t>(FloorToInt64(ticks));
    return span > UINT64_MAX - time ? UINT64_MAX : time + span;
}

// The nearest enemy strictly within hearing range: teams 1 and up but the
// node's own, not concealed. Null when none; `distanceSquared` is its distance.
ServerObject* Listen(const ServerNode& node, Real& distanceSquared) {
    ServerObject* heard = nullptr;
    distanceSquared = node.Character ? node.Character->hearingRangeSquared : 0;
    ForEachCandidate(1, node.Team, [&](ServerObject& actor) {
        const Real d = DistanceSquared(actor.Position, node.Position);
        if (!actor.IsActive() && d < distanceSquared) {
            heard = &actor;
            distanceSquared = d;
        }
        return true;
    });
    return heard;
}

// 1.5 to 2.5 m either way: the parity of one draw gives the side, a second the distance.
Real RandomSpotOffset() {
    const bool negative = (TvRandomDraw() & 1) == 0;
    const Real distance = RandomUnit() + kSpotOffsetLeast;
    return negative ? -distance : distance;
}

// Along the node's next patrol list, or to a floor spot beside the node when that list is empty.
void SendAlongPatrol(ServerNode& node, ServerUnit& sent, Real now) {
    const NodeWaypointList& patrol = node.NextWaypointList();
    if (!patrol.IsEmpty()) {
        for (const NodeWaypoint& waypoint : patrol)
            sent.AddWaypoint(waypoint.Position, 0, waypoint.AlsoStore != 0, waypoint.Tag);
    } else {
        const Real x = RandomSpotOffset();
        const Real z = RandomSpotOffset();
        if (LevelWorldInstance) {
            CollisionPolygon* spot;
            {
                RwLockHold hold(LevelWorldLock(), false);
                spot = LevelWorldInstance->FindFloor(node.Position + Vector3(x, kSpotOffsetHeight, z));
            }
            if (spot) sent.HeadFor(spot, now);
        }
    }
    sent.AiActivity = kAiActivityChasing;
}

// The pass after a generating one: the new actor, if it still lives, goes
// off; the node then waits by its aggression.
void SendOff(ServerNode& node, const ServerObject* heard, Real heardSquared, uint64_t time, Real now) {
    node.NodeAiFlag = 0;
    ServerObject* actor = TvFindActor(node.NodeAiIndex);
    if (actor && actor->IsAlive() && actor->IsUnit()) {
        auto& sent = static_cast<ServerUnit&>(*actor);
        if (heard && heardSquared < node.SightRange * node.SightRange)
            sent.HeadFor(heard->GetFloorPolygon(), now);
        else
            SendAlongPatrol(node, sent, now);
    }
    node.NodeStartTime = time;
    node.AiWakeTime = WakeAfterAggression(time, node.AiAggression);
}

// With six or more listed, the oldest that is gone or dead leaves the list
// (one at most). True when the node may generate.
bool MakeRoom(ServerNode& node) {
    List<int32_t>& listed = node.NodeAiList;
    if (listed.Count() < kNodeListedLimit) return true;
    const ListNodeBase* end = listed.Sentinel();
    for (ListNodeBase* n = end->Next; n != end; n = n->Next) {
        auto* entry = static_cast<List<int32_t>::Node*>(n);
        const ServerObject* actor = TvFindActor(entry->Payload);
        if (!actor || !actor->IsAlive()) {
            listed.RemoveNode(entry);
            break;
        }
    }
    return listed.Count() < kNodeListedLimit;
}

// Spawns one of the kinds the definition produces, picked at random; nothing
// when it produces none or the kind has no definition.
void Generate(ServerNode& node) {
    node.NodeAiIndex = -1;
    const std::vector<OwnedText>& kinds = node.Definition->severPoints;
    if (kinds.empty()) return;
    const char* name = kinds[TvRandomDraw() % kinds.size()].Get();
    const ObjectDefinition* kind = name ? DefinitionRegistry::FindByName(name) : nullptr;
    if (!kind) return;
    const int32_t id = TvSpawnActor(node.Team, kind, node.Position, Quaternion{0, 0, 0, 1}, -1);
    ServerObject* actor = id != 0 ? TvFindActor(id) : nullptr;
    if (!actor) return;
    node.NodeAiIndex = id;
    node.NodeAiList.PushBack(id);
    ++node.NodeAiValue;
    node.NodeAiFlag = 1;
    ByteWriter message = ActorMessage(kMsgNodeGenerated, id);
    WriteVector3(message, actor->Position);
    TvBroadcast(message, false);
    if (actor->IsPopup()) static_cast<ServerPopup*>(actor)->PopUp(false);
}

// The first enemy within burst reach: other teams than the swarm's own, by index and by Team.
bool EnemyWithinBurstReach(const ServerUnit& swarm) {
    bool found = false;
    ForEachCandidate(0, swarm.Team, [&](ServerObject& actor) {
        found = actor.Team != swarm.Team && DistanceSquared(actor.Position, swarm.Position) < kSwarmBurstReachSquared;
        return !found;
    });
    return found;
}

// Chases every actor of another team within sight in turn: the last one in search order stays the quarry.
void Seek(ServerUnit& swarm, Real now) {
    const Real sightSquared = swarm.SightRange * swarm.SightRange;
    ForEachCandidate(0, swarm.Team, [&](ServerObject& actor) {
        if (DistanceSquared(actor.Position, swarm.Position) < sightSquared) {
            swarm.AiActivity = kAiActivityChasing;
            swarm.HeadFor(actor.GetFloorPolygon(), now);
            swarm.SetAiTarget(&actor);
        }
        return true;
    });
}

bool AtRest(const ServerUnit& swarm) {
    return !swarm.IsMoving() && !swarm.IsPathPending() && swarm.Waypoints.IsEmpty();
}

void Chase(ServerUnit& swarm, uint64_t time, Real now) {
    if (EnemyWithinBurstReach(swarm)) {
        TvUnitBurst(swarm, time);
        return;
    }
    const ServerObject* quarry = swarm.AiTarget;
    if (!quarry || !quarry->IsAlive()) {
        swarm.StopMoving(now);
        swarm.AiActivity = kAiActivityIdle;
        swarm.SetAiTarget(nullptr);
    } else if (const CollisionPolygon* floor = swarm.GetFloorPolygon();
               floor && floor->HasNeighbour(quarry->GetFloorPolygon()) && AtRest(swarm)) {
        swarm.AddWaypoint(quarry->Position, 0, false, 0); // a straight walk onto the next polygon
    }
    if (AtRest(swarm)) swarm.AiActivity = kAiActivityIdle;
}

} // namespace

void TvNodeAi(ServerObject* actor, uint64_t time) {
    if (!actor->IsNode() || time <= actor->AiWakeTime) return;
    auto& node = static_cast<ServerNode&>(*actor);
    const Real now = SecondsOf(time);
    if (!node.NodeAiFlag) {
        if (!AiPassesStunAndConversion(node, now)) return;
        if (node.Disabled || node.NodeAiValue >= node.GenerationLimit) return;
    }
    Real heardSquared;
    const ServerObject* heard = Listen(node, heardSquared);
    if (heard && node.LatchTrigger) node.Alerted = 1;
    if (node.NodeAiFlag) {
        SendOff(node, heard, heardSquared, time, now);
        return;
    }
    if (!heard && !node.Alerted) return; // listens again next pass
    if (MakeRoom(node)) Generate(node);
    node.AiWakeTime = OneSecondAfter(time);
}

void TvSwarmAi(ServerObject* actor, uint64_t time) {
    if (!actor->IsUnit() || time <= actor->AiWakeTime) return;
    auto& swarm = static_cast<ServerUnit&>(*actor);
    const Real now = SecondsOf(time);
    if (!AiPassesStunAndConversion(swarm, now)) return;
    swarm.AiWakeTime = OneSecondAfter(time);
    if (swarm.AiActivity == kAiActivityChasing)
        Chase(swarm, time, now);
    else
        Seek(swarm, now);
}
