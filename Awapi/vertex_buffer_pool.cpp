#include "Awapi/vertex_buffer_pool.h"

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/mesh_part.h"
#include "platform/d3d/direct3d.h"
#include "platform/d3d/vertex_buffer.h"

using namespace plat;

List<AwVertexBuffer*> AwVertexBufferList;

namespace {
// The interface identifier passed with vertex-buffer failures.
constexpr uint32_t kVertexBufferInterface = 7;

void ReportOptimize(HResult result) {
    if (Failed(result) && result != kD3dErrVertexBufferOptimized) AwReportError(result);
}
} // namespace

AwVertexBuffer::AwVertexBuffer(AwTexture* texture, uint32_t vertexFormat)
    : Texture(texture), VertexFormat(vertexFormat) {
    AwVertexBufferList.PushBack(this);
}

AwVertexBuffer::~AwVertexBuffer() {
    ReleaseBuffer();
    AwVertexBufferList.RemoveValue(this);
}

void AwVertexBuffer::ReleaseBuffer() {
    if (Buffer) Buffer->Release();
    Buffer = nullptr;
}

void AwVertexBuffer::Rebuild(bool optimise) {
    ReleaseBuffer();
    if (VertexTotal == 0 || !AwDevice.Direct3D) return;
    VertexBufferDesc desc;
    desc.caps = AwDeviceCaps.VertexBufferCaps | kVbCapsWriteOnly;
    desc.fvf = VertexFormat;
    desc.numVertices = VertexTotal;
    HResult result = AwDevice.Direct3D->CreateVertexBuffer(desc, &Buffer, 0);
    if (Failed(result)) {
        AwReportInterfaceError(result, kVertexBufferInterface);
        Buffer = nullptr;
        return;
    }
    void* data = nullptr;
    uint32_t size = 0;
    result = Buffer->Lock(0x2821, &data, &size);
    if (Failed(result)) {
        AwReportInterfaceError(result, kVertexBufferInterface);
        ReleaseBuffer();
        return;
    }
    auto* out = static_cast<uint8_t*>(data);
    uint32_t start = 0;
    for (AwMeshPart* part : Parts) {
        // Removing a part that was not listed lowers the total all the same: never copy past the buffer.
        const uint64_t end = (static_cast<uint64_t>(start) + part->VertexCount) * Buffer->Stride();
        part->StartVertex = start;
        if (end <= size) part->UploadVertices(out + static_cast<size_t>(start) * Buffer->Stride());
        start += part->VertexCount;
    }
    Buffer->Unlock();
    if (optimise && AwDevice.Direct3DDevice) ReportOptimize(Buffer->Optimize(AwDevice.Direct3DDevice, 0));
}

void AwVertexBuffer::Optimize() {
    if (VertexTotal != 0 && Buffer && AwDevice.Direct3DDevice)
        ReportOptimize(Buffer->Optimize(AwDevice.Direct3DDevice, 0));
}

void AwVertexBuffer::RemovePart(AwVertexBuffer* buffer, AwMeshPart* part) {
    buffer->Parts.RemoveValue(part);
    buffer->VertexTotal -= part->VertexCount;
    buffer->Rebuild(true);
    part->SharedBuffer = nullptr;
    buffer->Release();
}
