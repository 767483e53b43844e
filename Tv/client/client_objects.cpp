#include "Tv/client/client_objects.h"

#include <cmath>

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/bounding_box.h"
#include "Awapi/camera.h"
#include "Awapi/light_set.h"
#include "Awapi/model/model_node.h"
#include "Awapi/model/sequence_player.h"
#include "Awapi/object.h"
#include "Awapi/particles.h"
#include "Tv/client/client_object_parts.h"
#include "Tv/client/client_sounds.h"
#include "Tv/client/equipment_view.h"
#include "Tv/effects/effect_calls.h"
#include "Tv/server/game_settings.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "core/serverthread.h"

namespace {

constexpr int32_t kFlagAlphaFog = 0x1;
constexpr int32_t kFlagIgnoreFog = 0x2;
constexpr int32_t kFlagLightFollows = 0x4;
constexpr int32_t kFlagNoCollision = 0x8;
constexpr int32_t kFlagsOutOfCollisionWorld = kFlagAlphaFog | kFlagNoCollision;

constexpr Real kNoFloorDrop = 1000.0f; // below an object without a floor
constexpr Real kDefaultSightRange = 53.0f;
constexpr Real kLightAboveCentre = 0.5f;
constexpr Real kFogDimPerLevel = 0.003937008f; // 1 / 254

constexpr int32_t kSoundSelect = 77;
constexpr int32_t kSoundDeselect = 78;
constexpr int32_t kSoundAlert = 101;
constexpr int32_t kSoundMineGone = 104;
constexpr int32_t kMineWeaponType = 3;

// The 3D object of the definition's shape, else of its model; none without either.
AwObject* MakeModel(const ObjectDefinition* definition) {
    if (!definition) return nullptr;
    const bool box = !(definition->flags & kDefinitionFragControl);
    if (definition->shape) return new AwObject(definition->shape, box);
    if (definition->model) return new AwObject(*definition->model, box);
    return nullptr;
}

// An emitter of the definition's particle record at `position`; null without
// one, or before the particle system runs.
AwParticleEmitter* MakeEmitter(const ParticleGeneratorRecord* record, const Vector3& position) {
    if (!record || !ParticleTypes) return nullptr;
    return new AwParticleEmitter(*record, position, false);
}

void StopEmitter(AwParticleEmitter*& emitter) {
    if (emitter) emitter->Stop();
    emitter = nullptr;
}

Vector3 LightPosition(const Vector3& position) {
    return Vector3(position.x, position.y - kLightAboveCentre, position.z);
}

} // namespace

void PlaySoundAtObject(int32_t sample, const ClientObject& object) {
    if (object.Model)
        TvPlaySound(sample, "t", object.Model);
    else
        TvPlaySound(sample, "");
}

Real ClientLevelOf(const ObjectDefinition* definition, Real armour, Real health) {
    int32_t level = FloorToInt(health * 1.5f + armour * 3.2f) % 5 + 1;
    if (!definition) return static_cast<Real>(level);
    const int32_t beamDelay = definition->interfaceBeamDelay;
    if (beamDelay > 0) level += beamDelay / 5;
    if (level > 9) level = 9;
    if (beamDelay < 0) level += 10;
    const char* name = definition->name.Get();
    if (name && (NameEquals(name, "blobarrel") || NameEquals(name, "oildrum"))) level = 0;
    return static_cast<Real>(level);
}

