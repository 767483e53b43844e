#include "platform/d3d/device3d.h"

#include <algorithm>
#include <cmath>

#include "platform/d3d/display_context.h"
#include "platform/d3d/enumeration.h"
#include "platform/d3d/fvf.h"
#include "platform/d3d/state_block.h"
#include "platform/d3d/state_rules.h"
#include "platform/d3d/surface.h"
#include "platform/d3d/vertex_buffer.h"

namespace plat {
namespace {

bool IsTransform(uint32_t type) {
    return type == kTransformWorld || type == kTransformView || type == kTransformProjection ||
           (type >= kTransformTexture0 && type <= kTransformTexture7);
}

bool InUnitRange(float v) { return v >= 0.0f && v <= 1.0f; }

// Primitives drawn from n vertices (or indices); 0 for an unknown type or too few.
uint32_t PrimitiveCount(PrimitiveType type, uint32_t n) {
    switch (type) {
    case kPtPointList: return n;
    case kPtLineList: return n / 2;
    case kPtLineStrip: return n >= 2 ? n - 1 : 0;
    case kPtTriangleList: return n / 3;
    case kPtTriangleStrip:
    case kPtTriangleFan: return n >= 3 ? n - 2 : 0;
    }
    return 0;
}

} // namespace

HResult Device3D::Create(std::shared_ptr<DisplayContext> context, const DeviceDesc7& caps, Surface* renderTarget,
                         Device3D** out) {
    if (!out || !renderTarget) return kDdErrInvalidParams;
    if (!(renderTarget->Caps().caps & kDdsCaps3dDevice)) return kDdErrInvalidCaps;
    if (const HResult lost = renderTarget->IsLost(); Failed(lost)) return lost;
    Surface* zBuffer = nullptr;
    const HResult found = renderTarget->GetAttachedSurface({kDdsCapsZBuffer}, &zBuffer);
    if (Failed(found) && found != kDdErrNotFound) return found;
    renderTarget->AddRef();
    *out = new Device3D(std::move(context), caps, renderTarget, zBuffer); // takes the Z-buffer's reference
    return kDdOk;
}

Device3D::Device3D(std::shared_ptr<DisplayContext> context, const DeviceDesc7& caps, Surface* renderTarget,
                   Surface* zBuffer)
    : context_(std::move(context)), caps_(caps), state_(InitialDeviceState(caps, renderTarget, zBuffer)) {}

Device3D::~Device3D() {
    for (Surface* texture : state_.textures)
        if (texture) texture->Release();
    if (state_.zBuffer) state_.zBuffer->Release();
    state_.renderTarget->Release();
}

HResult Device3D::GetCaps(DeviceDesc7* desc) const {
    if (!desc) return kDdErrInvalidParams;
    *desc = caps_;
    return kDdOk;
}

HResult Device3D::EnumTextureFormats(const std::function<bool(const PixelFormat&)>& callback) const {
    if (!callback) return kDdErrInvalidParams;
    for (const PixelFormat& format : TextureFormats())
        if (!callback(format)) break;
    return kDdOk;
}

HResult Device3D::BeginScene() {
    if (state_.inScene) return kD3dErrSceneInScene;
    if (const HResult lost = state_.renderTarget->IsLost(); Failed(lost)) return lost;
    state_.inScene = true;
    return kDdOk;
}

HResult Device3D::EndScene() {
    if (!state_.inScene) return kD3dErrSceneNotInScene;
    state_.inScene = false;
    return kDdOk;
}

HResult Device3D::Clear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t color, float z, uint32_t stencil) {
    constexpr uint32_t kAll = kClearTarget | kClearZBuffer | kClearStencil;
    if (flags == 0 || (flags & ~kAll) || (count && !rects) || !InUnitRange(z)) return kDdErrInvalidParams;
    if ((flags & kClearZBuffer) && !state_.zBuffer) return kD3dErrZBufferNotPresent;
    if ((flags & kClearStencil) && !(state_.zBuffer && state_.zBuffer->Format().stencilBitDepth))
        return kD3dErrStencilBufferNotPresent;
    if (const HResult lost = state_.renderTarget->IsLost(); Failed(lost)) return lost;
    const Viewport7& vp = state_.viewport;
    const Rect view{int32_t(vp.x), int32_t(vp.y), int32_t(vp.x + vp.width), int32_t(vp.y + vp.height)};
    ClearCall clear{state_.renderTarget, state_.zBuffer, {}, flags, color, z, stencil};
    if (count == 0) clear.rects.push_back(view);
    for (uint32_t i = 0; i < count; ++i) {
        const Rect cut{std::max(rects[i].left, view.left), std::max(rects[i].top, view.top),
                       std::min(rects[i].right, view.right), std::min(rects[i].bottom, view.bottom)};
        if (cut.left < cut.right && cut.top < cut.bottom) clear.rects.push_back(cut);
    }
    if (!clear.rects.empty()) context_->backend->Clear(state_, clear);
    return kDdOk;
}

