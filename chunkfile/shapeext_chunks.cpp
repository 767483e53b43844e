#include "chunkfile/shapeext_chunks.h"

#include <mutex>

#include "chunkfile/chunkregistry.h"
#include "chunkfile/filelevelchunks.h"
#include "chunkfile/shapeext_morph.h"

bool ReadFields(ByteReader& in, MergeTable& f) {
    f.entries.resize(in.remaining() / 4);
    for (int32_t& e : f.entries) in.I32(e);
    return in.ok();
}

void WriteFields(ByteWriter& out, const MergeTable& f) {
    for (int32_t e : f.entries) out.I32(e);
}

bool ReadFields(ByteReader& in, ExternalFile& f) {
    return ReadF64(in, f.factor) && in.I32(f.word) && ReadPaddedString(in, f.name);
}

void WriteFields(ByteWriter& out, const ExternalFile& f) {
    WriteF64(out, f.factor);
    out.I32(f.word);
    WritePaddedString(out, f.name);
}

bool ReadFields(ByteReader& in, ExternalObjectName& f) { return in.U32(f.word) && ReadPaddedString(in, f.name); }

void WriteFields(ByteWriter& out, const ExternalObjectName& f) {
    out.U32(f.word);
    WritePaddedString(out, f.name);
}

bool ReadFields(ByteReader& in, FileName& f) { return ReadPaddedString(in, f.name); }

void WriteFields(ByteWriter& out, const FileName& f) { WritePaddedString(out, f.name); }

bool ReadFields(ByteReader& in, ShapeInfo& f) {
    uint32_t n = 0;
    if (!in.U32(f.word) || !ReadCount(in, n, 12)) return false;
    f.triples.resize(n);
    for (auto& triple : f.triples)
        for (uint32_t& w : triple) in.U32(w);
    return in.ok();
}

void WriteFields(ByteWriter& out, const ShapeInfo& f) {
    out.U32(f.word);
    out.U32(static_cast<uint32_t>(f.triples.size()));
    for (const auto& triple : f.triples)
        for (uint32_t w : triple) out.U32(w);
}

bool ReadFields(ByteReader& in, ShapeProperty& f) {
    uint32_t n1 = 0;
    if (!in.U32(n1) || !in.U32(f.headWord) || n1 > in.remaining() / 4) return false;
    f.first.resize(n1);
    for (uint32_t& w : f.first) in.U32(w);
    return in.ok() && ReadWordArray(in, f.second);
}

void WriteFields(ByteWriter& out, const ShapeProperty& f) {
    out.U32(static_cast<uint32_t>(f.first.size()));
    out.U32(f.headWord);
    for (uint32_t w : f.first) out.U32(w);
    WriteWordArray(out, f.second);
}

MergeDataChunk::MergeDataChunk(ParentChunk* parent, std::span<const int32_t> entries)
    : FieldChunk(parent, "SHPMRGDT", {{entries.begin(), entries.end()}}) {}

ExternalFileChunk::ExternalFileChunk(ParentChunk* parent, std::string name)
    : FieldChunk(parent, "SHPEXTFN", {1.0, -1, std::move(name)}) {}

std::string ExternalFileChunk::Describe() const { return "name \"" + fields_.name + "\""; }

ExternalFileListChunk::ExternalFileListChunk(ParentChunk* parent, const RawChunk& raw)
    : ParentChunk(parent, raw.Id()) {
    CreateChildren(raw.Data());
}

ExternalFileListChunk::ExternalFileListChunk(ParentChunk* parent, std::string name) : ParentChunk(parent, "SHPEXTFL") {
    new ExternalFileChunk(this, std::move(name));
    PostInputProcessing();
}

ExternalObjectNameChunk::ExternalObjectNameChunk(ParentChunk* parent, std::string name)
    : FieldChunk(parent, "EXTOBJNM", {0, std::move(name)}) {
    BuildFullName();
}

void ExternalObjectNameChunk::BuildFullName() {
    const auto* source = Parent() ? FindChildAs<SourceNameChunk>(*Parent(), "QIFFNAME") : nullptr;
    fullName_ = fields_.name + "@" + (source ? source->Name() : std::string("*NotFound*"));
}

