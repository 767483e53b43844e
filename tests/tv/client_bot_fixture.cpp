#include "tests/tv/client_bot_fixture.h"

#include "Awapi/model/model_node.h"
#include "Tv/client/inventory.h"
#include "Tv/defs/definitionrecords.h"
#include "core/clock.h"

void ClientBotTest::TearDown() {
    ClientDispatchTest::TearDown();
    EmptyWeaponTables();
}

WeaponParameters& ClientBotTest::AddWeaponRow(int32_t weapon, int32_t ammo, int32_t magazine, int32_t salvo) {
    auto* row = new WeaponParameters;
    row->magazineSize = magazine;
    row->salvoSize = salvo;
    row->firingSpeed = 30.0f;
    *WeaponTableSlot(weapon, ammo) = row;
    return *row;
}

ClientBot* ClientBotTest::MakeBot(int32_t id, int32_t weapon, bool fitted) {
    ObjectDefinition* definition = MakeDefinition("gunner", kAiCoreBot, true);
    definition->character->weapon = weapon;
    definition->character->size = 1.0f;
    definition->character->shotSpeedMultiplier = 1.0f;
    definition->hotspotName = OwnedText("Muzzle");
    definition->alternateHotspotName = OwnedText("MuzzleB");
    if (fitted) definition->character->customisationModel = new AwModel;
    ClientObject* object = TvBuildClientObject(1, *definition, {0, 0, 0}, Quaternion{0, 0, 0, 1}, id);
    ClientBot* bot = AsClientBot(object);
    if (!bot) return nullptr;
    bot->Start(GameClock.GetTime(), GameClock.GetSeconds()); // team 1 is a player's: an inventory comes
    return bot;
}

InventoryItem* ClientBotTest::AddStack(ClientBot& bot, int32_t ammoType, int32_t rounds, int32_t itemId) {
    auto* item = new InventoryItem;
    item->Kind = IK_AMMO;
    item->Value = item->SubType = ammoType;
    item->DefinitionId = -ammoType;
    item->Count = rounds;
    item->ItemId = itemId;
    bot.UnitInventory->InsertItem(item);
    return item;
}
