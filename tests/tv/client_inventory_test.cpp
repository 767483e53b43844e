#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Tv/client/equipment_view.h"
#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "core/refcounted.h"

namespace {

std::vector<int32_t>& PlayedSounds() {
    static std::vector<int32_t> played;
    return played;
}

class InventoryTest : public ::testing::Test {
protected:
    static constexpr int32_t kPerSlot = 50;

    void SetUp() override {
        owner.character = std::make_unique<CharacterRecord>();
        owner.character->maxWeapon = 2;
        owner.character->maxAmmo = 2;
        owner.character->maxModule = 3;
        for (AmmoTypeRow& row : AmmoTypeTable) row.maxPerSlot = kPerSlot;
        PlayedSounds().clear();
        EquipViewHooks.playSound = [](int32_t sample) { PlayedSounds().push_back(sample); };
    }
    void TearDown() override {
        for (AmmoTypeRow& row : AmmoTypeTable) row.maxPerSlot = 0;
        ResetEquipmentViewHooks();
        SelectedInventoryItem = nullptr;
    }

    // An item definition whose character carries the base value (16.16) and the sub-type.
    ObjectDefinition* Item(int32_t base, int32_t subType = 0) {
        auto& definition = definitions.emplace_back(
            std::make_unique<ObjectDefinition>(100 + static_cast<int32_t>(definitions.size())));
        definition->character = std::make_unique<CharacterRecord>();
        definition->character->walkingSpeed = base * 65536;
        definition->character->weapon = subType;
        return definition.get();
    }

    // The item ids in list order; the list must end with the end marker.
    static std::vector<int32_t> Ids(const Inventory& inventory) {
        std::vector<int32_t> ids;
        for (const InventoryItem* item : inventory.Items) {
            if (IsEndMarker(item)) break;
            ids.push_back(item->ItemId);
        }
        EXPECT_TRUE(IsEndMarker(inventory.Items.Back()));
        EXPECT_EQ(static_cast<int32_t>(ids.size()), inventory.ItemCount());
        return ids;
    }
    static std::vector<int32_t> Counts(const Inventory& inventory) {
        std::vector<int32_t> counts;
        for (const InventoryItem* item : inventory.Items)
            if (!IsEndMarker(item)) counts.push_back(item->Count);
        return counts;
    }
    static bool AllCursorsOnFirstEntry(const Inventory& inventory) {
        const InventoryItem* first = inventory.Items.Front();
        return *inventory.WeaponCursor.Payload() == first && *inventory.AmmoCursor.Payload() == first &&
               *inventory.OtherCursor.Payload() == first;
    }

