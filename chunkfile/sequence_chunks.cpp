#include "chunkfile/sequence_chunks.h"

#include <cmath>
#include <mutex>

#include "chunkfile/chunkregistry.h"
#include "chunkfile/hierarchy_chunks.h"

namespace {

// The program's value for a full turn (not 2 pi).
constexpr float kFullTurn = 6.2830556f;

} // namespace

bool ReadFields(ByteReader& in, SequenceHeader& f) {
    f.keptWord = in.U32();
    f.key = in.I32();
    f.number = in.I32();
    return in.ok() && ReadWordArray(in, f.words) && ReadPaddedString(in, f.name);
}

void WriteFields(ByteWriter& out, const SequenceHeader& f) {
    out.U32(f.keptWord);
    out.I32(f.key);
    out.I32(f.number);
    WriteWordArray(out, f.words);
    WritePaddedString(out, f.name);
}

bool ReadFields(ByteReader& in, SequenceFrame& f) {
    ReadQuaternion(in, f.rotation);
    for (int32_t& c : f.offset) in.I32(c);
    f.time = in.I32();
    f.number = in.I32();
    f.flags = in.U32();
    return in.ok() && ReadWordArray(in, f.words);
}

void WriteFields(ByteWriter& out, const SequenceFrame& f) {
    WriteQuaternion(out, f.rotation);
    for (int32_t c : f.offset) out.I32(c);
    out.I32(f.time);
    out.I32(f.number);
    out.U32(f.flags);
    WriteWordArray(out, f.words);
}

bool ReadFields(ByteReader& in, SequenceRecords& f) {
    uint32_t m = 0;
    if (!ReadCount(in, m, 16)) return false;
    f.groups.resize(m);
    for (SequenceRecordGroup& g : f.groups) {
        uint32_t k = 0;
        if (!in.U32(k)) return false;
        for (uint32_t& w : g.words) in.U32(w);
        if (!in.ok() || k > in.remaining() / 36) return false;
        g.records.resize(k);
        for (auto& record : g.records)
            for (uint32_t& w : record) in.U32(w);
    }
    return in.ok();
}

void WriteFields(ByteWriter& out, const SequenceRecords& f) {
    out.U32(static_cast<uint32_t>(f.groups.size()));
    for (const SequenceRecordGroup& g : f.groups) {
        out.U32(static_cast<uint32_t>(g.records.size()));
        for (uint32_t w : g.words) out.U32(w);
        for (const auto& record : g.records)
            for (uint32_t w : record) out.U32(w);
    }
}

std::string SequenceHeaderChunk::Describe() const {
    return "key " + std::to_string(fields_.key) + " number " + std::to_string(fields_.number) + " name \"" +
           fields_.name + "\"";
}

void SequenceFrameChunk::SetSound(int32_t index) {
    if (index < 0 || index >= 128) return;
    fields_.flags = (fields_.flags & ~(0x7Fu << 24)) | (static_cast<uint32_t>(index) << 24);
}

std::string SequenceFrameChunk::Describe() const {
    return "number " + std::to_string(fields_.number) + " time " + std::to_string(fields_.time);
}

SequenceTimeChunk::SequenceTimeChunk(ParentChunk* parent, int32_t milliseconds)
    : FieldChunk(parent, "OBASEQTM", {{static_cast<uint32_t>(milliseconds)}}) {}

SequenceSpeedChunk::SequenceSpeedChunk(ParentChunk* parent, int32_t speed, int32_t headingDegrees)
    : FieldChunk(parent, "OBASEQSP", {{static_cast<uint32_t>(speed), static_cast<uint32_t>(headingDegrees), 0}}) {}

SequenceFlagsChunk::SequenceFlagsChunk(ParentChunk* parent, uint32_t flags)
    : FieldChunk(parent, "OBASEQFL", {{flags}}) {}

SequenceRecordsChunk::SequenceRecordsChunk(ParentChunk* parent) : FieldChunk(parent, "OBANALLS", {}) {}

SequenceChunk::SequenceChunk(ParentChunk* parent, const RawChunk& raw) : ParentChunk(parent, raw.Id()) {
    CreateChildren(raw.Data());
}

SequenceChunk::SequenceChunk(ParentChunk* parent) : ParentChunk(parent, "OBANSEQC") {}