HResult Device3D::SetTransform(TransformState type, const Matrix& matrix) {
    if (!IsTransform(type)) return kDdErrInvalidParams;
    state_.transforms[type] = matrix;
    return kDdOk;
}

HResult Device3D::GetTransform(TransformState type, Matrix* matrix) const {
    if (!IsTransform(type) || !matrix) return kDdErrInvalidParams;
    *matrix = state_.transforms[type];
    return kDdOk;
}

HResult Device3D::SetViewport(const Viewport7& vp) {
    const Surface& target = *state_.renderTarget;
    if (vp.width == 0 || vp.height == 0 || uint64_t{vp.x} + vp.width > target.Width() ||
        uint64_t{vp.y} + vp.height > target.Height() || !InUnitRange(vp.minZ) || !InUnitRange(vp.maxZ))
        return kDdErrInvalidParams;
    state_.viewport = vp;
    return kDdOk;
}

HResult Device3D::GetViewport(Viewport7* viewport) const {
    if (!viewport) return kDdErrInvalidParams;
    *viewport = state_.viewport;
    return kDdOk;
}

HResult Device3D::SetClipStatus(const ClipStatus& status) {
    if (status.flags & ~(kClipStatusStatus | kClipStatusExtents2 | kClipStatusExtents3)) return kDdErrInvalidParams;
    state_.clipStatus = status;
    return kDdOk;
}

HResult Device3D::SetRenderState(RenderState state, uint32_t value) {
    if (const HResult check = CheckRenderState(caps_, state, value); Failed(check)) return check;
    if (recording_)
        recording_->RecordRenderState(state, value);
    else
        ApplyRenderState(state, value, StateOrigin::Direct);
    return kDdOk;
}

HResult Device3D::SetTextureStageState(uint32_t stage, TextureStageStateType type, uint32_t value) {
    if (const HResult check = CheckTextureStageState(caps_, stage, type, value); Failed(check)) return check;
    if (recording_)
        recording_->RecordTextureStageState(stage, type, value);
    else
        ApplyTextureStageState(stage, type, value, StateOrigin::Direct);
    return kDdOk;
}

HResult Device3D::SetTexture(uint32_t stage, Surface* texture) {
    if (stage >= kMaxTextureStages || (texture && !(texture->Caps().caps & kDdsCapsTexture)))
        return kDdErrInvalidParams;
    if (recording_)
        recording_->RecordTexture(stage, texture);
    else
        ApplyTexture(stage, texture, StateOrigin::Direct);
    return kDdOk;
}

void Device3D::ApplyRenderState(uint32_t state, uint32_t value, StateOrigin origin) {
    state_.renderStates[state] = value;
    context_->backend->RenderStateSet(static_cast<RenderState>(state), value, origin);
}

void Device3D::ApplyTextureStageState(uint32_t stage, uint32_t type, uint32_t value, StateOrigin origin) {
    state_.stageStates[stage][type] = value;
    context_->backend->TextureStageStateSet(stage, static_cast<TextureStageStateType>(type), value, origin);
}

void Device3D::ApplyTexture(uint32_t stage, Surface* texture, StateOrigin origin) {
    if (texture) texture->AddRef();
    if (state_.textures[stage]) state_.textures[stage]->Release();
    state_.textures[stage] = texture;
    context_->backend->TextureSet(stage, texture, origin);
}

HResult Device3D::BeginStateBlock() {
    if (recording_) return kD3dErrInBeginStateBlock;
    recording_ = std::make_unique<StateBlock>();
    return kDdOk;
}

HResult Device3D::EndStateBlock(uint32_t* handle) {
    if (!recording_) return kD3dErrNotInBeginStateBlock;
    if (!handle) return kDdErrInvalidParams;
    *handle = nextBlock_++;
    blocks_[*handle] = std::move(recording_);
    return kDdOk;
}

HResult Device3D::ApplyStateBlock(uint32_t handle) {
    if (recording_) return kD3dErrInBeginStateBlock;
    const auto it = blocks_.find(handle);
    if (it == blocks_.end()) return kD3dErrInvalidStateBlock;
    for (const StateBlock::Entry& e : it->second->Entries()) {
        switch (e.kind) {
        case StateBlock::Kind::Render: ApplyRenderState(e.type, e.value, StateOrigin::StateBlock); break;
        case StateBlock::Kind::TextureStage:
            ApplyTextureStageState(e.stage, e.type, e.value, StateOrigin::StateBlock);
            break;
        case StateBlock::Kind::Texture: ApplyTexture(e.stage, e.texture, StateOrigin::StateBlock); break;
        }
    }
    return kDdOk;
}

HResult Device3D::DeleteStateBlock(uint32_t handle) {
    return blocks_.erase(handle) ? kDdOk : kD3dErrInvalidStateBlock;
}

