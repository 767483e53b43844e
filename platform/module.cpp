#include "platform/module.h"

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/endian.h"
#include "platform/files.h"

namespace plat {

struct ResourceModule {
    std::unordered_map<uint32_t, std::string> strings; // Windows-1252
};

namespace {

constexpr uint32_t kResourceTypeString = 6;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint32_t kStringsPerBlock = 16;
constexpr uint32_t kHighBit = 0x80000000u; // named entry / subdirectory flag of a resource entry

struct Section {
    uint32_t virtualAddress;
    uint32_t mappedSize; // bytes of the section that the file holds
    uint32_t fileOffset;
};

// A PE file's bytes. Every read is checked against the file's length: a
// truncated or hostile file makes reads fail, never reach past the end.
class PeImage {
public:
    explicit PeImage(std::string bytes) : bytes_(std::move(bytes)) {}

    bool Has(uint64_t offset, uint64_t n) const { return offset <= bytes_.size() && n <= bytes_.size() - offset; }
    const uint8_t* At(uint64_t offset) const { return reinterpret_cast<const uint8_t*>(bytes_.data()) + offset; }

    bool U16(uint64_t offset, uint16_t& v) const {
        if (!Has(offset, 2)) return false;
        v = LoadU16LE(At(offset));
        return true;
    }
    bool U32(uint64_t offset, uint32_t& v) const {
        if (!Has(offset, 4)) return false;
        v = LoadU32LE(At(offset));
        return true;
    }

    // Reads the headers and the section table; false when this is not a PE image.
    bool ParseHeaders(uint32_t& resourceRva, uint32_t& resourceSize);

    // File offset of n bytes at an image address, when the file holds them all.
    std::optional<uint64_t> FileOffset(uint64_t rva, uint64_t n) const {
        for (const Section& s : sections_)
            if (rva >= s.virtualAddress && rva - s.virtualAddress <= s.mappedSize &&
                n <= s.mappedSize - (rva - s.virtualAddress))
                return s.fileOffset + (rva - s.virtualAddress);
        return std::nullopt;
    }

