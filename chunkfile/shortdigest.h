#pragma once
// The 8-byte keys that chunk families derive from texts (a sound's name, a
// cutscene's name): the first 7 bytes of the text's MD5 digest (RFC 1321),
// then a zero byte.

#include <array>
#include <cstdint>
#include <string_view>

using ShortDigest = std::array<uint8_t, 8>;

// Digests the text's bytes, without a terminator.
ShortDigest ComputeShortDigest(std::string_view text);
