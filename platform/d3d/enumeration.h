#pragma once
// What the layer offers, the same on every backend: the three devices by
// their names, their descriptions built from the backend's limits, and the
// texture and Z-buffer formats.

#include <cstdint>
#include <vector>

#include "platform/d3d/backend.h"
#include "platform/d3d/d3d_types.h"

namespace plat {

struct DeviceEntry {
    const char* description;
    const char* name;
    Guid guid;
    bool transformAndLight;
};

// "Reference Rasterizer", "Direct3D HAL" and "Direct3D T&L HAL", in enumeration order.
const std::vector<DeviceEntry>& Devices();
const DeviceEntry* FindDevice(const Guid& guid);

DeviceDesc7 DescribeDevice(const DeviceEntry& device, const BackendFacts& facts);

// 565, 1555, 4444, X8R8G8B8 and A8R8G8B8.
std::vector<PixelFormat> TextureFormats();
bool IsTextureFormat(const PixelFormat& format);

// 16-bit Z, and 24-bit Z with 8 stencil bits (24-bit Z without stencil on a
// device without stencil).
std::vector<PixelFormat> ZBufferFormats(const DeviceLimits& limits);

// The DDBD_* flag of a bit depth (0 for depths other than 8, 16, 24 and 32).
uint32_t DepthFlag(uint32_t bitDepth);

} // namespace plat
