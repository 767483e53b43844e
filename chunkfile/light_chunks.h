#pragma once
// Lighting chunks of model and level files. Only the vertex tints (SHPVTINT,
// one ARGB colour per point of an object's shape) are used when models
// load; the others are carried through load and save. Layouts (data after
// the 12-byte chunk header; names of 8 characters are zero-padded and
// unterminated when 8 long):
//   LIGHTSET  children: LTSETHDR, STDLIGHT...
//   LTSETHDR  8-character light-set name; one kept word
//   STDLIGHT  21 kept words
//   SHPVTINT  8-character light-set name; one kept word; u32 n; n colours
//   AMBIENCE  one kept word
//   LITSCALE  kept word; curve A: scale f32, threshold f32, offset f32;
//             curve B likewise; three kept words; a reserved word (0)
//   PLOBJLIT  15 kept words; u32 n; n kept words

#include <string>
#include <vector>

#include "chunkfile/fieldchunk.h"

class LightSetHeaderChunk;

class LightSetChunk final : public ParentChunk {
public:
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);
    // A new light set with a LTSETHDR holding `name` (its first 8 characters).
    static LightSetChunk* New(ParentChunk* parent, std::string_view name);

private:
    explicit LightSetChunk(ParentChunk* parent);
};

struct LightSetHeaderFields {
    static constexpr size_t kNameWidth = 8;

    std::string name;
    uint32_t word = 0;
};
bool ReadFields(ByteReader& in, LightSetHeaderFields& f);
void WriteFields(ByteWriter& out, const LightSetHeaderFields& f);

class LightSetHeaderChunk final : public FieldChunk<LightSetHeaderFields> {
public:
    using Fields = LightSetHeaderFields;
    using FieldChunk::FieldChunk;
    LightSetHeaderChunk(ParentChunk* parent, std::string_view name);
    std::string Describe() const override;
};

class StandardLightChunk final : public FieldChunk<KeptWords<21>> {
public:
    using Fields = KeptWords<21>;
    using FieldChunk::FieldChunk;
    std::string Describe() const override;
};

class AmbienceChunk final : public FieldChunk<KeptWords<1>> {
public:
    using Fields = KeptWords<1>;
    using FieldChunk::FieldChunk;
    std::string Describe() const override;
};

struct VertexTintFields {
    std::string lightSetName; // 8 characters at most
    uint32_t word = 0;
    std::vector<uint32_t> colours; // ARGB, by point number
};
bool ReadFields(ByteReader& in, VertexTintFields& f);
void WriteFields(ByteWriter& out, const VertexTintFields& f);

class VertexTintChunk final : public FieldChunk<VertexTintFields> {
public:
    using Fields = VertexTintFields;
    using FieldChunk::FieldChunk;
    // Tints for a light set, kept word 0.
    VertexTintChunk(ParentChunk* parent, std::string_view lightSetName, std::vector<uint32_t> colours);
    std::string Describe() const override;
};

// A level-scaling curve: levels from the threshold upward are scaled.
// Threshold and offset are floats on disk, held as integers (truncated).
struct LevelCurve {
    float scale = 1.0f;
    int32_t threshold = 0;
    int32_t offset = 0;
};

struct LightScaleFields {
    uint32_t word = 0;
    LevelCurve a, b;
    uint32_t kept[3] = {};
};
bool ReadFields(ByteReader& in, LightScaleFields& f);
void WriteFields(ByteWriter& out, const LightScaleFields& f);

class LightScaleChunk final : public FieldChunk<LightScaleFields> {
public:
    using Fields = LightScaleFields;
    using FieldChunk::FieldChunk;
    // Both scales 1.0, every other field 0 but the first word.
    LightScaleChunk(ParentChunk* parent, uint32_t firstWord);

    // Below the threshold t a level stays; from it, t + (level + offset - t)
    // x scale (truncated), kept within t to 255.
    int32_t MapLevelA(int32_t level) const;
    int32_t MapLevelB(int32_t level) const;
    std::string Describe() const override;
};

struct PlacedObjectLightFields {
    uint32_t head[15] = {};
    std::vector<uint32_t> words;
};
bool ReadFields(ByteReader& in, PlacedObjectLightFields& f);
void WriteFields(ByteWriter& out, const PlacedObjectLightFields& f);

class PlacedObjectLightChunk final : public FieldChunk<PlacedObjectLightFields> {
public:
    using Fields = PlacedObjectLightFields;
    using FieldChunk::FieldChunk;
    std::string Describe() const override;
};

// Registers the lighting and dummy-object chunk classes; called once at
// start-up (later calls do nothing).
void RegisterLightChunkClasses();
