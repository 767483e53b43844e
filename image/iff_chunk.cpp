#include "image/iff_chunk.h"

#include "image/iff_read_context.h"
#include "image/iff_registry.h"

namespace {
// Groups nest at most this deep: a hostile file of nested LISTs must not
// exhaust the stack.
constexpr uint32_t kMaxNesting = 64;
} // namespace

void IffChunk::ReadBody(IffReadContext& context, uint32_t size) {
    IffReadContext body(context, size);
    if (!body.Failed()) Read(body);
    body.Close();
    if (size & 1) context.U8();
}

void IffRawChunk::Read(IffReadContext& context) { body_ = context.Rest(); }

IffComposite::~IffComposite() {
    for (IffChunk* child : children_) child->Release();
}

void IffComposite::Read(IffReadContext& context) {
    for (IffChunk* child : children_) child->Release();
    children_.clear();
    if (context.Depth() > kMaxNesting) {
        context.Fail();
        return;
    }
    formType_ = context.Id();
    while (!context.Failed() && context.Remaining() > 0) ReadChild(context);
}

void IffComposite::ReadChild(IffReadContext& context) {
    IffId id = context.Id();
    uint32_t size = context.U32();
    if (context.Failed()) return;
    IffChunk* child = LooksUp(id) ? IffChunkRegistry::Create(formType_, id) : new IffRawChunk(id);
    child->parent_ = this;
    child->index_ = children_.size();
    children_.push_back(child);
    child->ReadBody(context, size);
}

IffChunk* IffComposite::FindChildBefore(IffId id, size_t end) const {
    for (size_t i = end; i-- > 0;)
        if (children_[i]->Id() == id && !children_[i]->IsRaw()) return children_[i];
    return nullptr;
}

IffChunk* IffComposite::FindChild(IffId id) const {
    for (IffChunk* child : children_)
        if (child->Id() == id && !child->IsRaw()) return child;
    return nullptr;
}

bool IffComposite::VisitOwnChildren(IffId formType, IffId id, const IffVisitor& visitor) {
    if (formType_ != kIffAny && formType != kIffAny && formType != formType_) return true;
    for (IffChunk* child : children_)
        if ((id == kIffAny || child->Id() == id) && !visitor(*child)) return false;
    return true;
}

bool IffComposite::VisitChildGroups(IffId formType, IffId id, const IffVisitor& visitor) {
    for (IffChunk* child : children_) {
        IffComposite* group = child->AsComposite();
        if (!group) continue;
        if (formType != kIffAny && group->FormType() != kIffAny && group->FormType() != formType) continue;
        if (!group->Visit(formType, id, visitor)) return false;
    }
    return true;
}

bool IffForm::Visit(IffId formType, IffId id, const IffVisitor& visitor) { return VisitOwnChildren(formType, id, visitor); }
bool IffProp::Visit(IffId formType, IffId id, const IffVisitor& visitor) { return VisitOwnChildren(formType, id, visitor); }
bool IffList::Visit(IffId formType, IffId id, const IffVisitor& visitor) { return VisitChildGroups(formType, id, visitor); }
bool IffCat::Visit(IffId formType, IffId id, const IffVisitor& visitor) { return VisitChildGroups(formType, id, visitor); }

bool IffProp::LooksUp(IffId id) const { return id != kIffForm && id != kIffList && id != kIffCat && id != kIffProp; }
bool IffList::LooksUp(IffId id) const { return id == kIffForm || id == kIffList || id == kIffCat || id == kIffProp; }
bool IffCat::LooksUp(IffId id) const { return id == kIffForm || id == kIffList || id == kIffCat; }

IffChunk* IffChunk::FindProperty(IffId id) const {
    const IffComposite* form = parent_;
    if (!form) return nullptr;
    if (IffChunk* own = form->FindChildBefore(id, index_)) return own;
    const IffChunk* path = form;
    for (const IffComposite* group = path->parent_; group && group->Id() == kIffList; group = group->parent_) {
        const auto& children = group->Children();
        for (size_t i = path->index_; i-- > 0;) {
            IffComposite* prop = children[i]->Id() == kIffProp ? children[i]->AsComposite() : nullptr;
            if (!prop || (prop->FormType() != kIffAny && prop->FormType() != form->FormType())) continue;
            if (IffChunk* found = prop->FindChildBefore(id, prop->Children().size())) return found;
        }
        path = group;
    }
    return nullptr;
}
