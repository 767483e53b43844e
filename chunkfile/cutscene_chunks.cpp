#include "chunkfile/cutscene_chunks.h"

#include <mutex>

#include "chunkfile/chunkregistry.h"
#include "chunkfile/cutscene_event.h"

// ---- field records

bool ReadFields(ByteReader& in, CutsceneData& f) {
    f.wordA = in.U32();
    f.wordB = in.U32();
    f.wordC = in.U32();
    if (!ReadPaddedString(in, f.name)) return false;
    f.wordD = in.U32();
    f.wordE = in.U32();
    return in.Bytes(f.identity.data(), f.identity.size());
}

void WriteFields(ByteWriter& out, const CutsceneData& f) {
    out.U32(f.wordA);
    out.U32(f.wordB);
    out.U32(f.wordC);
    WritePaddedString(out, f.name);
    out.U32(f.wordD);
    out.U32(f.wordE);
    out.Bytes(f.identity.data(), f.identity.size());
}

bool ReadFields(ByteReader& in, CutsceneUserData& f) {
    if (!ReadPaddedString(in, f.name)) return false;
    for (int32_t& w : f.words) in.I32(w);
    return in.ok();
}

void WriteFields(ByteWriter& out, const CutsceneUserData& f) {
    WritePaddedString(out, f.name);
    for (int32_t w : f.words) out.I32(w);
}

bool ReadFields(ByteReader& in, CutsceneUserRecords& f) {
    uint32_t n = 0;
    if (!ReadCount(in, n, 36)) return false;
    f.records.resize(n);
    for (auto& record : f.records)
        for (uint32_t& w : record) in.U32(w);
    for (uint32_t& w : f.words) in.U32(w);
    return in.ok();
}

void WriteFields(ByteWriter& out, const CutsceneUserRecords& f) {
    out.U32(static_cast<uint32_t>(f.records.size()));
    for (const auto& record : f.records)
        for (uint32_t w : record) out.U32(w);
    for (uint32_t w : f.words) out.U32(w);
}

bool ReadFields(ByteReader& in, CutscenePoints& f) {
    uint32_t n = 0;
    if (!ReadCount(in, n, 16)) return false;
    f.points.resize(n);
    for (CutscenePoint& p : f.points) {
        p.x = in.I32();
        p.y = in.I32();
        p.z = in.I32();
        p.timing = in.U32();
    }
    ReadQuaternion(in, f.startOrientation);
    ReadQuaternion(in, f.endOrientation);
    f.startFlag = in.U32();
    f.endFlag = in.U32();
    for (uint32_t& w : f.words) in.U32(w);
    return in.ok();
}

void WriteFields(ByteWriter& out, const CutscenePoints& f) {
    out.U32(static_cast<uint32_t>(f.points.size()));
    for (const CutscenePoint& p : f.points) {
        out.I32(p.x);
        out.I32(p.y);
        out.I32(p.z);
        out.U32(p.timing);
    }
    WriteQuaternion(out, f.startOrientation);
    WriteQuaternion(out, f.endOrientation);
    out.U32(f.startFlag);
    out.U32(f.endFlag);
    for (uint32_t w : f.words) out.U32(w);
}

bool ReadFields(ByteReader& in, CutsceneFieldOfView& f) {
    f.degrees = in.F32();
    for (uint32_t& w : f.words) in.U32(w);
    return in.ok();
}

void WriteFields(ByteWriter& out, const CutsceneFieldOfView& f) {
    out.F32(f.degrees);
    for (uint32_t w : f.words) out.U32(w);
}

// ---- leaves

CutsceneDataChunk::CutsceneDataChunk(ParentChunk* parent, std::string name, uint32_t wordA, uint32_t wordB,
                                     uint32_t wordC)
    : FieldChunk(parent, "CUTSCDAT", {wordA, wordB, wordC, name, 0, 0, IdentityOf(name)}) {}

ShortDigest CutsceneDataChunk::IdentityOf(std::string_view name) {
    std::string text = "Cutscene:";
    text += name;
    return ComputeShortDigest(text);
}

std::string CutsceneDataChunk::Describe() const { return "name \"" + fields_.name + "\""; }

CutsceneUserDataChunk::CutsceneUserDataChunk(ParentChunk* parent) : FieldChunk(parent, "CTUSRDAT", {}) {}

std::string CutsceneUserDataChunk::Describe() const {
    return "name \"" + fields_.name + "\" id " + std::to_string(UserId()) + " kind " + std::to_string(fields_.words[4]);
}

CutsceneUserHierarchyChunk::CutsceneUserHierarchyChunk(ParentChunk* parent, std::string name)
    : FieldChunk(parent, "CTUSRHIE", {std::move(name)}) {}

std::string CutsceneUserHierarchyChunk::Describe() const { return "name \"" + fields_.name + "\""; }

CutsceneUserSoundChunk::CutsceneUserSoundChunk(ParentChunk* parent)
    : FieldChunk(parent, "CTUSNDPR", {{10000, 20000, 127, 0, 0, 0}}) {}

CutsceneUserRecordsChunk::CutsceneUserRecordsChunk(ParentChunk* parent) : FieldChunk(parent, "CTUSSPPO", {}) {}

CutsceneTrackNameChunk::CutsceneTrackNameChunk(ParentChunk* parent, std::string name)
    : FieldChunk(parent, "CUTTRNAM", {std::move(name)}) {}

