#pragma once
// Further children of shape chunks, read, kept and written back with them:
//
//   SHPMRGDT  n x i32: the merge table, one entry per polygon (-1: alone,
//             else the index of its partner); under QORSHAPE and SUBSHAPE
//   SHPEXTFL  children only (SHPEXTFN and others)
//   SHPEXTFN  f64 factor; i32 word; a file name (padded string)
//   EXTOBJNM  u32 word; an object name (padded string)
//   SHPFNAME  a file name (padded string)
//   SHPPCINF  u32 word; u32 n; n triples of u32
//   SHPFRAGS  children only (FRAGDATA, FRAGLOCN, SHPFRGTP)
//   FRAGDATA  4 kept words       FRAGLOCN  7 kept words
//   SHPFRGTP  a name (padded string); 2 kept words
//   SHPPRPRO  u32 n1; u32 head word; n1 words; u32 n2; n2 words
//   CONSTYPE  u32 word whose low 8 bits are a shape variant's type
// Morphs (SHPMORPH, FRMMORPH) are in shapeext_morph.h, variants (CONSHAPE)
// in shapeext_conshape.h.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "chunkfile/fieldchunk.h"

struct MergeTable {
    std::vector<int32_t> entries;
};
bool ReadFields(ByteReader& in, MergeTable& f);
void WriteFields(ByteWriter& out, const MergeTable& f);

// SHPMRGDT: the pairs of triangles the model loader merges into quads.
class MergeDataChunk final : public FieldChunk<MergeTable> {
public:
    using Fields = MergeTable;
    using FieldChunk::FieldChunk;
    MergeDataChunk(ParentChunk* parent, std::span<const int32_t> entries);

    std::span<const int32_t> Table() const { return fields_.entries; }
};

struct ExternalFile {
    double factor = 1.0;
    int32_t word = -1;
    std::string name;
};
bool ReadFields(ByteReader& in, ExternalFile& f);
void WriteFields(ByteWriter& out, const ExternalFile& f);

// SHPEXTFN: a file name with a factor.
class ExternalFileChunk final : public FieldChunk<ExternalFile> {
public:
    using Fields = ExternalFile;
    using FieldChunk::FieldChunk;
    // Factor 1.0, word -1.
    ExternalFileChunk(ParentChunk* parent, std::string name);

    const std::string& Name() const { return fields_.name; }
    std::string Describe() const override;
};

// SHPEXTFL: holds external file references.
class ExternalFileListChunk final : public ParentChunk {
public:
    ExternalFileListChunk(ParentChunk* parent, const RawChunk& raw);
    // With an SHPEXTFN child for `name`.
    ExternalFileListChunk(ParentChunk* parent, std::string name);
};

struct ExternalObjectName {
    uint32_t word = 0;
    std::string name;
};
bool ReadFields(ByteReader& in, ExternalObjectName& f);
void WriteFields(ByteWriter& out, const ExternalObjectName& f);

// EXTOBJNM: an object name qualified by the name of its chunk file.
class ExternalObjectNameChunk final : public FieldChunk<ExternalObjectName> {
public:
    using Fields = ExternalObjectName;
    using FieldChunk::FieldChunk;
    // The full name is built at once.
    ExternalObjectNameChunk(ParentChunk* parent, std::string name);

    const std::string& Name() const { return fields_.name; }
    // "<name>@<the parent's QIFFNAME>", or "<name>@*NotFound*" when the parent
    // has none; built after reading (empty until then).
    const std::string& FullName() const { return fullName_; }
    void PostInputProcessing() override;
    std::string Describe() const override;

private:
    void BuildFullName();

    std::string fullName_;
};

// The full name of `parent`'s EXTOBJNM child; without one the text of its
// QIFFNAME child; otherwise null.
const std::string* ExternalObjectNameOf(const ParentChunk& parent);

struct FileName {
    std::string name;
};
bool ReadFields(ByteReader& in, FileName& f);
void WriteFields(ByteWriter& out, const FileName& f);

// SHPFNAME: a file name (a morph target's source, say).
class FileNameChunk final : public FieldChunk<FileName> {
public:
    using Fields = FileName;
    using FieldChunk::FieldChunk;
    FileNameChunk(ParentChunk* parent, std::string name);

    const std::string& Name() const { return fields_.name; }
    std::string Describe() const override;
};

struct ShapeInfo {
    uint32_t word = 0;
    std::vector<std::array<uint32_t, 3>> triples;
};
bool ReadFields(ByteReader& in, ShapeInfo& f);
void WriteFields(ByteWriter& out, const ShapeInfo& f);

// SHPPCINF.
class ShapeInfoChunk final : public FieldChunk<ShapeInfo> {
public:
    using Fields = ShapeInfo;
    using FieldChunk::FieldChunk;
};

// FRAGDATA, FRAGLOCN.
class FragmentDataChunk final : public FieldChunk<KeptWords<4>> {
public:
    using Fields = KeptWords<4>;
    using FieldChunk::FieldChunk;
};

class FragmentLocationChunk final : public FieldChunk<KeptWords<7>> {
public:
    using Fields = KeptWords<7>;
    using FieldChunk::FieldChunk;
};

// SHPFRGTP.
class FragmentTypeChunk final : public FieldChunk<NamedWords<2>> {
public:
    using Fields = NamedWords<2>;
    using FieldChunk::FieldChunk;
    // Both words 0.
    FragmentTypeChunk(ParentChunk* parent, std::string name);

    const std::string& Name() const { return fields_.name; }
};

struct ShapeProperty {
    uint32_t headWord = 0;
    std::vector<uint32_t> first;
    std::vector<uint32_t> second;
};
bool ReadFields(ByteReader& in, ShapeProperty& f);
void WriteFields(ByteWriter& out, const ShapeProperty& f);

// A chain of packed links resolved into addresses: `head` and each entry of
// `links` stand for the head word and the words of `words` (the first array,
// owned here), pointing at the element their link named; null for a word
// that was no link.
// Movable, not copyable: a copy's addresses would point into the original.
struct ShapePropertyLinks {
    ShapePropertyLinks() = default;
    ShapePropertyLinks(ShapePropertyLinks&&) = default;
    ShapePropertyLinks& operator=(ShapePropertyLinks&&) = default;

    std::vector<uint32_t> words;
    const uint32_t* head = nullptr;
    std::vector<const uint32_t*> links;
};

// SHPPRPRO.
class ShapePropertyChunk final : public FieldChunk<ShapeProperty> {
public:
    using Fields = ShapeProperty;
    using FieldChunk::FieldChunk;
    // The head word and first array; no second array.
    ShapePropertyChunk(ParentChunk* parent, uint32_t headWord, std::vector<uint32_t> first);

    // Follows the links from the head word: a link word whose high 16 bits
    // are not 0xFFFF points at element (low 16 bits) and hands on to element
    // (high 16 bits); the last link word points at element (low 16 bits).
    // On success the first array moves into the result and the chunk forgets
    // it. An index past the array or a chain that comes back to a word it
    // passed fails and changes nothing.
    std::optional<ShapePropertyLinks> ResolveLinks();
};

// CONSTYPE: keeps the low 8 bits of the word read.
class ConTypeChunk final : public FieldChunk<KeptWords<1>> {
public:
    using Fields = KeptWords<1>;
    ConTypeChunk(ParentChunk* parent, std::string_view id, Fields fields);
    ConTypeChunk(ParentChunk* parent, uint32_t type);

    uint32_t Type() const { return fields_.words[0]; }
};

// Registers the shape extension, morph and variant chunk classes; called
// once at start-up (later calls do nothing).
void RegisterShapeExtensionChunkClasses();
