#pragma once
// Bitmap-name lists: the bitmaps a file's shapes are textured with.
//
//   BMPNAMES, BMPLSTST  header word (bits 0-15 entry count, bits 16-31 a
//                       version, always written as 0); the entries
//   SHBMPNAM            the same list, then its first and second owner names
//                       (zero-terminated back to back, padded), its extension
//                       word (bits 0-7 kept), its version and a 48-byte block
// An entry: flags, texture index, the 20-bit and 12-bit values packed in one
// word (bits 0-19, 20-31), the value with default 6, the image size word
// (width bits 0-15, height bits 16-31), the bitmap name (padded string).
//
// A list read with a non-zero version hands it to a BMNAMVER sibling (see
// SetVersion). Beside a list, in its parent, stand the version (BMNAMVER),
// the extension (BMNAMEXT) and the identities (BMPMD5ID) it uses; SHBMPNAM
// keeps its own version and extension.

#include <optional>
#include <string>
#include <vector>

#include "chunkfile/bitmapname_records.h"

struct BitmapNameEntry {
    static constexpr uint32_t kDefaultFlags = 0x10C;
    static constexpr uint32_t kKeepDefaults = 0x100;

    std::string name;
    uint32_t flags = kDefaultFlags;
    int32_t textureIndex = 0;
    uint32_t value20 = 0; // kept, 20 bits
    uint32_t value12 = 0; // kept, 12 bits
    uint32_t value6 = 6;  // kept, default 6
    uint32_t sizeWord = 0;

    BitmapNameEntry() = default;
    explicit BitmapNameEntry(std::string bitmap) : name(std::move(bitmap)) {}
    // The 20-bit value is a x 256.
    BitmapNameEntry(std::string bitmap, uint32_t a) : name(std::move(bitmap)), value20((a * 256) & 0xFFFFF) {}

    uint32_t Width() const { return sizeWord & 0xFFFF; }
    uint32_t Height() const { return sizeWord >> 16; }
    // Unless flag 0x100 is set: the value with default 6 becomes 6 and the
    // default flags are set.
    void ResetDefaults();
    // The same entry, or both named and the names equal ignoring case.
    bool operator==(const BitmapNameEntry& other) const;
};

class BitmapNameList : public Chunk {
public:
    std::vector<BitmapNameEntry>& Entries() { return entries_; }
    const std::vector<BitmapNameEntry>& Entries() const { return entries_; }
    // The largest texture index of the entries; 0 when none is larger.
    int32_t LargestIndex() const;

    // The version of the lists: the parent's BMNAMVER, after merging several
    // into the one of the largest version; 0 when none.
    virtual int32_t GetVersion();
    // Merges as GetVersion, then sets the version, adding a BMNAMVER to the
    // parent when there is none.
    virtual void SetVersion(int32_t version);
    // Adds one to the version (a new BMNAMVER holds 1).
    virtual void BumpVersion();
    // The parent's first BMNAMEXT record, added (zero) when missing.
    virtual BitmapNamesExtension* GetExtension();
    // Without a parent the four above answer 0 or null and change nothing.

    // The digest of the key's bitmap when its identity has the key's type.
    const BitmapDigest* FindIdentity(const BitmapKey& key);
    // Sets the key's identity, replacing one of another type; returns its digest.
    const BitmapDigest* SetIdentity(const BitmapKey& key, const BitmapDigest& digest);
    void RemoveIdentity(std::string_view name);
    // The first BMPMD5ID sibling of this list for the bitmap; null for none.
    BitmapIdentityChunk* FindIdentityChunk(std::string_view name);
    // A new BMPMD5ID under the parent for this list; null without a parent.
    BitmapIdentityChunk* CreateIdentityChunk(const BitmapKey& key, const BitmapDigest& digest);

    uint32_t SizeChunk() override;
    void FillDataBlock(ByteWriter& out) override;
    std::string Describe() const override;

protected:
    BitmapNameList(ParentChunk* parent, std::string_view id, std::vector<BitmapNameEntry> entries);

    // Which BMPMD5ID siblings belong to this list: owner names, and the
    // identity flag bit 0 that they must carry (none: any).
    struct IdentityScope {
        std::string firstOwner;
        std::string secondOwner;
        std::optional<uint32_t> flag;
    };
    virtual IdentityScope Scope() const = 0;

    // The list part: header word and entries. Reading gives the header's version.
    static bool ReadList(ByteReader& in, std::vector<BitmapNameEntry>& entries, int32_t& version);
    void WriteList(ByteWriter& out) const;
    // The whole data; lists with more than the list part override it.
    virtual void WriteData(ByteWriter& out) const { WriteList(out); }
    // Reads the list part of `raw`, then has `make` read the rest and make the
    // list (null when the rest does not fit); a non-zero version goes to the
    // parent's BMNAMVER. Null, reported malformed, when the data does not fit.
    template <class T, class Make>
    static Chunk* CreateList(const RawChunk& raw, Make make);

private:
    BitmapNamesVersionChunk* MergeVersions();

    std::vector<BitmapNameEntry> entries_;
};

// BMPNAMES: the file's texture list (in QORENVDT); identities without owners.
class BitmapNameListChunk final : public BitmapNameList {
public:
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);

private:
    using BitmapNameList::BitmapNameList;
    IdentityScope Scope() const override { return {}; }
};

// BMPLSTST: identities owned by the parent's QIFFNAME name.
class BitmapListSetChunk final : public BitmapNameList {
public:
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);

private:
    using BitmapNameList::BitmapNameList;
    IdentityScope Scope() const override;
};

// SHBMPNAM: a list with two owner names and its own version and extension.
class ShapeBitmapNameChunk final : public BitmapNameList {
public:
    // An empty list, extension zero, version 0.
    ShapeBitmapNameChunk(ParentChunk* parent, std::string firstOwner, std::string secondOwner);
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);

    int32_t GetVersion() override { return version_; }
    void SetVersion(int32_t version) override { version_ = version; }
    void BumpVersion() override { ++version_; }
    BitmapNamesExtension* GetExtension() override { return &extension_; }

private:
    IdentityScope Scope() const override;
    void WriteData(ByteWriter& out) const override;

    std::string firstOwner_;
    std::string secondOwner_;
    BitmapNamesExtension extension_;
    int32_t version_ = 0;
};

// Registers the bitmap-name chunk classes; called once at start-up (later
// calls do nothing).
void RegisterBitmapNameChunkClasses();
