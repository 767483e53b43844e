#pragma once
// Render materials: a bundle of render states and up to eight texture stages,
// recorded once into a device state block and applied with one call. Every
// material sits in MaterialList, so state blocks can be deleted and recorded
// again across device loss. Main thread only.

#include <cstdint>

#include "core/list.h"
#include "core/refcounted.h"

struct AwTexture;

struct TextureStageState {
    AwTexture* Texture;
    uint32_t ColorOp, ColorArg1, ColorArg2;
    uint32_t AlphaOp, AlphaArg1, AlphaArg2;
    uint32_t MinFilter, MagFilter, MipFilter;
    uint32_t Unused; // copied, never sent
    uint32_t TexCoordIndex;

    TextureStageState() { Init(); }
    // NullTexture, disabled, point filters.
    void Init();
    void Copy(const TextureStageState& other) { *this = other; }
    // Sends the stage to the device (or into the state block being recorded).
    // Without anisotropic filtering, filters above linear are lowered to linear here first.
    bool Record(uint32_t stage);
};

class RenderMaterial : public RefCounted {
public:
    RenderMaterial();
    ~RenderMaterial() override;

    int32_t StageCount = 1;
    int32_t ZWriteEnable = 1;
    int32_t ZEnable = 1;
    int32_t AlphaBlend = 0;
    int32_t AlphaTest = 0;
    int32_t SrcBlend = 5;
    int32_t DestBlend = 6;
    int32_t Clipping = 1;
    int32_t Lighting = 1;
    int32_t DepthSorted = 0;
    uint32_t StateBlock = 0;
    RenderMaterial* TranslucentVariant = nullptr; // counted
    RenderMaterial* SecondPass = nullptr;         // counted
    TextureStageState Stages[8];

    // Records the material (and its second pass) into a fresh state block.
    // False when any call failed; recording goes on regardless.
    bool RecordStateBlock();
    // Makes the material current: its whole state block when another material
    // was current, else only the stage textures someone changed meanwhile.
    bool Apply();
    // Copies the render states, the variants (counted) and the used stages;
    // the state block is dropped and the count and other stages stay.
    void CopyFrom(const RenderMaterial& other);
    // Replaces a counted variant link.
    static void Link(RenderMaterial*& slot, RenderMaterial* material);

    static void RecordAllStateBlocks();
    static void DeleteAllStateBlocks();

private:
    void DeleteStateBlock();
};

extern List<RenderMaterial*> MaterialList;
