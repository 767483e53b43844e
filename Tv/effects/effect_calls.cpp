#include "Tv/effects/effect_calls.h"

#include "Awapi/aw3d/aw_hooks.h"
#include "core/clock.h"
#include "core/numeric.h"

namespace {

EffectHooks installed;

// Calls the installed handler of `hook`, if any.
template <auto hook, typename... Args> void Forward(Args&&... args) {
    if (installed.*hook) (installed.*hook)(args...);
}

} // namespace

FogRevealer MakeFogRevealer(const Vector3& position, Real radius, int32_t kind, Real seconds) {
    return {position, radius, kind, FloorToInt(seconds * CurrentTicksPerSecondFloat())};
}

void SetEffectHooks(const EffectHooks& hooks) { installed = hooks; }

void TvSpawnSizedExplosion(const Vector3& position, Real size) {
    Forward<&EffectHooks::sizedExplosion>(position, size);
}
void TvSpawnExplosion(const Vector3& position) { Forward<&EffectHooks::explosion>(position); }
void TvSpawnEmpBurst(const Vector3& position) { Forward<&EffectHooks::empBurst>(position); }
void TvSpawnSparkBurst(const Vector3& position) { Forward<&EffectHooks::sparkBurst>(position); }
void TvSpawnParticlePuff(const Vector3& position) { Forward<&EffectHooks::particlePuff>(position); }
void TvSpawnFlareGlow(const Vector3& position) { Forward<&EffectHooks::flareGlow>(position); }
void TvSpawnImpactSparks(const Vector3& position) { Forward<&EffectHooks::impactSparks>(position); }
void TvSpawnImpactSpray(const Vector3& position, const ObjectDefinition* projectile) {
    Forward<&EffectHooks::impactSpray>(position, projectile);
}
void TvSpawnImpactStreak(const Vector3& position, const Vector3& velocity, uint64_t ticks) {
    Forward<&EffectHooks::impactStreak>(position, velocity, ticks);
}
void TvSpawnImpactFlash(const Vector3& position, const LightRecord& light) {
    Forward<&EffectHooks::impactFlash>(position, light);
}
void TvCreateSprayEmitter(int32_t type, const Vector3& position) {
    Forward<&EffectHooks::sprayEmitter>(type, position);
}
void TvAddMaterialise(ClientObject* object, uint64_t startTicks) {
    Forward<&EffectHooks::materialise>(object, startTicks);
}
void TvObjectShieldHitEffect(ClientObject* object, uint32_t time) { Forward<&EffectHooks::shieldHit>(object, time); }
void TvObjectDestroyedEffect(ClientObject* object, uint64_t ticks) { Forward<&EffectHooks::destroyed>(object, ticks); }
void TvStartObjectEmitter(ClientObject* object, ObjectEmitterKind kind) {
    Forward<&EffectHooks::objectEmitter>(object, kind);
}
void TvAddLightEffect(LightEffectKind kind, const Vector3& position, const Colour& first, const Colour& second,
                      Real period) {
    Forward<&EffectHooks::lightEffect>(kind, position, first, second, period);
}
void TvAddTextureAnimation(ClientObject* object, int32_t count, const float* pairs) {
    Forward<&EffectHooks::textureAnimation>(object, count, pairs);
}
void TvAddSpotlight(const Vector3& position, uint32_t time) { Forward<&EffectHooks::spotlight>(position, time); }
void TvAddAirstrikeEffect(const Vector3& first, const Vector3& second) {
    Forward<&EffectHooks::airstrike>(first, second);
}
void TvAddFogRevealer(const FogRevealer& revealer) { Forward<&EffectHooks::addFogRevealer>(revealer); }
void TvAddDefogger(ClientObject* object) { Forward<&EffectHooks::addDefogger>(object); }
void TvRemoveDefogger(ClientObject* object) { Forward<&EffectHooks::removeDefogger>(object); }
void TvRemoveShadowCaster(ClientObject* object) { Forward<&EffectHooks::removeShadowCaster>(object); }
void TvBuildShadowCaster(ClientObject* object) { Forward<&EffectHooks::buildShadowCaster>(object); }
void TvAddBolt(const Vector3& from, const Vector3& to, Real start, Real width, Real life, ClientObject* owner) {
    Forward<&EffectHooks::bolt>(from, to, start, width, life, owner);
}

int32_t TvFogLevelAt(const Vector3& position) { return AwFogLevel(position.x, position.y, position.z); }
