#include "chunkfile/bitmapname_list.h"

#include <algorithm>
#include <mutex>

#include "chunkfile/bitmapname_match.h"
#include "chunkfile/chunkregistry.h"
#include "chunkfile/filelevelchunks.h"
#include "chunkfile/nametext.h"

namespace {

constexpr uint32_t kMinEntrySize = 24;

bool ReadEntry(ByteReader& in, BitmapNameEntry& e) {
    e.flags = in.U32();
    e.textureIndex = in.I32();
    const uint32_t packed = in.U32();
    e.value20 = packed & 0xFFFFF;
    e.value12 = packed >> 20;
    e.value6 = in.U32();
    e.sizeWord = in.U32();
    return in.ok() && ReadPaddedString(in, e.name);
}

void WriteEntry(ByteWriter& out, const BitmapNameEntry& e) {
    out.U32(e.flags);
    out.I32(e.textureIndex);
    out.U32((e.value20 & 0xFFFFF) | (e.value12 << 20));
    out.U32(e.value6);
    out.U32(e.sizeWord);
    WritePaddedString(out, e.name);
}

} // namespace

void BitmapNameEntry::ResetDefaults() {
    if (flags & kKeepDefaults) return;
    value6 = 6;
    flags |= kDefaultFlags;
}

bool BitmapNameEntry::operator==(const BitmapNameEntry& other) const {
    return this == &other || (!name.empty() && !other.name.empty() && EqualsIgnoringCase(name, other.name));
}

BitmapNameList::BitmapNameList(ParentChunk* parent, std::string_view id, std::vector<BitmapNameEntry> entries)
    : Chunk(parent, id), entries_(std::move(entries)) {}

int32_t BitmapNameList::LargestIndex() const {
    int32_t largest = 0;
    for (const BitmapNameEntry& e : entries_) largest = std::max(largest, e.textureIndex);
    return largest;
}

BitmapNamesVersionChunk* BitmapNameList::MergeVersions() {
    if (!Parent()) return nullptr;
    for (;;) {
        BitmapNamesVersionChunk* first = nullptr;
        BitmapNamesVersionChunk* second = nullptr;
        for (Chunk* c = Parent()->FirstChild(); c && !second; c = c->Next())
            if (auto* v = c->HasId("BMNAMVER") ? dynamic_cast<BitmapNamesVersionChunk*>(c) : nullptr)
                (first ? second : first) = v;
        if (!second) return first;
        delete (first->Version() > second->Version() ? second : first);
    }
}

int32_t BitmapNameList::GetVersion() {
    const BitmapNamesVersionChunk* version = MergeVersions();
    return version ? version->Version() : 0;
}

void BitmapNameList::SetVersion(int32_t version) {
    if (!Parent()) return;
    if (BitmapNamesVersionChunk* chunk = MergeVersions())
        chunk->SetVersion(version);
    else
        new BitmapNamesVersionChunk(Parent(), version);
}

void BitmapNameList::BumpVersion() {
    if (!Parent()) return;
    if (BitmapNamesVersionChunk* chunk = MergeVersions())
        chunk->SetVersion(chunk->Version() + 1);
    else
        new BitmapNamesVersionChunk(Parent(), 1);
}

BitmapNamesExtension* BitmapNameList::GetExtension() {
    if (!Parent()) return nullptr;
    auto* chunk = FindChildAs<BitmapNamesExtensionChunk>(*Parent(), "BMNAMEXT");
    if (!chunk) chunk = new BitmapNamesExtensionChunk(Parent());
    return &chunk->Data();
}

BitmapIdentityChunk* BitmapNameList::FindIdentityChunk(std::string_view name) {
    if (!Parent()) return nullptr;
    const IdentityScope scope = Scope();
    for (Chunk* c = Parent()->FirstChild(); c; c = c->Next()) {
        auto* identity = c->HasId("BMPMD5ID") ? dynamic_cast<BitmapIdentityChunk*>(c) : nullptr;
        if (!identity) continue;
        const BitmapIdentity& f = identity->Data();
        if (f.name == name && f.firstOwner == scope.firstOwner && f.secondOwner == scope.secondOwner &&
            (!scope.flag || (f.flags & 1) == *scope.flag))
            return identity;
    }
    return nullptr;
}

BitmapIdentityChunk* BitmapNameList::CreateIdentityChunk(const BitmapKey& key, const BitmapDigest& digest) {
    if (!Parent()) return nullptr;
    IdentityScope scope = Scope();
    auto* identity = new BitmapIdentityChunk(Parent(), digest, key, std::move(scope.firstOwner),
                                             std::move(scope.secondOwner));
    identity->Data().flags = scope.flag.value_or(0);
    return identity;
}

const BitmapDigest* BitmapNameList::FindIdentity(const BitmapKey& key) {
    const BitmapIdentityChunk* identity = FindIdentityChunk(key.name);
    return identity && identity->Data().type == key.type ? &identity->Data().digest : nullptr;
}

