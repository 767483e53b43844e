#include "chunkfile/hierarchy_chunks.h"

#include <mutex>

#include "chunkfile/chunkregistry.h"
#include "chunkfile/object_chunk.h"

bool ReadFields(ByteReader& in, HierarchyData& f) {
    return ReadWordArray(in, f.words) && ReadPaddedString(in, f.objectName);
}

void WriteFields(ByteWriter& out, const HierarchyData& f) {
    WriteWordArray(out, f.words);
    WritePaddedString(out, f.objectName);
}

bool ReadFields(ByteReader& in, HierarchyName& f) { return ReadPaddedString(in, f.name); }

void WriteFields(ByteWriter& out, const HierarchyName& f) { WritePaddedString(out, f.name); }

bool ReadFields(ByteReader& in, HierarchyAltShape& f) {
    uint32_t n = 0;
    if (!in.U32(f.index) || !ReadPaddedString(in, f.name) || !ReadCount(in, n, 8)) return false;
    f.pairs.resize(n);
    for (auto& [first, second] : f.pairs)
        if (!ReadPaddedString(in, first) || !ReadPaddedString(in, second)) return false;
    for (uint32_t& w : f.words) in.U32(w);
    return in.ok();
}

void WriteFields(ByteWriter& out, const HierarchyAltShape& f) {
    out.U32(f.index);
    WritePaddedString(out, f.name);
    out.U32(static_cast<uint32_t>(f.pairs.size()));
    for (const auto& [first, second] : f.pairs) {
        WritePaddedString(out, first);
        WritePaddedString(out, second);
    }
    for (uint32_t w : f.words) out.U32(w);
}

bool ReadFields(ByteReader& in, HierarchyCollisionSet& f) {
    if (!in.U32(f.index) || !ReadPaddedString(in, f.name) || !ReadWordArray(in, f.words)) return false;
    for (uint32_t& w : f.trailer) in.U32(w);
    return in.ok();
}

void WriteFields(ByteWriter& out, const HierarchyCollisionSet& f) {
    out.U32(f.index);
    WritePaddedString(out, f.name);
    WriteWordArray(out, f.words);
    for (uint32_t w : f.trailer) out.U32(w);
}

bool ReadFields(ByteReader& in, DetailDistances& f) { return ReadWordArray(in, f.distances); }

void WriteFields(ByteWriter& out, const DetailDistances& f) { WriteWordArray(out, f.distances); }

bool ReadFields(ByteReader& in, HierarchyBox& f) {
    for (int32_t& c : f.first) in.I32(c);
    for (int32_t& c : f.second) in.I32(c);
    return in.ok();
}

void WriteFields(ByteWriter& out, const HierarchyBox& f) {
    for (int32_t c : f.first) out.I32(c);
    for (int32_t c : f.second) out.I32(c);
}

HierarchyDataChunk::HierarchyDataChunk(ParentChunk* parent, std::string objectName)
    : FieldChunk(parent, "OBJHIERD", {{}, std::move(objectName)}) {}

ObjectChunk* HierarchyDataChunk::LinkedObject() const {
    if (fields_.objectName.empty()) return nullptr;
    const auto* top = dynamic_cast<const ParentChunk*>(const_cast<HierarchyDataChunk*>(this)->Root());
    if (!top) return nullptr;
    for (Chunk* c = top->FirstChild(); c; c = c->Next()) {
        auto* object = c->HasId("QOOBJECT") ? dynamic_cast<ObjectChunk*>(c) : nullptr;
        if (object && object->Name() == fields_.objectName) return object;
    }
    return nullptr;
}

std::string HierarchyDataChunk::Describe() const { return "object \"" + fields_.objectName + "\""; }

HierarchyNameChunk::HierarchyNameChunk(ParentChunk* parent, std::string name)
    : FieldChunk(parent, "OBHIERNM", {std::move(name)}) {}

std::string HierarchyNameChunk::Describe() const { return "name \"" + fields_.name + "\""; }

HierarchyAltShapeChunk::HierarchyAltShapeChunk(ParentChunk* parent, uint32_t index, std::string name)
    : FieldChunk(parent, "OBHALTSH", {index, std::move(name), {}, {}}) {}

namespace {

bool AltShapeIndexUsed(const ParentChunk* parent, uint32_t index) {
    for (Chunk* c = parent ? parent->FirstChild() : nullptr; c; c = c->Next()) {
        const auto* alt = c->HasId("OBHALTSH") ? dynamic_cast<HierarchyAltShapeChunk*>(c) : nullptr;
        if (alt && alt->Index() == index) return true;
    }
    return false;
}

// The smallest index that no OBHALTSH child of `parent` uses.
uint32_t FreeAltShapeIndex(const ParentChunk* parent) {
    uint32_t index = 0;
    while (AltShapeIndexUsed(parent, index)) ++index;
    return index;
}

} // namespace

HierarchyAltShapeChunk::HierarchyAltShapeChunk(ParentChunk* parent, std::string name)
    : HierarchyAltShapeChunk(parent, FreeAltShapeIndex(parent), std::move(name)) {}

HierarchyCollisionSetChunk::HierarchyCollisionSetChunk(ParentChunk* parent, uint32_t index, std::string name)
    : FieldChunk(parent, "HSETCOLL", {index, std::move(name), {}, {}}) {}

DetailDistancesChunk::DetailDistancesChunk(ParentChunk* parent, uint32_t count)
    : FieldChunk(parent, "HIDEGDIS", {}) {
    fields_.distances.resize(count);
    for (uint32_t i = 0; i < count; ++i) fields_.distances[i] = i * 10000;
}

HierarchyBoxChunk::HierarchyBoxChunk(ParentChunk* parent, const HierarchyBox& box)
    : FieldChunk(parent, "HIERBBOX", box) {}

HierarchyChunk::HierarchyChunk(ParentChunk* parent, const RawChunk& raw) : ParentChunk(parent, raw.Id()) {
    CreateChildren(raw.Data());
}

HierarchyDataChunk* HierarchyChunk::FindDataChunk() const {
    return FindChildAs<HierarchyDataChunk>(*this, "OBJHIERD");
}

HierarchyNameChunk* HierarchyChunk::FindNameChunk() const {
    return FindChildAs<HierarchyNameChunk>(*this, "OBHIERNM");
}

void HierarchyChunk::ListChildNodes(List<HierarchyChunk*>& out) const {
    out.Clear();
    AppendChildrenAs(*this, "OBJCHIER", out);
}

void RegisterHierarchyChunkClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        ChunkRegistry& r = ChunkRegistry::Global();
        r.Register("OBJCHIER", {}, CreateParentChunk<HierarchyChunk>);
        r.Register("OBJHIERD", {}, CreateFieldChunk<HierarchyDataChunk>);
        r.Register("OBHIERNM", {}, CreateFieldChunk<HierarchyNameChunk>);
        r.Register("OBHALTSH", {}, CreateFieldChunk<HierarchyAltShapeChunk>);
        r.Register("HSETCOLL", {}, CreateFieldChunk<HierarchyCollisionSetChunk>);
        r.Register("HIDEGDIS", {}, CreateFieldChunk<DetailDistancesChunk>);
        r.Register("HIERBBOX", {}, CreateFieldChunk<HierarchyBoxChunk>);
    });
}