    ObjectDefinition owner{1};
    std::vector<std::unique_ptr<ObjectDefinition>> definitions;
};

TEST_F(InventoryTest, ANewInventoryHoldsOnlyTheEndMarker) {
    Inventory inventory(7, &owner);
    EXPECT_EQ(inventory.OwnerWeaponType, 7);
    EXPECT_EQ(inventory.MaxWeapon, 2);
    EXPECT_EQ(inventory.MaxAmmo, 2);
    EXPECT_EQ(inventory.MaxModule, 3);
    ASSERT_EQ(inventory.Items.Count(), 1);
    const InventoryItem* marker = inventory.Items.Front();
    EXPECT_TRUE(IsEndMarker(marker));
    EXPECT_EQ(marker->SubType, 33);
    EXPECT_EQ(marker->DefinitionId, 0x7fffffff);
    EXPECT_EQ(inventory.ItemCount(), 0);
    EXPECT_EQ(inventory.FindItem(0), nullptr);
    EXPECT_FALSE(inventory.HasAmmoType(0));
    InventoryCursor cursor(inventory.Items);
    EXPECT_FALSE(inventory.SeekWeapon(cursor));
    EXPECT_FALSE(inventory.SeekAmmo(cursor));
    EXPECT_FALSE(inventory.SeekOther(cursor));
    EXPECT_EQ(*cursor.Payload(), marker);
    EXPECT_TRUE(AllCursorsOnFirstEntry(inventory));

    // The end marker is never removed or found.
    inventory.RemoveItem(inventory.Items.Front());
    inventory.RemoveItemById(0);
    EXPECT_EQ(inventory.Items.Count(), 1);

    // An owner without a character record carries nothing more than limits of 0.
    ObjectDefinition bare(2);
    Inventory unlimited(0, &bare);
    EXPECT_EQ(unlimited.RoomFor(IK_WEAPON, 0), 0);
    EXPECT_EQ(unlimited.RoomFor(IK_REPAIR, 0), 0);
}

TEST_F(InventoryTest, ItemsStandGroupedByKindNewestFirst) {
    Inventory inventory(0, &owner);
    inventory.AddItem(IK_WEAPON, Item(1, 4), 1, -1);
    inventory.AddItem(IK_ARMOUR, Item(20), 2, -1);
    inventory.AddItem(IK_WEAPON, Item(1, 5), 3, -1);
    EXPECT_EQ(Ids(inventory), (std::vector<int32_t>{2, 3, 1}));
    EXPECT_TRUE(AllCursorsOnFirstEntry(inventory));

    inventory.NewAmmoStack(3, 4);
    inventory.AddItem(IK_REPAIR, Item(5), 5, -1);
    inventory.AddItem(IK_ARMOUR, Item(20), 6, -1);
    EXPECT_EQ(Ids(inventory), (std::vector<int32_t>{5, 4, 6, 2, 3, 1}));

    // A whole item from elsewhere joins its kind the same way.
    auto* weapon = new InventoryItem;
    weapon->Kind = IK_WEAPON;
    weapon->ItemId = 7;
    inventory.InsertItem(weapon);
    EXPECT_EQ(Ids(inventory), (std::vector<int32_t>{5, 4, 6, 2, 7, 3, 1}));
    EXPECT_TRUE(AllCursorsOnFirstEntry(inventory));
}

TEST_F(InventoryTest, AddItemTakesItsFieldsFromTheDefinition) {
    struct Case {
        int32_t kind, count;
        int32_t value, maxCount, itemCount;
    };
    // Base value 12 for every case.
    const Case cases[] = {
        {IK_SHIELD, -1, 12, 12, 12}, {IK_SHIELD, 5, 12, 12, 5},     {IK_ARMOUR, -1, 12, 12, 12},
        {IK_MINE_LAYER, 4, 4, 0, 4}, {IK_MINE_LAYER, -1, 12, 0, 0}, {IK_WEAPON, -1, 12, 0, 0},
        {IK_REPAIR, 3, 12, 0, 3},    {IK_MODULE, -1, 12, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " count " << c.count);
        Inventory inventory(0, &owner);
        ObjectDefinition* definition = Item(12, 9);
        definition->character->walkingSpeed += 65535; // the fraction is dropped
        definition->limit = 0x14;
        inventory.AddItem(c.kind, definition, 77, c.count);
        const InventoryItem* item = inventory.FindItem(77);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Kind, c.kind);
        EXPECT_EQ(item->Value, c.value);
        EXPECT_EQ(item->MaxCount, c.maxCount);
        EXPECT_EQ(item->Count, c.itemCount);
        EXPECT_EQ(item->SubType, 9);
        EXPECT_EQ(item->DefinitionId, definition->id);
        EXPECT_EQ(item->LimitMask, 0x14);
        EXPECT_EQ(item->DeathAction, 0);
        EXPECT_EQ(item->Name, nullptr);
    }
}

TEST_F(InventoryTest, ThePickupRecordGivesTheItemsLookNameAndDeathAction) {
    Inventory inventory(0, &owner);
    ObjectDefinition* definition = Item(1);
    definition->model = reinterpret_cast<AwModel*>(0x10); // never dereferenced
    definition->shape = reinterpret_cast<AwShape*>(0x20);
    definition->pickup = std::make_unique<PickupRecord>();
    definition->pickup->descriptionText = "A medium repair kit";
    definition->pickup->actionOnDeath = 2;
    inventory.AddItem(IK_REPAIR, definition, 1, -1);
    const InventoryItem* item = inventory.FindItem(1);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Model, definition->model); // the record has no look of its own
    EXPECT_EQ(item->Shape, definition->shape);
    EXPECT_STREQ(item->Name, "A medium repair kit");
    EXPECT_EQ(item->DeathAction, 2);
    definition->model = nullptr;
    definition->shape = nullptr;
}

