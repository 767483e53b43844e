// The records the building-part blocks make for the role that names them.
#include "Tv/defs/definitionrecords.h"

#include "Awapi/model/model_node.h"
#include "Awapi/shape.h"
#include "Tv/defs/definitiontypes.h"
#include "Tv/defs/resourcecache.h"

PickupRecord::~PickupRecord() {
    if (pickupModel) pickupModel->ReleaseUse();
    if (pickupShape) pickupShape->ReleaseUse();
}

CharacterRecord::~CharacterRecord() {
    if (customisationModel) customisationModel->ReleaseUse();
    if (shadowModel) shadowModel->ReleaseUse();
}

AwShape* ShapeScriptObject::GetShape() const {
    return IsComplete() ? ResourceCache::GetShape(GetString(1), GetString(0)) : nullptr;
}

AwModel* HierarchyScriptObject::GetModel() const {
    return IsComplete() ? ResourceCache::GetModel(GetString(1), GetString(0)) : nullptr;
}

std::unique_ptr<LightRecord> LightScriptObject::MakeLight() const {
    if (!IsComplete()) return nullptr;
    auto light = std::make_unique<LightRecord>();
    light->red = static_cast<float>(GetReal(33));
    light->green = static_cast<float>(GetReal(34));
    light->blue = static_cast<float>(GetReal(35));
    light->specularRed = static_cast<float>(GetReal(37));
    light->specularGreen = static_cast<float>(GetReal(38));
    light->specularBlue = static_cast<float>(GetReal(39));
    light->range = static_cast<float>(GetReal(40));
    return light;
}

std::unique_ptr<ProjectileRecord> ProjectileScriptObject::MakeProjectile() const {
    if (!IsComplete()) return nullptr;
    auto projectile = std::make_unique<ProjectileRecord>();
    projectile->gravity = GetBool(51);
    projectile->damage = static_cast<float>(GetReal(42));
    projectile->sound = GetValue(32);
    projectile->maxRange = static_cast<float>(GetReal(45));
    projectile->blastDamage = static_cast<float>(GetReal(44));
    projectile->blastRange = static_cast<float>(GetReal(40));
    projectile->blastRangeSquared = projectile->blastRange * projectile->blastRange;
    if (const auto* light = static_cast<const LightScriptObject*>(GetReference(31)))
        projectile->hitLight = light->MakeLight();
    return projectile;
}

std::unique_ptr<DestructionRecord> DestructibilityScriptObject::MakeDestructionRecord() {
    if (!IsComplete()) return nullptr;
    return std::make_unique<DestructionRecord>(GetValue(65));
}

std::unique_ptr<DestructionRecord> FragDataScriptObject::MakeDestructionRecord() {
    if (!IsComplete()) return nullptr;
    auto record = std::make_unique<FragDataRecord>();
    if (auto* role = static_cast<RoleScriptObject*>(GetReference(95))) record->role = role->BuildDefinition();
    if (auto* role = static_cast<RoleScriptObject*>(GetReference(96))) record->replaceRole = role->BuildDefinition();
    record->remove = OwnedText::FromNullable(GetString(97));
    record->scale = GetValue(98);
    record->replace = GetBool(104);
    record->symmetric = GetBool(105);
    record->blastRange = static_cast<float>(GetReal(40));
    record->blastDamage = static_cast<float>(GetReal(44));
    return record;
}

std::unique_ptr<DestructionRecord> FragScriptScriptObject::MakeDestructionRecord() {
    if (!IsComplete()) return nullptr;
    auto record = std::make_unique<FragScriptRecord>();
    record->name = OwnedText::FromNullable(GetString(0));
    record->replace = GetBool(104);
    return record;
}
