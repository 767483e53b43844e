// RoleScriptObject::BuildDefinition: a role block becomes the ObjectDefinition
// the rest of the game uses. Referenced blocks that are incomplete, and files
// or objects the resource cache cannot find, leave their fields none.
#include <algorithm>
#include <cmath>
#include <string_view>

#include "Awapi/model/model_node.h"
#include "Awapi/shape.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/definitiontypes.h"
#include "Tv/defs/diagnostics.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/defs/pgeneratorscript.h"
#include "core/stringtable.h"

namespace {

constexpr int32_t kBeamEffectScript = 4;

template <class T>
T* ReferenceOfType(const ScriptObject& block, int number) {
    ScriptObject* object = block.GetReference(number);
    return object && object->Factory() == &T::Create ? static_cast<T*>(object) : nullptr;
}

std::unique_ptr<ParticleGeneratorRecord> Generator(const ScriptObject& block, int number) {
    const auto* generator = ReferenceOfType<PGeneratorScriptObject>(block, number);
    return generator ? generator->MakeGenerator() : nullptr;
}

// A text of the string table by a non-zero id; none for 0.
const char* StringText(int32_t id) { return id ? StringTableLookup(static_cast<uint32_t>(id)) : nullptr; }

PickupRecord& Pickup(ObjectDefinition& d) {
    if (!d.pickup) d.pickup = std::make_unique<PickupRecord>();
    return *d.pickup;
}

// The model's node positions and how many of the upper and lower body
// sequences (26 to 30, 21 to 25) it has.
void TakeModel(ObjectDefinition& d, const HierarchyScriptObject& hierarchy) {
    d.model = hierarchy.GetModel();
    if (!d.model) return;
    if (const char* name = hierarchy.GetString(3)) {
        d.hotspotName = OwnedText(name);
        d.model->GetNodePosition(d.hotspot, name);
    }
    d.alternateHotspot = d.hotspot;
    if (const char* name = hierarchy.GetString(4)) {
        d.alternateHotspotName = OwnedText(name);
        d.model->GetNodePosition(d.alternateHotspot, name);
    }
    if (!d.model->Sequences) return;
    for (int32_t k = 0; k < 5; ++k) {
        if (d.model->HasSequence(21 + k)) ++d.lowerSequenceCount;
        if (d.model->HasSequence(26 + k)) ++d.upperSequenceCount;
    }
}

// The character's bounds from the object's box (the model's, else the
// shape's, else a unit cube) and its stride from the model's walk.
void FitCharacter(CharacterRecord& c, const ObjectDefinition& d) {
    Vector3 extent(1, 1, 1);
    if (d.model) {
        if (d.model->HasBounds) extent = d.model->SecondCorner - d.model->FirstCorner;
        if (d.model->Sequences && d.model->Sequences->size() >= 2 && d.model->MovementPerSecond.size() >= 2)
            c.strideLength = d.model->MovementPerSecond[1].z * c.size;
    } else if (d.shape) {
        extent = d.shape->Max - d.shape->Min;
    }
    c.boundsRadius = std::max(std::fabs(extent.x), std::fabs(extent.z)) * 0.5f;
    c.boundsHeight = std::fabs(extent.y);
    if (c.collisionRadius == 0) c.collisionRadius = c.boundsRadius;
    if (c.collisionHeight == 0) c.collisionHeight = c.boundsHeight;
}

// "a,b" gives "a" and "b", untrimmed; every comma starts a new text.
void SplitSeverPoints(ObjectDefinition& d, std::string_view text) {
    for (;;) {
        const size_t comma = text.find(',');
        d.severPoints.emplace_back(text.substr(0, comma));
        if (comma == std::string_view::npos) return;
        text.remove_prefix(comma + 1);
    }
}

uint8_t Flag(bool on, uint8_t bit) { return on ? bit : 0; }

} // namespace

