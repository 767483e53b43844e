// Server-to-client records that create, remove, move and change objects.

#include <iterator>

#include "Tv/client/client_sounds.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/effects/effect_calls.h"
#include "Tv/server/client_record_objects.h"
#include "Tv/server/client_service_hooks.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/server_message_catalogue.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "Awapi/bounding_box.h"
#include "Awapi/object.h"
#include "Awapi/shape_instance.h"

namespace {

constexpr int32_t kSoundCloak = 35;

const char* OnCreateObject(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    const int32_t id = in.I32();
    const int32_t definitionId = in.I32();
    const int32_t team = in.U8();
    in.Skip(3);
    const int32_t track = in.I32();
    const Vector3 position = ReadPosition(in);
    const Quaternion orientation = ReadOrientation(in);
    if (!IsFiniteVector(position) || !IsFiniteQuaternion(orientation)) return kNotFinite;
    if (!IsObjectTeam(team)) return "team out of range";
    if (!IsFreeObjectId(id)) return kIdInUse;
    if (const ObjectDefinition* definition = DefinitionRegistry::FindById(definitionId))
        TvNewClientObject(team, *definition, position, orientation, id, track);
    return nullptr;
}

// The object becomes one of the local player's. Only an object that then
// counts as in the local team joins LocalTeamObjects: Detach takes out only
// those, and any other would stay listed after it is gone.
void OwnerNotice(ClientObject* object) {
    ClientUnitJoinLocalTeam(object);
    if (!object->IsInLocalTeam() || LocalTeamObjects.Contains(object)) return;
    if (LocalTeamObjects.IsEmpty() && CurrentGameType != kGameStory) {
        CameraFocus = object->Position;
        CameraRequestedZoom = CameraZoom;
    }
    LocalTeamObjects.PushBack(object);
    TvRebuildCharacterPlates();
}

void RemoveObject(ClientObject* object) { object->Remove(); }

// 55 and 56: the object may go, so a reference is held across.
const char* ApplyDamage(const uint8_t* record, size_t size, bool destroyed) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const Real health = in.F32(), shield = in.F32(), armour = in.F32();
    if (!IsFiniteValue(health) || !IsFiniteValue(shield) || !IsFiniteValue(armour)) return kNotFinite;
    if (!object) return nullptr;
    object->AddRef();
    if (!destroyed) {
        if (object->GetShield() > shield) TvObjectShieldHitEffect(object, GameClock.GetTime32());
        const CharacterRecord* character = object->GetCharacterRecord();
        if (character && object->Health > health && character->strength > 0)
            TvShowDamageFraction(object, (object->Health - health) / character->strength);
    }
    object->Health = health;
    object->SetShield(shield);
    object->SetArmour(armour);
    if (destroyed && (!object->IsAlive() || object->GetHealthFraction() < 0.001f)) {
        TvObjectDestroyedEffect(object, object->StartTicks);
        object->Remove();
    }
    object->Release();
    return nullptr;
}

const char* OnDamage(const uint8_t* record, size_t size) { return ApplyDamage(record, size, false); }
const char* OnDestroyed(const uint8_t* record, size_t size) { return ApplyDamage(record, size, true); }

// 59, 60, 61, 72: {type, id, motion}.
template <void (*apply)(ClientObject*, const ClientMotionState&)>
const char* OnMotion(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    ClientMotionState state;
    if (!ReadMotionState(in, state)) return kNotFinite;
    if (object) apply(object, state);
    return nullptr;
}

void UnitMoving(ClientObject* object, const ClientMotionState& state) {
    if (!IsCutsceneHeld(object)) ClientUnitApplyMotionState(object, state, false);
}
void UnitStopped(ClientObject* object, const ClientMotionState& state) {
    if (!IsCutsceneHeld(object)) ClientUnitApplyMotionState(object, state, true);
}
void UnitPlaced(ClientObject* object, const ClientMotionState& state) {
    if (!ClientUnitUnderReconControl(object)) object->MoveToRecord(state.Pose);
}

const char* OnUnitHeading(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    ClientMotionState state;
    const bool finite = ReadMotionState(in, state);
    const Vector3 destination = ReadPosition(in);
    const Vector3 target = ReadPosition(in);
    if (!finite || !IsFiniteVector(destination) || !IsFiniteVector(target)) return kNotFinite;
    if (object && !IsCutsceneHeld(object)) ClientUnitStartWalking(object, destination, state, target);
    return nullptr;
}

// The collision polygon of a level-world index, or null outside the table.
CollisionPolygon* LevelPolygon(int32_t index) {
    if (!LevelWorldInstance || index < 0) return nullptr;
    const auto& table = LevelWorldInstance->polygonTable;
    return static_cast<size_t>(index) < table.size() ? table[static_cast<size_t>(index)] : nullptr;
}

const char* OnFollowOrderAdded(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    in.Skip(4);
    const int32_t polygonIndex = in.I32();
    const int32_t value = in.I32();
    in.Skip(4);
    ClientObject* object = ReadRecordObject(in);
    CollisionPolygon* polygon = LevelPolygon(polygonIndex);
    if (!polygon) return "collision polygon index out of range";
    if (object) ClientUnitShowFollowOrder(object, polygon, value);
    return nullptr;
}

