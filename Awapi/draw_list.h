#pragma once
// The queue of one frame's drawing. Items are sorted into batches by render
// material (opaque ones, then alpha-blended ones) and, inside a batch, into
// groups by texture, so each material and each texture is set once per frame;
// depth-sorted and translucent work goes into one list in ascending depth-key
// order, drawn last. Render draws and empties everything; Discard empties
// without drawing. Main thread only.

#include "core/list.h"

class AwRenderItem;
class AwTextureList;
class RenderMaterial;
struct AwTexture;

struct AwTextureGroup : MemObject {
    AwTexture* Texture = nullptr;
    List<AwRenderItem*> Items; // each holds one reference
};

struct AwDrawBatch : MemObject {
    RenderMaterial* Material = nullptr;
    List<AwTextureGroup*> Groups;
};

class AwDrawList {
public:
    // Queues the item under the textures of the list (the list takes its
    // own references; the caller keeps its own). A material with a second
    // pass queues a second-pass copy as well; an item without a material is not queued.
    static void Insert(const AwTextureList& textures, AwRenderItem* item);
    // Draws and empties all lists: opaque batches, blended batches, then the sorted items.
    static void Render();
    // Draws and empties one list of items; `texture` is the group's, null for the sorted list.
    static void RenderGroup(List<AwRenderItem*>& items, AwTexture* texture);
    // Empties all lists, releasing every item, without drawing.
    static void Discard();

    // Newest batch first.
    static List<AwDrawBatch*> OpaqueBatches;
    static List<AwDrawBatch*> BlendedBatches;
    static List<AwRenderItem*> SortedItems;
};
