#include "Awapi/draw_list.h"

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/render_material.h"
#include "Awapi/aw3d/render_states.h"
#include "Awapi/aw3d/texture.h"
#include "Awapi/camera.h"
#include "Awapi/frame_render.h"
#include "Awapi/light_set.h"
#include "Awapi/object.h"
#include "Awapi/picking.h"
#include "Awapi/render_item.h"
#include "Awapi/texture_list.h"
#include "platform/d3d/device3d.h"

List<AwDrawBatch*> AwDrawList::OpaqueBatches;
List<AwDrawBatch*> AwDrawList::BlendedBatches;
List<AwRenderItem*> AwDrawList::SortedItems;

namespace {

// Equal keys: the newer item goes first.
void InsertSorted(AwRenderItem* item) {
    item->AddRef();
    ListNodeBase* at = AwDrawList::SortedItems.Sentinel()->Next;
    while (at != AwDrawList::SortedItems.Sentinel() &&
           static_cast<ListNode<AwRenderItem*>*>(at)->Payload->DepthKey < item->DepthKey)
        at = at->Next;
    AwDrawList::SortedItems.InsertBefore(at, item);
}

// The batch of the material; a new one goes to the front, so the newest batch draws first.
AwDrawBatch* BatchOf(List<AwDrawBatch*>& batches, RenderMaterial* material) {
    for (AwDrawBatch* batch : batches)
        if (batch->Material == material) return batch;
    auto* batch = new AwDrawBatch;
    batch->Material = material;
    batches.PushFront(batch);
    return batch;
}

AwTextureGroup* GroupOf(AwDrawBatch* batch, AwTexture* texture) {
    for (AwTextureGroup* group : batch->Groups)
        if (group->Texture == texture) return group;
    auto* group = new AwTextureGroup;
    group->Texture = texture;
    batch->Groups.PushBack(group);
    return group;
}

void ReleaseItems(List<AwRenderItem*>& items) {
    while (!items.IsEmpty()) {
        AwRenderItem* item = items.Front();
        items.PopFront();
        item->Release();
    }
}

// Empties a batch list; each group is drawn first unless `draw` is false.
void EmptyBatches(List<AwDrawBatch*>& batches, bool draw) {
    while (!batches.IsEmpty()) {
        AwDrawBatch* batch = batches.Front();
        if (draw) batch->Material->Apply();
        while (!batch->Groups.IsEmpty()) {
            AwTextureGroup* group = batch->Groups.Front();
            if (draw)
                AwDrawList::RenderGroup(group->Items, group->Texture);
            else
                ReleaseItems(group->Items);
            batch->Groups.PopFront();
            delete group;
        }
        batches.PopFront();
        delete batch;
    }
}

void MakeCameraCurrent(AwCamera* camera) {
    if (!camera) return;
    if (camera->dirty) camera->Update();
    if (camera == AwCurrentCamera) return;
    AwCurrentCamera = camera;
    camera->ApplyViewport();
    camera->ApplyTransforms();
}

void SetUpItemProbe(const AwRenderItem* item) {
    if (item->Flags & kDrawPickable) {
        if (!AwItemPickProbe.inList) AwPickProbeList::PushBack(&AwItemPickProbe);
        AwItemPickProbe.callback = item->PickContext;
        AwItemPickProbe.precise = (item->Flags & kDrawPickMode) != 0;
    } else if (AwItemPickProbe.inList) {
        AwPickProbeList::Remove(&AwItemPickProbe);
    }
}

} // namespace

void AwDrawList::Insert(const AwTextureList& textures, AwRenderItem* item) {
    RenderMaterial* material = item->Material;
    if (!material) return; // nothing to draw it with: not queued
    if (material->DepthSorted) {
        InsertSorted(item);
        return;
    }
    AwDrawBatch* batch = BatchOf(material->AlphaBlend ? BlendedBatches : OpaqueBatches, material);
    bool sorted = false;
    for (AwTexture* texture : textures.Textures) {
        if (texture->AlphaBits != 0 && material->TranslucentVariant) {
            if (!sorted) InsertSorted(item);
            sorted = true;
            continue;
        }
        item->AddRef();
        GroupOf(batch, texture)->Items.PushBack(item);
    }
    if (material->SecondPass) {
        AwRenderItem* copy = item->MakeSecondPass();
        Insert(textures, copy);
        copy->Release();
    }
}

void AwDrawList::Render() {
    AwTimedSection timed(RenderTimings.DrawList);
    AwBeginScene();
    EmptyBatches(OpaqueBatches, true);
    EmptyBatches(BlendedBatches, true);
    RenderGroup(SortedItems, nullptr);
}

void AwDrawList::RenderGroup(List<AwRenderItem*>& items, AwTexture* texture) {
    while (!items.IsEmpty()) {
        AwRenderItem* item = items.Front();
        MakeCameraCurrent(item->Camera);
        if (!texture) {
            RenderMaterial* material = item->Material;
            if (!material->AlphaBlend && material->TranslucentVariant) {
                item->Material = material->TranslucentVariant;
                item->Flags |= kDrawAlphaPartsOnly;
                if (item->LightSet) item->LightSet->SetAlpha(1.0f);
            }
            if (AwStates.CurrentMaterial != item->Material) item->Material->Apply();
        }
        if (item->LightSet && item->LightSet != CurrentLightSet) item->LightSet->Apply();
        SetUpItemProbe(item);
        if ((item->Flags & kDrawReadBack) && item->Camera) item->Camera->ReadBackTransforms();
        if (item->Hook) item->Hook->BeforeDraw(item->Object);
        item->Object->Draw(item->Time, item->ShapeSlot, item->Flags | kDrawFromList, texture);
        if (item->Hook) item->Hook->AfterDraw(item->Object);
        item->Flags &= ~(kDrawAnimationObject | kDrawPickBox);
        items.PopFront();
        item->Release();
    }
}

void AwDrawList::Discard() {
    EmptyBatches(OpaqueBatches, false);
    EmptyBatches(BlendedBatches, false);
    ReleaseItems(SortedItems);
}