void SetModeWord(ClientObject* object, int32_t mode) {
    if (!ClientUnitUnderReconControl(object)) object->ModeWord = mode;
}

const char* OnSpeedChange(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const int32_t change = in.I32();
    ClientMotionState state;
    if (!ReadMotionState(in, state)) return kNotFinite;
    if (object) ClientUnitChangeSpeed(object, change, state);
    return nullptr;
}

// 111 and 112; a teleported unit also drops its shown orders and reports its stop.
const char* ApplyMove(const uint8_t* record, size_t size, bool teleport) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const Real seconds = in.F32();
    const Vector3 position = ReadPosition(in);
    const Quaternion orientation = ReadOrientation(in);
    if (!IsFiniteValue(seconds) || !IsFiniteVector(position) || !IsFiniteQuaternion(orientation)) return kNotFinite;
    if (!object || IsCutsceneHeld(object) || ClientUnitUnderReconControl(object)) return nullptr;
    object->MoveTo(position, orientation, seconds);
    if (teleport) ClientUnitTeleported(object);
    return nullptr;
}

const char* OnMove(const uint8_t* record, size_t size) { return ApplyMove(record, size, false); }
const char* OnTeleport(const uint8_t* record, size_t size) { return ApplyMove(record, size, true); }

const char* OnOwnerChanged(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const int32_t team = in.I32();
    if (!IsObjectTeam(team)) return "team out of range";
    if (!object) return nullptr;
    if (TvIsObjectSelected(object)) TvDeselectObject(object);
    object->SetTeam(team);
    return nullptr;
}

void SetLevel(ClientObject* object, const Real* v) { object->SetLevel(v[0]); }
void SetMarkValues(ClientObject* object, const Real* v) { object->SetMarkValues(v[0], v[1]); }
void SetArmour(ClientObject* object, const Real* v) { object->SetArmour(v[0]); }
void SetShield(ClientObject* object, const Real* v) { object->SetShield(v[0]); }
void SetHealth(ClientObject* object, const Real* v) { object->Health = v[0]; }

void ClearMarkValues(ClientObject* object) { object->ClearMarkValues(); }
void ClearSelectValues(ClientObject* object) { object->ClearSelectValues(); }
void ResetObject(ClientObject* object) { object->Reset(); }
void BuildShadow(ClientObject* object) { TvBuildShadowCaster(object); }
void SelectObject(ClientObject* object) { TvSelectObject(object); }

const char* OnSetSelectValues(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const int32_t team = in.I32();
    const Real a = in.F32(), b = in.F32();
    if (!IsFiniteValue(a) || !IsFiniteValue(b)) return kNotFinite;
    if (object) object->SetSelectValues(a, b, static_cast<Real>(team));
    return nullptr;
}

const char* OnSeverPart(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const int32_t newId = in.I32();
    const int32_t severIndex = in.I32();
    if (!IsFreeObjectId(newId)) return kIdInUse;
    if (object) ClientUnitSeverPart(object, newId, severIndex);
    return nullptr;
}

const char* OnLinkObject(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    ClientObject* linked = ReadRecordObject(in);
    if (object && linked) ClientCentibodyLinkObject(object, linked);
    return nullptr;
}

const char* OnCloak(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const ObjectDefinition* effect = DefinitionRegistry::FindById(in.I32());
    const Real start = in.F32(), end = in.F32();
    if (!IsFiniteValue(start) || !IsFiniteValue(end)) return kNotFinite;
    if (!object || !effect || !object->IsUnit()) return nullptr;
    object->SetCloaked(true);
    ClientUnitStartCloak(object, effect, start, end);
    TvPlaySound(kSoundCloak, "");
    return nullptr;
}

void AudioCloak(ClientObject* object, const Real* times) { ClientUnitStartAudioCloak(object, times[0], times[1]); }

const char* OnHeapContents(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* heap = ReadRecordObject(in);
    const ObjectDefinition* held = DefinitionRegistry::FindById(in.I32());
    if (heap && held) heap->SetLinkValue(held);
    return nullptr;
}

// The part a destruction record takes off the model.
const char* RemovedPartName(const ObjectDefinition* definition) {
    if (!definition || !definition->destruction || definition->destruction->kind != kDestructionFragData)
        return nullptr;
    const char* name = static_cast<const FragDataRecord&>(*definition->destruction).remove.Get();
    return name && *name ? name : nullptr;
}

void RemoveSubShape(ClientObject* object) {
    const char* part = RemovedPartName(object->Definition);
    if (!object->Model || !part) return;
    object->Model->DeleteSubShape(part);
    TvRemoveShadowCaster(object);
    TvBuildShadowCaster(object);
}

const char* OnBreakUp(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const int32_t fragmentId = in.I32();
    if (!object || !object->Definition || !object->Definition->destruction) return nullptr;
    if (object->Definition->destruction->kind == kDestructionFragData && !IsFreeObjectId(fragmentId)) return kIdInUse;
    object->ApplyDestruction(fragmentId);
    TvCreateSprayEmitter(4, object->GetCentre());
    return nullptr;
}

