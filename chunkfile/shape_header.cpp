#include "chunkfile/shape_header.h"

#include "chunkfile/chunkfields.h"
#include "chunkfile/chunkreading.h"
#include "chunkfile/filelinks.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/object_header.h"
#include "chunkfile/shape_chunk.h"
#include "chunkfile/unknownchunk.h"

namespace {

constexpr uint32_t kShapeHeaderFixedSize = 68;
constexpr uint32_t kSubShapeHeaderSize = 44;

// The header fields that live in the shape record.
struct RecordFields {
    int32_t pointCount = 0;
    int32_t polygonCount = 0;
    float storedRadius = 0;
    VectorI cornerA, cornerB;
};

// Point count, polygon count, stored radius, then the corners axis by axis.
void ReadRecordFields(ByteReader& in, RecordFields& f) {
    in.I32(f.pointCount);
    in.I32(f.polygonCount);
    in.F32(f.storedRadius);
    in.I32(f.cornerA.x);
    in.I32(f.cornerB.x);
    in.I32(f.cornerA.y);
    in.I32(f.cornerB.y);
    in.I32(f.cornerA.z);
    in.I32(f.cornerB.z);
}

void StoreRecordFields(const RecordFields& f, ChunkShapeData& record) {
    record.pointCount = f.pointCount;
    record.polygonCount = f.polygonCount;
    record.storedRadius = f.storedRadius;
    record.cornerA = f.cornerA;
    record.cornerB = f.cornerB;
}

void WriteRecordFields(ByteWriter& out, const ChunkShapeData& record) {
    out.I32(record.pointCount);
    out.I32(record.polygonCount);
    out.F32(record.storedRadius);
    out.I32(record.cornerA.x);
    out.I32(record.cornerB.x);
    out.I32(record.cornerA.y);
    out.I32(record.cornerB.y);
    out.I32(record.cornerA.z);
    out.I32(record.cornerB.z);
}

std::string CornersText(const ChunkShapeData& r) {
    auto triple = [](const VectorI& v) {
        return std::to_string(v.x) + " " + std::to_string(v.y) + " " + std::to_string(v.z);
    };
    return "points " + std::to_string(r.pointCount) + " polygons " + std::to_string(r.polygonCount) + " corners " +
           triple(r.cornerA) + " / " + triple(r.cornerB);
}

} // namespace

ShapeHeaderChunk::ShapeHeaderChunk(ParentChunk* parent, ChunkShapeData& record)
    : Chunk(parent, "SHPHEAD1"), record_(record) {}

ShapeHeaderChunk::ShapeHeaderChunk(ShapeChunk& shape) : ShapeHeaderChunk(&shape, shape.Data()) {}

Chunk* ShapeHeaderChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    auto* shape = dynamic_cast<ShapeChunk*>(parent);
    if (!shape) return new UnknownChunk(parent, raw);
    ByteReader in = raw.Reader();
    uint32_t flags = 0;
    std::string userName;
    int32_t number = 0, revision = 0;
    RecordFields fields;
    uint32_t nameCount = 0;
    in.U32(flags);
    ReadFixedName(in, userName, kUserNameWidth);
    in.I32(number);
    ReadRecordFields(in, fields);
    in.I32(revision);
    // Each name takes at least its zero byte.
    bool ok = ReadCount(in, nameCount, 1);
    List<std::string> names;
    for (uint32_t i = 0; ok && i < nameCount; ++i) {
        std::string name;
        ok = in.CString(name);
        names.PushBack(name);
    }
    if (!ok || !in.ok()) {
        ReportMalformedChunk(raw.bytes);
        return nullptr;
    }
    StoreRecordFields(fields, shape->Data());
    auto* header = new ShapeHeaderChunk(parent, shape->Data());
    header->headerFlags_ = flags;
    header->userName_ = std::move(userName);
    header->shapeNumber_ = number;
    header->revision_ = revision;
    header->nameList_ = names;
    return header;
}

