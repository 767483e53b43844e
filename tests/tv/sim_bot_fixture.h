#pragma once
// Fixture of the bot tests: the combat fixture with the bot's maker
// registered, armed characters made on the spot (each weapon type with a
// straight shot in the weapon table) and bots created as the level load
// creates them. The weapon table is emptied afterwards.

#include <cstdint>

#include "tests/tv/sim_combat_fixture.h"

class ServerBot;
class ServerUnit;
struct InventoryItem;

// The values an armed character is made from, beside its walking ones.
struct GunnerSpec {
    int32_t weapon = 1;
    int32_t secondaryWeapon = 33;
    Real sightRange = 10;
    Real sightAngle = 512;
    bool visionCone = false;
    Real maxRangeSquared = 400; // of the weapon's shot
    bool registered = false;    // found by name in the definition registry
};

class BotTest : public CombatTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A character of the "bot" core carrying spec.weapon; every weapon type it
    // names gets a table row with a straight shot "bolt".
    ObjectDefinition* MakeGunner(const char* name, const GunnerSpec& spec = {});
    // The bot created and started at the current server time, facing `heading`.
    ServerBot* MakeBot(int32_t team, const Vector3& position, const ObjectDefinition* definition, int32_t heading = 0);
    // A player-fitted robot of team 1: the gunner's character gets a
    // customisation model and room for 4 weapons, 4 stacks and 8 other items.
    ServerBot* MakeFittedBot(const Vector3& position, ObjectDefinition* gunner);
    // A new item in the unit's inventory (Value, Count as given), under a new id.
    static InventoryItem* Carry(ServerUnit& unit, int32_t kind, int32_t subType, int32_t value, int32_t count);

    ObjectDefinition* bolt = nullptr; // the shot of every weapon row
};
