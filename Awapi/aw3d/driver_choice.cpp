#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/texture_manager.h"
#include "image/texture_device.h"
#include "platform/d3d/directdraw.h"
#include "platform/fpu.h"

using namespace plat;

namespace {

constexpr uint32_t kNormalLevel = kDdsclNormal | kDdsclAllowReboot | kDdsclFpuSetup;

DirectDraw* AwCreateDirectDrawObject(const Guid* guid) {
    DirectDraw* dd = nullptr;
    HResult result = DirectDrawCreate(guid, &dd);
    if (Failed(result)) {
        AwReportError(result);
        return nullptr;
    }
    result = dd->SetCooperativeLevel(nullptr, kNormalLevel);
    if (Failed(result)) {
        AwReportError(result);
        dd->Release();
        return nullptr;
    }
    return dd;
}

std::vector<AwDriverInfo> AwEnumerateDrivers() {
    std::vector<AwDriverInfo> drivers;
    const HResult result = DirectDrawEnumerateEx(
        [&drivers](const Guid* guid, const char* description, const char* name) {
            DirectDraw* dd = AwCreateDirectDrawObject(guid);
            if (!dd) return true;
            AwDriverInfo info;
            info.primary = guid == nullptr;
            if (guid) info.guid = *guid;
            info.description = description ? description : "";
            info.name = name ? name : "";
            if (Succeeded(dd->GetCaps(&info.hardwareCaps, &info.emulationCaps))) drivers.push_back(info);
            dd->Release();
            return true;
        },
        kDdenumAttachedSecondaryDevices | kDdenumDetachedSecondaryDevices | kDdenumNonDisplayDevices);
    if (Failed(result)) AwReportError(result);
    return drivers;
}

// The driver the name asks for; "DEFAULT": the primary in a window, else the
// 3D driver with the most video memory (the first on ties).
const AwDriverInfo* ChooseDriver(bool windowed) {
    const auto& drivers = AwDevice.DriverList;
    if (AwDevice.DeviceName != "DEFAULT") {
        for (const AwDriverInfo& d : drivers)
            if (d.name == AwDevice.DeviceName) return &d;
        return nullptr;
    }
    if (windowed) return nullptr;
    const AwDriverInfo* best = nullptr;
    for (const AwDriverInfo& d : drivers)
        if ((d.hardwareCaps.caps & kDdCaps3d) && (!best || d.hardwareCaps.vidMemTotal > best->hardwareCaps.vidMemTotal))
            best = &d;
    return best;
}

} // namespace

void AwCheckCaps() {
    if (!AwDevice.DirectDraw) return;
    DdCaps hardware;
    if (Failed(AwDevice.DirectDraw->GetCaps(&hardware, nullptr))) return;
    if (hardware.caps2 & kDdCaps2CanRenderWindowed) AwDeviceCaps.Flags |= kCapsRenderWindowed;
    else AwDeviceCaps.Flags &= ~kCapsRenderWindowed;
    const HResult result = AwDevice.DirectDraw->GetDeviceIdentifier(&AwDeviceCaps.Identifier, 0);
    if (Failed(result)) AwReportError(result);
}

bool AwCreateDirectDraw(bool windowed) {
    AwDevice.DriverList = AwEnumerateDrivers();
    const AwDriverInfo* driver = ChooseDriver(windowed);
    AwDevice.DirectDraw = AwCreateDirectDrawObject(driver ? driver->GuidPointer() : nullptr);
    if (!AwDevice.DirectDraw) return false;
    AwCheckCaps();
    TextureLoaderSetDirectDraw(AwDevice.DirectDraw);
    if (windowed) {
        SurfaceDesc desktop;
        if (Succeeded(AwDevice.DirectDraw->GetDisplayMode(&desktop)))
            ScreenGeometry.Depth = desktop.pixelFormat.rgbBitCount;
    }
    AwDevice.LayerFlags |= kLayerDirectDraw;
    return true;
}

void AwReleaseDirectDraw() {
    AwDevice.LayerFlags &= ~kLayerDirectDraw;
    AwDevice.DriverList.clear();
    AwDevice.DisplayModeList.clear();
    AwReleaseSurfaces();
    TextureLoaderSetDirectDraw(nullptr);
    if (AwDevice.DirectDraw) AwDevice.DirectDraw->Release();
    AwDevice.DirectDraw = nullptr;
}

bool AwStartup(const AwStartupRecord& record) {
    if (!record.Instance || !record.Window) return false;
    AwDevice.Window = record.Window;
    AwDevice.DeviceName = "DEFAULT";
    if (!AwCreateDirectDraw(ScreenGeometry.DisplayFlags & kDisplayWindowed)) return false;
    // The multimedia timer's period: Linux timers need none; the smallest is kept for reference.
    AwDevice.TimerPeriod = 1;
    AwDevice.LayerFlags |= kLayerTimerPeriod;
    NullTexture = TextureManager.Get(" NullTexture", 0);
    SetGameFpuMode();
    return true;
}

void AwShutdown() {
    if (NullTexture) --NullTexture->RefCount;
    AwDevice.LayerFlags &= ~kLayerTimerPeriod;
    if (AwDevice.LayerFlags & kLayerDirect3D) AwReleaseDirect3D();
    if (AwDevice.LayerFlags & kLayerDirectDraw) AwReleaseDirectDraw();
    AwDevice.Window = nullptr;
}
