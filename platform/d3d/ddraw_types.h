#pragma once
// DirectDraw 7 shaped records and flag values (the values of the original
// interface): surface descriptions, pixel formats, caps, locks, blits.

#include <array>
#include <cstdint>

namespace plat {

// The window the layer presents to (an HWND in the original).
using WindowHandle = void*;

struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0, data3 = 0;
    std::array<uint8_t, 8> data4{};
    friend bool operator==(const Guid&, const Guid&) = default;
};

// Right and bottom are exclusive.
struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

constexpr uint32_t MakeFourCc(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}
constexpr uint32_t kFourCcDxt1 = MakeFourCc('D', 'X', 'T', '1');
constexpr uint32_t kFourCcDxt3 = MakeFourCc('D', 'X', 'T', '3');

// DDPIXELFORMAT (32 bytes; the unions carry the Z-buffer meanings).
struct PixelFormat {
    uint32_t size = 32;
    uint32_t flags = 0;
    uint32_t fourCc = 0;
    union { uint32_t rgbBitCount = 0; uint32_t zBufferBitDepth; };
    union { uint32_t rBitMask = 0; uint32_t stencilBitDepth; };
    union { uint32_t gBitMask = 0; uint32_t zBitMask; };
    union { uint32_t bBitMask = 0; uint32_t stencilBitMask; };
    uint32_t alphaBitMask = 0;
};
static_assert(sizeof(PixelFormat) == 32);

// DDPF_*.
constexpr uint32_t kDdpfAlphaPixels = 0x1;
constexpr uint32_t kDdpfAlpha = 0x2;
constexpr uint32_t kDdpfFourCc = 0x4;
constexpr uint32_t kDdpfPaletteIndexed4 = 0x8;
constexpr uint32_t kDdpfPaletteIndexedTo8 = 0x10;
constexpr uint32_t kDdpfPaletteIndexed8 = 0x20;
constexpr uint32_t kDdpfRgb = 0x40;
constexpr uint32_t kDdpfYuv = 0x200;
constexpr uint32_t kDdpfZBuffer = 0x400;
constexpr uint32_t kDdpfPaletteIndexed1 = 0x800;
constexpr uint32_t kDdpfPaletteIndexed2 = 0x1000;
constexpr uint32_t kDdpfZPixels = 0x2000;
constexpr uint32_t kDdpfStencilBuffer = 0x4000;

// DDSCAPS2.
struct SurfaceCaps {
    uint32_t caps = 0, caps2 = 0, caps3 = 0, caps4 = 0;
};

// DDSCAPS_*.
constexpr uint32_t kDdsCapsBackBuffer = 0x4;
constexpr uint32_t kDdsCapsComplex = 0x8;
constexpr uint32_t kDdsCapsFlip = 0x10;
constexpr uint32_t kDdsCapsFrontBuffer = 0x20;
constexpr uint32_t kDdsCapsOffscreenPlain = 0x40;
constexpr uint32_t kDdsCapsOverlay = 0x80;
constexpr uint32_t kDdsCapsPrimarySurface = 0x200;
constexpr uint32_t kDdsCapsSystemMemory = 0x800;
constexpr uint32_t kDdsCapsTexture = 0x1000;
constexpr uint32_t kDdsCaps3dDevice = 0x2000;
constexpr uint32_t kDdsCapsVideoMemory = 0x4000;
constexpr uint32_t kDdsCapsZBuffer = 0x20000;
constexpr uint32_t kDdsCapsMipMap = 0x400000;
constexpr uint32_t kDdsCapsLocalVidMem = 0x10000000;
constexpr uint32_t kDdsCapsNonLocalVidMem = 0x20000000;

// DDSCAPS2_*.
constexpr uint32_t kDdsCaps2HintDynamic = 0x4;
constexpr uint32_t kDdsCaps2TextureManage = 0x10;
constexpr uint32_t kDdsCaps2MipMapSubLevel = 0x10000;
constexpr uint32_t kDdsCaps2DoNotPersist = 0x40000;

struct ColorKey {
    uint32_t low = 0, high = 0;
};

// DDSURFACEDESC2: what a caller asks for, and what GetSurfaceDesc and Lock
// report (the pitch, or for compressed surfaces the linear size, and the
// memory caps the surface landed in).
struct SurfaceDesc {
    uint32_t flags = 0;
    uint32_t height = 0;
    uint32_t width = 0;
    union { int32_t pitch = 0; uint32_t linearSize; };
    uint32_t backBufferCount = 0;
    union { uint32_t mipMapCount = 0; uint32_t refreshRate; };
    uint8_t* surface = nullptr; // Lock: the first byte of the locked rectangle
    ColorKey ckSrcBlt;
    PixelFormat pixelFormat;
    SurfaceCaps caps;
    uint32_t textureStage = 0;
};