void ExternalObjectNameChunk::PostInputProcessing() { BuildFullName(); }

std::string ExternalObjectNameChunk::Describe() const { return "name \"" + fields_.name + "\""; }

const std::string* ExternalObjectNameOf(const ParentChunk& parent) {
    if (const auto* external = FindChildAs<ExternalObjectNameChunk>(parent, "EXTOBJNM")) return &external->FullName();
    const auto* source = FindChildAs<SourceNameChunk>(parent, "QIFFNAME");
    return source ? &source->Name() : nullptr;
}

FileNameChunk::FileNameChunk(ParentChunk* parent, std::string name)
    : FieldChunk(parent, "SHPFNAME", {std::move(name)}) {}

std::string FileNameChunk::Describe() const { return "name \"" + fields_.name + "\""; }

FragmentTypeChunk::FragmentTypeChunk(ParentChunk* parent, std::string name)
    : FieldChunk(parent, "SHPFRGTP", {std::move(name)}) {}

ShapePropertyChunk::ShapePropertyChunk(ParentChunk* parent, uint32_t headWord, std::vector<uint32_t> first)
    : FieldChunk(parent, "SHPPRPRO", {headWord, std::move(first), {}}) {}

std::optional<ShapePropertyLinks> ShapePropertyChunk::ResolveLinks() {
    ShapePropertyLinks result;
    const std::vector<uint32_t>& words = fields_.first;
    result.links.assign(words.size(), nullptr);
    std::vector<bool> passed(words.size(), false);
    const uint32_t** slot = &result.head;
    uint32_t link = fields_.headWord;
    for (;;) {
        const uint32_t target = link & 0xFFFF;
        const uint32_t next = link >> 16;
        if (target >= words.size()) return std::nullopt;
        *slot = &words[target];
        if (next == 0xFFFF) break;
        if (next >= words.size() || passed[next]) return std::nullopt;
        passed[next] = true;
        slot = &result.links[next];
        link = words[next];
    }
    // The addresses point into the vector's buffer, which moving keeps.
    result.words = std::move(fields_.first);
    fields_.first.clear();
    return result;
}

ConTypeChunk::ConTypeChunk(ParentChunk* parent, std::string_view id, Fields fields)
    : FieldChunk(parent, id, fields) {
    fields_.words[0] &= 0xFF;
}

ConTypeChunk::ConTypeChunk(ParentChunk* parent, uint32_t type) : FieldChunk(parent, "CONSTYPE", {{type}}) {}

void RegisterShapeExtensionChunkClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        ChunkRegistry& r = ChunkRegistry::Global();
        for (std::string_view shape : {"QORSHAPE", "SUBSHAPE"}) {
            r.Register("SHPMRGDT", shape, CreateFieldChunk<MergeDataChunk>);
            r.Register("SHPMORPH", shape, CreateParentChunk<MorphChunk>);
        }
        r.Register("FRMMORPH", "SHPMORPH", CreateFieldChunk<MorphFrameChunk>);
        r.Register("SHPEXTFL", {}, CreateParentChunk<ExternalFileListChunk>);
        r.Register("SHPEXTFN", {}, CreateFieldChunk<ExternalFileChunk>);
        r.Register("EXTOBJNM", {}, CreateFieldChunk<ExternalObjectNameChunk>);
        r.Register("SHPFNAME", {}, CreateFieldChunk<FileNameChunk>);
        r.Register("SHPPCINF", {}, CreateFieldChunk<ShapeInfoChunk>);
        r.Register("SHPFRAGS", {}, ParentChunk::CreatePlain);
        r.Register("FRAGDATA", {}, CreateFieldChunk<FragmentDataChunk>);
        r.Register("FRAGLOCN", {}, CreateFieldChunk<FragmentLocationChunk>);
        r.Register("SHPFRGTP", {}, CreateFieldChunk<FragmentTypeChunk>);
        r.Register("SHPPRPRO", {}, CreateFieldChunk<ShapePropertyChunk>);
        r.Register("CONSTYPE", {}, CreateFieldChunk<ConTypeChunk>);
    });
}
