#include "sound/sound_bank.h"

#include <cstring>

#include "core/bytes.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sound/sound_names.h"

namespace {

constexpr char kBankMagic[] = "FILECHNK";
constexpr size_t kHeaderSize = 16;

bool Fail(std::string* reason, std::string text) {
    if (reason) *reason = std::move(text);
    return false;
}

} // namespace

bool SoundBank::Load(std::string_view fileName, std::string* reason) {
    std::string image;
    if (!plat::ReadWholeFile(fileName, image)) return Fail(reason, "cannot read the file");
    if (!Parse(std::move(image), reason)) return false;
    fileName_ = fileName;
    directory_ = plat::GetCurrentDir() + "/" + std::string(fileName.substr(0, fileName.find('.')));
    return true;
}

bool SoundBank::Parse(std::string image, std::string* reason) {
    ByteReader in(image);
    char magic[8];
    if (!in.Bytes(magic, sizeof magic) || std::memcmp(magic, kBankMagic, sizeof magic) != 0)
        return Fail(reason, "not a sound bank (no FILECHNK)");
    const uint32_t total = in.U32();
    const int32_t version = in.I32();
    if (!in.ok() || total < kHeaderSize + 4 || total > image.size())
        return Fail(reason, "the total size does not match the file");
    image.resize(total);
    in = ByteReader(image);
    in.Seek(kHeaderSize);
    const int32_t count = in.I32();
    const size_t entrySize = version >= 2 ? 20 : 16; // the smallest entry: a 4-byte name
    if (count < 0 || static_cast<uint64_t>(count) * entrySize > in.remaining())
        return Fail(reason, "the entry count does not fit in the file");

    std::vector<SoundBankEntry> entries(static_cast<size_t>(count));
    for (size_t i = 0; i < entries.size(); ++i) {
        SoundBankEntry& e = entries[i];
        const int32_t length = in.I32();
        if (length <= 0 || length % 4 != 0 || !in.Has(static_cast<size_t>(length)))
            return Fail(reason, "entry " + std::to_string(i) + ": bad name length");
        const std::string_view stored(reinterpret_cast<const char*>(in.cursor()), static_cast<size_t>(length));
        if (stored.find('\0') == std::string_view::npos)
            return Fail(reason, "entry " + std::to_string(i) + ": unterminated name");
        e.name = std::string(SoundNameText(stored));
        e.name.resize(static_cast<size_t>(length), '\0');
        in.Skip(static_cast<size_t>(length));
        e.firstWord = in.I32();
        if (version >= 2) e.cueWord = in.I32();
        e.offset = in.U32();
        if (!in.ok()) return Fail(reason, "entry " + std::to_string(i) + ": truncated");
        if (e.offset < kHeaderSize || e.offset >= total)
            return Fail(reason, "entry " + std::to_string(i) + ": offset outside the file");
    }

    image_ = std::move(image);
    for (SoundBankEntry& e : entries) e.record = std::string_view(image_).substr(e.offset);
    entries_ = std::move(entries);
    version_ = version;
    table_.Clear();
    for (size_t i = 0; i < entries_.size(); ++i)
        table_.Insert(static_cast<int32_t>(i), SoundNameKey(entries_[i].name));
    entrySamples_.assign(entries_.size(), 0);
    return true;
}

int32_t SoundBank::Find(std::string_view padded) const {
    const auto* found = table_.Find(SoundNameKey(padded), [&](int32_t i) {
        return SoundNamesMatch(entries_[static_cast<size_t>(i)].name, padded);
    });
    return found ? found->Payload : -1;
}

std::vector<int32_t> SoundBank::TableOrder() const {
    std::vector<int32_t> order;
    HashTable<int32_t>::Iterator it;
    for (it.Begin(table_); !it.AtEnd(); it.Next()) order.push_back(it.Current()->Payload);
    return order;
}

std::vector<uint8_t> WriteSoundBank(int32_t version, const std::vector<SoundBankItem>& items) {
    const size_t cueWord = version >= 2 ? 4 : 0;
    size_t offset = kHeaderSize + 4;
    std::vector<std::string> names;
    for (const SoundBankItem& item : items) {
        names.push_back(PaddedSoundName(item.name));
        offset += 4 + names.back().size() + 4 + cueWord + 4;
    }
    ByteWriter out;
    out.Bytes(kBankMagic, 8);
    out.U32(0); // total size, patched below
    out.I32(version);
    out.U32(static_cast<uint32_t>(items.size()));
    for (size_t i = 0; i < items.size(); ++i) {
        out.U32(static_cast<uint32_t>(names[i].size()));
        out.Bytes(names[i].data(), names[i].size());
        out.I32(0);
        if (cueWord) out.I32(items[i].cue ? 1 : 0);
        out.U32(static_cast<uint32_t>(offset));
        offset += (items[i].record.size() + 3) / 4 * 4;
    }
    for (const SoundBankItem& item : items) {
        out.Bytes(item.record.data(), item.record.size());
        out.Zeros((4 - item.record.size() % 4) % 4);
    }
    out.PatchU32(8, static_cast<uint32_t>(out.size()));
    return std::move(out.bytes());
}
