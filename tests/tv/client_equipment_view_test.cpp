#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Awapi/camera.h"
#include "Awapi/model/model_node.h"
#include "Awapi/object.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "Tv/client/equipment_view.h"
#include "Tv/client/inventory.h"
#include "Tv/defs/objectdefinition.h"
#include "core/clock.h"
#include "core/refcounted.h"
#include "tests/awapi/engine_fixture.h"

namespace {

TEST(EquipmentViewScales, ItemModelsScaleByRowAndLargestExtent) {
    struct Case {
        int32_t row;
        float extent, scale;
    };
    const Case cases[] = {
        {kViewRowWeapons, 2.0f, 0.06f}, // 0.05 raised by 1.2
        {kViewRowWeapons, 1.0f, 0.1f},  // 0.1 is not below 0.1
        {kViewRowWeapons, 0.4f, 0.2f},  // 0.25 lowered by 0.8
        {kViewRowWeapons, 0.5f, 0.2f},  // 0.2 is not above 0.22
        {kViewRowAmmo, 0.5f, 0.18f},
        {kViewRowOther, 0.5f, 0.14f},
        // A flat or empty model scales as one of extent 1.0.
        {kViewRowWeapons, 0.0f, 0.1f},
        {kViewRowAmmo, 0.0f, 0.09f},
        {kViewRowOther, 0.0f, 0.07f},
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(ViewModelScale(c.row, c.extent), c.scale) << "row " << c.row << " extent " << c.extent;

    EXPECT_FLOAT_EQ(EquipViewScaleFor(1.0f), 0.34f); // 0.63 is capped
    EXPECT_FLOAT_EQ(EquipViewScaleFor(2.0f), 0.315f);
    EXPECT_FLOAT_EQ(EquipViewScaleFor(0.0f), 0.34f);
}

std::vector<AwObject*>& FoggedObjects() {
    static std::vector<AwObject*> fogged;
    return fogged;
}

class EquipmentViewTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        owner.character = std::make_unique<CharacterRecord>();
        owner.character->maxWeapon = 8;
        owner.character->maxAmmo = 8;
        owner.character->maxModule = 8;
        FoggedObjects().clear();
        EquipViewHooks.playSound = [](int32_t) {};
        EquipViewHooks.makeFoggedCopy = [](AwObject* object) { FoggedObjects().push_back(object); };
        for (ViewSlot& slot : ViewSlots) slot = ViewSlot{};
    }
    void TearDown() override {
        inventory.reset();
        for (AwShape* shape : shapes) shape->ReleaseUse();
        ResetEquipmentViewHooks();
        EngineTest::TearDown();
    }

    // A shape with bounds from min to max.
    AwShape* Shape(const Vector3& min, const Vector3& max) {
        auto* shape = shapes.emplace_back(new AwShape);
        shape->Min = min;
        shape->Max = max;
        shape->Flags = kShapeBoundsSet;
        return shape;
    }
    // An item of the kind showing the shape, keyed by id.
    InventoryItem* Add(int32_t kind, AwShape* shape, int32_t id) {
        auto* item = new InventoryItem;
        item->Kind = kind;
        item->Shape = shape;
        item->ItemId = id;
        inventory->InsertItem(item);
        return item;
    }
    std::vector<int32_t> ShownIds() const {
        std::vector<int32_t> ids;
        for (const ViewSlot& slot : ViewSlots) ids.push_back(slot.Item ? slot.Item->ItemId : -1);
        return ids;
    }

    ObjectDefinition owner{1};
    std::unique_ptr<Inventory> inventory = std::make_unique<Inventory>(0, &owner);
    std::vector<AwShape*> shapes;
};

