#include "Awapi/aw3d/render_states.h"

#include <bit>
#include <initializer_list>

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/texture.h"
#include "Awapi/aw3d/user_settings.h"
#include "Awapi/aw3d/validation.h"
#include "Awapi/frame_render.h"
#include "platform/d3d/device3d.h"

using namespace plat;

AwStateCache AwStates;

namespace {

uint32_t FloatBits(float f) { return std::bit_cast<uint32_t>(f); }

bool SetState(Device3D* device, RenderState state, uint32_t value) {
    const HResult result = device->SetRenderState(state, value);
    if (Failed(result)) AwReportError(result);
    return Succeeded(result);
}

bool SetStage(Device3D* device, uint32_t stage, TextureStageStateType type, uint32_t value) {
    const HResult result = device->SetTextureStageState(stage, type, value);
    if (Failed(result)) AwReportError(result);
    return Succeeded(result);
}

// Tries the filters in order; the last one the device accepted is kept in chosen.
void SetFilter(Device3D* device, uint32_t stage, TextureStageStateType type, std::initializer_list<uint32_t> tries,
               uint32_t& chosen) {
    for (uint32_t filter : tries) {
        if (filter == 0) continue; // an option not offered
        if (Succeeded(device->SetTextureStageState(stage, type, filter))) {
            chosen = filter;
            return;
        }
    }
}

bool SpecularUnsupported() {
    const uint32_t vendor = AwDeviceCaps.VideoVendorId();
    return (vendor == 0x121A || vendor == 0x1142 || vendor == 0x10D9) && AwDeviceCaps.VideoDeviceId() == 5;
}

struct StateValue {
    RenderState state;
    uint32_t value;
};

} // namespace

void AwResetStateCaches() { AwStates = AwStateCache(); }

