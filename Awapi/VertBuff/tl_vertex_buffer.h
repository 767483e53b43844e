#pragma once
// Pre-transformed, lit vertices for screen-space drawing: the writer locks the
// buffer, writes vertices and indices through Next, unlocks, and draws them
// with one material in one call. Every buffer sits in the TL-buffer list so
// device loss can release and recreate them all. Main thread only.
//
// States: 0 constructed, 1 idle, 2 locked, 3 filled (waiting to be drawn).
// Writers stay within kVertices vertices and kIndices indices per lock.

#include <cstdint>

#include "core/list.h"
#include "platform/d3d/d3d_types.h"

class RenderMaterial;
namespace plat {
class Direct3D;
class VertexBuffer;
} // namespace plat

struct AwTLVertex {
    float x, y, z, rhw;
    uint32_t diffuse, specular;
    float u, v;
};
static_assert(sizeof(AwTLVertex) == 32);

constexpr uint32_t kTLVertexFvf = 0x1C4;

class AwTLVertexBuffer {
public:
    static constexpr uint32_t kVertices = 2048;
    static constexpr uint32_t kIndices = 3072;
    enum State : int32_t { kConstructed = 0, kIdle = 1, kLocked = 2, kFilled = 3 };

    AwTLVertexBuffer();
    ~AwTLVertexBuffer();
    AwTLVertexBuffer(const AwTLVertexBuffer&) = delete;
    AwTLVertexBuffer& operator=(const AwTLVertexBuffer&) = delete;

    // Creates the vertex buffer and the index array in place of any it had;
    // the buffer becomes idle and empty (constructed when creation fails).
    bool Create(plat::Direct3D* direct3D);
    // Refused while locked; a lock while filled discards the unflushed vertices.
    bool Lock();
    bool Unlock();
    // Applies the material; draws only a filled buffer, which becomes idle.
    bool Draw(plat::PrimitiveType type, bool indexed);
    void ReleaseBuffer();

    plat::VertexBuffer* Buffer = nullptr;
    AwTLVertex* Data = nullptr;
    int32_t State = kConstructed;
    uint16_t* Indices = nullptr;
    int32_t VertexCount = 0;
    int32_t IndexCount = 0;
    AwTLVertex* Next = nullptr;
    RenderMaterial* Material = nullptr;
};

extern List<AwTLVertexBuffer*> TLBufferList;

// Device loss: every TL buffer's vertex buffer and index array go, and come
// back idle and empty.
void AwReleaseTLBuffers();
void AwRecreateTLBuffers(plat::Direct3D* direct3D);
