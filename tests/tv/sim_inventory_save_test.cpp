// The saved game's inventory block: its bytes, the items coming back in
// reverse order with their look derived again, and the files it refuses.
// Test thread only (no server thread runs).

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "Awapi/model/model_node.h"
#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/server.h"
#include "Tv/sim/actor_save.h"
#include "Tv/sim/server_unit.h"
#include "core/bytes.h"
#include "core/stringtable.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr size_t kHeader = 8;      // owner count, next item id
constexpr size_t kOwnerHeader = 8; // actor id, item count
constexpr size_t kRecord = 56;
constexpr int32_t kAmmoTextId = 3403;

class InventorySaveTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        savedNextItemId_ = NextInventoryItemId;
        savedStrings_ = ResourceStrings;
        ammoText_ = StringTableEntry{kAmmoTextId, ammoTextBytes_};
        ResourceStrings = StringTable{&ammoText_, 1};
        AmmoTypeTable[0].descriptionStringId = kAmmoTextId;
        AmmoTypeTable[0].maxPerSlot = 40;

        walker->character->maxAmmo = 1; // the owners' limits
        walker->character->maxWeapon = 1;
        walker->character->maxModule = 1;
        medkit = MakeDefinition("medkit", 10, true, false, true);
        medkit->pickup = std::make_unique<PickupRecord>();
        medkit->pickup->descriptionText = "A medkit";
        rifle = MakeDefinition("rifle", 10, true, false, true);
        rifle->model = new AwModel; // no pickup record: the definition's own look, no name
    }
    void TearDown() override {
        AmmoTypeTable[0] = AmmoTypeRow{};
        ResourceStrings = savedStrings_;
        NextInventoryItemId = savedNextItemId_;
        SimTest::TearDown();
    }

    ServerUnit* MakeOwner(int32_t team = 1) {
        ServerUnit* unit = MakeUnit(team, Vector3(0, 0, 0));
        if (unit && !unit->Inventory) unit->Inventory = new Inventory(kWeaponTypeNone, unit->Definition);
        return unit;
    }
    // Items A (module), B (weapon), C (ammunition type 0), added in that order.
    void Fill(Inventory& inventory) {
        inventory.AddItem(IK_MODULE, medkit, 11, 2);
        inventory.AddItem(IK_WEAPON, rifle, 12, -1);
        inventory.AddAmmo(0, 25, 13);
    }
    static std::vector<int32_t> Ids(const Inventory& inventory) {
        std::vector<int32_t> ids;
        for (const InventoryItem* item : inventory.Items) ids.push_back(IsEndMarker(item) ? -1 : item->ItemId);
        return ids;
    }
    static std::vector<uint8_t> Save() {
        ByteWriter out;
        EXPECT_TRUE(TvSaveInventories(out));
        return out.bytes();
    }
    static bool Load(const std::vector<uint8_t>& bytes) {
        ByteReader in(bytes.data(), bytes.size());
        return TvLoadInventories(in);
    }
    static void PutInt(std::vector<uint8_t>& bytes, size_t offset, int32_t value) {
        std::memcpy(bytes.data() + offset, &value, 4);
    }

    ObjectDefinition* medkit = nullptr;
    ObjectDefinition* rifle = nullptr;
    ServerLockHold lock_;

private:
    int32_t savedNextItemId_ = 0;
    StringTable savedStrings_;
    StringTableEntry ammoText_{};
    char ammoTextBytes_[6] = "Slugs";
};

TEST_F(InventorySaveTest, WritesEachOwnerAndItsItemsFieldByField) {
    MakeActor(0); // no inventory: not an owner
    ServerUnit* owner = MakeOwner();
    ASSERT_NE(owner, nullptr);
    Fill(*owner->Inventory);
    NextInventoryItemId = 14;

    const std::vector<uint8_t> bytes = Save();
    ASSERT_EQ(bytes.size(), kHeader + kOwnerHeader + 3 * kRecord);
    EXPECT_EQ(MessageInt(bytes, 0), 1);
    EXPECT_EQ(MessageInt(bytes, 4), 14);
    EXPECT_EQ(MessageInt(bytes, 8), owner->Id);
    EXPECT_EQ(MessageInt(bytes, 12), 3) << "the end marker is not saved";

    // List order: ammunition, weapon, module (each new kind goes to the front).
    struct Expected {
        int32_t kind, value, definitionId, subType, itemId, maxCount, count;
    };
    const Expected expected[] = {
        {IK_AMMO, 0, 0, 0, 13, 40, 25},
        {IK_WEAPON, 0, rifle->id, 33, 12, 0, 0},
        {IK_MODULE, 0, medkit->id, 33, 11, 0, 2},
    };
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const size_t at = kHeader + kOwnerHeader + i * kRecord;
        EXPECT_EQ(MessageInt(bytes, at), expected[i].kind);
        for (size_t word = 4; word < 24; word += 4)
            EXPECT_EQ(MessageInt(bytes, at + word), 0) << "pointer word " << word;
        EXPECT_EQ(MessageInt(bytes, at + 24), expected[i].value);
        EXPECT_EQ(MessageInt(bytes, at + 28), expected[i].definitionId);
        EXPECT_EQ(MessageInt(bytes, at + 32), expected[i].subType);
        EXPECT_EQ(MessageInt(bytes, at + 36), expected[i].itemId);
        EXPECT_EQ(MessageInt(bytes, at + 40), expected[i].maxCount);
        EXPECT_EQ(MessageInt(bytes, at + 44), expected[i].count);
    }
}