ObjectDefinition* RoleScriptObject::BuildDefinition() {
    if (definition_) return definition_;
    if (!IsComplete()) return nullptr;
    ObjectDefinition& d = *DefinitionRegistry::NewDefinition();
    // Remembered at once: a fragment block naming this role gets it back.
    definition_ = &d;

    d.particleGenerator = Generator(*this, 7);
    d.particleGenerator2 = Generator(*this, 8);
    if (const auto* shape = ReferenceOfType<ShapeScriptObject>(*this, 5))
        d.shape = shape->GetShape();
    else if (const auto* hierarchy = ReferenceOfType<HierarchyScriptObject>(*this, 5))
        TakeModel(d, *hierarchy);
    else if (GetReference(5))
        d.particleGenerator = Generator(*this, 5);

    if (const auto* shape = ReferenceOfType<ShapeScriptObject>(*this, 6))
        Pickup(d).pickupShape = shape->GetShape();
    else if (const auto* hierarchy = ReferenceOfType<HierarchyScriptObject>(*this, 6))
        Pickup(d).pickupModel = hierarchy->GetModel();

    d.name = OwnedText::FromNullable(GetString(71));
    if (const int32_t id = GetValue(26)) Pickup(d).descriptionText = StringText(id);
    d.reconName = StringText(GetValue(125));
    d.reconAiShort = StringText(GetValue(126));
    if (const int32_t number = GetValue(127)) d.reconAiNumber = number;
    d.reconAiLong = StringText(GetValue(128));
    d.reconAiLong2 = StringText(GetValue(129));
    if (const int32_t id = GetValue(27)) Pickup(d).pickupNameText = StringText(id);
    if (const int32_t action = GetValue(92)) Pickup(d).actionOnDeath = action;
    if (const auto radius = static_cast<float>(GetReal(93)); radius != 0) Pickup(d).pickupRadius = radius;

    if (const auto* light = ReferenceOfType<LightScriptObject>(*this, 30)) d.light = light->MakeLight();
    if (const auto* projectile = ReferenceOfType<ProjectileScriptObject>(*this, 11))
        d.projectile = projectile->MakeProjectile();

    if (const auto* character = ReferenceOfType<CharacterScriptObject>(*this, 10)) {
        d.character = character->MakeCharacterRecord();
        if (d.character) FitCharacter(*d.character, d);
    }
    if (const char* severPoints = GetString(72)) SplitSeverPoints(d, severPoints);
    d.metaSound = OwnedText::FromNullable(GetString(135));

    d.aiCore = GetValue(73);
    d.interfaceBeamDelay = GetValue(74);
    d.interfaceBeamEffect = GetValue(75);
    if (d.interfaceBeamEffect == kBeamEffectScript) {
        if (!GetString(76)) {
            CompilerError("interface beam effect is script but no script given");
            definition_ = nullptr;
            DefinitionRegistry::Remove(&d);
            return nullptr;
        }
        d.interfaceBeamScript = OwnedText(GetString(76));
    }
    d.interfaceBeamDuration = GetValue(77);
    d.resistance = GetValue(78);
    d.resistanceFactor = static_cast<float>(GetReal(79));

    // Only a track object's shape keeps its geometry for collisions.
    if (d.shape && d.shape->Geometry && d.aiCore != kAiCoreTrackObject) d.shape->FreeGeometry();

    const bool alphaFogging = GetBool(86);
    d.flags = Flag(alphaFogging, kDefinitionAlphaFogging) |
              Flag(!alphaFogging && GetBool(87), kDefinitionPerVertexFogging) |
              Flag(GetBool(114), kDefinitionNoLighting) | Flag(GetBool(109), kDefinitionDestinationSelectable) |
              Flag(GetBool(110), kDefinitionDestroyAfterCollection) | Flag(GetBool(113), kDefinitionHitTestIgnore) |
              Flag(GetBool(116), kDefinitionFragControl) | Flag(GetBool(111), kDefinitionMovesOnLifts);
    d.flags2 = Flag(GetBool(112), kDefinitionStatusDisplay);
    d.limit = GetValue(119);
    d.alpha = static_cast<float>(GetReal(36));

    if (auto* destruction = static_cast<DestructionScriptObject*>(GetReference(88)))
        d.destruction = destruction->MakeDestructionRecord();
    d.armour = static_cast<float>(GetReal(90));
    d.shields = static_cast<float>(GetReal(91));
    d.rechargeRate = static_cast<float>(GetReal(94));
    return &d;
}
