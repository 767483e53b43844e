#pragma once
// Vertex animation of a shape. An ANIMSEQU under a shape chunk holds
//
//   ANISEQDT  i32 sequence word; 4 kept words; the name, zero-terminated and
//             padded to (length + 6) rounded down to a multiple of 4 (36
//             bytes in all without a name, 40 with 2 to 5 characters)
//   ANIMFRAM  one frame: children ANIFRADT, SHPRAWVT (the frame's points),
//             SHPPNORM (one normal per polygon of the shape)
//   ANIFRADT  i32 frame index; u32 flags (4: deleted); 3 kept words; the
//             name, laid out as in ANISEQDT
//
// Reading gathers the children into a ChunkAnimSequence record, with the
// frames in index order; a sequence without ANISEQDT, or with a frame that
// lacks one of its three children or whose index is out of range or taken,
// is discarded whole. Giving the chunk a record rebuilds the children from
// it: the frames not flagged deleted, numbered in order. The record and the children hold
// copies of their own, so neither outlives data the other frees.
//
// ASALTTEX (children only) and ANSHCEN2 (five kept words) are further shape
// children carried with the shape.

#include <string>

#include "chunkfile/fieldchunk.h"
#include "chunkfile/shapeanim_record.h"

// The fields of ANISEQDT and ANIFRADT.
struct AnimHeader {
    int32_t first = 0;      // the sequence word, or the frame index
    uint32_t words[4] = {}; // sequence words 1-4, or the frame flags and words 1-3
    std::string name;
};
bool ReadFields(ByteReader& in, AnimHeader& f);
void WriteFields(ByteWriter& out, const AnimHeader& f);

class AnimSequenceHeaderChunk final : public FieldChunk<AnimHeader> {
public:
    using Fields = AnimHeader;
    using FieldChunk::FieldChunk;
};

class AnimFrameHeaderChunk final : public FieldChunk<AnimHeader> {
public:
    using Fields = AnimHeader;
    using FieldChunk::FieldChunk;

    int32_t FrameIndex() const { return fields_.first; }
};

// ANIMFRAM.
class AnimFrameChunk final : public ParentChunk {
public:
    AnimFrameChunk(ParentChunk* parent, const RawChunk& raw);
    // A frame's children made from `frame`, numbered `index`.
    AnimFrameChunk(ParentChunk* parent, int32_t index, const ChunkAnimFrame& frame);
};

// ANIMSEQU.
class AnimSequenceChunk final : public ParentChunk {
public:
    // Null, with nothing left under `parent`, when the sequence is malformed.
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);
    // An empty sequence with this word and name.
    AnimSequenceChunk(ParentChunk* parent, int32_t sequenceWord, std::string name);
    AnimSequenceChunk(ParentChunk* parent, const ChunkAnimSequence& record);

    const ChunkAnimSequence& Record() const { return record_; }
    // Takes a copy of `record` and rebuilds the children from it.
    void SetRecord(const ChunkAnimSequence& record);
    // Sets sequence word 1.
    void SetFirstWord(uint32_t value) { record_.words[0] = value; }
    // Sets the flags of frame `index` when there is one.
    void SetFrameFlags(int32_t index, uint32_t flags);
    // Drops the deleted frames from the record, under a shape only.
    void PurgeDeletedFrames();

    // Under a shape: computes the record's normals and bounds over the
    // shape's polygons; then processes the children.
    void PostInputProcessing() override;

private:
    AnimSequenceChunk(ParentChunk* parent, std::string_view id);

    bool BuildRecord();
    void RebuildChildren();
    // The parent's record when the parent is a QORSHAPE or SUBSHAPE.
    const ChunkShapeData* ShapeRecord() const;

    ChunkAnimSequence record_;
};

// ANSHCEN2.
class AnimShapeCentreChunk final : public FieldChunk<KeptWords<5>> {
public:
    using Fields = KeptWords<5>;
    using FieldChunk::FieldChunk;
    // All zero.
    explicit AnimShapeCentreChunk(ParentChunk* parent);
};

// Registers the shape animation chunk classes; called once at start-up
// (later calls do nothing).
void RegisterShapeAnimationChunkClasses();
