#pragma once
// OBJHEAD1: the header of a placed object. On disk (offsets from the id):
//   12 u32 header flags: bit 0 locked, bit 8 (0x100) mirrored in the
//      record's header flag word, other bits kept
//   16 16-byte user name       44 orientation (4 x f32)   64 i32 revision
//   32 position (3 x i32)      60 i32 object number        68 i32 shape number
//   72 object name, zero-terminated, padded to a multiple of 4 (80 bytes
//      for a 5-character name)
// Position, orientation, flag word, name and number live in the owning
// object's record; the header keeps the rest and the link to the shape.

#include <string>

#include "chunkfile/chunk.h"

class ObjectChunk;
class ShapeChunk;

class ObjectHeaderChunk final : public Chunk {
public:
    static constexpr uint32_t kLockedFlag = 0x1;
    static constexpr uint32_t kHeaderFlagBit = 0x100;
    static constexpr size_t kUserNameWidth = 16;

    // A new header: flags 0x100 when the object's flag word is set, else 0;
    // revision 0, shape number 0, no link, empty user name.
    explicit ObjectHeaderChunk(ObjectChunk& object);
    // An UnknownChunk under a parent that is not an object.
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);
    // Leaves the linked shape's users.
    ~ObjectHeaderChunk() override;

    uint32_t HeaderFlags() const { return headerFlags_; }
    const std::string& UserName() const { return userName_; }
    // Keeps the first 16 characters.
    void SetUserName(std::string_view name);
    int32_t Revision() const { return revision_; }
    void BumpRevision() { ++revision_; }
    int32_t ShapeNumber() const { return shapeNumber_; }
    void SetShapeNumber(int32_t number) { shapeNumber_ = number; }

    ShapeChunk* LinkedShape() const { return shape_; }
    // Sets the link alone; ObjectChunk::SetShapeChunk keeps the shape's
    // users in step, and a shape header that goes away clears it.
    void SetLinkedShape(ShapeChunk* shape) { shape_ = shape; }

    uint32_t SizeChunk() override;
    void FillDataBlock(ByteWriter& out) override;
    // Counts a revision: every save raises it.
    void PrepareForOutput() override;
    std::string Describe() const override;

private:
    ObjectHeaderChunk(ObjectChunk& object, uint32_t headerFlags);

    ObjectChunk& object_;
    uint32_t headerFlags_;
    std::string userName_;
    int32_t revision_ = 0;
    int32_t shapeNumber_ = 0;
    ShapeChunk* shape_ = nullptr;
};
