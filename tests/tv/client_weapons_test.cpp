#include <gtest/gtest.h>

#include <tuple>

#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "core/clock.h"

namespace {

auto Fields(const WeaponInstance& w) {
    return std::tuple(w.Projectile, w.FiringSpeed, w.WeaponType, w.RoundTicks, w.ReloadTicks, w.LifeTimer,
                      w.MagazineSize, w.SalvoSize, w.AmmoType, w.Sound);
}

class WeaponInstanceTest : public ::testing::Test {
protected:
    void TearDown() override { EmptyWeaponTables(); }

    // A row for (weapon, ammo) whose values all derive from `seed`.
    WeaponParameters& AddRow(int32_t weapon, int32_t ammo, int32_t seed) {
        auto* row = new WeaponParameters;
        row->roundTime = 0.25f * static_cast<float>(seed);
        row->reloadTime = 1.5f * static_cast<float>(seed);
        row->lifeTimer = 40 + seed;
        row->magazineSize = 12 + seed;
        row->sound = 3 + seed;
        row->salvoSize = 1 + seed;
        row->projectile = &shot;
        row->firingSpeed = 30.0f + static_cast<float>(seed);
        *WeaponTableSlot(weapon, ammo) = row;
        return *row;
    }

    static WeaponInstance Armed(int32_t weapon) {
        WeaponInstance w;
        w.WeaponType = weapon;
        return w;
    }

    static void ExpectLoaded(const WeaponInstance& w, const WeaponParameters& row) {
        const float ticks = CurrentTicksPerSecondFloat();
        EXPECT_EQ(w.Projectile, row.projectile);
        EXPECT_EQ(w.FiringSpeed, row.firingSpeed);
        EXPECT_EQ(w.RoundTicks, ticks * row.roundTime);
        EXPECT_EQ(w.ReloadTicks, ticks * row.reloadTime);
        EXPECT_EQ(w.LifeTimer, static_cast<float>(row.lifeTimer));
        EXPECT_EQ(w.MagazineSize, row.magazineSize);
        EXPECT_EQ(w.SalvoSize, row.salvoSize);
        EXPECT_EQ(w.Sound, row.sound);
    }

    ObjectDefinition shot{7};
};

TEST(WeaponDefaults, EveryWeaponTypeHasItsDefaultAmmunition) {
    const int32_t expected[kWeaponTypeCount] = {2, 2, 2, 2, 6, 6, 6, 9,  13, 15, 16, 8, 8, 8, 18, 2, 2,
                                                2, 2, 6, 6, 6, 9, 9, 13, 13, 13, 6,  2, 2, 2, 8,  8};
    for (int32_t w = 0; w < kWeaponTypeCount; ++w) EXPECT_EQ(DefaultAmmoType(w), expected[w]) << "weapon " << w;
    for (int32_t w : {-1, kNoWeapon, 1000}) EXPECT_EQ(DefaultAmmoType(w), 2) << "weapon " << w;
}

// The interface arm needs no ammunition; weapon 15, which has no name, fires plasma bolts.
TEST_F(WeaponInstanceTest, DefaultAmmunitionLoadsItsRow) {
    const WeaponParameters& arm = AddRow(14, 18, 1);
    const WeaponParameters& unnamed = AddRow(15, 2, 2);
    WeaponInstance a = Armed(14), b = Armed(15);
    EXPECT_TRUE(a.SetDefaultAmmo());
    EXPECT_TRUE(b.SetDefaultAmmo());
    EXPECT_EQ(a.AmmoType, 18);
    EXPECT_EQ(b.AmmoType, 2);
    ExpectLoaded(a, arm);
    ExpectLoaded(b, unnamed);
}

TEST_F(WeaponInstanceTest, AnotherAmmunitionLoadsOnlyWhenTheWeaponHasARowForIt) {
    AddRow(4, 6, 1);
    const WeaponParameters& plus = AddRow(4, 7, 2);
    WeaponInstance w = Armed(4);
    ASSERT_TRUE(w.SetDefaultAmmo());
    const WeaponInstance before = w;
    for (int32_t ammo : {5, -1, kAmmoTypeCount}) {
        EXPECT_FALSE(w.SetAmmoType(ammo)) << "ammo " << ammo;
        EXPECT_EQ(Fields(w), Fields(before)) << "ammo " << ammo;
    }
    EXPECT_TRUE(w.SetAmmoType(7));
    EXPECT_EQ(w.AmmoType, 7);
    ExpectLoaded(w, plus);
}

// Loading a pair the level never declared must not leave the last pair's values behind.
TEST_F(WeaponInstanceTest, LoadingAPairWithoutARowClearsTheParameters) {
    AddRow(4, 6, 3);
    WeaponInstance w = Armed(4);
    ASSERT_TRUE(w.SetDefaultAmmo());
    w.AmmoType = 9;
    EXPECT_FALSE(w.LoadParameters());
    EXPECT_EQ(w.WeaponType, 4);
    EXPECT_EQ(w.AmmoType, 9);
    EXPECT_EQ(w.Projectile, nullptr);
    for (float f : {w.FiringSpeed, w.RoundTicks, w.ReloadTicks, w.LifeTimer}) EXPECT_EQ(f, 0.0f);
    for (int32_t i : {w.MagazineSize, w.SalvoSize, w.Sound}) EXPECT_EQ(i, 0);

    // An unarmed character has no row at all.
    WeaponInstance unarmed = Armed(kNoWeapon);
    EXPECT_FALSE(unarmed.SetDefaultAmmo());
    EXPECT_EQ(unarmed.AmmoType, 2);
}

} // namespace
