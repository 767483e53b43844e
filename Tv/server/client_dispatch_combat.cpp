// Server-to-client records of combat: projectiles, attack orders, weapons and explosions.

#include <iterator>

#include "Tv/client/client_sounds.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/effects/effect_calls.h"
#include "Tv/server/client_link.h"
#include "Tv/server/client_record_objects.h"
#include "Tv/server/client_service_hooks.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/object_caption.h"
#include "Tv/server/server_message_catalogue.h"
#include "core/clock.h"
#include "core/stringtable.h"

namespace {

// Fire shows where it came from, and a hit on an enemy where it landed.
constexpr Real kShooterRevealRadius = 25.0f;
constexpr Real kTargetRevealRadius = 20.0f;
constexpr Real kRevealSeconds = 60.0f;
constexpr int32_t kRevealKind = 1;

constexpr int32_t kSoundTavrinPower = 82;
constexpr int32_t kSoundPowerCharge = 54;
constexpr int32_t kSoundLastRound = 34;
constexpr int32_t kSoundExplosion = 14;
constexpr int32_t kSoundEmp = 54;
constexpr int32_t kSoundMaterialise = 54;
constexpr int32_t kSoundSpark = 67;
constexpr int32_t kSoundNotice = 40;
constexpr uint32_t kObjectNoticeText = 12560;
constexpr int32_t kObjectNoticeCaptionKind = 4;
constexpr int32_t kSprayEmitterImpact = 3;
constexpr Real kExplosionSize = 100.0f;

bool Fogged(const Vector3& position) { return TvFogLevelAt(position) >= kFogHidesEffects; }

void RevealAt(const Vector3& position, Real radius) {
    TvAddFogRevealer(MakeFogRevealer(position, radius, kRevealKind, kRevealSeconds));
}

// What the shooter of a fired projectile shows: its fire animation, the
// weapon's sound and the bookkeeping of its rounds.
void ShowShot(ClientObject* shooter, const ObjectDefinition* projectile, Real time) {
    ClientBotPlayFireAnimation(shooter, time);
    if (DefinitionNamed(projectile, "tavrin_power")) {
        TvPlaySound(kSoundTavrinPower, "");
        TvPlaySound(kSoundPowerCharge, "");
    } else if (const WeaponInstance* weapon = shooter->GetWeapon()) {
        if (shooter->Model) TvPlaySound(weapon->Sound, "t", shooter->Model);
    }
    if (ClientBotFiredShot(shooter)) TvPlaySound(kSoundLastRound, "");
}

const char* OnProjectileFired(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    const int32_t shooterId = in.I32();
    const int32_t targetId = in.I32();
    const ObjectDefinition* definition = DefinitionRegistry::FindById(in.I32());
    const int32_t team = in.U8();
    in.Skip(3);
    Real time = in.F32();
    const Vector3 position = ReadPosition(in);
    const Quaternion orientation = ReadOrientation(in);
    const Real speed = in.F32();
    const int32_t weaponType = in.I32();
    const int32_t id = in.I32();
    if (!IsFiniteValue(time) || !IsFiniteVector(position) || !IsFiniteQuaternion(orientation) || !IsFiniteValue(speed))
        return kNotFinite;
    if (speed < 0) return "negative speed";
    if (!IsObjectTeam(team)) return "team out of range";
    if (weaponType < 0 || weaponType > kNoWeapon) return "weapon type out of range";
    if (TvIsRemovedProjectile(id)) return nullptr;
    if (!IsFreeObjectId(id)) return kIdInUse;

    time = ClampToGameNow(time);
    if (team != LocalTeam) RevealAt(position, kShooterRevealRadius);
    ClientObject* projectile = nullptr;
    if (definition && (definition->shape || definition->model)) {
        projectile =
            TvNewClientProjectile(team, *definition, position, orientation, speed, shooterId, targetId, weaponType, id);
        if (projectile) {
            projectile->Start(GameSecondsToTicks(time), time);
            const uint32_t flags = ClientProjectileFlags(projectile);
            if (flags & kProjectileFlare) TvSpawnFlareGlow(position);
            if (flags & kProjectileDefogger) {
                TvAddDefogger(projectile);
                projectile->SetModeFlag(1);
            }
        }
    }
    ClientObject* shooter = TvFindClientObject(shooterId);
    if (!shooter) return nullptr;
    if (weaponType != kNoWeapon) ShowShot(shooter, definition, time);
    if (projectile) ClientProjectileTakeShooterValue(projectile, shooter);
    return nullptr;
}

// What a projectile that ended at `end` did to the object it hit. Answers
// whether a fog revealer was added there.
bool ShowHit(ClientObject* target, uint32_t flags, bool impactFlag, const Vector3& end, Real time) {
    if (!(impactFlag && (flags & kProjectileImpactEffects))) TvSpawnImpactSparks(end);
    bool revealed = false;
    if (target->Team != LocalTeam && target->Team != 0) {
        RevealAt(end, kTargetRevealRadius);
        revealed = true;
    }
    if (flags & kProjectileDestroys) {
        const bool alive = DefinitionNamed(target->Definition, "fragboulder") || target->IsAlive();
        if (!alive || target->GetHealthFraction() < 0.001f) {
            TvObjectDestroyedEffect(target, GameSecondsToTicks(time));
            target->Remove();
        }
    }
    return revealed;
}

// The effects a projectile's flags give its impact; answers whether any ran.
bool ShowImpactEffects(ClientObject* projectile, uint32_t flags, const Vector3& end, Real time) {
    const ObjectDefinition* definition = projectile->Definition;
    bool ran = false;
    if (flags & kProjectileSpray) {
        TvSpawnImpactSpray(end, definition);
        TvCreateSprayEmitter(kSprayEmitterImpact, end);
        ran = true;
    }
    if (flags & kProjectileStreak) {
        TvSpawnImpactStreak(end, ClientProjectileVelocity(projectile), GameSecondsToTicks(time));
        ran = true;
    }
    if (flags & kProjectileEmp) {
        TvSpawnEmpBurst(end);
        ran = true;
    }
    if (definition && definition->projectile && definition->projectile->hitLight)
        TvSpawnImpactFlash(end, *definition->projectile->hitLight);
    return ran;
}

const char* OnProjectileGone(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    const int32_t id = in.I32();
    const int32_t targetId = in.I32();
    Real time = in.F32();
    const Vector3 end = ReadPosition(in);
    const bool impactFlag = in.U8() != 0;
    if (!IsFiniteValue(time) || !IsFiniteVector(end)) return kNotFinite;

    time = ClampToGameNow(time);
    ClientObject* projectile = TvFindClientObject(id);
    if (!projectile) {
        TvRememberRemovedProjectile(id);
        TvSpawnParticlePuff(end);
        return nullptr;
    }
    if (!projectile->IsProjectile()) return "object is no projectile";
    // The hit may remove objects; the projectile stays valid until it is done with.
    projectile->AddRef();
    const ObjectDefinition* definition = projectile->Definition;
    const uint32_t flags = ClientProjectileFlags(projectile);
    bool hit = false, revealed = false;
    if (targetId == -1) {
        TvScareBackgroundCreatures(end);
    } else if (ClientObject* target = TvFindClientObject(targetId)) {
        hit = true;
        revealed = ShowHit(target, flags, impactFlag, end, time);
    }
    bool flagEffects = false;
    if (revealed || !Fogged(end)) flagEffects = ShowImpactEffects(projectile, flags, end, time);
    if (definition && definition->projectile && definition->projectile->sound)
        PlaySoundAtPoint(definition->projectile->sound, end);
    ClientProjectileEndTrails(projectile, end);
    projectile->SetPosition(end);
    projectile->Remove();
    projectile->Release();
    if (!hit && !flagEffects) TvSpawnParticlePuff(end);
    return nullptr;
}

const char* OnQueueAttackActor(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* bot = ReadRecordObject(in);
    in.Skip(4);
    const int32_t targetId = in.I32();
    if (bot) ClientBotQueueServerOrder(bot, targetId);
    return nullptr;
}

template <bool alternate> const char* OnAttackPoint(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* bot = ReadRecordObject(in);
    const Real time = in.F32();
    const Vector3 point = ReadPosition(in);
    if (!IsFiniteValue(time) || !IsFiniteVector(point)) return kNotFinite;
    if (bot && !IsCutsceneHeld(bot)) ClientBotAttackPoint(bot, point, time, alternate);
    return nullptr;
}

template <bool alternate> const char* OnAttackObject(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* bot = ReadRecordObject(in);
    const Real time = in.F32();
    ClientObject* target = ReadRecordObject(in);
    if (!IsFiniteValue(time)) return kNotFinite;
    if (bot && !IsCutsceneHeld(bot)) ClientBotAttackObject(bot, target, time, alternate);
    return nullptr;
}

void StopAttacking(ClientObject* bot, const Real* time) { ClientBotStopAttacking(bot, *time); }

void StartScan(ClientObject* object, const Real* time) {
    if (object->IsBot()) ClientBotStartScan(object, *time);
}

void AttackDone(ClientObject* bot) {
    if (ClientBotAttackTargetPending(bot)) TvRefreshCursorMode(true);
}

const char* OnSetAmmoType(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* bot = ReadRecordObject(in);
    const int32_t ammoType = in.I32();
    if (ammoType < 0 || ammoType >= kAmmoTypeCount) return "ammunition type out of range";
    if (bot) ClientBotChangeAmmoType(bot, ammoType);
    return nullptr;
}

const char* OnSetWeapon(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* bot = ReadRecordObject(in);
    const int32_t weaponType = in.I32();
    if (weaponType < 0 || weaponType > kNoWeapon) return "weapon type out of range";
    if (bot) ClientBotSetWeapon(bot, weaponType);
    return nullptr;
}

const char* OnThrowDecoy(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* unit = ReadRecordObject(in);
    const Vector3 point = ReadPosition(in);
    if (!IsFiniteVector(point)) return kNotFinite;
    if (unit) ClientUnitThrowDecoy(unit, point);
    return nullptr;
}

// Explosions {type, pos}: the effect unless the fog hides it (`sized` ones always show), and the sound.
template <void (*effect)(const Vector3&), int32_t sound, bool alwaysShown>
const char* OnExplosion(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    const Vector3 position = ReadPosition(in);
    if (!IsFiniteVector(position)) return kNotFinite;
    if (alwaysShown || !Fogged(position)) effect(position);
    PlaySoundAtPoint(sound, position);
    return nullptr;
}

void SizedExplosion(const Vector3& position) { TvSpawnSizedExplosion(position, kExplosionSize); }

const char* OnMaterialise(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const Vector3 position = ReadPosition(in);
    if (!IsFiniteVector(position)) return kNotFinite;
    const bool fogged = Fogged(position);
    if (!object) return nullptr;
    if (!fogged) TvAddMaterialise(object, object->StartTicks);
    PlaySoundAtPoint(kSoundMaterialise, position);
    return nullptr;
}

void ObjectSpark(ClientObject* object) {
    PlayObjectSound(kSoundSpark, object);
    TvSpawnSparkBurst(object->Position);
}

const char* OnObjectNotice(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    if (const ClientObject* object = ReadRecordObject(in))
        if (const char* text = StringTableLookup(kObjectNoticeText))
            TvShowObjectCaption(*object, text, kObjectNoticeCaptionKind);
    TvPlaySound(kSoundNotice, "");
    TvRaiseCursorAlert();
    return nullptr;
}

} // namespace

