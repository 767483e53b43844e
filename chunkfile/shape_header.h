#pragma once
// The headers of shape chunks.
//
// SHPHEAD1 (under QORSHAPE), data after the 12-byte chunk header:
//   0 u32 header flags (kept)        32 f32 stored radius
//   4 16-byte user name              36 i32 x 6: corner A x, B x, A y, B y, A z, B z
//  20 i32 shape number (-1: none)    60 i32 revision
//  24 i32 point count                64 u32 n, then n zero-terminated object
//  28 i32 polygon count                 names, padded to a multiple of 4
// The counts, the radius and the corners live in the shape's record.
//
// SUBSHPHD (under SUBSHAPE): u32 header flags (kept), i32 sub-shape number,
// point count, polygon count, stored radius, the six corner words; 56 bytes.

#include <string>

#include "chunkfile/chunk.h"
#include "chunkfile/shape_record.h"
#include "core/list.h"

class ObjectChunk;
class ShapeChunk;

class ShapeHeaderChunk final : public Chunk {
public:
    static constexpr size_t kUserNameWidth = 16;

    // A new header: unnumbered, revision 0, flags 0, no names, empty user name.
    explicit ShapeHeaderChunk(ShapeChunk& shape);
    // An UnknownChunk under a parent that is not a shape.
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);
    // Unlinks the objects that still use the shape.
    ~ShapeHeaderChunk() override;

    int32_t ShapeNumber() const { return shapeNumber_; }
    void SetShapeNumber(int32_t number) { shapeNumber_ = number; }
    int32_t Revision() const { return revision_; }
    void BumpRevision() { ++revision_; }
    const std::string& UserName() const { return userName_; }
    // Keeps the first 16 characters.
    void SetUserName(std::string_view name);
    // The names of the using objects as last read or saved.
    const List<std::string>& NameList() const { return nameList_; }
    // The objects that use the shape (not owned; each removes itself when it
    // goes or moves to another shape).
    const List<ObjectChunk*>& UsingObjects() const { return usingObjects_; }
    void AddUsingObject(ObjectChunk& object);
    void RemoveUsingObject(ObjectChunk& object);

    uint32_t SizeChunk() override;
    void FillDataBlock(ByteWriter& out) override;
    // Numbers an unnumbered shape after HighestShapeNumber, gives the number
    // to the using objects' headers, records their names and counts a revision.
    void PrepareForOutput() override;
    std::string Describe() const override;

private:
    ShapeHeaderChunk(ParentChunk* parent, ChunkShapeData& record);

    ChunkShapeData& record_;
    std::string userName_;
    List<std::string> nameList_;
    uint32_t headerFlags_ = 0;
    int32_t revision_ = 0;
    int32_t shapeNumber_ = -1;
    List<ObjectChunk*> usingObjects_;
};

class SubShapeHeaderChunk final : public Chunk {
public:
    // A new header: unnumbered, flags 0.
    explicit SubShapeHeaderChunk(ShapeChunk& shape);
    // An UnknownChunk under a parent that is not a shape.
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);

    int32_t Number() const { return number_; }
    void SetNumber(int32_t number) { number_ = number; }

    uint32_t SizeChunk() override;
    void FillDataBlock(ByteWriter& out) override;
    std::string Describe() const override;

private:
    SubShapeHeaderChunk(ParentChunk* parent, ChunkShapeData& record);

    ChunkShapeData& record_;
    uint32_t headerFlags_ = 0;
    int32_t number_ = -1;
};