TEST_F(InventoryTest, BadItemInputAddsNothing) {
    Inventory inventory(0, &owner);
    ObjectDefinition noCharacter(60);
    inventory.AddItem(IK_WEAPON, &noCharacter, 1, -1);
    inventory.AddItem(IK_WEAPON, nullptr, 2, -1);
    inventory.AddItem(IK_NOT_STORED, Item(5), 3, -1);
    inventory.AddItem(IK_AMMO, Item(10, kAmmoTypeCount), 4, -1);
    inventory.AddItem(IK_AMMO, Item(10, -1), 5, -1);
    inventory.AddAmmo(kAmmoTypeCount, 10, 6);
    inventory.AddAmmo(-1, 10, 7);
    EXPECT_EQ(inventory.NewAmmoStack(19, 8), nullptr);
    inventory.AddAmmo(3, -5, 9); // a negative amount opens no stack
    inventory.AddAmmo(3, 0, 10);
    EXPECT_EQ(inventory.ItemCount(), 0);
    // Nothing to be collected either: no room for what cannot be added.
    EXPECT_EQ(inventory.RoomForDefinition(IK_WEAPON, &noCharacter), 0);
    EXPECT_EQ(inventory.RoomForDefinition(IK_WEAPON, nullptr), 0);
    EXPECT_EQ(inventory.RoomFor(IK_AMMO, kAmmoTypeCount), 0);
    EXPECT_EQ(inventory.RoomFor(IK_AMMO, -1), 0);
}

TEST_F(InventoryTest, AmmunitionFillsStacksThenOpensOneMore) {
    {
        // One free stack place: 120 rounds open one stack of 50 and 70 are lost.
        Inventory inventory(0, &owner);
        inventory.NewAmmoStack(4, 1)->Count = kPerSlot;
        inventory.AddAmmo(3, 120, 2);
        EXPECT_EQ(Ids(inventory), (std::vector<int32_t>{2, 1}));
        EXPECT_EQ(Counts(inventory), (std::vector<int32_t>{50, 50}));
    }
    {
        // Stacks at 40/50 and 10/50 take 25 as 50 and 25, in list order.
        Inventory inventory(0, &owner);
        inventory.NewAmmoStack(3, 1)->Count = 10;
        inventory.NewAmmoStack(3, 2)->Count = 40;
        inventory.AddAmmo(3, 25, 3);
        EXPECT_EQ(Ids(inventory), (std::vector<int32_t>{2, 1}));
        EXPECT_EQ(Counts(inventory), (std::vector<int32_t>{50, 25}));
        // Two full stacks at MaxAmmo: nothing changes.
        inventory.FindItem(1)->Count = kPerSlot;
        inventory.AddAmmo(3, 10, 4);
        EXPECT_EQ(Counts(inventory), (std::vector<int32_t>{50, 50}));
        EXPECT_EQ(inventory.ItemCount(), 2);
    }
    {
        // An ammunition pickup without a count brings its base value.
        Inventory inventory(0, &owner);
        inventory.AddItem(IK_AMMO, Item(30, 5), 9, -1);
        inventory.AddItem(IK_AMMO, Item(30, 5), 10, 4);
        EXPECT_EQ(Ids(inventory), (std::vector<int32_t>{9}));
        EXPECT_EQ(Counts(inventory), (std::vector<int32_t>{34}));
        EXPECT_TRUE(inventory.HasAmmoType(5));
        EXPECT_FALSE(inventory.HasAmmoType(3));
    }
}

