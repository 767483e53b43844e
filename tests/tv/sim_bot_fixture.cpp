#include "tests/tv/sim_bot_fixture.h"

#include "Awapi/model/model_node.h"
#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/server_bot.h"

void BotTest::SetUp() {
    CombatTest::SetUp();
    RegisterServerBot();
    bolt = MakeShot("bolt", 10);
}

void BotTest::TearDown() {
    CombatTest::TearDown();
    EmptyWeaponTables();
}

ObjectDefinition* BotTest::MakeGunner(const char* name, const GunnerSpec& spec) {
    WalkerSpec walking;
    walking.aiCore = 0;
    walking.registered = spec.registered;
    ObjectDefinition* definition = MakeWalker(name, walking);
    CharacterRecord& c = *definition->character;
    c.weapon = spec.weapon;
    c.secondaryWeapon = spec.secondaryWeapon;
    c.sightRange = spec.sightRange;
    c.sightRangeSquared = spec.sightRange * spec.sightRange;
    c.sightAngle = spec.sightAngle;
    c.angularScanRate = 2048;
    c.drawVisionCone = spec.visionCone;
    c.aggression = 0.7f;
    c.gunYawAngle = 256;
    c.elevationAngle = 1024;
    c.shotSpeedMultiplier = 1;
    c.damageMultiplier = 1;
    bolt->projectile->maxRange = spec.maxRangeSquared;
    for (int32_t weapon : {spec.weapon, spec.secondaryWeapon}) {
        WeaponParameters** slot = WeaponTableSlot(weapon, DefaultAmmoType(weapon));
        if (!slot || *slot) continue;
        auto* row = new WeaponParameters;
        row->projectile = bolt;
        row->firingSpeed = 20;
        row->roundTime = 0.5f;
        row->reloadTime = 2;
        row->magazineSize = 10;
        row->salvoSize = 1;
        *slot = row;
    }
    return definition;
}

ServerBot* BotTest::MakeBot(int32_t team, const Vector3& position, const ObjectDefinition* definition,
                            int32_t heading) {
    ServerUnit* unit = MakeUnit(team, position, definition, heading);
    return unit && unit->IsBot() ? static_cast<ServerBot*>(unit) : nullptr;
}

ServerBot* BotTest::MakeFittedBot(const Vector3& position, ObjectDefinition* gunner) {
    CharacterRecord& c = *gunner->character;
    if (!c.customisationModel) c.customisationModel = new AwModel;
    c.maxWeapon = 4;
    c.maxAmmo = 4;
    c.maxModule = 8;
    return MakeBot(1, position, gunner);
}

InventoryItem* BotTest::Carry(ServerUnit& unit, int32_t kind, int32_t subType, int32_t value, int32_t count) {
    auto* item = new InventoryItem;
    item->Kind = kind;
    item->SubType = subType;
    item->Value = value;
    item->Count = count;
    item->ItemId = TakeInventoryItemId();
    unit.Inventory->InsertItem(item);
    return item;
}
