// Drawing the particles: every visible particle's position is transformed by
// the device, then each becomes a camera-facing quad in the shared
// pre-transformed buffer, clipped to the screen.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "Awapi/VertBuff/shared_buffers.h"
#include "Awapi/VertBuff/tl_vertex_buffer.h"
#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/bounding_box.h"
#include "Awapi/camera.h"
#include "Awapi/overlay2d.h"
#include "Awapi/particles.h"
#include "Awapi/particles_internal.h"
#include "core/numeric.h"
#include "core/random.h"
#include "platform/d3d/ddraw_types.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/process_vertices.h"
#include "platform/d3d/vertex_buffer.h"

namespace {

// Room is left for one clipped quad past these.
constexpr int32_t kFlushVertices = 2038;
constexpr int32_t kFlushIndices = 3054;
constexpr float kFullyFogged = 1.0f - 1.0f / 256.0f;
constexpr float kDriftLimit = 1e-11f;

std::array<plat::ScreenVertex, kParticlePoolSize> Projected;

bool Visible(const AwParticleEmitter& emitter) { return (emitter.flags & (kEmitterCulled | kEmitterHeld)) == 0; }

// Marks fully fogged emitters and those whose cloud lies outside the frustum as culled.
void Cull(AwParticleEmitter& emitter) {
    if (!Visible(emitter)) return;
    if (emitter.fogFraction > kFullyFogged) {
        emitter.flags |= kEmitterCulled;
        return;
    }
    if (emitter.bounds) {
        int32_t outside = 0;
        AwTestSphereInFrustum(emitter.bounds->Centre, outside, emitter.bounds->Radius);
        if (outside != 0) emitter.flags |= kEmitterCulled;
    }
}

// Transforms the positions of every visible particle, in walk order; the count.
uint32_t ProjectParticles(plat::Device3D* device) {
    plat::VertexBuffer* source = AwSharedBuffers.Source;
    void* data = nullptr;
    if (plat::Failed(source->Lock(plat::kDdLockWait | plat::kDdLockWriteOnly, &data, nullptr))) return 0;
    auto* positions = static_cast<float*>(data);
    uint32_t count = 0;
    for (int t = 0; t < kParticleTypeCount; ++t) {
        for (AwParticleEmitter* emitter = ParticleTypes[t].firstEmitter; emitter; emitter = emitter->next) {
            Cull(*emitter);
            if (!Visible(*emitter)) continue;
            for (const AwParticle* p = emitter->firstParticle; p; p = p->next, ++count) {
                positions[count * 3] = p->position.x;
                positions[count * 3 + 1] = p->position.y;
                positions[count * 3 + 2] = p->position.z;
            }
        }
    }
    source->Unlock();
    if (count == 0) return 0;
    const plat::HResult result =
        AwSharedBuffers.BoxScratch->ProcessVertices(plat::kVopTransform, 0, count, source, 0, device, 0);
    if (plat::Failed(result)) {
        AwReportError(result);
        return 0;
    }
    AwSharedBuffers.BoxScratch->UseVertices(0, count, [&](const uint8_t* vertices) {
        std::memcpy(Projected.data(), vertices, count * sizeof(plat::ScreenVertex));
    });
    return count;
}

struct QuadColours {
    uint32_t diffuse, specular;
};

QuadColours ColoursOf(AwParticleEmitter& emitter, const AwParticle& p, float f) {
    switch (emitter.colourMode) {
    case 0:
        return {emitter.quadColour1.GetPacked(), emitter.quadColour2.GetPacked()};
    case 1: {
        const auto alpha = static_cast<uint32_t>(FloorToInt(static_cast<float>(p.remaining) * p.alphaRate)) & 0xFF;
        return {emitter.quadColour1.GetPacked() | alpha << 24, emitter.quadColour2.GetPacked()};
    }
    case 2:
    case 3: {
        Colour a, b;
        emitter.quadColour1.Scale(a, f);
        emitter.quadColour2.Scale(b, f);
        return {a.GetPacked(), b.GetPacked()};
    }
    default:
        return {0xFFFFFFFFu, 0};
    }
}

class QuadWriter {
public:
    explicit QuadWriter(AwTLVertexBuffer& buffer) : buffer_(buffer), saved_(buffer.Material) {}
    ~QuadWriter() {
        Flush();
        buffer_.Material = saved_;
    }

    void Begin(RenderMaterial* material) {
        Flush();
        material_ = material;
        buffer_.Lock();
    }

