#include "platform/d3d/enumeration.h"

#include <algorithm>

#include "platform/d3d/pixel_format.h"

namespace plat {

const std::vector<DeviceEntry>& Devices() {
    static const std::vector<DeviceEntry> devices = {
        {"Software reference rasterizer", "Reference Rasterizer", {0x7A1E0001, 0x5D3A, 0x4C61, {1, 0, 0, 0, 0, 0, 0, 1}}, false},
        {"Hardware rasterization", "Direct3D HAL", {0x7A1E0002, 0x5D3A, 0x4C61, {1, 0, 0, 0, 0, 0, 0, 2}}, false},
        {"Hardware transform, lighting and rasterization", "Direct3D T&L HAL",
         {0x7A1E0003, 0x5D3A, 0x4C61, {1, 0, 0, 0, 0, 0, 0, 3}}, true},
    };
    return devices;
}

const DeviceEntry* FindDevice(const Guid& guid) {
    for (const DeviceEntry& d : Devices())
        if (d.guid == guid) return &d;
    return nullptr;
}

uint32_t DepthFlag(uint32_t bitDepth) {
    switch (bitDepth) {
    case 8: return kDdbd8;
    case 16: return kDdbd16;
    case 24: return kDdbd24;
    case 32: return kDdbd32;
    default: return 0;
    }
}

DeviceDesc7 DescribeDevice(const DeviceEntry& device, const BackendFacts& facts) {
    const DeviceLimits& limits = facts.limits;
    DeviceDesc7 d;
    d.devCaps = kDevCapsFloatTlVertex | kDevCapsTextureSystemMemory | kDevCapsTextureVideoMemory |
                kDevCapsDrawPrimTlVertex | kDevCapsHwRasterization |
                (device.transformAndLight ? kDevCapsHwTransformAndLight : 0);
    d.triCaps.textureCaps = kPtextureCapsPerspective | kPtextureCapsPow2 | kPtextureCapsAlpha;
    d.triCaps.textureFilterCaps = kPtFilterCapsMinfPoint | kPtFilterCapsMinfLinear | kPtFilterCapsMipfPoint |
                                  kPtFilterCapsMipfLinear | kPtFilterCapsMagfPoint | kPtFilterCapsMagfLinear;
    if (limits.maxAnisotropy > 0)
        d.triCaps.textureFilterCaps |= kPtFilterCapsMinfAnisotropic | kPtFilterCapsMagfAnisotropic;
    d.lineCaps = d.triCaps;
    d.deviceRenderBitDepth = DepthFlag(facts.desktop.bitDepth);
    for (const DisplayMode& m : facts.modes) d.deviceRenderBitDepth |= DepthFlag(m.bitDepth);
    d.deviceZBufferBitDepth = kDdbd16 | kDdbd24 | kDdbd32;
    d.minTextureWidth = d.minTextureHeight = 1;
    d.maxTextureWidth = d.maxTextureHeight = limits.maxTextureSize;
    d.maxAnisotropy = limits.maxAnisotropy;
    if (limits.stencil)
        for (uint32_t op = kStencilOpKeep; op <= kStencilOpDecr; ++op) d.stencilCaps |= StencilCapBit(op);
    for (uint32_t op = kTopDisable; op <= kTopBlendCurrentAlpha; ++op) d.textureOpCaps |= TextureOpCapBit(op);
    d.maxTextureBlendStages = d.maxSimultaneousTextures = limits.textureStages;
    d.maxActiveLights = limits.maxActiveLights;
    d.deviceGuid = device.guid;
    d.maxUserClipPlanes = limits.maxUserClipPlanes;
    return d;
}

std::vector<PixelFormat> TextureFormats() {
    return {Rgb565Format(), Argb1555Format(), Argb4444Format(), Xrgb8888Format(), Argb8888Format()};
}

bool IsTextureFormat(const PixelFormat& format) {
    const std::vector<PixelFormat> formats = TextureFormats();
    return std::any_of(formats.begin(), formats.end(), [&](const PixelFormat& f) { return SameFormat(f, format); });
}

std::vector<PixelFormat> ZBufferFormats(const DeviceLimits& limits) {
    return {ZBufferFormat(16, 0), ZBufferFormat(24, limits.stencil ? 8 : 0)};
}

} // namespace plat
