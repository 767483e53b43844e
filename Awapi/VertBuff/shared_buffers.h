#pragma once
// The vertex buffers the device layer owns beside the device: scratch
// destinations of vertex processing (box corners, shape picking, particles)
// and the shared TL buffer of the interface and particles.

#include <cstdint>

namespace plat {
class VertexBuffer;
}
class AwTLVertexBuffer;

struct AwSharedBufferSet {
    plat::VertexBuffer* Corners = nullptr;    // 8 transformed positions
    plat::VertexBuffer* BoxScratch = nullptr; // 4096 transformed positions: box corners, picking, particles
    plat::VertexBuffer* PickScratch = nullptr; // 10000 transformed positions: shape triangles for picking
    plat::VertexBuffer* Source = nullptr;     // 4096 untransformed positions: particles
    AwTLVertexBuffer* SharedTL = nullptr;
};
extern AwSharedBufferSet AwSharedBuffers;

// A vertex buffer of the device's Direct3D; null (the failure reported) when
// there is no Direct3D or it refuses.
plat::VertexBuffer* AwCreateVertexBuffer(uint32_t caps, uint32_t fvf, uint32_t vertices);

// A failed buffer is reported and stays null; then the spray buffer is made.
void AwCreateSharedBuffers();
void AwReleaseSharedBuffers();
