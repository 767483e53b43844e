// Items mounted, added, counted and refused.

#include "Tv/client/inventory.h"
#include "Tv/server/game_settings.h"
#include "tests/tv/client_effects_fixture.h"

namespace {

// A client object that carries an inventory, as units do.
class Carrier final : public ClientObject {
public:
    Carrier(const ObjectDefinition* definition, int32_t id)
        : ClientObject(1, definition, {0, 0, 0}, Quaternion{0, 0, 0, 1}, kClientFlagsPlain, id),
          inventory(kNoWeaponForTest, definition) {}
    Inventory* GetInventory() const override { return const_cast<Inventory*>(&inventory); }

    static constexpr int32_t kNoWeaponForTest = 33;
    Inventory inventory;
};

ByteWriter AddItemRecord(int32_t owner, int32_t item, int32_t ammoType, int32_t itemId) {
    return Record(152, {owner, item, 7, 40, 25, ammoType, itemId});
}

class ClientDispatchItems : public ClientEffectsTest {
protected:
    Carrier* MakeCarrier(const ObjectDefinition* definition, int32_t id) { return new Carrier(definition, id); }
};

TEST_F(ClientDispatchItems, MountSlotsOutsideTheModelAreDropped) {
    MakeClientObject(3);
    for (int32_t type : {121, 122})
        for (int32_t slot : {-1, 13}) ExpectDropped(Record(type, {3, slot, 9}));
    for (int32_t slot : {0, 12}) Dispatch(Record(121, {3, slot, 9}));
    EXPECT_EQ(drops.reasons.size(), 4u);
}

TEST_F(ClientDispatchItems, AddItemGoesToTheLastObjectOfTheOwnerDefinition) {
    ObjectDefinition* owner = MakeDefinition("robot", 1, true, false, true);
    MakeClientObject(2); // later in the walk, of another definition
    Carrier* older = MakeCarrier(owner, 1);
    // Bucket 1 again: chains take new objects at their head, so the older one comes later in the walk.
    Carrier* newer = MakeCarrier(owner, 65);
    Dispatch(AddItemRecord(owner->id, -5, 3, 800));
    InventoryItem* item = older->inventory.FindItem(800);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Kind, IK_AMMO);
    EXPECT_EQ(item->Value, 7);
    EXPECT_EQ(item->MaxCount, 40);
    EXPECT_EQ(item->Count, 25);
    EXPECT_EQ(newer->inventory.FindItem(800), nullptr);
}

TEST_F(ClientDispatchItems, AddItemRefusesAmmunitionTypesOutsideTheTable) {
    ObjectDefinition* owner = MakeDefinition("robot", 1, true, false, true);
    Carrier* carrier = MakeCarrier(owner, 1);
    for (int32_t ammoType : {-2, 19}) ExpectDropped(AddItemRecord(owner->id, -5, ammoType, 800));
    EXPECT_EQ(carrier->inventory.ItemCount(), 0);
    // -1: an item given by name, whose definition is unknown here: nothing, and no drop.
    Dispatch(AddItemRecord(owner->id, 9999, -1, 801));
    EXPECT_EQ(carrier->inventory.ItemCount(), 0);
    EXPECT_EQ(drops.reasons.size(), 2u);
}

TEST_F(ClientDispatchItems, ShieldAndArmourCountsChangeOnlyItemsOfTheirKind) {
    ObjectDefinition* owner = MakeDefinition("robot", 1, true, false, true);
    Carrier* carrier = MakeCarrier(owner, 1);
    auto* shield = new InventoryItem;
    shield->Kind = IK_SHIELD;
    shield->ItemId = 5;
    carrier->inventory.InsertItem(shield);
    Dispatch(Record(168, {1, 5, 90})); // armour count for a shield: nothing
    EXPECT_EQ(shield->Count, 0);
    Dispatch(Record(167, {1, 5, 90}));
    EXPECT_EQ(shield->Count, 90);
    Dispatch(Record(126, {1, 5}));
    EXPECT_EQ(carrier->inventory.FindItem(5), nullptr);
}

TEST_F(ClientDispatchItems, InventoryFullSoundsOnlyForTheLocalTeam) {
    LocalTeam = 1;
    CurrentGameType = kGameLastLeadStanding;
    MakeClientObject(3, 1);
    MakeClientObject(4, 3);
    Dispatch(Record(120, {4, IK_AMMO}));
    EXPECT_TRUE(seen.sounds.empty());
    Dispatch(Record(120, {3, IK_AMMO}));
    EXPECT_EQ(seen.sounds, (std::vector<SeenSound>{{40, ""}}));
    CurrentGameType = kGameStory;
}

TEST_F(ClientDispatchItems, PickupCollectedByAnObjectThatIsNoUnitChangesNothing) {
    const ObjectDefinition* item = MakeDefinition("bolts", 1, true, false, true);
    ObjectDefinition* owner = MakeDefinition("robot", 1, true, false, true);
    Carrier* carrier = MakeCarrier(owner, 1);
    LocalTeam = 1;
    Dispatch(Record(118, {1, IK_AMMO, item->id, 3, 10}));
    EXPECT_EQ(carrier->inventory.ItemCount(), 0);
    EXPECT_TRUE(seen.sounds.empty());
    EXPECT_TRUE(seen.captions.empty());
}

} // namespace
