#include <algorithm>
#include <string_view>

#include "Awapi/VertBuff/shared_buffers.h"
#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/global_materials.h"
#include "Awapi/aw3d/render_material.h"
#include "Awapi/aw3d/render_states.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/surfaces.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/aw3d/user_settings.h"
#include "Awapi/device_loss.h"
#include "Awapi/light_set.h"
#include "image/texture_device.h"
#include "platform/d3d/d3dmath.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/direct3d.h"
#include "platform/d3d/directdraw.h"
#include "platform/d3d/surface.h"
#include "platform/fpu.h"

using namespace plat;

namespace {

void Check(HResult result) {
    if (Failed(result)) AwReportError(result);
}

bool EnumerateDevices() {
    AwDevice.DeviceList.clear();
    Check(AwDevice.Direct3D->EnumDevices([](const char* description, const char* name, const DeviceDesc7& desc) {
        AwDeviceInfo info;
        info.guid = desc.deviceGuid;
        info.description = description;
        info.name = name;
        info.desc = desc;
        AwDevice.DeviceList.push_back(info);
        return true;
    }));
    SetGameFpuMode();
    const auto find = [](std::string_view name) -> const AwDeviceInfo* {
        for (const AwDeviceInfo& info : AwDevice.DeviceList)
            if (info.name == name) return &info;
        return nullptr;
    };
    const bool reference = ScreenGeometry.DisplayFlags & kDisplayReferenceRasterizer;
    if (const AwDeviceInfo* info = find(reference ? "Reference Rasterizer" : "Direct3D T&L HAL")) {
        AwDevice.DeviceGuid = info->guid;
        AwDeviceCaps.VertexBufferCaps = 0;
        return true;
    }
    if (const AwDeviceInfo* info = find("Direct3D HAL")) {
        AwDevice.DeviceGuid = info->guid;
        AwDeviceCaps.VertexBufferCaps = kVbCapsSystemMemory;
        return true;
    }
    return false;
}

void EnumerateZFormats() {
    AwDevice.ZFormatList.clear();
    Check(AwDevice.Direct3D->EnumZBufferFormats(AwDevice.DeviceGuid, [](const PixelFormat& format) {
        AwDevice.ZFormatList.push_back(format);
        if (format.stencilBitDepth != 0) AwDeviceCaps.Flags |= kCapsStencilZ;
        return true;
    }));
}

void DetachZBuffer() {
    if (!AwDevice.ZSurface) return;
    if (AwDevice.BackSurface) AwDevice.BackSurface->DeleteAttachedSurface(0, AwDevice.ZSurface);
    AwDevice.ZSurface->Release();
    AwDevice.ZSurface = nullptr;
}

// Creates the Z-buffer and the device, lowering the Z depth limit by 8 down to
// 16 while either fails. The limit is restored afterwards.
bool CreateDeviceWithZBuffer() {
    const int32_t limit = UserSettings.ZBufferDepthLimit;
    const bool reference = ScreenGeometry.DisplayFlags & kDisplayReferenceRasterizer;
    bool created = false;
    for (;;) {
        if (const PixelFormat* z = AwChooseZBufferFormat()) {
            AwDeviceCaps.ZBitMask = z->zBitMask;
            DetachZBuffer();
            const uint32_t memory = reference ? kSurfSystemMemory : kSurfVideoMemory;
            AwDevice.ZSurface = AwCreateSurface(AwDevice.DirectDraw, static_cast<uint32_t>(ScreenGeometry.Screen.right),
                                                static_cast<uint32_t>(ScreenGeometry.Screen.bottom),
                                                kSurfPixelFormat | kSurfZBuffer | memory, z, 0);
            if (!AwDevice.ZSurface) {
                if (UserSettings.ZBufferDepthLimit <= 16) break;
                UserSettings.ZBufferDepthLimit -= 8;
                continue;
            }
            Check(AwDevice.BackSurface->AddAttachedSurface(AwDevice.ZSurface));
        }
        const HResult result =
            AwDevice.Direct3D->CreateDevice(AwDevice.DeviceGuid, AwDevice.BackSurface, &AwDevice.Direct3DDevice);
        SetGameFpuMode();
        if (Succeeded(result)) {
            created = true;
            break;
        }
        AwReportError(result);
        AwDevice.Direct3DDevice = nullptr;
        if (UserSettings.ZBufferDepthLimit <= 16) break;
        UserSettings.ZBufferDepthLimit -= 8;
        DetachZBuffer();
    }
    if (!created) DetachZBuffer(); // a failed creation leaves no Z-buffer behind
    UserSettings.ZBufferDepthLimit = limit;
    return created;
}

void EnumerateTextureFormats() {
    AwDevice.TextureFormatList.clear();
    Check(AwDevice.Direct3DDevice->EnumTextureFormats([](const PixelFormat& format) {
        if (format.flags & (kDdpfPaletteIndexed1 | kDdpfPaletteIndexed2 | kDdpfPaletteIndexed4 |
                            kDdpfPaletteIndexed8 | kDdpfPaletteIndexedTo8))
            return true;
        if (!(format.flags & kDdpfRgb)) {
            if (!(format.flags & kDdpfFourCc) || (format.fourCc != kFourCcDxt1 && format.fourCc != kFourCcDxt3))
                return true;
            AwDeviceCaps.Flags |= kCapsDxtTextures;
        } else if (format.rgbBitCount == 32) {
            AwDeviceCaps.Flags |= kCaps32BitTextures;
        }
        AwTextureFormat entry;
        const AwMaskShift r = AwMaskToShift(format.flags & kDdpfRgb ? format.rBitMask : 0);
        const AwMaskShift g = AwMaskToShift(format.flags & kDdpfRgb ? format.gBitMask : 0);
        const AwMaskShift b = AwMaskToShift(format.flags & kDdpfRgb ? format.bBitMask : 0);
        const AwMaskShift a = AwMaskToShift(format.flags & kDdpfAlphaPixels ? format.alphaBitMask : 0);
        entry = {r.loss, r.shift, g.loss, g.shift, b.loss, b.shift, a.loss, a.shift, format};
        AwDevice.TextureFormatList.push_back(entry);
        return true;
    }));
}

void ReadDeviceCaps() {
    DeviceDesc7 desc;
    if (Failed(AwDevice.Direct3DDevice->GetCaps(&desc))) return;
    AwDeviceCaps.MinTextureSize = std::max(desc.minTextureWidth, desc.minTextureHeight);
    AwDeviceCaps.MaxTextureSize = std::min(std::min(desc.maxTextureWidth, desc.maxTextureHeight), 2048u);
    AwDeviceCaps.MaxSimultaneousTextures = desc.maxSimultaneousTextures;
    AwDeviceCaps.RenderDepths = desc.deviceRenderBitDepth;
    AwDeviceCaps.ZBufferDepths = desc.deviceZBufferBitDepth;
    AwDeviceCaps.MaxAnisotropy = desc.maxAnisotropy;
    AwDeviceCaps.MaxUserClipPlanes = desc.maxUserClipPlanes;
    if (desc.devCaps & kDevCapsSeparateTextureMemories) AwDeviceCaps.Flags &= ~kCapsOneTextureMemory;
    else AwDeviceCaps.Flags |= kCapsOneTextureMemory;
    Check(AwDevice.DirectDraw->GetDeviceIdentifier(&AwDeviceCaps.Identifier, 0));
    if (AwDeviceCaps.VideoVendorId() == 0x1002 && AwDeviceCaps.VideoDeviceId() == 0x4742)
        AwDeviceCaps.MaxSimultaneousTextures = 1;
    if (desc.maxActiveLights != 0 && desc.maxActiveLights != 0xFFFFFFFFu)
        AwDeviceCaps.MaxActiveLights = desc.maxActiveLights;
}

} // namespace

