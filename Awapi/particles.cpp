#include "Awapi/particles.h"

#include <algorithm>
#include <cmath>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/render_material.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/texture.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/bounding_box.h"
#include "Awapi/camera.h"
#include "Awapi/light_set.h"
#include "Awapi/particles_internal.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "core/random.h"

AwParticleType* ParticleTypes = nullptr;
float ParticleFloorHeight = 0.0f;
Vector3 WeatherBoxCentre{0, 0, 0};
Vector3 WeatherBoxExtents{0, 0, 0};

ParticleSystemState Particles;

namespace {

constexpr float kLightRange = 5.5f;
constexpr int32_t kEmissionScaleFloor = 655; // 0.01
constexpr int kSnowType = 2, kRainType = 11;

AwParticle* TakeParticle() {
    AwParticle* particle = Particles.freeList;
    if (!particle) return nullptr;
    Particles.freeList = particle->next;
    ++Particles.live;
    return particle;
}

void ReturnParticle(AwParticle* particle) {
    particle->next = Particles.freeList;
    Particles.freeList = particle;
    --Particles.live;
}

// Each component the product of two uniform randoms in [-1, 1).
Vector3 RandomVector() {
    const float x = RandomSigned() * RandomSigned();
    const float y = RandomSigned() * RandomSigned();
    const float z = RandomSigned() * RandomSigned();
    return {x, y, z};
}

Vector3 Scaled(const Vector3& a, const Vector3& b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }

bool IsZero(const Vector3& v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

// False when the particle dies.
bool AdvanceParticle(AwParticle& p, int32_t dt) {
    if (dt >= p.remaining || p.position.y > ParticleFloorHeight) return false;
    const AwParticleType& type = ParticleTypes[p.type];
    const float t = static_cast<float>(dt);
    p.remaining -= dt;
    p.position = p.position + (p.velocity + type.halfAccelPerTick * t) * t +
                 Scaled(type.walkPerTick, RandomVector()) * FastSqrt(t);
    p.velocity = p.velocity + type.accelPerTick * t + Particles.drift * (type.windFactor * t);
    p.angle += p.spin * t;
    return true;
}

// Ticks between births, at least 1; a rate too small to give a 32-bit
// interval (or none at all) suspends emission.
int32_t EmissionInterval(float ticksPerSecond, float rate) {
    if (!(rate > 0.0f)) return INT32_MAX;
    const float ticks = ticksPerSecond / rate;
    if (ticks >= static_cast<float>(INT32_MAX)) return INT32_MAX;
    return std::max(FloorToInt(ticks), 1);
}

void DestroyEmitters(AwParticleType& type) {
    while (AwParticleEmitter* emitter = type.firstEmitter) {
        type.firstEmitter = emitter->next;
        delete emitter;
    }
}

} // namespace

int32_t AwParticleEmissionScale(int32_t live) {
    if (live <= kParticlePoolSize / 2) return kEmissionScaleOne;
    return std::max(32 * (kParticlePoolSize - live), kEmissionScaleFloor);
}

int32_t AwLiveParticles() { return Particles.live; }

AwParticleEmitter::AwParticleEmitter(const AwParticleParams& params, const Vector3& at, bool makeBounds)
    : type(params.type), colourMode(params.colourMode), previousPosition(at), position(at), state(params.state),
      countdown(params.countdown), startSize(params.startSize), endSize(params.endSize),
      quadColour1(params.colour1), quadColour2(params.colour2), flicker(params.flicker), trail(params.trail),
      childLight(params.childLight), childColour(params.colour3), lightDiffuse(params.lightDiffuse),
      lightSpecular(params.lightSpecular) {
    const AwParticleType& kind = ParticleTypes[type];
    const float t = CurrentTicksPerSecondFloat();
    const float secondsPerTick = CurrentSecondsPerTick();
    const int32_t ticksPerSecond = CurrentTicksPerSecond();
    spread = kind.spreadPerSecond * secondsPerTick;
    spinRange = params.spin * secondsPerTick;
    baseVelocity = params.particleVelocity * (1.0f / t);
    velocity = params.emitterVelocity * (1.0f / t);
    childRate = params.rate * Particles.rate;
    interval = EmissionInterval(t, params.rate);
    if (params.lifeOverride != 0) {
        particleLife = params.lifeOverride;
        particleVariation = 0;
    } else {
        particleLife = MulDiv(kind.life, ticksPerSecond, 65536);
        particleVariation = MulDiv(kind.lifeVariation, ticksPerSecond, 65536);
    }
    if (makeBounds) {
        // Everything a particle can reach within its life: drift at its
        // velocities, the spread, the random walk and the acceleration.
        const float lifeTicks = static_cast<float>(particleLife + particleVariation);
        const auto reach = [&](float base, float emitter, float spreadAxis, float walk, float accel) {
            return (std::fabs(base) + std::fabs(emitter) + std::fabs(spreadAxis)) * lifeTicks +
                   std::fabs(walk) * std::sqrt(lifeTicks) + 0.5f * std::fabs(accel) * lifeTicks * lifeTicks + 0.5f;
        };
        const Vector3 r{reach(baseVelocity.x, velocity.x, spread.x, kind.walkPerTick.x, kind.accelPerTick.x),
                        reach(baseVelocity.y, velocity.y, spread.y, kind.walkPerTick.y, kind.accelPerTick.y),
                        reach(baseVelocity.z, velocity.z, spread.z, kind.walkPerTick.z, kind.accelPerTick.z)};
        bounds = new AwBoundingBox(at - r, at + r);
    }
    next = ParticleTypes[type].firstEmitter;
    ParticleTypes[type].firstEmitter = this;
    if (colourMode == kColourModeOfType) colourMode = kind.defaultColourMode;
    if (params.light && SceneLightsInstance)
        light = SceneLightsInstance->AddPointLight(params.lightDiffuse, params.lightSpecular, params.lightPosition,
                                                   kLightRange);
}

AwParticleEmitter::~AwParticleEmitter() {
    FreeParticles();
    if (light && SceneLightsInstance) SceneLightsInstance->RemoveLight(light);
    delete bounds;
}

void AwParticleEmitter::FreeParticles() {
    while (AwParticle* particle = firstParticle) {
        firstParticle = particle->next;
        ReturnParticle(particle);
    }
}

int32_t AwParticleEmitter::ParticleCount() const {
    int32_t n = 0;
    for (const AwParticle* p = firstParticle; p; p = p->next) ++n;
    return n;
}

void AwParticleEmitter::MoveTo(const Vector3& target) {
    if (target.x == position.x && target.y == position.y && target.z == position.z) return;
    if (!movedThisFrame) previousPosition = position;
    movedThisFrame = true;
    position = target;
}

void AwParticleEmitter::SetPosition(float x, float y, float z) { MoveTo({x, y, z}); }
void AwParticleEmitter::MoveBy(float dx, float dy, float dz) { MoveTo(position + Vector3{dx, dy, dz}); }
void AwParticleEmitter::SetBaseVelocity(float x, float y, float z) { baseVelocity = {x, y, z}; }

void AwParticleEmitter::Stop() {
    const AwParticleType& kind = ParticleTypes[type];
    flags = kEmitterStopping;
    state = kEmitStopping;
    countdown = MulDiv(kind.life + kind.lifeVariation, CurrentTicksPerSecond(), 65536);
    remainder = 0;
    if (light && SceneLightsInstance) SceneLightsInstance->RemoveLight(light);
    light = nullptr;
}

void AwParticleEmitter::BeginStopping() {
    flags = kEmitterStopping;
    state = kEmitStopping;
    countdown = particleLife + particleVariation;
}

bool AwParticleEmitter::Update(int32_t dt, int32_t emissionScale) {
    if ((flags & (kEmitterCulled | kEmitterHeld)) == 0) {
        for (AwParticle** link = &firstParticle; *link;) {
            AwParticle* particle = *link;
            if (AdvanceParticle(*particle, dt)) {
                link = &particle->next;
            } else {
                *link = particle->next;
                ReturnParticle(particle);
            }
        }
    }

    // A suspended emitter keeps accumulating; held at the 32-bit limit.
    const int32_t accumulated = static_cast<int32_t>(std::min<int64_t>(int64_t{dt} + remainder, INT32_MAX));
    int32_t n = MulDiv(emissionScale, accumulated / interval, 65536);
    remainder = accumulated - n * interval;
    switch (state) {
    case kEmitTimed:
        if (accumulated >= countdown) {
            n = countdown / interval;
            BeginStopping();
        } else {
            countdown -= accumulated;
        }
        break;
    case kEmitCounted:
        if (n >= countdown) {
            n = countdown;
            BeginStopping();
        } else {
            countdown -= n;
        }
        break;
    case kEmitStopping:
        if (accumulated >= countdown) return true;
        countdown -= accumulated;
        n = 0;
        break;
    default:
        break;
    }

    if ((flags & (kEmitterCulled | kEmitterHeld)) != 0) {
        if (emissionScale < kEmissionScaleOne && firstParticle) {
            AwParticle* particle = firstParticle;
            firstParticle = particle->next;
            ReturnParticle(particle);
        }
        flags &= static_cast<uint8_t>(~kEmitterCulled);
        movedThisFrame = false; // the next births start from here, not along a stale path
        return false;
    }

    if (light && flicker) {
        flickerToggle = !flickerToggle;
        light->Light.diffuse = flickerToggle ? plat::ColorValue{flickerColour2.Red, flickerColour2.Green,
                                                                flickerColour2.Blue, flickerColour2.Alpha}
                                             : plat::ColorValue{flickerColour1.Red, flickerColour1.Green,
                                                                flickerColour1.Blue, flickerColour1.Alpha};
    }

    if (!IsZero(velocity) && !trail) {
        const float t = static_cast<float>(dt);
        MoveTo(position + velocity * t);
        velocity = velocity + ParticleTypes[type].childGravityPerTick * t;
        if (light) light->SetPositionVector(position);
        if (position.y > ParticleFloorHeight) {
            if (state != kEmitEndless && state != kEmitStopping) BeginStopping();
            n = 0;
        }
    }

    if (trail)
        EmitChildren(n);
    else
        EmitParticles(n, dt);
    movedThisFrame = false;
    return false;
}

void AwParticleEmitter::EmitChildren(int32_t n) {
    AwCamera* camera = AwCurrentCamera;
    if (!camera) return;
    const AwParticleType& kind = ParticleTypes[type];
    const float t = CurrentTicksPerSecondFloat();
    AwParticleParams child;
    child.type = type;
    child.colourMode = kColourModeOfType;
    child.state = kEmitTimed;
    child.countdown = FloorToInt(kind.childDuration * t);
    child.rate = childRate;
    child.colour1 = childColour;
    child.colour2 = quadColour2;
    child.light = childLight;
    child.lightDiffuse = lightDiffuse;
    child.lightSpecular = lightSpecular;
    child.startSize = startSize;
    child.endSize = endSize;
    child.spin = spinRange * t;
    for (int32_t i = 0; i < n; ++i) {
        Vector3 direction = RandomVector();
        direction.z = -std::fabs(direction.z);
        child.emitterVelocity = Scaled(kind.childSpread, direction) + velocity * t;
        child.lightPosition = position;
        AwSpawnParticleEmitter(child, position, camera);
    }
}

void AwParticleEmitter::EmitParticles(int32_t n, int32_t dt) {
    const AwParticleType& kind = ParticleTypes[type];
    for (int32_t i = 0; i < n; ++i) {
        AwParticle* particle = TakeParticle();
        if (!particle) return;
        // Births spread evenly over the frame; a moving emitter leaves them along its path.
        const int32_t offset = static_cast<int32_t>(static_cast<int64_t>(dt) * i / n);
        if (type == kSnowType || type == kRainType) {
            particle->position = WeatherBoxCentre + Scaled(WeatherBoxExtents, RandomVector());
        } else if (movedThisFrame && dt > 0) {
            const float along = static_cast<float>(offset) / static_cast<float>(dt);
            particle->position = previousPosition + (position - previousPosition) * along;
        } else {
            particle->position = position;
        }
        particle->velocity = baseVelocity + Scaled(spread, RandomVector());
        particle->type = type;
        const int32_t random17 = static_cast<int32_t>((TvRandom() >> 1) & 0x1FFFF);
        particle->remaining = std::max(particleLife + MulDiv(random17 - 65536, particleVariation, 65536), 1);
        particle->alphaRate = kind.birthAlpha / static_cast<float>(particle->remaining);
        particle->lifeFraction = 1.0f;
        particle->angle = kind.randomSpin ? static_cast<float>((TvRandom() >> 1) & 0xFFF) : 0.0f;
        particle->spin = std::fabs(RandomSigned() * spinRange);
        if (AdvanceParticle(*particle, dt - offset)) {
            particle->next = firstParticle;
            firstParticle = particle;
        } else {
            ReturnParticle(particle);
        }
    }
}

AwParticleEmitter* AwSpawnParticleEmitter(const AwParticleParams& params, const Vector3& position, AwCamera* camera) {
    if (!ParticleTypes || !camera || params.type < 0 || params.type >= kParticleTypeCount) return nullptr;
    Vector3 forward;
    camera->GetDirection(forward);
    if (Dot(position - camera->position, forward) < 0.0f) return nullptr;
    if (camera->dirty) camera->Update();
    const plat::Matrix& m = camera->viewProjection;
    const float x = position.x * m.m[0][0] + position.y * m.m[1][0] + position.z * m.m[2][0] + m.m[3][0];
    const float y = position.x * m.m[0][1] + position.y * m.m[1][1] + position.z * m.m[2][1] + m.m[3][1];
    const float w = position.x * m.m[0][3] + position.y * m.m[1][3] + position.z * m.m[2][3] + m.m[3][3];
    const float inverseW = std::fabs(1.0f / w);
    const float px = camera->perspective ? x * inverseW : x;
    const float py = camera->perspective ? -y * inverseW : -y;
    const float screenX = px * camera->halfWidth + camera->centreX;
    const float screenY = py * camera->halfHeight + camera->centreY;
    float near = 0, far = 0;
    camera->GetNear(near);
    camera->GetFar(far);
    const float minZ = camera->viewport.minZ, maxZ = camera->viewport.maxZ;
    const float depth = minZ + inverseW * far * (w - near) / (far - near) * (maxZ - minZ);
    if (!(screenX >= 0.0f && screenX < ScreenGeometry.ScreenWidthF && screenY >= 0.0f &&
          screenY < ScreenGeometry.ScreenHeightF && depth >= minZ && depth <= maxZ))
        return nullptr;
    return new AwParticleEmitter(params, position, false);
}

void AwSetParticleRate(float rate) { Particles.rate = rate; }

void AwParticlesInit() {
    if (!AwDevice.Direct3DDevice) return;
    Particles.texture = TextureManager.Get("bitmaps\\particles.qim", 0);
    TextureManager.LoadPending(AwNoProgress);
    ParticleTypes = new AwParticleType[kParticleTypeCount];
    for (int i = 0; i < kParticleTypeCount; ++i) ParticleTypes[i].Setup(i, Particles.texture);
    AwParticlesReset();
    const float t = CurrentTicksPerSecondFloat();
    Particles.driftStep = 0.6f / (t * t);
    Particles.started = true;
}

void AwParticlesReset() {
    if (!ParticleTypes) return;
    for (int i = 0; i < kParticleTypeCount; ++i) {
        AwParticleType& type = ParticleTypes[i];
        DestroyEmitters(type);
        type.pixelWidth = ScreenGeometry.ScreenWidthF * type.widthFactor / 32.0f;
        type.pixelHeight = ScreenGeometry.ScreenHeightF * type.heightFactor / 24.0f;
    }
    for (int i = 0; i < kParticlePoolSize; ++i)
        Particles.pool[i].next = i + 1 < kParticlePoolSize ? &Particles.pool[i + 1] : nullptr;
    Particles.freeList = &Particles.pool[0];
    Particles.live = 0;
}

void AwParticlesShutdown() {
    if (!Particles.started) return;
    ReleaseUseCount(Particles.texture);
    Particles.texture = nullptr;
    for (int i = 0; i < kParticleTypeCount; ++i) {
        DestroyEmitters(ParticleTypes[i]);
        ParticleTypes[i].material->Release();
    }
    delete[] ParticleTypes;
    ParticleTypes = nullptr;
    Particles.started = false;
}

void AwParticlesUpdate(int32_t dt) {
    if (!ParticleTypes) return;
    const int32_t scale = AwParticleEmissionScale(Particles.live);
    for (int i = kParticleTypeCount - 1; i >= 0; --i) {
        for (AwParticleEmitter** link = &ParticleTypes[i].firstEmitter; *link;) {
            AwParticleEmitter* emitter = *link;
            if (emitter->Update(dt, scale)) {
                *link = emitter->next;
                delete emitter;
            } else {
                link = &emitter->next;
            }
        }
    }
    AwCurrentCamera = nullptr;
}

void AwParticlesRecordStateBlocks() {
    if (!ParticleTypes) return;
    for (int i = 0; i < kParticleTypeCount; ++i) ParticleTypes[i].material->RecordStateBlock();
}