ClientObject::ClientObject(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                           const Quaternion& orientation, int32_t flags, int32_t id)
    : LightFollows((flags & (kFlagAlphaFog | kFlagLightFollows)) != 0), Id(id), Position(position),
      Orientation(orientation), Team(team), Definition(definition) {
    const CharacterRecord* character = definition ? definition->character.get() : nullptr;
    if (character) {
        AlarmDelay = character->alarmDelay;
        DrawVisionCone = character->drawVisionCone;
        DrawHearingRange = character->drawHearingRange;
        Health = character->strength;
    }
    if (definition) {
        Emitter = MakeEmitter(definition->particleGenerator.get(), Position);
        Emitter2 = MakeEmitter(definition->particleGenerator2.get(), Position);
        Armour = definition->armour;
        Controlled = (definition->flags & kDefinitionFragControl) != 0;
        if (definition->flags & kDefinitionDestinationSelectable) ObjectRenderFlags = kRenderDestinationSelectable;
    }
    OwnLights = new AwLightSet();
    Pick = new ClientObjectPick(this);
    Model = MakeModel(definition);
    Level = ClientLevelOf(definition, Armour, Health);

    if (Model) {
        Model->SetPositionVector(Position);
        Model->SetQuaternion(Orientation);
        if (character && character->size != 1.0f) {
            Model->ClearFlagBit31();
            Model->SetScale(Vector3(character->size, character->size, character->size));
        }
        if (!Controlled) {
            const AwModel* source = definition->model;
            Bounds = source && source->HasBounds ? new AwBoundingBox(source->FirstCorner, source->SecondCorner)
                                                 : new AwBoundingBox(Model->Min, Model->Max);
        }
        if (Model->HasBox) {
            Vector3 extent;
            Model->GetMatrix()->TransformVector(extent, Model->Max - Model->Min);
            Extent = Vector3(std::fabs(extent.x), std::fabs(extent.y), std::fabs(extent.z));
        }
    }
    Radius = 0.5f * (Extent.x > Extent.z ? Extent.x : Extent.z);

    // An emitter of a timed or counted generator runs out by itself.
    if (Emitter && definition->particleGenerator->state != kEmitEndless) Emitter = nullptr;

    if (definition) {
        if (!(definition->flags & kDefinitionHitTestIgnore)) ObjectRenderFlags |= kRenderPickable;
        if (definition->flags & kDefinitionNoLighting) ObjectRenderFlags |= kRenderNoLighting;
    }
    const uint8_t definitionFlags = definition ? definition->flags : 0;
    if (flags & kFlagIgnoreFog)
        IgnoresFog = 1;
    else if ((definitionFlags & kDefinitionAlphaFogging) || (flags & kFlagAlphaFog))
        ObjectRenderFlags |= kRenderAlphaFog;
    else if (definitionFlags & kDefinitionPerVertexFogging)
        ObjectRenderFlags |= kRenderPerVertexFog;
    else
        IgnoresFog = 1;

    if (definition && definition->light) {
        const LightRecord& light = *definition->light;
        CreateLight(Colour::FromFloats(light.red, light.green, light.blue, 0),
                    Colour::FromFloats(light.specularRed, light.specularGreen, light.specularBlue, 0), light.range);
    }
    if (character && character->shadowModel) TvBuildShadowCaster(this);
    if (Model && !Controlled) AddModelEmitters(*this);

    // On a host and in single player the server's twin already stands in the shared collision world.
    if ((flags & kFlagsOutOfCollisionWorld) == 0 && Model && LevelWorldInstance && !TvIsServerRunning()) {
        RwLockHold hold(&LevelWorldInstance->lock, true);
        LevelWorldInstance->AddObject(Model);
        InCollisionWorld = 1;
    }
    RegisterClientObject(this);
}

ClientObject::~ClientObject() {
    if (InObjectHash) UnregisterClientObject(this);
    if (InCollisionWorld && !NoCollisionRemove && LevelWorldInstance && Model) {
        RwLockHold hold(&LevelWorldInstance->lock, true);
        LevelWorldInstance->RemoveObject(Model);
    }
    Detach();
    static_cast<ClientObjectPick*>(Pick)->Object = nullptr;
    Pick->Release();
    if (Model) Model->Release();
    delete Bounds;
    for (ExhaustEmitter* exhaust : ExhaustEmitters) delete exhaust;
    ExhaustEmitters.Clear();
}

