// Drawing a client object: visibility under the fog of war and in cutscenes,
// the frustum test, the draw order, the light set and material by game type
// and cloaking, and the emitters that follow the object.

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/global_materials.h"
#include "Awapi/bounding_box.h"
#include "Awapi/camera.h"
#include "Awapi/light_set.h"
#include "Awapi/model/model_node.h"
#include "Awapi/object.h"
#include "Awapi/particles.h"
#include "Tv/client/client_object_look.h"
#include "Tv/client/client_object_parts.h"
#include "Tv/client/client_objects.h"
#include "Tv/server/shell_state.h"
#include "core/clock.h"
#include "platform/d3d/device3d.h"

namespace {

constexpr int32_t kHiddenDrawOrder = 9;
constexpr int32_t kFoggedOut = 253; // an alpha-fogged object above this level is hidden
constexpr AwDrawFlags kAlwaysDrawFlags = kDrawAnimationObject | kDrawFromList;
constexpr AwDrawFlags kHiddenDrawFlags = kDrawCulled;
constexpr float kLodScale = 1000.0f * 2.5f;
constexpr const char* kLightPart = "lightdum";

bool FogOfWarActive() { return AwFogLevelAt != nullptr; }

// The emitters follow the object, faded by the fog; while it burns they sit
// at its "lightdum" part and hide with it.
void MoveEmitters(ClientObject& object, bool hidden) {
    const float fade = FogOfWarActive() ? static_cast<float>(object.FogLevel()) / 254.0f : 0.0f;
    const auto time = static_cast<int32_t>(object.MoveTicks);
    Vector3 at = object.Position;
    if (object.State != 0) ModelPartPosition(object, kLightPart, time, at);
    for (AwParticleEmitter* emitter : {object.Emitter, object.IsBot() ? nullptr : object.Emitter2}) {
        if (!emitter) continue;
        emitter->fogFraction = object.State != 0 && hidden ? 1.0f : fade;
        emitter->SetPosition(at.x, at.y, at.z);
    }
    for (ExhaustEmitter* exhaust : object.ExhaustEmitters) {
        Vector3 dummy;
        if (ModelPartPosition(object, exhaust->DummyName.Get(), time, dummy))
            exhaust->Emitter->SetPosition(dummy.x, dummy.y, dummy.z);
        exhaust->Emitter->fogFraction = hidden ? 1.0f : fade;
    }
}

bool HiddenByFog(const ClientObject& object) {
    if (!FogOfWarActive() || object.IgnoresFog || (object.ObjectRenderFlags & kRenderPerVertexFog)) return false;
    return !(object.ObjectRenderFlags & kRenderAlphaFog) || object.FogLevel() > kFoggedOut;
}

// The frustum test of the model's sphere under the device's world and view transforms.
bool InFrustum(AwObject& model) {
    plat::Device3D* device = AwDevice.Direct3DDevice;
    if (!model.Box || !device) return true;
    plat::Matrix world, view;
    AwMatrixToD3D(*model.GetMatrix(), world);
    device->GetTransform(plat::kTransformView, &view);
    AwMatrix4Multiply(AwCullingMatrix, world, view);
    const Vector3& s = model.Scale();
    const bool scaled = !(model.Flags() & frame_flags::kUnitScale) && (s.x != 1.0f || s.y != 1.0f || s.z != 1.0f);
    int32_t outside = 0;
    AwTestSphereInFrustum(model.Box->Centre, outside, model.Box->CullingRadius(scaled ? &s : nullptr));
    return outside == 0;
}

// The level's object draw order, 2 more for a model farther than its level-of-detail distance.
int32_t DrawOrder(const ClientObject& object) {
    int32_t order = ObjectDrawOrder;
    const AwCamera* camera = AwCurrentCamera;
    if (!camera) return order;
    const AwModel* model = object.Definition ? object.Definition->model : nullptr;
    const float lodDistance = model ? static_cast<float>(model->DetailDistances[0]) : kDefaultDetailDistance;
    const Vector3 d = object.Position - camera->position;
    const float distance = FastSqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (distance * kLodScale * camera->viewWidth > lodDistance) order += 2;
    return order;
}

} // namespace

void ClientObject::Render() {
    OnScreen = Visible = 0;
    if (!Model) {
        MoveEmitters(*this, true);
        return;
    }
    const bool cutscene = CutsceneActive != 0;
    bool hidden = HiddenByFog(*this) || (IsHidden() && !cutscene) || (cutscene && IsUnit() && !ShownInCutscene);
    if (!Controlled) {
        Model->SetPositionVector(Position);
        Model->SetQuaternion(Orientation);
        Model->MovementStart = static_cast<uint32_t>(MoveTicks);
    }
    const auto time = static_cast<int32_t>(MoveTicks);
    if (hidden) {
        Model->QueueForDrawing(time, AwCurrentCamera, SceneLightsInstance, GlobalMaterials[kBaseMaterial],
                               kHiddenDrawOrder, kHiddenDrawFlags, Pick, nullptr, nullptr);
        MoveEmitters(*this, true);
        return;
    }
    AwDrawFlags flags = ObjectRenderFlags | RenderFlags | kAlwaysDrawFlags;
    if (cutscene && ShownInCutscene) {
        flags |= kDrawNoCull;
    } else if (Model->Box) {
        if (InFrustum(*Model)) {
            OnScreen = 1;
            flags |= kDrawNoCull;
        } else {
            flags |= kDrawCulled;
            hidden = true;
        }
    }
    if (OnScreen && Team != 0) UpdateScreenRect();
    const ClientObjectLook look = ChooseLook(*this);
    Model->QueueForDrawing(time, AwCurrentCamera, look.lightSet, look.material, DrawOrder(*this),
                           flags | look.extraFlags, Pick, look.hook, nullptr);
    if (look.hook) look.hook->Release();
    Visible = !hidden && !(look.extraFlags & kDrawCulled);
    MoveEmitters(*this, hidden);
}

void ClientObject::UpdateScreenRect() {
    if (!Model || !Model->Box) return;
    AwScreenRect rect;
    if (!Model->Box->GetScreenRect(rect)) return;
    ScreenRect[0] = rect.left;
    ScreenRect[1] = rect.top;
    ScreenRect[2] = rect.right;
    ScreenRect[3] = rect.bottom;
}
