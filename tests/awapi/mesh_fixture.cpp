#include "tests/awapi/mesh_fixture.h"

#include <algorithm>

#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/mesh_part.h"
#include "Awapi/shape.h"

AwShape* IndexedShape(const std::vector<Vector3>& positions, const std::vector<uint16_t>& indices,
                      const char* texture) {
    auto* shape = new AwShape;
    const auto count = static_cast<uint32_t>(positions.size());
    uint16_t* out = shape->AddMeshPart(count, static_cast<uint32_t>(indices.size()), kTestVertexFormat, false);
    std::copy(indices.begin(), indices.end(), out);
    AwMeshPart* part = shape->Parts.Back();
    shape->Min = shape->Max = positions.front();
    for (uint32_t i = 0; i < count; ++i) {
        const Vector3& p = positions[i];
        const auto f = static_cast<float>(i);
        const float vertex[8] = {p.x, p.y, p.z, 0, 0, -1, f, -f};
        std::copy(vertex, vertex + 8, reinterpret_cast<float*>(&part->Vertices[i * part->Stride()]));
        shape->Min = Vector3(std::min(shape->Min.x, p.x), std::min(shape->Min.y, p.y), std::min(shape->Min.z, p.z));
        shape->Max = Vector3(std::max(shape->Max.x, p.x), std::max(shape->Max.y, p.y), std::max(shape->Max.z, p.z));
    }
    if (texture) {
        part->Texture = TextureManager.Get(texture, 0);
        shape->AddTexture(part->Texture);
        ReleaseUseCount(part->Texture);
    }
    part->AssignVertexBuffer(true);
    return shape;
}

AwShape* TriangleSoup(const std::vector<Vector3>& corners, const char* texture) {
    std::vector<uint16_t> indices(corners.size());
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint16_t>(i);
    return IndexedShape(corners, indices, texture);
}
