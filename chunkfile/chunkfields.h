#pragma once
// Field kinds that many chunk layouts share, read and written through the
// byte reader and writer. Every read is bounded by the chunk's data: a field
// that does not fit fails and marks the reader bad (as a plain read past its
// end does), so a layout can be read in full and checked once with ok().

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/bytes.h"

// A padded string field: the characters, a zero byte, and zero bytes up to
// the next multiple of 4 (one to four zero bytes in all).
constexpr uint32_t PaddedStringSize(size_t length) { return static_cast<uint32_t>(length - length % 4 + 4); }

// Reads a padded string field. Fails when no zero byte lies within the data
// or the text is longer than `maxLength`; padding that the data cuts short
// is skipped as far as it goes.
bool ReadPaddedString(ByteReader& in, std::string& out, size_t maxLength = SIZE_MAX);
void WritePaddedString(ByteWriter& out, std::string_view text);

// A fixed-width name: `width` bytes, zero-padded, without a terminator when
// the name fills them. Reading stops at the first zero byte; writing cuts a
// longer name to `width`.
bool ReadFixedName(ByteReader& in, std::string& out, size_t width);
void WriteFixedName(ByteWriter& out, std::string_view name, size_t width);

// A u32 element count followed by that many elements of at least
// `elementSize` (> 0) bytes each: fails when they cannot all fit in what is left,
// so a hostile count never sizes an allocation.
bool ReadCount(ByteReader& in, uint32_t& count, size_t elementSize);

// 64-bit floats, stored as their little-endian bit pattern.
bool ReadF64(ByteReader& in, double& value);
void WriteF64(ByteWriter& out, double value);

// Revision counts wrap around rather than overflow.
inline int32_t NextRevision(int32_t revision) { return static_cast<int32_t>(static_cast<uint32_t>(revision) + 1); }

// Words as text for the chunk tool: hexadecimal, separated by blanks.
std::string WordsText(std::span<const uint32_t> words);
