#include "Awapi/object.h"

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/bounding_box.h"
#include "Awapi/draw_list.h"
#include "Awapi/model/model_node.h"
#include "Awapi/model/sequence_player.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "platform/d3d/d3dmath.h"
#include "platform/d3d/device3d.h"

using namespace plat;

AwObject::AwObject(AwShape* shape, bool box)
    : Root(new AwShapeInstance(shape, box)), Description("Made from an AwShape") {
    if (shape) SetBounds(shape->Min, shape->Max, box);
    Textures.Merge(Root->Textures);
}

AwObject::AwObject(AwShapeInstance* tree, bool box) : Root(tree), Description("Made from an AwObject") {
    if (box && tree && tree->Box) SetBounds(tree->Box->Min(), tree->Box->Max(), true);
    if (tree) Textures.Merge(tree->Textures);
}

AwObject::AwObject(const AwModel& model, bool box)
    : Root(new AwShapeInstance(model, box)), Description(model.Name.value_or("")),
      MovementPerTick(model.MovementPerTick), MovementPerSecond(model.MovementPerSecond) {
    if (model.HasBounds) SetBounds(model.FirstCorner, model.SecondCorner, box);
    Textures.Merge(Root->Textures);
}

AwObject::~AwObject() {
    delete Root; // the tracks let go of the players first
    delete Box;
    for (AwSequencePlayer* player : Players) {
        player->FreeSoundCursor();
        delete player;
    }
}

void AwObject::SetBounds(const Vector3& min, const Vector3& max, bool box) {
    Min = CollisionMin = min;
    Max = CollisionMax = max;
    if (!box) return;
    HasBox = true;
    Box = new AwBoundingBox(min, max);
}

int32_t AwObject::QueueForDrawing(int32_t time, AwCamera* camera, AwLightSet* lightSet, RenderMaterial* material,
                                  int32_t slot, AwDrawFlags flags, AwPickContext* pickContext, AwRenderHook* hook,
                                  const AwTextureList* textures) {
    auto* item = new AwRenderItem(this, time, flags, material, camera, lightSet, pickContext, slot, -Position().y,
                                  hook);
    AwDrawList::Insert(textures ? *textures : Textures, item);
    return item->Release();
}

void AwObject::Draw(int32_t time, int32_t slot, AwDrawFlags flags, AwTexture* filter) {
    AdvanceSequences(static_cast<uint32_t>(time), flags);
    Device3D* device = AwDevice.Direct3DDevice;
    if ((flags & kDrawCulled) || !Root || !device) return;
    Matrix world;
    AwMatrixToD3D(*GetMatrix(), world);
    HResult result = device->SetTransform(kTransformWorld, world);
    if (Failed(result)) AwReportError(result);
    const Vector3& s = Scale();
    const bool scaled = !(Flags() & frame_flags::kUnitScale) && (s.x != 1.0f || s.y != 1.0f || s.z != 1.0f);
    if (Box && !(flags & (kDrawNoCull | kDrawCullDone))) {
        Matrix view;
        device->GetTransform(kTransformView, &view);
        AwMatrix4Multiply(AwCullingMatrix, world, view);
        int32_t outside = 0;
        AwTestSphereInFrustum(Box->Centre, outside, Box->CullingRadius(scaled ? &s : nullptr));
        flags |= kDrawCullDone;
        if (outside != 0) {
            flags |= kDrawCulled;
        } else if ((flags & kDrawPickBox) && !(flags & kDrawPickMode)) {
            Box->TestPick();
            flags &= ~kDrawPickBox;
        }
    }
    AwNodeDrawArgs args;
    args.time = time;
    args.parent = &world;
    args.scale = scaled ? &s : nullptr;
    args.slot = slot;
    args.flags = flags;
    args.filter = filter;
    Root->Draw(args);
}

bool AwObject::GetSubShapePosition(Vector3& out, const char* name, int32_t time) {
    return Root && Root->GetSubShapePosition(out, name, time);
}

void AwObject::ReplaceSubShape(AwShape* shape, const char* name) {
    if (!Root) return;
    Root->ReplaceShape(shape, name);
    CollectTextures();
}

void AwObject::ReplaceSubModel(const AwModel& model, uint32_t flags) {
    if (!Root) return;
    Root->ReplaceFromModel(model, flags);
    CollectTextures();
}

// Every node's textures, depth first; textures of replaced shapes stay listed.
void AwObject::CollectTextures() {
    List<AwShapeInstance*> pending(Root);
    while (!pending.IsEmpty()) {
        AwShapeInstance* node = pending.Front();
        pending.PopFront();
        Textures.Merge(node->Textures);
        ListNodeBase* at = pending.Sentinel()->Next;
        for (AwShapeInstance* child : node->Children) pending.InsertBefore(at, child);
    }
}

void AwObject::DeleteSubShape(const char* name) {
    if (!Root || !name) return;
    if (Root->Name && AwNamesMatch(*Root->Name, name)) {
        delete Root;
        Root = nullptr;
        return;
    }
    Root->DeleteByName(name);
}

void AwObject::ReleaseBounds() {
    if (!Box) return;
    delete Box;
    Box = nullptr;
    HasBox = false;
}
