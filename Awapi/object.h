#pragma once
// Placed objects: a scaled, reference-counted frame that owns a tree of
// shape-instance nodes, the textures the tree uses, object-space bounds with
// an optional culling box, and collision bounds read by the level world.
// Game code moves an object through the frame setters and queues it every
// frame; the draw list then draws it once per texture group.
//
// Objects may be made on the server thread (box batches are locked);
// queuing and drawing happen on the main thread only.

#include <cstdint>
#include <string>

#include "Awapi/frame.h"
#include "Awapi/render_item.h"
#include "Awapi/texture_list.h"

class AwBoundingBox;
class AwCamera;
class AwLightSet;
class AwShape;
class AwShapeInstance;
class RenderMaterial;
struct AwTexture;

class AwObject : public AwScaledFrame {
public:
    // A one-node tree holding the shape; bounds from the shape.
    AwObject(AwShape* shape, bool box);
    // Takes over the tree; with `box` the bounds come from the root's box
    // (zero when the root has none), without it they are zero.
    AwObject(AwShapeInstance* tree, bool box);
    ~AwObject() override;

    // Queues one drawing under the given textures (the object's own when
    // null); returns the item's references left after the creator's release.
    int32_t QueueForDrawing(int32_t time, AwCamera* camera, AwLightSet* lightSet, RenderMaterial* material,
                            int32_t slot, AwDrawFlags flags, AwPickContext* pickContext, AwRenderHook* hook,
                            const AwTextureList* textures);
    // Culls the object's sphere, then draws the tree with the texture filter.
    void Draw(int32_t time, int32_t slot, AwDrawFlags flags, AwTexture* filter);

    // False without a tree.
    bool GetSubShapePosition(Vector3& out, const char* name, int32_t time);
    // Replaces the shape of the named node, then collects the tree's textures again.
    void ReplaceSubShape(AwShape* shape, const char* name);
    // The root's own name deletes the whole tree.
    void DeleteSubShape(const char* name);
    // Drops the culling box.
    void ReleaseBounds();

    AwShapeInstance* Root = nullptr; // owned
    std::string Description;
    uint32_t MovementStart = 0;
    AwTextureList Textures;
    bool HasBox = false;
    Vector3 Min{0, 0, 0}, Max{0, 0, 0};
    AwBoundingBox* Box = nullptr;
    uint8_t CollisionFlag = 0;
    Vector3 CollisionMin{0, 0, 0}, CollisionMax{0, 0, 0};

private:
    void SetBounds(const Vector3& min, const Vector3& max, bool box);
    void CollectTextures();
};
