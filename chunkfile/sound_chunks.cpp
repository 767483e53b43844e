#include "chunkfile/sound_chunks.h"

#include <mutex>

#include "chunkfile/chunkregistry.h"
#include "chunkfile/object_track.h"

bool ReadFields(ByteReader& in, SoundObject& f) {
    for (uint32_t& w : f.words) in.U32(w);
    if (!in.CString(f.name)) return false;
    f.second.clear();
    return in.remaining() == 0 || in.CString(f.second);
}

void WriteFields(ByteWriter& out, const SoundObject& f) {
    for (uint32_t w : f.words) out.U32(w);
    // The strings, each with its zero byte, padded to a multiple of 4; a
    // sound without a second string always ends in at least two zero bytes.
    const size_t used = f.name.size() + f.second.size() + 2;
    const size_t padded = f.second.empty() ? (used + 4) & ~size_t{3} : (used + 3) & ~size_t{3};
    out.Bytes(f.name.data(), f.name.size());
    out.U8(0);
    out.Bytes(f.second.data(), f.second.size());
    out.Zeros(padded - used + 1);
}

bool ReadFields(ByteReader& in, SoundName& f) { return ReadPaddedString(in, f.name); }

void WriteFields(ByteWriter& out, const SoundName& f) { WritePaddedString(out, f.name); }

bool ReadFields(ByteReader& in, IndexedSound& f) {
    if (!in.I32(f.index) || !ReadPaddedString(in, f.name)) return false;
    for (uint32_t& w : f.words) in.U32(w);
    return in.ok() && ReadWordArray(in, f.more);
}

void WriteFields(ByteWriter& out, const IndexedSound& f) {
    out.I32(f.index);
    WritePaddedString(out, f.name);
    for (uint32_t w : f.words) out.U32(w);
    WriteWordArray(out, f.more);
}

SoundObjectChunk::SoundObjectChunk(ParentChunk* parent, const uint32_t (&first)[3], std::string name)
    : FieldChunk(parent, "SOUNDOB2", {{first[0], first[1], first[2]}, std::move(name), {}}) {}

ShortDigest SoundObjectChunk::GetNameKey() const { return ComputeShortDigest(fields_.name); }

SoundExtensionChunk* SoundObjectChunk::FindExtension() const {
    for (Chunk* c = Parent() ? Parent()->FirstChild() : nullptr; c; c = c->Next()) {
        auto* extension = c->HasId("SOUNDEXD") ? dynamic_cast<SoundExtensionChunk*>(c) : nullptr;
        const auto* name = extension ? FindChildAs<SoundNameChunk>(*extension, "SOUNDNAM") : nullptr;
        if (name && name->Name() == fields_.name) return extension;
    }
    return nullptr;
}

SoundExtensionChunk* SoundObjectChunk::GetOrMakeExtension() {
    if (SoundExtensionChunk* found = FindExtension()) return found;
    return Parent() ? new SoundExtensionChunk(Parent(), *this) : nullptr;
}

Chunk* SoundObjectChunk::FindAltLocation() const {
    const SoundExtensionChunk* extension = FindExtension();
    return extension ? extension->FindChild("ALTLOCAT") : nullptr;
}

Chunk* SoundObjectChunk::GetOrMakeAltLocation() {
    SoundExtensionChunk* extension = GetOrMakeExtension();
    if (!extension) return nullptr;
    if (Chunk* found = extension->FindChild("ALTLOCAT")) return found;
    return new AlternateLocationChunk(extension);
}

std::string SoundObjectChunk::Describe() const { return "name \"" + fields_.name + "\""; }

SoundNameChunk::SoundNameChunk(ParentChunk* parent, std::string name)
    : FieldChunk(parent, "SOUNDNAM", {std::move(name)}) {}

std::string SoundNameChunk::Describe() const { return "name \"" + fields_.name + "\""; }

SoundExtensionChunk::SoundExtensionChunk(ParentChunk* parent, const RawChunk& raw) : ParentChunk(parent, raw.Id()) {
    CreateChildren(raw.Data());
}

SoundExtensionChunk::SoundExtensionChunk(ParentChunk* parent, const SoundObjectChunk& sound)
    : ParentChunk(parent, "SOUNDEXD") {
    new SoundNameChunk(this, sound.Name());
}

SoundObjectChunk* SoundExtensionChunk::FindSoundObject() const {
    const auto* name = FindChildAs<SoundNameChunk>(*this, "SOUNDNAM");
    for (Chunk* c = name && Parent() ? Parent()->FirstChild() : nullptr; c; c = c->Next()) {
        auto* sound = c->HasId("SOUNDOB2") ? dynamic_cast<SoundObjectChunk*>(c) : nullptr;
        if (sound && sound->Name() == name->Name()) return sound;
    }
    return nullptr;
}

IndexedSoundChunk::IndexedSoundChunk(ParentChunk* parent) : FieldChunk(parent, "INDSOUND", {}) {}

std::string IndexedSoundChunk::Describe() const {
    return "index " + std::to_string(fields_.index) + " name \"" + fields_.name + "\"";
}

void RegisterSoundChunkClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        ChunkRegistry& r = ChunkRegistry::Global();
        r.Register("SOUNDOB2", {}, CreateFieldChunk<SoundObjectChunk>);
        r.Register("SOUNDEXD", {}, CreateParentChunk<SoundExtensionChunk>);
        r.Register("SOUNDNAM", {}, CreateFieldChunk<SoundNameChunk>);
        r.Register("INDSOUND", {}, CreateFieldChunk<IndexedSoundChunk>);
    });
}