SequenceChunk* SequenceChunk::NewFromSequence(ParentChunk* parent, const SequenceChunk& source,
                                              const Quaternion& rotation, const int32_t (&offset)[3]) {
    const SequenceHeaderChunk* sourceHeader = source.GetHeader();
    if (!sourceHeader) return nullptr;
    List<SequenceFrameChunk*> frames;
    source.ListFrames(frames);
    bool ownTransform = false;
    for (const SequenceFrameChunk* f : frames) ownTransform |= f->HasOwnTransform();

    auto* sequence = new SequenceChunk(parent);
    const SequenceHeader& h = sourceHeader->Data();
    new SequenceHeaderChunk(sequence, "OBASEQHD", {0x10000, h.key, h.number, {}, h.name});
    SequenceFrame frame;
    frame.rotation = rotation;
    for (int i = 0; i < 3; ++i) frame.offset[i] = offset[i];
    frame.flags = ownTransform ? SequenceFrame::kOwnTransform : 0;
    new SequenceFrameChunk(sequence, "OBASEQFR", std::move(frame));
    return sequence;
}

SequenceHeaderChunk* SequenceChunk::GetHeader() const { return FindChildAs<SequenceHeaderChunk>(*this, "OBASEQHD"); }

void SequenceChunk::ListFrames(List<SequenceFrameChunk*>& out) const { AppendChildrenAs(*this, "OBASEQFR", out); }

int32_t SequenceChunk::GetTime() const {
    const auto* time = FindChildAs<SequenceTimeChunk>(*this, "OBASEQTM");
    return time ? time->Milliseconds() : 0;
}

int32_t SequenceChunk::GetSpeed() const {
    const auto* speed = FindChildAs<SequenceSpeedChunk>(*this, "OBASEQSP");
    return speed ? speed->Speed() : 0;
}

bool SequenceChunk::GetDirection(Vector3& out) const {
    out = Vector3(0, 0, 1);
    const auto* speed = FindChildAs<SequenceSpeedChunk>(*this, "OBASEQSP");
    if (!speed) return false;
    const float a = static_cast<float>(speed->Heading()) * (1.0f / 360.0f) * kFullTurn;
    out = Vector3(std::sin(a), 0, std::cos(a));
    return true;
}

HierarchyBoxChunk* SequenceChunk::GetBox() const { return FindChildAs<HierarchyBoxChunk>(*this, "HIERBBOX"); }

uint32_t SequenceChunk::GetFlags() const {
    const auto* flags = FindChildAs<SequenceFlagsChunk>(*this, "OBASEQFL");
    return flags ? flags->Flags() : 0;
}

void SequenceChunk::SetFlags(uint32_t flags) {
    if (auto* chunk = FindChildAs<SequenceFlagsChunk>(*this, "OBASEQFL"))
        chunk->SetFlags(flags);
    else
        new SequenceFlagsChunk(this, flags);
}

SequenceSetChunk::SequenceSetChunk(ParentChunk* parent, const RawChunk& raw) : ParentChunk(parent, raw.Id()) {
    CreateChildren(raw.Data());
}

void SequenceSetChunk::ListSequences(List<SequenceChunk*>& out) const { AppendChildrenAs(*this, "OBANSEQC", out); }

SequenceChunk* SequenceSetChunk::FindSequence(int32_t key, int32_t number) const {
    for (Chunk* c = FirstChild(); c; c = c->Next()) {
        auto* sequence = c->HasId("OBANSEQC") ? dynamic_cast<SequenceChunk*>(c) : nullptr;
        const SequenceHeaderChunk* header = sequence ? sequence->GetHeader() : nullptr;
        if (header && header->Key() == key && header->Number() == number) return sequence;
    }
    return nullptr;
}

void RegisterSequenceChunkClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        ChunkRegistry& r = ChunkRegistry::Global();
        r.Register("OBANSEQS", {}, CreateParentChunk<SequenceSetChunk>);
        r.Register("OBANSEQC", {}, CreateParentChunk<SequenceChunk>);
        r.Register("OBASEQHD", {}, CreateFieldChunk<SequenceHeaderChunk>);
        r.Register("OBASEQFR", {}, CreateFieldChunk<SequenceFrameChunk>);
        r.Register("OBASEQTM", {}, CreateFieldChunk<SequenceTimeChunk>);
        r.Register("OBASEQSP", {}, CreateFieldChunk<SequenceSpeedChunk>);
        r.Register("OBASEQFL", {}, CreateFieldChunk<SequenceFlagsChunk>);
        r.Register("OBANALLS", {}, CreateFieldChunk<SequenceRecordsChunk>);
    });
}
