#include "Awapi/aw3d/render_material.h"

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/global_materials.h"
#include "Awapi/aw3d/render_states.h"
#include "Awapi/aw3d/texture.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/aw3d/user_settings.h"
#include "Awapi/aw3d/validation.h"
#include "platform/d3d/device3d.h"

using namespace plat;

List<RenderMaterial*> MaterialList;

namespace {

bool Check(HResult result) {
    if (Failed(result)) AwReportError(result);
    return Succeeded(result);
}

Surface* SurfaceOf(const AwTexture* texture) { return texture ? texture->Surface : nullptr; }

} // namespace

void TextureStageState::Init() {
    Texture = NullTexture;
    ColorOp = kTopDisable;
    ColorArg1 = kTaTexture;
    ColorArg2 = kTaDiffuse;
    AlphaOp = kTopDisable;
    AlphaArg1 = kTaTexture;
    AlphaArg2 = kTaDiffuse;
    MinFilter = kTfnPoint;
    MagFilter = kTfgPoint;
    MipFilter = kTfpPoint;
    Unused = 0;
    TexCoordIndex = 0;
}

bool TextureStageState::Record(uint32_t stage) {
    Device3D* device = AwDevice.Direct3DDevice;
    if (!device) return false;
    bool ok = Check(device->SetTexture(stage, SurfaceOf(Texture)));
    ok &= Check(device->SetTextureStageState(stage, kTssTexCoordIndex, stage));
    ok &= Check(device->SetTextureStageState(stage, kTssColorOp, ColorOp));
    ok &= Check(device->SetTextureStageState(stage, kTssColorArg1, ColorArg1));
    ok &= Check(device->SetTextureStageState(stage, kTssColorArg2, ColorArg2));
    ok &= Check(device->SetTextureStageState(stage, kTssAlphaOp, AlphaOp));
    ok &= Check(device->SetTextureStageState(stage, kTssAlphaArg1, AlphaArg1));
    ok &= Check(device->SetTextureStageState(stage, kTssAlphaArg2, AlphaArg2));
    if (!UserSettings.AnisotropicFiltering) {
        if (MinFilter > kTfnLinear) MinFilter = kTfnLinear;
        if (MagFilter > kTfgLinear) MagFilter = kTfgLinear;
    }
    ok &= Check(device->SetTextureStageState(stage, kTssMinFilter, MinFilter));
    ok &= Check(device->SetTextureStageState(stage, kTssMagFilter, MagFilter));
    ok &= Check(device->SetTextureStageState(stage, kTssMipFilter, MipFilter));
    ok &= Check(device->SetTextureStageState(stage, kTssTexCoordIndex, TexCoordIndex));
    return ok;
}

RenderMaterial::RenderMaterial() { MaterialList.PushBack(this); }

RenderMaterial::~RenderMaterial() {
    Link(TranslucentVariant, nullptr);
    Link(SecondPass, nullptr);
    DeleteStateBlock();
    if (AwStates.CurrentMaterial == this) AwStates.CurrentMaterial = nullptr;
    MaterialList.RemoveValue(this);
}

void RenderMaterial::Link(RenderMaterial*& slot, RenderMaterial* material) {
    if (material) material->AddRef();
    if (slot) slot->Release();
    slot = material;
}

void RenderMaterial::DeleteStateBlock() {
    if (StateBlock != 0 && AwDevice.Direct3DDevice) Check(AwDevice.Direct3DDevice->DeleteStateBlock(StateBlock));
    StateBlock = 0;
}

