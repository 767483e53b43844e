#pragma once
// The Direct3D 7 shaped object of a DirectDraw object: the devices by name,
// their Z-buffer formats, device creation and vertex buffers.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/d3d/com_object.h"
#include "platform/d3d/d3d_types.h"
#include "platform/d3d/results.h"

namespace plat {

class Device3D;
class Surface;
class VertexBuffer;
struct DisplayContext;

class Direct3D final : public ComObject {
public:
    explicit Direct3D(std::shared_ptr<DisplayContext> context);

    // "Reference Rasterizer", "Direct3D HAL", "Direct3D T&L HAL" with their
    // descriptions; the callback returns false to stop.
    HResult EnumDevices(const std::function<bool(const char* description, const char* name, const DeviceDesc7& desc)>&
                            callback) const;
    // 16-bit Z, and 24-bit Z with 8 stencil bits.
    HResult EnumZBufferFormats(const Guid& device, const std::function<bool(const PixelFormat&)>& callback) const;
    // A device rendering into a 3D-device surface, with the Z-buffer attached to it (if any).
    HResult CreateDevice(const Guid& device, Surface* renderTarget, Device3D** out);
    // Caps of kVbCapsDoNotClip, kVbCapsSystemMemory, kVbCapsWriteOnly; up to
    // 65535 vertices; flags must be 0. May be called from any thread.
    HResult CreateVertexBuffer(const VertexBufferDesc& desc, VertexBuffer** out, uint32_t flags);

private:
    ~Direct3D() override = default;

    const std::shared_ptr<DisplayContext> context_;
};

} // namespace plat
