#pragma once
// The equipment view: while the upgrade screen is open, a copy of the shown
// character's model turned toward the viewer with its arm items attached,
// the screen positions of its item slots, and small models of inventory
// items placed in the screen's nine item view slots (Inventory's
// BuildViewModels, PlaceViewModel and ReleaseViewModels).
//
// The client unit, the fog of war and the upgrade screen are not here: what
// they supply is passed in (EquipmentViewSubject, the two cameras), and what
// they do goes through EquipmentViewHooks. Main thread only.

#include <cstdint>

#include "core/maths.h"

class AwCamera;
class AwModel;
class AwObject;
class Inventory;
class RefCounted;
struct InventoryItem;

// The upgrade screen's item view slots: slot row + 3 x column shows one item
// at a screen position (fractions of the screen) that the screen sets.
constexpr int32_t kViewSlotCount = 9;
struct ViewSlot {
    float X = 0, Y = 0;
    InventoryItem* Item = nullptr; // the shown item, not owned
};
extern ViewSlot ViewSlots[kViewSlotCount];
// Clears every view slot that shows the item (it is about to go).
void ForgetViewSlotItem(const InventoryItem* item);

// The scroll sound of the upgrade screen's arrow buttons.
constexpr int32_t kScrollSound = 44;

// What the view's owners do. The defaults play the sound through the sound
// system when there is one and do nothing else; tests and the owners, once
// they land, set their own.
struct EquipmentViewHooks {
    void (*playSound)(int32_t sample);
    // The fog of war's fogged copy of a placed item model's shape data, made
    // when one of its mesh parts lacks the fog flag (the fog of war decides).
    void (*makeFoggedCopy)(AwObject* object);
    // Opening: the upgrade screen clears its selection bytes and two interface
    // values and sets its time value; answers the panel display flag that
    // closing restores.
    uint8_t (*openInterface)();
    // Closing: the panel display flag goes back.
    void (*setPanelDisplayFlag)(uint8_t flag);
};
extern EquipmentViewHooks EquipViewHooks;
// Back to the defaults.
void ResetEquipmentViewHooks();

// One item a shown character has mounted.
struct MountedItemRef {
    const InventoryItem* Item = nullptr;
    int32_t MountSlot = 0;
};

// What OpenEquipmentView shows: the character (one use taken while shown),
// its customisation model or, without one, its definition's model, its
// inventory and its mounted items.
struct EquipmentViewSubject {
    RefCounted* Unit = nullptr;
    AwModel* CustomisationModel = nullptr;
    AwModel* DefinitionModel = nullptr;
    Inventory* Items = nullptr;
    const MountedItemRef* Mounted = nullptr;
    int32_t MountedCount = 0;
};

// The two cameras of the view: the game's, which borrows the view camera's
// depth while the view is open, and the equipment view's own, whose
// projection and viewport place the copy on the screen. GameDepth is the
// game camera's configured depth (halved, as every depth set on it, while
// the camera splits its depth range).
struct EquipmentViewCameras {
    AwCamera* Game = nullptr;
    AwCamera* View = nullptr;
    float GameDepth = 1;
};

constexpr int32_t kSlotScreenPositionCount = 8; // "slota".."sloth"

// The view's state, process-wide.
extern RefCounted* EquipViewUnit; // one use held while open
extern AwObject* EquipViewModel;  // non-null exactly while the view is open
extern Inventory* EquipViewInventory;
extern float EquipViewScale;                                  // the copy's final scale
extern float EquipViewGrowScale;                              // its current scale, grown by the interface
extern Vector3 SlotScreenPositions[kSlotScreenPositionCount]; // x, y fractions and depth
extern int32_t SlotScreenCount;
extern float ArmLabelHeight;
extern uint64_t EquipViewOpenTime, EquipViewEndTime; // RealClock ticks, one second apart
extern bool EquipViewTimerArmed;
extern float SavedCameraDepth;
extern uint8_t SavedPanelDisplayFlag;

// The row-scaled size of an item model whose largest extent is `extent`
// (row 0 weapons, 1 ammunition, 2 other); an extent of 0 scales as 1.0.
float ViewModelScale(int32_t row, float extent);
// The copy's final scale for its largest extent (0 scales as 1.0).
float EquipViewScaleFor(float extent);

// Opens the view on a subject: the copy of its model, the item models, the
// slot screen positions, the arm label height and the timer. A view already
// open is closed first; a subject without a model opens nothing.
void OpenEquipmentView(const EquipmentViewSubject& subject, const EquipmentViewCameras& cameras);
// Closes the view when open (the copy, the unit's use and the item models
// go); always restores the panel display flag and the game camera's depth.
void CloseEquipmentView(const EquipmentViewCameras& cameras);
