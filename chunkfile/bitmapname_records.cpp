#include "chunkfile/bitmapname_records.h"

bool ReadStringRun(ByteReader& in, std::initializer_list<std::string*> strings) {
    size_t used = 0;
    for (std::string* s : strings) {
        if (!in.CString(*s)) return false;
        used += s->size() + 1;
    }
    const size_t padding = (4 - used % 4) % 4;
    return in.Skip(std::min(padding, in.remaining()));
}

void WriteStringRun(ByteWriter& out, std::initializer_list<const std::string*> strings) {
    size_t used = 0;
    for (const std::string* s : strings) {
        out.Bytes(s->data(), s->size());
        out.U8(0);
        used += s->size() + 1;
    }
    out.Zeros((4 - used % 4) % 4);
}

bool ReadFields(ByteReader& in, BitmapNamesVersion& f) { return in.I32(f.version); }

void WriteFields(ByteWriter& out, const BitmapNamesVersion& f) { out.I32(f.version); }

bool ReadFields(ByteReader& in, BitmapNamesExtension& f) {
    f.word = in.U32() & 0xFF;
    return in.Bytes(f.block.data(), f.block.size());
}

void WriteFields(ByteWriter& out, const BitmapNamesExtension& f) {
    out.U32(f.word);
    out.Bytes(f.block.data(), f.block.size());
}

bool ReadFields(ByteReader& in, BitmapIdentity& f) {
    f.keptWord = in.U32();
    f.flags = in.U32() & 0xFF;
    f.type = in.U32();
    return in.Bytes(f.digest.data(), f.digest.size()) && ReadStringRun(in, {&f.name, &f.firstOwner, &f.secondOwner});
}

void WriteFields(ByteWriter& out, const BitmapIdentity& f) {
    out.U32(f.keptWord);
    out.U32(f.flags);
    out.U32(f.type);
    out.Bytes(f.digest.data(), f.digest.size());
    WriteStringRun(out, {&f.name, &f.firstOwner, &f.secondOwner});
}

BitmapNamesVersionChunk::BitmapNamesVersionChunk(ParentChunk* parent, int32_t version)
    : FieldChunk(parent, "BMNAMVER", {version}) {}

BitmapNamesExtensionChunk::BitmapNamesExtensionChunk(ParentChunk* parent) : FieldChunk(parent, "BMNAMEXT", {}) {}

BitmapIdentityChunk::BitmapIdentityChunk(ParentChunk* parent, const BitmapDigest& digest, const BitmapKey& key,
                                         std::string firstOwner, std::string secondOwner)
    : FieldChunk(parent, "BMPMD5ID",
                 {0, 0, key.type, digest, key.name, std::move(firstOwner), std::move(secondOwner)}) {}

std::string BitmapIdentityChunk::Describe() const {
    return "name \"" + fields_.name + "\" type " + std::to_string(fields_.type);
}
