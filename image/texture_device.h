#pragma once
// What the device layer tells the texture loader: its DirectDraw object and
// 3D device, the device's texture limits, and the texture formats to use (a
// default and a list of candidates, the last fitting one winning).

#include <cstdint>

namespace plat {
class DirectDraw;
class Device3D;
struct PixelFormat;
} // namespace plat

// Stores the DirectDraw object (null when the device layer shuts down) and
// marks the device set; returns 0.
int TextureLoaderSetDirectDraw(plat::DirectDraw* directDraw);
// Stores both objects, then reads the device's caps; returns that result.
int TextureLoaderSetDevice(plat::DirectDraw* directDraw, plat::Device3D* device);
// Reads the texture limits of the device: 0, or 1 when its caps cannot be read
// and 2 when it cannot texture from any memory (the loader is then not ready).
// A null device leaves the loader without a ready device and returns 0.
int TextureLoaderReadDeviceCaps(plat::Device3D* device);
// Empties the candidate list and makes the default format; 0, or 2 for a
// format the loader cannot use.
int TextureLoaderSetDefaultFormat(const plat::PixelFormat& format);
// Appends a candidate; 2 (nothing added) for a format the loader cannot use.
int TextureLoaderAddFormat(const plat::PixelFormat& format, uint32_t alphaBits, bool colourKeyCapable,
                           uint32_t paletteEntries, bool restricted);
