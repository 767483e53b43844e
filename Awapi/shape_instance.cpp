#include "Awapi/shape_instance.h"

#include <cctype>

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/bounding_box.h"
#include "Awapi/shape.h"
#include "platform/d3d/d3dmath.h"
#include "platform/d3d/device3d.h"

using namespace plat;

bool AwNamesMatch(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

AwShapeInstance::AwShapeInstance(AwShape* shape, bool box) {
    if (shape) {
        SetSlot(0, shape);
        TakeSlotZero(true);
        if (box) Box = new AwBoundingBox(shape->Min, shape->Max);
    }
    SetPosition(0.0f, 0.0f, 0.0f);
    SetQuaternion(Quaternion{0, 0, 0, 1});
}

AwShapeInstance::~AwShapeInstance() {
    for (int i = 0; i < kShapeSlots; ++i) SetSlot(i, nullptr);
    delete Box;
    for (AwShapeInstance* child : Children) delete child;
}

void AwShapeInstance::SetSlot(int slot, AwShape* shape) {
    if (shape) shape->AddUse();
    if (Slots[slot]) Slots[slot]->ReleaseUse();
    Slots[slot] = shape;
}

void AwShapeInstance::TakeSlotZero(bool copyFlags) {
    AwShape* shape = Slots[0];
    if (!shape) return;
    if (copyFlags) NodeFlags |= shape->Flags & kShapeNeverCull;
    SphereCentre = shape->SphereCentre;
    SphereRadius = shape->SphereRadius;
    Textures.MergeShapeTextures(shape->TexturesInUse);
}

void AwShapeInstance::AddChild(AwShapeInstance* child) { Children.PushBack(child); }

uint32_t AwShapeInstance::Draw(const AwNodeDrawArgs& args) {
    AwDrawFlags flags = args.flags | NodeFlags;
    const int32_t slot = (flags & kDrawSlotZero) ? 0 : args.slot;
    if (flags & kDrawParentMatrix) {
        WorldMatrix = *args.parent;
    } else if ((flags & kDrawForceWorldMatrix) || FrameStamp != FrameCounter) {
        if (!(flags & kDrawForceWorldMatrix)) FrameStamp = FrameCounter;
        WorldMatrix = *args.parent;
        ComputeWorldMatrix(WorldMatrix, args.time);
    }
    uint32_t culled = args.culled;
    Device3D* device = AwDevice.Direct3DDevice;
    if (culled == 0 && !(flags & (kDrawCulled | kDrawNoCull | kDrawCullDone)) && Box && device) {
        if (!(flags & kDrawParentMatrix)) {
            const HResult result = device->SetTransform(kTransformWorld, WorldMatrix);
            if (Failed(result)) AwReportError(result);
            Matrix view;
            device->GetTransform(kTransformView, &view);
            AwMatrix4Multiply(AwCullingMatrix, WorldMatrix, view);
        }
        int32_t result = 0;
        AwTestSphereInFrustum(Box->Centre, result, Box->CullingRadius(args.scale));
        culled = static_cast<uint32_t>(result);
    }
    Culled = (flags & kDrawCulled) ? kDrawCulled : culled;
    if (Culled != 0) return Culled;
    if (slot >= 0 && slot < kShapeSlots && Slots[slot]) Slots[slot]->Draw(WorldMatrix, args.filter, flags);
    AwNodeDrawArgs child = args;
    child.parent = &WorldMatrix;
    child.slot = slot;
    child.flags = flags & ~kDrawCullDone;
    child.culled = Culled;
    for (AwShapeInstance* node : Children) node->Draw(child);
    return Culled;
}

void AwShapeInstance::ComputeWorldMatrix(Matrix& matrix, int32_t time) {
    Matrix34 local;
    GetLocalMatrix(local, time);
    Matrix d3d;
    AwMatrixToD3D(local, d3d);
    matrix = MatrixMultiply(d3d, matrix);
}

void AwShapeInstance::GetLocalMatrix(Matrix34& out, int32_t) { out = *GetMatrix(); }

bool AwShapeInstance::GetSubShapePosition(Vector3& out, const char* name, int32_t time) {
    if (!name) return false;
    Matrix34 local;
    if (Name && AwNamesMatch(*Name, name)) {
        GetLocalMatrix(local, time);
        out = Vector3(local.m[3], local.m[7], local.m[11]);
        return true;
    }
    for (AwShapeInstance* child : Children) {
        if (child->GetSubShapePosition(out, name, time)) {
            GetLocalMatrix(local, time);
            local.TransformPoint(out, out);
            return true;
        }
    }
    return false;
}

bool AwShapeInstance::GetMatrixOf(Matrix34& out, const AwShapeInstance* target, int32_t time) {
    Matrix34 local;
    if (this == target) {
        GetLocalMatrix(out, time);
        return true;
    }
    for (AwShapeInstance* child : Children) {
        if (child->GetMatrixOf(out, target, time)) {
            GetLocalMatrix(local, time);
            local.Multiply(out, out);
            return true;
        }
    }
    return false;
}

AwShapeInstance* AwShapeInstance::FindByName(const char* name) {
    if (!Name || (name && AwNamesMatch(*Name, name))) return this;
    for (AwShapeInstance* child : Children)
        if (AwShapeInstance* found = child->FindByName(name)) return found;
    return nullptr;
}

void AwShapeInstance::DeleteByName(const char* name) {
    if (!name) return;
    for (ListNodeBase* n = Children.Sentinel()->Next; n != Children.Sentinel();) {
        auto* node = static_cast<ListNode<AwShapeInstance*>*>(n);
        n = n->Next;
        AwShapeInstance* child = node->Payload;
        if (child->Name && AwNamesMatch(*child->Name, name)) {
            Children.RemoveNode(node);
            delete child;
        } else {
            child->DeleteByName(name);
        }
    }
}

void AwShapeInstance::ReplaceShape(AwShape* shape, const char* name) {
    if (name && Name && AwNamesMatch(*Name, name)) {
        for (int i = 0; i < kShapeSlots; ++i) SetSlot(i, shape);
        if (Slots[0]) {
            NodeFlags = Slots[0]->Flags & kShapeNeverCull;
            TakeSlotZero(false);
        }
        return;
    }
    for (AwShapeInstance* child : Children) child->ReplaceShape(shape, name);
}
