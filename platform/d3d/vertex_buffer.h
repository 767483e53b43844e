#pragma once
// A vertex buffer in memory: lockable from any thread, optimisable (after
// which it can only be drawn from and processed from), and the destination
// of software vertex processing.

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/d3d/com_object.h"
#include "platform/d3d/d3d_types.h"
#include "platform/d3d/results.h"
#include "platform/threads.h"

namespace plat {

class Device3D;

class VertexBuffer final : public ComObject {
public:
    // The whole buffer; size receives its bytes (may be null). Refused while
    // locked or once optimised (kD3dErrVertexBufferOptimized).
    HResult Lock(uint32_t flags, void** data, uint32_t* size);
    HResult Unlock();
    // After this the buffer can no longer be locked; a second call answers
    // kD3dErrVertexBufferOptimized, which callers treat as success.
    HResult Optimize(Device3D* device, uint32_t flags);
    // Transforms count untransformed positions of source (from sourceIndex)
    // with the device's world, view and projection transforms and viewport
    // into pre-transformed x, y, z, rhw of this buffer (from destIndex). Only
    // kVopTransform is offered; the other parts of the vertices stay as they are.
    HResult ProcessVertices(uint32_t operation, uint32_t destIndex, uint32_t count, VertexBuffer* source,
                            uint32_t sourceIndex, Device3D* device, uint32_t flags);

    // For the layer and its backends.
    uint32_t Fvf() const { return desc_.fvf; }
    uint32_t Stride() const { return stride_; }
    uint32_t VertexCount() const { return desc_.numVertices; }
    // Changes whenever the vertices may have changed.
    uint64_t ContentVersion() const { return version_.load(std::memory_order_acquire); }
    // Runs use with the first of count vertices from start, holding the
    // buffer so it cannot be locked meanwhile; kD3dErrVertexBufferLocked
    // while it is locked, kDdErrInvalidParams for a range beyond the buffer.
    HResult UseVertices(uint32_t start, uint32_t count, const std::function<void(const uint8_t*)>& use) const;

    // Direct3D::CreateVertexBuffer.
    static HResult Create(const VertexBufferDesc& desc, uint32_t flags, VertexBuffer** out);

private:
    ~VertexBuffer() override = default;
    VertexBuffer(const VertexBufferDesc& desc, uint32_t stride);

    const VertexBufferDesc desc_;
    const uint32_t stride_;
    mutable CriticalSection cs_;
    std::vector<uint8_t> data_;
    bool locked_ = false;
    bool optimized_ = false;
    std::atomic<uint64_t> version_{NextContentVersion()};
};

} // namespace plat
