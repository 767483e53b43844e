#pragma once
// Finding chunks inside an uncompressed chunk file without loading it: the
// in-place rewrites of top-level chunks use it to locate stored copies.

#include <cstdint>
#include <string_view>
#include <vector>

namespace plat {
class File;
}

// The file offsets of the children whose id matches `id` (ChunkIdMatches) of
// the parent chunk at the file's current position, in order. Only the child
// headers are read. Empty when the file cannot hold the whole parent; the
// walk ends at the parent's end, at a failed read or at a child whose size is
// below 12.
std::vector<int64_t> FindTopLevelChunks(plat::File& file, std::string_view id);