TEST_F(InventoryTest, AnAmmunitionStackIsKeyedByItsType) {
    Inventory inventory(0, &owner);
    AmmoTypeTable[0].maxPerSlot = 80;
    for (int32_t type : {0, 7}) {
        SCOPED_TRACE(type);
        const InventoryItem* stack = inventory.NewAmmoStack(type, 20 + type);
        ASSERT_NE(stack, nullptr);
        EXPECT_EQ(stack->Kind, IK_AMMO);
        EXPECT_EQ(stack->DefinitionId, -type);
        EXPECT_EQ(stack->Value, type);
        EXPECT_EQ(stack->SubType, type);
        EXPECT_EQ(stack->MaxCount, type == 0 ? 80 : kPerSlot);
        EXPECT_EQ(stack->Count, 0);
        EXPECT_STREQ(stack->Name, ""); // no string table loaded
    }
}

TEST_F(InventoryTest, RoomFollowsTheThreeLimits) {
    Inventory inventory(0, &owner);
    EXPECT_EQ(inventory.RoomFor(IK_NOT_STORED, 0), kRoomUnlimited);
    // Weapons against MaxWeapon (2).
    inventory.AddItem(IK_WEAPON, Item(1), 1, -1);
    EXPECT_EQ(inventory.RoomFor(IK_WEAPON, 0), kRoomUnlimited);
    inventory.AddItem(IK_WEAPON, Item(1), 2, -1);
    EXPECT_EQ(inventory.RoomFor(IK_WEAPON, 0), 0);

    // Ammunition: below MaxAmmo any type has room, whatever the stacks hold;
    // at the limit only the free rounds in the stacks of the type.
    inventory.NewAmmoStack(3, 3)->Count = 45;
    EXPECT_EQ(inventory.RoomFor(IK_AMMO, 3), kRoomUnlimited);
    inventory.NewAmmoStack(3, 4)->Count = 20;
    EXPECT_EQ(inventory.RoomFor(IK_AMMO, 3), 5 + 30);
    EXPECT_EQ(inventory.RoomFor(IK_AMMO, 6), 0);
    inventory.FindItem(3)->Count = kPerSlot;
    inventory.FindItem(4)->Count = kPerSlot;
    EXPECT_EQ(inventory.RoomFor(IK_AMMO, 3), 0);

    // Every other stored kind counts together against MaxModule (3); the
    // weapons and ammunition above do not.
    for (int32_t kind : {IK_REPAIR, IK_SHIELD, IK_MINE_LAYER, IK_MODULE, IK_MODULE_2, IK_ARMOUR})
        EXPECT_EQ(inventory.RoomFor(kind, 0), kRoomUnlimited) << kind;
    inventory.AddItem(IK_REPAIR, Item(1), 5, -1);
    inventory.AddItem(IK_MINE_LAYER, Item(1), 6, -1);
    EXPECT_EQ(inventory.RoomFor(IK_MODULE, 0), kRoomUnlimited);
    inventory.AddItem(IK_MODULE_2, Item(1), 7, -1);
    for (int32_t kind : {IK_REPAIR, IK_SHIELD, IK_MINE_LAYER, IK_MODULE, IK_MODULE_2, IK_ARMOUR})
        EXPECT_EQ(inventory.RoomFor(kind, 0), 0) << kind;
    EXPECT_EQ(inventory.RoomFor(IK_NOT_STORED, 0), kRoomUnlimited);

    // By definition: the character's "weapon" is the key.
    EXPECT_EQ(inventory.RoomForDefinition(IK_AMMO, Item(10, 3)), 0);
    inventory.FindItem(4)->Count = 44;
    EXPECT_EQ(inventory.RoomForDefinition(IK_AMMO, Item(10, 3)), 6);
}

