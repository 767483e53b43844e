#include "chunkfile/shapeanim_chunks.h"

#include <cstring>
#include <mutex>

#include "chunkfile/chunkregistry.h"
#include "chunkfile/shape_chunk.h"
#include "chunkfile/shape_geometry.h"

namespace {

// The name area of ANISEQDT and ANIFRADT: the name, then zeros up to
// (length + 6) rounded down to a multiple of 4.
size_t NameAreaSize(size_t length) { return (length + 6) & ~size_t{3}; }

} // namespace

bool ReadFields(ByteReader& in, AnimHeader& f) {
    f.first = in.I32();
    for (uint32_t& w : f.words) in.U32(w);
    if (!in.ok() || in.remaining() == 0) return false;
    const auto* text = reinterpret_cast<const char*>(in.cursor());
    const size_t length = strnlen(text, in.remaining());
    if (length == in.remaining()) return false;
    f.name.assign(text, length);
    return in.Skip(in.remaining());
}

void WriteFields(ByteWriter& out, const AnimHeader& f) {
    out.I32(f.first);
    for (uint32_t w : f.words) out.U32(w);
    out.Bytes(f.name.data(), f.name.size());
    out.Zeros(NameAreaSize(f.name.size()) - f.name.size());
}

AnimFrameChunk::AnimFrameChunk(ParentChunk* parent, const RawChunk& raw) : ParentChunk(parent, raw.Id()) {
    CreateChildren(raw.Data());
}

AnimFrameChunk::AnimFrameChunk(ParentChunk* parent, int32_t index, const ChunkAnimFrame& frame)
    : ParentChunk(parent, "ANIMFRAM") {
    const uint32_t* w = frame.words;
    new AnimFrameHeaderChunk(this, "ANIFRADT", {index, {frame.flags, w[0], w[1], w[2]}, frame.name});
    new PointArrayChunk(this, "SHPRAWVT", std::vector<VectorI>(frame.points));
    new NormalArrayChunk(this, "SHPPNORM", std::vector<Vector3>(frame.polygonNormals));
}

AnimSequenceChunk::AnimSequenceChunk(ParentChunk* parent, std::string_view id) : ParentChunk(parent, id) {}

AnimSequenceChunk::AnimSequenceChunk(ParentChunk* parent, int32_t sequenceWord, std::string name)
    : ParentChunk(parent, "ANIMSEQU") {
    record_.sequenceWord = sequenceWord;
    record_.name = std::move(name);
    RebuildChildren();
}

AnimSequenceChunk::AnimSequenceChunk(ParentChunk* parent, const ChunkAnimSequence& record)
    : ParentChunk(parent, "ANIMSEQU") {
    SetRecord(record);
}

Chunk* AnimSequenceChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    auto* sequence = new AnimSequenceChunk(parent, raw.Id());
    sequence->CreateChildren(raw.Data());
    if (sequence->BuildRecord()) return sequence;
    delete sequence;
    return nullptr;
}

bool AnimSequenceChunk::BuildRecord() {
    const auto* header = FindChildAs<AnimSequenceHeaderChunk>(*this, "ANISEQDT");
    if (!header) return false;
    record_ = ChunkAnimSequence();
    record_.sequenceWord = header->Data().first;
    std::memcpy(record_.words, header->Data().words, sizeof record_.words);
    record_.name = header->Data().name;

    List<AnimFrameChunk*> frameChunks;
    AppendChildrenAs(*this, "ANIMFRAM", frameChunks);
    std::vector<std::unique_ptr<ChunkAnimFrame>> frames(static_cast<size_t>(frameChunks.Count()));
    for (const AnimFrameChunk* frameChunk : frameChunks) {
        const auto* frameHeader = FindChildAs<AnimFrameHeaderChunk>(*frameChunk, "ANIFRADT");
        const auto* points = FindChildAs<PointArrayChunk>(*frameChunk, "SHPRAWVT");
        const auto* normals = FindChildAs<NormalArrayChunk>(*frameChunk, "SHPPNORM");
        if (!frameHeader || !points || !normals) return false;
        const int32_t index = frameHeader->FrameIndex();
        if (index < 0 || static_cast<size_t>(index) >= frames.size() || frames[index]) return false;
        auto frame = std::make_unique<ChunkAnimFrame>();
        const AnimHeader& h = frameHeader->Data();
        frame->name = h.name;
        frame->flags = h.words[0];
        std::memcpy(frame->words, h.words + 1, sizeof frame->words);
        frame->points = points->Elements();
        frame->polygonNormals = normals->Elements();
        frames[index] = std::move(frame);
    }
    record_.frames = std::move(frames);
    return true;
}

void AnimSequenceChunk::RebuildChildren() {
    for (Chunk* c = FirstChild(); c;) {
        Chunk* next = c->Next();
        if (c->HasId("ANISEQDT") || c->HasId("ANIMFRAM")) delete c;
        c = next;
    }
    const uint32_t* w = record_.words;
    new AnimSequenceHeaderChunk(this, "ANISEQDT", {record_.sequenceWord, {w[0], w[1], w[2], w[3]}, record_.name});
    // The frames written are numbered in order: a reader takes every index
    // below the number of frames, so the gap a deleted frame left would make
    // the whole sequence unreadable.
    int32_t index = 0;
    for (const auto& frame : record_.frames)
        if (!frame->IsDeleted()) new AnimFrameChunk(this, index++, *frame);
}

void AnimSequenceChunk::SetRecord(const ChunkAnimSequence& record) {
    record_ = record;
    RebuildChildren();
}

void AnimSequenceChunk::SetFrameFlags(int32_t index, uint32_t flags) {
    if (index >= 0 && static_cast<size_t>(index) < record_.frames.size()) record_.frames[index]->flags = flags;
}

const ChunkShapeData* AnimSequenceChunk::ShapeRecord() const {
    const auto* shape = dynamic_cast<const ShapeChunk*>(Parent());
    return shape && (shape->HasId("QORSHAPE") || shape->HasId("SUBSHAPE")) ? &shape->Data() : nullptr;
}

void AnimSequenceChunk::PurgeDeletedFrames() {
    if (ShapeRecord()) record_.PurgeDeletedFrames();
}

void AnimSequenceChunk::PostInputProcessing() {
    if (const ChunkShapeData* shape = ShapeRecord()) record_.ComputeNormalsAndBounds(*shape);
    ParentChunk::PostInputProcessing();
}

AnimShapeCentreChunk::AnimShapeCentreChunk(ParentChunk* parent) : FieldChunk(parent, "ANSHCEN2", {}) {}

void RegisterShapeAnimationChunkClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        ChunkRegistry& r = ChunkRegistry::Global();
        r.Register("ANIMSEQU", {}, AnimSequenceChunk::Create);
        r.Register("ANISEQDT", "ANIMSEQU", CreateFieldChunk<AnimSequenceHeaderChunk>);
        r.Register("ANIMFRAM", "ANIMSEQU", CreateParentChunk<AnimFrameChunk>);
        r.Register("ANIFRADT", "ANIMFRAM", CreateFieldChunk<AnimFrameHeaderChunk>);
        r.Register("ASALTTEX", {}, ParentChunk::CreatePlain);
        r.Register("ANSHCEN2", {}, CreateFieldChunk<AnimShapeCentreChunk>);
    });
}
