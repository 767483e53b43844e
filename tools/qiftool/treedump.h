#pragma once
// The text of `qiftool dump`: one line per chunk, indented two blanks per
// depth, with its 8-character id, its size (header included), its offset,
// "unknown" for a chunk no class reads, and the fields of its class.

#include <cstdint>
#include <string>

class Chunk;

// Lines for `chunk` and its subtree; `offset` is where the chunk starts.
std::string DumpChunkTree(const Chunk& chunk, uint64_t offset = 0, int depth = 0);
