#include "Tv/sim/server_object.h"

#include <cmath>

#include "Awapi/object.h"
#include "Tv/client/teamtable.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/noise_events.h"
#include "Tv/sim/server_track_object.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/vulnerability.h"
#include "Tv/world/intersection.h"
#include "Tv/world/level_world.h"
#include "core/bytes.h"
#include "core/clock.h"
#include "core/hashtable.h"
#include "core/numeric.h"
#include "core/vector_bytes.h"

namespace {

// What the model's animation update is asked for on the server: advance the
// players, drop finished ones, draw nothing.
constexpr AwDrawFlags kServerModelUpdate = kDrawCulled | kDrawDropFinished;

// A new model of the definition's shape, else of its model; none without
// either.
AwObject* MakeModel(const ObjectDefinition* definition) {
    if (!definition) return nullptr;
    const bool box = !(definition->flags & kDefinitionFragControl);
    if (definition->shape) return new AwObject(definition->shape, box);
    if (definition->model) return new AwObject(*definition->model, box);
    return nullptr;
}

// The level shown on the actor's status: from armour and strength (1 to 5),
// raised by the interface beam's delay, capped at 9; 10 more for an actor
// the beam cannot reach; 0 for the barrels.
Real LevelOf(const ObjectDefinition* definition, Real armour, Real strength) {
    int32_t level = FloorToInt(armour * 3.2f + strength * 1.5f) % 5 + 1;
    if (!definition) return static_cast<Real>(level);
    const int32_t beamDelay = definition->interfaceBeamDelay;
    if (beamDelay > 0) level += beamDelay / 5;
    if (level > 9) level = 9;
    if (beamDelay < 0) level += 10;
    const char* name = definition->name.Get();
    if (name && (NameEquals(name, "blobarrel") || NameEquals(name, "oildrum"))) level = 0;
    return static_cast<Real>(level);
}

// The AI's bookkeeping when an actor dies or goes: its noise event dropped,
// out of its team's mine slots, and dead for the AI.
void ForgetForAi(ServerObject& actor) {
    if (actor.AiFlags & kAiFlagNoiseEvent) TvRemoveNoiseEventOf(&actor);
    if (TeamRecord* team = TeamTable::GetTeam(actor.Team)) team->RemoveMine(&actor);
    actor.AiFlags |= kAiFlagDeadForAi;
}

// Moves the actor to another team, relinking its team list when it has one.
void ChangeTeam(ServerObject& actor, int32_t team) {
    if (actor.InTeamList) TeamListRemove(&actor);
    actor.SetTeam(team);
    if (actor.InTeamList) TeamListAppend(&actor);
}

// A unit that walks stops, one that fires ceases, at `seconds`.
void HaltActivity(ServerObject& actor, Real seconds) {
    if (!actor.IsUnit()) return;
    auto& unit = static_cast<ServerUnit&>(actor);
    if (unit.IsMoving()) unit.StopMoving(seconds);
    if (unit.IsFiring()) unit.StopAttacking(seconds);
}

} // namespace

ServerObject::ServerObject(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                           const Quaternion& orientation, int32_t flags, int32_t id)
    : Mobile((flags & 5) != 0), Id(id), Position(position), Orientation(orientation), Team(team),
      Definition(definition) {
    const CharacterRecord* character = definition ? definition->character.get() : nullptr;
    if (character) {
        AlarmDelay = character->alarmDelay;
        Strength = character->strength;
    }
    Model = MakeModel(definition);
    if (definition) {
        Armour = definition->armour;
        MovesOnLifts = (definition->flags & kDefinitionMovesOnLifts) != 0;
    }
    Level = LevelOf(definition, Armour, Strength);

    if (Model) {
        Model->SetPositionVector(Position);
        Model->SetQuaternion(Orientation);
        if (character && character->size != 1.0f) {
            Model->ClearFlagBit31();
            Model->SetScale(Vector3(character->size, character->size, character->size));
        }
        const Vector3& min = Model->Min;
        const Vector3& max = Model->Max;
        if (min.x != max.x || min.y != max.y || min.z != max.z) {
            Vector3 extent;
            Model->GetMatrix()->TransformVector(extent, max - min);
            Size = Vector3(std::fabs(extent.x), std::fabs(extent.y), std::fabs(extent.z));
        }
    }
    Radius = 0.5f * (Size.x > Size.z ? Size.x : Size.z);

    if (definition)
        for (const auto& vulnerability : definition->vulnerabilities) Vulnerabilities.PushBack(vulnerability.get());

    // Without a level world (tests build bare actors) the model stays out.
    if ((flags & 9) == 0 && Model && LevelWorldInstance) {
        RwLockHold hold(&LevelWorldInstance->lock, true);
        LevelWorldInstance->AddObject(Model);
        InCollisionWorld = 1;
    }
    RegisterActor(this);
}

