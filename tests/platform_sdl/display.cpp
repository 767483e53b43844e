#include "tests/platform_sdl/display.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace plat;

void Display::Open(std::shared_ptr<DeviceBackend> backend) {
    backend_ = std::move(backend);
    InstallVideoBackend(backend_);
    ASSERT_EQ(DirectDrawCreate(nullptr, dd_.Out()), kDdOk);
    ASSERT_EQ(dd_->SetCooperativeLevel(nullptr, kDdsclNormal), kDdOk);
    SurfaceDesc desc;
    desc.flags = kDdsdCaps | kDdsdWidth | kDdsdHeight | kDdsdPixelFormat;
    desc.width = desc.height = kSide;
    desc.pixelFormat = Xrgb8888Format();
    desc.caps.caps = kDdsCapsOffscreenPlain | kDdsCaps3dDevice | kDdsCapsVideoMemory;
    ASSERT_EQ(dd_->CreateSurface(desc, target_.Out()), kDdOk);
    desc.pixelFormat = ZBufferFormat(24, 8);
    desc.caps.caps = kDdsCapsZBuffer | kDdsCapsVideoMemory;
    ASSERT_EQ(dd_->CreateSurface(desc, zBuffer_.Out()), kDdOk);
    ASSERT_EQ(target_->AddAttachedSurface(zBuffer_.get()), kDdOk);
    ASSERT_EQ(dd_->QueryDirect3D(d3d_.Out()), kDdOk);
    ASSERT_EQ(d3d_->CreateDevice(Devices()[2].guid, target_.get(), device_.Out()), kDdOk);
    PlainStates();
}

Display::~Display() {
    device_.Reset();
    d3d_.Reset();
    zBuffer_.Reset();
    target_.Reset();
    dd_.Reset();
    InstallVideoBackend(nullptr);
}

void Display::Set(RenderState state, uint32_t value) {
    EXPECT_EQ(device_->SetRenderState(state, value), kDdOk) << "render state " << state;
}

void Display::SetStage(uint32_t stage, TextureStageStateType type, uint32_t value) {
    EXPECT_EQ(device_->SetTextureStageState(stage, type, value), kDdOk) << "stage " << stage << " state " << type;
}

void Display::PlainStates() {
    Set(kRsLighting, 0);
    Set(kRsCullMode, kCullNone);
    Set(kRsZEnable, kZbFalse);
    SetStage(0, kTssAlphaOp, kTopModulate);
    SetStage(0, kTssAlphaArg2, kTaDiffuse);
    SetStage(0, kTssColorArg2, kTaDiffuse);
}

void Display::Clear(uint32_t colour, uint32_t flags, float z) {
    EXPECT_EQ(device_->Clear(0, nullptr, flags, colour, z, 0), kDdOk);
}

Ref<Surface> Display::Texture(uint32_t width, uint32_t height, const std::vector<uint32_t>& argb) {
    SurfaceDesc desc;
    desc.flags = kDdsdCaps | kDdsdWidth | kDdsdHeight | kDdsdPixelFormat;
    desc.width = width;
    desc.height = height;
    desc.pixelFormat = Argb8888Format();
    desc.caps.caps = kDdsCapsTexture | kDdsCapsVideoMemory;
    Ref<Surface> texture;
    EXPECT_EQ(dd_->CreateSurface(desc, texture.Out()), kDdOk);
    if (texture) Fill(*texture.get(), argb);
    return texture;
}

void Display::Fill(Surface& texture, const std::vector<uint32_t>& argb) {
    SurfaceDesc locked;
    ASSERT_EQ(texture.Lock(nullptr, &locked, kDdLockWait | kDdLockWriteOnly), kDdOk);
    for (uint32_t y = 0; y < texture.Height(); ++y)
        std::memcpy(locked.surface + y * locked.pitch, argb.data() + y * texture.Width(), texture.Width() * 4);
    ASSERT_EQ(texture.Unlock(nullptr), kDdOk);
}

std::vector<ColouredVertex> Display::Quad(float x0, float y0, float x1, float y1, float z, uint32_t diffuse) {
    return {{x0, y1, z, diffuse, 0, 0}, {x1, y1, z, diffuse, 1, 0}, {x0, y0, z, diffuse, 0, 1}, {x1, y0, z, diffuse, 1, 1}};
}

std::vector<ScreenVertex> Display::ScreenQuad(float x0, float y0, float x1, float y1, float z, uint32_t diffuse) {
    return {{x0, y0, z, 1, diffuse, 0, 0, 0}, {x1, y0, z, 1, diffuse, 0, 1, 0}, {x0, y1, z, 1, diffuse, 0, 0, 1},
            {x1, y1, z, 1, diffuse, 0, 1, 1}};
}

uint32_t Display::Pixel(uint32_t x, uint32_t y) {
    SurfaceDesc desc;
    desc.flags = kDdsdCaps | kDdsdWidth | kDdsdHeight | kDdsdPixelFormat;
    desc.width = desc.height = kSide;
    desc.pixelFormat = Argb8888Format();
    desc.caps.caps = kDdsCapsOffscreenPlain | kDdsCapsSystemMemory;
    Ref<Surface> copy;
    EXPECT_EQ(dd_->CreateSurface(desc, copy.Out()), kDdOk);
    EXPECT_EQ(copy->Blt(nullptr, target_.get(), nullptr, kDdBltWait, nullptr), kDdOk);
    SurfaceDesc locked;
    EXPECT_EQ(copy->Lock(nullptr, &locked, kDdLockReadOnly), kDdOk);
    uint32_t pixel = 0;
    std::memcpy(&pixel, locked.surface + y * locked.pitch + x * 4, 4);
    copy->Unlock(nullptr);
    return pixel;
}

testing::AssertionResult SameColour(uint32_t actual, uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = int(actual >> shift & 0xFF), e = int(expected >> shift & 0xFF);
        if (std::abs(a - e) > tolerance) {
            char text[40];
            std::snprintf(text, sizeof text, "0x%08X is not 0x%08X", actual, expected);
            return testing::AssertionFailure() << text;
        }
    }
    return testing::AssertionSuccess();
}
