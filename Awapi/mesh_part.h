#pragma once
// A run of vertices in one flexible vertex format with a 16-bit triangle
// index list and one texture: the drawing unit of a shape. The part keeps its
// vertices in system memory; a textured part also has a copy in a shared
// vertex buffer (vertex_buffer_pool.h), which it leaves when it is destroyed.

#include <cstdint>
#include <vector>

class AwVertexBuffer;
struct AwTexture;

class AwMeshPart {
public:
    AwMeshPart(uint32_t vertexCount, uint32_t indexCount, uint32_t vertexFormat);
    ~AwMeshPart();
    AwMeshPart(const AwMeshPart&) = delete;
    AwMeshPart& operator=(const AwMeshPart&) = delete;

    // Finds or makes a shared buffer for the part's texture and format and uploads the vertices.
    void AssignVertexBuffer(bool optimise);
    // Copies the vertices to `destination`, or, with null, into the shared
    // buffer at the start vertex (a failed lock is reported and leaves the
    // shared buffer without a device buffer).
    void UploadVertices(uint8_t* destination);

    uint32_t Stride() const { return stride_; }
    // The position of vertex i.
    const float* Position(uint32_t i) const { return reinterpret_cast<const float*>(&Vertices[i * stride_]); }

    std::vector<uint8_t> Vertices; // VertexCount x Stride bytes
    const uint32_t VertexFormat;
    AwVertexBuffer* SharedBuffer = nullptr;
    uint32_t StartVertex = 0;
    const uint32_t VertexCount;
    std::vector<uint16_t> Indices; // a triangle list
    const uint32_t IndexCount;
    AwTexture* Texture = nullptr;

private:
    const uint32_t stride_;
};