TEST_F(EquipmentViewTest, AnItemModelIsScaledAndPlacedAtItsViewSlot) {
    InventoryItem* weapon = Add(IK_WEAPON, Shape({0, 1, 0}, {2, 2, 0.5f}), 1);
    ViewSlots[3].X = 0.5f;
    ViewSlots[3].Y = 0.3f;
    inventory->PlaceViewModel(weapon, 1, kViewRowWeapons);
    AwObject* model = weapon->ViewModel;
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(ViewSlots[3].Item, weapon);
    EXPECT_FALSE(model->Flags() & 0x80000000u) << "the scale applies";
    EXPECT_FLOAT_EQ(model->Scale().x, 0.06f);
    EXPECT_FLOAT_EQ(model->Scale().z, 0.06f);
    EXPECT_FLOAT_EQ(model->Position().x, 0.45f * 1.1111112f);
    EXPECT_FLOAT_EQ(model->Position().y, 0.25f * 1.1111112f - 0.06f * 1.5f);
    EXPECT_FLOAT_EQ(model->Position().z, 0.1f);
    EXPECT_EQ(FoggedObjects(), (std::vector<AwObject*>{model}));

    // Placed again, the same model moves.
    inventory->PlaceViewModel(weapon, 0, kViewRowOther);
    EXPECT_EQ(weapon->ViewModel, model);
    EXPECT_EQ(ViewSlots[2].Item, weapon);
    EXPECT_FLOAT_EQ(model->Scale().x, 0.07f / 2.0f);

    // A flat model (every extent 0) scales as extent 1.0 instead of dividing by zero.
    InventoryItem* flat = Add(IK_AMMO, Shape({1, 1, 1}, {1, 1, 1}), 2);
    inventory->PlaceViewModel(flat, 2, kViewRowAmmo);
    ASSERT_NE(flat->ViewModel, nullptr);
    EXPECT_FLOAT_EQ(flat->ViewModel->Scale().x, 0.09f);

    // Neither model nor shape: nothing is made and the slot keeps what it showed.
    InventoryItem* bare = Add(IK_REPAIR, nullptr, 3);
    inventory->PlaceViewModel(bare, 1, kViewRowWeapons);
    EXPECT_EQ(bare->ViewModel, nullptr);
    EXPECT_EQ(ViewSlots[3].Item, weapon);
    inventory->ReleaseViewModels();
}

TEST_F(EquipmentViewTest, BuildingShowsThreeItemsPerRowFromItsCursor) {
    AwShape* look = Shape({0, 0, 0}, {1, 1, 1});
    for (int32_t id = 1; id <= 4; ++id) Add(IK_WEAPON, look, id); // newest first: 4, 3, 2, 1
    Add(IK_AMMO, look, 10);
    Add(IK_SHIELD, look, 20);
    Add(IK_NOT_STORED, look, 30);
    Add(IK_REPAIR, look, 21);
    const int32_t usesBefore = look->UseCount.load();

    inventory->BuildViewModels();
    // Slot row + 3 x column.
    EXPECT_EQ(ShownIds(), (std::vector<int32_t>{4, 10, 21, 3, -1, 20, 2, -1, -1}));
    EXPECT_EQ(inventory->FindItem(1)->ViewModel, nullptr);
    EXPECT_EQ(inventory->FindItem(30)->ViewModel, nullptr);

    ASSERT_TRUE(inventory->ScrollForward(true, kScrollForwardWeapons));
    EXPECT_EQ(ShownIds(), (std::vector<int32_t>{1, 10, 21, -1, -1, 20, -1, -1, -1}));
    EXPECT_EQ(inventory->FindItem(4)->ViewModel, nullptr);

    inventory->ReleaseViewModels();
    EXPECT_EQ(ShownIds(), std::vector<int32_t>(kViewSlotCount, -1));
    for (const InventoryItem* item : inventory->Items) EXPECT_EQ(item->ViewModel, nullptr);
    EXPECT_EQ(look->UseCount.load(), usesBefore) << "every view model went";
}

TEST_F(EquipmentViewTest, RemovingAShownItemClearsItsViewSlot) {
    InventoryItem* weapon = Add(IK_WEAPON, Shape({0, 0, 0}, {1, 1, 1}), 1);
    inventory->BuildViewModels();
    ASSERT_EQ(ViewSlots[0].Item, weapon);
    inventory->RemoveItem(weapon); // its view model goes with it
    EXPECT_EQ(ViewSlots[0].Item, nullptr);
}

// ---- Opening and closing ----

