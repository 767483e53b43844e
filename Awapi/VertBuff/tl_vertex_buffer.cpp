#include "Awapi/VertBuff/tl_vertex_buffer.h"

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/render_material.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/direct3d.h"
#include "platform/d3d/vertex_buffer.h"

using namespace plat;

List<AwTLVertexBuffer*> TLBufferList;

AwTLVertexBuffer::AwTLVertexBuffer() { TLBufferList.PushBack(this); }

AwTLVertexBuffer::~AwTLVertexBuffer() {
    ReleaseBuffer();
    TLBufferList.RemoveValue(this);
}

bool AwTLVertexBuffer::Create(Direct3D* direct3D) {
    // Any buffer it had goes (a buffer made for a new device may be made again by the restore).
    ReleaseBuffer();
    VertexCount = IndexCount = 0;
    State = kConstructed;
    if (!direct3D) return false;
    VertexBufferDesc desc;
    desc.caps = AwDeviceCaps.VertexBufferCaps | kVbCapsWriteOnly | kVbCapsDoNotClip;
    desc.fvf = kTLVertexFvf;
    desc.numVertices = kVertices;
    const HResult result = direct3D->CreateVertexBuffer(desc, &Buffer, 0);
    if (Failed(result)) {
        AwReportError(result);
        Buffer = nullptr;
        return false;
    }
    Indices = new uint16_t[kIndices];
    State = kIdle;
    return true;
}

bool AwTLVertexBuffer::Lock() {
    if (State == kLocked || !Buffer) return false;
    void* data = nullptr;
    const HResult result = Buffer->Lock(kDdLockWait | kDdLockWriteOnly | kDdLockNoSysLock, &data, nullptr);
    if (Failed(result)) {
        AwReportError(result);
        return false;
    }
    Data = Next = static_cast<AwTLVertex*>(data);
    VertexCount = IndexCount = 0;
    State = kLocked;
    return true;
}

bool AwTLVertexBuffer::Unlock() {
    if (State != kLocked) return false;
    const HResult result = Buffer->Unlock();
    if (Failed(result)) {
        AwReportError(result);
        return false;
    }
    Data = Next = nullptr;
    State = kFilled;
    return true;
}

bool AwTLVertexBuffer::Draw(PrimitiveType type, bool indexed) {
    if (Material) Material->Apply();
    const int32_t was = State;
    if (was == kLocked) {
        // Drawing from a locked buffer draws nothing; the lock ends here, or
        // the next Lock would find the vertex buffer still locked.
        const HResult unlocked = Buffer->Unlock();
        if (Failed(unlocked)) AwReportError(unlocked);
        Data = Next = nullptr;
    }
    State = kIdle;
    if (was != kFilled) return false;
    if (VertexCount == 0) return true;
    Device3D* device = AwDevice.Direct3DDevice;
    if (!device) return false;
    AwTimedSection timed(RenderTimings.Primitives);
    const uint32_t count = static_cast<uint32_t>(VertexCount);
    const HResult result =
        indexed ? device->DrawIndexedPrimitiveVB(type, Buffer, 0, count, Indices, static_cast<uint32_t>(IndexCount), 0)
                : device->DrawPrimitiveVB(type, Buffer, 0, count, 0);
    RenderTimings.PrimitiveCount += indexed ? static_cast<uint32_t>(IndexCount) : count;
    if (Failed(result)) {
        AwReportError(result);
        return false;
    }
    return true;
}

void AwTLVertexBuffer::ReleaseBuffer() {
    if (Buffer) {
        if (State == kLocked) Buffer->Unlock();
        Buffer->Release();
    }
    Buffer = nullptr;
    delete[] Indices;
    Indices = nullptr;
    Data = Next = nullptr;
}

void AwReleaseTLBuffers() {
    for (AwTLVertexBuffer* buffer : TLBufferList) buffer->ReleaseBuffer();
}

void AwRecreateTLBuffers(Direct3D* direct3D) {
    for (AwTLVertexBuffer* buffer : TLBufferList) buffer->Create(direct3D);
}
