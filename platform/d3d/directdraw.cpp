#include "platform/d3d/directdraw.h"

#include <algorithm>
#include <cstring>

#include "platform/d3d/clipper.h"
#include "platform/d3d/direct3d.h"
#include "platform/d3d/display_context.h"
#include "platform/d3d/enumeration.h"
#include "platform/d3d/palette.h"
#include "platform/d3d/pixel_format.h"
#include "platform/d3d/surface.h"
#include "platform/d3d/video_backend.h"

namespace plat {
namespace {

SurfaceDesc DescribeMode(const DisplayMode& mode, bool withRefreshRate) {
    SurfaceDesc desc;
    desc.flags = kDdsdWidth | kDdsdHeight | kDdsdPitch | kDdsdPixelFormat | (withRefreshRate ? kDdsdRefreshRate : 0);
    desc.width = mode.width;
    desc.height = mode.height;
    desc.pixelFormat = DisplayFormat(mode.bitDepth);
    size_t bytes = 0;
    SurfaceLayout(desc.pixelFormat, mode.width, mode.height, &desc.pitch, &bytes);
    if (withRefreshRate) desc.refreshRate = mode.refreshRate;
    return desc;
}

void CopyText(char (&to)[512], const std::string& from) {
    const size_t n = std::min(from.size(), sizeof to - 1);
    std::memcpy(to, from.data(), n);
    to[n] = '\0';
}

} // namespace

DirectDraw::DirectDraw(std::shared_ptr<DisplayContext> context) : context_(std::move(context)) {}

HResult DirectDraw::SetCooperativeLevel(WindowHandle window, uint32_t flags) {
    constexpr uint32_t kKnown = kDdsclFullscreen | kDdsclAllowReboot | kDdsclNormal | kDdsclExclusive | kDdsclFpuSetup;
    const bool normal = flags & kDdsclNormal;
    const bool exclusive = flags & kDdsclExclusive;
    const bool fullscreen = flags & kDdsclFullscreen;
    if ((flags & ~kKnown) || normal == exclusive || exclusive != fullscreen || (exclusive && !window))
        return kDdErrInvalidParams;
    CriticalSectionLock hold(context_->lock);
    const HResult result = context_->backend->SetCooperativeLevel(window, flags);
    if (Succeeded(result)) {
        context_->window = window;
        context_->cooperativeFlags = flags;
    }
    return result;
}

HResult DirectDraw::EnumDisplayModes(uint32_t flags, const std::function<bool(const SurfaceDesc&)>& callback) const {
    if ((flags & ~kDdedmRefreshRates) || !callback) return kDdErrInvalidParams;
    for (const DisplayMode& mode : context_->Facts().modes)
        if (!callback(DescribeMode(mode, flags & kDdedmRefreshRates))) break;
    return kDdOk;
}

HResult DirectDraw::SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitDepth, uint32_t refreshRate,
                                   uint32_t flags) {
    if (flags != 0) return kDdErrInvalidParams;
    const auto& modes = context_->Facts().modes;
    const auto mode = std::find_if(modes.begin(), modes.end(), [&](const DisplayMode& m) {
        return m.width == width && m.height == height && m.bitDepth == bitDepth &&
               (refreshRate == 0 || m.refreshRate == refreshRate);
    });
    if (mode == modes.end()) return kDdErrInvalidMode;
    CriticalSectionLock hold(context_->lock);
    if (!(context_->cooperativeFlags & kDdsclExclusive)) return kDdErrNoExclusiveMode;
    const HResult result = context_->backend->SetDisplayMode(*mode);
    if (Succeeded(result)) context_->mode = *mode;
    return result;
}

HResult DirectDraw::RestoreDisplayMode() {
    CriticalSectionLock hold(context_->lock);
    context_->backend->RestoreDisplayMode();
    context_->mode = context_->Facts().desktop;
    return kDdOk;
}

HResult DirectDraw::GetDisplayMode(SurfaceDesc* desc) const {
    if (!desc) return kDdErrInvalidParams;
    CriticalSectionLock hold(context_->lock);
    *desc = DescribeMode(context_->mode, true);
    return kDdOk;
}

