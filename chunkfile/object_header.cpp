#include "chunkfile/object_header.h"

#include "chunkfile/chunkfields.h"
#include "chunkfile/chunkreading.h"
#include "chunkfile/fieldchunk.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/shape_chunk.h"
#include "chunkfile/shape_header.h"
#include "chunkfile/unknownchunk.h"

namespace {

constexpr uint32_t kFixedSize = 60; // the data before the name

} // namespace

ObjectHeaderChunk::ObjectHeaderChunk(ObjectChunk& object, uint32_t headerFlags)
    : Chunk(&object, "OBJHEAD1"), object_(object), headerFlags_(headerFlags) {}

ObjectHeaderChunk::ObjectHeaderChunk(ObjectChunk& object)
    : ObjectHeaderChunk(object, object.Data().headerFlag ? kHeaderFlagBit : 0) {}

Chunk* ObjectHeaderChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    auto* object = dynamic_cast<ObjectChunk*>(parent);
    if (!object) return new UnknownChunk(parent, raw);
    ByteReader in = raw.Reader();
    ChunkObjectData data = object->Data();
    uint32_t flags = 0;
    std::string userName, name;
    int32_t revision = 0, shapeNumber = 0;
    in.U32(flags);
    ReadFixedName(in, userName, kUserNameWidth);
    ReadVector(in, data.position);
    ReadQuaternion(in, data.orientation);
    in.I32(data.number);
    in.I32(revision);
    in.I32(shapeNumber);
    if (!in.CString(name) || !in.ok()) {
        ReportMalformedChunk(raw.bytes);
        return nullptr;
    }
    data.headerFlag = (flags & kHeaderFlagBit) ? 1 : 0;
    data.name = name.substr(0, ChunkObjectData::kMaxNameLength);
    data.identity = {};
    object->Data() = std::move(data);
    auto* header = new ObjectHeaderChunk(*object, flags);
    header->userName_ = std::move(userName);
    header->revision_ = revision;
    header->shapeNumber_ = shapeNumber;
    return header;
}

ObjectHeaderChunk::~ObjectHeaderChunk() {
    if (ShapeHeaderChunk* header = shape_ ? shape_->FindHeader() : nullptr) header->RemoveUsingObject(object_);
}

void ObjectHeaderChunk::SetUserName(std::string_view name) { userName_ = name.substr(0, kUserNameWidth); }

uint32_t ObjectHeaderChunk::SizeChunk() {
    const auto nameSize = static_cast<uint32_t>(object_.Name().size()) + 1;
    return StoreSize((kChunkHeaderSize + kFixedSize + nameSize + 3) & ~3u);
}

void ObjectHeaderChunk::FillDataBlock(ByteWriter& out) {
    const ChunkObjectData& data = object_.Data();
    const size_t start = out.size();
    WriteHeader(out);
    out.U32(headerFlags_);
    WriteFixedName(out, userName_, kUserNameWidth);
    WriteVector(out, data.position);
    WriteQuaternion(out, data.orientation);
    out.I32(data.number);
    out.I32(revision_);
    out.I32(shapeNumber_);
    out.Bytes(data.name.data(), data.name.size());
    out.Zeros(Size() - (out.size() - start));
}

void ObjectHeaderChunk::PrepareForOutput() { revision_ = NextRevision(revision_); }

std::string ObjectHeaderChunk::Describe() const {
    return "flags " + std::to_string(headerFlags_) + " user \"" + userName_ + "\" revision " +
           std::to_string(revision_) + " shape " + std::to_string(shapeNumber_);
}
