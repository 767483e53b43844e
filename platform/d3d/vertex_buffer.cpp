#include "platform/d3d/vertex_buffer.h"

#include <cstring>
#include <new>

#include "platform/d3d/device3d.h"
#include "platform/d3d/fvf.h"
#include "platform/d3d/process_vertices.h"

namespace plat {
namespace {

constexpr uint32_t kMaxVertices = 0xFFFF;
constexpr uint32_t kVbCreateCaps = kVbCapsDoNotClip | kVbCapsSystemMemory | kVbCapsWriteOnly;
constexpr uint32_t kLockFlags = kDdLockWait | kDdLockReadOnly | kDdLockWriteOnly | kDdLockNoSysLock |
                                kDdLockNoOverwrite | kDdLockDiscardContents | kDdLockDoNotWait;
constexpr uint32_t kProcessDoNotCopyData = 0x1;

bool InRange(uint32_t start, uint32_t count, uint32_t total) {
    return count > 0 && start <= total && count <= total - start;
}

} // namespace

HResult VertexBuffer::Create(const VertexBufferDesc& desc, uint32_t flags, VertexBuffer** out) {
    if (!out || flags != 0 || (desc.caps & ~kVbCreateCaps)) return kDdErrInvalidParams;
    const uint32_t stride = FvfStride(desc.fvf);
    if (stride == 0 || desc.numVertices == 0 || desc.numVertices > kMaxVertices) return kDdErrInvalidParams;
    try {
        *out = new VertexBuffer(desc, stride);
    } catch (const std::bad_alloc&) {
        return kDdErrOutOfMemory;
    }
    return kDdOk;
}

VertexBuffer::VertexBuffer(const VertexBufferDesc& desc, uint32_t stride)
    : desc_(desc), stride_(stride), data_(size_t{desc.numVertices} * stride) {}

HResult VertexBuffer::Lock(uint32_t flags, void** data, uint32_t* size) {
    if (!data || (flags & ~kLockFlags)) return kDdErrInvalidParams;
    CriticalSectionLock hold(cs_);
    if (optimized_) return kD3dErrVertexBufferOptimized;
    if (locked_) return kD3dErrVertexBufferLocked;
    locked_ = true;
    *data = data_.data();
    if (size) *size = static_cast<uint32_t>(data_.size());
    return kDdOk;
}

HResult VertexBuffer::Unlock() {
    CriticalSectionLock hold(cs_);
    if (!locked_) return kD3dErrVertexBufferUnlockFailed;
    locked_ = false;
    version_.store(NextContentVersion(), std::memory_order_release);
    return kDdOk;
}

HResult VertexBuffer::Optimize(Device3D* device, uint32_t flags) {
    if (!device || flags != 0) return kDdErrInvalidParams;
    CriticalSectionLock hold(cs_);
    if (locked_) return kD3dErrVertexBufferLocked;
    if (optimized_) return kD3dErrVertexBufferOptimized;
    optimized_ = true;
    return kDdOk;
}

HResult VertexBuffer::UseVertices(uint32_t start, uint32_t count, const std::function<void(const uint8_t*)>& use) const {
    if (!InRange(start, count, desc_.numVertices)) return kDdErrInvalidParams;
    CriticalSectionLock hold(cs_);
    if (locked_) return kD3dErrVertexBufferLocked;
    use(data_.data() + size_t{start} * stride_);
    return kDdOk;
}

HResult VertexBuffer::ProcessVertices(uint32_t operation, uint32_t destIndex, uint32_t count, VertexBuffer* source,
                                      uint32_t sourceIndex, Device3D* device, uint32_t flags) {
    if (operation != kVopTransform || !source || !device || (flags & ~kProcessDoNotCopyData)) return kDdErrInvalidParams;
    if ((desc_.fvf & kFvfPositionMask) != kFvfXyzRhw || (source->desc_.fvf & kFvfPositionMask) != kFvfXyz)
        return kDdErrInvalidParams;
    if (!InRange(destIndex, count, desc_.numVertices)) return kDdErrInvalidParams;
    const DeviceState& state = device->State();
    const Matrix transform = CombinedTransform(state);
    CriticalSectionLock hold(cs_);
    if (optimized_) return kD3dErrVertexBufferOptimized;
    if (locked_) return kD3dErrVertexBufferLocked;
    const HResult used = source->UseVertices(sourceIndex, count, [&](const uint8_t* in) {
        uint8_t* outVertex = data_.data() + size_t{destIndex} * stride_;
        for (uint32_t i = 0; i < count; ++i, in += source->stride_, outVertex += stride_) {
            static_assert(sizeof(D3dVector) == 12 && sizeof(ScreenVertex) == 16);
            D3dVector p;
            std::memcpy(&p, in, sizeof p);
            const ScreenVertex v = ProjectToScreen(transform, state.viewport, p);
            std::memcpy(outVertex, &v, sizeof v);
        }
    });
    if (Succeeded(used)) version_.store(NextContentVersion(), std::memory_order_release);
    return used;
}

} // namespace plat
