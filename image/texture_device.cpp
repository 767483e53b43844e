#include "image/texture_device.h"

#include "image/texture_loader_state.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/pixel_format.h"

int TextureLoaderSetDirectDraw(plat::DirectDraw* directDraw) {
    TextureLoader.directDraw = directDraw;
    TextureLoader.deviceFlags |= TextureLoaderState::kDeviceReady;
    return 0;
}

int TextureLoaderSetDevice(plat::DirectDraw* directDraw, plat::Device3D* device) {
    TextureLoader.directDraw = directDraw;
    TextureLoader.device = device;
    TextureLoader.deviceFlags |= TextureLoaderState::kDeviceReady;
    return TextureLoaderReadDeviceCaps(device);
}

int TextureLoaderReadDeviceCaps(plat::Device3D* device) {
    TextureLoaderState& s = TextureLoader;
    s.deviceFlags &= static_cast<uint8_t>(~TextureLoaderState::kDeviceReady);
    if (!device) return 0;
    plat::DeviceDesc7 desc;
    if (plat::Failed(device->GetCaps(&desc))) return 1;
    constexpr uint32_t kTextureMemories =
        plat::kDevCapsTextureSystemMemory | plat::kDevCapsTextureVideoMemory | plat::kDevCapsTextureNonLocalVidMem;
    if (!(desc.devCaps & kTextureMemories)) return 2;
    s.minWidth = desc.minTextureWidth;
    s.minHeight = desc.minTextureHeight;
    s.maxWidth = desc.maxTextureWidth ? desc.maxTextureWidth : 0xFFFFFFFF;
    s.maxHeight = desc.maxTextureHeight ? desc.maxTextureHeight : 0xFFFFFFFF;
    s.deviceFlags &= static_cast<uint8_t>(~(TextureLoaderState::kPowerOfTwo | TextureLoaderState::kSquareOnly));
    if (desc.triCaps.textureCaps & plat::kPtextureCapsPow2) s.deviceFlags |= TextureLoaderState::kPowerOfTwo;
    if (desc.triCaps.textureCaps & plat::kPtextureCapsSquareOnly) s.deviceFlags |= TextureLoaderState::kSquareOnly;
    s.deviceFlags |= TextureLoaderState::kDeviceReady;
    return 0;
}

int TextureLoaderSetDefaultFormat(const plat::PixelFormat& format) {
    TextureLoaderState& s = TextureLoader;
    s.candidates.clear();
    plat::PixelFormat argb = plat::Argb8888Format();
    plat::PixelFormat rgb = plat::Xrgb8888Format();
    PixelFormatFromDDPF(s.stagingArgb, &argb);
    PixelFormatFromDDPF(s.stagingRgb, &rgb);
    return PixelFormatFromDDPF(s.defaultFormat, &format);
}

int TextureLoaderAddFormat(const plat::PixelFormat& format, uint32_t alphaBits, bool colourKeyCapable,
                           uint32_t paletteEntries, bool restricted) {
    FormatCandidate entry;
    if (PixelFormatFromDDPF(entry.format, &format) != 0) return 2;
    entry.alphaBits = alphaBits;
    entry.colourKeyCapable = colourKeyCapable;
    entry.paletteEntries = paletteEntries;
    entry.restricted = restricted;
    TextureLoader.candidates.push_back(entry);
    return 0;
}