const BitmapDigest* BitmapNameList::SetIdentity(const BitmapKey& key, const BitmapDigest& digest) {
    BitmapIdentityChunk* identity = FindIdentityChunk(key.name);
    if (identity && identity->Data().type == key.type) {
        identity->Data().digest = digest;
        return &identity->Data().digest;
    }
    delete identity;
    identity = CreateIdentityChunk(key, digest);
    return identity ? &identity->Data().digest : nullptr;
}

void BitmapNameList::RemoveIdentity(std::string_view name) { delete FindIdentityChunk(name); }

bool BitmapNameList::ReadList(ByteReader& in, std::vector<BitmapNameEntry>& entries, int32_t& version) {
    const uint32_t header = in.U32();
    const uint32_t count = header & 0xFFFF;
    version = static_cast<int32_t>(header >> 16);
    if (!in.ok() || count > in.remaining() / kMinEntrySize) return false;
    entries.resize(count);
    for (BitmapNameEntry& e : entries)
        if (!ReadEntry(in, e)) return false;
    return true;
}

void BitmapNameList::WriteList(ByteWriter& out) const {
    out.U32(static_cast<uint32_t>(entries_.size()) & 0xFFFF);
    for (const BitmapNameEntry& e : entries_) WriteEntry(out, e);
}

uint32_t BitmapNameList::SizeChunk() {
    ByteWriter data;
    WriteData(data);
    return StoreSize(kChunkHeaderSize + static_cast<uint32_t>(data.size()));
}

void BitmapNameList::FillDataBlock(ByteWriter& out) {
    WriteHeader(out);
    WriteData(out);
}

std::string BitmapNameList::Describe() const { return "entries " + std::to_string(entries_.size()); }

template <class T, class Make>
Chunk* BitmapNameList::CreateList(const RawChunk& raw, Make make) {
    ByteReader in = raw.Reader();
    std::vector<BitmapNameEntry> entries;
    int32_t version = 0;
    T* list = ReadList(in, entries, version) ? make(in, std::move(entries)) : nullptr;
    if (!list) {
        ReportMalformedChunk(raw.bytes);
        return nullptr;
    }
    if (version != 0) list->BitmapNameList::SetVersion(version);
    return list;
}

Chunk* BitmapNameListChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    return CreateList<BitmapNameListChunk>(raw, [&](ByteReader&, std::vector<BitmapNameEntry> entries) {
        return new BitmapNameListChunk(parent, raw.Id(), std::move(entries));
    });
}

Chunk* BitmapListSetChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    return CreateList<BitmapListSetChunk>(raw, [&](ByteReader&, std::vector<BitmapNameEntry> entries) {
        return new BitmapListSetChunk(parent, raw.Id(), std::move(entries));
    });
}

BitmapNameList::IdentityScope BitmapListSetChunk::Scope() const {
    const auto* source = Parent() ? FindChildAs<SourceNameChunk>(*Parent(), "QIFFNAME") : nullptr;
    return {source ? source->Name() : std::string(), {}, std::nullopt};
}

ShapeBitmapNameChunk::ShapeBitmapNameChunk(ParentChunk* parent, std::string firstOwner, std::string secondOwner)
    : BitmapNameList(parent, "SHBMPNAM", {}), firstOwner_(std::move(firstOwner)), secondOwner_(std::move(secondOwner)) {}

Chunk* ShapeBitmapNameChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    return CreateList<ShapeBitmapNameChunk>(
        raw, [&](ByteReader& in, std::vector<BitmapNameEntry> entries) -> ShapeBitmapNameChunk* {
            std::string first, second;
            BitmapNamesExtension extension;
            if (!ReadStringRun(in, {&first, &second})) return nullptr;
            extension.word = in.U32() & 0xFF;
            const int32_t version = in.I32();
            if (!in.Bytes(extension.block.data(), extension.block.size())) return nullptr;
            auto* list = new ShapeBitmapNameChunk(parent, std::move(first), std::move(second));
            list->Entries() = std::move(entries);
            list->extension_ = extension;
            list->version_ = version;
            return list;
        });
}

BitmapNameList::IdentityScope ShapeBitmapNameChunk::Scope() const {
    return {firstOwner_, secondOwner_, (extension_.word >> 1) & 1};
}

void ShapeBitmapNameChunk::WriteData(ByteWriter& out) const {
    WriteList(out);
    WriteStringRun(out, {&firstOwner_, &secondOwner_});
    out.U32(extension_.word);
    out.I32(version_);
    out.Bytes(extension_.block.data(), extension_.block.size());
}

void RegisterBitmapNameChunkClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        ChunkRegistry& r = ChunkRegistry::Global();
        r.Register("BMPNAMES", {}, BitmapNameListChunk::Create);
        r.Register("BMPLSTST", {}, BitmapListSetChunk::Create);
        r.Register("SHBMPNAM", {}, ShapeBitmapNameChunk::Create);
        r.Register("BMNAMVER", {}, CreateFieldChunk<BitmapNamesVersionChunk>);
        r.Register("BMNAMEXT", {}, CreateFieldChunk<BitmapNamesExtensionChunk>);
        r.Register("BMPMD5ID", {}, CreateFieldChunk<BitmapIdentityChunk>);
        r.Register("MATCHIMG", {}, CreateFieldChunk<ImageMatchChunk>);
    });
}
