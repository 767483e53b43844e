#include "Tv/sim/server_object.h"

#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_registry.h"
#include "core/bytes.h"

// STUB: the base class is being written; these keep the tree building.

ServerObject::ServerObject(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                           const Quaternion& orientation, int32_t flags, int32_t id)
    : Mobile((flags & 5) != 0), Id(id), Position(position), Orientation(orientation), Team(team),
      Definition(definition) {
    RegisterActor(this);
}

ServerObject::~ServerObject() {
    if (InActorHash) UnregisterActor(this);
    if (InTeamList) TeamListRemove(this);
    SetAiTarget(nullptr);
}

void ServerObject::SetLevel(Real level) { Level = level; }
Vector3 ServerObject::GetCentre() const { return Position; }
Real ServerObject::GetHealthFraction() const { return 1.0f; }
const CharacterRecord* ServerObject::GetCharacterRecord() const { return nullptr; }

void ServerObject::Start(uint64_t time, Real seconds) {
    LastSeconds = StateSeconds = seconds;
    StateTicks = ThinkTicks = time;
}

void ServerObject::ReleaseReferences() { SetAiTarget(nullptr); }

bool ServerObject::MoveTo(const Vector3& position, const Quaternion& orientation, Real seconds) {
    Position = position;
    Orientation = orientation;
    StateSeconds = seconds;
    return true;
}

bool ServerObject::HitTestSegment(HitRecord&, const Vector3&, const Vector3&, const HitRecord&) { return false; }
bool ServerObject::HitTestBallistic(HitRecord&, const Vector3&, const Vector3&, const Vector3&, const HitRecord&) {
    return false;
}
void ServerObject::Explode() {}

void ServerObject::Remove(bool announce) {
    if (Dead) return;
    Dead = 1;
    OnDeath();
    if (announce) {
        ByteWriter message;
        message.I32(MSG_REMOVE_OBJECT);
        message.I32(Id);
        TvBroadcast(message, true);
    }
    UnregisterActor(this);
    Release();
}

bool ServerObject::TakeDamage(Real, bool, int32_t) { return false; }
void ServerObject::Think(uint64_t time, Real seconds) {
    StateTicks = ThinkTicks = time;
    LastSeconds = StateSeconds = seconds;
}
bool ServerObject::PlaySequence(int32_t, int32_t, int32_t, uint32_t, uint8_t*, uint32_t, bool) { return false; }
void ServerObject::AddSequence(int32_t, int32_t, int32_t, uint32_t, uint8_t*, uint32_t, bool) {}
bool ServerObject::PlaySequenceRange(int32_t, int32_t, int32_t, int32_t, uint32_t, uint32_t*, uint8_t*, uint32_t,
                                     bool) {
    return false;
}
void ServerObject::StopSequences(uint32_t, int32_t) {}
void ServerObject::Stun(Real, Real) {}
void ServerObject::EndStun() {}
void ServerObject::Convert(Real, Real, int32_t) {}
void ServerObject::EndConversion() {}
void ServerObject::OnDeath() { AiFlags |= kAiFlagDeadForAi; }

void ServerObject::SetPosition(const Vector3& position) {
    Position = position;
    StateChanged = 1;
}

void ServerObject::SetOrientation(const Quaternion& orientation) {
    Orientation = orientation;
    StateChanged = 1;
}

void ServerObject::SetHeapContents(const ObjectDefinition* definition) { HeapContents = definition; }
void ServerObject::AttachToTrack(int32_t) {}
void ServerObject::MarkOnTrack() { OnTrack = 1; }
void ServerObject::MarkOffTrack() { OnTrack = 0; }

void ServerObject::SetAiTarget(ServerObject* target) {
    if (target) target->AddRef();
    if (AiTarget) AiTarget->Release();
    AiTarget = target;
}

Real TvWeightedDistanceSquared(const Vector3& a, const Vector3& b) {
    const Real dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return dx * dx + dz * dz + 0.01f * dy * dy;
}
