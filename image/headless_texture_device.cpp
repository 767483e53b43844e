#include "image/headless_texture_device.h"

#include <memory>
#include <string_view>

#include "image/reader_registry.h"
#include "image/texture_device.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/direct3d.h"
#include "platform/d3d/directdraw.h"
#include "platform/d3d/enumeration.h"
#include "platform/d3d/surface.h"
#include "platform/d3d/video_backend.h"

HeadlessTextureDevice::HeadlessTextureDevice(const plat::PixelFormat& format, const plat::BackendFacts& facts) {
    RegisterImageReaders();
    plat::InstallVideoBackend(std::make_shared<plat::NullBackend>(facts));
    if (plat::Failed(plat::DirectDrawCreate(nullptr, &directDraw_))) return;
    directDraw_->SetCooperativeLevel(nullptr, plat::kDdsclNormal);
    plat::SurfaceDesc desc;
    desc.flags = plat::kDdsdCaps | plat::kDdsdWidth | plat::kDdsdHeight;
    desc.width = desc.height = 16;
    desc.caps.caps = plat::kDdsCapsOffscreenPlain | plat::kDdsCaps3dDevice;
    plat::Direct3D* d3d = nullptr;
    if (plat::Failed(directDraw_->CreateSurface(desc, &target_)) || plat::Failed(directDraw_->QueryDirect3D(&d3d))) return;
    for (const plat::DeviceEntry& entry : plat::Devices())
        if (std::string_view(entry.name) == "Direct3D HAL") d3d->CreateDevice(entry.guid, target_, &device_);
    d3d->Release();
    TextureLoaderSetDevice(directDraw_, device_);
    TextureLoaderSetDefaultFormat(format);
}

HeadlessTextureDevice::~HeadlessTextureDevice() {
    TextureLoaderSetDevice(nullptr, nullptr);
    if (device_) device_->Release();
    if (target_) target_->Release();
    if (directDraw_) directDraw_->Release();
}
