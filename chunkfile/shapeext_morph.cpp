#include "chunkfile/shapeext_morph.h"

#include <algorithm>

#include "chunkfile/nametext.h"
#include "chunkfile/shape_chunk.h"
#include "chunkfile/shape_header.h"
#include "chunkfile/shapeext_chunks.h"

namespace {

// The SUBSHPHD number of a target; -1 without a header.
int32_t TargetNumber(const SubShapeChunk& target) {
    const SubShapeHeaderChunk* header = target.FindSubHeader();
    return header ? header->Number() : -1;
}

template <class Visit>
void ForEachTarget(const ParentChunk& morph, Visit&& visit) {
    for (Chunk* c = morph.FirstChild(); c; c = c->Next())
        if (auto* target = c->HasId("SUBSHAPE") ? dynamic_cast<SubShapeChunk*>(c) : nullptr) visit(*target);
}

} // namespace

bool ReadFields(ByteReader& in, MorphFrame& f) {
    uint32_t n = 0;
    if (!in.U32(f.firstWord) || !in.U32(f.secondWord) || !ReadCount(in, n, 12)) return false;
    f.triples.resize(n);
    for (MorphTriple& t : f.triples) {
        t.from = in.I32();
        t.to = in.I32();
        t.value = in.U32();
    }
    return in.ok();
}

void WriteFields(ByteWriter& out, const MorphFrame& f) {
    out.U32(f.firstWord);
    out.U32(f.secondWord);
    out.U32(static_cast<uint32_t>(f.triples.size()));
    for (const MorphTriple& t : f.triples) {
        out.I32(t.from);
        out.I32(t.to);
        out.U32(t.value);
    }
}

void MorphFrameChunk::DropLinksTo(const Chunk& target) {
    std::erase_if(links_, [&](const MorphLink& link) {
        const Chunk* ends[] = {link.fromTarget, link.fromBase, link.toTarget, link.toBase};
        return std::ranges::find(ends, &target) != std::end(ends);
    });
}

void MorphFrameChunk::PostInputProcessing() {
    links_.clear();
    resolved_ = true;
    const auto* morph = dynamic_cast<const MorphChunk*>(Parent());
    if (!morph) return;
    // One side of a triple: the owner shape for -1, else the target of the number.
    auto resolve = [morph](int32_t number, SubShapeChunk*& target, QorShapeChunk*& base) {
        if (number == -1)
            base = morph->OwnerShape();
        else
            target = morph->FindTarget(number);
        return target || base;
    };
    for (const MorphTriple& t : fields_.triples) {
        MorphLink link;
        link.value = t.value;
        if (resolve(t.from, link.fromTarget, link.fromBase) && resolve(t.to, link.toTarget, link.toBase))
            links_.push_back(link);
    }
}

void MorphFrameChunk::PrepareForOutput() {
    if (!resolved_) return;
    fields_.triples.clear();
    for (const MorphLink& link : links_)
        fields_.triples.push_back({link.fromTarget ? TargetNumber(*link.fromTarget) : -1,
                                   link.toTarget ? TargetNumber(*link.toTarget) : -1, link.value});
}

MorphChunk::MorphChunk(ParentChunk* parent, const RawChunk& raw) : ParentChunk(parent, raw.Id()) {
    CreateChildren(raw.Data());
}

QorShapeChunk* MorphChunk::OwnerShape() const { return dynamic_cast<QorShapeChunk*>(Parent()); }

SubShapeChunk* MorphChunk::OwnerSubShape() const { return dynamic_cast<SubShapeChunk*>(Parent()); }

SubShapeChunk* MorphChunk::FindTarget(int32_t number) const {
    SubShapeChunk* found = nullptr;
    ForEachTarget(*this, [&](SubShapeChunk& target) {
        if (!found && TargetNumber(target) == number) found = &target;
    });
    return found;
}

SubShapeChunk* MorphChunk::AddTarget(std::string_view fileName) {
    bool named = false;
    ForEachTarget(*this, [&](SubShapeChunk& target) {
        const auto* source = FindChildAs<FileNameChunk>(target, "SHPFNAME");
        named |= source && EqualsIgnoringCase(source->Name(), fileName);
    });
    auto* owner = dynamic_cast<ShapeChunk*>(Parent());
    if (named || !owner || !(owner->HasId("QORSHAPE") || owner->HasId("SUBSHAPE"))) return nullptr;

    auto* target = new SubShapeChunk(this, owner->Data());
    new FileNameChunk(target, std::string(fileName));
    if (Chunk* textureAnimation = owner->FindChild("TEXTANIM")) {
        const std::vector<uint8_t> bytes = textureAnimation->MakeDataBlock();
        if (!bytes.empty()) target->CreateChild(RawChunk{bytes.data(), static_cast<uint32_t>(bytes.size())});
    }
    if (const auto* merge = FindChildAs<MergeDataChunk>(*owner, "SHPMRGDT")) new MergeDataChunk(target, merge->Table());
    return target;
}

void MorphChunk::PrepareForOutput() {
    // Unsigned, so that a hostile number at the top of the range wraps
    // instead of overflowing.
    uint32_t highest = 0;
    ForEachTarget(*this, [&](SubShapeChunk& target) {
        highest = static_cast<uint32_t>(std::max(static_cast<int32_t>(highest), TargetNumber(target)));
    });
    ForEachTarget(*this, [&](SubShapeChunk& target) {
        SubShapeHeaderChunk* header = target.FindSubHeader();
        if (header && header->Number() == -1) header->SetNumber(static_cast<int32_t>(++highest));
    });
    ParentChunk::PrepareForOutput();
}

void MorphChunk::ChildDetached(Chunk& child) {
    for (Chunk* c = FirstChild(); c; c = c->Next())
        if (auto* frame = dynamic_cast<MorphFrameChunk*>(c)) frame->DropLinksTo(child);
}
