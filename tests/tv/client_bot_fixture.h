#pragma once
// Fixture of the client bot's tests: the client dispatcher's fixture (its
// recorders of sends and sounds) with weapon table rows and started bots of
// team 1, fitted (a customisation hierarchy and an inventory) or not.

#include "Tv/client/client_bot.h"
#include "Tv/client/weapons.h"
#include "tests/tv/client_dispatch_fixture.h"

struct InventoryItem;

class ClientBotTest : public ClientDispatchTest {
protected:
    void TearDown() override;

    // A row of the weapon table: magazine and salvo sizes, firing speed 30.
    WeaponParameters& AddWeaponRow(int32_t weapon, int32_t ammo, int32_t magazine, int32_t salvo);
    // A started bot of team 1 carrying `weapon`, with hotspots "Muzzle" and
    // "MuzzleB"; a fitted one names a customisation hierarchy. Both carry an
    // inventory (team 1 is a player's).
    ClientBot* MakeBot(int32_t id, int32_t weapon, bool fitted);
    // A stack of `rounds` of the ammunition type in the bot's inventory.
    InventoryItem* AddStack(ClientBot& bot, int32_t ammoType, int32_t rounds, int32_t itemId);
};