HResult DirectDraw::GetCaps(DdCaps* hardware, DdCaps* emulation) const {
    if (!hardware && !emulation) return kDdErrInvalidParams;
    const BackendFacts& facts = context_->Facts();
    const uint32_t free = context_->FreeVideoMemory();
    if (hardware) {
        *hardware = DdCaps{kDdCaps3d | kDdCapsBlt | kDdCapsBltColorFill | (facts.renderWindowed ? kDdCapsGdi : 0),
                           (facts.renderWindowed ? kDdCaps2CanRenderWindowed : 0) |
                               (facts.gammaRamp ? kDdCaps2PrimaryGamma : 0),
                           facts.videoMemoryBytes, free};
    }
    if (emulation) *emulation = DdCaps{kDdCapsBlt | kDdCapsBltColorFill, 0, facts.videoMemoryBytes, free};
    return kDdOk;
}

HResult DirectDraw::GetDeviceIdentifier(DeviceIdentifier* id, uint32_t flags) const {
    constexpr uint32_t kGetHostIdentifier = 0x1;
    if (!id || (flags & ~kGetHostIdentifier)) return kDdErrInvalidParams;
    const BackendFacts& facts = context_->Facts();
    *id = DeviceIdentifier{};
    CopyText(id->driver, facts.driverName);
    CopyText(id->description, facts.driverDescription);
    id->vendorId = facts.vendorId;
    id->deviceId = facts.deviceId;
    return kDdOk;
}

HResult DirectDraw::GetAvailableVidMem(const SurfaceCaps& caps, uint32_t* total, uint32_t* free) const {
    if (!total && !free) return kDdErrInvalidParams;
    const bool nonLocal = caps.caps & kDdsCapsNonLocalVidMem;
    if (total) *total = nonLocal ? 0 : context_->Facts().videoMemoryBytes;
    if (free) *free = nonLocal ? 0 : context_->FreeVideoMemory();
    return kDdOk;
}

HResult DirectDraw::CreateSurface(const SurfaceDesc& desc, Surface** out) { return Surface::Create(context_, desc, out); }

HResult DirectDraw::CreatePalette(uint32_t caps, const PaletteEntry* entries, Palette** out) {
    if (!out) return kDdErrInvalidParams;
    Palette* palette = Palette::Create(caps, entries);
    if (!palette) return kDdErrInvalidParams;
    *out = palette;
    return kDdOk;
}

HResult DirectDraw::CreateClipper(uint32_t flags, Clipper** out) {
    if (!out || flags != 0) return kDdErrInvalidParams;
    *out = new Clipper();
    return kDdOk;
}

HResult DirectDraw::RestoreAllSurfaces() {
    Surface::RestoreAll(*context_);
    return kDdOk;
}

HResult DirectDraw::QueryDirect3D(Direct3D** out) {
    if (!out) return kDdErrInvalidParams;
    *out = new Direct3D(context_);
    return kDdOk;
}

void DirectDraw::ForceSurfaceLoss() { Surface::LoseAll(*context_); }

HResult DirectDrawEnumerateEx(const std::function<bool(const Guid*, const char*, const char*)>& callback,
                              uint32_t flags) {
    constexpr uint32_t kKnown = kDdenumAttachedSecondaryDevices | kDdenumDetachedSecondaryDevices | kDdenumNonDisplayDevices;
    if (!callback || (flags & ~kKnown)) return kDdErrInvalidParams;
    const std::shared_ptr<DeviceBackend> backend = CurrentVideoBackend();
    const BackendFacts& facts = backend->Facts();
    callback(nullptr, facts.driverDescription.c_str(), facts.driverName.c_str());
    return kDdOk;
}

HResult DirectDrawCreate(const Guid* driver, DirectDraw** out) {
    if (!out || driver) return kDdErrInvalidParams;
    *out = new DirectDraw(std::make_shared<DisplayContext>(CurrentVideoBackend()));
    return kDdOk;
}

} // namespace plat
