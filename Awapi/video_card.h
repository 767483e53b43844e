#pragma once
// Names of display adapters from their PCI ids; other subsystems special-case
// some chips by these names.

#include <cstdint>

// "Unknown" for ids not listed.
const char* AwGetVideoVendorName(uint32_t vendorId);
const char* AwGetVideoChipName(uint32_t vendorId, uint32_t deviceId);
