// The client object's emitters made from its model, its destruction effects
// and its status caption. The fragment's break-up into debris comes with the
// debris effects.

#include "Awapi/model/model_node.h"
#include "Awapi/object.h"
#include "Awapi/particles.h"
#include "Tv/client/client_object_parts.h"
#include "Tv/client/client_objects.h"
#include "Tv/client/client_sounds.h"
#include "Tv/effects/effect_calls.h"
#include "Tv/server/object_caption.h"
#include "core/clock.h"

namespace {

constexpr const char* kCoronaPart = "lightdum";
constexpr int32_t kExhaustParticleType = 0; // drifting smoke
constexpr float kExhaustRate = 8.0f;
constexpr float kExhaustGrey = 0.55f;
constexpr float kExhaustSize = 0.6f;

constexpr int32_t kStatusCaptionKind = 1;
constexpr int32_t kDestructionPuff = 1;
constexpr int32_t kSoundExplosion = 14;
constexpr int32_t kSoundBreakUp = 15;
constexpr float kBreakUpExplosionSize = 25.0f;

// A short grey plume.
AwParticleParams ExhaustParams() {
    AwParticleParams params;
    params.type = kExhaustParticleType;
    params.rate = kExhaustRate;
    params.colour1 = Colour::FromFloats(kExhaustGrey, kExhaustGrey, kExhaustGrey, 1.0f);
    params.colour2 = Colour::FromFloats(kExhaustGrey, kExhaustGrey, kExhaustGrey, 0.0f);
    params.startSize = kExhaustSize;
    params.endSize = kExhaustSize * 2.0f;
    return params;
}

// Kind 3: the named part comes off the model, and a fragment object of the
// record's definition takes the centre, with the model's scale.
void BreakUp(ClientObject& object, const FragDataRecord& record, int32_t fragmentId, const Vector3& centre) {
    TvPlaySound(kSoundBreakUp, "");
    if (const char* part = record.remove.Get(); part && object.Model) {
        object.Model->DeleteSubShape(part);
        if (object.ObjectRenderFlags & kRenderShadowCaster) {
            TvRemoveShadowCaster(&object);
            TvBuildShadowCaster(&object);
        }
        object.OnRemoveHook();
        object.Dead = 1;
    }
    if (record.role && TvNewClientObject(0, *record.role, centre, Quaternion{0, 0, 0, 1}, fragmentId, 0) != -1) {
        ClientObject* fragment = TvFindClientObject(fragmentId);
        fragment->IsFragment = 1;
        if (object.Model && fragment->Model && !(object.Model->Flags() & frame_flags::kUnitScale)) {
            fragment->Model->ClearFlagBit31();
            fragment->Model->SetScale(object.Model->Scale());
        }
    }
    const CharacterRecord* character = object.IsUnit() ? object.GetCharacterRecord() : nullptr;
    TvSpawnSizedExplosion(centre, character ? character->strength : kBreakUpExplosionSize);
}

} // namespace

bool ModelPartPosition(const ClientObject& object, const char* part, int32_t time, Vector3& out) {
    Vector3 local;
    if (!object.Model || !object.Model->GetSubShapePosition(local, part, time)) return false;
    object.Model->GetMatrix()->TransformPoint(out, local);
    return true;
}

void AddModelEmitters(ClientObject& object) {
    if (!object.Model) return;
    Vector3 part;
    const auto time = static_cast<int32_t>(GameClock.GetTime32());
    if (!object.Emitter && ModelPartPosition(object, kCoronaPart, time, part)) {
        object.AddCoronaAtPart(kCoronaPart, Colour::FromFloats(1.0f, 0.0f, 0.0f, 0.6f));
        if (object.Emitter) object.Emitter->flags |= kEmitterHeld; // burns only after message 99
    }
    if (!ParticleTypes) return;
    for (const OwnedText& name : ExhaustDummyNames) {
        Vector3 dummy;
        if (!ModelPartPosition(object, name.Get(), time, dummy)) continue;
        auto* exhaust = new ExhaustEmitter;
        exhaust->Emitter = new AwParticleEmitter(ExhaustParams(), dummy, false);
        exhaust->DummyName = name;
        object.ExhaustEmitters.PushBack(exhaust);
    }
}

void ClientObject::AddCoronaAtPart(const char* part, const Colour& colour) {
    if (!Model || Emitter) return;
    Vector3 position;
    if (!ModelPartPosition(*this, part, static_cast<int32_t>(GameClock.GetTime32()), position)) return;
    // Coronas come with the world effects; until then a model part carries none.
    (void)colour;
}

void ClientObject::ApplyDestruction(int32_t fragmentId) {
    const DestructionRecord* record = Definition ? Definition->destruction.get() : nullptr;
    if (!record) return;
    const Vector3 centre = GetCentre();
    switch (record->kind) {
    case kDestructionPuff: TvSpawnParticlePuff(centre); return;
    case kDestructionFragData: BreakUp(*this, static_cast<const FragDataRecord&>(*record), fragmentId, centre); return;
    case kDestructionFragScript:
        OnRemoveHook();
        Dead = 1;
        return;
    default:
        TvSpawnExplosion(centre);
        TvPlaySound(kSoundExplosion, "");
        return;
    }
}

void ClientObject::ShowStatusText(const char* text) { TvShowObjectCaption(*this, text, kStatusCaptionKind); }
