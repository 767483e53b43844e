#pragma once
// The session handlers' parts that other callers share.

#include <cstddef>
#include <cstdint>

// Applies a settings-and-statistics record (162) that fits its row.
void ApplySettingsAndStats(const uint8_t* record, size_t size);
