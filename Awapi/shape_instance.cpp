#include "Awapi/shape_instance.h"

#include <cctype>

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/bounding_box.h"
#include "Awapi/model/model_node.h"
#include "Awapi/model/sequence_player.h"
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

AwShapeInstance::AwShapeInstance(const AwModel& model, bool box) : Name(model.Name) {
    NodeFlags = 0;
    TakeModelShapes(model);
    if (Slots[0]) {
        TakeSlotZero(false);
        if (box) Box = new AwBoundingBox(Slots[0]->Min, Slots[0]->Max);
    }
    Sequences = model.Sequences.get();
    if (const AwAnimFrame* key = AwFirstKey(Sequences)) {
        SetPositionVector(key->Offset);
        SetQuaternion(key->Rotation);
    } else {
        SetPosition(0.0f, 0.0f, 0.0f);
        SetQuaternion(Quaternion{0, 0, 0, 1});
    }
    for (const AwModel* child : model.Children) {
        auto* node = new AwShapeInstance(*child, box);
        Children.PushBack(node);
        Textures.Merge(node->Textures);
    }
}

AwShapeInstance::~AwShapeInstance() {
    for (int i = 0; i < kShapeSlots; ++i) SetSlot(i, nullptr);
    delete Box;
    for (AwNodeTrack* track : Tracks) {
        track->Release();
        delete track;
    }
    for (AwShapeInstance* child : Children) delete child;
}

void AwShapeInstance::TakeModelShapes(const AwModel& model) {
    for (int i = 0; i < kShapeSlots; ++i) SetSlot(i, model.Shapes[i]);
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

namespace {

// matrix = D3D(local) x matrix: the local transform acts first.
void ApplyLocal(Matrix& matrix, const Matrix34& local) {
    Matrix d3d;
    AwMatrixToD3D(local, d3d);
    matrix = MatrixMultiply(d3d, matrix);
}

} // namespace

// The first track gives the pose unless it is relative (or missing), when
// the rest pose does; every other track is composed on top of it.
void AwShapeInstance::ComputeWorldMatrix(Matrix& matrix, int32_t time) {
    const auto t = static_cast<uint32_t>(time);
    ListNode<AwNodeTrack*>* first = Tracks.First();
    ListNodeBase* next = Tracks.Sentinel()->Next;
    Matrix34 local;
    if (first && !first->Payload->Sequence->IsRelative()) {
        next = first->Next;
        const bool ended = SampleTrack(*first->Payload, t, local);
        if (ended || first->Payload->Player->Finished) EndTrack(first);
    } else {
        local = *GetMatrix();
    }
    ApplyLocal(matrix, local);
    while (next != Tracks.Sentinel()) {
        auto* node = static_cast<ListNode<AwNodeTrack*>*>(next);
        next = next->Next;
        const bool ended = SampleTrack(*node->Payload, t, local);
        ApplyLocal(matrix, local);
        if (ended || node->Payload->Player->Finished) EndTrack(node);
    }
}

void AwShapeInstance::GetLocalMatrix(Matrix34& out, int32_t time) {
    const auto t = static_cast<uint32_t>(time);
    ListNode<AwNodeTrack*>* first = Tracks.First();
    ListNodeBase* next = Tracks.Sentinel()->Next;
    if (first && !first->Payload->Sequence->IsRelative()) {
        next = first->Next;
        if (SampleTrack(*first->Payload, t, out)) out = *GetMatrix();
    } else {
        out = *GetMatrix();
    }
    for (; next != Tracks.Sentinel(); next = next->Next) {
        Matrix34 sample;
        SampleTrack(*static_cast<ListNode<AwNodeTrack*>*>(next)->Payload, t, sample);
        out.Multiply(out, sample);
    }
}

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

void AwShapeInstance::ReplaceFromModel(const AwModel& model, uint32_t flags) {
    if (!Name || !model.Name || !AwNamesMatch(*Name, model.Name->c_str())) {
        for (AwShapeInstance* child : Children) child->ReplaceFromModel(model, flags);
        return;
    }
    const AwAnimFrame* mine = AwFirstKey(Sequences);
    const AwAnimFrame* theirs = AwFirstKey(model.Sequences.get());
    if ((flags & kReplaceMoveSequences) && mine && theirs) {
        const Vector3 shift = theirs->Offset - mine->Offset;
        CopySequences();
        for (auto& sequence : *Sequences)
            if (sequence) sequence->Translate(shift);
        SetPositionVector(theirs->Offset);
    }
    TakeModelShapes(model);
    TakeSlotZero(false);
    for (const AwModel* child : model.Children) ReplaceFromModel(*child, kReplaceMoveSequences);
}

void AwShapeInstance::CopySequences() {
    if (!sequenceCopy_) ModelSequences = Sequences;
    if (!ModelSequences) return;
    sequenceCopy_ = AwCopySequenceList(*ModelSequences); // drops a previous copy
    Sequences = sequenceCopy_.get();
    for (ListNodeBase* n = Tracks.Sentinel()->Next; n != Tracks.Sentinel();) {
        auto* node = static_cast<ListNode<AwNodeTrack*>*>(n);
        n = n->Next;
        AwNodeTrack& track = *node->Payload;
        if (!AwHasSequence(Sequences, track.Player->Sequence)) {
            DeleteTrack(node);
            continue;
        }
        track.Sequence = (*Sequences)[static_cast<size_t>(track.Player->Sequence)].get();
        track.Frame = 0;
    }
}
