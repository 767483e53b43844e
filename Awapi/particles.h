#pragma once
// Particles: smoke, sparks, dust, fire, rain and the like, drawn as
// camera-facing textured quads. Thirteen built-in types fix each effect's look
// and physics; game code spawns emitters of a type, moves and stops them; the
// system owns every particle in one fixed pool and frees finished emitters
// itself. Started once after the device, updated once per frame, drawn after
// the draw lists. Main thread only; random numbers come from the calling
// thread's generator.
//
// Time is in ticks of the calling thread's tick counter (T ticks a second);
// per-second values are turned into per-tick values once.

#include <cstdint>

#include "core/maths.h"

class AwBoundingBox;
class AwCamera;
class AwLight;
class RenderMaterial;
class AwParticleEmitter;
struct AwTexture;

constexpr int kParticleTypeCount = 13;
constexpr int kParticlePoolSize = 4096;
constexpr int32_t kEmissionScaleOne = 65536; // 16.16

// Emitter states.
constexpr int32_t kEmitEndless = 0, kEmitTimed = 1, kEmitCounted = 2, kEmitStopping = 3;
// Emitter flags.
constexpr uint8_t kEmitterCulled = 0x1, kEmitterHeld = 0x2, kEmitterStopping = 0x4;
// Asks for the type's own colour mode.
constexpr int32_t kColourModeOfType = 5;

struct AwParticleType {
    float pixelWidth, pixelHeight;
    float texU0, texU1, texV0, texV1;
    RenderMaterial* material;
    int32_t defaultColourMode;
    int32_t typeIndex;
    AwParticleEmitter* firstEmitter;
    Vector3 walkPerTick, accelPerTick, childGravityPerTick, halfAccelPerTick;
    float birthAlpha;
    float widthFactor, heightFactor;
    bool ownMaterial;
    Vector3 walkPerSecond, accelPerSecond;
    float extra; // carried, read by nothing
    float windFactor;
    bool randomSpin;
    Vector3 spreadPerSecond;
    int32_t life, lifeVariation; // 16.16 seconds
    Vector3 childSpread, childGravity;
    float childDuration; // seconds

    // Fills type `index` from the preset table (per-tick values with the
    // calling thread's clock) and builds its material on the texture.
    void Setup(int index, AwTexture* texture);
};

struct AwParticle {
    Vector3 position, velocity; // velocity per tick
    int32_t type;
    int32_t remaining;     // ticks
    float alphaRate;       // birthAlpha / life
    float lifeFraction;    // remaining x alphaRate / 255, refreshed when drawn
    float angle;           // 4,096 a turn
    float spin;            // per tick
    AwParticle* next;
};

struct AwParticleParams {
    int32_t type = 0;
    int32_t colourMode = kColourModeOfType;
    int32_t state = kEmitEndless;
    int32_t countdown = 0;   // ticks (timed) or particles (counted)
    float rate = 10.0f;      // particles a second
    Vector3 particleVelocity{0, 0, 0}; // per second
    Vector3 emitterVelocity{0, 0, 0};  // per second
    Colour colour1, colour2;
    bool light = false;
    bool flicker = false;
    Colour lightDiffuse, lightSpecular;
    Colour colour3; // handed to child emitters
    bool trail = false;
    bool childLight = false;
    Vector3 lightPosition{0, 0, 0};
    float startSize = 1.0f, endSize = 1.0f;
    float spin = 0.0f;       // per second
    int32_t lifeOverride = 0; // ticks; 0 uses the type's life
};

class AwParticleEmitter {
public:
    // Copies the description, converts it to ticks, links the emitter at the
    // head of its type's list and adds its light; makeBounds builds a box
    // round the cloud for frustum culling.
    AwParticleEmitter(const AwParticleParams& params, const Vector3& position, bool makeBounds);
    ~AwParticleEmitter();
    AwParticleEmitter(const AwParticleEmitter&) = delete;
    AwParticleEmitter& operator=(const AwParticleEmitter&) = delete;

    // The first change of a frame keeps the old position as the previous one.
    void SetPosition(float x, float y, float z);
    void MoveBy(float dx, float dy, float dz);
    // Per tick.
    void SetBaseVelocity(float x, float y, float z);
    // Emits no more; the emitter ends once its particles can have died. The
    // caller forgets the emitter after this.
    void Stop();

    // Advances the particles and emits this frame's; true when finished.
    bool Update(int32_t dt, int32_t emissionScale);
    // Returns every particle to the pool.
    void FreeParticles();
    int32_t ParticleCount() const;

    int32_t type;
    int32_t colourMode;
    uint8_t flags = 0;
    Vector3 previousPosition, position;
    bool movedThisFrame = false;
    int32_t state;
    int32_t countdown;
    int32_t interval; // ticks; owners write INT32_MAX to suspend emission
    int32_t remainder = 0;
    float fogFraction = 0.0f; // the owner's fog level / 254
    float startSize, endSize;
    AwLight* light = nullptr;
    Colour flickerColour1, flickerColour2;
    bool flickerToggle = false;
    Vector3 baseVelocity; // per tick
    Vector3 spread;       // per tick
    int32_t particleLife, particleVariation; // ticks
    Colour quadColour1, quadColour2;
    float spinRange; // per tick
    bool flicker, trail, childLight;
    Colour childColour, lightDiffuse, lightSpecular;
    float childRate;
    Vector3 velocity; // of the emitter, per tick
    AwBoundingBox* bounds = nullptr;
    AwParticleEmitter* next = nullptr;
    AwParticle* firstParticle = nullptr;

private:
    void MoveTo(const Vector3& target);
    void BeginStopping();
    void EmitChildren(int32_t n);
    void EmitParticles(int32_t n, int32_t dt);
};

extern AwParticleType* ParticleTypes; // null until started
extern float ParticleFloorHeight;
extern Vector3 WeatherBoxCentre, WeatherBoxExtents;

void AwParticlesInit();
// Ends every emitter, refits the types to the screen and refills the pool.
void AwParticlesReset();
void AwParticlesShutdown();
void AwSetParticleRate(float rate);
// An emitter only where the camera can see the position; else null.
AwParticleEmitter* AwSpawnParticleEmitter(const AwParticleParams& params, const Vector3& position, AwCamera* camera);
void AwParticlesUpdate(int32_t dt);
void AwParticlesRender();
void AwParticlesRecordStateBlocks();

// 1.0 up to 2,048 live particles, then (4096 - live) / 2048, never below 0.01 (16.16).
int32_t AwParticleEmissionScale(int32_t live);
int32_t AwLiveParticles();