bool RenderMaterial::RecordStateBlock() {
    Device3D* device = AwDevice.Direct3DDevice;
    if (!device) return false;
    RenderMaterial* base = GlobalMaterials[0];
    if (base && base != this && base->StateBlock != 0) {
        AwStates.CurrentMaterial = nullptr;
        base->Apply();
    }
    DeleteStateBlock();

    bool ok = Check(device->BeginStateBlock());
    const auto set = [&](RenderState state, int32_t value) {
        ok &= Check(device->SetRenderState(state, static_cast<uint32_t>(value)));
    };
    set(kRsZWriteEnable, ZWriteEnable);
    set(kRsZEnable, ZEnable);
    set(kRsZFunc, kCmpLessEqual);
    set(kRsAlphaTestEnable, AlphaTest);
    set(kRsAlphaBlendEnable, AlphaBlend);
    set(kRsClipping, Clipping);
    set(kRsLighting, Lighting);
    set(kRsSrcBlend, SrcBlend);
    set(kRsDestBlend, DestBlend);
    for (int32_t stage = StageCount - 1; stage >= 0; --stage) ok &= Stages[stage].Record(static_cast<uint32_t>(stage));
    // The stage after the last one used ends the cascade; with all eight in use there is none.
    if (StageCount < 8) {
        const uint32_t end = static_cast<uint32_t>(StageCount);
        ok &= Check(device->SetTextureStageState(end, kTssColorOp, kTopDisable));
        ok &= Check(device->SetTextureStageState(end, kTssAlphaOp, kTopDisable));
    }
    ok &= AwValidateDevice(__LINE__, "VertBuff");
    uint32_t handle = 0;
    if (!Check(device->EndStateBlock(&handle))) {
        handle = 0;
        ok = false;
    }
    StateBlock = handle;
    if (!AwValidateDevice(__LINE__, "VertBuff")) {
        ok = false;
        if (UserSettings.AnisotropicFiltering) {
            UserSettings.AnisotropicFiltering = 0;
            ok = RecordStateBlock();
        }
    }
    if (SecondPass) ok &= SecondPass->RecordStateBlock();
    return ok;
}

bool RenderMaterial::Apply() {
    ++RenderTimings.MaterialApplyCount;
    AwTimedSection timed(RenderTimings.MaterialApply);
    Device3D* device = AwDevice.Direct3DDevice;
    const int32_t used = StageCount < 8 ? StageCount : 8;
    if (AwStates.CurrentMaterial == this) {
        bool ok = true;
        for (int32_t stage = used - 1; stage >= 0; --stage) {
            AwTexture* texture = Stages[stage].Texture;
            if (AwStates.StageTexture[stage] == texture) continue;
            if (device) ok &= Check(device->SetTexture(static_cast<uint32_t>(stage), SurfaceOf(texture)));
            AwStates.StageTexture[stage] = texture;
        }
        return ok;
    }
    AwStates.CurrentMaterial = this;
    AwStates.ZWrite = static_cast<uint32_t>(ZWriteEnable);
    for (int32_t stage = 0; stage < used; ++stage) AwStates.StageTexture[stage] = Stages[stage].Texture;
    if (StateBlock == 0 || !device) return true;
    return Check(device->ApplyStateBlock(StateBlock));
}

void RenderMaterial::CopyFrom(const RenderMaterial& other) {
    DeleteStateBlock();
    StageCount = other.StageCount;
    ZWriteEnable = other.ZWriteEnable;
    ZEnable = other.ZEnable;
    AlphaBlend = other.AlphaBlend;
    AlphaTest = other.AlphaTest;
    SrcBlend = other.SrcBlend;
    DestBlend = other.DestBlend;
    Clipping = other.Clipping;
    Lighting = other.Lighting;
    DepthSorted = other.DepthSorted;
    Link(TranslucentVariant, other.TranslucentVariant);
    Link(SecondPass, other.SecondPass);
    for (int32_t stage = 0; stage < StageCount && stage < 8; ++stage) Stages[stage].Copy(other.Stages[stage]);
}

void RenderMaterial::RecordAllStateBlocks() {
    if (!AwDevice.Direct3DDevice) return;
    for (RenderMaterial* material : MaterialList) material->RecordStateBlock();
}

void RenderMaterial::DeleteAllStateBlocks() {
    for (RenderMaterial* material : MaterialList) material->DeleteStateBlock();
}
