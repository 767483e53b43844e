#include "Awapi/device_loss.h"

#include "Awapi/VertBuff/tl_vertex_buffer.h"
#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/render_material.h"
#include "Awapi/aw3d/render_states.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/texture.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/bounding_box.h"
#include "Awapi/vertex_buffer_pool.h"
#include "platform/d3d/surface.h"
#include "platform/fpu.h"
#include "platform/threads.h"

namespace {

template <typename Action>
void ForEachBoxBatch(Action action) {
    plat::CriticalSectionLock hold(AwBoxBatchListLock);
    for (AwBoxBatch* batch : AwBoxBatchList) action(*batch);
}

} // namespace

void AwReleaseVideoResources() {
    if (!AwDevice.DeviceReady) return;
    TextureManager.ReleaseAll();
    if (NullTexture && NullTexture->Surface) {
        NullTexture->Surface->Release();
        NullTexture->Surface = nullptr;
    }
    ForEachBoxBatch([](AwBoxBatch& batch) { batch.ReleaseVertexBuffer(); });
    for (AwVertexBuffer* buffer : AwVertexBufferList) buffer->ReleaseBuffer();
    AwReleaseTLBuffers();
    if (AwSprayBuffer.release) AwSprayBuffer.release();
    RenderMaterial::DeleteAllStateBlocks();
    AwDevice.DeviceReady = false;
}

int AwRestoreVideoResources() {
    if (AwDevice.DeviceReady) return 1;
    if (!AwDevice.Direct3DDevice) return 0;
    AwRecreateVideoResources();
    return 1;
}

void AwRecreateVideoResources() {
    plat::SetGameFpuMode();
    AwRestoreLostSurfaces();
    TextureManager.RestoreLost();
    AwCreateNullTexture();
    ForEachBoxBatch([](AwBoxBatch& batch) { batch.Restore(); });
    for (AwVertexBuffer* buffer : AwVertexBufferList) buffer->Restore();
    AwRecreateTLBuffers(AwDevice.Direct3D);
    if (AwSprayBuffer.create) AwSprayBuffer.create();
    RenderMaterial::RecordAllStateBlocks();
    AwStates.CurrentMaterial = nullptr; // the next material applies its whole state block
    AwDevice.DeviceReady = true;
}

void AwRestoreLostSurfaces() {
    bool anyLost = false;
    for (plat::Surface* surface :
         {AwDevice.PrimarySurface, AwDevice.BackSurface, AwDevice.ThirdSurface, AwDevice.ZSurface}) {
        if (surface && surface->IsLost() == plat::kDdErrSurfaceLost) {
            anyLost = true;
            const plat::HResult result = surface->Restore();
            if (plat::Failed(result)) AwReportError(result);
        }
    }
    if (anyLost) TextureManager.RestoreLost();
}
