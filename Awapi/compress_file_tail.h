#pragma once
// Rewrites a file as its first bytes unchanged followed by the rest of it in
// the compressed chunk container (the level-geometry cache keeps its 20-byte
// header readable this way).

#include <cstdint>
#include <string_view>

// False, the file untouched, when it cannot be read, is shorter than `keep`
// bytes, or cannot be compressed or written. The new file replaces the old
// one only once it is complete.
bool AwCompressFileTail(std::string_view name, uint32_t keep);
