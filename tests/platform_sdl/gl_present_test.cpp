// The OpenGL backend presenting into a program window: full screen through a
// flip chain, and windowed through a blit to the primary. The display
// surfaces' memory follows what was presented.
#include <algorithm>
#include <cstring>

#include "platform/sdl/gl_backend.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/window.h"
#include "tests/platform_sdl/scenes.h"

using namespace plat;

namespace {

class GlPresentTest : public testing::Test {
protected:
    void SetUp() override {
        if (!StartSdlVideo()) GTEST_SKIP() << "no display can be opened: run the render tests under xvfb-run";
        std::string failure;
        backend = CreateGlBackend(&failure);
        ASSERT_TRUE(backend) << failure;
        InstallVideoBackend(backend);
        window = CreateProgramWindow("present test", kSide, kSide);
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(DirectDrawCreate(nullptr, dd.Out()), kDdOk);
    }
    void TearDown() override {
        device.Reset();
        d3d.Reset();
        back.Reset();
        primary.Reset();
        dd.Reset();
        DestroyProgramWindow(window);
        InstallVideoBackend(nullptr);
    }

    void MakeDevice(Surface* target) {
        ASSERT_EQ(dd->QueryDirect3D(d3d.Out()), kDdOk);
        ASSERT_EQ(d3d->CreateDevice(Devices()[1].guid, target, device.Out()), kDdOk);
    }
    void ClearTo(uint32_t colour) { ASSERT_EQ(device->Clear(0, nullptr, kClearTarget, colour, 1, 0), kDdOk); }

    // A pixel of a display surface, copied out through a blit.
    uint32_t PixelOf(Surface* surface, uint32_t x, uint32_t y) {
        SurfaceDesc desc;
        desc.flags = kDdsdCaps | kDdsdWidth | kDdsdHeight | kDdsdPixelFormat;
        desc.width = surface->Width();
        desc.height = surface->Height();
        desc.pixelFormat = Argb8888Format();
        desc.caps.caps = kDdsCapsOffscreenPlain | kDdsCapsSystemMemory;
        Ref<Surface> copy;
        EXPECT_EQ(dd->CreateSurface(desc, copy.Out()), kDdOk);
        EXPECT_EQ(copy->Blt(nullptr, surface, nullptr, kDdBltWait, nullptr), kDdOk);
        SurfaceDesc locked;
        EXPECT_EQ(copy->Lock(nullptr, &locked, kDdLockReadOnly), kDdOk);
        uint32_t pixel = 0;
        std::memcpy(&pixel, locked.surface + y * locked.pitch + x * 4, 4);
        copy->Unlock(nullptr);
        return pixel;
    }