ServerObject::~ServerObject() {
    if (InActorHash) UnregisterActor(this);
    if (InCollisionWorld && !KeepModelInWorld && LevelWorldInstance && Model) {
        RwLockHold hold(&LevelWorldInstance->lock, true);
        LevelWorldInstance->RemoveObject(Model);
    }
    SetAiTarget(nullptr);
    if (InTeamList) TeamListRemove(this);
    for (Vulnerability* vulnerability : Vulnerabilities)
        if (vulnerability->owned) delete vulnerability;
    ForgetForAi(*this);
    if (Model) Model->Release();
}

void ServerObject::SetLevel(Real level) {
    ByteWriter message = ActorMessage(kMsgActorLevel, Id);
    message.F32(level);
    TvBroadcast(message, true);
    Level = level;
}

Vector3 ServerObject::GetCentre() const { return Vector3(Position.x, Position.y - 0.5f * Size.y, Position.z); }

Real ServerObject::GetHealthFraction() const {
    const CharacterRecord* character = Definition ? Definition->character.get() : nullptr;
    if (Strength > 0 && character) return Strength * FastReciprocal(character->strength);
    return 1.0f;
}

const CharacterRecord* ServerObject::GetCharacterRecord() const {
    return Definition ? Definition->character.get() : nullptr;
}

void ServerObject::Start(uint64_t time, Real seconds) {
    LastSeconds = StateSeconds = seconds;
    StateTicks = ThinkTicks = time;
    if (LevelWorldInstance) {
        RwLockHold hold(&LevelWorldInstance->lock, false);
        FloorPolygon = LevelWorldInstance->FindFloor(Position);
    }
    if (AiStartCallback) AiStartCallback(this, time);
}

void ServerObject::ReleaseReferences() { SetAiTarget(nullptr); }

bool ServerObject::MoveTo(const Vector3& position, const Quaternion& orientation, Real seconds) {
    Position = position;
    Orientation = orientation;
    StateSeconds = seconds;
    StateTicks = static_cast<uint64_t>(FloorToInt64(static_cast<double>(seconds) * CurrentTicksPerSecondFloat()));
    return true;
}

bool ServerObject::HitTestSegment(HitRecord& out, const Vector3& start, const Vector3& direction, const HitRecord& in) {
    if (!Model) return false;
    HitRecord record = in;
    const bool hit = Definition && Definition->shape ? SegmentHitObject(record, *Model, start, direction)
                                                     : SegmentHitObjectBounds(record, *Model, start, direction);
    if (hit) out = record;
    return hit;
}

bool ServerObject::HitTestBallistic(HitRecord& out, const Vector3& start, const Vector3& velocity,
                                    const Vector3& acceleration, const HitRecord& in) {
    if (!Model) return false;
    HitRecord record = in;
    const bool hit = Definition && Definition->shape
                         ? BallisticHitObject(record, *Model, start, velocity, acceleration)
                         : BallisticHitObjectBounds(record, *Model, start, velocity, acceleration);
    if (hit) out = record;
    return hit;
}

void ServerObject::Remove(bool announce) {
    if (Dead) return;
    Dead = 1;
    OnDeath();
    if (HeapContents) TvSpawnActor(0, HeapContents, Position, Quaternion{0, 0, 0, 1}, Id);
    if (announce) TvBroadcast(ActorMessage(MSG_REMOVE_OBJECT, Id), true);
    UnregisterActor(this);
    Release();
}

