#include "Awapi/aw3d/global_materials.h"

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/render_material.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/aw3d/user_settings.h"
#include "platform/d3d/d3d_types.h"

using namespace plat;

RenderMaterial* GlobalMaterials[kGlobalMaterialCount] = {};
RenderMaterial* ExtraGlobalMaterial = nullptr;

namespace {

RenderMaterial* CopyOf(const RenderMaterial* from) {
    RenderMaterial* material = new RenderMaterial;
    if (from) material->CopyFrom(*from);
    return material;
}

void PointFilters(RenderMaterial* material, uint32_t mip) {
    material->Stages[0].MinFilter = kTfnPoint;
    material->Stages[0].MagFilter = kTfgPoint;
    material->Stages[0].MipFilter = mip;
}

void SelectDiffuse(RenderMaterial* material) {
    material->Stages[0].Texture = NullTexture;
    material->Stages[0].ColorOp = kTopSelectArg2;
    material->Stages[0].AlphaOp = kTopSelectArg2;
}

// Builds entry `index` as a copy of `from` changed by `change`, and records it.
template <class Change>
void Build(int index, int from, Change change) {
    RenderMaterial* material = CopyOf(from >= 0 ? GlobalMaterials[from] : nullptr);
    change(material);
    material->RecordStateBlock();
    GlobalMaterials[index] = material;
}

} // namespace

void AwCreateGlobalMaterials() {
    RenderMaterial** g = GlobalMaterials;
    Build(0, -1, [](RenderMaterial* m) {
        TextureStageState& s = m->Stages[0];
        s.Texture = NullTexture;
        s.ColorOp = kTopModulate;
        s.ColorArg1 = kTaTexture;
        s.ColorArg2 = kTaDiffuse;
        s.AlphaOp = kTopModulate;
        s.AlphaArg1 = kTaTexture;
        s.AlphaArg2 = kTaDiffuse;
        s.MinFilter = AwDeviceCaps.MinFilter;
        s.MagFilter = AwDeviceCaps.MagFilter;
        s.MipFilter = UserSettings.Mipmapping ? AwDeviceCaps.MipFilter : kTfpPoint;
    });
    Build(1, 0, [](RenderMaterial* m) { m->Lighting = 0; });
    Build(2, 0, [](RenderMaterial* m) { PointFilters(m, kTfpPoint); });
    Build(3, 0, [](RenderMaterial* m) {
        m->AlphaBlend = 1;
        m->AlphaTest = 1;
        m->Stages[0].AlphaOp = kTopModulate;
        m->DepthSorted = 1;
    });
    Build(4, 3, [](RenderMaterial* m) {
        m->ZWriteEnable = 0;
        m->DepthSorted = 0;
    });
    Build(5, 3, [](RenderMaterial* m) { PointFilters(m, kTfpNone); });
    Build(6, 5, [](RenderMaterial* m) {
        m->ZWriteEnable = 0;
        m->DepthSorted = 0;
    });
    Build(7, 3, [](RenderMaterial* m) {
        m->ZWriteEnable = 0;
        m->DestBlend = kBlendOne;
        m->DepthSorted = 0;
    });
    Build(8, 7, [](RenderMaterial* m) {
        PointFilters(m, kTfpNone);
        m->DepthSorted = 0;
    });
    Build(9, 0, [](RenderMaterial* m) {
        SelectDiffuse(m);
        m->Lighting = 0;
        m->Clipping = 0;
    });
    Build(10, 3, [](RenderMaterial* m) {
        m->ZWriteEnable = 0;
        SelectDiffuse(m);
    });
    RenderMaterial::Link(g[0]->TranslucentVariant, g[3]);
    RenderMaterial::Link(g[2]->TranslucentVariant, g[5]);
    RenderMaterial::Link(g[9]->TranslucentVariant, g[10]);

    if (!ExtraGlobalMaterial) {
        RenderMaterial* m = CopyOf(g[0]);
        m->AlphaBlend = 1;
        m->AlphaTest = 1;
        m->ZWriteEnable = 0;
        m->SrcBlend = kBlendOne;
        m->DestBlend = kBlendOne;
        m->Lighting = 0;
        m->Stages[0].Texture = NullTexture;
        m->Stages[0].ColorOp = kTopModulate;
        m->Stages[0].AlphaOp = kTopSelectArg1;
        m->RecordStateBlock();
        ExtraGlobalMaterial = m;
    }
}

void AwReleaseGlobalMaterials() {
    for (RenderMaterial*& material : GlobalMaterials) {
        if (material) material->Release();
        material = nullptr;
    }
    if (ExtraGlobalMaterial) ExtraGlobalMaterial->Release();
    ExtraGlobalMaterial = nullptr;
}
