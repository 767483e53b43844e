#include "core/stringtable.h"

#include <cstring>

#include "core/mem.h"
#include "platform/fpu.h"

StringTable ResourceStrings;

namespace {
// The longest text kept, terminator included.
constexpr int kTextBufferSize = 1024;
}

plat::ResourceModule* LoadResourceDll(const char* fileName) {
    plat::ResourceModule* module = plat::LoadResourceModule(fileName);
    plat::SetGameFpuMode();
    return module;
}

void FreeResourceDll(plat::ResourceModule* module) { plat::FreeResourceModule(module); }

uint32_t StringTableLoad(const plat::ResourceModule* module, uint32_t firstId, uint32_t lastId,
                         StringTable& table) {
    table = StringTable{};
    if (lastId < firstId) return 0;
    const size_t count = size_t{lastId} - firstId + 1;
    auto* entries = static_cast<StringTableEntry*>(MemAlloc(count * sizeof(StringTableEntry)));

    uint32_t loaded = 0;
    char buffer[kTextBufferSize];
    for (size_t i = 0; i < count; ++i) {
        StringTableEntry& entry = entries[i];
        entry.id = firstId + static_cast<uint32_t>(i);
        entry.text = nullptr;
        const int length = plat::LoadResourceString(module, entry.id, buffer, kTextBufferSize);
        if (length <= 0) continue;
        auto* text = static_cast<char*>(MemAlloc(static_cast<size_t>(length) + 1));
        std::memcpy(text, buffer, static_cast<size_t>(length) + 1);
        entry.text = text;
        ++loaded;
    }
    table.entries = entries;
    table.count = static_cast<uint32_t>(count);
    return loaded;
}

const char* StringTableLookup(const StringTable& table, uint32_t id) {
    // Ids are dense from the first entry's: the entry of an id is found by its
    // distance from the first.
    if (table.count == 0 || id < table.entries[0].id) return "";
    const uint32_t index = id - table.entries[0].id;
    if (index >= table.count || !table.entries[index].text) return "";
    return table.entries[index].text;
}

const char* StringTableLookup(uint32_t id) { return StringTableLookup(ResourceStrings, id); }

uint32_t StringTableFree(StringTable& table) {
    const uint32_t count = table.count;
    for (uint32_t i = 0; i < count; ++i) MemFree(table.entries[i].text);
    MemFree(table.entries);
    table = StringTable{};
    return count;
}