// A model node named so, at an offset from its parent.
AwModel* Node(const char* name, const Vector3& offset) {
    auto* node = new AwModel;
    node->Name = name;
    node->Sequences = std::make_unique<AwAnimSequenceList>();
    auto& sequence = node->Sequences->emplace_back(std::make_unique<AwAnimSequence>());
    AwAnimFrame frame;
    frame.Offset = offset;
    sequence->Frames.push_back(frame);
    return node;
}

// A character model two units tall with the given parts.
AwModel* Character(const std::vector<AwModel*>& parts) {
    auto* root = new AwModel;
    root->Name = "body";
    root->HasBounds = true;
    root->FirstCorner = Vector3(-0.5f, 0, -0.5f);
    root->SecondCorner = Vector3(0.5f, 2, 0.5f);
    root->Children = parts;
    return root;
}

class OpenEquipmentViewTest : public EquipmentViewTest {
protected:
    void SetUp() override {
        EquipmentViewTest::SetUp();
        EquipViewHooks.openInterface = [] { return uint8_t{5}; };
        EquipViewHooks.setPanelDisplayFlag = [](uint8_t flag) { RestoredFlags().push_back(flag); };
        RestoredFlags().clear();
        // Both cameras at the origin, fitted to the started engine's 640 x 480 screen.
        for (AwCamera* camera : {&game, &view}) {
            camera->position = Vector3(0, 0, 0);
            camera->viewDirty = camera->dirty = true;
            camera->RefitViewport();
        }
        view.primaryRange.MaxZ = 0.2f;
        cameras.Game = &game;
        cameras.View = &view;
        cameras.GameDepth = 0.9f;
        subject.Unit = &unit;
        subject.Items = inventory.get();
    }
    void TearDown() override {
        CloseEquipmentView(cameras);
        for (AwModel* model : models) model->ReleaseUse();
        EquipmentViewTest::TearDown();
    }
    static std::vector<uint8_t>& RestoredFlags() {
        static std::vector<uint8_t> flags;
        return flags;
    }
    AwModel* Keep(AwModel* model) { return models.emplace_back(model); }

    AwCamera game, view;
    EquipmentViewCameras cameras;
    RefCounted unit;
    EquipmentViewSubject subject;
    std::vector<AwModel*> models;
};

TEST_F(OpenEquipmentViewTest, TheCopyFindsItsSlotPartsOnTheScreen) {
    // Parts out of name order; slota at the body's origin, slotc to its right.
    subject.CustomisationModel = Keep(Character({Node("slotf", {-1, 0, 0}), Node("slota", {0, 0, 0}),
                                                 Node("slotc", {1, 0, 0}), Node("Upper Arm Right", {0, 1, 0})}));
    OpenEquipmentView(subject, cameras);
    ASSERT_NE(EquipViewModel, nullptr);
    EXPECT_EQ(EquipViewModel->Position().x, 0.28f);
    EXPECT_EQ(EquipViewModel->Position().y, 0.4f);
    EXPECT_EQ(EquipViewModel->Position().z, 1.0f);
    EXPECT_FLOAT_EQ(EquipViewScale, 0.315f); // largest extent 2
    EXPECT_FLOAT_EQ(EquipViewGrowScale, 0.05f);

    // On a 640 x 480 screen through a camera at the origin with unit scales,
    // (0.28, 0.4, 1.0) lies at pixel (409.6, 144).
    ASSERT_EQ(SlotScreenCount, 3);
    EXPECT_FLOAT_EQ(SlotScreenPositions[0].x, 409.6f / 640 - 0.015f);
    EXPECT_FLOAT_EQ(SlotScreenPositions[0].y, 144.0f / 480 - 0.015f);
    // slotc, then slotf; turned to face the viewer, the right-hand part shows on the left.
    EXPECT_LT(SlotScreenPositions[1].x, SlotScreenPositions[0].x);
    EXPECT_GT(SlotScreenPositions[2].x, SlotScreenPositions[0].x);
    EXPECT_FLOAT_EQ(SlotScreenPositions[1].y, SlotScreenPositions[0].y);
    // The arm at height 1, negated and scaled: y 0.4 - 0.315 = 0.085, pixel 219.6.
    EXPECT_FLOAT_EQ(ArmLabelHeight, 219.6f / 480 + 0.08f);
}