// DDSD_*.
constexpr uint32_t kDdsdCaps = 0x1;
constexpr uint32_t kDdsdHeight = 0x2;
constexpr uint32_t kDdsdWidth = 0x4;
constexpr uint32_t kDdsdPitch = 0x8;
constexpr uint32_t kDdsdBackBufferCount = 0x20;
constexpr uint32_t kDdsdLpSurface = 0x800;
constexpr uint32_t kDdsdPixelFormat = 0x1000;
constexpr uint32_t kDdsdCkSrcBlt = 0x10000;
constexpr uint32_t kDdsdMipMapCount = 0x20000;
constexpr uint32_t kDdsdRefreshRate = 0x40000;
constexpr uint32_t kDdsdLinearSize = 0x80000;
constexpr uint32_t kDdsdTextureStage = 0x100000;

// DDLOCK_*.
constexpr uint32_t kDdLockWait = 0x1;
constexpr uint32_t kDdLockReadOnly = 0x10;
constexpr uint32_t kDdLockWriteOnly = 0x20;
constexpr uint32_t kDdLockNoSysLock = 0x800;
constexpr uint32_t kDdLockNoOverwrite = 0x1000;
constexpr uint32_t kDdLockDiscardContents = 0x2000;
constexpr uint32_t kDdLockDoNotWait = 0x4000;

// DDBLT_* and the one DDBLTFX field the layer reads.
constexpr uint32_t kDdBltAsync = 0x200;
constexpr uint32_t kDdBltColorFill = 0x400;
constexpr uint32_t kDdBltWait = 0x1000000;
constexpr uint32_t kDdBltDoNotWait = 0x8000000;
struct BltFx {
    uint32_t fillColor = 0; // a raw pixel value of the destination's format
};

// DDFLIP_*.
constexpr uint32_t kDdFlipWait = 0x1;
constexpr uint32_t kDdFlipNoVSync = 0x8;
constexpr uint32_t kDdFlipDoNotWait = 0x20;

// GetBltStatus and GetFlipStatus.
constexpr uint32_t kDdgbsCanBlt = 0x1;
constexpr uint32_t kDdgbsIsBltDone = 0x2;
constexpr uint32_t kDdgfsCanFlip = 0x1;
constexpr uint32_t kDdgfsIsFlipDone = 0x2;

// DDCKEY_*.
constexpr uint32_t kDdckeySrcBlt = 0x8;

// DDPCAPS_*.
constexpr uint32_t kDdpCaps4Bit = 0x1;
constexpr uint32_t kDdpCaps8Bit = 0x4;
constexpr uint32_t kDdpCapsAllow256 = 0x40;
constexpr uint32_t kDdpCaps1Bit = 0x100;
constexpr uint32_t kDdpCaps2Bit = 0x200;

// PALETTEENTRY.
struct PaletteEntry {
    uint8_t red = 0, green = 0, blue = 0, flags = 0;
};

// DDSCL_* (SetCooperativeLevel).
constexpr uint32_t kDdsclFullscreen = 0x1;
constexpr uint32_t kDdsclAllowReboot = 0x2;
constexpr uint32_t kDdsclNormal = 0x8;
constexpr uint32_t kDdsclExclusive = 0x10;
constexpr uint32_t kDdsclFpuSetup = 0x800;

// DDEDM_* (EnumDisplayModes) and DDENUM_* (driver enumeration).
constexpr uint32_t kDdedmRefreshRates = 0x1;
constexpr uint32_t kDdenumAttachedSecondaryDevices = 0x1;
constexpr uint32_t kDdenumDetachedSecondaryDevices = 0x2;
constexpr uint32_t kDdenumNonDisplayDevices = 0x4;

// DDBD_* bit-depth flags.
constexpr uint32_t kDdbd8 = 0x800;
constexpr uint32_t kDdbd16 = 0x400;
constexpr uint32_t kDdbd24 = 0x200;
constexpr uint32_t kDdbd32 = 0x100;

// DDCAPS: the driver facts the layer reports.
struct DdCaps {
    uint32_t caps = 0;
    uint32_t caps2 = 0;
    uint32_t vidMemTotal = 0;
    uint32_t vidMemFree = 0;
};
constexpr uint32_t kDdCaps3d = 0x1;
constexpr uint32_t kDdCapsBlt = 0x40;
constexpr uint32_t kDdCapsGdi = 0x400;
constexpr uint32_t kDdCapsBltColorFill = 0x4000000;
constexpr uint32_t kDdCaps2PrimaryGamma = 0x20000;
constexpr uint32_t kDdCaps2CanRenderWindowed = 0x80000;

// DDDEVICEIDENTIFIER2.
struct DeviceIdentifier {
    char driver[512] = {};
    char description[512] = {};
    uint32_t vendorId = 0;
    uint32_t deviceId = 0;
    uint32_t subSysId = 0;
    uint32_t revision = 0;
    Guid deviceIdentifier;
};

// DDGAMMARAMP and DDSGR_*.
struct GammaRamp {
    std::array<uint16_t, 256> red{}, green{}, blue{};
};
constexpr uint32_t kDdsgrCalibrate = 0x1;

} // namespace plat
