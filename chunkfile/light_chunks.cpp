#include "chunkfile/light_chunks.h"

#include <algorithm>
#include <mutex>

#include "chunkfile/chunkfields.h"
#include "chunkfile/chunkregistry.h"
#include "chunkfile/light_dummy.h"
#include "chunkfile/shape_vectors.h"

LightSetChunk::LightSetChunk(ParentChunk* parent) : ParentChunk(parent, "LIGHTSET") {}

Chunk* LightSetChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    auto* set = new LightSetChunk(parent);
    set->CreateChildren(raw.Data());
    return set;
}

LightSetChunk* LightSetChunk::New(ParentChunk* parent, std::string_view name) {
    auto* set = new LightSetChunk(parent);
    new LightSetHeaderChunk(set, name);
    return set;
}

bool ReadFields(ByteReader& in, LightSetHeaderFields& f) {
    ReadFixedName(in, f.name, LightSetHeaderFields::kNameWidth);
    in.U32(f.word);
    return in.ok();
}

void WriteFields(ByteWriter& out, const LightSetHeaderFields& f) {
    WriteFixedName(out, f.name, LightSetHeaderFields::kNameWidth);
    out.U32(f.word);
}

std::string StandardLightChunk::Describe() const { return "words " + WordsText(fields_.words); }

std::string AmbienceChunk::Describe() const { return "word " + WordsText(fields_.words); }

LightSetHeaderChunk::LightSetHeaderChunk(ParentChunk* parent, std::string_view name)
    : FieldChunk(parent, "LTSETHDR", {}) {
    fields_.name = name.substr(0, LightSetHeaderFields::kNameWidth);
}

std::string LightSetHeaderChunk::Describe() const { return "name \"" + fields_.name + "\""; }

bool ReadFields(ByteReader& in, VertexTintFields& f) {
    uint32_t count = 0;
    ReadFixedName(in, f.lightSetName, LightSetHeaderFields::kNameWidth);
    in.U32(f.word);
    ReadCount(in, count, 4);
    f.colours.resize(in.ok() ? count : 0);
    for (uint32_t& c : f.colours) in.U32(c);
    return in.ok();
}

void WriteFields(ByteWriter& out, const VertexTintFields& f) {
    WriteFixedName(out, f.lightSetName, LightSetHeaderFields::kNameWidth);
    out.U32(f.word);
    out.U32(static_cast<uint32_t>(f.colours.size()));
    for (uint32_t c : f.colours) out.U32(c);
}

VertexTintChunk::VertexTintChunk(ParentChunk* parent, std::string_view lightSetName, std::vector<uint32_t> colours)
    : FieldChunk(parent, "SHPVTINT",
                 {std::string(lightSetName.substr(0, LightSetHeaderFields::kNameWidth)), 0, std::move(colours)}) {}

std::string VertexTintChunk::Describe() const {
    return "light set \"" + fields_.lightSetName + "\" colours " + std::to_string(fields_.colours.size());
}

namespace {

void ReadCurve(ByteReader& in, LevelCurve& c) {
    in.F32(c.scale);
    c.threshold = TruncateToInt(in.F32());
    c.offset = TruncateToInt(in.F32());
}

void WriteCurve(ByteWriter& out, const LevelCurve& c) {
    out.F32(c.scale);
    out.F32(static_cast<float>(c.threshold));
    out.F32(static_cast<float>(c.offset));
}

int32_t MapLevel(const LevelCurve& c, int32_t level) {
    if (level < c.threshold) return level;
    // Scaled in single precision, as the level tables always were.
    const float scaled = static_cast<float>(double(level) + c.offset - c.threshold) * c.scale;
    const int64_t r = int64_t{c.threshold} + TruncateToInt(scaled);
    return static_cast<int32_t>(std::clamp<int64_t>(r, c.threshold, std::max(c.threshold, 255)));
}

} // namespace

bool ReadFields(ByteReader& in, LightScaleFields& f) {
    in.U32(f.word);
    ReadCurve(in, f.a);
    ReadCurve(in, f.b);
    for (uint32_t& w : f.kept) in.U32(w);
    return in.ok();
}

void WriteFields(ByteWriter& out, const LightScaleFields& f) {
    out.U32(f.word);
    WriteCurve(out, f.a);
    WriteCurve(out, f.b);
    for (uint32_t w : f.kept) out.U32(w);
    out.U32(0); // reserved
}

LightScaleChunk::LightScaleChunk(ParentChunk* parent, uint32_t firstWord) : FieldChunk(parent, "LITSCALE", {}) {
    fields_.word = firstWord;
}

int32_t LightScaleChunk::MapLevelA(int32_t level) const { return MapLevel(fields_.a, level); }

int32_t LightScaleChunk::MapLevelB(int32_t level) const { return MapLevel(fields_.b, level); }

std::string LightScaleChunk::Describe() const {
    auto curve = [](const LevelCurve& c) {
        return "scale " + std::to_string(c.scale) + " threshold " + std::to_string(c.threshold) + " offset " +
               std::to_string(c.offset);
    };
    return "A " + curve(fields_.a) + " B " + curve(fields_.b);
}

bool ReadFields(ByteReader& in, PlacedObjectLightFields& f) {
    uint32_t count = 0;
    for (uint32_t& w : f.head) in.U32(w);
    ReadCount(in, count, 4);
    f.words.resize(in.ok() ? count : 0);
    for (uint32_t& w : f.words) in.U32(w);
    return in.ok();
}

void WriteFields(ByteWriter& out, const PlacedObjectLightFields& f) {
    for (uint32_t w : f.head) out.U32(w);
    out.U32(static_cast<uint32_t>(f.words.size()));
    for (uint32_t w : f.words) out.U32(w);
}

std::string PlacedObjectLightChunk::Describe() const {
    return "words " + WordsText(fields_.head) + " then " + std::to_string(fields_.words.size());
}

void RegisterLightChunkClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        ChunkRegistry& r = ChunkRegistry::Global();
        r.Register("LIGHTSET", {}, LightSetChunk::Create);
        r.Register("LTSETHDR", {}, CreateFieldChunk<LightSetHeaderChunk>);
        r.Register("STDLIGHT", {}, CreateFieldChunk<StandardLightChunk>);
        r.Register("SHPVTINT", {}, CreateFieldChunk<VertexTintChunk>);
        r.Register("AMBIENCE", {}, CreateFieldChunk<AmbienceChunk>);
        r.Register("LITSCALE", {}, CreateFieldChunk<LightScaleChunk>);
        r.Register("PLOBJLIT", {}, CreateFieldChunk<PlacedObjectLightChunk>);
        r.Register("DUMMYOBJ", {}, DummyObjectChunk::Create);
        r.Register("DUMOBJDT", {}, CreateFieldChunk<DummyObjectDataChunk>);
        r.Register("DUMOBJTX", {}, CreateFieldChunk<DummyObjectTextChunk>);
    });
}
