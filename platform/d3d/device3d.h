#pragma once
// A Direct3D 7 shaped device over a render target (and its attached
// Z-buffer). The device keeps all state, refuses values its capabilities do
// not offer, records state blocks, checks every draw against its vertices and
// hands the work to the backend. It belongs to one thread.
//
// While a state block is being recorded, render states, texture-stage states
// and stage textures go into the block instead of the device.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "platform/d3d/backend.h"
#include "platform/d3d/com_object.h"
#include "platform/d3d/d3d_types.h"
#include "platform/d3d/device_state.h"
#include "platform/d3d/results.h"

namespace plat {

class StateBlock;
class Surface;
class VertexBuffer;
struct DisplayContext;

class Device3D final : public ComObject {
public:
    HResult GetCaps(DeviceDesc7* desc) const;
    // 565, 1555, 4444, X8R8G8B8, A8R8G8B8; the callback returns false to stop.
    HResult EnumTextureFormats(const std::function<bool(const PixelFormat&)>& callback) const;

    HResult BeginScene();
    HResult EndScene();
    // Clears the rectangles (all of the viewport when count is 0), cut to the viewport.
    HResult Clear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t color, float z, uint32_t stencil);

    HResult SetTransform(TransformState type, const Matrix& matrix);
    HResult GetTransform(TransformState type, Matrix* matrix) const;
    // The viewport must lie inside the render target; MinZ and MaxZ in [0, 1], either way round.
    HResult SetViewport(const Viewport7& viewport);
    HResult GetViewport(Viewport7* viewport) const;
    HResult SetClipStatus(const ClipStatus& status);

    HResult SetRenderState(RenderState state, uint32_t value);
    HResult SetTextureStageState(uint32_t stage, TextureStageStateType type, uint32_t value);
    // A texture surface or null; the device keeps a reference.
    HResult SetTexture(uint32_t stage, Surface* texture);

    HResult BeginStateBlock();
    HResult EndStateBlock(uint32_t* handle);
    HResult ApplyStateBlock(uint32_t handle);
    HResult DeleteStateBlock(uint32_t handle);
    // Checks the stages in use (including those being recorded) against the
    // device's stage counts; passes receives 1.
    HResult ValidateDevice(uint32_t* passes) const;

    // Light indices run below the device's active-light count.
    HResult SetLight(uint32_t index, const Light7& light);
    HResult GetLight(uint32_t index, Light7* light) const;
    HResult LightEnable(uint32_t index, bool enable);
    HResult SetMaterial(const Material7& material);
    HResult GetMaterial(Material7* material) const;
    // Plane a x + b y + c z + d >= 0 is kept; index below the device's clip-plane count.
    HResult SetClipPlane(uint32_t index, const float plane[4]);

    // Draws inside a scene, in a vertex format the layer takes; every index
    // must name one of the vertices given. Draw flags are hints and ignored.
    HResult DrawPrimitive(PrimitiveType type, uint32_t fvf, const void* vertices, uint32_t vertexCount,
                          uint32_t flags);
    HResult DrawIndexedPrimitive(PrimitiveType type, uint32_t fvf, const void* vertices, uint32_t vertexCount,
                                 const uint16_t* indices, uint32_t indexCount, uint32_t flags);
    HResult DrawPrimitiveVB(PrimitiveType type, VertexBuffer* buffer, uint32_t startVertex, uint32_t vertexCount,
                            uint32_t flags);
    // Indices count from startVertex.
    HResult DrawIndexedPrimitiveVB(PrimitiveType type, VertexBuffer* buffer, uint32_t startVertex,
                                   uint32_t vertexCount, const uint16_t* indices, uint32_t indexCount, uint32_t flags);

    // For the layer and its backends.
    const DeviceState& State() const { return state_; }

    // Direct3D::CreateDevice.
    static HResult Create(std::shared_ptr<DisplayContext> context, const DeviceDesc7& caps, Surface* renderTarget,
                          Device3D** out);

private:
    Device3D(std::shared_ptr<DisplayContext> context, const DeviceDesc7& caps, Surface* renderTarget,
             Surface* zBuffer);
    ~Device3D() override;

    void ApplyRenderState(uint32_t state, uint32_t value, StateOrigin origin);
    void ApplyTextureStageState(uint32_t stage, uint32_t type, uint32_t value, StateOrigin origin);
    void ApplyTexture(uint32_t stage, Surface* texture, StateOrigin origin);
    HResult CheckDrawable() const;
    HResult DrawFromBuffer(PrimitiveType type, VertexBuffer* buffer, uint32_t startVertex, uint32_t vertexCount,
                           const uint16_t* indices, uint32_t indexCount);
    HResult Submit(PrimitiveType type, uint32_t fvf, const uint8_t* vertices, uint32_t vertexCount,
                   const uint16_t* indices, uint32_t indexCount, const VertexBuffer* buffer, uint32_t startVertex);

    const std::shared_ptr<DisplayContext> context_;
    const DeviceDesc7 caps_;
    DeviceState state_;
    std::unique_ptr<StateBlock> recording_;
    std::map<uint32_t, std::unique_ptr<StateBlock>> blocks_;
    uint32_t nextBlock_ = 1;
};

} // namespace plat
