#include "platform/d3d/state_rules.h"

#include "platform/d3d/device_state.h"

namespace plat {
namespace {

struct Range {
    uint32_t low, high;
};
constexpr Range kAnyValue{0, 0xFFFFFFFF};

// The values each render state takes; states without an entry are unknown.
bool RenderStateRange(uint32_t state, Range* range) {
    if (state >= kRsWrap0 && state <= kRsWrap7) {
        *range = {0, 0xF};
        return true;
    }
    switch (state) {
    case kRsAntialias: *range = {0, 2}; return true;
    case kRsZEnable: *range = {kZbFalse, kZbUseW}; return true;
    case kRsFillMode: *range = {kFillPoint, kFillSolid}; return true;
    case kRsShadeMode: *range = {kShadeFlat, kShadePhong}; return true;
    case kRsSrcBlend:
    case kRsDestBlend: *range = {kBlendZero, kBlendBothInvSrcAlpha}; return true;
    case kRsCullMode: *range = {kCullNone, kCullCcw}; return true;
    case kRsZFunc:
    case kRsAlphaFunc:
    case kRsStencilFunc: *range = {kCmpNever, kCmpAlways}; return true;
    case kRsStencilFail:
    case kRsStencilZFail:
    case kRsStencilPass: *range = {kStencilOpKeep, kStencilOpDecr}; return true;
    case kRsFogTableMode:
    case kRsFogVertexMode: *range = {kFogNone, kFogLinear}; return true;
    case kRsZBias: *range = {0, 16}; return true;
    case kRsDiffuseMaterialSource:
    case kRsSpecularMaterialSource:
    case kRsEmissiveMaterialSource: *range = {kMcsMaterial, kMcsColor2}; return true;
    case kRsVertexBlend: *range = {0, 3}; return true;
    case kRsTexturePerspective:
    case kRsLinePattern:
    case kRsZWriteEnable:
    case kRsAlphaTestEnable:
    case kRsLastPixel:
    case kRsAlphaRef:
    case kRsDitherEnable:
    case kRsAlphaBlendEnable:
    case kRsFogEnable:
    case kRsSpecularEnable:
    case kRsZVisible:
    case kRsStippledAlpha:
    case kRsFogColor:
    case kRsFogStart:
    case kRsFogEnd:
    case kRsFogDensity:
    case kRsEdgeAntialias:
    case kRsColorKeyEnable:
    case kRsRangeFogEnable:
    case kRsFlushBatch:
    case kRsStencilEnable:
    case kRsStencilRef:
    case kRsStencilMask:
    case kRsStencilWriteMask:
    case kRsTextureFactor:
    case kRsClipping:
    case kRsLighting:
    case kRsExtents:
    case kRsAmbient:
    case kRsColorVertex:
    case kRsLocalViewer:
    case kRsNormalizeNormals:
    case kRsColorKeyBlendEnable:
    case kRsClipPlaneEnable: *range = kAnyValue; return true;
    default: return false;
    }
}

bool FilterOffered(const DeviceDesc7& caps, uint32_t type, uint32_t value) {
    const uint32_t filters = caps.triCaps.textureFilterCaps;
    const bool anisotropy = caps.maxAnisotropy > 0;
    switch (type) {
    case kTssMagFilter:
        if (value == kTfgPoint) return filters & kPtFilterCapsMagfPoint;
        if (value == kTfgLinear) return filters & kPtFilterCapsMagfLinear;
        if (value == kTfgAnisotropic) return anisotropy && (filters & kPtFilterCapsMagfAnisotropic);
        return false;
    case kTssMinFilter:
        if (value == kTfnPoint) return filters & kPtFilterCapsMinfPoint;
        if (value == kTfnLinear) return filters & kPtFilterCapsMinfLinear;
        if (value == kTfnAnisotropic) return anisotropy && (filters & kPtFilterCapsMinfAnisotropic);
        return false;
    default: // the mip filter
        if (value == kTfpNone) return true;
        if (value == kTfpPoint) return filters & kPtFilterCapsMipfPoint;
        if (value == kTfpLinear) return filters & kPtFilterCapsMipfLinear;
        return false;
    }
}

bool IsArgument(uint32_t value) {
    return (value & ~(kTaSelectMask | kTaComplement | kTaAlphaReplicate)) == 0 && (value & kTaSelectMask) <= kTaSpecular;
}

} // namespace

HResult CheckRenderState(const DeviceDesc7& caps, uint32_t state, uint32_t value) {
    Range range;
    if (!RenderStateRange(state, &range) || value < range.low || value > range.high) return kDdErrInvalidParams;
    switch (state) {
    case kRsStencilEnable:
        return value && caps.stencilCaps == 0 ? kDdErrUnsupported : kDdOk;
    case kRsStencilFail:
    case kRsStencilZFail:
    case kRsStencilPass:
        return caps.stencilCaps & StencilCapBit(value) ? kDdOk : kDdErrUnsupported;
    case kRsClipPlaneEnable:
        return caps.maxUserClipPlanes < 32 && (value >> caps.maxUserClipPlanes) ? kDdErrUnsupported : kDdOk;
    default: return kDdOk;
    }
}

HResult CheckTextureStageState(const DeviceDesc7& caps, uint32_t stage, uint32_t type, uint32_t value) {
    if (stage >= kMaxTextureStages) return kDdErrInvalidParams;
    switch (type) {
    case kTssColorOp:
    case kTssAlphaOp:
        if (value < kTopDisable || value > kTopDotProduct3) return kDdErrInvalidParams;
        if (value == kTopDisable || (caps.textureOpCaps & TextureOpCapBit(value))) return kDdOk;
        return type == kTssColorOp ? kD3dErrUnsupportedColorOperation : kD3dErrUnsupportedAlphaOperation;
    case kTssColorArg1:
    case kTssColorArg2:
    case kTssAlphaArg1:
    case kTssAlphaArg2: return IsArgument(value) ? kDdOk : kDdErrInvalidParams;
    case kTssTexCoordIndex:
        return (value & 0xFFFF) < kMaxTextureStages && (value >> 16) <= (kTciCameraSpaceReflectionVector >> 16)
                   ? kDdOk
                   : kDdErrInvalidParams;
    case kTssAddress: return value >= kTaddressWrap && value <= kTaddressBorder ? kDdOk : kDdErrInvalidParams;
    case kTssMagFilter:
    case kTssMinFilter:
    case kTssMipFilter: return FilterOffered(caps, type, value) ? kDdOk : kD3dErrUnsupportedTextureFilter;
    case kTssMipMapLodBias: return kDdOk;
    case kTssMaxAnisotropy:
        return value <= (caps.maxAnisotropy > 1 ? caps.maxAnisotropy : 1) ? kDdOk : kDdErrUnsupported;
    case kTssTextureTransformFlags:
        return (value & ~kTtffProjected) <= kTtffCount4 ? kDdOk : kDdErrInvalidParams;
    default: return kDdErrInvalidParams;
    }
}

HResult ValidateStages(const DeviceDesc7& caps, const DeviceState& state) {
    uint32_t stages = 0, textures = 0;
    for (; stages < kMaxTextureStages && state.stageStates[stages][kTssColorOp] != kTopDisable; ++stages)
        if (state.textures[stages]) ++textures;
    if (stages > caps.maxTextureBlendStages || textures > caps.maxSimultaneousTextures)
        return kD3dErrTooManyOperations;
    return kDdOk;
}

} // namespace plat