void AwSetDefaultRenderStates() {
    Device3D* device = AwDevice.Direct3DDevice;
    if (!device) return;
    if (Succeeded(device->BeginScene())) AwDevice.InScene = true;
    const StateValue states[] = {
        {kRsAntialias, 0}, {kRsTexturePerspective, 1}, {kRsZEnable, 1}, {kRsFillMode, kFillSolid},
        {kRsShadeMode, kShadeGouraud}, {kRsLinePattern, 0}, {kRsZWriteEnable, 1}, {kRsAlphaTestEnable, 0},
        {kRsLastPixel, 1}, {kRsSrcBlend, kBlendSrcAlpha}, {kRsDestBlend, kBlendInvSrcAlpha},
        {kRsCullMode, kCullCcw}, {kRsZFunc, kCmpLessEqual}, {kRsAlphaRef, 31}, {kRsAlphaFunc, kCmpGreaterEqual},
        {kRsDitherEnable, 0}, {kRsAlphaBlendEnable, 0}, {kRsFogEnable, 0},
        {kRsSpecularEnable, SpecularUnsupported() ? 0u : 1u}, {kRsZVisible, 0}, {kRsStippledAlpha, 0},
        {kRsFogColor, 0}, {kRsFogTableMode, 0}, {kRsFogStart, FloatBits(0.0f)}, {kRsFogEnd, FloatBits(1.0f)},
        {kRsFogDensity, FloatBits(1.0f)}, {kRsEdgeAntialias, 0}, {kRsColorKeyEnable, 0}, {kRsZBias, 0},
        {kRsRangeFogEnable, 0}, {kRsStencilEnable, 0}, {kRsStencilFail, kStencilOpKeep},
        {kRsStencilZFail, kStencilOpKeep}, {kRsStencilPass, kStencilOpKeep}, {kRsStencilFunc, kCmpAlways},
        {kRsStencilRef, 0}, {kRsStencilMask, 0xFFFFFFFFu}, {kRsStencilWriteMask, 0xFFFFFFFFu},
        {kRsTextureFactor, 0},
    };
    for (const StateValue& s : states) SetState(device, s.state, s.value);
    for (uint32_t wrap = kRsWrap0; wrap <= kRsWrap7; ++wrap) SetState(device, RenderState(wrap), 0);
    const StateValue later[] = {
        {kRsClipping, 1}, {kRsLighting, 1}, {kRsExtents, 1}, {kRsAmbient, 0}, {kRsFogVertexMode, 0},
        {kRsColorVertex, 1}, {kRsLocalViewer, 1}, {kRsNormalizeNormals, 0}, {kRsColorKeyBlendEnable, 0},
        {kRsDiffuseMaterialSource, kMcsColor1}, {kRsSpecularMaterialSource, kMcsColor2},
        {kRsEmissiveMaterialSource, 0}, {kRsVertexBlend, 0}, {kRsClipPlaneEnable, 0},
    };
    for (const StateValue& s : later) SetState(device, s.state, s.value);

    const bool anisotropic = AwDeviceCaps.MaxAnisotropy != 0 && UserSettings.AnisotropicFiltering;
    const float lodBias = AwDeviceCaps.VideoDeviceId() == 0x5246 ? -1.0f : 0.0f;
    for (int stage = 7; stage >= 0; --stage) {
        const uint32_t s = static_cast<uint32_t>(stage);
        const HResult result = device->SetTexture(s, nullptr);
        if (Failed(result)) AwReportError(result);
        const uint32_t op = s == 0 ? kTopModulate : kTopDisable;
        SetStage(device, s, kTssColorOp, op);
        SetStage(device, s, kTssAlphaOp, op);
        SetStage(device, s, kTssColorArg1, kTaTexture);
        SetStage(device, s, kTssAlphaArg1, kTaTexture);
        SetStage(device, s, kTssColorArg2, kTaCurrent);
        SetStage(device, s, kTssAlphaArg2, kTaCurrent);
        SetStage(device, s, kTssTexCoordIndex, s);
        SetStage(device, s, kTssAddress, kTaddressWrap);
        SetStage(device, s, kTssMaxAnisotropy, AwDeviceCaps.MaxAnisotropy);
        SetFilter(device, s, kTssMagFilter, {anisotropic ? kTfgAnisotropic : 0u, kTfgLinear, kTfgPoint},
                  AwDeviceCaps.MagFilter);
        SetFilter(device, s, kTssMinFilter, {anisotropic ? kTfnAnisotropic : 0u, kTfnLinear, kTfnPoint},
                  AwDeviceCaps.MinFilter);
        SetFilter(device, s, kTssMipFilter, {kTfpLinear, kTfpPoint, kTfpNone}, AwDeviceCaps.MipFilter);
        SetStage(device, s, kTssMipMapLodBias, FloatBits(lodBias));
    }
    AwValidateDevice(__LINE__, "aw3d");
    const HResult ended = device->EndScene();
    if (Failed(ended)) AwReportError(ended);
    AwResetStateCaches();
    AwDevice.InScene = false;
    AwClearAllBuffers();
}

bool AwSetTexture(AwTexture* texture, uint32_t stage) {
    if (stage >= 8 || AwStates.StageTexture[stage] == texture) return true;
    Device3D* device = AwDevice.Direct3DDevice;
    if (!device) return false;
    AwTimedSection timed(RenderTimings.SetTexture);
    const HResult result = device->SetTexture(stage, texture ? texture->Surface : nullptr);
    if (Failed(result)) {
        AwReportError(result);
        return false;
    }
    const uint32_t clamp = texture ? texture->Flags & kTextureClamp : 0;
    if (clamp != AwStates.StageClamp[stage]) {
        SetStage(device, stage, kTssAddress, clamp ? kTaddressClamp : kTaddressWrap);
        AwStates.StageClamp[stage] = clamp;
    }
    AwStates.StageTexture[stage] = texture;
    return true;
}

uint32_t AwSetZFunc(uint32_t function) {
    const uint32_t previous = AwStates.ZFunction;
    if (function == previous || !AwDevice.Direct3DDevice) return previous;
    if (SetState(AwDevice.Direct3DDevice, kRsZFunc, function)) AwStates.ZFunction = function;
    return previous;
}

bool AwSetZWrite(uint32_t enable) {
    if (!AwDevice.Direct3DDevice || !SetState(AwDevice.Direct3DDevice, kRsZWriteEnable, enable)) return false;
    AwStates.ZWrite = enable;
    return true;
}

void AwFlushBatch() {
    if (AwDevice.Direct3DDevice) SetState(AwDevice.Direct3DDevice, kRsFlushBatch, 0);
}
