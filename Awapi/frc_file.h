#pragma once
// Font-rectangle files: a 32-bit little-endian record count, then that many
// 60-byte records whose contents nothing here interprets.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

using AwFrcRecord = std::array<uint8_t, 60>;

// False, `records` untouched, when the file cannot be read or is shorter
// than its count says.
bool AwReadFrcFile(std::string_view name, std::vector<AwFrcRecord>& records);
// Creates or replaces the file; false when it cannot be written.
bool AwWriteFrcFile(const std::vector<AwFrcRecord>& records, std::string_view name);
