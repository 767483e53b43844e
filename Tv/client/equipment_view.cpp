#include "Tv/client/equipment_view.h"

#include <algorithm>

#include "Awapi/bounding_box.h"
#include "Awapi/mesh_part.h"
#include "Awapi/model/model_node.h"
#include "Awapi/object.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "Tv/client/inventory.h"
#include "sound/sound_system.h"

ViewSlot ViewSlots[kViewSlotCount];

namespace {

void PlayThroughSoundSystem(int32_t sample) {
    if (SoundSystemInstance) SoundSystemInstance->Play(sample, "");
}
void NoFoggedCopy(AwObject*) {}
uint8_t NoInterfaceOpening() { return 0; }
void NoPanelDisplayFlag(uint8_t) {}

constexpr EquipmentViewHooks kDefaultHooks{PlayThroughSoundSystem, NoFoggedCopy, NoInterfaceOpening,
                                           NoPanelDisplayFlag};

// Where the item models stand in front of the view camera, and how the slot
// fractions map onto that plane.
constexpr float kItemModelDepth = 0.1f;
constexpr float kSlotInset = 0.05f;
constexpr float kSlotStretch = 1.1111112f;

// The view model of an item: from its model, else its shape; null with neither.
AwObject* MakeViewModel(const InventoryItem& item) {
    AwObject* object = nullptr;
    if (item.Model)
        object = new AwObject(*item.Model, true);
    else if (item.Shape)
        object = new AwObject(item.Shape, true);
    if (object) object->ClearFlagBit31();
    return object;
}

// A box over the root shape's bounds when the object got none from its source.
void EnsureBox(AwObject& object) {
    if (object.Box || !object.Root) return;
    const AwShape* shape = object.Root->Slots[0];
    if (!shape || !(shape->Flags & kShapeBoundsSet)) return;
    object.Min = shape->Min;
    object.Max = shape->Max;
    object.HasBox = true;
    object.Box = new AwBoundingBox(shape->Min, shape->Max);
}

float LargestExtent(const Vector3& min, const Vector3& max) {
    return std::max({max.x - min.x, max.y - min.y, max.z - min.z});
}

} // namespace

EquipmentViewHooks EquipViewHooks = kDefaultHooks;

void ResetEquipmentViewHooks() { EquipViewHooks = kDefaultHooks; }

void ForgetViewSlotItem(const InventoryItem* item) {
    for (ViewSlot& slot : ViewSlots)
        if (slot.Item == item) slot.Item = nullptr;
}

float ViewModelScale(int32_t row, float extent) {
    if (extent <= 0) extent = 1.0f; // a flat or empty model would divide by zero
    if (row == kViewRowAmmo) return 0.09f / extent;
    if (row == kViewRowOther) return 0.07f / extent;
    float s = 0.1f / extent;
    if (s < 0.1f) s *= 1.2f;
    if (s > 0.22f) s *= 0.8f;
    return s;
}

void Inventory::PlaceViewModel(InventoryItem* item, int32_t column, int32_t row) {
    if (!item || column < 0 || column > 2 || row < 0 || row >= kViewRowCount) return;
    if (!item->ViewModel) item->ViewModel = MakeViewModel(*item);
    AwObject* object = item->ViewModel;
    if (!object) return;
    ViewSlot& slot = ViewSlots[row + 3 * column];
    slot.Item = item;
    EnsureBox(*object);
    const Vector3 min = object->Box ? object->Box->Min() : object->Min;
    const Vector3 max = object->Box ? object->Box->Max() : object->Max;
    const float s = ViewModelScale(row, LargestExtent(min, max));
    object->SetScale({s, s, s});
    object->SetPosition((slot.X - kSlotInset) * kSlotStretch,
                        (slot.Y - kSlotInset) * kSlotStretch - s * (min.y + max.y) / 2, kItemModelDepth);
    object->SetQuaternion({0, 0, 0, 1});
    EquipViewHooks.makeFoggedCopy(object);
}

void Inventory::BuildViewModels() {
    for (int32_t row = 0; row < kViewRowCount; ++row) {
        InventoryCursor cursor = *RowCursor(row);
        for (int32_t column = 0; column < 3 && SeekRow(row, cursor); ++column) {
            PlaceViewModel(*cursor.Payload(), column, row);
            cursor.NextCrossing();
        }
    }
}

void Inventory::ReleaseViewModels() {
    for (InventoryItem* item : Items) {
        if (IsEndMarker(item)) break;
        if (!item->ViewModel) continue;
        if (item->ViewModel->Root)
            if (AwShape* shape = item->ViewModel->Root->Slots[0])
                for (AwMeshPart* part : shape->Parts)
                    if (!part->SharedBuffer) part->AssignVertexBuffer(false);
        item->ViewModel->Release();
        item->ViewModel = nullptr;
    }
    for (ViewSlot& slot : ViewSlots) slot.Item = nullptr;
}
