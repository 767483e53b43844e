#include "Awapi/model/model_node.h"

#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"

bool AwHasSequence(const AwAnimSequenceList* list, int32_t n) {
    const auto index = static_cast<uint32_t>(n);
    return list && index < list->size() && (*list)[index] != nullptr;
}

void AwModel::AddUse() {
    if (++UseCount != 1) return;
    for (AwShape* shape : Shapes)
        if (shape) shape->AddUse();
    for (AwModel* child : Children) child->AddUse();
}

bool AwModel::ReleaseUse() {
    if (--UseCount != 0) return true;
    for (AwShape* shape : Shapes)
        if (shape) shape->ReleaseUse();
    for (AwModel* child : Children) child->ReleaseUse();
    if (HoldCount.load() != 0) return true;
    delete this;
    return false;
}

void AwModel::AddHold() {
    if (++HoldCount != 1) return;
    for (AwShape* shape : Shapes)
        if (shape) shape->AddHold();
    for (AwModel* child : Children) child->AddHold();
}

bool AwModel::ReleaseHold() {
    if (--HoldCount != 0) return true;
    for (AwShape* shape : Shapes)
        if (shape) shape->ReleaseHold();
    for (AwModel* child : Children) child->ReleaseHold();
    if (UseCount.load() != 0) return true;
    delete this;
    return false;
}

AwModel* AwModel::FindNode(const char* name) {
    if (Name && AwNamesMatch(*Name, name)) return this;
    for (AwModel* child : Children)
        if (AwModel* found = child->FindNode(name)) return found;
    return nullptr;
}

bool AwModel::GetNodePosition(Vector3& out, const char* name) const {
    if (Name && AwNamesMatch(*Name, name)) {
        const AwAnimFrame* key = AwFirstKey(Sequences.get());
        if (!key) return false;
        out = key->Offset;
        return true;
    }
    for (const AwModel* child : Children) {
        if (!child->GetNodePosition(out, name)) continue;
        if (const AwAnimFrame* key = AwFirstKey(Sequences.get())) {
            Matrix34 m;
            m.MakeFromQuaternion(key->Rotation);
            m.SetTranslation(key->Offset);
            const Vector3 local = out;
            m.TransformPoint(out, local);
        }
        return true;
    }
    return false;
}