TEST_F(InventoryTest, LookUpsRemovalAndMovingItems) {
    Inventory inventory(0, &owner);
    inventory.AddItem(IK_REPAIR, Item(5), 1, -1);
    inventory.AddItem(IK_WEAPON, Item(1), 2, -1);
    inventory.AddItem(IK_MINE_LAYER, Item(3), 3, -1);

    inventory.SetItemValue(3, 2);
    inventory.SetItemValue(99, 8); // unknown ids change nothing
    EXPECT_EQ(inventory.FindItem(3)->Value, 2);
    inventory.RemoveItemById(99);
    EXPECT_EQ(inventory.ItemCount(), 3);

    // Removing the selected item clears the selection and resets the cursors.
    inventory.WeaponCursor.NextCrossing();
    SelectedInventoryItem = inventory.FindItem(1);
    inventory.RemoveItemById(1);
    EXPECT_EQ(SelectedInventoryItem, nullptr);
    EXPECT_EQ(Ids(inventory), (std::vector<int32_t>{3, 2}));
    EXPECT_TRUE(AllCursorsOnFirstEntry(inventory));

    // A whole item moves to another inventory without a copy.
    Inventory receiver(0, &owner);
    InventoryItem* weapon = inventory.FindItem(2);
    InventoryItem* moved = inventory.UnlinkItem(weapon);
    ASSERT_EQ(moved, weapon);
    receiver.InsertItem(moved);
    EXPECT_EQ(Ids(inventory), (std::vector<int32_t>{3}));
    EXPECT_EQ(receiver.FindItem(2), weapon);
    EXPECT_EQ(inventory.UnlinkItem(weapon), nullptr); // not this inventory's any more
    inventory.RemoveItem(weapon);
    EXPECT_EQ(receiver.FindItem(2), weapon);
}

TEST_F(InventoryTest, CountCarriedCountsTheItemsOfANamedDefinition) {
    ObjectDefinition* key = DefinitionRegistry::NewDefinition();
    key->name = OwnedText("Key_Red");
    key->character = std::make_unique<CharacterRecord>();
    Inventory inventory(0, &owner);
    inventory.AddItem(IK_REPAIR, key, 1, -1);
    inventory.AddItem(IK_REPAIR, key, 2, -1);
    inventory.AddItem(IK_REPAIR, Item(1), 3, -1);
    EXPECT_EQ(inventory.CountCarried("key_red"), 2);
    EXPECT_EQ(inventory.CountCarried("nothing of that name"), 0);
    EXPECT_EQ(inventory.CountCarried(nullptr), 0);
    DefinitionRegistry::Remove(key);
}

TEST_F(InventoryTest, FreeingItemsReleasesTheirViewModelAndPanel) {
    RefCounted* panel = new RefCounted;
    RefCounted* plate = new RefCounted;
    panel->AddRef();
    plate->AddRef();
    {
        Inventory inventory(0, &owner);
        inventory.AddItem(IK_MODULE, Item(1), 1, -1);
        inventory.AddItem(IK_MODULE, Item(1), 2, -1);
        inventory.FindItem(1)->Panel = panel;
        inventory.FindItem(2)->Panel = panel;
        panel->AddRef();
        inventory.Plate = plate;
        inventory.RemoveItemById(1);
        EXPECT_EQ(panel->RefCount, 2);
    }
    EXPECT_EQ(panel->RefCount, 1);
    EXPECT_EQ(plate->RefCount, 1);
    panel->Release();
    plate->Release();
}

