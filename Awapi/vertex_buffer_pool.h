#pragma once
// Shared vertex buffers: the vertices of every mesh part with the same
// texture and vertex format are pooled into device buffers of fewer than
// 30,000 vertices, so many small parts draw from one buffer. A buffer is
// rebuilt whole whenever a part joins or leaves and after a lost device; it
// holds one reference per part and deletes itself with its last part.
// Main thread only.

#include <cstdint>

#include "core/list.h"
#include "core/refcounted.h"

class AwMeshPart;
struct AwTexture;
namespace plat {
class VertexBuffer;
}

// A part joins a buffer when the buffer's total stays below this.
constexpr uint32_t kSharedBufferVertexLimit = 30000;

class AwVertexBuffer : public RefCounted {
public:
    AwVertexBuffer(AwTexture* texture, uint32_t vertexFormat);
    ~AwVertexBuffer() override;

    // Takes the part out, rebuilds with optimisation, drops the part's
    // reference (possibly deleting this buffer) and clears the part's buffer.
    static void RemovePart(AwVertexBuffer* buffer, AwMeshPart* part);
    // Recreates and refills the device buffer from all parts; with `optimise`
    // the buffer is optimised and can no longer be locked.
    void Rebuild(bool optimise);
    void Optimize();
    // Device loss: the device buffer goes; the parts keep their vertices.
    void ReleaseBuffer();
    void Restore() { Rebuild(true); }

    plat::VertexBuffer* Buffer = nullptr; // null while nothing is uploaded or after a failure
    List<AwMeshPart*> Parts;              // in upload order
    AwTexture* const Texture;             // not counted
    const uint32_t VertexFormat;
    uint32_t VertexTotal = 0;
};

extern List<AwVertexBuffer*> AwVertexBufferList;
