#include "platform/d3d/device_state.h"

#include <bit>

#include "platform/d3d/d3dmath.h"
#include "platform/d3d/surface.h"

namespace plat {

DeviceState InitialDeviceState(const DeviceDesc7& caps, Surface* renderTarget, Surface* zBuffer) {
    DeviceState s;
    auto& rs = s.renderStates;
    rs[kRsTexturePerspective] = 1;
    rs[kRsZEnable] = zBuffer ? kZbTrue : kZbFalse;
    rs[kRsFillMode] = kFillSolid;
    rs[kRsShadeMode] = kShadeGouraud;
    rs[kRsZWriteEnable] = 1;
    rs[kRsLastPixel] = 1;
    rs[kRsSrcBlend] = kBlendOne;
    rs[kRsDestBlend] = kBlendZero;
    rs[kRsCullMode] = kCullCcw;
    rs[kRsZFunc] = kCmpLessEqual;
    rs[kRsAlphaFunc] = kCmpAlways;
    rs[kRsFogEnd] = std::bit_cast<uint32_t>(1.0f);
    rs[kRsFogDensity] = std::bit_cast<uint32_t>(1.0f);
    rs[kRsStencilFail] = rs[kRsStencilZFail] = rs[kRsStencilPass] = kStencilOpKeep;
    rs[kRsStencilFunc] = kCmpAlways;
    rs[kRsStencilMask] = rs[kRsStencilWriteMask] = 0xFFFFFFFF;
    rs[kRsTextureFactor] = 0xFFFFFFFF;
    rs[kRsClipping] = rs[kRsLighting] = 1;
    rs[kRsColorVertex] = rs[kRsLocalViewer] = 1;
    rs[kRsDiffuseMaterialSource] = kMcsColor1;
    rs[kRsSpecularMaterialSource] = kMcsColor2;
    rs[kRsEmissiveMaterialSource] = kMcsMaterial;
    for (uint32_t i = 0; i < kMaxTextureStages; ++i) {
        auto& t = s.stageStates[i];
        t[kTssColorOp] = i == 0 ? kTopModulate : kTopDisable;
        t[kTssAlphaOp] = i == 0 ? kTopSelectArg1 : kTopDisable;
        t[kTssColorArg1] = t[kTssAlphaArg1] = kTaTexture;
        t[kTssColorArg2] = t[kTssAlphaArg2] = kTaCurrent;
        t[kTssTexCoordIndex] = i;
        t[kTssAddress] = kTaddressWrap;
        t[kTssMagFilter] = kTfgPoint;
        t[kTssMinFilter] = kTfnPoint;
        t[kTssMipFilter] = kTfpNone;
        t[kTssMaxAnisotropy] = 1;
        t[kTssTextureTransformFlags] = kTtffDisable;
    }
    s.transforms.fill(IdentityMatrix());
    s.viewport = {0, 0, renderTarget->Width(), renderTarget->Height(), 0.0f, 1.0f};
    s.lights.resize(caps.maxActiveLights);
    s.clipPlanes.resize(caps.maxUserClipPlanes);
    s.renderTarget = renderTarget;
    s.zBuffer = zBuffer;
    return s;
}

} // namespace plat
