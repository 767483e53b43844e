#include "chunkfile/shape_geometry.h"

#include <cstring>

#include "chunkfile/chunkfields.h"
#include "chunkfile/chunkreading.h"
#include "chunkfile/fieldchunk.h"
#include "chunkfile/shape_chunk.h"
#include "chunkfile/unknownchunk.h"

namespace {

// How each array's elements are laid out. Counted arrays start with a u32
// element count; the others take as many elements as the data holds.
template <class T>
struct ArrayLayout;

template <>
struct ArrayLayout<VectorI> {
    static constexpr bool kCounted = false;
    static constexpr size_t kMinSize = 12;
    static bool Read(ByteReader& in, VectorI& p) {
        ReadVector(in, p);
        return in.ok();
    }
    static void Write(ByteWriter& out, const VectorI& p) { WriteVector(out, p); }
    static size_t Size(const VectorI&) { return kMinSize; }
};

template <>
struct ArrayLayout<Vector3> {
    static constexpr bool kCounted = false;
    static constexpr size_t kMinSize = 12;
    static bool Read(ByteReader& in, Vector3& v) { return in.F32(v.x) && in.F32(v.y) && in.F32(v.z); }
    static void Write(ByteWriter& out, const Vector3& v) {
        out.F32(v.x);
        out.F32(v.y);
        out.F32(v.z);
    }
    static size_t Size(const Vector3&) { return kMinSize; }
};

template <>
struct ArrayLayout<uint32_t> {
    static constexpr bool kCounted = false;
    static constexpr size_t kMinSize = 4;
    static bool Read(ByteReader& in, uint32_t& w) { return in.U32(w); }
    static void Write(ByteWriter& out, uint32_t w) { out.U32(w); }
    static size_t Size(uint32_t) { return kMinSize; }
};

// Four words, then five vertex slots: the vertex indices, then -1 in every
// slot left. A polygon using all five slots breaks the four-vertex limit.
template <>
struct ArrayLayout<ChunkPolygon> {
    static constexpr bool kCounted = false;
    static constexpr size_t kMinSize = 36;
    static constexpr int kSlots = 5;
    static bool Read(ByteReader& in, ChunkPolygon& p) {
        in.I32(p.type);
        in.I32(p.normalIndex);
        in.U32(p.flags);
        in.U32(p.texture);
        int32_t slots[kSlots];
        for (int32_t& s : slots) in.I32(s);
        int count = 0;
        while (count < kSlots && slots[count] != -1) ++count;
        if (!in.ok() || count > ChunkPolygon::kMaxVertices) return false;
        p.vertexCount = count;
        for (int i = 0; i < ChunkPolygon::kMaxVertices; ++i) p.vertices[i] = i < count ? slots[i] : -1;
        return true;
    }
    static void Write(ByteWriter& out, const ChunkPolygon& p) {
        out.I32(p.type);
        out.I32(p.normalIndex);
        out.U32(p.flags);
        out.U32(p.texture);
        for (int i = 0; i < kSlots; ++i) out.I32(i < p.vertexCount ? p.vertices[i] : -1);
    }
    static size_t Size(const ChunkPolygon&) { return kMinSize; }
};

// A u32 pair count (at most four), then the (u, v) pairs.
template <>
struct ArrayLayout<ChunkUvList> {
    static constexpr bool kCounted = true;
    static constexpr size_t kMinSize = 4;
    static bool Read(ByteReader& in, ChunkUvList& list) {
        uint32_t k = 0;
        if (!in.U32(k) || k > ChunkUvList::kMaxPairs) return false;
        list.count = static_cast<int32_t>(k);
        for (uint32_t i = 0; i < k; ++i) {
            in.F32(list.pairs[i].u);
            in.F32(list.pairs[i].v);
        }
        return in.ok();
    }
    static void Write(ByteWriter& out, const ChunkUvList& list) {
        out.I32(list.count);
        for (int32_t i = 0; i < list.count; ++i) {
            out.F32(list.pairs[i].u);
            out.F32(list.pairs[i].v);
        }
    }
    static size_t Size(const ChunkUvList& list) { return 4 + 8 * static_cast<size_t>(list.count); }
};

// Zero-terminated names back to back.
template <>
struct ArrayLayout<std::string> {
    static constexpr bool kCounted = true;
    static constexpr size_t kMinSize = 1;
    static bool Read(ByteReader& in, std::string& name) {
        const size_t limit = in.remaining();
        if (limit == 0) return false;
        const auto* text = reinterpret_cast<const char*>(in.cursor());
        const size_t length = strnlen(text, limit);
        if (length == limit) return false;
        name.assign(text, length);
        return in.Skip(length + 1);
    }
    static void Write(ByteWriter& out, const std::string& name) {
        out.Bytes(name.data(), name.size());
        out.U8(0);
    }
    static size_t Size(const std::string& name) { return name.size() + 1; }
};

size_t PaddingAfter(size_t dataSize) { return (4 - dataSize % 4) % 4; }

// The shape record of a parent that is a shape chunk; null otherwise.
ChunkShapeData* RecordOf(ParentChunk* parent) {
    auto* shape = dynamic_cast<ShapeChunk*>(parent);
    return shape ? &shape->Data() : nullptr;
}

} // namespace

