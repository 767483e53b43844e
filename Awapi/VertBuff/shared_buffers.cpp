#include "Awapi/VertBuff/shared_buffers.h"

#include "Awapi/VertBuff/tl_vertex_buffer.h"
#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "platform/d3d/direct3d.h"
#include "platform/d3d/vertex_buffer.h"

using namespace plat;

AwSharedBufferSet AwSharedBuffers;

namespace {

void ReleaseBuffer(VertexBuffer*& buffer) {
    if (buffer) buffer->Release();
    buffer = nullptr;
}

} // namespace

VertexBuffer* AwCreateVertexBuffer(uint32_t caps, uint32_t fvf, uint32_t vertices) {
    if (!AwDevice.Direct3D) return nullptr;
    VertexBufferDesc desc;
    desc.caps = caps;
    desc.fvf = fvf;
    desc.numVertices = vertices;
    VertexBuffer* buffer = nullptr;
    const HResult result = AwDevice.Direct3D->CreateVertexBuffer(desc, &buffer, 0);
    if (Failed(result)) {
        AwReportError(result);
        return nullptr;
    }
    return buffer;
}

void AwCreateSharedBuffers() {
    if (!AwDevice.Direct3D) return;
    AwSharedBuffers.Corners = AwCreateVertexBuffer(kVbCapsWriteOnly | kVbCapsSystemMemory, kFvfXyzRhw, 8);
    AwSharedBuffers.BoxScratch = AwCreateVertexBuffer(kVbCapsSystemMemory | kVbCapsDoNotClip, kFvfXyzRhw, 4096);
    AwSharedBuffers.PickScratch = AwCreateVertexBuffer(kVbCapsSystemMemory | kVbCapsDoNotClip, kFvfXyzRhw, 10000);
    AwSharedBuffers.Source = AwCreateVertexBuffer(kVbCapsWriteOnly | kVbCapsSystemMemory | kVbCapsDoNotClip, kFvfXyz, 4096);
    AwSharedBuffers.SharedTL = new AwTLVertexBuffer;
    AwSharedBuffers.SharedTL->Create(AwDevice.Direct3D);
    if (AwSprayBuffer.create) AwSprayBuffer.create();
}

void AwReleaseSharedBuffers() {
    ReleaseBuffer(AwSharedBuffers.Corners);
    ReleaseBuffer(AwSharedBuffers.BoxScratch);
    ReleaseBuffer(AwSharedBuffers.PickScratch);
    ReleaseBuffer(AwSharedBuffers.Source);
    delete AwSharedBuffers.SharedTL;
    AwSharedBuffers.SharedTL = nullptr;
    if (AwSprayBuffer.release) AwSprayBuffer.release();
}
