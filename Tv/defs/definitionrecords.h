#pragma once
// The run-time records that definition blocks turn into when a role (or a
// camera track) is applied: lights, projectiles, particle generators,
// destruction behaviour, pickups and characters. Each is owned by the
// ObjectDefinition that names it (objectdefinition.h).

#include <cstdint>
#include <memory>

#include "Awapi/particles.h"
#include "Tv/defs/ownedtext.h"
#include "core/mem.h"

class AwModel;
class AwShape;
struct ObjectDefinition;

struct LightRecord : MemObject {
    float red = 0, green = 0, blue = 0;
    float specularRed = 0, specularGreen = 0, specularBlue = 0;
    float range = 0;
};
static_assert(sizeof(LightRecord) == 28);

struct ProjectileRecord : MemObject {
    bool gravity = false;
    float damage = 0;
    int32_t sound = 0;
    float maxRange = 0;
    float blastDamage = 0;
    float blastRange = 0;
    float blastRangeSquared = 0;
    std::unique_ptr<LightRecord> hitLight;
};

// What a particle generator definition makes: the engine's emitter description.
struct ParticleGeneratorRecord : AwParticleParams, MemObject {};

// How an object breaks. The kind is a destructibility block's "type" (0 or
// 1), or one of the kinds of the derived records.
class DestructionRecord : public MemObject {
public:
    explicit DestructionRecord(int32_t k) : kind(k) {}
    virtual ~DestructionRecord() = default;
    DestructionRecord(const DestructionRecord&) = delete;
    DestructionRecord& operator=(const DestructionRecord&) = delete;

    const int32_t kind;
};

constexpr int32_t kDestructionFragData = 3;
constexpr int32_t kDestructionFragScript = 4;

// Breaks into fragments of another role.
class FragDataRecord final : public DestructionRecord {
public:
    FragDataRecord() : DestructionRecord(kDestructionFragData) {}

    ObjectDefinition* role = nullptr;
    ObjectDefinition* replaceRole = nullptr; // or none
    OwnedText remove;                        // or none
    int32_t scale = 0;
    bool replace = false;
    bool symmetric = false;
    float blastRange = 0;
    float blastDamage = 0;
};

// Runs a command script.
class FragScriptRecord final : public DestructionRecord {
public:
    FragScriptRecord() : DestructionRecord(kDestructionFragScript) {}

    OwnedText name;
    bool replace = false;
};

// How an object shows and behaves as an inventory pickup.
struct PickupRecord : MemObject {
    PickupRecord() = default;
    ~PickupRecord(); // releases the model's and the shape's use
    PickupRecord(const PickupRecord&) = delete;
    PickupRecord& operator=(const PickupRecord&) = delete;

    AwModel* pickupModel = nullptr;        // one use held
    AwShape* pickupShape = nullptr;        // one use held
    const char* descriptionText = nullptr; // string table texts, not owned
    const char* pickupNameText = nullptr;
    float pickupRadius = 0;
    int32_t actionOnDeath = 0;
};

// The behaviour numbers of a robot or creature. Angles are in units of 4,096
// a turn, distances in metres, times in seconds.
struct CharacterRecord : MemObject {
    CharacterRecord() = default;
    ~CharacterRecord(); // releases both models' use
    CharacterRecord(const CharacterRecord&) = delete;
    CharacterRecord& operator=(const CharacterRecord&) = delete;

    int32_t walkingSpeed = 0; // metres a second in 16.16
    float turningSpeed = 0;   // angle units a second
    float aim = 0;
    float angularScanRate = 0;
    float scanDelay = 0;
    float scanAcceptanceAngle = 0;
    float mineLayingTime = 0;
    bool latchTrigger = false;
    bool alertable = false;
    int32_t generationLimit = 0;
    float sightAngle = 0;
    float sightRange = 0, sightRangeSquared = 0;
    float hearingRange = 0, hearingRangeSquared = 0;
    float alertRadius = 0;
    float aggression = 0;
    float gunYawAngle = 0, elevationAngle = 0;
    float collisionRadius = 0, collisionHeight = 0;
    float size = 0, damageMultiplier = 0, shotSpeedMultiplier = 0, targetCycleTime = 0, alarmDelay = 0;
    float weaponCycleTime = 0, weaponCycleTime2 = 0;
    int32_t maxWeapon = 0, maxAmmo = 0, maxModule = 0;
    float initialFirstPersonRange = 0, maximumFirstPersonRange = 0;
    bool canTurn = false, drawVisionCone = false, drawHearingRange = false;
    AwModel* customisationModel = nullptr; // one use held
    AwModel* shadowModel = nullptr;        // one use held
    int32_t blobShadow = 0;
    const char* descriptionText = nullptr; // string table text, not owned
    float boundsRadius = 0, boundsHeight = 0;
    float strideLength = 0;
    float statusWindowV = 0, statusWindowU = 0;
    float strength = 0;
    int32_t weapon = 0, secondaryWeapon = 0; // weapon types
    bool alwaysCpuControlled = false;
};