TEST_F(InventorySaveTest, ItemsComeBackReversedAheadOfTheEndMarkerWithTheirLook) {
    ServerUnit* owner = MakeOwner();
    ASSERT_NE(owner, nullptr);
    Fill(*owner->Inventory);
    ASSERT_EQ(Ids(*owner->Inventory), (std::vector<int32_t>{13, 12, 11, -1}));
    NextInventoryItemId = 14;
    const std::vector<uint8_t> bytes = Save();

    delete owner->Inventory;
    owner->Inventory = new Inventory(kWeaponTypeNone, owner->Definition);
    NextInventoryItemId = 0;
    ASSERT_TRUE(Load(bytes));

    const Inventory& loaded = *owner->Inventory;
    EXPECT_EQ(Ids(loaded), (std::vector<int32_t>{11, 12, 13, -1}));
    EXPECT_EQ(NextInventoryItemId, 14);
    const InventoryItem* module = loaded.FindItem(11);
    const InventoryItem* weapon = loaded.FindItem(12);
    const InventoryItem* ammo = loaded.FindItem(13);
    ASSERT_TRUE(module && weapon && ammo);
    EXPECT_STREQ(module->Name, "A medkit");
    EXPECT_EQ(module->Count, 2);
    EXPECT_EQ(weapon->Model, rifle->model) << "the definition's own model without a pickup look";
    EXPECT_EQ(weapon->Name, nullptr);
    EXPECT_STREQ(ammo->Name, "Slugs") << "ammunition type 0 (definition id 0) takes its row's text";
    EXPECT_EQ(ammo->Count, 25);
    EXPECT_EQ(ammo->MaxCount, 40);
    EXPECT_EQ(ammo->ViewModel, nullptr);
    for (const InventoryCursor* cursor : {&loaded.WeaponCursor, &loaded.AmmoCursor, &loaded.OtherCursor})
        EXPECT_EQ(*cursor->Payload(), module) << "every cursor on the first entry";
}

// Each case spoils a good block of one owner with items A, B, C; the load
// fails and the owner's inventory stays as it was.
TEST_F(InventorySaveTest, RefusesWhatTheFileCannotHold) {
    ServerUnit* owner = MakeOwner();
    ServerObject* crate = MakeActor(0);
    ASSERT_TRUE(owner && crate);
    Fill(*owner->Inventory);
    const std::vector<uint8_t> good = Save();
    const size_t first = kHeader + kOwnerHeader; // the first record (ammunition)
    const size_t second = first + kRecord;       // the weapon

    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> spoil;
    };
    const Case cases[] = {
        {"cut inside a record", [&](auto& b) { b.resize(b.size() - 1); }},
        {"owner count beyond the bytes", [&](auto& b) { PutInt(b, 0, 0x7fffffff); }},
        {"item count beyond the bytes", [&](auto& b) { PutInt(b, 12, 0x40000000); }},
        {"owner not loaded", [&](auto& b) { PutInt(b, 8, 9999); }},
        {"owner without inventory", [&](auto& b) { PutInt(b, 8, crate->Id); }},
        {"kind 1", [&](auto& b) { PutInt(b, second, 1); }},
        {"kind 2 (never stored)", [&](auto& b) { PutInt(b, second, IK_NOT_STORED); }},
        {"kind 10", [&](auto& b) { PutInt(b, second, 10); }},
        {"kind -1", [&](auto& b) { PutInt(b, second, -1); }},
        {"unknown definition", [&](auto& b) { PutInt(b, second + 28, 77777); }},
        {"ammunition row 19", [&](auto& b) { PutInt(b, first + 28, -kAmmoTypeCount); }},
        {"ammunition row from a positive id", [&](auto& b) { PutInt(b, first + 28, 3); }},
        {"ammunition type 19 in the value", [&](auto& b) { PutInt(b, first + 24, kAmmoTypeCount); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        delete owner->Inventory;
        owner->Inventory = new Inventory(kWeaponTypeNone, owner->Definition);
        std::vector<uint8_t> bytes = good;
        c.spoil(bytes);
        EXPECT_FALSE(Load(bytes));
        if (std::string(c.what).find("count") != std::string::npos) {
            EXPECT_EQ(owner->Inventory->ItemCount(), 0);
        }
    }
    delete owner->Inventory;
    owner->Inventory = new Inventory(kWeaponTypeNone, owner->Definition);
    EXPECT_TRUE(Load(good)) << "the unspoilt block loads";
}

} // namespace