const PixelFormat* AwChooseZBufferFormat() {
    const uint32_t limit = static_cast<uint32_t>(UserSettings.ZBufferDepthLimit);
    for (bool needStencil : {(AwDeviceCaps.Flags & kCapsStencilZ) != 0, false}) {
        const PixelFormat* best = nullptr;
        for (const PixelFormat& format : AwDevice.ZFormatList) {
            if (format.zBufferBitDepth > limit || (needStencil && format.stencilBitDepth == 0)) continue;
            if (!best || format.zBufferBitDepth >= best->zBufferBitDepth) best = &format;
        }
        if (best) return best;
    }
    return nullptr;
}

bool AwChooseDevice() {
    if (!AwDevice.Direct3D) return true;
    if (!EnumerateDevices()) return false;
    EnumerateZFormats();
    if (!CreateDeviceWithZBuffer()) return false;
    EnumerateTextureFormats();
    AwUpdateTextureReduction();
    ReadDeviceCaps();
    const uint32_t windowed = ScreenGeometry.DisplayFlags & kDisplayWindowed;
    if (!AwIsDisplayModeAvailable(static_cast<uint32_t>(ScreenGeometry.Screen.right),
                                  static_cast<uint32_t>(ScreenGeometry.Screen.bottom), ScreenGeometry.Depth, windowed))
        return false;
    AwSetDefaultRenderStates();
    if (TextureLoaderSetDevice(AwDevice.DirectDraw, AwDevice.Direct3DDevice) != 0) return false;
    if (!AwChooseTextureFormats()) return false;
    AwCreateNullTexture();
    AwReapplyCurrentLightSet();
    const Matrix identity = IdentityMatrix();
    Check(AwDevice.Direct3DDevice->SetTransform(kTransformWorld, identity));
    Check(AwDevice.Direct3DDevice->SetTransform(kTransformView, identity));
    Check(AwDevice.Direct3DDevice->SetTransform(kTransformProjection, identity));
    return true;
}

