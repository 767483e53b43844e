#pragma once
// The factories of all chunk classes, by chunk id and, where a layout depends
// on it, the parent's id. Registration is explicit: each chunk family has a
// Register...ChunkClasses() function that the program calls at start-up.

#include <cstdint>
#include <string_view>

#include "chunkfile/chunk.h"
#include "core/hashtable.h"

// Makes the chunk of `raw` as a child of `parent` (through the Chunk
// constructor, which appends it) and reads its data; null to leave it out.
// Data that does not fit the chunk's layout is reported with
// ReportMalformedChunk (chunkreading.h); a parent reads its children with
// ParentChunk::CreateChildren.
using ChunkFactory = Chunk* (*)(ParentChunk* parent, const RawChunk& raw);

class ChunkRegistry {
public:
    ChunkRegistry();

    // The registry ParentChunk::CreateChild uses, created on first use.
    static ChunkRegistry& Global();

    // Adds a factory for `id` under parents whose id is `parentId` (empty:
    // under any parent); both are cut to 8 bytes. Returns the entry count.
    int32_t Register(std::string_view id, std::string_view parentId, ChunkFactory factory);
    // The factory for a chunk whose 8 id bytes are `id`, created under a
    // parent whose 8 id bytes are `parentId`: an entry with the same id whose
    // parent id is empty, or equals `parentId`, or any entry when `parentId`
    // is all zeros. Of several matches the one registered last wins. Null
    // when none matches.
    ChunkFactory Find(const char* id, const char* parentId) const;

private:
    struct Entry {
        char id[8];
        char parentId[8];
        ChunkFactory factory;
    };
    static uint32_t Key(const char* id);

    HashTable<Entry> table_;
};
