// The client unit's items: which mounts are refused, what a mount adds and
// its unmount takes back, using, giving and dropping, and the messages that
// reach them. Main thread only (no server thread runs).
#include <gtest/gtest.h>

#include "Tv/client/client_unit.h"
#include "Tv/client/inventory.h"
#include "tests/tv/client_unit_fixture.h"

namespace {

class ClientUnitItems : public ClientUnitTest {
protected:
    // A unit of the local team with an inventory.
    ClientUnit* Carrier(int32_t id, int32_t limit = 0) {
        ObjectDefinition* definition = UnitDefinition();
        definition->limit = limit;
        ClientUnit* unit = MakeUnit(id, 1, {0, 0, 0}, definition);
        unit->UnitInventory = new Inventory(33, definition);
        return unit;
    }
    InventoryItem* Give(ClientUnit& unit, int32_t kind, int32_t itemId, int32_t count = 0, int32_t subType = 0,
                        int32_t value = 0, int32_t limitMask = 0) {
        auto* item = new InventoryItem;
        item->Kind = kind;
        item->ItemId = itemId;
        item->Count = count;
        item->SubType = subType;
        item->Value = value;
        item->LimitMask = limitMask;
        unit.UnitInventory->InsertItem(item);
        return item;
    }
};

TEST_F(ClientUnitItems, MountsAreRefusedByTheSlotTheLimitBitsOrAMissingItem) {
    const struct {
        const char* name;
        int32_t kind, slot, itemLimit, unitLimit, itemId;
        bool mounted;
    } cases[] = {
        {"armour on the body", IK_ARMOUR, 5, 0, 0, 1, true},
        {"a weapon on an arm", IK_WEAPON, 0, 0, 0, 1, true},
        {"a weapon on the body", IK_WEAPON, 5, 0, 0, 1, false},
        {"a repair item on the body", IK_REPAIR, 5, 0, 0, 1, false},
        {"limit bits met", IK_ARMOUR, 5, 0x6, 0x2, 1, false},
        {"limit bits apart", IK_ARMOUR, 5, 0x4, 0x2, 1, true},
        {"a slot beyond the mount points", IK_ARMOUR, 13, 0, 0, 1, false},
        {"a negative slot", IK_ARMOUR, -1, 0, 0, 1, false},
        {"an item the unit does not hold", IK_ARMOUR, 5, 0, 0, 99, false},
    };
    int32_t id = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClientUnit* unit = Carrier(id++, c.unitLimit);
        Give(*unit, c.kind, 1, 4, 0, 0, c.itemLimit);
        const Real armour = unit->Armour;
        unit->MountItem(c.slot, c.itemId, true);
        EXPECT_EQ(unit->MountedItems.Count(), c.mounted ? 1 : 0);
        if (!c.mounted) EXPECT_EQ(unit->Armour, armour) << "nothing changes";
    }
}

TEST_F(ClientUnitItems, WhatAMountAddsItsUnmountTakesBack) {
    ClientUnit* unit = Carrier(1);
    Give(*unit, IK_ARMOUR, 1, 5);
    Give(*unit, IK_MODULE, 2, 0, 3, 4); // a sight module of 4 m
    Give(*unit, IK_ARMOUR, 3, 2);
    const Real armour = unit->Armour;
    unit->MountItem(5, 1, true);
    EXPECT_EQ(unit->Armour, armour + 5);
    EXPECT_EQ(seen.sounds, (std::vector<SeenSound>{{27, ""}})) << "announced for the local team";
    Dispatch(Record(122, {1, 6, 2})); // the quiet mount message
    EXPECT_EQ(unit->SightRange(), 24.0f);
    EXPECT_EQ(unit->GetFirstPersonRange(), 30.0f) << "10 + 5 x 4, capped at the maximum";
    EXPECT_EQ(unit->SightBonusCount, 1);

    unit->MountItem(5, 3, false); // the same slot: the first item comes off
    EXPECT_EQ(unit->MountedItems.Count(), 2);
    EXPECT_EQ(unit->Armour, armour + 2);
    unit->MountItem(7, 3, false); // the same item elsewhere: off its old slot
    EXPECT_EQ(unit->MountedItems.Count(), 2);
    EXPECT_EQ(unit->FindMounted(3)->MountSlot, 7);

    unit->UnmountItem(unit->FindMounted(2));
    unit->UnmountItem(unit->FindMounted(3));
    EXPECT_EQ(unit->MountedItems.Count(), 0);
    EXPECT_EQ(unit->Armour, armour);
    EXPECT_EQ(unit->SightRange(), 20.0f);
    EXPECT_EQ(unit->SightBonusCount, 0);
}

