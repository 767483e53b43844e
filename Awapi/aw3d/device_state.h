#pragma once
// The device layer's global state: the one DirectDraw object and 3D device,
// the flip chain, the enumeration lists, the recorded capabilities and the
// per-frame counters. Main thread only.

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d/d3d_types.h"
#include "platform/d3d/ddraw_types.h"

namespace plat {
class Clipper;
class Device3D;
class Direct3D;
class DirectDraw;
class Surface;
} // namespace plat

struct AwDriverInfo {
    bool primary = false; // the primary display driver (no GUID)
    plat::Guid guid;
    std::string description, name;
    plat::DdCaps hardwareCaps, emulationCaps;
    const plat::Guid* GuidPointer() const { return primary ? nullptr : &guid; }
};

struct AwDeviceInfo {
    plat::Guid guid;
    std::string description, name;
    plat::DeviceDesc7 desc;
};

struct AwDisplayMode {
    uint32_t depthFlags = 0; // DDBD_* of every enumerated depth of this size
    uint32_t width = 0, height = 0, refreshRate = 0;
};

// The (loss, shift) of red, green, blue and alpha, then the format.
struct AwTextureFormat {
    uint32_t redLoss = 8, redShift = 0, greenLoss = 8, greenShift = 0;
    uint32_t blueLoss = 8, blueShift = 0, alphaLoss = 8, alphaShift = 0;
    plat::PixelFormat format;
};

constexpr uint32_t kLayerDirectDraw = 0x1;
constexpr uint32_t kLayerTimerPeriod = 0x8;
constexpr uint32_t kLayerDirect3D = 0x10;

struct AwDeviceState {
    plat::DirectDraw* DirectDraw = nullptr;
    plat::Direct3D* Direct3D = nullptr;
    plat::Device3D* Direct3DDevice = nullptr;
    plat::Surface* PrimarySurface = nullptr;
    plat::Surface* BackSurface = nullptr;
    plat::Surface* ThirdSurface = nullptr;
    plat::Surface* ZSurface = nullptr;
    plat::Clipper* Clipper = nullptr;
    plat::WindowHandle Window = nullptr;
    bool DeviceReady = false;
    bool InScene = false;
    uint32_t LayerFlags = 0;
    uint32_t TimerPeriod = 0;
    std::string DeviceName = "DEFAULT";
    std::vector<AwDriverInfo> DriverList;
    std::vector<AwDeviceInfo> DeviceList;
    std::vector<AwDisplayMode> DisplayModeList;
    std::vector<plat::PixelFormat> ZFormatList;
    std::vector<AwTextureFormat> TextureFormatList;
    plat::Guid DeviceGuid;
    const void* VisibleSurfaceAddress = nullptr;
};
extern AwDeviceState AwDevice;

constexpr uint32_t kCapsStencilZ = 0x1;
constexpr uint32_t kCaps32BitTextures = 0x2;
constexpr uint32_t kCapsDxtTextures = 0x4;
constexpr uint32_t kCapsRenderWindowed = 0x8;
constexpr uint32_t kCapsOneTextureMemory = 0x10;

constexpr uint32_t kNoFilterChosen = INT32_MAX;

struct AwDeviceCapsRecord {
    uint32_t Flags = kCapsOneTextureMemory;
    uint32_t MinTextureSize = 0, MaxTextureSize = 0;
    uint32_t MaxSimultaneousTextures = 0;
    uint32_t VideoMemoryTotal = 0, TextureMemoryFree = 0;
    uint32_t TextureMemoryUsed = 0; // image pixels / 4096 of textures in local video memory
    uint32_t MaxActiveLights = 8;
    uint32_t VertexBufferCaps = plat::kVbCapsSystemMemory;
    uint32_t MagFilter = kNoFilterChosen, MinFilter = kNoFilterChosen, MipFilter = kNoFilterChosen;
    uint32_t MaxAnisotropy = 1;
    uint32_t MaxUserClipPlanes = 0;
    uint32_t RenderDepths = 0xFFFFFFFFu;
    uint32_t ZBufferDepths = 0;
    uint32_t ZBitMask = 0;
    plat::DeviceIdentifier Identifier;

    uint32_t VideoVendorId() const { return Identifier.vendorId; }
    uint32_t VideoDeviceId() const { return Identifier.deviceId; }
    void Reset() { *this = AwDeviceCapsRecord(); }
};
extern AwDeviceCapsRecord AwDeviceCaps;

// Tick counts of the timed sections of a frame; the shell zeroes them every frame.
struct AwRenderTimings {
    uint32_t DrawList = 0, Primitives = 0, MaterialApply = 0, SetTexture = 0, Frame = 0;
    uint32_t BeginScene = 0, EndScene = 0, WindowPresent = 0, Flip = 0;
    uint32_t PrimitiveCount = 0;    // indices (or vertices) drawn this frame
    uint32_t MaterialApplyCount = 0;
};
extern AwRenderTimings RenderTimings;

// Adds the ticks between its construction and destruction to a counter.
class AwTimedSection {
public:
    explicit AwTimedSection(uint32_t& counter);
    ~AwTimedSection();
    AwTimedSection(const AwTimedSection&) = delete;
    AwTimedSection& operator=(const AwTimedSection&) = delete;

private:
    uint32_t& counter_;
    uint32_t start_;
};

// The frame clock, advanced at every present.
extern uint32_t LastFrameTicks;
extern uint32_t PreviousPresentTime;
extern uint32_t FrameCounter;
