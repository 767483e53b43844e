// The client bot's magazine: which characters count rounds, where a reload
// takes them from, and what each shot leaves.
#include <gtest/gtest.h>

#include "Tv/client/client_bot.h"
#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "core/clock.h"
#include "tests/tv/client_bot_fixture.h"

namespace {

constexpr int32_t kPistol = 0, kLauncher = 8, kInterfaceArm = 14;
constexpr int32_t kFlares = 1, kBolts = 2, kCells = 8, kNoneNeeded = 18;

using ClientBotAmmoTest = ClientBotTest;

// The bot core, armed characters of other cores and the classes deriving from bots are bots.
TEST_F(ClientBotAmmoTest, FactoryBuildsBotsForArmedCharactersAndTheirSubclasses) {
    AddWeaponRow(kPistol, kBolts, 12, 1);
    const struct {
        int32_t aiCore, weapon;
        bool bot;
    } cases[] = {{kAiCoreBot, kPistol, true},
                 {kAiCoreBot, kNoWeapon, true},
                 {kAiCoreScavenger, kPistol, true},
                 {kAiCoreScavenger, kNoWeapon, false},
                 {13, kPistol, true},
                 {14, kPistol, true},
                 {18, kPistol, true},
                 {20, kPistol, true},
                 {kAiCoreMine, kPistol, false}};
    int32_t id = 3;
    for (const auto& c : cases) {
        ObjectDefinition* definition = MakeDefinition("gunner", c.aiCore, true);
        definition->character->weapon = c.weapon;
        ClientObject* object = TvBuildClientObject(1, *definition, {0, 0, 0}, Quaternion{0, 0, 0, 1}, id++);
        ASSERT_NE(object, nullptr);
        object->Start(GameClock.GetTime(), GameClock.GetSeconds()); // the weapon is readied
        SCOPED_TRACE(c.aiCore);
        EXPECT_TRUE(object->IsUnit());
        EXPECT_EQ(object->IsBot(), c.bot);
        EXPECT_EQ(object->GetSize(), c.bot ? 736 : 568);
        EXPECT_EQ(object->GetWeapon() != nullptr, c.bot && c.weapon != kNoWeapon);
        if (c.bot) EXPECT_EQ(object->GetAmmoCount(), c.weapon == kNoWeapon ? 100 : 12);
    }
}

TEST_F(ClientBotAmmoTest, UnfittedCharacterNeverRunsDryNorTouchesItsItems) {
    AddWeaponRow(kPistol, kBolts, 12, 1);
    ClientBot* bot = MakeBot(3, kPistol, false);
    ASSERT_NE(bot, nullptr);
    ASSERT_NE(bot->UnitInventory, nullptr);
    InventoryItem* stack = AddStack(*bot, kBolts, 30, 7);
    bot->ReadyWeapon();
    EXPECT_EQ(bot->RoundsInMagazine, 1);
    EXPECT_EQ(bot->AmmoItem, nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(bot->UseRound(), kReloadSameType);
    EXPECT_EQ(bot->RoundsInMagazine, 1);
    EXPECT_EQ(stack->Count, 30);
}

TEST_F(ClientBotAmmoTest, WeaponWithoutAmmunitionItemsHoldsOneRoundAndAlternatesHotspots) {
    AddWeaponRow(kInterfaceArm, kNoneNeeded, 1, 1);
    ClientBot* bot = MakeBot(3, kInterfaceArm, true);
    ASSERT_NE(bot, nullptr);
    AddStack(*bot, kBolts, 30, 7);
    EXPECT_EQ(bot->Reload(), kReloadSameType);
    EXPECT_EQ(bot->RoundsInMagazine, 1);
    EXPECT_EQ(bot->AmmoItem, nullptr);
    EXPECT_STREQ(bot->GetPartName(), "Muzzle");
    bot->UseRound();
    EXPECT_STREQ(bot->GetPartName(), "MuzzleB");
    bot->UseRound();
    EXPECT_STREQ(bot->GetPartName(), "Muzzle");
}

TEST_F(ClientBotAmmoTest, SpentStackStaysWithItsOddRoundAndTheNextStackLoads) {
    AddWeaponRow(kPistol, kBolts, 4, 2);
    ClientBot* bot = MakeBot(3, kPistol, true);
    ASSERT_NE(bot, nullptr);
    InventoryItem* five = AddStack(*bot, kBolts, 5, 7);
    InventoryItem* three = AddStack(*bot, kBolts, 3, 8);
    EXPECT_EQ(bot->Reload(), kReloadSameType);
    EXPECT_EQ(bot->AmmoItem, five); // the fullest stack
    EXPECT_EQ(bot->RoundsInMagazine, 4);
    EXPECT_EQ(bot->UseRound(), kReloadSameType);
    EXPECT_EQ(bot->RoundsInMagazine, 2);
    EXPECT_EQ(bot->UseRound(), kReloadSwitched); // spent: the other stack
    EXPECT_EQ(five->Count, 1);
    EXPECT_EQ(bot->UnitInventory->FindItem(7), five); // one round left: kept
    EXPECT_EQ(bot->AmmoItem, three);
    EXPECT_EQ(bot->RoundsInMagazine, 3);
    EXPECT_EQ(bot->GetWeapon()->AmmoType, kBolts);
}

TEST_F(ClientBotAmmoTest, StackUsedUpIsRemovedAndTheBotIsOut) {
    AddWeaponRow(kPistol, kBolts, 4, 2);
    ClientBot* bot = MakeBot(3, kPistol, true);
    ASSERT_NE(bot, nullptr);
    AddStack(*bot, kBolts, 4, 7);
    bot->Reload();
    EXPECT_EQ(bot->UseRound(), kReloadSameType);
    EXPECT_EQ(bot->UseRound(), kReloadEmpty);
    EXPECT_EQ(bot->UnitInventory->FindItem(7), nullptr);
    EXPECT_EQ(bot->AmmoItem, nullptr);
    EXPECT_EQ(bot->RoundsInMagazine, 0);
    EXPECT_EQ(bot->Reload(), kReloadEmpty);
}

// Another type loads only where the table allows it, and flares stand apart.
TEST_F(ClientBotAmmoTest, ReloadSwitchesTypesButKeepsFlaresApart) {
    struct Case {
        int32_t weapon, loaded, carried;
        int32_t answer, typeAfter;
    } cases[] = {
        {kPistol, kBolts, kCells, kReloadSwitched, kCells},  // the table's other row
        {kPistol, kBolts, kFlares, kReloadEmpty, kBolts},    // never flares into another weapon
        {kLauncher, kFlares, kBolts, kReloadEmpty, kFlares}, // a flare launcher takes nothing else
        {kLauncher, kFlares, kFlares, kReloadSameType, kFlares},
        {kPistol, kBolts, 5, kReloadEmpty, kBolts}, // no row for the pair
    };
    int32_t id = 3;
    for (const Case& c : cases) {
        EmptyWeaponTables();
        for (int32_t ammo : {kFlares, kBolts, kCells}) AddWeaponRow(c.weapon, ammo, 6, 1);
        ClientBot* bot = MakeBot(id++, c.weapon, true);
        ASSERT_NE(bot, nullptr);
        bot->GetWeapon()->SetAmmoType(c.loaded);
        AddStack(*bot, c.carried, 9, 7);
        EXPECT_EQ(bot->Reload(), c.answer) << c.weapon << " " << c.carried;
        EXPECT_EQ(bot->GetWeapon()->AmmoType, c.typeAfter) << c.weapon << " " << c.carried;
        EXPECT_EQ(bot->RoundsInMagazine, c.answer == kReloadEmpty ? 0 : 6) << c.weapon << " " << c.carried;
        bot->Remove();
    }
}

TEST_F(ClientBotAmmoTest, ServerShotsDriveTheMagazineThroughTheDispatcherEntry) {
    AddWeaponRow(kPistol, kBolts, 2, 1);
    ClientBot* bot = MakeBot(3, kPistol, true);
    ASSERT_NE(bot, nullptr);
    EXPECT_EQ(bot->RoundsInMagazine, 0); // nothing carried at the start
    AddStack(*bot, kBolts, 3, 7);
    EXPECT_FALSE(ClientBotFiredShot(bot)); // an empty magazine reloads first: 2, then 1 left
    EXPECT_EQ(bot->RoundsInMagazine, 1);
    EXPECT_TRUE(ClientBotFiredShot(bot)); // the last of the magazine: refilled from the stack's last round
    EXPECT_EQ(bot->RoundsInMagazine, 1);
    ClientObject* plain = MakeClientObject(9);
    EXPECT_FALSE(ClientBotFiredShot(plain));
}

} // namespace