ShapeHeaderChunk::~ShapeHeaderChunk() {
    for (ObjectChunk* object : usingObjects_)
        if (ObjectHeaderChunk* header = object->GetHeader()) header->SetLinkedShape(nullptr);
}

void ShapeHeaderChunk::SetUserName(std::string_view name) { userName_ = name.substr(0, kUserNameWidth); }

void ShapeHeaderChunk::AddUsingObject(ObjectChunk& object) {
    if (!usingObjects_.Contains(&object)) usingObjects_.PushBack(&object);
}

void ShapeHeaderChunk::RemoveUsingObject(ObjectChunk& object) { usingObjects_.RemoveValue(&object); }

uint32_t ShapeHeaderChunk::SizeChunk() {
    uint32_t size = kChunkHeaderSize + kShapeHeaderFixedSize;
    for (const std::string& name : nameList_) size += static_cast<uint32_t>(name.size()) + 1;
    return StoreSize((size + 3) & ~3u);
}

void ShapeHeaderChunk::FillDataBlock(ByteWriter& out) {
    const size_t start = out.size();
    WriteHeader(out);
    out.U32(headerFlags_);
    WriteFixedName(out, userName_, kUserNameWidth);
    out.I32(shapeNumber_);
    WriteRecordFields(out, record_);
    out.I32(revision_);
    out.U32(static_cast<uint32_t>(nameList_.Count()));
    for (const std::string& name : nameList_) {
        out.Bytes(name.data(), name.size());
        out.U8(0);
    }
    out.Zeros(Size() - (out.size() - start));
}

void ShapeHeaderChunk::PrepareForOutput() {
    if (shapeNumber_ == -1) shapeNumber_ = ++HighestShapeNumber;
    nameList_.Clear();
    for (ObjectChunk* object : usingObjects_) {
        if (ObjectHeaderChunk* header = object->GetHeader()) header->SetShapeNumber(shapeNumber_);
        nameList_.PushBack(object->Name());
    }
    // Only numbers a file may carry raise the count, so it can never overflow.
    if (shapeNumber_ >= HighestShapeNumber && shapeNumber_ <= kMaxShapeNumber) HighestShapeNumber = shapeNumber_;
    revision_ = NextRevision(revision_);
}

std::string ShapeHeaderChunk::Describe() const {
    std::string text = "number " + std::to_string(shapeNumber_) + " revision " + std::to_string(revision_) + " user \"" +
                       userName_ + "\" " + CornersText(record_) + " objects";
    for (const std::string& name : nameList_) text += " \"" + name + "\"";
    return text;
}

SubShapeHeaderChunk::SubShapeHeaderChunk(ParentChunk* parent, ChunkShapeData& record)
    : Chunk(parent, "SUBSHPHD"), record_(record) {}

SubShapeHeaderChunk::SubShapeHeaderChunk(ShapeChunk& shape) : SubShapeHeaderChunk(&shape, shape.Data()) {}

Chunk* SubShapeHeaderChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    auto* shape = dynamic_cast<ShapeChunk*>(parent);
    if (!shape) return new UnknownChunk(parent, raw);
    ByteReader in = raw.Reader();
    uint32_t flags = 0;
    int32_t number = 0;
    RecordFields fields;
    in.U32(flags);
    in.I32(number);
    ReadRecordFields(in, fields);
    if (!in.ok()) {
        ReportMalformedChunk(raw.bytes);
        return nullptr;
    }
    StoreRecordFields(fields, shape->Data());
    auto* header = new SubShapeHeaderChunk(parent, shape->Data());
    header->headerFlags_ = flags;
    header->number_ = number;
    return header;
}

uint32_t SubShapeHeaderChunk::SizeChunk() { return StoreSize(kChunkHeaderSize + kSubShapeHeaderSize); }

void SubShapeHeaderChunk::FillDataBlock(ByteWriter& out) {
    WriteHeader(out);
    out.U32(headerFlags_);
    out.I32(number_);
    WriteRecordFields(out, record_);
}

std::string SubShapeHeaderChunk::Describe() const {
    return "number " + std::to_string(number_) + " " + CornersText(record_);
}
