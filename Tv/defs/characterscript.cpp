// CharacterScriptObject::MakeCharacterRecord: a character block's numbers in
// the units the simulation reads. Arithmetic runs in single precision in the
// program's rounding mode (toward minus infinity), as the stored values must.
#include <memory>

#include "Awapi/model/model_node.h"
#include "Tv/defs/definitiontypes.h"
#include "core/numeric.h"
#include "core/stringtable.h"

namespace {

constexpr float kFixedOne = 65536.0f; // 1.0 in 16.16

float Float(const ScriptObject& block, int number) { return static_cast<float>(block.GetReal(number)); }

// Degrees to angle units (4,096 a turn).
float Angle(const ScriptObject& block, int number) { return Float(block, number) * 4096.0f / 360.0f; }

AwModel* HierarchyModel(const ScriptObject& block, int number) {
    const auto* hierarchy = static_cast<const HierarchyScriptObject*>(block.GetReference(number));
    return hierarchy ? hierarchy->GetModel() : nullptr;
}

} // namespace

std::unique_ptr<CharacterRecord> CharacterScriptObject::MakeCharacterRecord() const {
    if (!IsComplete()) return nullptr;
    auto c = std::make_unique<CharacterRecord>();
    c->turningSpeed = Float(*this, 13) * 4096.0f;
    c->aim = Angle(*this, 52);
    c->angularScanRate = Angle(*this, 16);
    c->scanDelay = Float(*this, 14);
    c->scanAcceptanceAngle = Angle(*this, 15);
    c->mineLayingTime = Float(*this, 17);
    c->latchTrigger = GetBool(124);
    c->alertable = GetBool(123);
    c->generationLimit = GetValue(122);
    c->sightAngle = Angle(*this, 53);
    c->sightRange = Float(*this, 56);
    c->sightRangeSquared = c->sightRange * c->sightRange;
    c->hearingRange = Float(*this, 57);
    c->hearingRangeSquared = c->hearingRange * c->hearingRange;
    c->alertRadius = Float(*this, 58);
    c->aggression = Float(*this, 59);
    c->gunYawAngle = Angle(*this, 54);
    c->elevationAngle = Angle(*this, 55);
    c->size = Float(*this, 108);
    c->collisionRadius = Float(*this, 106) * c->size;
    c->collisionHeight = Float(*this, 107) * c->size;
    c->damageMultiplier = Float(*this, 43);
    c->shotSpeedMultiplier = Float(*this, 46);
    c->targetCycleTime = Float(*this, 47);
    c->alarmDelay = Float(*this, 50);
    c->weaponCycleTime = Float(*this, 48);
    c->weaponCycleTime2 = Float(*this, 49);
    c->maxWeapon = GetValue(130);
    c->maxAmmo = GetValue(131);
    c->maxModule = GetValue(132);
    c->initialFirstPersonRange = Float(*this, 133);
    c->maximumFirstPersonRange = Float(*this, 134);
    c->canTurn = GetBool(60);
    c->drawVisionCone = GetBool(61);
    c->drawHearingRange = GetBool(62);
    c->statusWindowV = static_cast<float>(GetValue(64)) / 1024.0f;
    c->statusWindowU = static_cast<float>(GetValue(63)) / 1024.0f;
    c->strength = Float(*this, 41);
    c->weapon = GetValue(24);
    c->secondaryWeapon = GetValue(25);
    c->alwaysCpuControlled = GetBool(115);

    // 16.16 speed, floored; a character that turns walks at its speed over its size.
    c->walkingSpeed = FloorToInt(Float(*this, 12) * kFixedOne);
    if (c->turningSpeed > 0 && c->size > 0)
        c->walkingSpeed = FloorToInt(static_cast<float>(c->walkingSpeed) / kFixedOne / c->size * kFixedOne);

    if (c->maximumFirstPersonRange < c->initialFirstPersonRange)
        c->maximumFirstPersonRange = c->initialFirstPersonRange;
    if (const int32_t description = GetValue(26))
        c->descriptionText = StringTableLookup(static_cast<uint32_t>(description));
    c->customisationModel = HierarchyModel(*this, 117);
    c->shadowModel = HierarchyModel(*this, 118);
    c->blobShadow = GetValue(89);
    return c;
}
