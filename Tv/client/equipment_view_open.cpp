// Opening and closing the equipment view on a character.

#include <algorithm>

#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/camera.h"
#include "Awapi/object.h"
#include "Tv/client/equipment_view.h"
#include "Tv/client/inventory.h"
#include "core/clock.h"
#include "core/matrix.h"

RefCounted* EquipViewUnit = nullptr;
AwObject* EquipViewModel = nullptr;
Inventory* EquipViewInventory = nullptr;
float EquipViewScale = 0;
float EquipViewGrowScale = 0;
Vector3 SlotScreenPositions[kSlotScreenPositionCount];
int32_t SlotScreenCount = 0;
float ArmLabelHeight = 0;
uint64_t EquipViewOpenTime = 0, EquipViewEndTime = 0;
bool EquipViewTimerArmed = false;
float SavedCameraDepth = 0;
uint8_t SavedPanelDisplayFlag = 0;

namespace {

constexpr float kOpeningGrowScale = 0.05f;
constexpr float kDefaultArmLabelHeight = 0.26f;
constexpr float kArmLabelDrop = 0.08f;
constexpr float kSlotMarkerInset = 0.015f;
// Half a turn about the vertical axis: the copy faces the viewer.
constexpr Quaternion kFacingViewer{0, 1, 0, 0};
constexpr const char* kSlotPartNames[kSlotScreenPositionCount] = {"slota", "slotb", "slotc", "slotd",
                                                                  "slote", "slotf", "slotg", "sloth"};

// Sets the game camera's depth, halved while it splits its depth range.
void SetGameDepth(AwCamera* game, float depth) {
    if (!game) return;
    game->primaryRange.MaxZ = game->splitDepth ? depth * 0.5f : depth;
    game->UpdateDepthRange();
}

// A point in front of the view camera on the screen: x, y as fractions of
// the screen and the depth in the camera's depth range.
Vector3 ProjectToScreen(AwCamera& camera, const Vector3& point) {
    if (camera.dirty) camera.Update();
    const plat::Matrix& m = camera.viewProjection;
    const float x = point.x * m.m[0][0] + point.y * m.m[1][0] + point.z * m.m[2][0] + m.m[3][0];
    const float y = point.x * m.m[0][1] + point.y * m.m[1][1] + point.z * m.m[2][1] + m.m[3][1];
    const float z = point.x * m.m[0][2] + point.y * m.m[1][2] + point.z * m.m[2][2] + m.m[3][2];
    const float w = point.x * m.m[0][3] + point.y * m.m[1][3] + point.z * m.m[2][3] + m.m[3][3];
    const float inverseW = w != 0 ? 1.0f / w : 1.0f;
    const float screenX = x * inverseW * camera.halfWidth + camera.centreX;
    const float screenY = -y * inverseW * camera.halfHeight + camera.centreY;
    const float width = static_cast<float>(std::max(AwGetScreenWidth(), 1));
    const float height = static_cast<float>(std::max(AwGetScreenHeight(), 1));
    const float depth = camera.viewport.minZ + z * inverseW * (camera.viewport.maxZ - camera.viewport.minZ);
    return {screenX / width, screenY / height, depth};
}

// The screen positions of the copy's slot parts that exist, in name order.
void FindSlotScreenPositions(AwCamera& camera, AwObject& copy) {
    Matrix34 placement;
    placement.MakeFromQuaternion(kFacingViewer);
    placement.SetTranslation(copy.Position());
    placement.m[0] *= EquipViewScale;
    placement.m[5] *= EquipViewScale;
    placement.m[10] *= EquipViewScale;
    SlotScreenCount = 0;
    for (const char* name : kSlotPartNames) {
        Vector3 part;
        if (!copy.GetSubShapePosition(part, name, 0)) continue;
        placement.TransformPoint(part, part);
        const Vector3 screen = ProjectToScreen(camera, part);
        SlotScreenPositions[SlotScreenCount++] = {screen.x - kSlotMarkerInset, screen.y - kSlotMarkerInset, screen.z};
    }
}

void FindArmLabelHeight(AwCamera& camera, AwObject& copy) {
    ArmLabelHeight = kDefaultArmLabelHeight;
    Vector3 arm;
    if (!copy.GetSubShapePosition(arm, MountPointName(0), 0)) return;
    const Vector3 point = Vector3(-arm.x, -arm.y, arm.z) * EquipViewScale + copy.Position();
    ArmLabelHeight = ProjectToScreen(camera, point).y + kArmLabelDrop;
}

} // namespace

float EquipViewScaleFor(float extent) {
    if (extent <= 0) extent = 1.0f; // as the item models: no division by zero
    return std::min(0.63f / extent, 0.34f);
}

void OpenEquipmentView(const EquipmentViewSubject& subject, const EquipmentViewCameras& cameras) {
    AwModel* model = subject.CustomisationModel ? subject.CustomisationModel : subject.DefinitionModel;
    if (!model) return;
    if (EquipViewModel) CloseEquipmentView(cameras); // one copy, one unit's use at a time

    SavedCameraDepth = cameras.GameDepth;
    if (cameras.View) SetGameDepth(cameras.Game, cameras.View->primaryRange.MaxZ);

    EquipViewUnit = subject.Unit;
    if (EquipViewUnit) EquipViewUnit->AddRef();

    EquipViewModel = new AwObject(*model, true);
    EquipViewModel->ClearFlagBit31();
    if (subject.CustomisationModel)
        EquipViewModel->SetPosition(0.28f, 0.4f, 1.0f);
    else
        EquipViewModel->SetPosition(0.4f, 0.8f, 1.0f);
    EquipViewModel->SetQuaternion(kFacingViewer);
    const Vector3 size = EquipViewModel->Max - EquipViewModel->Min;
    EquipViewScale = EquipViewScaleFor(std::max({size.x, size.y, size.z}));
    EquipViewGrowScale = kOpeningGrowScale;

    EquipViewInventory = subject.Items;
    if (EquipViewInventory) EquipViewInventory->BuildViewModels();
    SelectedInventoryItem = nullptr;

    SlotScreenCount = 0;
    ArmLabelHeight = kDefaultArmLabelHeight;
    if (cameras.View) {
        FindSlotScreenPositions(*cameras.View, *EquipViewModel);
        FindArmLabelHeight(*cameras.View, *EquipViewModel);
    }

    EquipViewOpenTime = RealClock.GetTime();
    EquipViewEndTime = EquipViewOpenTime + static_cast<uint64_t>(CurrentTicksPerSecond()); // one second on
    EquipViewTimerArmed = true;

    // Only the arms show on the copy.
    for (int32_t i = 0; i < subject.MountedCount; ++i) {
        const MountedItemRef& mounted = subject.Mounted[i];
        if (mounted.MountSlot == 0 || mounted.MountSlot == 1)
            AttachItemModel(EquipViewModel, mounted.Item, mounted.MountSlot);
    }

    SavedPanelDisplayFlag = EquipViewHooks.openInterface();
}

void CloseEquipmentView(const EquipmentViewCameras& cameras) {
    if (EquipViewModel) {
        EquipViewModel->Release();
        EquipViewModel = nullptr;
        if (EquipViewUnit) EquipViewUnit->Release();
        EquipViewUnit = nullptr;
        if (EquipViewInventory) EquipViewInventory->ReleaseViewModels();
        EquipViewInventory = nullptr;
    }
    EquipViewHooks.setPanelDisplayFlag(SavedPanelDisplayFlag);
    SetGameDepth(cameras.Game, SavedCameraDepth);
}