template <class T>
ShapeArrayChunk<T>::ShapeArrayChunk(ParentChunk* parent, std::string_view id, std::vector<T>& elements)
    : Chunk(parent, id), elements_(&elements) {}

template <class T>
ShapeArrayChunk<T>::ShapeArrayChunk(ParentChunk* parent, std::string_view id, std::vector<T>&& own)
    : Chunk(parent, id), own_(std::move(own)), elements_(&own_) {}

template <class T>
bool ShapeArrayChunk<T>::ReadElements(const RawChunk& raw, std::vector<T>& out) {
    using Layout = ArrayLayout<T>;
    ByteReader in = raw.Reader();
    uint32_t count = 0;
    if constexpr (Layout::kCounted) {
        if (!ReadCount(in, count, Layout::kMinSize)) return false;
    } else {
        count = static_cast<uint32_t>(in.remaining() / Layout::kMinSize);
    }
    out.assign(count, T{});
    for (T& element : out)
        if (!Layout::Read(in, element)) return false;
    return true;
}

template <class T>
Chunk* ShapeArrayChunk<T>::CreateOwn(ParentChunk* parent, const RawChunk& raw) {
    std::vector<T> elements;
    if (!ReadElements(raw, elements)) {
        ReportMalformedChunk(raw.bytes);
        return nullptr;
    }
    return new ShapeArrayChunk(parent, raw.Id(), std::move(elements));
}

template <class T>
void ShapeArrayChunk<T>::HandOver(std::vector<T>& target) {
    target = std::move(*elements_);
    own_.clear();
    elements_ = &target;
}

template <class T>
void ShapeArrayChunk<T>::StopSharing(const std::vector<T>& shared) {
    if (elements_ != &shared) return;
    own_ = shared;
    elements_ = &own_;
}

template <class T>
uint32_t ShapeArrayChunk<T>::SizeChunk() {
    using Layout = ArrayLayout<T>;
    size_t data = Layout::kCounted ? 4 : 0;
    for (const T& element : *elements_) data += Layout::Size(element);
    return StoreSize(static_cast<uint32_t>(kChunkHeaderSize + data + PaddingAfter(data)));
}

template <class T>
void ShapeArrayChunk<T>::FillDataBlock(ByteWriter& out) {
    using Layout = ArrayLayout<T>;
    WriteHeader(out);
    const size_t start = out.size();
    if constexpr (Layout::kCounted) out.U32(static_cast<uint32_t>(elements_->size()));
    for (const T& element : *elements_) Layout::Write(out, element);
    out.Zeros(PaddingAfter(out.size() - start));
}

template <class T>
std::string ShapeArrayChunk<T>::Describe() const {
    return "count " + std::to_string(elements_->size());
}

template class ShapeArrayChunk<VectorI>;
template class ShapeArrayChunk<Vector3>;
template class ShapeArrayChunk<uint32_t>;
template class ShapeArrayChunk<ChunkPolygon>;
template class ShapeArrayChunk<ChunkUvList>;
template class ShapeArrayChunk<std::string>;

ShapeCentreChunk::ShapeCentreChunk(ParentChunk* parent, ChunkShapeData& record)
    : Chunk(parent, "SHPCENTR"), record_(record) {}

Chunk* ShapeCentreChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    ChunkShapeData* record = RecordOf(parent);
    if (!record) return new UnknownChunk(parent, raw);
    ByteReader in = raw.Reader();
    VectorI centre;
    float radius = 0;
    if (!ArrayLayout<VectorI>::Read(in, centre) || !in.F32(radius)) {
        ReportMalformedChunk(raw.bytes);
        return nullptr;
    }
    record->centre = centre;
    record->radius = radius;
    return new ShapeCentreChunk(parent, *record);
}

uint32_t ShapeCentreChunk::SizeChunk() { return StoreSize(kChunkHeaderSize + 16); }

void ShapeCentreChunk::FillDataBlock(ByteWriter& out) {
    WriteHeader(out);
    ArrayLayout<VectorI>::Write(out, record_.centre);
    out.F32(record_.storedRadius);
}

std::string ShapeCentreChunk::Describe() const {
    return "centre " + std::to_string(record_.centre.x) + " " + std::to_string(record_.centre.y) + " " +
           std::to_string(record_.centre.z) + " radius " + std::to_string(record_.radius);
}

ShapeFlagsChunk::ShapeFlagsChunk(ParentChunk* parent, ChunkShapeData& record)
    : Chunk(parent, "SHPFLAGS"), record_(record) {}

Chunk* ShapeFlagsChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    ChunkShapeData* record = RecordOf(parent);
    if (!record) return new UnknownChunk(parent, raw);
    ByteReader in = raw.Reader();
    uint32_t flags = 0;
    if (!in.U32(flags)) {
        ReportMalformedChunk(raw.bytes);
        return nullptr;
    }
    record->shapeFlags = flags;
    return new ShapeFlagsChunk(parent, *record);
}

uint32_t ShapeFlagsChunk::SizeChunk() { return StoreSize(kChunkHeaderSize + 4); }

void ShapeFlagsChunk::FillDataBlock(ByteWriter& out) {
    WriteHeader(out);
    out.U32(record_.shapeFlags);
}

std::string ShapeFlagsChunk::Describe() const { return "flags " + std::to_string(record_.shapeFlags); }
