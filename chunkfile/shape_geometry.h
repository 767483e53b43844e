#pragma once
// The geometry chunks of a shape. Each array chunk writes one array of the
// shape record:
//   SHPRAWVT points (3 x i32)          SHPVNORM, SHPPNORM normals (3 x f32)
//   SHPVFLAG point flags (u32)         SHPPOLYS polygons (nine words: type,
//   SHPUVCRD u32 count, then uv lists    normal index, flags, texture word,
//     (u32 pair count <= 4, pairs)       five vertex slots ending in -1)
//   SHPTEXFN u32 count, then texture names back to back, zero-terminated,
//     the whole padded to a multiple of 4
// Under QORSHAPE and SUBSHAPE the chunk fills the parent's record and then
// refers to the record's array; elsewhere (a frame of a vertex animation, a
// shape variant) it holds its own array, which its owner may take over with
// HandOver. SHPCENTR (centre, radius) and SHPFLAGS (shape flags) have no
// array: they read into and write from the parent shape's record.

#include <span>
#include <string>
#include <vector>

#include "chunkfile/chunk.h"
#include "chunkfile/shape_record.h"

template <class T>
class ShapeArrayChunk final : public Chunk {
public:
    // Refers to `elements`, which must outlive the chunk (a record's array).
    ShapeArrayChunk(ParentChunk* parent, std::string_view id, std::vector<T>& elements);
    // Holds its own elements.
    ShapeArrayChunk(ParentChunk* parent, std::string_view id, std::vector<T>&& own);

    // Reads the elements of `raw`; false (the file marked malformed) when
    // they do not fit the data or break a record's limits.
    static bool ReadElements(const RawChunk& raw, std::vector<T>& out);
    // Factory of a chunk that holds its own copy.
    static Chunk* CreateOwn(ParentChunk* parent, const RawChunk& raw);

    std::vector<T>& Elements() { return *elements_; }
    const std::vector<T>& Elements() const { return *elements_; }
    bool HoldsOwnElements() const { return elements_ == &own_; }
    // Moves the chunk's own elements into `target` and refers to `target`
    // from then on.
    void HandOver(std::vector<T>& target);
    // Takes a copy of `shared` when the chunk refers to it, so that the
    // chunk keeps its bytes when `shared` is refilled for another chunk.
    void StopSharing(const std::vector<T>& shared);

    uint32_t SizeChunk() override;
    void FillDataBlock(ByteWriter& out) override;
    std::string Describe() const override;

private:
    std::vector<T> own_;
    std::vector<T>* elements_;
};

using PointArrayChunk = ShapeArrayChunk<VectorI>;          // SHPRAWVT
using NormalArrayChunk = ShapeArrayChunk<Vector3>;         // SHPVNORM, SHPPNORM
using PointFlagArrayChunk = ShapeArrayChunk<uint32_t>;     // SHPVFLAG
using PolygonArrayChunk = ShapeArrayChunk<ChunkPolygon>;   // SHPPOLYS
using UvListArrayChunk = ShapeArrayChunk<ChunkUvList>;     // SHPUVCRD
using TextureNameArrayChunk = ShapeArrayChunk<std::string>; // SHPTEXFN

// SHPCENTR: the record's centre (3 x i32), then a radius (f32). Reading sets
// the record's radius; writing emits its stored radius.
class ShapeCentreChunk final : public Chunk {
public:
    ShapeCentreChunk(ParentChunk* parent, ChunkShapeData& record);
    // An UnknownChunk under a parent that is not a shape.
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);

    uint32_t SizeChunk() override;
    void FillDataBlock(ByteWriter& out) override;
    std::string Describe() const override;

private:
    ChunkShapeData& record_;
};

// SHPFLAGS: the record's shape flags (u32).
class ShapeFlagsChunk final : public Chunk {
public:
    ShapeFlagsChunk(ParentChunk* parent, ChunkShapeData& record);
    // An UnknownChunk under a parent that is not a shape.
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);

    uint32_t SizeChunk() override;
    void FillDataBlock(ByteWriter& out) override;
    std::string Describe() const override;

private:
    ChunkShapeData& record_;
};
