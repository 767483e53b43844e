#pragma once
// The engine's eleven shared render materials and the extra one, built when
// the device is created.

class RenderMaterial;

constexpr int kGlobalMaterialCount = 11;
// The plain material most objects draw with.
constexpr int kBaseMaterial = 0;
extern RenderMaterial* GlobalMaterials[kGlobalMaterialCount];
extern RenderMaterial* ExtraGlobalMaterial;

void AwCreateGlobalMaterials();
void AwReleaseGlobalMaterials();
