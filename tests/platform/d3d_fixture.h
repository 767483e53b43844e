#pragma once
// A display over the null backend for the device-layer tests, and a holder
// that releases the layer's objects at the end of a test.

#include <gtest/gtest.h>

#include <memory>

#include "platform/d3d/device3d.h"
#include "platform/d3d/direct3d.h"
#include "platform/d3d/directdraw.h"
#include "platform/d3d/enumeration.h"
#include "platform/d3d/null_device.h"
#include "platform/d3d/pixel_format.h"
#include "platform/d3d/surface.h"
#include "platform/d3d/vertex_buffer.h"
#include "platform/d3d/video_backend.h"

// Owns one reference of a device-layer object.
template <class T>
class Ref {
public:
    Ref() = default;
    ~Ref() { Reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& other) noexcept : p_(other.Take()) {}
    Ref& operator=(Ref&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = other.Take();
        }
        return *this;
    }

    T** Out() {
        Reset();
        return &p_;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }
    // Hands the reference over (for tests that release it themselves).
    T* Take() {
        T* p = p_;
        p_ = nullptr;
        return p;
    }

private:
    T* p_ = nullptr;
};

class D3dTest : public testing::Test {
protected:
    // Facts of the display; tests override to change a limit.
    virtual plat::BackendFacts Facts() { return plat::NullBackend::DefaultFacts(); }

    void SetUp() override {
        backend = std::make_shared<plat::NullBackend>(Facts());
        plat::InstallVideoBackend(backend);
        ASSERT_EQ(plat::DirectDrawCreate(nullptr, dd.Out()), plat::kDdOk);
    }
    void TearDown() override { plat::InstallVideoBackend(nullptr); }

    // A width x height surface of the given caps, in a given format or the display's.
    plat::HResult Create(uint32_t caps, uint32_t width, uint32_t height, const plat::PixelFormat* format,
                         Ref<plat::Surface>& out, uint32_t caps2 = 0) {
        plat::SurfaceDesc desc;
        desc.flags = plat::kDdsdCaps | plat::kDdsdWidth | plat::kDdsdHeight | (format ? plat::kDdsdPixelFormat : 0);
        desc.width = width;
        desc.height = height;
        if (format) desc.pixelFormat = *format;
        desc.caps.caps = caps;
        desc.caps.caps2 = caps2;
        return dd->CreateSurface(desc, out.Out());
    }

    // A HAL device rendering into a width x height target with a 16-bit Z-buffer.
    void MakeDevice(uint32_t width = 640, uint32_t height = 480) {
        using namespace plat;
        ASSERT_EQ(Create(kDdsCapsOffscreenPlain | kDdsCaps3dDevice | kDdsCapsVideoMemory, width, height, nullptr, target),
                  kDdOk);
        const PixelFormat z16 = ZBufferFormat(16, 0);
        ASSERT_EQ(Create(kDdsCapsZBuffer | kDdsCapsVideoMemory, width, height, &z16, zBuffer), kDdOk);
        ASSERT_EQ(target->AddAttachedSurface(zBuffer.get()), kDdOk);
        ASSERT_EQ(dd->QueryDirect3D(d3d.Out()), kDdOk);
        ASSERT_EQ(d3d->CreateDevice(Devices()[1].guid, target.get(), device.Out()), kDdOk);
    }

    std::shared_ptr<plat::NullBackend> backend;
    Ref<plat::DirectDraw> dd;
    Ref<plat::Surface> target, zBuffer;
    Ref<plat::Direct3D> d3d;
    Ref<plat::Device3D> device;
};
