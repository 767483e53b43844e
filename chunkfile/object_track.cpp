#include "chunkfile/object_track.h"

#include "chunkfile/chunkfields.h"

namespace {

constexpr uint32_t kSignBit = 0x80000000u;

// (a, b, c, d) -> (-d, a, b, -c), on the float bits so that every value,
// NaNs included, keeps its bits but for the sign.
void ConvertGroup(uint32_t* g) {
    const uint32_t a = g[0], b = g[1], c = g[2], d = g[3];
    g[0] = d ^ kSignBit;
    g[1] = a;
    g[2] = b;
    g[3] = c ^ kSignBit;
}

template <size_t N>
void ReadRecords(ByteReader& in, std::vector<std::array<uint32_t, N>>& records) {
    uint32_t count = 0;
    ReadCount(in, count, N * 4);
    records.resize(in.ok() ? count : 0);
    for (auto& record : records)
        for (uint32_t& w : record) in.U32(w);
}

template <size_t N>
void WriteRecords(ByteWriter& out, const std::vector<std::array<uint32_t, N>>& records) {
    out.U32(static_cast<uint32_t>(records.size()));
    for (const auto& record : records)
        for (uint32_t w : record) out.U32(w);
}

} // namespace

bool ReadFields(ByteReader& in, ObjectTrackFields& f) {
    ReadRecords(in, f.records);
    in.U32(f.flags);
    in.U32(f.kept);
    if (!in.ok()) return false;
    if (!(f.flags & ObjectTrackFields::kCurrentOrder)) {
        for (ObjectTrackFields::Record& r : f.records) {
            ConvertGroup(&r[0]);
            ConvertGroup(&r[4]);
        }
        f.flags |= ObjectTrackFields::kCurrentOrder;
    }
    return true;
}

void WriteFields(ByteWriter& out, const ObjectTrackFields& f) {
    WriteRecords(out, f.records);
    out.U32(f.flags);
    out.U32(f.kept);
}

std::string ObjectTrackChunk::Describe() const {
    return "records " + std::to_string(fields_.records.size()) + " flags " + std::to_string(fields_.flags);
}

bool ReadFields(ByteReader& in, TrackSoundFields& f) {
    for (uint32_t& w : f.words) in.U32(w);
    ReadPaddedString(in, f.name);
    return in.ok();
}

void WriteFields(ByteWriter& out, const TrackSoundFields& f) {
    for (uint32_t w : f.words) out.U32(w);
    WritePaddedString(out, f.name);
}

std::string TrackSoundChunk::Describe() const { return "name \"" + fields_.name + "\""; }

bool ReadFields(ByteReader& in, TrackSoundCategoryFields& f) {
    ReadPaddedString(in, f.name);
    for (uint32_t& w : f.words) in.U32(w);
    return in.ok();
}

void WriteFields(ByteWriter& out, const TrackSoundCategoryFields& f) {
    WritePaddedString(out, f.name);
    for (uint32_t w : f.words) out.U32(w);
}

std::string TrackSoundCategoryChunk::Describe() const { return "name \"" + fields_.name + "\""; }

bool ReadFields(ByteReader& in, AlternateLocationFields& f) {
    for (uint32_t& w : f.words) in.U32(w);
    ReadRecords(in, f.records);
    return in.ok();
}

void WriteFields(ByteWriter& out, const AlternateLocationFields& f) {
    for (uint32_t w : f.words) out.U32(w);
    WriteRecords(out, f.records);
}

std::string AlternateLocationChunk::Describe() const {
    return "words " + WordsText(fields_.words) + " records " + std::to_string(fields_.records.size());
}
