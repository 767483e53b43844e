#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/surfaces.h"
#include "Awapi/aw3d/user_settings.h"
#include "Awapi/camera.h"
#include "Awapi/cursor3d.h"
#include "Awapi/picking.h"
#include "image/gamma.h"
#include "platform/d3d/clipper.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/directdraw.h"
#include "platform/d3d/enumeration.h"
#include "platform/d3d/surface.h"

using namespace plat;

namespace {

void Check(HResult result) {
    if (Failed(result)) AwReportError(result);
}

void ReleaseSurface(Surface*& surface) {
    if (surface) surface->Release();
    surface = nullptr;
}

void BuildDisplayModeList() {
    if (!AwDevice.DirectDraw || !AwDevice.DisplayModeList.empty()) return;
    Check(AwDevice.DirectDraw->EnumDisplayModes(kDdedmRefreshRates, [](const SurfaceDesc& desc) {
        const bool rgb = desc.pixelFormat.flags & kDdpfRgb;
        const bool complete = (desc.flags & kDdsdPixelFormat) && (desc.flags & kDdsdWidth) && (desc.flags & kDdsdHeight);
        if (!rgb) return true;
        const uint32_t flag = DepthFlag(desc.pixelFormat.rgbBitCount);
        for (AwDisplayMode& mode : AwDevice.DisplayModeList) {
            if (mode.width == desc.width && mode.height == desc.height) {
                mode.depthFlags |= flag;
                return true;
            }
        }
        if (complete)
            AwDevice.DisplayModeList.push_back(
                {flag, desc.width, desc.height, (desc.flags & kDdsdRefreshRate) ? desc.refreshRate : 0});
        return true;
    }));
}

// Records the new screen and tells the users of its size.
void RecordScreen(uint32_t width, uint32_t height, uint32_t depth) {
    ScreenGeometry.Screen = {0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)};
    ScreenGeometry.ScreenWidthF = static_cast<float>(width);
    ScreenGeometry.ScreenHeightF = static_cast<float>(height);
    ScreenGeometry.Depth = depth;
    SurfaceDesc desc;
    ScreenGeometry.Pitch = 0;
    if (Succeeded(AwDevice.PrimarySurface->GetSurfaceDesc(&desc))) {
        ScreenGeometry.Pitch = desc.pitch;
        const PixelFormat& f = desc.pixelFormat;
        if ((f.flags & kDdpfRgb) && !(f.flags & (kDdpfPaletteIndexed8 | kDdpfPaletteIndexed4))) {
            ScreenGeometry.Red = AwMaskToShift(f.rBitMask);
            ScreenGeometry.Green = AwMaskToShift(f.gBitMask);
            ScreenGeometry.Blue = AwMaskToShift(f.bBitMask);
        }
    }
    AwUpdateCursorScale();
    AwRefitAllCameras();
    AwUpdatePickProbePositions();
}

int ApplyWindowed(uint32_t width, uint32_t height, uint32_t depth) {
    DirectDraw* dd = AwDevice.DirectDraw;
    if (!(ScreenGeometry.DisplayFlags & kDisplayWindowed)) Check(dd->RestoreDisplayMode());
    if (depth != ScreenGeometry.Depth) return -1;
    AwSetCooperativeLevel(false);
    AwDevice.PrimarySurface = AwCreateSurface(dd, 0, 0, kSurfPrimary | kSurf3dDevice, nullptr, 0);
    if (!AwDevice.PrimarySurface) return -1;
    HResult result = dd->CreateClipper(0, &AwDevice.Clipper);
    if (Succeeded(result)) result = AwDevice.Clipper->SetHWnd(0, AwDevice.Window);
    if (Succeeded(result)) result = AwDevice.PrimarySurface->SetClipper(AwDevice.Clipper);
    if (Failed(result)) {
        AwReportError(result);
        AwReleaseSurfaces();
        return -1;
    }
    AwDevice.BackSurface = AwCreateSurface(dd, width, height, kSurfVideoMemory | kSurfOffscreenPlain | kSurf3dDevice,
                                           nullptr, 0);
    if (!AwDevice.BackSurface) {
        AwReleaseSurfaces();
        return -1;
    }
    return 1;
}

int ApplyFullScreen(uint32_t width, uint32_t height, uint32_t depth, bool triple) {
    DirectDraw* dd = AwDevice.DirectDraw;
    if (!AwSetCooperativeLevel(true)) return -1;
    HResult result = dd->SetDisplayMode(width, height, depth, 0, 0);
    if (Failed(result)) {
        AwReportError(result);
        return -1;
    }
    SurfaceDesc desc;
    desc.flags = kDdsdCaps | kDdsdBackBufferCount;
    desc.caps.caps = kDdsCapsPrimarySurface | kDdsCapsFlip | kDdsCapsComplex | kDdsCaps3dDevice | kDdsCapsVideoMemory;
    desc.backBufferCount = triple ? 2 : 1;
    result = dd->CreateSurface(desc, &AwDevice.PrimarySurface);
    if (Failed(result)) {
        AwReportError(result);
        AwDevice.PrimarySurface = nullptr;
        Check(dd->RestoreDisplayMode());
        return -1;
    }
    SurfaceCaps back;
    back.caps = kDdsCapsBackBuffer;
    result = AwDevice.PrimarySurface->GetAttachedSurface(back, &AwDevice.BackSurface);
    if (Succeeded(result) && triple) {
        SurfaceCaps flip;
        flip.caps = kDdsCapsFlip;
        result = AwDevice.BackSurface->GetAttachedSurface(flip, &AwDevice.ThirdSurface);
    }
    if (Failed(result)) {
        AwReportError(result);
        AwReleaseSurfaces();
        Check(dd->RestoreDisplayMode());
        return -1;
    }
    return 1;
}

} // namespace

