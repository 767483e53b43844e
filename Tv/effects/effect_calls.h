#pragma once
// What the client's message handlers call of the world effects, the fog of
// war and the shadow casters before those exist. The effects install the
// handlers when they start; until then every call does nothing and the fog
// of war answers the engine's fog level (clear while none is installed).
// Main thread only.

#include <cstdint>

#include "core/maths.h"
#include "core/matrix.h"

class ClientObject;
struct LightRecord;
struct ObjectDefinition;

// A timed reveal of the fog of war: pos, radius, kind, duration in ticks of
// the calling thread's clock.
struct FogRevealer {
    Vector3 Position{0, 0, 0};
    Real Radius = 0;
    int32_t Kind = 1;
    int32_t DurationTicks = 0;
};

// A revealer of `seconds` at a place, its duration converted with the calling thread's clock.
FogRevealer MakeFogRevealer(const Vector3& position, Real radius, int32_t kind, Real seconds);

// The fog value (0 clear .. 254 fogged) at which the fog hides impacts and explosions.
constexpr int32_t kFogHidesEffects = 254;

// The kinds of light effect a message adds.
enum class LightEffectKind : int32_t { Steady, Blinking };

// The particle emitters a message starts at an object, which keeps it as its first emitter.
enum class ObjectEmitterKind : int32_t { Light, Smoke };

struct EffectHooks {
    // Explosions and bursts at a place.
    void (*sizedExplosion)(const Vector3& position, Real size) = nullptr;
    void (*explosion)(const Vector3& position) = nullptr;
    void (*empBurst)(const Vector3& position) = nullptr;
    void (*sparkBurst)(const Vector3& position) = nullptr;
    void (*particlePuff)(const Vector3& position) = nullptr;
    void (*flareGlow)(const Vector3& position) = nullptr;
    void (*impactSparks)(const Vector3& position) = nullptr;
    // The spray burst the projectile definition's impact names.
    void (*impactSpray)(const Vector3& position, const ObjectDefinition* projectile) = nullptr;
    // A burst along the projectile's velocity at the end time (ticks).
    void (*impactStreak)(const Vector3& position, const Vector3& velocity, uint64_t ticks) = nullptr;
    // A flash coloured by the two RGB triples of the definition's hit light.
    void (*impactFlash)(const Vector3& position, const LightRecord& light) = nullptr;
    void (*sprayEmitter)(int32_t type, const Vector3& position) = nullptr;
    // Object effects: materialise from the object's start time, shield hit
    // at the game clock's 32-bit time, destruction at a tick time.
    void (*materialise)(ClientObject* object, uint64_t startTicks) = nullptr;
    void (*shieldHit)(ClientObject* object, uint32_t time) = nullptr;
    void (*destroyed)(ClientObject* object, uint64_t ticks) = nullptr;
    void (*objectEmitter)(ClientObject* object, ObjectEmitterKind kind) = nullptr;
    // Lights and texture animation.
    void (*lightEffect)(LightEffectKind kind, const Vector3& position, const Colour& first, const Colour& second,
                        Real period) = nullptr;
    // `pairs` holds 2 x count floats.
    void (*textureAnimation)(ClientObject* object, int32_t count, const float* pairs) = nullptr;
    // Airstrike: a spotlight at a floor point at the game clock's 32-bit time, then the effect over the box.
    void (*spotlight)(const Vector3& position, uint32_t time) = nullptr;
    void (*airstrike)(const Vector3& first, const Vector3& second) = nullptr;
    // Fog of war.
    void (*addFogRevealer)(const FogRevealer& revealer) = nullptr;
    void (*addDefogger)(ClientObject* object) = nullptr;
    void (*removeDefogger)(ClientObject* object) = nullptr;
    // Shadow casters.
    void (*removeShadowCaster)(ClientObject* object) = nullptr;
    void (*buildShadowCaster)(ClientObject* object) = nullptr;
    // A bolt of lightning between two points, with its owner (an interface
    // beam finding a mine, a unit's sparks): start value, width and life.
    void (*bolt)(const Vector3& from, const Vector3& to, Real start, Real width, Real life,
                 ClientObject* owner) = nullptr;
};

// Installs the handlers (a default-constructed record removes them).
void SetEffectHooks(const EffectHooks& hooks);

void TvSpawnSizedExplosion(const Vector3& position, Real size);
void TvSpawnExplosion(const Vector3& position);
void TvSpawnEmpBurst(const Vector3& position);
void TvSpawnSparkBurst(const Vector3& position);
void TvSpawnParticlePuff(const Vector3& position);
void TvSpawnFlareGlow(const Vector3& position);
void TvSpawnImpactSparks(const Vector3& position);
void TvSpawnImpactSpray(const Vector3& position, const ObjectDefinition* projectile);
void TvSpawnImpactStreak(const Vector3& position, const Vector3& velocity, uint64_t ticks);
void TvSpawnImpactFlash(const Vector3& position, const LightRecord& light);
void TvCreateSprayEmitter(int32_t type, const Vector3& position);
void TvAddMaterialise(ClientObject* object, uint64_t startTicks);
void TvObjectShieldHitEffect(ClientObject* object, uint32_t time);
void TvObjectDestroyedEffect(ClientObject* object, uint64_t ticks);
void TvStartObjectEmitter(ClientObject* object, ObjectEmitterKind kind);
void TvAddLightEffect(LightEffectKind kind, const Vector3& position, const Colour& first, const Colour& second,
                      Real period);
void TvAddTextureAnimation(ClientObject* object, int32_t count, const float* pairs);
void TvAddSpotlight(const Vector3& position, uint32_t time);
void TvAddAirstrikeEffect(const Vector3& first, const Vector3& second);
void TvAddFogRevealer(const FogRevealer& revealer);
void TvAddDefogger(ClientObject* object);
void TvRemoveDefogger(ClientObject* object);
void TvRemoveShadowCaster(ClientObject* object);
void TvBuildShadowCaster(ClientObject* object);
void TvAddBolt(const Vector3& from, const Vector3& to, Real start, Real width, Real life, ClientObject* owner);

// The fog value at a place (the engine's fog level: 0 while no fog of war is installed).
int32_t TvFogLevelAt(const Vector3& position);