std::string CutsceneTrackNameChunk::Describe() const { return "name \"" + fields_.name + "\""; }

CutscenePointsChunk::CutscenePointsChunk(ParentChunk* parent) : FieldChunk(parent, "CUTPOINT", {}) {}

std::string CutscenePointsChunk::Describe() const { return "points " + std::to_string(fields_.points.size()); }

CutsceneFieldOfViewChunk::CutsceneFieldOfViewChunk(ParentChunk* parent) : FieldChunk(parent, "CUTTRFOV", {}) {}

// ---- parents

CutsceneTrackChunk::CutsceneTrackChunk(ParentChunk* parent, const RawChunk& raw) : ParentChunk(parent, raw.Id()) {
    CreateChildren(raw.Data());
}

CutsceneTrackChunk::CutsceneTrackChunk(ParentChunk* parent, std::string name) : ParentChunk(parent, "CUTTRACK") {
    new CutsceneTrackNameChunk(this, std::move(name));
}

const std::string* CutsceneTrackChunk::GetName() const {
    const auto* name = FindChildAs<CutsceneTrackNameChunk>(*this, "CUTTRNAM");
    return name ? &name->Name() : nullptr;
}

CutscenePointsChunk* CutsceneTrackChunk::GetPoints() const {
    return FindChildAs<CutscenePointsChunk>(*this, "CUTPOINT");
}

CutsceneFieldOfViewChunk* CutsceneTrackChunk::GetFieldOfView() const {
    return FindChildAs<CutsceneFieldOfViewChunk>(*this, "CUTTRFOV");
}

void CutsceneTrackChunk::ListEvents(List<CutsceneEventChunk*>& out) const {
    out.Clear();
    AppendChildrenAs(*this, "CUTEVENT", out);
}

CutsceneUserChunk::CutsceneUserChunk(ParentChunk* parent, const RawChunk& raw) : ParentChunk(parent, raw.Id()) {
    CreateChildren(raw.Data());
}

CutsceneUserChunk::CutsceneUserChunk(ParentChunk* parent) : ParentChunk(parent, "CUTSCUSR") {
    new CutsceneUserDataChunk(this);
}

CutsceneUserDataChunk* CutsceneUserChunk::GetData() const {
    return FindChildAs<CutsceneUserDataChunk>(*this, "CTUSRDAT");
}

const std::string* CutsceneUserChunk::GetHierarchyName() const {
    const auto* hierarchy = FindChildAs<CutsceneUserHierarchyChunk>(*this, "CTUSRHIE");
    return hierarchy ? &hierarchy->Name() : nullptr;
}

CutsceneUserSoundChunk* CutsceneUserChunk::GetSoundParameters() const {
    return FindChildAs<CutsceneUserSoundChunk>(*this, "CTUSNDPR");
}

CutsceneUserRecordsChunk* CutsceneUserChunk::GetRecords() const {
    return FindChildAs<CutsceneUserRecordsChunk>(*this, "CTUSSPPO");
}

void CutsceneUserChunk::ListTracks(List<CutsceneTrackChunk*>& out) const {
    out.Clear();
    AppendChildrenAs(*this, "CUTTRACK", out);
}

CutsceneChunk::CutsceneChunk(ParentChunk* parent, const RawChunk& raw) : ParentChunk(parent, raw.Id()) {
    CreateChildren(raw.Data());
}

CutsceneChunk::CutsceneChunk(ParentChunk* parent, std::string name, uint32_t wordA, uint32_t wordB, uint32_t wordC)
    : ParentChunk(parent, "CUTSHEAD") {
    new CutsceneDataChunk(this, std::move(name), wordA, wordB, wordC);
}

CutsceneDataChunk* CutsceneChunk::FindDataChunk() const {
    return FindChildAs<CutsceneDataChunk>(*this, "CUTSCDAT");
}

void CutsceneChunk::ListUsers(List<CutsceneUserChunk*>& out) const {
    out.Clear();
    AppendChildrenAs(*this, "CUTSCUSR", out);
}

void RegisterCutsceneChunkClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        ChunkRegistry& r = ChunkRegistry::Global();
        r.Register("CUTSHEAD", {}, CreateParentChunk<CutsceneChunk>);
        r.Register("CUTSCDAT", {}, CreateFieldChunk<CutsceneDataChunk>);
        r.Register("CUTSCUSR", {}, CreateParentChunk<CutsceneUserChunk>);
        r.Register("CTUSRDAT", {}, CreateFieldChunk<CutsceneUserDataChunk>);
        r.Register("CTUSRHIE", {}, CreateFieldChunk<CutsceneUserHierarchyChunk>);
        r.Register("CTUSNDPR", {}, CreateFieldChunk<CutsceneUserSoundChunk>);
        r.Register("CTUSSPPO", {}, CreateFieldChunk<CutsceneUserRecordsChunk>);
        r.Register("CUTTRACK", {}, CreateParentChunk<CutsceneTrackChunk>);
        r.Register("CUTTRNAM", {}, CreateFieldChunk<CutsceneTrackNameChunk>);
        r.Register("CUTPOINT", {}, CreateFieldChunk<CutscenePointsChunk>);
        r.Register("CUTTRFOV", {}, CreateFieldChunk<CutsceneFieldOfViewChunk>);
        r.Register("CUTEVENT", {}, CutsceneEventChunk::Create);
    });
}
