#include "Awapi/shape.h"

#include <cstring>

#include "Awapi/VertBuff/shared_buffers.h"
#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/render_states.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/bounding_box.h"
#include "Awapi/camera.h"
#include "Awapi/level_geometry.h"
#include "Awapi/light_set.h"
#include "Awapi/mesh_part.h"
#include "Awapi/picking.h"
#include "Awapi/vertex_buffer_pool.h"
#include "core/matrix.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/direct3d.h"
#include "platform/d3d/vertex_buffer.h"

using namespace plat;

namespace {

// Each triangle (a, b, c) becomes the edges (c, a), (a, b), (b, c).
std::vector<uint16_t> EdgeList(const AwMeshPart& part) {
    std::vector<uint16_t> lines;
    lines.reserve(part.IndexCount * 2);
    for (uint32_t i = 0; i + 2 < part.IndexCount; i += 3) {
        const uint16_t a = part.Indices[i], b = part.Indices[i + 1], c = part.Indices[i + 2];
        lines.insert(lines.end(), {c, a, a, b, b, c});
    }
    return lines;
}

} // namespace

AwShape::AwShape() = default;

AwShape::~AwShape() {
    FreeGeometry();
    delete Box;
    ReleasePickData();
    for (AwMeshPart* part : Parts) delete part;
    Parts.Clear();
    for (AwTexture* texture : TexturesInUse) ReleaseUseCount(texture);
    for (AwTexture* texture : TexturesKept) --texture->KeepCount;
}

void AwShape::FreeGeometry() {
    if (!Geometry) return;
    Geometry->Free();
    delete Geometry;
    Geometry = nullptr;
}

uint16_t* AwShape::AddMeshPart(uint32_t vertexCount, uint32_t indexCount, uint32_t vertexFormat, bool fan) {
    vertexCount &= 0xFFFF;
    indexCount &= 0xFFFF;
    auto* part = new AwMeshPart(vertexCount, indexCount, vertexFormat);
    Parts.PushBack(part);
    if (fan && vertexCount >= 3) {
        // From the end backwards; entries before the first fan triangle stay 0.
        int32_t j = static_cast<int32_t>(vertexCount) - 3;
        const auto apex = static_cast<uint16_t>(vertexCount - 1);
        for (uint32_t at = indexCount; at >= 3 && j >= 0; at -= 3, --j) {
            part->Indices[at - 3] = static_cast<uint16_t>(j);
            part->Indices[at - 2] = static_cast<uint16_t>(j + 1);
            part->Indices[at - 1] = apex;
        }
    }
    return part->Indices.data();
}

int32_t AwShape::AddUse() {
    if (UseCount.load() == 0) {
        for (AwTexture* texture : TexturesKept) {
            TextureManager.AddRef(texture);
            TexturesInUse.PushBack(texture);
        }
    }
    return ++UseCount;
}

int32_t AwShape::ReleaseUse() {
    const int32_t left = --UseCount;
    if (left == 0) {
        if (HoldCount.load() == 0) {
            delete this;
            return 0;
        }
        ReleaseTextures();
    }
    return left;
}

int32_t AwShape::ReleaseHold() {
    const int32_t holds = --HoldCount;
    if (holds == 0 && UseCount.load() == 0) {
        delete this;
        return 0;
    }
    return UseCount.load() + holds;
}

void AwShape::AddTexture(AwTexture* texture) {
    TextureManager.AddRef(texture);
    TexturesInUse.PushBack(texture);
}

void AwShape::ReleaseTextures() {
    for (AwTexture* texture : TexturesInUse) ReleaseUseCount(texture);
    TexturesInUse.Clear();
}

void AwShape::ReleasePickData() {
    for (AwPickPart& part : PickParts)
        if (part.Positions) part.Positions->Release();
    PickParts.clear();
    PickIndices.clear();
    PickCentres.clear();
    PickVertexCount = PickTriangleCount = 0;
}

void AwShape::BuildTriangleData() {
    ReleasePickData();
    if (!Box) Box = new AwBoundingBox(Min, Max);
    for (const AwMeshPart* part : Parts) {
        PickVertexCount += part->VertexCount;
        PickTriangleCount += part->IndexCount / 3;
    }
    if (PickVertexCount == 0) return;
    PickIndices.resize(static_cast<size_t>(PickTriangleCount) * 3);
    PickCentres.resize(PickTriangleCount, Vector3(0, 0, 0));
    uint32_t triangle = 0;
    for (const AwMeshPart* part : Parts) {
        // One position buffer per part, so no index has to reach past 16 bits.
        AwPickPart pick{nullptr, part->VertexCount, triangle, part->IndexCount / 3};
        if (part->VertexCount) {
            pick.Positions = AwCreateVertexBuffer(kVbCapsSystemMemory | kVbCapsDoNotClip, kFvfXyz, part->VertexCount);
            void* data = nullptr;
            if (pick.Positions) {
                const HResult result = pick.Positions->Lock(0x2821, &data, nullptr);
                if (Failed(result)) AwReportError(result);
            }
            if (data) {
                for (uint32_t v = 0; v < part->VertexCount; ++v)
                    std::memcpy(static_cast<uint8_t*>(data) + v * sizeof(Vector3), part->Position(v), sizeof(Vector3));
                pick.Positions->Unlock();
            }
        }
        for (uint32_t t = 0; t < pick.TriangleCount; ++t, ++triangle) {
            Vector3 sum(0, 0, 0);
            for (int k = 0; k < 3; ++k) {
                const uint16_t index = part->Indices[t * 3 + k];
                PickIndices[triangle * 3 + k] = index;
                if (index >= part->VertexCount) continue; // such a triangle is never tested
                const float* p = part->Position(index);
                sum = sum + Vector3(p[0], p[1], p[2]);
            }
            PickCentres[triangle] = sum * (1.0f / 3.0f);
        }
        PickParts.push_back(pick);
    }
}