const ServerMessageRow kCombatMessageRows[] = {
    ExactRow(70, "MSG_PROJECTILE_FIRED", 64, OnProjectileFired),
    ExactRow(71, "MSG_PROJECTILE_GONE", 29, OnProjectileGone),
    ExactRow(30, "MSG_QUEUE_ATTACK_ACTOR", 16, OnQueueAttackActor),
    ExactRow(63, "MSG_ATTACK_POINT", 24, OnAttackPoint<false>),
    ExactRow(64, "MSG_ATTACK_POINT_ALT", 24, OnAttackPoint<true>),
    ExactRow(65, "MSG_ATTACK_OBJECT", 16, OnAttackObject<false>),
    ExactRow(66, "MSG_ATTACK_OBJECT_ALT", 16, OnAttackObject<true>),
    ExactRow(68, "MSG_STOP_ATTACK", 12, OnRecordObjectFloats<1, StopAttacking>),
    ExactRow(69, "MSG_ATTACK_DONE", 8, OnRecordObject<AttackDone>),
    ExactRow(113, "MSG_BOT_SCAN", 12, OnRecordObjectFloats<1, StartScan>),
    ExactRow(130, "MSG_SET_AMMO_TYPE", 12, OnSetAmmoType),
    ExactRow(131, "MSG_SET_WEAPON", 12, OnSetWeapon),
    ExactRow(146, "MSG_THROW_DECOY", 20, OnThrowDecoy),
    ExactRow(104, "MSG_EXPLOSION", 16, OnExplosion<SizedExplosion, kSoundExplosion, true>),
    ExactRow(108, "MSG_MINE_EXPLOSION", 16, OnExplosion<TvSpawnExplosion, kSoundExplosion, false>),
    ExactRow(109, "MSG_EMP_EXPLOSION", 16, OnExplosion<TvSpawnEmpBurst, kSoundEmp, false>),
    ExactRow(110, "MSG_MATERIALISE", 20, OnMaterialise),
    ExactRow(159, "MSG_OBJECT_SPARK", 8, OnRecordObject<ObjectSpark>),
    ExactRow(67, "MSG_OBJECT_NOTICE", 8, OnObjectNotice),
};
const size_t kCombatMessageRowCount = std::size(kCombatMessageRows);