void ServerObject::Think(uint64_t time, Real seconds) {
    Countdown -= seconds - LastSeconds;
    StateTicks = ThinkTicks = time;
    LastSeconds = StateSeconds = seconds;
    if (Model) {
        Model->SetPositionVector(Position);
        Model->SetQuaternion(Orientation);
        Model->Draw(static_cast<int32_t>(static_cast<uint32_t>(time)), 0, kServerModelUpdate, nullptr);
    }
    if (StateChanged) {
        ByteWriter message = ActorMessage(kMsgActorPose, Id);
        message.F32(seconds);
        WriteVector3(message, Position);
        WriteQuaternion(message, Orientation);
        TvBroadcast(message, false);
        BroadcastSeconds = seconds;
        StateChanged = 0;
    }
}

bool ServerObject::PlaySequence(int32_t n, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done,
                                uint32_t flags, bool reset) {
    if (!Model || !Model->HasSequence(n)) return false;
    return Model->PlaySequence(n, speed, loopCount, startTime, done, flags, reset);
}

void ServerObject::AddSequence(int32_t n, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done,
                               uint32_t flags, bool reset) {
    if (Model) Model->AddSequence(n, speed, loopCount, startTime, done, flags, reset, -1);
}

bool ServerObject::PlaySequenceRange(int32_t n, int32_t speed, int32_t from, int32_t to, uint32_t startTime,
                                     uint32_t* endTime, uint8_t* done, uint32_t flags, bool holdTracks) {
    return Model && Model->PlaySequenceRange(n, speed, from, to, startTime, endTime, done, flags, holdTracks);
}

void ServerObject::StopSequences(uint32_t mode, int32_t key) {
    if (Model) Model->StopSequences(mode, key);
}

void ServerObject::Stun(Real start, Real end) {
    StunStart = start;
    StunEnd = end;
    ByteWriter message = ActorMessage(kMsgActorStunned, Id);
    message.F32(start);
    message.F32(end);
    TvBroadcast(message, true);
    HaltActivity(*this, start);
}

void ServerObject::EndStun() {
    StunStart = StunEnd = 0;
    TvBroadcast(ActorMessage(kMsgActorStunEnded, Id), true);
}

void ServerObject::Convert(Real start, Real end, int32_t team) {
    ConvertStart = start;
    ConvertEnd = end;
    ByteWriter converted = ActorMessage(kMsgActorConverted, Id);
    converted.I32(team);
    converted.F32(start);
    converted.F32(end);
    TvBroadcast(converted, true);
    TvBroadcast(OwnerChangedMessage(Id, team), true);
    ChangeTeam(*this, team);
}

void ServerObject::EndConversion() {
    ConvertStart = ConvertEnd = 0;
    if (IsUnit()) {
        auto& unit = static_cast<ServerUnit&>(*this);
        unit.OrdersCancelled = 1;
        unit.ClearOrders();
    }
    TvBroadcast(ActorMessage(kMsgActorConversionEnded, Id), true);
    TvBroadcast(OwnerChangedMessage(Id, kComputerTeam), true);
    ChangeTeam(*this, kComputerTeam);
    HaltActivity(*this, ServerClock.GetSeconds());
}

// (Its noise event joins with the noise events.)
void ServerObject::OnDeath() { ForgetForAi(*this); }

void ServerObject::SetPosition(const Vector3& position) {
    Position = position;
    StateChanged = 1;
}

void ServerObject::SetOrientation(const Quaternion& orientation) {
    Orientation = orientation;
    StateChanged = 1;
}

void ServerObject::SetHeapContents(const ObjectDefinition* definition) {
    HeapContents = definition;
    ByteWriter message = ActorMessage(kMsgHeapContents, Id);
    message.I32(definition ? definition->id : -1);
    TvBroadcast(message, true);
}

void ServerObject::AttachToTrack(int32_t trackId) {
    ServerObject* track = TvFindActor(trackId);
    if (!track || !track->IsTrackObject() || !InActorHash) return;
    static_cast<ServerTrackObject*>(track)->AddRider(*this);
}

void ServerObject::MarkOnTrack() { OnTrack = OnTrack + 1 < 1 ? OnTrack + 1 : 1; }

void ServerObject::MarkOffTrack() { OnTrack = OnTrack - 1 > 0 ? OnTrack - 1 : 0; }

void ServerObject::SetAiTarget(ServerObject* target) {
    if (target) target->AddRef();
    if (AiTarget) AiTarget->Release();
    AiTarget = target;
}