    std::shared_ptr<DeviceBackend> backend;
    WindowHandle window = nullptr;
    Ref<DirectDraw> dd;
    Ref<Surface> primary, back;
    Ref<Direct3D> d3d;
    Ref<Device3D> device;
};

TEST_F(GlPresentTest, FlippingShowsTheBackBufferAndTheImagesTurnWithTheChain) {
    const auto& modes = backend->Facts().modes;
    const auto mode = std::find_if(modes.begin(), modes.end(), [](const DisplayMode& m) { return m.bitDepth == 32; });
    ASSERT_NE(mode, modes.end());
    ASSERT_EQ(dd->SetCooperativeLevel(window, kDdsclExclusive | kDdsclFullscreen), kDdOk);
    ASSERT_EQ(dd->SetDisplayMode(mode->width, mode->height, 32, 0, 0), kDdOk);
    SurfaceDesc desc;
    desc.flags = kDdsdCaps | kDdsdBackBufferCount;
    desc.backBufferCount = 1;
    desc.caps.caps = kDdsCapsPrimarySurface | kDdsCapsFlip | kDdsCapsComplex | kDdsCaps3dDevice | kDdsCapsVideoMemory;
    ASSERT_EQ(dd->CreateSurface(desc, primary.Out()), kDdOk);
    ASSERT_EQ(primary->GetAttachedSurface({kDdsCapsBackBuffer}, back.Out()), kDdOk);
    MakeDevice(back.get());

    ClearTo(kRed);
    ASSERT_EQ(primary->Flip(nullptr, kDdFlipWait), kDdOk);
    EXPECT_TRUE(SameColour(PixelOf(primary.get(), 5, 5), kRed, 0)) << "the front shows the drawn frame";
    ClearTo(kGreen);
    EXPECT_TRUE(SameColour(PixelOf(back.get(), 5, 5), kGreen, 0));
    ASSERT_EQ(primary->Flip(nullptr, kDdFlipWait), kDdOk);
    EXPECT_TRUE(SameColour(PixelOf(primary.get(), 5, 5), kGreen, 0));
    EXPECT_TRUE(SameColour(PixelOf(back.get(), 5, 5), kRed, 0)) << "the old front became the back buffer";
    EXPECT_EQ(dd->RestoreDisplayMode(), kDdOk);
}

TEST_F(GlPresentTest, AWindowedFrameBlitToThePrimaryIsInBothSurfacesMemory) {
    ASSERT_EQ(dd->SetCooperativeLevel(window, kDdsclNormal), kDdOk);
    SurfaceDesc desc;
    desc.flags = kDdsdCaps;
    desc.caps.caps = kDdsCapsPrimarySurface;
    ASSERT_EQ(dd->CreateSurface(desc, primary.Out()), kDdOk);
    desc.flags = kDdsdCaps | kDdsdWidth | kDdsdHeight | kDdsdPixelFormat;
    desc.width = desc.height = kSide;
    desc.pixelFormat = Rgb565Format();
    desc.caps.caps = kDdsCapsOffscreenPlain | kDdsCaps3dDevice | kDdsCapsVideoMemory;
    ASSERT_EQ(dd->CreateSurface(desc, back.Out()), kDdOk);
    MakeDevice(back.get());

    ClearTo(0xFF336699);
    const Rect client{10, 20, 10 + int32_t(kSide), 20 + int32_t(kSide)};
    ASSERT_EQ(primary->Blt(&client, back.get(), nullptr, kDdBltWait, nullptr), kDdOk);
    // The back buffer locked after the frame holds it in its own format (a screenshot).
    const ArgbCodec codec(Rgb565Format());
    SurfaceDesc locked;
    ASSERT_EQ(back->Lock(nullptr, &locked, kDdLockReadOnly | kDdLockWait), kDdOk);
    uint16_t raw = 0;
    std::memcpy(&raw, locked.surface + 5 * locked.pitch + 5 * 2, 2);
    back->Unlock(nullptr);
    EXPECT_EQ(raw, codec.FromArgb(0xFF336699));
    EXPECT_TRUE(SameColour(PixelOf(primary.get(), 12, 22), codec.ToArgb(raw), 0));
    EXPECT_TRUE(SameColour(PixelOf(primary.get(), 5, 5), kBlack, 0));
}

TEST_F(GlPresentTest, LockingTheBackBufferMidFrameReturnsWhatWasDrawn) {
    ASSERT_EQ(dd->SetCooperativeLevel(window, kDdsclNormal), kDdOk);
    SurfaceDesc desc;
    desc.flags = kDdsdCaps | kDdsdWidth | kDdsdHeight | kDdsdPixelFormat;
    desc.width = desc.height = kSide;
    desc.pixelFormat = Argb8888Format();
    desc.caps.caps = kDdsCapsOffscreenPlain | kDdsCaps3dDevice | kDdsCapsVideoMemory;
    ASSERT_EQ(dd->CreateSurface(desc, back.Out()), kDdOk);
    MakeDevice(back.get());

    ClearTo(0xFF204080);
    SurfaceDesc locked;
    ASSERT_EQ(back->Lock(nullptr, &locked, kDdLockReadOnly | kDdLockWait), kDdOk);
    uint32_t pixel = 0;
    std::memcpy(&pixel, locked.surface + 7 * locked.pitch + 9 * 4, 4);
    back->Unlock(nullptr);
    EXPECT_TRUE(SameColour(pixel, 0xFF204080, 0));
}

} // namespace
