#include "chunkfile/object_module.h"

#include <algorithm>
#include <cstring>

#include "chunkfile/chunkfields.h"

bool ReadFields(ByteReader& in, ObjectNotesFields& f) {
    f.bytes.assign(in.cursor(), in.cursor() + in.remaining());
    return in.Skip(in.remaining());
}

void WriteFields(ByteWriter& out, const ObjectNotesFields& f) {
    out.Bytes(f.bytes.data(), f.bytes.size());
    out.Zeros((4 - f.bytes.size() % 4) % 4);
}

std::string ObjectNotesChunk::Describe() const {
    const auto* text = reinterpret_cast<const char*>(fields_.bytes.data());
    return "text \"" + std::string(text, strnlen(text, fields_.bytes.size())) + "\"";
}

void AddDefaultNotes(ParentChunk& object) {
    static constexpr char kNotes[] = "Enter notes here";
    auto* notes = new ParentChunk(&object, "OBINTDT");
    new ObjectNotesChunk(notes, std::span(reinterpret_cast<const uint8_t*>(kNotes), sizeof kNotes));
}

bool ReadFields(ByteReader& in, ModuleArrayFields& f) {
    uint32_t count = 0;
    if (!ReadCount(in, count, sizeof(ModuleArrayEntry))) return false;
    f.entries.resize(count);
    for (ModuleArrayEntry& e : f.entries) {
        in.I32(e.objectNumber);
        in.I32(e.linkIndex);
        for (uint32_t& w : e.kept) in.U32(w);
    }
    return in.ok();
}

void WriteFields(ByteWriter& out, const ModuleArrayFields& f) {
    out.U32(static_cast<uint32_t>(f.entries.size()));
    for (const ModuleArrayEntry& e : f.entries) {
        out.I32(e.objectNumber);
        out.I32(e.linkIndex);
        for (uint32_t w : e.kept) out.U32(w);
    }
}

bool ModuleArrayChunk::DropObject(int32_t objectNumber) {
    std::vector<ModuleArrayEntry>& entries = fields_.entries;
    int32_t kept = 0;
    bool dropped = false;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].objectNumber == objectNumber) {
            dropped = true;
            for (ModuleArrayEntry& e : entries)
                if (e.linkIndex > kept) --e.linkIndex;
        } else {
            entries[static_cast<size_t>(kept++)] = entries[i];
        }
    }
    entries.resize(static_cast<size_t>(kept));
    return dropped;
}

std::string ModuleArrayChunk::Describe() const {
    std::string text = "entries";
    for (const ModuleArrayEntry& e : fields_.entries)
        text += " " + std::to_string(e.objectNumber) + ">" + std::to_string(e.linkIndex);
    return text;
}

bool ReadFields(ByteReader& in, ModuleLinkFields& f) {
    uint32_t count = 0;
    if (!ReadCount(in, count, sizeof(ModuleLinkEntry))) return false;
    f.entries.resize(count);
    for (ModuleLinkEntry& e : f.entries) {
        in.I32(e.objectNumber);
        for (uint32_t& w : e.kept) in.U32(w);
    }
    return in.ok();
}

void WriteFields(ByteWriter& out, const ModuleLinkFields& f) {
    out.U32(static_cast<uint32_t>(f.entries.size()));
    for (const ModuleLinkEntry& e : f.entries) {
        out.I32(e.objectNumber);
        for (uint32_t w : e.kept) out.U32(w);
    }
}

void ModuleLinkChunk::DropObject(int32_t objectNumber) {
    std::erase_if(fields_.entries, [objectNumber](const ModuleLinkEntry& e) { return e.objectNumber == objectNumber; });
}

std::string ModuleLinkChunk::Describe() const {
    std::string text = "objects";
    for (const ModuleLinkEntry& e : fields_.entries) text += " " + std::to_string(e.objectNumber);
    return text;
}

bool ReadFields(ByteReader& in, ModuleAcousticsFields& f) {
    in.I32(f.first);
    in.F32(f.second);
    in.U32(f.third);
    return in.ok();
}

void WriteFields(ByteWriter& out, const ModuleAcousticsFields& f) {
    out.I32(f.first);
    out.F32(f.second);
    out.U32(f.third);
}

std::string ModuleWordsChunk::Describe() const { return "words " + WordsText(fields_.words); }

std::string ModuleAcousticsChunk::Describe() const {
    return "values " + std::to_string(fields_.first) + " " + std::to_string(fields_.second) + " " +
           std::to_string(fields_.third);
}
