#pragma once
// Sound descriptions in model and level files.
//
//   SOUNDOB2  ten kept parameter words; the sound's name and a second string
//             (empty when absent), each zero-terminated, back to back, padded
//   SOUNDEXD  children only: SOUNDNAM (the sound it extends), ALTLOCAT, ...
//   SOUNDNAM  the name of the sound extended (padded string)
//   INDSOUND  i32 index; the sound's name (padded string); five words; u32 n;
//             n words. The model loader keeps a table of them by index.

#include <string>
#include <vector>

#include "chunkfile/fieldchunk.h"
#include "chunkfile/shortdigest.h"

class SoundExtensionChunk;

struct SoundObject {
    uint32_t words[10] = {};
    std::string name;
    std::string second;
};
bool ReadFields(ByteReader& in, SoundObject& f);
void WriteFields(ByteWriter& out, const SoundObject& f);

// SOUNDOB2: a named sound object.
class SoundObjectChunk final : public FieldChunk<SoundObject> {
public:
    using Fields = SoundObject;
    using FieldChunk::FieldChunk;
    // Parameter words 1-3 from `first`, the others 0; no second string.
    SoundObjectChunk(ParentChunk* parent, const uint32_t (&first)[3], std::string name);

    const std::string& Name() const { return fields_.name; }
    // The short digest of the name.
    ShortDigest GetNameKey() const;

    // Among the SOUNDEXD siblings in order, the first whose first SOUNDNAM
    // holds exactly this name; null for none (or without a parent).
    SoundExtensionChunk* FindExtension() const;
    // The extension found, or a new one appended to the parent (null without one).
    SoundExtensionChunk* GetOrMakeExtension();
    // The ALTLOCAT child of the extension found; null for none.
    Chunk* FindAltLocation() const;
    // The ALTLOCAT child of GetOrMakeExtension's extension, made empty when missing.
    Chunk* GetOrMakeAltLocation();
    std::string Describe() const override;
};

struct SoundName {
    std::string name;
};
bool ReadFields(ByteReader& in, SoundName& f);
void WriteFields(ByteWriter& out, const SoundName& f);

// SOUNDNAM.
class SoundNameChunk final : public FieldChunk<SoundName> {
public:
    using Fields = SoundName;
    using FieldChunk::FieldChunk;
    SoundNameChunk(ParentChunk* parent, std::string name);

    const std::string& Name() const { return fields_.name; }
    std::string Describe() const override;
};

// SOUNDEXD: extends the sound object of its SOUNDNAM's name.
class SoundExtensionChunk final : public ParentChunk {
public:
    SoundExtensionChunk(ParentChunk* parent, const RawChunk& raw);
    // A new extension with a SOUNDNAM holding the sound's name.
    SoundExtensionChunk(ParentChunk* parent, const SoundObjectChunk& sound);

    // The first SOUNDOB2 sibling named as the first SOUNDNAM child says;
    // null without SOUNDNAM or match.
    SoundObjectChunk* FindSoundObject() const;
};

struct IndexedSound {
    int32_t index = 0;
    std::string name;
    uint32_t words[5] = {};
    std::vector<uint32_t> more;
};
bool ReadFields(ByteReader& in, IndexedSound& f);
void WriteFields(ByteWriter& out, const IndexedSound& f);

// INDSOUND: a sound that animation frames name by index.
class IndexedSoundChunk final : public FieldChunk<IndexedSound> {
public:
    using Fields = IndexedSound;
    using FieldChunk::FieldChunk;
    // Index 0, no name, all words 0.
    explicit IndexedSoundChunk(ParentChunk* parent);

    int32_t Index() const { return fields_.index; }
    const std::string& Name() const { return fields_.name; }
    std::string Describe() const override;
};

// Registers the sound chunk classes; called once at start-up (later calls
// do nothing).
void RegisterSoundChunkClasses();
