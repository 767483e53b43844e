#include "Awapi/mesh_part.h"

#include <algorithm>

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/vertex_buffer_pool.h"
#include "platform/d3d/fvf.h"
#include "platform/d3d/vertex_buffer.h"

using namespace plat;

AwMeshPart::AwMeshPart(uint32_t vertexCount, uint32_t indexCount, uint32_t vertexFormat)
    : Vertices(static_cast<size_t>(vertexCount) * FvfStride(vertexFormat)), VertexFormat(vertexFormat),
      VertexCount(vertexCount), Indices(indexCount), IndexCount(indexCount), stride_(FvfStride(vertexFormat)) {}

AwMeshPart::~AwMeshPart() {
    if (SharedBuffer) AwVertexBuffer::RemovePart(SharedBuffer, this);
}

void AwMeshPart::AssignVertexBuffer(bool optimise) {
    AwVertexBuffer* chosen = nullptr;
    for (AwVertexBuffer* buffer : AwVertexBufferList) {
        if (buffer->Texture == Texture && buffer->VertexFormat == VertexFormat &&
            buffer->VertexTotal + VertexCount < kSharedBufferVertexLimit) {
            chosen = buffer;
            chosen->AddRef();
            break;
        }
    }
    if (!chosen) chosen = new AwVertexBuffer(Texture, VertexFormat);
    chosen->VertexTotal += VertexCount;
    StartVertex = 0;
    chosen->Parts.PushBack(this);
    SharedBuffer = chosen;
    chosen->Rebuild(optimise);
}

void AwMeshPart::UploadVertices(uint8_t* destination) {
    if (destination) {
        std::copy(Vertices.begin(), Vertices.end(), destination);
        return;
    }
    if (!SharedBuffer || !SharedBuffer->Buffer) return;
    void* data = nullptr;
    uint32_t size = 0;
    const HResult result = SharedBuffer->Buffer->Lock(0x821, &data, &size);
    if (Failed(result)) {
        AwReportError(result);
        SharedBuffer->ReleaseBuffer();
        return;
    }
    const size_t offset = static_cast<size_t>(StartVertex) * stride_;
    if (offset + Vertices.size() <= size)
        std::copy(Vertices.begin(), Vertices.end(), static_cast<uint8_t*>(data) + offset);
    SharedBuffer->Buffer->Unlock();
}
