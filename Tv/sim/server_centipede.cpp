#include "Tv/sim/server_centipede.h"

#include <cmath>

#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "core/numeric.h"

namespace {

constexpr int32_t kAiCoreCentibody = 14;
constexpr Real kFollowSquared = 0.8f; // a segment this close to its leader's old place stays put

// The turn about the x axis by a pitch (angle units, table values).
Quaternion PitchRotation(Real pitch) {
    const int32_t half = FloorToInt(pitch * 0.5f);
    return Quaternion{SineOf(half), 0, 0, CosineOf(half)};
}

} // namespace

ServerCentibody::~ServerCentibody() {
    if (NextSegment) NextSegment->Release();
}

void ServerCentibody::Die() {
    // A segment a blast has already destroyed is not exploded again.
    for (ServerCentibody* segment = NextSegment; segment; segment = segment->NextSegment)
        if (segment->IsAlive()) segment->Explode();
    ServerBot::Die();
}

void ServerCentibody::Follow(const Vector3& point, Real step, uint64_t time, Real seconds) {
    const Vector3 v = point - Position;
    const Real lengthSquared = Dot(v, v);
    if (lengthSquared > kFollowSquared) SetPosition(Position + v * (FastInvSqrt(lengthSquared) * step));
    const Real heading = std::atan2(v.x, v.z) * AngleUnitsPerRadian;
    const Real pitch = std::atan2(v.y, FastSqrt(v.x * v.x + v.z * v.z)) * AngleUnitsPerRadian;
    SetOrientation(QuaternionMultiply(PitchRotation(pitch), HeadingRotation(heading)));
    ServerBot::Think(time, seconds);
}

void ServerCentipede::Start(uint64_t time, Real seconds) {
    if (!Loaded) SpawnBody(); // a loaded head's segments were loaded with it
    ServerBot::Start(time, seconds);
}

void ServerCentipede::SpawnBody() {
    const ObjectDefinition* body = DefinitionRegistry::FindByName("centibody");
    if (!body || body->aiCore != kAiCoreCentibody) return; // a head as a segment would spawn bodies without end
    Vector3 forward;
    QuaternionZAxis(forward, Orientation);
    Vector3 place = Position;
    ServerCentibody* last = this;
    for (int32_t i = 0; i < kCentipedeSegments; ++i) {
        place = place - forward;
        // 0 is also the answer for no actor: an actor with id 0 is never the new one.
        const int32_t id = TvSpawnActor(Team, body, place, Quaternion{0, 0, 0, 1}, -1);
        ServerObject* spawned = id != 0 ? TvFindActor(id) : nullptr;
        if (!spawned || !spawned->IsCentibody()) return;
        auto* segment = static_cast<ServerCentibody*>(spawned);
        segment->AddRef();
        last->NextSegment = segment;
        ByteWriter message = ActorMessage(kMsgSegmentLinked, last->Id);
        message.I32(segment->Id);
        TvBroadcast(message, true);
        last = segment;
    }
}

void ServerCentipede::Think(uint64_t time, Real seconds) {
    Vector3 leaderWas = Position;
    ServerBot::Think(time, seconds);
    if (!NextSegment) {
        Explode();
        return;
    }
    const Real step = FastSqrt(DistanceSquared(leaderWas, Position));
    for (ServerCentibody* leader = this; ServerCentibody* segment = leader->NextSegment; leader = segment) {
        if (!segment->IsAlive()) {
            leader->NextSegment = nullptr;
            segment->Release();
            return;
        }
        const Vector3 segmentWas = segment->Position;
        segment->Follow(leaderWas, step, time, seconds);
        leaderWas = segmentWas;
    }
}

void RegisterServerCentipede() {
    SetServerActorMaker(ServerActorClass::Centipede, &MakeServerActor<ServerCentipede>);
    SetServerActorMaker(ServerActorClass::Centibody, &MakeServerActor<ServerCentibody>);
}
