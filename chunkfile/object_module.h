#pragma once
// The notes and editor module data of a placed object. Layouts (data after
// the 12-byte chunk header):
//   OBINTDT, MODULEDT, OBJPRJDT  child chunks only
//   OBJNOTES  raw bytes (text), zero-padded to a multiple of 4
//   VMDARRAY  u32 n; n entries: object number, link index (another entry of
//             the array), two kept words
//   ADJMDLEP  u32 n; n entries: object number, four kept words
//   MODFLAGS, MODZONE  two kept words
//   MODACOUS  i32, f32, u32, kept

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "chunkfile/fieldchunk.h"

struct ObjectNotesFields {
    std::vector<uint8_t> bytes;
};
bool ReadFields(ByteReader& in, ObjectNotesFields& f);
void WriteFields(ByteWriter& out, const ObjectNotesFields& f);

class ObjectNotesChunk final : public FieldChunk<ObjectNotesFields> {
public:
    using Fields = ObjectNotesFields;
    using FieldChunk::FieldChunk;
    ObjectNotesChunk(ParentChunk* parent, std::span<const uint8_t> bytes)
        : FieldChunk(parent, "OBJNOTES", {{bytes.begin(), bytes.end()}}) {}
    std::string Describe() const override;
};

// Notes of a new object: OBINTDT holding an OBJNOTES of "Enter notes here"
// and its zero byte.
void AddDefaultNotes(ParentChunk& object);

struct ModuleArrayEntry {
    int32_t objectNumber = 0;
    int32_t linkIndex = 0;
    uint32_t kept[2] = {};
};
static_assert(sizeof(ModuleArrayEntry) == 16);

struct ModuleArrayFields {
    std::vector<ModuleArrayEntry> entries;
};
bool ReadFields(ByteReader& in, ModuleArrayFields& f);
void WriteFields(ByteWriter& out, const ModuleArrayFields& f);

class ModuleArrayChunk final : public FieldChunk<ModuleArrayFields> {
public:
    using Fields = ModuleArrayFields;
    using FieldChunk::FieldChunk;
    ModuleArrayChunk(ParentChunk* parent, std::vector<ModuleArrayEntry> entries)
        : FieldChunk(parent, "VMDARRAY", {std::move(entries)}) {}

    // Drops the entries of `objectNumber`, moving the rest down; at each
    // drop, link indices above the number of entries kept so far fall by
    // one. True when an entry was dropped.
    bool DropObject(int32_t objectNumber);
    std::string Describe() const override;
};

struct ModuleLinkEntry {
    int32_t objectNumber = 0;
    uint32_t kept[4] = {};
};
static_assert(sizeof(ModuleLinkEntry) == 20);

struct ModuleLinkFields {
    std::vector<ModuleLinkEntry> entries;
};
bool ReadFields(ByteReader& in, ModuleLinkFields& f);
void WriteFields(ByteWriter& out, const ModuleLinkFields& f);

class ModuleLinkChunk final : public FieldChunk<ModuleLinkFields> {
public:
    using Fields = ModuleLinkFields;
    using FieldChunk::FieldChunk;

    // Drops the entries of `objectNumber`.
    void DropObject(int32_t objectNumber);
    std::string Describe() const override;
};

// MODFLAGS and MODZONE; new ones hold zeros.
class ModuleWordsChunk final : public FieldChunk<KeptWords<2>> {
public:
    using Fields = KeptWords<2>;
    using FieldChunk::FieldChunk;
    ModuleWordsChunk(ParentChunk* parent, std::string_view id) : FieldChunk(parent, id, {}) {}
    std::string Describe() const override;
};

// A new one holds -1, -1.0, 0.
struct ModuleAcousticsFields {
    int32_t first = -1;
    float second = -1.0f;
    uint32_t third = 0;
};
bool ReadFields(ByteReader& in, ModuleAcousticsFields& f);
void WriteFields(ByteWriter& out, const ModuleAcousticsFields& f);

class ModuleAcousticsChunk final : public FieldChunk<ModuleAcousticsFields> {
public:
    using Fields = ModuleAcousticsFields;
    using FieldChunk::FieldChunk;
    explicit ModuleAcousticsChunk(ParentChunk* parent) : FieldChunk(parent, "MODACOUS", {}) {}
    std::string Describe() const override;
};