// The object's bounds go, and the boxes of every node below its root.
void RemoveBounds(ClientObject* object) {
    if (!object->Model) return;
    object->Model->ReleaseBounds();
    if (!object->Model->Root) return;
    std::vector<AwShapeInstance*> pending;
    for (AwShapeInstance* child : object->Model->Root->Children) pending.push_back(child);
    while (!pending.empty()) {
        AwShapeInstance* node = pending.back();
        pending.pop_back();
        delete node->Box;
        node->Box = nullptr;
        for (AwShapeInstance* child : node->Children) pending.push_back(child);
    }
}

} // namespace

const ServerMessageRow kObjectMessageRows[] = {
    ExactRow(3, "MSG_OWNER_NOTICE", 8, OnRecordObject<OwnerNotice>),
    ExactRow(100, "MSG_CREATE_OBJECT", 48, OnCreateObject),
    ExactRow(73, "MSG_REMOVE_OBJECT", 8, OnRecordObject<RemoveObject>),
    ExactRow(55, "MSG_DAMAGE", 20, OnDamage),
    ExactRow(56, "MSG_DESTROYED", 20, OnDestroyed),
    ExactRow(59, "MSG_UNIT_MOVING", 56, OnMotion<UnitMoving>),
    ExactRow(60, "MSG_UNIT_STOPPED", 56, OnMotion<UnitStopped>),
    ExactRow(61, "MSG_UNIT_PLACED", 56, OnMotion<UnitPlaced>),
    ExactRow(57, "MSG_UNIT_HEADING", 80, OnUnitHeading),
    ExactRow(58, "MSG_FOLLOW_ORDER_ADDED", 24, OnFollowOrderAdded),
    ExactRow(62, "MSG_UNIT_MODE", 12, OnRecordObjectInt<SetModeWord>),
    ExactRow(72, "MSG_UNIT_COLLAPSED", 56, OnMotion<ClientUnitCollapse>),
    ExactRow(95, "MSG_UNIT_SPEED_CHANGE", 60, OnSpeedChange),
    ExactRow(111, "MSG_MOVE", 40, OnMove),
    ExactRow(112, "MSG_TELEPORT", 40, OnTeleport),
    ExactRow(80, "MSG_OWNER_CHANGED", 12, OnOwnerChanged),
    ExactRow(85, "MSG_SET_LEVEL", 12, OnRecordObjectFloats<1, SetLevel>),
    ExactRow(86, "MSG_SET_MARK_VALUES", 16, OnRecordObjectFloats<2, SetMarkValues>),
    ExactRow(87, "MSG_CLEAR_MARK_VALUES", 8, OnRecordObject<ClearMarkValues>),
    ExactRow(88, "MSG_SET_SELECT_VALUES", 20, OnSetSelectValues),
    ExactRow(89, "MSG_CLEAR_SELECT_VALUES", 8, OnRecordObject<ClearSelectValues>),
    ExactRow(139, "MSG_SEVER_PART", 16, OnSeverPart),
    ExactRow(138, "MSG_LINK_OBJECT", 12, OnLinkObject),
    ExactRow(147, "MSG_SET_ARMOUR", 12, OnRecordObjectFloats<1, SetArmour>),
    ExactRow(148, "MSG_SET_SHIELD", 12, OnRecordObjectFloats<1, SetShield>),
    ExactRow(149, "MSG_SET_HEALTH", 12, OnRecordObjectFloats<1, SetHealth>),
    ExactRow(151, "MSG_UNIT_RESET", 8, OnRecordObject<ResetObject>),
    ExactRow(157, "MSG_CLOAK", 20, OnCloak),
    ExactRow(158, "MSG_AUDIO_CLOAK", 16, OnRecordObjectFloats<2, AudioCloak>),
    ExactRow(185, "MSG_HEAP_CONTENTS", 12, OnHeapContents),
    ExactRow(105, "MSG_REMOVE_SUB_SHAPE", 8, OnRecordObject<RemoveSubShape>),
    ExactRow(107, "MSG_BREAK_UP", 12, OnBreakUp),
    ExactRow(187, "MSG_REMOVE_BOUNDS", 8, OnRecordObject<RemoveBounds>),
    ExactRow(196, "MSG_SHADOW", 8, OnRecordObject<BuildShadow>),
    ExactRow(195, "MSG_SELECT", 8, OnRecordObject<SelectObject>),
    // The unit's shown orders: a hold order in front, the hold order off, the front order off.
    ExactRow(101, "MSG_ORDER_HOLD", 8, OnRecordObject<ClientUnitPushHoldOrder>),
    ExactRow(102, "MSG_ORDER_HOLD_DONE", 8, OnRecordObject<ClientUnitDropHoldOrder>),
    ExactRow(134, "MSG_ORDER_DONE", 8, OnRecordObject<ClientUnitDropFrontOrder>),
};
const size_t kObjectMessageRowCount = std::size(kObjectMessageRows);