bool AwSetCooperativeLevel(bool exclusive) {
    if (!AwDevice.DirectDraw) return false;
    const HResult result = exclusive
        ? AwDevice.DirectDraw->SetCooperativeLevel(AwDevice.Window, kDdsclFullscreen | kDdsclExclusive |
                                                                          kDdsclAllowReboot | kDdsclFpuSetup)
        : AwDevice.DirectDraw->SetCooperativeLevel(nullptr, kDdsclNormal | kDdsclAllowReboot | kDdsclFpuSetup);
    if (Failed(result)) AwReportError(result);
    return Succeeded(result);
}

void AwRestoreDesktop() {
    if (AwDevice.DirectDraw) {
        Check(AwDevice.DirectDraw->RestoreDisplayMode());
        AwSetCooperativeLevel(false);
    }
    AwDevice.Window = nullptr;
}

bool AwIsDisplayModeAvailable(uint32_t width, uint32_t height, uint32_t depth, uint32_t flags) {
    BuildDisplayModeList();
    if (flags & kDisplayWindowed) {
        if (depth != ScreenGeometry.Depth) return false;
    } else if (depth > 16 + 8 * static_cast<uint32_t>(UserSettings.DisplayDepthLimit)) {
        return false;
    }
    const uint32_t flag = DepthFlag(depth);
    if (flag == 0 || !(AwDeviceCaps.RenderDepths & flag)) return false;
    for (const AwDisplayMode& mode : AwDevice.DisplayModeList)
        if (mode.width == width && mode.height == height && (mode.depthFlags & flag)) return true;
    return false;
}

int AwApplyDisplayMode(uint32_t width, uint32_t height, uint32_t depth, uint32_t flags) {
    if (!AwDevice.DirectDraw) return -1;
    AwReleaseSurfaces();
    const int applied = (flags & kDisplayWindowed) ? ApplyWindowed(width, height, depth)
                                                   : ApplyFullScreen(width, height, depth, flags & 2);
    if (applied < 0) return -1;
    BltFx fill;
    Check(AwDevice.PrimarySurface->Blt(nullptr, nullptr, nullptr, kDdBltColorFill | kDdBltWait, &fill));
    Check(AwDevice.BackSurface->Blt(nullptr, nullptr, nullptr, kDdBltColorFill | kDdBltWait, &fill));
    if (!(flags & kDisplayWindowed)) Check(AwDevice.PrimarySurface->Flip(nullptr, kDdFlipWait));
    SurfaceDesc locked;
    if (Succeeded(AwDevice.PrimarySurface->Lock(nullptr, &locked, kDdLockWait))) {
        AwDevice.VisibleSurfaceAddress = locked.surface;
        AwDevice.PrimarySurface->Unlock(nullptr);
    }
    if (flags & kDisplayWindowed) ScreenGeometry.DisplayFlags |= kDisplayWindowed;
    else ScreenGeometry.DisplayFlags &= ~kDisplayWindowed;
    RecordScreen(width, height, depth);
    if (!AwChooseDevice()) return -1;
    AwUpdateTextureReduction();
    GammaControlAcquire(AwDevice.PrimarySurface);
    return 1;
}

int AwSetDisplayMode(uint32_t width, uint32_t height, uint32_t depth, uint32_t flags) {
    const uint32_t oldWidth = static_cast<uint32_t>(ScreenGeometry.Screen.right);
    const uint32_t oldHeight = static_cast<uint32_t>(ScreenGeometry.Screen.bottom);
    const uint32_t oldDepth = ScreenGeometry.Depth;
    const uint32_t oldWindowed = ScreenGeometry.DisplayFlags & kDisplayWindowed;
    if (flags & kDisplayWindowed) {
        if (AwApplyDisplayMode(width, height, ScreenGeometry.Depth, flags) > 0) return 1;
    } else {
        if (UserSettings.TripleBuffering && AwApplyDisplayMode(width, height, depth, flags | 2) > 0) {
            ScreenGeometry.DisplayFlags |= kDisplayTripleBuffered;
            return 1;
        }
        ScreenGeometry.DisplayFlags &= ~kDisplayTripleBuffered;
        if (AwApplyDisplayMode(width, height, depth, flags) > 0) return 2;
        for (uint32_t lower = depth; lower > 16;) {
            lower -= 8;
            if (AwIsDisplayModeAvailable(width, height, lower, flags) && AwSetDisplayMode(width, height, lower, flags) > 0)
                return 2;
        }
    }
    return AwApplyDisplayMode(oldWidth, oldHeight, oldDepth, oldWindowed) > 0 ? 0 : -1;
}

void AwReleaseSurfaces() {
    if (AwDevice.InScene && AwDevice.Direct3DDevice) Check(AwDevice.Direct3DDevice->EndScene());
    AwDevice.InScene = false;
    GammaControlRelease();
    if (AwDevice.Direct3DDevice) AwReleaseDevice();
    if (AwDevice.ZSurface) {
        if (AwDevice.BackSurface) AwDevice.BackSurface->DeleteAttachedSurface(0, AwDevice.ZSurface);
        ReleaseSurface(AwDevice.ZSurface);
    }
    ReleaseSurface(AwDevice.ThirdSurface);
    ReleaseSurface(AwDevice.BackSurface);
    if (AwDevice.Clipper) AwDevice.Clipper->Release();
    AwDevice.Clipper = nullptr;
    ReleaseSurface(AwDevice.PrimarySurface);
    AwSetCooperativeLevel(false);
}