    void Add(const AwTLVertex (&corners)[4]) {
        if (buffer_.State != AwTLVertexBuffer::kLocked) return;
        AwTLVertex clipped[kAwClipPolygonMax];
        const uint32_t count = AwClipToScreen(corners, 4, clipped);
        if (count < 3) return;
        const auto base = static_cast<uint16_t>(buffer_.VertexCount);
        std::copy(clipped, clipped + count, buffer_.Next);
        buffer_.Next += count;
        buffer_.VertexCount += static_cast<int32_t>(count);
        for (uint32_t i = 1; i + 1 < count; ++i) {
            uint16_t* index = buffer_.Indices + buffer_.IndexCount;
            index[0] = base;
            index[1] = static_cast<uint16_t>(base + i);
            index[2] = static_cast<uint16_t>(base + i + 1);
            buffer_.IndexCount += 3;
        }
        if (buffer_.VertexCount >= kFlushVertices || buffer_.IndexCount >= kFlushIndices) {
            Flush();
            buffer_.Lock();
        }
    }

    void Flush() {
        if (buffer_.State != AwTLVertexBuffer::kLocked) return;
        buffer_.Material = material_;
        if (buffer_.Unlock()) buffer_.Draw(plat::kPtTriangleList, true);
    }

private:
    AwTLVertexBuffer& buffer_;
    RenderMaterial* saved_;
    RenderMaterial* material_ = nullptr;
};

void WriteQuad(QuadWriter& writer, const AwParticleType& type, AwParticleEmitter& emitter, AwParticle& p,
               const plat::ScreenVertex& centre, float distance, const AwCamera& camera) {
    const float f = static_cast<float>(p.remaining) * p.alphaRate / 255.0f;
    p.lifeFraction = f;
    const float size = emitter.startSize * f + emitter.endSize * (1.0f - f);
    const float perspective = FastReciprocal(0.005f * distance);
    const float halfWidth = type.pixelWidth * size * 0.4f / camera.viewWidth * perspective;
    const float halfHeight = type.pixelHeight * size * 0.4f / camera.viewWidth * perspective;
    const int32_t angle = FloorToInt(p.angle);
    const float s = SineOf(angle), c = CosineOf(angle);
    const QuadColours colours = ColoursOf(emitter, p, f);
    const float dx[4] = {-halfWidth, halfWidth, halfWidth, -halfWidth};
    const float dy[4] = {-halfHeight, -halfHeight, halfHeight, halfHeight};
    const float u[4] = {type.texU0, type.texU1, type.texU1, type.texU0};
    const float v[4] = {type.texV0, type.texV0, type.texV1, type.texV1};
    AwTLVertex corners[4];
    for (int i = 0; i < 4; ++i)
        corners[i] = {centre.x + c * dx[i] - s * dy[i], centre.y + s * dx[i] + c * dy[i], centre.z, centre.rhw,
                      colours.diffuse, colours.specular, u[i], v[i]};
    writer.Add(corners);
}

void ShiftDrift() {
    Vector3& drift = Particles.drift;
    drift.x = std::clamp(drift.x + Particles.driftStep * RandomSigned(), -kDriftLimit, kDriftLimit);
    drift.z = std::clamp(drift.z + Particles.driftStep * RandomSigned(), -kDriftLimit, kDriftLimit);
}

} // namespace

void AwParticlesRender() {
    if (!ParticleTypes) return;
    plat::Device3D* device = AwDevice.Direct3DDevice;
    AwCamera* camera = AwCurrentCamera;
    AwTLVertexBuffer* buffer = AwSharedBuffers.SharedTL;
    if (device && camera && buffer && buffer->Buffer && AwSharedBuffers.Source && AwSharedBuffers.BoxScratch) {
        AwSetCullingMatrix(camera->world, camera->view);
        const uint32_t count = ProjectParticles(device);
        float near = 0, far = 0;
        camera->GetNear(near);
        camera->GetFar(far);
        QuadWriter writer(*buffer);
        uint32_t index = 0;
        for (int t = 0; t < kParticleTypeCount && index < count; ++t) {
            const AwParticleType& type = ParticleTypes[t];
            bool begun = false;
            for (AwParticleEmitter* emitter = type.firstEmitter; emitter; emitter = emitter->next) {
                if (!Visible(*emitter)) continue;
                for (AwParticle* p = emitter->firstParticle; p; p = p->next) {
                    const plat::ScreenVertex& centre = Projected[index++];
                    const Vector3 offset = p->position - camera->position;
                    const float distance = FastSqrt(Dot(offset, offset));
                    if (!(distance > near && distance < far)) continue;
                    // Near enough yet on or behind the camera's plane, a particle
                    // would project mirrored onto the screen, or to infinity.
                    if (!(centre.rhw > 0.0f && std::isfinite(centre.rhw))) continue;
                    if (!begun && type.ownMaterial) writer.Begin(type.material);
                    begun = true;
                    WriteQuad(writer, type, *emitter, *p, centre, distance, *camera);
                }
            }
        }
    }
    ShiftDrift();
}
