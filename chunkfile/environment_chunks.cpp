#include "chunkfile/environment_chunks.h"

#include <mutex>

#include "chunkfile/chunkfields.h"
#include "chunkfile/chunkregistry.h"

bool ReadFields(ByteReader& in, EnvironmentHeaderFields& f) {
    in.U32(f.flags);
    ReadFixedName(in, f.userName, EnvironmentHeaderFields::kUserNameWidth);
    in.I32(f.revision);
    return in.ok();
}

void WriteFields(ByteWriter& out, const EnvironmentHeaderFields& f) {
    out.U32(f.flags);
    WriteFixedName(out, f.userName, EnvironmentHeaderFields::kUserNameWidth);
    out.I32(f.revision);
}

void EnvironmentHeaderChunk::PrepareForOutput() { fields_.revision = NextRevision(fields_.revision); }

std::string EnvironmentHeaderChunk::Describe() const {
    return "flags " + std::to_string(fields_.flags) + " user \"" + fields_.userName + "\" revision " +
           std::to_string(fields_.revision);
}

EnvironmentChunk::EnvironmentChunk(ParentChunk* parent, Empty) : UpdatableParentChunk(parent, "QORENVDT") {}

EnvironmentChunk::EnvironmentChunk(ParentChunk* parent) : EnvironmentChunk(parent, Empty{}) {
    new EnvironmentHeaderChunk(this, "ENDTHEAD", {});
}

Chunk* EnvironmentChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    auto* environment = new EnvironmentChunk(parent, Empty{});
    environment->CreateChildren(raw.Data());
    return environment;
}

EnvironmentHeaderChunk* EnvironmentChunk::FindHeader() const {
    return FindChildAs<EnvironmentHeaderChunk>(*this, "ENDTHEAD");
}

bool EnvironmentChunk::MatchesStoredCopy(plat::File&) { return true; }

const char* EnvironmentChunk::GetHeaderId() const {
    const EnvironmentHeaderChunk* header = FindHeader();
    return header ? header->Id() : nullptr;
}

void EnvironmentChunk::SetHeaderName(std::string_view name) {
    if (EnvironmentHeaderChunk* header = FindHeader())
        header->Data().userName = name.substr(0, EnvironmentHeaderFields::kUserNameWidth);
}

void EnvironmentChunk::PostInputProcessing() {
    const EnvironmentHeaderChunk* header = FindHeader();
    if (header && (header->Data().flags & EnvironmentHeaderFields::kLockedFlag)) SetLocked(true);
    ParentChunk::PostInputProcessing();
}

bool ReadFields(ByteReader& in, WorldScaleFields& f) { return ReadF64(in, f.thousandths); }

void WriteFields(ByteWriter& out, const WorldScaleFields& f) { WriteF64(out, f.thousandths); }

std::string WorldScaleChunk::Describe() const { return "scale " + std::to_string(fields_.thousandths); }

bool ReadFields(ByteReader& in, AcousticsFields& f) {
    for (uint32_t& w : f.words) in.U32(w);
    return in.ok();
}

void WriteFields(ByteWriter& out, const AcousticsFields& f) {
    for (uint32_t w : f.words) out.U32(w);
}

std::string AcousticsChunk::Describe() const { return "words " + WordsText(fields_.words); }

bool ReadFields(ByteReader& in, SoundDirectoryFields& f) { return ReadPaddedString(in, f.name); }

void WriteFields(ByteWriter& out, const SoundDirectoryFields& f) { WritePaddedString(out, f.name); }

std::string SoundDirectoryChunk::Describe() const { return "name \"" + fields_.name + "\""; }

bool ReadFields(ByteReader& in, RandomTextureFields& f) {
    uint32_t count = 0;
    ReadPaddedString(in, f.name);
    ReadCount(in, count, 4);
    f.entries.resize(in.ok() ? count : 0);
    for (uint32_t& e : f.entries) in.U32(e);
    for (uint32_t& w : f.words) in.U32(w);
    return in.ok();
}

void WriteFields(ByteWriter& out, const RandomTextureFields& f) {
    WritePaddedString(out, f.name);
    out.U32(static_cast<uint32_t>(f.entries.size()));
    for (uint32_t e : f.entries) out.U32(e);
    for (uint32_t w : f.words) out.U32(w);
}

std::string RandomTextureChunk::Describe() const {
    return "name \"" + fields_.name + "\" entries " + std::to_string(fields_.entries.size());
}

void RegisterEnvironmentChunkClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        ChunkRegistry& r = ChunkRegistry::Global();
        r.Register("QORENVDT", {}, EnvironmentChunk::Create);
        r.Register("ENDTHEAD", {}, CreateFieldChunk<EnvironmentHeaderChunk>);
        r.Register("ENVSDSCL", {}, CreateFieldChunk<WorldScaleChunk>);
        r.Register("ENVACOUS", {}, CreateFieldChunk<AcousticsChunk>);
        r.Register("SOUNDDIR", {}, CreateFieldChunk<SoundDirectoryChunk>);
        r.Register("RANTEXID", {}, CreateFieldChunk<RandomTextureChunk>);
        r.Register("SPECLOBJ", {}, ParentChunk::CreatePlain);
    });
}
