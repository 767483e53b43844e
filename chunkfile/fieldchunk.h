#pragma once
// Building blocks of the chunk classes whose data is one record of fields.
//
// A FieldChunk<Fields> keeps its record and serialises it through two free
// functions found by argument-dependent lookup:
//   bool ReadFields(ByteReader& in, Fields& out);   // false when the data does not fit
//   void WriteFields(ByteWriter& out, const Fields& fields);
// Its size is what WriteFields writes, so size and bytes cannot disagree.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "chunkfile/chunk.h"
#include "chunkfile/chunkfields.h"
#include "chunkfile/chunkreading.h"
#include "chunkfile/shape_vectors.h"
#include "core/matrix.h"
#include "core/vector_bytes.h"

template <class Fields>
class FieldChunk : public Chunk {
public:
    FieldChunk(ParentChunk* parent, std::string_view id, Fields fields)
        : Chunk(parent, id), fields_(std::move(fields)) {}

    const Fields& Data() const { return fields_; }
    Fields& Data() { return fields_; }

    uint32_t SizeChunk() override {
        ByteWriter data;
        WriteFields(data, fields_);
        return StoreSize(kChunkHeaderSize + static_cast<uint32_t>(data.size()));
    }
    void FillDataBlock(ByteWriter& out) override {
        WriteHeader(out);
        WriteFields(out, fields_);
    }

protected:
    Fields fields_;
};

// Factory of a FieldChunk class T, constructible from (parent, id, fields):
// data that does not fit the record is reported malformed and makes nothing.
template <class T>
Chunk* CreateFieldChunk(ParentChunk* parent, const RawChunk& raw) {
    typename T::Fields fields{};
    ByteReader in = raw.Reader();
    if (!ReadFields(in, fields) || !in.ok()) {
        ReportMalformedChunk(raw.bytes);
        return nullptr;
    }
    return new T(parent, raw.Id(), std::move(fields));
}

// Factory of a parent class T whose reading constructor (parent, raw) makes
// its children from the data.
template <class T>
Chunk* CreateParentChunk(ParentChunk* parent, const RawChunk& raw) {
    return new T(parent, raw);
}

// The first child with `id` when it is of class T; null otherwise (also when
// that child was read without its family's classes registered).
template <class T>
T* FindChildAs(const ParentChunk& parent, std::string_view id) {
    return dynamic_cast<T*>(parent.FindChild(id));
}

// Appends the children with `id` that are of class T, in order, to `out`
// (which is not emptied first).
template <class T>
void AppendChildrenAs(const ParentChunk& parent, std::string_view id, List<T*>& out) {
    for (Chunk* c = parent.FirstChild(); c; c = c->Next())
        if (c->HasId(id))
            if (T* t = dynamic_cast<T*>(c)) out.PushBack(t);
}

// Words that nothing interprets, carried through load and save.
template <size_t N>
struct KeptWords {
    uint32_t words[N] = {};
};

template <size_t N>
bool ReadFields(ByteReader& in, KeptWords<N>& f) {
    for (uint32_t& w : f.words) in.U32(w);
    return in.ok();
}

template <size_t N>
void WriteFields(ByteWriter& out, const KeptWords<N>& f) {
    for (uint32_t w : f.words) out.U32(w);
}

// A u32 count and that many words; a count the data cannot hold fails.
inline bool ReadWordArray(ByteReader& in, std::vector<uint32_t>& words) {
    uint32_t n = 0;
    if (!ReadCount(in, n, 4)) return false;
    words.resize(n);
    for (uint32_t& w : words) in.U32(w);
    return in.ok();
}

inline void WriteWordArray(ByteWriter& out, const std::vector<uint32_t>& words) {
    out.U32(static_cast<uint32_t>(words.size()));
    for (uint32_t w : words) out.U32(w);
}

// A padded string field followed by N kept words.
template <size_t N>
struct NamedWords {
    std::string name;
    uint32_t words[N] = {};
};

template <size_t N>
bool ReadFields(ByteReader& in, NamedWords<N>& f) {
    if (!ReadPaddedString(in, f.name)) return false;
    for (uint32_t& w : f.words) in.U32(w);
    return in.ok();
}

template <size_t N>
void WriteFields(ByteWriter& out, const NamedWords<N>& f) {
    WritePaddedString(out, f.name);
    for (uint32_t w : f.words) out.U32(w);
}

// A file coordinate triple on disk: three 32-bit integers x, y, z.
inline void ReadVector(ByteReader& in, VectorI& v) {
    v.x = in.I32();
    v.y = in.I32();
    v.z = in.I32();
}

inline void WriteVector(ByteWriter& out, const VectorI& v) {
    out.I32(v.x);
    out.I32(v.y);
    out.I32(v.z);
}