void ClientObject::MakeCurrent() {
    AddRef();
    if (CurrentClientObject) CurrentClientObject->Release();
    CurrentClientObject = this;
}

Vector3 ClientObject::GetCentre() const { return Vector3(Position.x, Position.y - 0.5f * Extent.y, Position.z); }

Real ClientObject::GetHealthFraction() const {
    const CharacterRecord* character = GetCharacterRecord();
    if (Health > 0 && character) return Health * FastReciprocal(character->strength);
    return 1.0f;
}

const CharacterRecord* ClientObject::GetCharacterRecord() const {
    return Definition ? Definition->character.get() : nullptr;
}

void ClientObject::Start(uint64_t ticks, Real seconds) {
    MoveTicks = StartTicks = ticks;
    LastSeconds = MoveSeconds[0] = seconds;
    if (LevelWorldInstance) {
        RwLockHold hold(&LevelWorldInstance->lock, false);
        Floor = LevelWorldInstance->FindFloor(Position);
    }
    const AwModel* model = Definition ? Definition->model : nullptr;
    if (model && model->Sequences && !model->Sequences->empty() && !Controlled)
        PlayAnimation(0, kUnitSpeed, -1, static_cast<uint32_t>(ticks), nullptr, 0);
    if (JoinsLocalTeam() && Team == LocalTeam) LocalTeamObjects.PushBack(this);
}

bool ClientObject::MoveTo(const Vector3& position, const Quaternion& orientation, Real seconds) {
    const Real now = GameClock.GetSeconds();
    if (seconds > now) seconds = now;
    MoveSeconds[0] = MoveSeconds[1] = seconds;
    // A time before the clock's start counts as its start.
    const int64_t ticks = FloorToInt64(static_cast<double>(seconds) * CurrentTicksPerSecondFloat());
    MoveTicks = ticks > 0 ? static_cast<uint64_t>(ticks) : 0;
    Position = position;
    Orientation = orientation;
    return true;
}

void ClientObject::Update(uint64_t ticks, Real seconds) {
    StartTicks = MoveTicks = ticks;
    LastSeconds = MoveSeconds[0] = seconds;
    if (!Light || !LightFollows) return;
    Light->SetPositionVector(GetCentre());
    const LightRecord* record = Definition ? Definition->light.get() : nullptr;
    if (!record || IgnoresFog || !AwFogLevelAt) return;
    const Real dim = 1.0f - static_cast<Real>(FogLevel()) * kFogDimPerLevel;
    plat::Light7& light = Light->Light;
    light.diffuse = {record->red * dim, record->green * dim, record->blue * dim, 0};
    light.specular = {record->specularRed * dim, record->specularGreen * dim, record->specularBlue * dim, 0};
}

bool ClientObject::PlayAnimation(int32_t sequence, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done,
                                 uint32_t flags) {
    if (!Model || !Model->HasSequence(sequence)) return false;
    return Model->PlaySequence(sequence, speed, loopCount, startTime, done, flags, false);
}

void ClientObject::AddAnimation(int32_t sequence, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done,
                                uint32_t flags, int32_t key) {
    if (Model) Model->AddSequence(sequence, speed, loopCount, startTime, done, flags, false, key);
}

bool ClientObject::PlayAnimationRange(int32_t sequence, int32_t speed, int32_t from, int32_t to, uint32_t startTime,
                                      uint32_t* endTime, uint8_t* done, uint32_t flags) {
    return Model && Model->PlaySequenceRange(sequence, speed, from, to, startTime, endTime, done, flags, false);
}

void ClientObject::StopAnimations(uint32_t flags, int32_t key) {
    if (Model) Model->StopSequences(flags, key);
}

void ClientObject::Remove() {
    if (Dead) return;
    const CharacterRecord* character = GetCharacterRecord();
    if (character && character->weapon == kMineWeaponType && Definition->aiCore == kAiCoreMine)
        PlaySoundAtObject(kSoundMineGone, *this);
    Dead = 1;
    Detach();
    UnregisterClientObject(this);
    Release();
}

