#include "Awapi/revolved_mesh.h"

#include <algorithm>
#include <cstring>

#include "Awapi/aw3d/global_materials.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/camera.h"
#include "Awapi/light_set.h"
#include "Awapi/mesh_part.h"
#include "core/clock.h"
#include "core/numeric.h"

namespace {

// A part counts its vertices and indices in 16 bits.
constexpr uint32_t kCountLimit = 65535;
constexpr uint32_t kMaxSegments = kCountLimit / 6; // one ring of quads must fit

float* PositionOf(AwMeshPart& part, uint32_t index) {
    return reinterpret_cast<float*>(part.Vertices.data() + static_cast<size_t>(index) * part.Stride());
}

uint32_t FittingRings(uint32_t segments, uint32_t rings) {
    return std::clamp<uint32_t>(rings, 1, std::min(kCountLimit / (6 * segments), kCountLimit / segments - 1));
}

} // namespace

AwRevolvedShape::AwRevolvedShape(uint32_t segments, uint32_t rings)
    : SegmentCount(std::clamp<uint32_t>(segments, 1, kMaxSegments)),
      RingCount(FittingRings(SegmentCount, rings)), Sine(SegmentCount), Cosine(SegmentCount),
      RingRadius(RingCount + 1, 0.0f) {
    const uint32_t s = SegmentCount, n = RingCount;
    for (uint32_t i = 0; i < s; ++i) {
        const int32_t angle = FloorToInt(static_cast<float>(i) / static_cast<float>(s) * 4096.0f);
        Sine[i] = SineOf(angle);
        Cosine[i] = CosineOf(angle);
    }
    uint16_t* index = AddMeshPart(s * (n + 1), s * n * 6, kRevolvedVertexFormat, false);
    std::memset(Part().Vertices.data(), 0, Part().Vertices.size());
    auto triangle = [&](uint32_t a, uint32_t b, uint32_t c) {
        *index++ = static_cast<uint16_t>(a);
        *index++ = static_cast<uint16_t>(b);
        *index++ = static_cast<uint16_t>(c);
    };
    // The seam: the last segment joins segment 0.
    for (uint32_t r = 0; r < n; ++r) {
        const uint32_t t = s * (r + 1);
        triangle(t - 1, s * r, t);
        triangle(t, s * (r + 2) - 1, t - 1);
    }
    for (uint32_t f = 1; f < s; ++f) {
        for (uint32_t r = 0; r < n; ++r) {
            const uint32_t u = f - 1 + s * r, a = f + s * (r + 1);
            triangle(u, u + 1, a);
            triangle(a, a - 1, u);
        }
    }
    Part().Texture = NullTexture;
    if (NullTexture) AddTexture(NullTexture);
}

void AwRevolvedShape::SetRingRadius(uint32_t ring, float radius) {
    if (ring > RingCount) return;
    for (uint32_t s = 0; s < SegmentCount; ++s) {
        float* position = PositionOf(Part(), s + SegmentCount * ring);
        position[0] = Sine[s] * radius;
        position[2] = Cosine[s] * radius;
    }
    RingRadius[ring] = radius;
    UpdateBounds();
}

void AwRevolvedShape::SetRingHeight(uint32_t ring, float height) {
    if (ring > RingCount) return;
    for (uint32_t s = 0; s < SegmentCount; ++s) PositionOf(Part(), s + SegmentCount * ring)[1] = -height;
    if (ring == 0) Max.y = -height;
    if (ring == RingCount) Min.y = -height;
}

void AwRevolvedShape::UpdateBounds() {
    float largest = 0.0f;
    for (float radius : RingRadius) largest = std::max(largest, radius);
    Min.x = Min.z = -largest;
    Max.x = Max.z = largest;
}

AwRevolvedObject::AwRevolvedObject(uint32_t segments, uint32_t rings)
    : AwRevolvedObject(new AwRevolvedShape(segments, rings)) {}

AwRevolvedObject::AwRevolvedObject(AwRevolvedShape* shape)
    : AwObject(shape, true), Shape(shape), SegmentCount(shape->SegmentCount), RingCount(shape->RingCount) {}

AwRevolvedObject::~AwRevolvedObject() { Shape->ReleaseUse(); }

void AwRevolvedObject::SetRingRadius(uint32_t ring, float radius) {
    Shape->SetRingRadius(ring, radius);
    Min = Shape->Min;
    Max = Shape->Max;
}

void AwRevolvedObject::SetRingHeight(uint32_t ring, float height) {
    Shape->SetRingHeight(ring, height);
    Min = Shape->Min;
    Max = Shape->Max;
}

void AwRevolvedObject::Queue() {
    QueueForDrawing(static_cast<int32_t>(RealClock.GetTime32()), AwCurrentCamera, SceneLightsInstance,
                    GlobalMaterials[kBaseMaterial], 0, kDrawFromList, nullptr, nullptr, nullptr);
}
