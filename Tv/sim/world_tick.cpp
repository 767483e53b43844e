#include "Tv/sim/world_tick.h"

#include "Tv/client/teamtable.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/server/projectile_launch.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/waypoint_graph.h"
#include "core/clock.h"
#include "core/numeric.h"

namespace {

constexpr int32_t kNanofragDamageKind = 33;
constexpr Real kNanofragSpeed = 10.0f;
constexpr Real kNanofragReachSquared = 400.0f; // 20 m
constexpr uint64_t kNanofragIntervalSeconds = 2;
constexpr Real kBlindSpotSquared = 4.0f; // closer than 2 m a viewer does not see

// Moves the first waiting units, as many as the pass's budget allows, to the
// units that may search this pass.
void AdmitPathRequests() {
    PathInProgressList.Clear();
    for (int32_t budget = PathRequestBudget; budget > 0 && !PathRequestList.IsEmpty(); --budget) {
        PathInProgressList.PushBack(PathRequestList.Front());
        PathRequestList.PopFront();
    }
}

// One nanofrag shot at every live unit within reach of the point.
void FireNanofrags(const ActorSnapshot& snapshot, const ObjectDefinition& nanofrag, const Vector3& from) {
    snapshot.ForEach([&](ServerObject* actor) {
        if (!actor->IsAlive() || !actor->IsUnit()) return;
        const Vector3 d = actor->Position - from;
        if (Dot(d, d) >= kNanofragReachSquared) return;
        TvFireProjectile(&nanofrag, from, actor->Position, -1, actor->Id, 0, kNanofragDamageKind, kNanofragSpeed);
    });
}

// Every burst that is due fires (not when the level has no nanofrag
// definition); every burst whose end has passed goes.
void ServeNanofragBursts(const ActorSnapshot& snapshot, uint64_t time) {
    const ObjectDefinition* nanofrag = DefinitionRegistry::FindByName("nanofrag_projectile");
    ListNodeBase* sentinel = NanofragBurstList.Sentinel();
    for (ListNodeBase* node = sentinel->Next; node != sentinel;) {
        auto* burstNode = static_cast<List<NanofragBurst*>::Node*>(node);
        node = node->Next;
        NanofragBurst* burst = burstNode->Payload;
        if (time > burst->NextTicks) {
            burst->NextTicks = time + kNanofragIntervalSeconds * static_cast<uint64_t>(CurrentTicksPerSecond());
            if (nanofrag) FireNanofrags(snapshot, *nanofrag, burst->position);
        }
        if (time > burst->EndTicks) {
            delete burst;
            NanofragBurstList.RemoveNode(burstNode);
        }
    }
}

// A direction in the horizontal plane, of unit length.
void NormaliseHorizontal(Real& x, Real& z) {
    const Real scale = FastInvSqrt(x * x + z * z);
    x *= scale;
    z *= scale;
}

bool Sees(const ServerUnit& viewer, const ServerUnit& unit) {
    const Vector3 d = unit.Position - viewer.Position;
    const Real distanceSquared = Dot(d, d);
    if (distanceSquared >= viewer.SightRange * viewer.SightRange || distanceSquared <= kBlindSpotSquared) return false;
    Vector3 facing;
    QuaternionZAxis(facing, viewer.Orientation);
    Real fx = facing.x, fz = facing.z, dx = d.x, dz = d.z;
    NormaliseHorizontal(fx, fz);
    NormaliseHorizontal(dx, dz);
    return fx * dx + fz * dz > CosineOf(FloorToInt(viewer.SightAngle));
}

} // namespace

void TvWorldTick(uint64_t time, Real seconds) {
    AdmitPathRequests();
    ActorSnapshot snapshot(ActorSnapshot::Hold::References);
    TvResolvePathConflicts(time, seconds);
    snapshot.ForEach([&](ServerObject* actor) { actor->Step(time, seconds); });
    snapshot.ForEach([&](ServerObject* actor) { actor->Think(time, seconds); });
    ServeNanofragBursts(snapshot, time);
}

bool TvIsHiddenFromEnemies(const ServerUnit* unit) {
    for (int32_t team = 0; team < static_cast<int32_t>(TeamCount); ++team) {
        const TeamRecord* record = TeamTable::GetTeam(team);
        const List<ServerObject*>* actors = TeamActorListOf(team);
        if (team == unit->Team || !record || record->Neutral || !actors) continue;
        for (const ServerObject* viewer : *actors) {
            if (viewer->IsAlive() && viewer->IsUnit() && Sees(static_cast<const ServerUnit&>(*viewer), *unit))
                return false;
        }
    }
    return true;
}
