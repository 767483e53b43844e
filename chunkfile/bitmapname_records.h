#pragma once
// The chunks that stand beside a bitmap-name list in its parent:
//   BMNAMVER  i32 version of the lists
//   BMNAMEXT  extension word (bits 0-7 kept); 48-byte kept block
//   BMPMD5ID  kept word; identity flags (bits 0-7 kept); type word; the
//             bitmap's 16-byte MD5 digest; the bitmap name, first owner name
//             and second owner name, zero-terminated back to back, padded
// and the string runs they share with the other bitmap chunks.

#include <array>
#include <initializer_list>
#include <string>

#include "chunkfile/fieldchunk.h"

// Zero-terminated strings back to back, the whole padded with zero bytes to
// a multiple of 4. Reading fails when a terminator lies beyond the data;
// padding that the data cuts short is skipped as far as it goes.
bool ReadStringRun(ByteReader& in, std::initializer_list<std::string*> strings);
void WriteStringRun(ByteWriter& out, std::initializer_list<const std::string*> strings);

struct BitmapNamesVersion {
    int32_t version = 0;
};
bool ReadFields(ByteReader& in, BitmapNamesVersion& f);
void WriteFields(ByteWriter& out, const BitmapNamesVersion& f);

// BMNAMVER.
class BitmapNamesVersionChunk final : public FieldChunk<BitmapNamesVersion> {
public:
    using Fields = BitmapNamesVersion;
    using FieldChunk::FieldChunk;
    BitmapNamesVersionChunk(ParentChunk* parent, int32_t version);

    int32_t Version() const { return fields_.version; }
    void SetVersion(int32_t version) { fields_.version = version; }
};

// The 52-byte extension record of the bitmap lists.
struct BitmapNamesExtension {
    uint32_t word = 0; // bits 0-7 kept; bit 1 is the identity flag of SHBMPNAM
    std::array<uint8_t, 48> block{};
};
bool ReadFields(ByteReader& in, BitmapNamesExtension& f);
void WriteFields(ByteWriter& out, const BitmapNamesExtension& f);

// BMNAMEXT.
class BitmapNamesExtensionChunk final : public FieldChunk<BitmapNamesExtension> {
public:
    using Fields = BitmapNamesExtension;
    using FieldChunk::FieldChunk;
    // All zero.
    explicit BitmapNamesExtensionChunk(ParentChunk* parent);
};

using BitmapDigest = std::array<uint8_t, 16>;

// A bitmap identity's key: the bitmap name and a type word.
struct BitmapKey {
    std::string name;
    uint32_t type = 0;
};

struct BitmapIdentity {
    uint32_t keptWord = 0;
    uint32_t flags = 0; // bits 0-7 kept
    uint32_t type = 0;
    BitmapDigest digest{};
    std::string name;
    std::string firstOwner;
    std::string secondOwner;
};
bool ReadFields(ByteReader& in, BitmapIdentity& f);
void WriteFields(ByteWriter& out, const BitmapIdentity& f);

// BMPMD5ID: ties a bitmap name (and its list's owners) to a digest.
class BitmapIdentityChunk final : public FieldChunk<BitmapIdentity> {
public:
    using Fields = BitmapIdentity;
    using FieldChunk::FieldChunk;
    // Flags 0, kept word 0.
    BitmapIdentityChunk(ParentChunk* parent, const BitmapDigest& digest, const BitmapKey& key, std::string firstOwner,
                        std::string secondOwner);

    std::string Describe() const override;
};