    bool U32AtRva(uint64_t rva, uint32_t& v) const {
        auto offset = FileOffset(rva, 4);
        return offset && U32(*offset, v);
    }

private:
    std::string bytes_;
    std::vector<Section> sections_;
};

bool PeImage::ParseHeaders(uint32_t& resourceRva, uint32_t& resourceSize) {
    constexpr uint32_t kPeSignature = 0x00004550; // "PE\0\0"
    constexpr uint16_t kPe32Magic = 0x10B, kPe32PlusMagic = 0x20B;
    constexpr uint32_t kCoffHeaderSize = 20, kSectionHeaderSize = 40, kDataDirectorySize = 8;
    uint16_t mz = 0, sectionCount = 0, optionalSize = 0, magic = 0;
    uint32_t peOffset = 0, signature = 0, directoryCount = 0;
    if (!U16(0, mz) || mz != 0x5A4D || !U32(0x3C, peOffset) || !U32(peOffset, signature) || signature != kPeSignature)
        return false;
    const uint64_t coff = uint64_t{peOffset} + 4;
    const uint64_t optional = coff + kCoffHeaderSize;
    if (!U16(coff + 2, sectionCount) || !U16(coff + 16, optionalSize) || !U16(optional, magic)) return false;
    // Where the data directories and their count lie in each optional-header form.
    uint64_t directories;
    if (magic == kPe32Magic)
        directories = optional + 96;
    else if (magic == kPe32PlusMagic)
        directories = optional + 112;
    else
        return false;
    if (!U32(directories - 4, directoryCount)) return false;
    const uint64_t resourceEntry = directories + kResourceDirectoryIndex * kDataDirectorySize;
    resourceRva = resourceSize = 0;
    if (directoryCount > kResourceDirectoryIndex && resourceEntry + kDataDirectorySize <= optional + optionalSize &&
        !(U32(resourceEntry, resourceRva) && U32(resourceEntry + 4, resourceSize)))
        return false;

    const uint64_t table = optional + optionalSize;
    if (!Has(table, uint64_t{sectionCount} * kSectionHeaderSize)) return false;
    for (uint32_t i = 0; i < sectionCount; ++i) {
        const uint8_t* h = At(table + uint64_t{i} * kSectionHeaderSize);
        const uint32_t virtualSize = LoadU32LE(h + 8), rawSize = LoadU32LE(h + 16);
        Section s{LoadU32LE(h + 12), virtualSize ? std::min(virtualSize, rawSize) : rawSize, LoadU32LE(h + 20)};
        // A loader refuses an image whose sections lie past the end of the file.
        if (rawSize && !Has(s.fileOffset, rawSize)) return false;
        if (rawSize) sections_.push_back(s);
    }
    return true;
}

// Unicode code points of the bytes 0x80 to 0x9F in Windows-1252; 0 where the code page has none.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char Cp1252FromCodePoint(uint32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (uint32_t i = 0; i < 32; ++i)
        if (kCp1252High[i] != 0 && kCp1252High[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

std::string Cp1252FromUtf16(const uint8_t* units, uint32_t count) {
    std::string out;
    out.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint16_t u = LoadU16LE(units + 2 * i);
        const bool pair = u >= 0xD800 && u <= 0xDBFF && i + 1 < count && LoadU16LE(units + 2 * i + 2) >= 0xDC00 &&
                          LoadU16LE(units + 2 * i + 2) <= 0xDFFF;
        if (pair) ++i; // a character outside the basic plane: never in the code page
        out += pair ? '?' : Cp1252FromCodePoint(u);
    }
    return out;
}

// A block of 16 strings, each a 16-bit length and that many UTF-16 units; a
// block cut short loses only the strings that do not fit.
void ReadStringBlock(const PeImage& image, uint64_t offset, uint32_t size, uint32_t firstId, ResourceModule& module) {
    const uint64_t end = offset + size;
    for (uint32_t i = 0; i < kStringsPerBlock; ++i) {
        uint16_t length = 0;
        if (offset + 2 > end || !image.U16(offset, length)) return;
        offset += 2;
        if (offset + 2ull * length > end || !image.Has(offset, 2ull * length)) return;
        if (length) module.strings[firstId + i] = Cp1252FromUtf16(image.At(offset), length);
        offset += 2ull * length;
    }
}

// The entries of one resource directory: its count of named and of id entries, then the entries.
struct DirectoryEntries {
    uint64_t first = 0; // image address of the first entry
    uint32_t count = 0;
};

std::optional<DirectoryEntries> ReadDirectory(const PeImage& image, uint64_t rva) {
    constexpr uint32_t kDirectoryHeaderSize = 16, kEntrySize = 8;
    auto offset = image.FileOffset(rva, kDirectoryHeaderSize);
    uint16_t named = 0, ids = 0;
    if (!offset || !image.U16(*offset + 12, named) || !image.U16(*offset + 14, ids)) return std::nullopt;
    DirectoryEntries entries{rva + kDirectoryHeaderSize, uint32_t{named} + ids};
    if (!image.FileOffset(entries.first, uint64_t{entries.count} * kEntrySize)) return std::nullopt;
    return entries;
}

struct Entry {
    uint32_t name;
    uint32_t target;
};

Entry EntryAt(const PeImage& image, const DirectoryEntries& dir, uint32_t i) {
    Entry e{0, 0};
    image.U32AtRva(dir.first + 8ull * i, e.name);
    image.U32AtRva(dir.first + 8ull * i + 4, e.target);
    return e;
}

// Walks type RT_STRING -> block id -> first language -> data, skipping whatever does not fit.
void ReadStringTable(const PeImage& image, uint32_t root, ResourceModule& module) {
    auto types = ReadDirectory(image, root);
    if (!types) return;
    for (uint32_t t = 0; t < types->count; ++t) {
        const Entry type = EntryAt(image, *types, t);
        if (type.name != kResourceTypeString || !(type.target & kHighBit)) continue;
        auto blocks = ReadDirectory(image, uint64_t{root} + (type.target & ~kHighBit));
        if (!blocks) return;
        for (uint32_t b = 0; b < blocks->count; ++b) {
            const Entry block = EntryAt(image, *blocks, b);
            if ((block.name & kHighBit) || block.name == 0 || !(block.target & kHighBit)) continue;
            auto languages = ReadDirectory(image, uint64_t{root} + (block.target & ~kHighBit));
            if (!languages || languages->count == 0) continue;
            const Entry language = EntryAt(image, *languages, 0);
            if (language.target & kHighBit) continue;
            const uint64_t dataEntry = uint64_t{root} + language.target;
            uint32_t dataRva = 0, dataSize = 0;
            if (!image.U32AtRva(dataEntry, dataRva) || !image.U32AtRva(dataEntry + 4, dataSize)) continue;
            if (auto data = image.FileOffset(dataRva, dataSize))
                ReadStringBlock(image, *data, dataSize, (block.name - 1) * kStringsPerBlock, module);
        }
        return;
    }
}

} // namespace

ResourceModule* LoadResourceModule(std::string_view name) {
    std::string bytes;
    if (!ReadWholeFile(name, bytes)) return nullptr;
    PeImage image(std::move(bytes));
    uint32_t resourceRva = 0, resourceSize = 0;
    if (!image.ParseHeaders(resourceRva, resourceSize)) return nullptr;
    auto module = new ResourceModule;
    if (resourceRva && resourceSize) ReadStringTable(image, resourceRva, *module);
    return module;
}

void FreeResourceModule(ResourceModule* module) { delete module; }

int LoadResourceString(const ResourceModule* module, uint32_t id, char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = 0;
    if (!module) return 0;
    auto it = module->strings.find(id);
    if (it == module->strings.end()) return 0;
    const size_t n = std::min(it->second.size(), static_cast<size_t>(size) - 1);
    std::copy_n(it->second.data(), n, buffer);
    buffer[n] = 0;
    return static_cast<int>(n);
}

} // namespace plat