HResult Device3D::ValidateDevice(uint32_t* passes) const {
    if (!passes) return kDdErrInvalidParams;
    const DeviceState* checked = &state_;
    DeviceState pending;
    if (recording_) {
        pending = state_;
        for (const StateBlock::Entry& e : recording_->Entries()) {
            if (e.kind == StateBlock::Kind::TextureStage) pending.stageStates[e.stage][e.type] = e.value;
            if (e.kind == StateBlock::Kind::Texture) pending.textures[e.stage] = e.texture;
        }
        checked = &pending;
    }
    if (const HResult valid = ValidateStages(caps_, *checked); Failed(valid)) return valid;
    *passes = 1;
    return kDdOk;
}

HResult Device3D::SetLight(uint32_t index, const Light7& light) {
    if (index >= state_.lights.size() || light.type < kLightPoint || light.type > kLightDirectional ||
        !(light.range >= 0.0f))
        return kDdErrInvalidParams;
    state_.lights[index].light = light;
    return kDdOk;
}

HResult Device3D::GetLight(uint32_t index, Light7* light) const {
    if (index >= state_.lights.size() || !light) return kDdErrInvalidParams;
    *light = state_.lights[index].light;
    return kDdOk;
}

HResult Device3D::LightEnable(uint32_t index, bool enable) {
    if (index >= state_.lights.size()) return kDdErrInvalidParams;
    state_.lights[index].enabled = enable;
    return kDdOk;
}

HResult Device3D::SetMaterial(const Material7& material) {
    state_.material = material;
    return kDdOk;
}

HResult Device3D::GetMaterial(Material7* material) const {
    if (!material) return kDdErrInvalidParams;
    *material = state_.material;
    return kDdOk;
}

HResult Device3D::SetClipPlane(uint32_t index, const float plane[4]) {
    if (!plane || index >= state_.clipPlanes.size()) return kDdErrInvalidParams;
    std::copy_n(plane, 4, state_.clipPlanes[index].begin());
    return kDdOk;
}

HResult Device3D::CheckDrawable() const {
    if (!state_.inScene) return kD3dErrSceneNotInScene;
    return state_.renderTarget->IsLost();
}

HResult Device3D::Submit(PrimitiveType type, uint32_t fvf, const uint8_t* vertices, uint32_t vertexCount,
                         const uint16_t* indices, uint32_t indexCount, const VertexBuffer* buffer,
                         uint32_t startVertex) {
    const uint32_t stride = FvfStride(fvf);
    const uint32_t primitives = PrimitiveCount(type, indices ? indexCount : vertexCount);
    if (stride == 0 || primitives == 0 || vertexCount == 0) return kDdErrInvalidParams;
    if (indices && std::any_of(indices, indices + indexCount, [&](uint16_t i) { return i >= vertexCount; }))
        return kDdErrInvalidParams;
    const DrawCall draw{type, fvf, stride, vertices, vertexCount, indices, indices ? indexCount : 0, primitives,
                        buffer, startVertex};
    context_->backend->Draw(state_, draw);
    return kDdOk;
}

HResult Device3D::DrawPrimitive(PrimitiveType type, uint32_t fvf, const void* vertices, uint32_t vertexCount,
                                uint32_t) {
    if (!vertices) return kDdErrInvalidParams;
    if (const HResult drawable = CheckDrawable(); Failed(drawable)) return drawable;
    return Submit(type, fvf, static_cast<const uint8_t*>(vertices), vertexCount, nullptr, 0, nullptr, 0);
}

HResult Device3D::DrawIndexedPrimitive(PrimitiveType type, uint32_t fvf, const void* vertices, uint32_t vertexCount,
                                       const uint16_t* indices, uint32_t indexCount, uint32_t) {
    if (!vertices || !indices) return kDdErrInvalidParams;
    if (const HResult drawable = CheckDrawable(); Failed(drawable)) return drawable;
    return Submit(type, fvf, static_cast<const uint8_t*>(vertices), vertexCount, indices, indexCount, nullptr, 0);
}

HResult Device3D::DrawPrimitiveVB(PrimitiveType type, VertexBuffer* buffer, uint32_t startVertex,
                                  uint32_t vertexCount, uint32_t) {
    return DrawFromBuffer(type, buffer, startVertex, vertexCount, nullptr, 0);
}

HResult Device3D::DrawIndexedPrimitiveVB(PrimitiveType type, VertexBuffer* buffer, uint32_t startVertex,
                                         uint32_t vertexCount, const uint16_t* indices, uint32_t indexCount,
                                         uint32_t) {
    if (!indices) return kDdErrInvalidParams;
    return DrawFromBuffer(type, buffer, startVertex, vertexCount, indices, indexCount);
}

HResult Device3D::DrawFromBuffer(PrimitiveType type, VertexBuffer* buffer, uint32_t startVertex, uint32_t vertexCount,
                                 const uint16_t* indices, uint32_t indexCount) {
    if (!buffer) return kDdErrInvalidParams;
    if (const HResult drawable = CheckDrawable(); Failed(drawable)) return drawable;
    HResult submitted = kDdOk;
    const HResult used = buffer->UseVertices(startVertex, vertexCount, [&](const uint8_t* first) {
        submitted = Submit(type, buffer->Fvf(), first, vertexCount, indices, indexCount, buffer, startVertex);
    });
    return Failed(used) ? used : submitted;
}

} // namespace plat
