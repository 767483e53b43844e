#include "platform/d3d/direct3d.h"

#include "platform/d3d/device3d.h"
#include "platform/d3d/display_context.h"
#include "platform/d3d/enumeration.h"
#include "platform/d3d/vertex_buffer.h"

namespace plat {

Direct3D::Direct3D(std::shared_ptr<DisplayContext> context) : context_(std::move(context)) {}

HResult Direct3D::EnumDevices(
    const std::function<bool(const char*, const char*, const DeviceDesc7&)>& callback) const {
    if (!callback) return kDdErrInvalidParams;
    for (const DeviceEntry& device : Devices())
        if (!callback(device.description, device.name, DescribeDevice(device, context_->Facts()))) break;
    return kDdOk;
}

HResult Direct3D::EnumZBufferFormats(const Guid& device, const std::function<bool(const PixelFormat&)>& callback) const {
    if (!callback || !FindDevice(device)) return kDdErrInvalidParams;
    for (const PixelFormat& format : ZBufferFormats(context_->Facts().limits))
        if (!callback(format)) break;
    return kDdOk;
}

HResult Direct3D::CreateDevice(const Guid& device, Surface* renderTarget, Device3D** out) {
    const DeviceEntry* entry = FindDevice(device);
    if (!entry) return kDdErrInvalidParams;
    return Device3D::Create(context_, DescribeDevice(*entry, context_->Facts()), renderTarget, out);
}

HResult Direct3D::CreateVertexBuffer(const VertexBufferDesc& desc, VertexBuffer** out, uint32_t flags) {
    return VertexBuffer::Create(desc, flags, out);
}

} // namespace plat
