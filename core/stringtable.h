#pragma once
// The visible texts of the game, by numeric id.
//
// At start-up the language resource library is loaded, every text with an id
// from 0 to 30,002 is copied into ResourceStrings and the library is freed at
// once. The table is read-only afterwards, so any thread may look texts up.

#include <cstdint>

#include "platform/module.h"

struct StringTableEntry {
    uint32_t id;
    char* text; // own copy, or null when the library has no text for the id
};

// One entry per id from the first to the last, in id order.
struct StringTable {
    StringTableEntry* entries = nullptr;
    uint32_t count = 0;
};

// The program's table (ids 0 to 30,002).
extern StringTable ResourceStrings;

constexpr uint32_t kResourceStringFirstId = 0;
constexpr uint32_t kResourceStringLastId = 30002;

// Loads a language library and sets the game's floating-point mode again;
// null when the library cannot be loaded (the caller reports it).
plat::ResourceModule* LoadResourceDll(const char* fileName);
void FreeResourceDll(plat::ResourceModule* module);

// Builds the table of ids first..last (an empty table when last < first);
// a table loaded before must be freed first. Texts longer than 1,023
// characters are cut there. Returns the number of ids that had a text.
uint32_t StringTableLoad(const plat::ResourceModule* module, uint32_t firstId, uint32_t lastId,
                         StringTable& table);

// The text of an id; "" (never null) when the table has no text for it.
const char* StringTableLookup(const StringTable& table, uint32_t id);
// The same in ResourceStrings.
const char* StringTableLookup(uint32_t id);

// Frees every text and the entries; returns the number of entries (0 for an
// empty table). The table is empty afterwards.
uint32_t StringTableFree(StringTable& table);