TEST_F(ClientUnitItems, RepairsHealUpToTheStrengthAndGoWhenUsed) {
    ClientUnit* unit = Carrier(1);
    unit->Health = 90;
    Give(*unit, IK_REPAIR, 1, 0, 0, 25);
    Give(*unit, IK_REPAIR, 2, 0, 0, 25, 0x1);
    unit->UseItem(1, true);
    EXPECT_EQ(unit->Health, 100.0f);
    EXPECT_EQ(unit->UnitInventory->FindItem(1), nullptr);
    EXPECT_EQ(seen.sounds, (std::vector<SeenSound>{{26, ""}}));
    unit->Definition = UnitDefinition();
    const_cast<ObjectDefinition*>(unit->Definition)->limit = 0x1;
    unit->Health = 50;
    unit->UseItem(2, true); // limited: nothing
    EXPECT_EQ(unit->Health, 50.0f);
    EXPECT_NE(unit->UnitInventory->FindItem(2), nullptr);
}

TEST_F(ClientUnitItems, GivingMovesTheWholeItemOrPartOfAStack) {
    ClientUnit* giver = Carrier(1);
    ClientUnit* receiver = Carrier(2);
    ClientObject* crate = MakeClientObject(3);
    Give(*giver, IK_ARMOUR, 1, 3);
    InventoryItem* mines = Give(*giver, IK_MINE_LAYER, 2, 0, kMineTypeDecoy, 5);
    giver->MountItem(5, 1, false);

    giver->GiveItem(1, 3, -1, 50); // a receiver without an inventory
    giver->GiveItem(1, 99, -1, 50);
    EXPECT_NE(giver->UnitInventory->FindItem(1), nullptr);
    EXPECT_EQ(crate->GetInventory(), nullptr);

    giver->GiveItem(1, 2, -1, 50);
    EXPECT_EQ(giver->UnitInventory->FindItem(1), nullptr);
    EXPECT_EQ(giver->MountedItems.Count(), 0) << "unmounted first";
    ASSERT_NE(receiver->UnitInventory->FindItem(1), nullptr) << "the record itself moves";
    ASSERT_GE(seen.sounds.size(), 2u);
    EXPECT_EQ(seen.sounds[seen.sounds.size() - 2], (SeenSound{55, ""})) << "handed on, then unmounted";
    EXPECT_EQ(seen.sounds.back(), (SeenSound{120, ""}));

    giver->GiveItem(2, 2, -1, 51); // a whole mine layer
    EXPECT_EQ(receiver->UnitInventory->FindItem(2), mines);
}

TEST_F(ClientUnitItems, ADecoyThrowUsesOneAndTurnsTheUnitTowardThePoint) {
    ClientUnit* unit = Carrier(1);
    Give(*unit, IK_MINE_LAYER, 1, 0, kMineTypeDecoy, 2);
    unit->ThrowDecoy(Vector3(5, 0, 0));
    EXPECT_EQ(unit->UnitInventory->FindItem(1)->Value, 1);
    EXPECT_NEAR(HeadingOf(unit->Orientation), 1024.0f, 3.0f);
    unit->ThrowDecoy(Vector3(0, 0, -5));
    EXPECT_EQ(unit->UnitInventory->FindItem(1), nullptr) << "gone at zero";
    unit->ThrowDecoy(Vector3(0, 0, 5)); // none left: it only turns
    EXPECT_NEAR(HeadingOf(unit->Orientation), 0.0f, 3.0f);
}

TEST_F(ClientUnitItems, DroppingAnItemUnmountsAndRemovesIt) {
    ClientUnit* unit = Carrier(1);
    Give(*unit, IK_ARMOUR, 1, 3);
    unit->MountItem(5, 1, false);
    Dispatch(Record(125, {1, 1}));
    EXPECT_EQ(unit->UnitInventory->FindItem(1), nullptr);
    EXPECT_EQ(unit->MountedItems.Count(), 0);
    unit->DropItem(1); // gone already: nothing
}

} // namespace
