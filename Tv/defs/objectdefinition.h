#pragma once
// ObjectDefinition: the run-time description of one kind of game object,
// built from a `role` block when the level script is applied. Shape, model,
// character, texts, light, projectile and destruction behaviour; the registry
// (definitionregistry.h) owns every definition of the current level.

#include <cstdint>
#include <memory>
#include <vector>

#include "Tv/defs/definitionrecords.h"
#include "Tv/sim/vulnerability.h"
#include "core/maths.h"
#include "core/matrix.h"

// Bits of ObjectDefinition::flags.
constexpr uint8_t kDefinitionAlphaFogging = 0x01;
constexpr uint8_t kDefinitionPerVertexFogging = 0x02; // only without alpha fogging
constexpr uint8_t kDefinitionNoLighting = 0x04;
constexpr uint8_t kDefinitionDestinationSelectable = 0x08;
constexpr uint8_t kDefinitionDestroyAfterCollection = 0x10;
constexpr uint8_t kDefinitionHitTestIgnore = 0x20;
constexpr uint8_t kDefinitionFragControl = 0x40;
constexpr uint8_t kDefinitionMovesOnLifts = 0x80;
// Bits of ObjectDefinition::flags2.
constexpr uint8_t kDefinitionStatusDisplay = 0x01;

// AI cores a definition's aiCore names (the definition language's constants).
constexpr int32_t kAiCoreBot = 0;
constexpr int32_t kAiCoreScavenger = 1;
constexpr int32_t kAiCoreMine = 2;
constexpr int32_t kAiCoreMinebot = 3;
constexpr int32_t kAiCoreReserved = 4;
constexpr int32_t kAiCoreTrackObject = 8;
constexpr int32_t kAiCorePickup = 10;
constexpr int32_t kAiCoreNodeWaiting = 16;
constexpr int32_t kAiCoreSwarm = 17;

// A definition whose character has no aggression class answers this one.
constexpr int32_t kDefaultAggressionClass = 2;

struct ObjectDefinition : MemObject {
    explicit ObjectDefinition(int32_t definitionId) : id(definitionId) {}
    // Releases the uses of its shape and model; owned records go with it.
    ~ObjectDefinition();
    ObjectDefinition(const ObjectDefinition&) = delete;
    ObjectDefinition& operator=(const ObjectDefinition&) = delete;

    // The character's aggression x 10, floored; 2 without a definition or character.
    static int32_t AggressionClass(const ObjectDefinition* definition);

    OwnedText name;                  // none never matches a name look-up
    const char* reconName = nullptr; // string table texts, not owned
    const char* reconAiShort = nullptr;
    int32_t reconAiNumber = -1;
    const char* reconAiLong = nullptr;
    const char* reconAiLong2 = nullptr;
    AwShape* shape = nullptr; // one use held
    AwModel* model = nullptr; // one use held
    std::unique_ptr<ParticleGeneratorRecord> particleGenerator, particleGenerator2;
    OwnedText metaSound;
    Vector3 hotspot{0, 0, 0};
    Vector3 alternateHotspot{0, 0, 0};
    OwnedText hotspotName, alternateHotspotName;
    int32_t upperSequenceCount = 0; // of the model's sequences 26 to 30
    int32_t lowerSequenceCount = 0; // of the model's sequences 21 to 25
    int32_t limit = 0;
    std::unique_ptr<LightRecord> light;
    std::unique_ptr<ProjectileRecord> projectile;
    std::unique_ptr<CharacterRecord> character;
    std::unique_ptr<PickupRecord> pickup;
    uint8_t flags = 0;
    uint8_t flags2 = 0;
    int32_t aiCore = 0;
    int32_t interfaceBeamDelay = -1;
    int32_t interfaceBeamEffect = 1;
    OwnedText interfaceBeamScript;
    int32_t interfaceBeamDuration = -1;
    int32_t resistance = 0;
    float resistanceFactor = 0, armour = 0, shields = 0, rechargeRate = 0, alpha = 0;
    std::unique_ptr<DestructionRecord> destruction;
    std::vector<OwnedText> severPoints;
    // What attackers can do to every actor of this kind (the VULNERABILITY
    // command fills it); the actors share these records.
    std::vector<std::unique_ptr<Vulnerability>> vulnerabilities;
    const int32_t id;
};

// Makes a game object of a definition for a team at a place and returns its
// id: the shape of the server's and the client's level-load factories.
using ObjectFactory = int32_t (*)(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                                  const Quaternion& orientation);