bool AwCreateDirect3D() {
    AwDevice.LayerFlags |= kLayerDirect3D;
    if (!AwDevice.DirectDraw) return false;
    const HResult result = AwDevice.DirectDraw->QueryDirect3D(&AwDevice.Direct3D);
    SetGameFpuMode();
    if (Failed(result)) {
        AwReportError(result);
        AwDevice.Direct3D = nullptr;
        return false;
    }
    if (!AwChooseDevice()) {
        AwReleaseDirect3D();
        return false;
    }
    AwCreateSharedBuffers();
    AwCreateGlobalMaterials();
    if (!AwDevice.DeviceReady) AwRecreateVideoResources();
    return true;
}

void AwReleaseDevice() {
    AwDevice.DeviceList.clear();
    AwDevice.TextureFormatList.clear();
    AwDevice.ZFormatList.clear();
    TextureLoaderSetDevice(nullptr, nullptr);
    AwDeviceCaps.Reset();
    AwCheckCaps(); // the driver's own caps outlive the device
    if (AwDevice.Direct3DDevice) {
        for (int stage = 7; stage >= 0; --stage) AwDevice.Direct3DDevice->SetTexture(static_cast<uint32_t>(stage), nullptr);
        AwDevice.Direct3DDevice->Release();
    }
    AwDevice.Direct3DDevice = nullptr;
    AwResetStateCaches();
    AwDevice.DeviceReady = false;
}

void AwReleaseDirect3D() {
    AwDevice.LayerFlags &= ~kLayerDirect3D;
    if (AwDevice.InScene && AwDevice.Direct3DDevice) Check(AwDevice.Direct3DDevice->EndScene());
    AwDevice.InScene = false;
    while (TextureManager.PurgeOneUnused()) {
    }
    TextureManager.RemoveUnused();
    AwReleaseSharedBuffers();
    AwReleaseGlobalMaterials();
    if (NullTexture && NullTexture->Surface) {
        NullTexture->Surface->Release();
        NullTexture->Surface = nullptr;
    }
    AwReleaseDevice();
    if (AwDevice.Direct3D) AwDevice.Direct3D->Release();
    AwDevice.Direct3D = nullptr;
}