TEST_F(OpenEquipmentViewTest, AModelWithoutSlotsOrArmLeavesTheDefaults) {
    subject.DefinitionModel = Keep(Character({Node("head", {0, 2, 0})}));
    OpenEquipmentView(subject, cameras);
    ASSERT_NE(EquipViewModel, nullptr);
    EXPECT_EQ(EquipViewModel->Position().x, 0.4f); // the definition's model stands elsewhere
    EXPECT_EQ(EquipViewModel->Position().y, 0.8f);
    EXPECT_EQ(SlotScreenCount, 0);
    EXPECT_FLOAT_EQ(ArmLabelHeight, 0.26f);
}

TEST_F(OpenEquipmentViewTest, OpeningAndClosingHoldAndGiveBackWhatTheViewBorrows) {
    subject.CustomisationModel = Keep(Character({Node("Upper Arm Left", {-1, 1, 0}), Node("slota", {0, 1, 1})}));
    AwShape* look = Shape({0, 0, 0}, {1, 1, 1});
    InventoryItem* shield = Add(IK_SHIELD, look, 1);
    InventoryItem* gadget = Add(IK_MODULE, Shape({0, 0, 0}, {1, 1, 1}), 2);
    const MountedItemRef mounted[] = {{shield, 1}, {gadget, 2}};
    subject.Mounted = mounted;
    subject.MountedCount = 2;
    SelectedInventoryItem = gadget;
    game.SetSplitDepth(true);

    OpenEquipmentView(subject, cameras);
    ASSERT_NE(EquipViewModel, nullptr);
    EXPECT_EQ(EquipViewUnit, &unit);
    EXPECT_EQ(unit.RefCount, 2);
    EXPECT_EQ(EquipViewInventory, inventory.get());
    EXPECT_NE(shield->ViewModel, nullptr) << "the item models are built";
    EXPECT_EQ(SelectedInventoryItem, nullptr);
    EXPECT_FLOAT_EQ(game.primaryRange.MaxZ, 0.1f) << "the view camera's depth, halved";
    EXPECT_TRUE(EquipViewTimerArmed);
    EXPECT_EQ(EquipViewEndTime - EquipViewOpenTime, static_cast<uint64_t>(CurrentTicksPerSecond()));
    EXPECT_EQ(SavedPanelDisplayFlag, 5);
    // Only the arms' items show on the copy.
    EXPECT_EQ(EquipViewModel->Root->FindByName("Upper Arm Left")->Slots[0], look);
    EXPECT_EQ(EquipViewModel->Root->FindByName("slota")->Slots[0], nullptr);

    CloseEquipmentView(cameras);
    EXPECT_EQ(EquipViewModel, nullptr);
    EXPECT_EQ(EquipViewUnit, nullptr);
    EXPECT_EQ(unit.RefCount, 1);
    EXPECT_EQ(shield->ViewModel, nullptr);
    EXPECT_EQ(ShownIds(), std::vector<int32_t>(kViewSlotCount, -1));
    EXPECT_FLOAT_EQ(game.primaryRange.MaxZ, 0.45f);
    EXPECT_EQ(RestoredFlags(), (std::vector<uint8_t>{5}));

    // Closed already: only the flag and the depth go back.
    game.SetSplitDepth(false);
    CloseEquipmentView(cameras);
    EXPECT_FLOAT_EQ(game.primaryRange.MaxZ, 0.9f);
    EXPECT_EQ(RestoredFlags(), (std::vector<uint8_t>{5, 5}));
    EXPECT_EQ(unit.RefCount, 1);
}

TEST_F(OpenEquipmentViewTest, ASubjectWithoutAModelOpensNothing) {
    OpenEquipmentView(subject, cameras);
    EXPECT_EQ(EquipViewModel, nullptr);
    EXPECT_EQ(EquipViewUnit, nullptr);
    EXPECT_EQ(unit.RefCount, 1);
}

} // namespace
