// Server-to-client records of appearance: stances, animations, alerts, burning states, lights and emitters.

#include <iterator>
#include <string>
#include <vector>

#include "Awapi/particles.h"
#include "Tv/client/client_sounds.h"
#include "Tv/effects/effect_calls.h"
#include "Tv/server/client_record_objects.h"
#include "Tv/server/server_message_catalogue.h"
#include "core/clock.h"
#include "core/hashtable.h"

namespace {

constexpr int32_t kSoundAlertCleared = 40;
constexpr int32_t kSoundState4 = 36;
constexpr int32_t kSoundCooled = 37;
constexpr int32_t kSoundStateNormal = 78;
constexpr Real kState2Seconds = 1.0f;
constexpr Real kBurningSeconds = 17.0f;
constexpr Real kLightEmitterRange = 5.0f;
constexpr int32_t kSpeedOne = 65536; // 16.16

// The name begins with `prefix`, without regard to case.
bool NameStartsWith(const char* name, const char* prefix) {
    for (; *prefix; ++name, ++prefix)
        if (NameLower(*name) != NameLower(*prefix)) return false;
    return true;
}

void PopupRaise(ClientObject* object) { ClientPopupSetRaised(object, false); }
void PopupRaiseNow(ClientObject* object) { ClientPopupSetRaised(object, true); }

// 76 to 78: {type, id, cloaked byte}.
template <int32_t stance, bool instant, bool heldByCutscene> const char* OnStance(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const bool cloaked = in.U8() != 0;
    if (object && !(heldByCutscene && IsCutsceneHeld(object))) ClientUnitSetStance(object, stance, cloaked, instant);
    return nullptr;
}

const char* OnPlayAnimation(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const int32_t sequence = in.I32();
    const int32_t flags = in.I32();
    const Real time = in.F32();
    const int32_t repeat = in.I32();
    const bool reportEnd = in.U8() != 0;
    if (!IsFiniteValue(time)) return kNotFinite;
    if (!object || ClientUnitAnimationLocked(object) || IsCutsceneHeld(object) || time < object->LastSeconds)
        return nullptr;
    object->PlayAnimation(sequence, kSpeedOne, repeat, GameClock.GetTime32(),
                          reportEnd ? ClientUnitAnimationDoneFlag(object) : nullptr, static_cast<uint32_t>(flags));
    return nullptr;
}

void PlayOnce(ClientObject* object, int32_t sequence) { object->PlayAnimationOnce(sequence); }

void SetAlertArea(ClientObject* object, const Real* times) { object->SetAlertArea(times[0], times[1]); }
void SetAlert(ClientObject* object, const Real* times) { object->SetAlert(times[0], times[1]); }
void ClearAlertArea(ClientObject* object) { object->ClearAlertArea(); }

void ClearAlert(ClientObject* object) {
    object->Announced = 0;
    TvPlaySound(kSoundAlertCleared, "");
}

// The first emitter burns (held off) or not.
void HoldEmitter(ClientObject* object, bool held) {
    if (!object->Emitter) return;
    if (held)
        object->Emitter->flags |= kEmitterHeld;
    else
        object->Emitter->flags &= static_cast<uint8_t>(~kEmitterHeld);
}

void SetState4(ClientObject* object) {
    object->State = 4;
    PlayObjectSound(kSoundState4, object);
}

void SetState2(ClientObject* object) {
    object->State = 2;
    object->StateEndTime = TicksAfter(GameClock.GetTime(), kState2Seconds);
    HoldEmitter(object, false);
    ClientUnitStartStateTimer(object);
}

void SetState0(ClientObject* object) {
    const ObjectDefinition* definition = object->Definition;
    if (definition && !definition->name.IsNone()) {
        if (object->State != 0) PlayObjectSound(kSoundCooled, object);
        if (!NameStartsWith(definition->name.Get(), "technobox")) PlayObjectSound(kSoundStateNormal, object);
    }
    object->State = 0;
    HoldEmitter(object, true);
}

void SetState1(ClientObject* object) {
    object->State = 1;
    object->StateEndTime = TicksAfter(GameClock.GetTime(), kBurningSeconds);
    HoldEmitter(object, false);
}

Colour PackedColour(uint8_t red, uint8_t green, uint8_t blue) {
    Colour colour;
    colour.SetBytes(red, green, blue, 0);
    return colour;
}

void LightEmitter(ClientObject* object) {
    object->CreateLight(PackedColour(4, 2, 2), PackedColour(4, 3, 3), kLightEmitterRange);
    TvStartObjectEmitter(object, ObjectEmitterKind::Light);
}

void Smoke(ClientObject* object) { TvStartObjectEmitter(object, ObjectEmitterKind::Smoke); }

void StopEmitter(AwParticleEmitter*& emitter) {
    if (emitter) emitter->Stop();
    emitter = nullptr;
}

void StopParticles(ClientObject* object) {
    object->ReleaseLight();
    StopEmitter(object->Emitter);
    StopEmitter(object->Emitter2);
}

const char* OnCorona(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    ClientObject* track = ReadRecordObject(in);
    Colour colour;
    const bool finite = ReadColour(in, colour);
    std::string part;
    if (!in.CString(part)) return "unterminated text";
    if (!finite) return kNotFinite;
    if (!object) return nullptr;
    object->AddCoronaAtPart(part.c_str(), colour);
    if (track && track->IsTrackObject()) {
        ClientTrackObjectSetSignalObject(track, object->GetId());
        HoldEmitter(object, true);
    }
    return nullptr;
}

template <LightEffectKind kind> const char* OnLightEffect(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    const Vector3 position = ReadPosition(in);
    Colour first, second = Colour::FromFloats(0, 0, 0, 0);
    bool finite = ReadColour(in, first);
    Real period = 0;
    if (kind == LightEffectKind::Blinking) {
        finite = ReadColour(in, second) && finite;
        period = in.F32();
    }
    if (!finite || !IsFiniteVector(position) || !IsFiniteValue(period)) return kNotFinite;
    TvAddLightEffect(kind, position, first, second, period);
    return nullptr;
}

const char* OnTextureAnimate(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const int32_t count = in.I32();
    if (count < 1) return "no texture animation pairs";
    std::vector<float> pairs(static_cast<size_t>(count) * 2);
    for (float& value : pairs) {
        value = in.F32();
        if (!IsFiniteValue(value)) return kNotFinite;
    }
    if (!in.ok()) return "count does not match the record's size";
    if (object) TvAddTextureAnimation(object, count, pairs.data());
    return nullptr;
}

} // namespace

