// How the unit looks beyond its model: the cloak and audio cloak, the flag it
// carries, the sparks of an armed mine, the movement indicator's life and the
// click-through of the one selected unit.
#include "Awapi/object.h"
#include "Awapi/shape.h"
#include "Tv/client/client_object_parts.h"
#include "Tv/client/client_sounds.h"
#include "Tv/client/client_unit.h"
#include "Tv/client/teamtable.h"
#include "Tv/defs/resourcecache.h"
#include "Tv/effects/effect_calls.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/shell_state.h"
#include "core/clock.h"
#include "core/random.h"
#include "sound/sound_system.h"

namespace {

constexpr int32_t kSoundCloak = 35;
constexpr int32_t kSoundAudioCloak = 117;
constexpr int32_t kSoundSparks = 23;
constexpr const char* kAudioCloakFile = "objects/audio cloak effect";
constexpr const char* kAudioCloakShape = "audio cloak effect";
constexpr Real kAudioCloakLightRange = 2.0f;
constexpr uint32_t kSparkChance = 3277; // of 65536, per frame
constexpr Real kBoltWidthOverRadius = 0.5f;
constexpr Real kBoltLife = 50.0f;
constexpr Real kMarkerNearSquared = 4.0f; // the indicator shows while farther than 2 m from the target

// A 3D object of the definition's model, else of its shape; null without either.
AwObject* MakeLook(const ObjectDefinition* definition) {
    if (!definition) return nullptr;
    if (definition->model) return new AwObject(*definition->model, true);
    if (definition->shape) return new AwObject(definition->shape, true);
    return nullptr;
}

void ReleaseObject(AwObject*& object) {
    if (object) object->Release();
    object = nullptr;
}

} // namespace

// ---- Cloaks ----

void ClientUnit::StartCloak(const ObjectDefinition* effect, Real start, Real end) {
    CloakEffect = effect ? effect->id : -1;
    CloakStart = start;
    CloakEnd = end;
    ReleaseObject(CloakModel);
    CloakModel = MakeLook(effect);
}

void ClientUnit::StartAudioCloak(Real start, Real end) {
    AwShape* shape = ResourceCache::GetShape(kAudioCloakFile, kAudioCloakShape);
    ResourceCache::ReleaseFiles();
    if (!shape) {
        AudioCloakActive = 0;
        return;
    }
    AudioCloakActive = 1;
    AudioCloakStart = start;
    AudioCloakEnd = end;
    ReleaseObject(AudioCloakModel);
    AudioCloakModel = new AwObject(shape, true);
    shape->ReleaseUse();
    CreateLight(Colour::FromFloats(0.4f, 0.4f, 0.7f, 0), Colour::FromFloats(0.4f, 0.4f, 0.7f, 0),
                kAudioCloakLightRange);
    PlaySoundAtObject(kSoundCloak, *this);
    StopVoice();
    VoiceHandle = TvPlaySound(kSoundAudioCloak, "tel", Model);
}

void ClientUnit::UpdateCloaks(Real seconds) {
    if (CloakEffect != -1 && CloakEnd < seconds) {
        CloakEffect = -1;
        CloakStart = CloakEnd = 0;
        Cloaked = 0;
        ReleaseObject(CloakModel);
    }
    if (AudioCloakActive && AudioCloakEnd < seconds) EndAudioCloak();
}

void ClientUnit::EndAudioCloak() {
    AudioCloakActive = 0;
    AudioCloakStart = AudioCloakEnd = 0;
    ReleaseObject(AudioCloakModel);
    StopVoice();
    ReleaseLight();
}

void ClientUnit::StopVoice() {
    if (VoiceHandle != -1 && SoundSystemInstance) SoundSystemInstance->StopVoice(VoiceHandle);
    VoiceHandle = -1;
}

// ---- The movement indicator ----

void ClientUnit::UpdateMarker() {
    if (!TargetMarker) return;
    const Vector3 d = TargetPoint - Position;
    const bool shown = Team == LocalTeam && IsAlive() && Moving && Dot(d, d) > kMarkerNearSquared;
    if (!shown && static_cast<int32_t>(GameClock.GetTime32() - MarkerExpiry) > 0) ReleaseObject(TargetMarker);
}

// ---- Drawing ----

void ClientUnit::Render() {
    // Clicks pass through the one selected unit to what lies behind it.
    const bool clickThrough = Selectable && TvSelectedObjectCount() == 1 && TvIsObjectSelected(this);
    const uint32_t pickable = ObjectRenderFlags & kRenderPickable;
    if (clickThrough) ObjectRenderFlags &= ~kRenderPickable;
    ClientObject::Render();
    if (clickThrough) ObjectRenderFlags |= pickable;

    if (CarriedFlag != 0) {
        TeamRecord* flagTeam = TeamTable::GetTeam(CarriedFlag);
        Vector3 at = Position;
        const char* part = GetPartName();
        if (part) ModelPartPosition(*this, part, static_cast<int32_t>(GameClock.GetTime32()), at);
        if (flagTeam) {
            flagTeam->PlaceMarker(at.x, at.y - 0.5f, at.z, flagTeam->FlagTime);
            flagTeam->DrawFlag();
        }
    }

    if (!IsAlive() || !(Armed || MarkValueB > 0) || !Visible || GamePaused) return;
    if ((TvRandom() & 0xFFFF) >= kSparkChance) return;
    const Vector3 centre = GetCentre();
    const Vector3 spark(centre.x + Radius * RandomSigned(), centre.y + Radius * RandomSigned(),
                        centre.z + Radius * RandomSigned());
    TvSpawnSparkBurst(spark);
    TvPlaySound(kSoundSparks, "");
    TvAddBolt(centre, spark, 0, Radius * kBoltWidthOverRadius, kBoltLife, this);
}
