#pragma once
// A device without a display for the tools and tests that load textures: the
// null video backend, a 3D device on it handed to the texture loader, and one
// default texture format (no candidates), so every image is built in that
// format. Released again when it goes.

#include "platform/d3d/ddraw_types.h"
#include "platform/d3d/null_device.h"

namespace plat {
class DirectDraw;
class Device3D;
class Surface;
} // namespace plat

class HeadlessTextureDevice {
public:
    explicit HeadlessTextureDevice(const plat::PixelFormat& format,
                                   const plat::BackendFacts& facts = plat::NullBackend::DefaultFacts());
    ~HeadlessTextureDevice();
    HeadlessTextureDevice(const HeadlessTextureDevice&) = delete;
    HeadlessTextureDevice& operator=(const HeadlessTextureDevice&) = delete;

    // False when the device could not be made (the loader then fails with error 3).
    bool Ready() const { return device_ != nullptr; }
    plat::DirectDraw* DirectDraw() const { return directDraw_; }

private:
    plat::DirectDraw* directDraw_ = nullptr;
    plat::Surface* target_ = nullptr;
    plat::Device3D* device_ = nullptr;
};
