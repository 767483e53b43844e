#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/surfaces.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/aw3d/user_settings.h"
#include "image/texture_device.h"
#include "platform/d3d/surface.h"

using namespace plat;

namespace {

struct FormatSlots {
    const AwTextureFormat* trueColour = nullptr;
    const AwTextureFormat* plain16 = nullptr;
    const AwTextureFormat* oneBitAlpha = nullptr;
    const AwTextureFormat* fourBitAlpha = nullptr;
    const AwTextureFormat* dxt1 = nullptr;
    const AwTextureFormat* dxt3 = nullptr;
};

bool HasAlpha(const PixelFormat& f) { return (f.flags & kDdpfAlphaPixels) && f.alphaBitMask != 0; }

FormatSlots SortFormats() {
    FormatSlots slots;
    for (const AwTextureFormat& entry : AwDevice.TextureFormatList) {
        const PixelFormat& f = entry.format;
        if (f.flags & kDdpfFourCc) {
            if (f.fourCc == kFourCcDxt1) slots.dxt1 = &entry;
            if (f.fourCc == kFourCcDxt3) slots.dxt3 = &entry;
            continue;
        }
        if (f.rgbBitCount == 32) {
            const bool keptHasAlpha = slots.trueColour && HasAlpha(slots.trueColour->format);
            if (!keptHasAlpha) slots.trueColour = &entry;
        } else if (f.rgbBitCount == 16) {
            const uint32_t losses = entry.redLoss + entry.greenLoss + entry.blueLoss;
            if (!HasAlpha(f)) slots.plain16 = &entry;
            else if (losses == 9) slots.oneBitAlpha = &entry;
            else if (losses == 12) slots.fourBitAlpha = &entry;
        }
    }
    return slots;
}

const AwTextureFormat* MainFormat(const FormatSlots& s) {
    if (UserSettings.TrueColourTextures && s.trueColour) return s.trueColour;
    for (const AwTextureFormat* f : {s.dxt3, s.fourBitAlpha, s.dxt1, s.oneBitAlpha, s.plain16})
        if (f) return f;
    return nullptr;
}

} // namespace

bool AwChooseTextureFormats() {
    const FormatSlots slots = SortFormats();
    const AwTextureFormat* main = MainFormat(slots);
    if (!main || TextureLoaderSetDefaultFormat(main->format) != 0) return false;
    bool ok = true;
    const auto add = [&](const AwTextureFormat* f, uint32_t alphaKind, bool colourKey) {
        if (ok && f && f != main) ok = TextureLoaderAddFormat(f->format, alphaKind, colourKey, 0, false) == 0;
    };
    add(slots.dxt3 ? slots.dxt3 : slots.fourBitAlpha, 4, true);
    if (slots.dxt1) {
        add(slots.dxt1, 1, true);
    } else {
        add(slots.oneBitAlpha, 1, true);
        add(slots.plain16, 0, false);
    }
    if (!ok) return false;
    if (AwDevice.DirectDraw) {
        while (AwDeviceCaps.MaxTextureSize > 0) {
            Surface* probe = AwCreateSurface(AwDevice.DirectDraw, AwDeviceCaps.MaxTextureSize,
                                             AwDeviceCaps.MaxTextureSize,
                                             kSurfDynamicTexture | kSurfPixelFormat, &main->format, 0);
            if (probe) {
                probe->Release();
                break;
            }
            AwDeviceCaps.MaxTextureSize /= 2;
        }
    }
    return true;
}

void AwCreateNullTexture() {
    if (!NullTexture || !AwDevice.DirectDraw) return;
    if (NullTexture->Surface) NullTexture->Surface->Release();
    NullTexture->Surface = nullptr;
    const PixelFormat* chosen = nullptr;
    for (const AwTextureFormat& entry : AwDevice.TextureFormatList) {
        const PixelFormat& f = entry.format;
        if (!(f.flags & kDdpfRgb) || f.rgbBitCount <= 8 || f.rgbBitCount >= 32) continue;
        if (!chosen || f.rgbBitCount < chosen->rgbBitCount) chosen = &f;
    }
    if (!chosen) return; // no small RGB format: draws use the stage without a texture
    const uint32_t options = kSurfDynamicTexture | kSurfPixelFormat;
    Surface* system = AwCreateSurface(AwDevice.DirectDraw, 8, 8, options | kSurfSystemMemory, chosen, 0);
    Surface* video = AwCreateSurface(AwDevice.DirectDraw, 8, 8, options | kSurfVideoMemory, chosen, 0);
    NullTexture->Surface = video;
    BltFx white;
    white.fillColor = 0xFFFFFFFFu;
    if (video && Failed(video->Blt(nullptr, nullptr, nullptr, kDdBltColorFill | kDdBltWait, &white)) && system) {
        HResult result = system->Blt(nullptr, nullptr, nullptr, kDdBltColorFill | kDdBltWait, &white);
        if (Succeeded(result)) result = video->Blt(nullptr, system, nullptr, kDdBltWait, nullptr);
        if (Failed(result)) AwReportError(result);
    }
    if (system) system->Release();
}
