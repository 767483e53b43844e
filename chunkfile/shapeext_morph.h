#pragma once
// Morphs of a shape. A SHPMORPH under a QORSHAPE or SUBSHAPE holds its
// targets (SUBSHAPE children, each with a SUBSHPHD number and an SHPFNAME
// naming its source) and its frames:
//
//   FRMMORPH  u32 first word; u32 second word; u32 n; n triples (i32 from
//             target number, i32 to target number, u32 value); -1 names the
//             morph's own QORSHAPE
//
// After reading, a frame resolves its triples into links between targets;
// before a save the morph numbers new targets and each frame writes its
// links back as triples. Triples that resolve to nothing are dropped, and so
// are links whose target leaves the morph.

#include <string_view>
#include <vector>

#include "chunkfile/fieldchunk.h"

class QorShapeChunk;
class SubShapeChunk;

// One end of each side is set: a target of the morph or its owner shape.
struct MorphLink {
    SubShapeChunk* fromTarget = nullptr;
    QorShapeChunk* fromBase = nullptr;
    SubShapeChunk* toTarget = nullptr;
    QorShapeChunk* toBase = nullptr;
    uint32_t value = 0;
};

struct MorphTriple {
    int32_t from = -1;
    int32_t to = -1;
    uint32_t value = 0;
};

struct MorphFrame {
    uint32_t firstWord = 0;
    uint32_t secondWord = 0;
    std::vector<MorphTriple> triples;
};
bool ReadFields(ByteReader& in, MorphFrame& f);
void WriteFields(ByteWriter& out, const MorphFrame& f);

// FRMMORPH.
class MorphFrameChunk final : public FieldChunk<MorphFrame> {
public:
    using Fields = MorphFrame;
    using FieldChunk::FieldChunk;

    const std::vector<MorphLink>& Links() const { return links_; }
    // Forgets the links that have `target` at either end.
    void DropLinksTo(const Chunk& target);

    // Resolves the triples into links.
    void PostInputProcessing() override;
    // Rebuilds the triples from the links.
    void PrepareForOutput() override;

private:
    std::vector<MorphLink> links_;
    // Until the links are resolved the triples stay as read.
    bool resolved_ = false;
};

// SHPMORPH.
class MorphChunk final : public ParentChunk {
public:
    MorphChunk(ParentChunk* parent, const RawChunk& raw);

    // The shape the morph belongs to: its parent, when that is a QORSHAPE
    // (or a SUBSHAPE); null otherwise.
    QorShapeChunk* OwnerShape() const;
    SubShapeChunk* OwnerSubShape() const;
    // The first target numbered `number`; null for none.
    SubShapeChunk* FindTarget(int32_t number) const;

    // A new target: a SUBSHAPE over a copy of the owner's record, with an
    // SHPFNAME of `fileName` and copies of the owner's TEXTANIM and SHPMRGDT.
    // Null when a target's SHPFNAME already names the file (ignoring case)
    // or the morph's parent is no shape.
    SubShapeChunk* AddTarget(std::string_view fileName);

    // Numbers the unnumbered targets after the highest number, then prepares
    // the children.
    void PrepareForOutput() override;

protected:
    void ChildDetached(Chunk& child) override;
};