const ServerMessageRow kAppearanceMessageRows[] = {
    ExactRow(74, "MSG_POPUP_RAISE", 8, OnRecordObject<PopupRaise>),
    ExactRow(75, "MSG_POPUP_RAISE_NOW", 8, OnRecordObject<PopupRaiseNow>),
    ExactRow(76, "MSG_UNIT_ALT_STANCE", 9, OnStance<1, false, true>),
    ExactRow(77, "MSG_UNIT_ALT_STANCE_NOW", 9, OnStance<1, true, false>),
    ExactRow(78, "MSG_UNIT_NORMAL_STANCE", 9, OnStance<0, false, true>),
    ExactRow(79, "MSG_PLAY_ANIMATION", 25, OnPlayAnimation),
    ExactRow(186, "MSG_ANIM", 12, OnRecordObjectInt<PlayOnce>),
    ExactRow(81, "MSG_SET_ALERT_AREA", 16, OnRecordObjectFloats<2, SetAlertArea>),
    ExactRow(82, "MSG_CLEAR_ALERT_AREA", 8, OnRecordObject<ClearAlertArea>),
    ExactRow(83, "MSG_SET_ALERT", 16, OnRecordObjectFloats<2, SetAlert>),
    ExactRow(84, "MSG_CLEAR_ALERT", 8, OnRecordObject<ClearAlert>),
    ExactRow(96, "MSG_STATE_4", 8, OnRecordObject<SetState4>),
    ExactRow(97, "MSG_STATE_2", 8, OnRecordObject<SetState2>),
    ExactRow(98, "MSG_STATE_0", 8, OnRecordObject<SetState0>),
    ExactRow(99, "MSG_STATE_1", 8, OnRecordObject<SetState1>),
    ExactRow(178, "MSG_LIGHT_EMITTER", 8, OnRecordObject<LightEmitter>),
    ExactRow(190, "MSG_SMOKE", 8, OnRecordObject<Smoke>),
    ExactRow(191, "MSG_STOP_PARTICLES", 8, OnRecordObject<StopParticles>),
    TextsRow(198, "MSG_CORONA", 36, 1, OnCorona),
    ExactRow(192, "MSG_ADD_LIGHT", 40, OnLightEffect<LightEffectKind::Steady>),
    ExactRow(193, "MSG_ADD_BLINKING_LIGHT", 68, OnLightEffect<LightEffectKind::Blinking>),
    CountedRow(197, "MSG_TEXTURE_ANIMATE", 12, 8, 8, OnTextureAnimate),
};
const size_t kAppearanceMessageRowCount = std::size(kAppearanceMessageRows);
