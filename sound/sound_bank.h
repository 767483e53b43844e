#pragma once
// A loaded sound bank ("FILECHNK"): a directory of named entries, each a wave
// record or a cue record in the file image. Entries are found by name
// through a 64-bucket table; its order (buckets ascending, the latest entry
// of a bucket first) is the order in which a permanent bank is loaded.
//
//   0  8  "FILECHNK"
//   8  4  total size of the file
//  12  4  version (below 2: entries have no cue word)
//  16  4  entry count N
//  20 ... N entries: name length L (a multiple of 4), the name (L bytes,
//         zero-terminated and zero-padded), a word, in version 2 and later
//         the cue word (non-zero: a cue), the record's offset in the file.
//
// Every size, count, name and offset is checked against the file.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/hashtable.h"

struct SoundBankEntry {
    std::string name; // padded, as stored
    int32_t firstWord = 0;
    int32_t cueWord = 0;
    uint32_t offset = 0;
    std::string_view record; // from the offset to the end of the file image
};

// One entry of a bank to write.
struct SoundBankItem {
    std::string name;
    bool cue = false;
    std::vector<uint8_t> record;
};

constexpr int32_t kSoundBankVersion = 2;

class SoundBank {
public:
    SoundBank() = default;
    SoundBank(const SoundBank&) = delete;
    SoundBank& operator=(const SoundBank&) = delete;

    // Reads a bank file relative to the current directory; its loose files
    // lie in the folder named like the file without its extension beside it.
    // False, with the reason, when the file cannot be read or is not a bank.
    bool Load(std::string_view fileName, std::string* reason);
    // Takes a whole bank file image; false, with the reason, when it is not a bank.
    bool Parse(std::string image, std::string* reason);

    int32_t Version() const { return version_; }
    const std::vector<SoundBankEntry>& Entries() const { return entries_; }
    // The entry with this padded name (case-insensitive), or -1.
    int32_t Find(std::string_view padded) const;
    // Entry positions in table order.
    std::vector<int32_t> TableOrder() const;

    const std::string& FileName() const { return fileName_; }
    const std::string& Directory() const { return directory_; }
    // The slot each entry of a non-positive sample number received (0: none yet).
    std::vector<int32_t>& EntrySamples() { return entrySamples_; }

private:
    HashTable<int32_t> table_{64};
    std::string image_;
    std::vector<SoundBankEntry> entries_;
    std::vector<int32_t> entrySamples_;
    int32_t version_ = 0;
    std::string fileName_;
    std::string directory_;
};

// A bank file of the items in order, each record placed after the directory.
std::vector<uint8_t> WriteSoundBank(int32_t version, const std::vector<SoundBankItem>& items);
