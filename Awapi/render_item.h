#pragma once
// One queued drawing of a placed object: what to draw, with which camera,
// light set and material, and the flags that steer culling, picking and
// animation. Reference counted: one reference per draw-list entry plus the
// creator's. The item holds counted references on its object, light set,
// pick context and hook for its whole life.

#include <cstdint>

#include "Awapi/picking.h"
#include "core/refcounted.h"

class AwCamera;
class AwLightSet;
class AwObject;
class RenderMaterial;

// The flag word of an item, passed on to the object, node and shape draws.
using AwDrawFlags = uint32_t;
constexpr AwDrawFlags kDrawNoCull = 0x1;
constexpr AwDrawFlags kDrawCullDone = 0x2;
constexpr AwDrawFlags kDrawSlotZero = 0x4;
constexpr AwDrawFlags kDrawForceWorldMatrix = 0x20;
constexpr AwDrawFlags kDrawAlphaPartsOnly = 0x40;
constexpr AwDrawFlags kDrawNoTextures = 0x80;
constexpr AwDrawFlags kDrawParentMatrix = 0x10000;
constexpr AwDrawFlags kDrawWireframe = 0x200000;
constexpr AwDrawFlags kDrawCulled = 0x1000000;
constexpr AwDrawFlags kDrawAnimationObject = 0x2000000;
constexpr AwDrawFlags kDrawFromList = 0x4000000;
constexpr AwDrawFlags kDrawDropFinished = 0x8000000;
constexpr AwDrawFlags kDrawPickMode = 0x10000000;
constexpr AwDrawFlags kDrawPickBox = 0x20000000;
constexpr AwDrawFlags kDrawPickable = 0x40000000;
constexpr AwDrawFlags kDrawReadBack = 0x80000000;

// Identifies an item to screen-point picking; told of every hit.
class AwPickContext : public RefCounted, public AwPickCallback {};

// Runs around the drawing of an object.
class AwRenderHook : public RefCounted {
public:
    virtual void BeforeDraw(AwObject* object) = 0;
    virtual void AfterDraw(AwObject* object) = 0;
};

class AwRenderItem : public RefCounted {
public:
    AwRenderItem(AwObject* object, int32_t time, AwDrawFlags flags, RenderMaterial* material, AwCamera* camera,
                 AwLightSet* lightSet, AwPickContext* pickContext, int32_t shapeSlot, float depthKey,
                 AwRenderHook* hook);
    ~AwRenderItem() override;

    // A second-pass copy: no picking, no textures, drawn with the material's second pass.
    AwRenderItem* MakeSecondPass() const;

    AwObject* const Object;
    const int32_t Time;
    AwDrawFlags Flags;
    RenderMaterial* Material; // not counted
    AwCamera* const Camera;   // not counted
    AwLightSet* const LightSet;
    AwPickContext* const PickContext;
    const int32_t ShapeSlot;
    const float DepthKey; // the negated world height of the object
    AwRenderHook* const Hook;
};
