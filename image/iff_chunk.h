#pragma once
// The IFF chunk tree: every chunk is reference counted and knows its parent
// composite (FORM, LIST, CAT or PROP) and its place there. Composites hold one
// reference to each child. Chunks of registered classes read their own fields;
// all others are raw chunks holding their body.

#include <functional>
#include <vector>

#include "core/refcounted.h"
#include "image/iff_id.h"

class IffComposite;
class IffReadContext;

class IffChunk : public RefCounted {
public:
    explicit IffChunk(IffId id) : id_(id) {}

    IffId Id() const { return id_; }
    IffComposite* Parent() const { return parent_; }
    // Reads the chunk's body from a context covering exactly that body.
    virtual void Read(IffReadContext& context) = 0;
    // Reads a body of `size` bytes from `context` in a sub-context, then the
    // pad byte that follows an odd size.
    void ReadBody(IffReadContext& context, uint32_t size);
    // True only for raw chunks: lookups by identifier skip them.
    virtual bool IsRaw() const { return false; }
    virtual IffComposite* AsComposite() { return nullptr; }

    // The property `id` that applies to this chunk: a chunk before it in its
    // FORM (nearest first), else one in a PROP before the path in each
    // enclosing LIST whose form type fits; null when none.
    IffChunk* FindProperty(IffId id) const;

private:
    friend class IffComposite;
    IffId id_;
    IffComposite* parent_ = nullptr;
    size_t index_ = 0; // place in the parent's children
};

class IffRawChunk final : public IffChunk {
public:
    using IffChunk::IffChunk;
    void Read(IffReadContext& context) override;
    bool IsRaw() const override { return true; }
    const std::vector<uint8_t>& Body() const { return body_; }

private:
    std::vector<uint8_t> body_;
};

// Called for each visited chunk; returning false stops the whole visit.
using IffVisitor = std::function<bool(IffChunk& chunk)>;

class IffComposite : public IffChunk {
public:
    using IffChunk::IffChunk;
    ~IffComposite() override;

    IffId FormType() const { return formType_; }
    const std::vector<IffChunk*>& Children() const { return children_; }
    IffComposite* AsComposite() override { return this; }

    // Reads the form type, then children until the body ends.
    void Read(IffReadContext& context) override;
    // Calls `visitor` for the chunks `id` (0: any) of every FORM or PROP of form
    // type `formType` (0: any) reached through LISTs and CATs; false when stopped.
    virtual bool Visit(IffId formType, IffId id, const IffVisitor& visitor) = 0;
    // The first child `id` before position `end` searching backwards, raw chunks skipped.
    IffChunk* FindChildBefore(IffId id, size_t end) const;
    // The first child `id` from the front, raw chunks skipped.
    IffChunk* FindChild(IffId id) const;

protected:
    // Whether a child identifier is made through the registry (else it is raw).
    virtual bool LooksUp(IffId id) const = 0;
    // Calls the visitor for matching children (FORM and PROP).
    bool VisitOwnChildren(IffId formType, IffId id, const IffVisitor& visitor);
    // Runs the visit on matching child groups (LIST and CAT).
    bool VisitChildGroups(IffId formType, IffId id, const IffVisitor& visitor);

private:
    void ReadChild(IffReadContext& context);

    IffId formType_ = 0;
    std::vector<IffChunk*> children_;
};

class IffForm final : public IffComposite {
public:
    IffForm() : IffComposite(kIffForm) {}
    bool Visit(IffId formType, IffId id, const IffVisitor& visitor) override;

protected:
    bool LooksUp(IffId id) const override { return id != kIffProp; }
};

class IffProp final : public IffComposite {
public:
    IffProp() : IffComposite(kIffProp) {}
    bool Visit(IffId formType, IffId id, const IffVisitor& visitor) override;

protected:
    bool LooksUp(IffId id) const override;
};

class IffList final : public IffComposite {
public:
    IffList() : IffComposite(kIffList) {}
    bool Visit(IffId formType, IffId id, const IffVisitor& visitor) override;

protected:
    bool LooksUp(IffId id) const override;
};

class IffCat final : public IffComposite {
public:
    IffCat() : IffComposite(kIffCat) {}
    bool Visit(IffId formType, IffId id, const IffVisitor& visitor) override;

protected:
    bool LooksUp(IffId id) const override;
};
