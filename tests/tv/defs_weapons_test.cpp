#include <gtest/gtest.h>

#include <string>

#include "Awapi/model/model_node.h"
#include "Awapi/shape.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/leveldefinitions.h"
#include "tests/tv/defs_level_fixture.h"

namespace {

using WeaponTablesTest = LevelTest;

std::string Ammo(int weapon, int ammo, const std::string& extra) {
    return "ammo { weapon type " + std::to_string(weapon) + " ammo type " + std::to_string(ammo) +
           " reload time 1.5 life timer 40 magazine size 12 name \"Gun\" file \"Guns.qif\" firing speed 30 " + extra +
           " }\n";
}

TEST_F(WeaponTablesTest, TheFirstAmmoBlockOfAPairWins) {
    Load(Ammo(4, 6, "round time 0.25") + Ammo(4, 6, "round time 0.5 salvo size 3") +
         Ammo(32, 18, "round time 1 salvo size 2 sound 256"));
    const WeaponParameters* row = WeaponTableRow(4, 6);
    ASSERT_NE(row, nullptr);
    EXPECT_FLOAT_EQ(row->roundTime, 0.25f);
    EXPECT_FLOAT_EQ(row->reloadTime, 1.5f);
    EXPECT_EQ(row->lifeTimer, 40);
    EXPECT_EQ(row->magazineSize, 12);
    EXPECT_EQ(row->salvoSize, 1);
    EXPECT_EQ(row->sound, 3);
    EXPECT_STREQ(row->fileName.Get(), "Guns.qif");
    EXPECT_STREQ(row->name.Get(), "Gun");
    EXPECT_EQ(row->projectile, nullptr);
    EXPECT_FLOAT_EQ(row->firingSpeed, 30);
    const WeaponParameters* last = WeaponTableRow(32, 18);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->salvoSize, 2);
    EXPECT_EQ(last->sound, 256);
    EXPECT_EQ(WeaponTableRow(4, 7), nullptr);
    EXPECT_EQ(WeaponTableRow(33, 0), nullptr);
    EXPECT_EQ(WeaponTableRow(0, -1), nullptr);
}

// The last ammo info block of a type wins, and the look it replaces is given back.
TEST_F(WeaponTablesTest, TheLastAmmoInfoBlockWinsAndReleasesTheOldLook) {
    WriteModelFile("Ammo.qif", {"Clip"}, {"Cell"});
    Load("shape cell { name \"Cell\" file \"Ammo.qif\" }\nhierarchy clip { name \"Clip\" file \"Ammo.qif\" }\n"
         "ammo info { ammo type energy cells shape cell description 10 ammo name 11 max per slot 50 }\n"
         "ammo info { ammo type energy cells shape clip description 20 ammo name 21 max per slot 60 }\n"
         "ammo info { ammo type flares shape cell description 30 ammo name 31 max per slot 5 }\n");
    const AmmoTypeRow& cells = AmmoTypeTable[8];
    ASSERT_NE(cells.model, nullptr);
    EXPECT_EQ(cells.shape, nullptr);
    EXPECT_EQ(cells.descriptionStringId, 20);
    EXPECT_EQ(cells.nameStringId, 21);
    EXPECT_EQ(cells.maxPerSlot, 60);
    AwShape* cell = AmmoTypeTable[1].shape;
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->UseCount.load(), 1); // the flares' use only
    EXPECT_EQ(cells.model->UseCount.load(), 1);

    // The teardown empties the looks; the numbers stay for the next level.
    AwModel* clip = cells.model;
    EmptyWeaponTables();
    EXPECT_EQ(cells.model, nullptr);
    EXPECT_EQ(AmmoTypeTable[1].shape, nullptr);
    EXPECT_EQ(cell->UseCount.load(), 0);
    EXPECT_EQ(clip->UseCount.load(), 0);
    EXPECT_EQ(cells.maxPerSlot, 60);
}

TEST_F(WeaponTablesTest, TheTeardownFreesEveryWeaponRow) {
    Load(Ammo(0, 2, "round time 1") + Ammo(16, 2, "round time 1"));
    ASSERT_NE(WeaponTableRow(16, 2), nullptr);
    ReleaseLevelDefinitions();
    for (WeaponParameters* row : WeaponTable) EXPECT_EQ(row, nullptr);
}

// The sample level on the sample models: every block type the game applies.
TEST_F(WeaponTablesTest, TheSampleLevelAppliesCleanly) {
    CopySample("Robot.qif");
    CopySample("Box.qif");
    Load(TempDir::Read(TAVRIN_SOURCE_DIR "/data/levels/sample.tvs"));
    ASSERT_EQ(diagnostics.Errors(), std::vector<std::string>{});
    for (const char* name : {"Scout", "Drone"}) {
        const ObjectDefinition& robot = Definition(name);
        ASSERT_NE(robot.model, nullptr) << name;
        EXPECT_EQ(robot.aiCore, 0) << name;
        EXPECT_GT(robot.character->strideLength, 0) << name;
        EXPECT_STREQ(robot.hotspotName.Get(), "Muzzle");
    }
    EXPECT_EQ(WeaponTableRow(0, 2)->projectile, &Definition("ScoutShot"));
    EXPECT_EQ(WeaponTableRow(16, 2)->projectile, &Definition("DroneShot"));
    EXPECT_NE(AmmoTypeTable[2].shape, nullptr);
    EXPECT_EQ(Definition("Scout").destruction->kind, 0);
    EXPECT_EQ(Definition("Drone").destruction->kind, kDestructionFragData);
    EXPECT_EQ(Definition("DroneDebris").destruction->kind, kDestructionFragScript);
    EXPECT_NE(Definition("EnergyCells").pickup->pickupShape, nullptr);
}

} // namespace