Real ClientObject::GroundHeight() const {
    Vector3 p = Position;
    if (LevelWorldInstance) {
        RwLockHold hold(&LevelWorldInstance->lock, false);
        if (LevelWorldInstance->SetFloorHeight(p)) return p.y;
    }
    return Position.y + kNoFloorDrop;
}

Real ClientObject::SightRange() const {
    const CharacterRecord* character = GetCharacterRecord();
    return character ? character->sightRange : kDefaultSightRange;
}

void ClientObject::MoveToRecord(const ClientMotionRecord& record) {
    MoveTo(record.Position, record.Orientation, record.Seconds);
}

void ClientObject::SetMarkValues(Real a, Real b) {
    MarkValueA = a;
    MarkValueB = b;
}

void ClientObject::ClearMarkValues() { MarkValueA = MarkValueB = 0; }

void ClientObject::SetSelectValues(Real a, Real b, Real) {
    SelectValueA = a;
    SelectValueB = b;
    TvPlaySound(kSoundSelect, "");
}

void ClientObject::ClearSelectValues() {
    SelectValueA = SelectValueB = 0;
    TvPlaySound(kSoundDeselect, "");
}

void ClientObject::Detach() {
    ReleaseLight();
    for (ExhaustEmitter* exhaust : ExhaustEmitters) {
        StopEmitter(exhaust->Emitter);
        delete exhaust;
    }
    ExhaustEmitters.Clear();
    StopEmitter(Emitter);
    StopEmitter(Emitter2);
    // Whatever its team is now: one that changed sides while listed must not stay behind.
    LocalTeamObjects.RemoveValue(this);
    if (EquipViewUnit == this) CloseEquipmentView(EquipmentViewCameras{AwCurrentCamera, nullptr, SavedCameraDepth});
    if (OwnLights) OwnLights->Release();
    OwnLights = nullptr;
    ObjectRenderFlags &= ~kRenderPickable;
    if (ObjectRenderFlags & kRenderShadowCaster) {
        TvRemoveShadowCaster(this);
        ObjectRenderFlags &= ~kRenderShadowCaster;
        ShadowData = nullptr;
    }
}

void ClientObject::SetAlertArea(Real a, Real b) {
    Alert = 1;
    AlertA = a;
    AlertB = b;
}

void ClientObject::ClearAlertArea() {
    Alert = 0;
    AlertA = AlertB = 0;
}

void ClientObject::SetAlert(Real a, Real b) {
    AlertA = a;
    AlertB = b;
    Announced = 1;
    if (Team == LocalTeam) PlaySoundAtObject(kSoundAlert, *this);
}

void ClientObject::CreateLight(const Colour& diffuse, const Colour& specular, Real range) {
    ReleaseLight();
    if (SceneLightsInstance)
        Light = SceneLightsInstance->AddPointLight(diffuse, specular, LightPosition(Position), range);
}

void ClientObject::ReleaseLight() {
    if (Light && SceneLightsInstance) SceneLightsInstance->RemoveLight(Light);
    Light = nullptr;
}

void ClientObject::PlayAnimationOnce(int32_t sequence) {
    PlayAnimation(sequence, kUnitSpeed, 1, GameClock.GetTime32(), nullptr, 0);
}

int32_t ClientObject::FogLevel() const {
    if (!AwFogLevelAt) return 0;
    if (!(ObjectRenderFlags & (kRenderAlphaFog | kRenderPerVertexFog))) return 0;
    return AwFogLevel(Position.x, Position.y, Position.z);
}

void ClientObject::AttachToTrack(int32_t trackId) {
    ClientObject* track = TvFindClientObject(trackId);
    if (!track || !track->IsTrackObject()) return;
    // The rider list is the track object's own.
    Controlled = 1;
    RaiseRideCount();
}
