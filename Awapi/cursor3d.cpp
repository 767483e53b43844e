#include "Awapi/cursor3d.h"

#include <algorithm>
#include <memory>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/global_materials.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/camera.h"
#include "Awapi/light_set.h"
#include "Awapi/model/model_node.h"
#include "Awapi/model/sequence_player.h"
#include "Awapi/object.h"
#include "core/clock.h"
#include "platform/pointer.h"

namespace {

constexpr AwDrawFlags kCursorDrawFlags = 0x4000003;

// A cursor object and the model node whose sequences its tree shares.
struct CursorModel {
    AwObject* object = nullptr;
    AwModel* node = nullptr;

    explicit operator bool() const { return object != nullptr; }
    void Release() {
        if (object) object->Release();
        if (node) node->ReleaseUse();
        object = nullptr;
        node = nullptr;
    }
};

struct CursorState {
    int32_t pixelX = 0, pixelY = 0;
    Quaternion orientation{0, 0, 0, 1};
    std::unique_ptr<AwCamera> camera;
    bool cameraReady = false;
    float depthZ = 0.0f, xScale = 0.0f, yScale = 0.0f;
    CursorModel current;
    int32_t idleSequence = -1;
    bool oneShotPlaying = false;
    uint8_t oneShotDone = 0;
    uint8_t* callerDoneFlag = nullptr;
    int32_t hideCount = 0;
    CursorModel hidden;
};
CursorState Cursor;

AwCamera& CursorCamera() {
    if (!Cursor.camera) Cursor.camera = std::make_unique<AwCamera>();
    return *Cursor.camera;
}

constexpr int32_t kLoopForever = -1;
constexpr float kSmallestExtent = 1.0f / 1024.0f;

uint32_t Now() { return RealClock.GetTime32(); }

bool PlayIdle(AwObject& object, int32_t n) { return object.PlaySequence(n, kUnitSpeed, kLoopForever, Now(), nullptr, 0, false); }

} // namespace

void AwUpdateCursorScale() {
    Cursor.xScale = 1.0f / ScreenGeometry.ScreenWidthF;
    Cursor.yScale = 0.75f / ScreenGeometry.ScreenHeightF;
}

void AwSetCursorPosition(int32_t x, int32_t y) {
    Cursor.pixelX = x;
    Cursor.pixelY = y;
    if (!Cursor.current) return;
    if (Cursor.xScale == 0.0f) AwUpdateCursorScale();
    Cursor.current.object->SetPosition(static_cast<float>(x) * Cursor.xScale,
                                       static_cast<float>(y) * Cursor.yScale + 0.125f, Cursor.depthZ);
}

void AwGetCursorPosition(int32_t& x, int32_t& y) {
    x = Cursor.pixelX;
    y = Cursor.pixelY;
}

void AwSetCursorOrientation(const Quaternion& orientation) {
    Cursor.orientation = orientation;
    if (Cursor.current) Cursor.current.object->SetQuaternion(orientation);
}

AwCamera* AwGetCursorCamera() { return &CursorCamera(); }

void AwSetCursorModel(AwModel* node) {
    AwCamera& camera = CursorCamera();
    if (!Cursor.cameraReady) {
        camera.Update();
        Cursor.cameraReady = true;
    }
    Cursor.current.Release();
    Cursor.oneShotPlaying = false;
    Cursor.idleSequence = -1;
    if (!node) return;
    node->AddUse(); // the object's tree shares the node's sequences
    Cursor.current.node = node;
    Cursor.current.object = new AwObject(*node, false);

    const Vector3 low = Cursor.current.object->Min, high = Cursor.current.object->Max;
    // A model without bounds still gets a depth range that is not empty.
    const float m = std::max({high.x, high.y, high.z, -low.x, -low.y, -low.z, kSmallestExtent});
    Cursor.current.object->Min = Vector3(-m, -m, -m);
    Cursor.current.object->Max = Vector3(m, m, m);
    camera.primaryRange.Near = -m;
    camera.primaryRange.Far = m;
    camera.projectionDirty = camera.dirty = true;
    camera.UpdateDepthRange();

    Cursor.depthZ = 0.0f;
    AwSetCursorPosition(Cursor.pixelX, Cursor.pixelY);
    Cursor.current.object->SetQuaternion(Cursor.orientation);
}

void AwHideCursor() {
    if (!Cursor.current) {
        ++Cursor.hideCount;
        return;
    }
    Cursor.hideCount = 1;
    Cursor.hidden.Release();
    Cursor.hidden = Cursor.current;
    Cursor.current = CursorModel();
}

void AwShowCursor() {
    if (--Cursor.hideCount > 0) return;
    Cursor.current.Release();
    Cursor.current = Cursor.hidden;
    Cursor.hidden = CursorModel();
}

bool AwSetCursorIdleSequence(int32_t n) {
    const bool started = Cursor.current && !Cursor.oneShotPlaying && PlayIdle(*Cursor.current.object, n);
    Cursor.idleSequence = n;
    return started;
}

void AwPlayCursorSequence(int32_t n, uint8_t* done) {
    if (!Cursor.current) {
        if (done) *done = 1;
        return;
    }
    AwObject& object = *Cursor.current.object;
    if (object.TestSequenceFlag4(n)) {
        if (done) {
            *done = 0;
            object.PlaySequence(n, kUnitSpeed, 1, Now(), done, kPlayerLayered, false);
        }
        return;
    }
    // A flag left set by an earlier one-shot would end this one at once.
    Cursor.oneShotDone = 0;
    Cursor.oneShotPlaying = object.PlaySequence(n, kUnitSpeed, 1, Now(), &Cursor.oneShotDone, kPlayerBlend, false);
    Cursor.callerDoneFlag = done;
    // A sequence that cannot start has nothing left to wait for.
    if (done) *done = Cursor.oneShotPlaying ? Cursor.oneShotDone : 1;
}

void AwUpdateCursor() {
    if (!Cursor.current) return;
    AwObject* object = Cursor.current.object;
    object->QueueForDrawing(static_cast<int32_t>(Now()), &CursorCamera(), CursorLightSet,
                            GlobalMaterials[kBaseMaterial], 0, kCursorDrawFlags, nullptr, nullptr, nullptr);
    if (Cursor.oneShotPlaying && Cursor.oneShotDone) {
        if (Cursor.idleSequence >= 0) PlayIdle(*object, Cursor.idleSequence);
        Cursor.oneShotPlaying = false;
        if (Cursor.callerDoneFlag) *Cursor.callerDoneFlag = 1;
        Cursor.callerDoneFlag = nullptr;
    }
}

void AwCentreCursor() {
    const int32_t x = ScreenGeometry.Screen.right / 2, y = ScreenGeometry.Screen.bottom / 2;
    AwSetCursorPosition(x, y);
    plat::MovePointer(AwDevice.Window, x, y);
}

AwObject* AwCursorObject() { return Cursor.current.object; }
int32_t AwCursorHideCount() { return Cursor.hideCount; }

void AwReleaseCursor() {
    Cursor.current.Release();
    Cursor.hidden.Release();
    Cursor.hideCount = 0;
    Cursor.idleSequence = -1;
    Cursor.oneShotPlaying = false;
    Cursor.callerDoneFlag = nullptr;
    Cursor.cameraReady = false;
    Cursor.camera.reset();
}
