#pragma once
// Memory figures for diagnostics, in bytes.

#include <cstdint>

constexpr int32_t kMemoryAvailablePhysical = 1;
constexpr int32_t kMemoryTotalVirtual = 2;
constexpr int32_t kMemoryAvailableVirtual = 3;

// One figure by kind (above); any other kind gives the total physical memory.
uint64_t AwGetMemoryStatus(int32_t kind);
