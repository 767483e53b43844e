#pragma once
// Shapes in chunk files. A shape is a QORSHAPE chunk at the top level of a
// file, or a SUBSHAPE inside another chunk (a morph target): a parent that
// embeds a shape record, whose children are a header (SHPHEAD1, SUBSHPHD)
// and the geometry chunks that read into and write from the record, besides
// chunks of other families (merge tables, morphs, animation, variants...).
//
// Shapes are numbered: the SHPHEAD1 header keeps the shape number, and each
// object chunk names the number of the shape it uses. After a file is read
// the file links its objects to their shapes; before a save every header
// numbers itself if needed and records the names of its objects.

#include <string_view>

#include "chunkfile/chunk.h"
#include "chunkfile/shape_record.h"
#include "core/list.h"

namespace plat {
class File;
}

class ObjectChunk;
class ShapeHeaderChunk;
class SubShapeHeaderChunk;

class ShapeChunk : public ParentChunk {
public:
    // Deletes the children (which may refer to the record), then the record.
    ~ShapeChunk() override;

    ChunkShapeData& Data() { return data_; }
    const ChunkShapeData& Data() const { return data_; }

    // The SHPHEAD1 child, or null.
    ShapeHeaderChunk* FindHeader() const;
    // The SHPHEAD1 child's id text; null without one.
    const char* GetHeaderId() const;
    // The operations below need the SHPHEAD1 header and report false without it.
    // Keeps the first 16 characters.
    bool SetUserName(std::string_view name);
    bool BumpRevision();
    // Both have headers with the same shape number, and this revision is lower.
    bool IsOlderThan(const ShapeChunk& other) const;
    // The objects that use the shape (empty without a header).
    const List<ObjectChunk*>& UsingObjects() const;
    bool LinkObject(ObjectChunk& object);
    void UnlinkObject(ObjectChunk& object);
    // Links, for each name the header lists, the file's QOOBJECT of exactly
    // that name; false at the first name no object carries (earlier links stay).
    bool RelinkObjects(const ParentChunk& file);
    // Whether the stored QORSHAPE at the file's position carries this
    // shape's number in its one SHPHEAD1.
    bool MatchesFileHeader(plat::File& file) const;

    // Replaces the geometry children by new ones over a copy of `record`.
    bool ReplaceData(const ChunkShapeData& record);
    // Deletes the children of other families that describe the geometry
    // (merge data, morphs, animation, fragments, variants, tints...).
    void DeleteExtras();
    // A copy of this shape (read back from its bytes) under the same parent,
    // with a new unnumbered header; null when the copy cannot be read.
    ShapeChunk* Duplicate();

protected:
    // An empty shape with a cleared record.
    ShapeChunk(ParentChunk* parent, std::string_view id);
    // A shape over a copy of `source`, with its geometry children.
    ShapeChunk(ParentChunk* parent, std::string_view id, const ChunkShapeData& source);

    // Appends a child over each array the record holds, then SHPCENTR with
    // the centre and radius computed from the corners and points, and
    // SHPFLAGS when the shape flags are set (each unless one is there).
    void BuildGeometryChildren();
    // Gives a fresh copy its new unnumbered header and finishes it.
    virtual void RenewHeader() {}

private:
    ChunkShapeData data_;
};

// QORSHAPE: a shape at the top level of a file.
class QorShapeChunk final : public ShapeChunk {
public:
    // A new shape over a copy of `source`, with a new unnumbered SHPHEAD1.
    QorShapeChunk(ParentChunk* parent, const ChunkShapeData& source);
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);

    // Set to drop the shape when its file is saved under its own name.
    bool DeletionMark() const { return deletionMark_; }
    void SetDeletionMark(bool mark) { deletionMark_ = mark; }

private:
    explicit QorShapeChunk(ParentChunk* parent);
    void RenewHeader() override;

    bool deletionMark_ = false;
};

// SUBSHAPE: a shape inside another chunk, with a SUBSHPHD header.
class SubShapeChunk final : public ShapeChunk {
public:
    // A new shape over a copy of `source`, with a new unnumbered SUBSHPHD.
    SubShapeChunk(ParentChunk* parent, const ChunkShapeData& source);
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);

    // The SUBSHPHD child, or null.
    SubShapeHeaderChunk* FindSubHeader() const;

private:
    explicit SubShapeChunk(ParentChunk* parent);
    void RenewHeader() override;
};

// Registers the shape chunk classes and the file's shape-number hooks;
// called once at start-up (later calls do nothing).
void RegisterShapeChunkClasses();