void AwShape::Draw(const Matrix& world, AwTexture* filter, AwDrawFlags flags) {
    Device3D* device = AwDevice.Direct3DDevice;
    if (!device) return;
    const HResult result = device->SetTransform(kTransformWorld, world);
    if (Failed(result)) AwReportError(result);
    if (CurrentLightSet && CurrentLightSet == SceneLightsInstance) CurrentLightSet->EnableForBounds(Max, Min, world);
    const bool textures = !(flags & kDrawNoTextures);
    if (filter) {
        if (textures) AwSetTexture(filter, 0);
        for (const AwMeshPart* part : Parts)
            if (part->Texture == filter) DrawPart(*part, flags);
    } else {
        for (const AwMeshPart* part : Parts) {
            if ((flags & kDrawAlphaPartsOnly) && (!part->Texture || part->Texture->AlphaBits == 0)) continue;
            if (textures) AwSetTexture(part->Texture, 0);
            DrawPart(*part, flags);
        }
    }
    if ((flags & kDrawPickBox) && Box) {
        Box->CollectPickCandidates();
        if (!AwPickCandidates.IsEmpty()) DrawPickTriangles(world);
    }
}

void AwShape::DrawPart(const AwMeshPart& part, AwDrawFlags flags) {
    // A shared buffer whose device buffer failed or was lost draws nothing until its next rebuild.
    VertexBuffer* buffer = part.SharedBuffer ? part.SharedBuffer->Buffer : nullptr;
    if (part.SharedBuffer && !buffer) return;
    RenderTimings.PrimitiveCount += part.IndexCount;
    AwTimedSection timed(RenderTimings.Primitives);
    PrimitiveType type = kPtTriangleList;
    const uint16_t* indices = part.Indices.data();
    uint32_t count = part.IndexCount;
    std::vector<uint16_t> lines;
    if (flags & kDrawWireframe) {
        lines = EdgeList(part);
        type = kPtLineList;
        indices = lines.data();
        count = static_cast<uint32_t>(lines.size());
    }
    Device3D* device = AwDevice.Direct3DDevice;
    const HResult result =
        buffer ? device->DrawIndexedPrimitiveVB(type, buffer, part.StartVertex, part.VertexCount, indices, count, 0)
               : device->DrawIndexedPrimitive(type, part.VertexFormat, part.Vertices.data(), part.VertexCount, indices,
                                              count, 0);
    if (Failed(result)) AwReportError(result);
}

void AwShape::DrawPickTriangles(const Matrix& world) {
    Device3D* device = AwDevice.Direct3DDevice;
    if (!AwCurrentCamera) return;
    float nearPlane = 1.0f, farPlane = 1.0f;
    AwCurrentCamera->GetNear(nearPlane);
    AwCurrentCamera->GetFar(farPlane);
    const float minRhw = 1.0f / farPlane, maxRhw = 1.0f / nearPlane;
    for (const AwPickPart& pick : PickParts) {
        if (!pick.Positions) continue;
        // A part larger than the shared scratch buffer gets a destination of its own.
        VertexBuffer* scratch = AwSharedBuffers.PickScratch;
        VertexBuffer* own = nullptr;
        if (!scratch || scratch->VertexCount() < pick.VertexCount)
            scratch = own = AwCreateVertexBuffer(kVbCapsSystemMemory | kVbCapsDoNotClip, kFvfXyzRhw, pick.VertexCount);
        if (!scratch) continue;
        HResult result = scratch->ProcessVertices(kVopTransform, 0, pick.VertexCount, pick.Positions, 0, device, 0);
        if (Failed(result)) AwReportError(result);
        if (Succeeded(result)) {
            result = scratch->UseVertices(0, pick.VertexCount, [&](const uint8_t* data) {
                for (uint32_t t = pick.FirstTriangle; t < pick.FirstTriangle + pick.TriangleCount; ++t) {
                    if (!AwPickingEnabled || AwPickCandidates.IsEmpty()) return;
                    ScreenVertex v[3];
                    bool usable = true;
                    for (int k = 0; k < 3 && usable; ++k) {
                        const uint16_t index = PickIndices[t * 3 + k];
                        usable = index < pick.VertexCount;
                        if (!usable) break;
                        std::memcpy(&v[k], data + index * sizeof(ScreenVertex), sizeof(ScreenVertex));
                        usable = v[k].rhw >= minRhw && v[k].rhw <= maxRhw;
                    }
                    if (!usable) continue;
                    Vector3 centre;
                    TransformPointD3D(centre, PickCentres[t], world.m);
                    AwPickTestTriangle(v, centre);
                }
            });
            if (Failed(result)) AwReportError(result);
        }
        if (own) own->Release();
    }
}

void AwShape::OptimizeVertexBuffers() {
    for (AwMeshPart* part : Parts)
        if (part->SharedBuffer) part->SharedBuffer->Optimize();
}