TEST_F(InventoryTest, ScrollingMovesAPageOfThreeWhenAFourthFollows) {
    Inventory inventory(0, &owner);
    // Other items of mixed kinds, with weapons and ammunition around them.
    inventory.AddItem(IK_WEAPON, Item(1), 10, -1);
    inventory.AddItem(IK_REPAIR, Item(1), 1, -1);
    inventory.AddItem(IK_SHIELD, Item(1), 2, -1);
    inventory.AddItem(IK_ARMOUR, Item(1), 3, -1);
    inventory.NewAmmoStack(2, 11);

    EXPECT_FALSE(inventory.ScrollForward(true, kScrollForwardOther)) << "a row of three";
    EXPECT_FALSE(inventory.ScrollBack(true, kScrollBackOther)) << "the first page";
    EXPECT_TRUE(PlayedSounds().empty());

    inventory.AddItem(IK_MODULE, Item(1), 4, -1);
    InventoryCursor firstPage = inventory.OtherCursor;
    ASSERT_TRUE(inventory.ScrollForward(true, kScrollForwardOther));
    EXPECT_EQ((*inventory.OtherCursor.Payload())->ItemId, 1);
    EXPECT_EQ(PlayedSounds(), (std::vector<int32_t>{kScrollSound}));
    // The second page holds the fourth item alone: no third page.
    EXPECT_FALSE(inventory.ScrollForward(true, kScrollForwardOther));
    InventoryCursor page = inventory.OtherCursor;
    EXPECT_TRUE(inventory.SeekOther(page));
    page.NextCrossing();
    EXPECT_FALSE(inventory.SeekOther(page));

    ASSERT_TRUE(inventory.ScrollBack(true, kScrollBackOther));
    InventoryCursor expected = firstPage;
    inventory.SeekOther(expected);
    EXPECT_EQ(*inventory.OtherCursor.Payload(), *expected.Payload());
    EXPECT_FALSE(inventory.ScrollBack(true, kScrollBackOther));
    EXPECT_EQ(PlayedSounds(), (std::vector<int32_t>{kScrollSound, kScrollSound}));

    // Without a rebuild the cursor moves in silence; other rows and unknown rows stay.
    EXPECT_TRUE(inventory.ScrollForward(false, kScrollForwardOther));
    EXPECT_FALSE(inventory.ScrollForward(false, kScrollForwardWeapons));
    EXPECT_FALSE(inventory.ScrollForward(false, kScrollForwardAmmo));
    EXPECT_FALSE(inventory.ScrollForward(true, 23));
    EXPECT_FALSE(inventory.ScrollBack(true, 16));
    EXPECT_EQ(PlayedSounds().size(), 2u);
}

TEST_F(InventoryTest, SeeksFindTheirRowsKinds) {
    Inventory inventory(0, &owner);
    inventory.AddItem(IK_WEAPON, Item(1), 1, -1);
    inventory.AddItem(IK_NOT_STORED, Item(1), 2, -1);
    inventory.NewAmmoStack(1, 3);
    inventory.AddItem(IK_ARMOUR, Item(1), 4, -1);
    struct Case {
        int32_t row;
        std::vector<int32_t> ids;
    };
    const Case cases[] = {{kViewRowWeapons, {1}}, {kViewRowAmmo, {3}}, {kViewRowOther, {4}}};
    for (const Case& c : cases) {
        InventoryCursor cursor(inventory.Items);
        std::vector<int32_t> found;
        while (inventory.SeekRow(c.row, cursor)) {
            found.push_back((*cursor.Payload())->ItemId);
            cursor.NextCrossing();
        }
        EXPECT_EQ(found, c.ids) << "row " << c.row;
        EXPECT_TRUE(IsEndMarker(*cursor.Payload()));
    }
}

TEST(MountPoints, EachSlotNamesItsPart) {
    const char* expected[kMountSlotCount] = {"Upper Arm Right", "Upper Arm Left", "slota", "slotb", "slotc",
                                             "slotd",           "slote",          "slotf", "slotg", "sloth",
                                             "sloti",           "slotj",          "slotk"};
    for (int32_t slot = 0; slot < kMountSlotCount; ++slot) EXPECT_STREQ(MountPointName(slot), expected[slot]);
    for (int32_t slot : {-1, kMountSlotCount, 1000}) {
        EXPECT_EQ(MountPointName(slot), nullptr) << slot;
        InventoryItem item;
        EXPECT_FALSE(AttachItemModel(nullptr, &item, slot));
    }
}

TEST(InventoryItemIds, TakingAnIdAnswersItAndRaisesTheCounter) {
    NextInventoryItemId = 5;
    EXPECT_EQ(TakeInventoryItemId(), 5);
    EXPECT_EQ(TakeInventoryItemId(), 6);
    EXPECT_EQ(NextInventoryItemId, 7);
    NextInventoryItemId = 0;
}

} // namespace
