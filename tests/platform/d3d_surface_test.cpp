#include <cstring>
#include <vector>

#include "platform/d3d/clipper.h"
#include "platform/d3d/gamma_control.h"
#include "platform/d3d/palette.h"
#include "platform/threads.h"
#include "tests/platform/d3d_fixture.h"

using namespace plat;

namespace {

constexpr uint32_t kVideoTexture = kDdsCapsTexture | kDdsCapsVideoMemory;
constexpr uint32_t kSystemTexture = kDdsCapsTexture | kDdsCapsSystemMemory;

PixelFormat Palettized(uint32_t flag) {
    PixelFormat f;
    f.flags = flag;
    return f;
}

using SurfaceTest = D3dTest;

TEST_F(SurfaceTest, LockedPitchesFollowEachFormat) {
    struct Case {
        const char* name;
        PixelFormat format;
        uint32_t width, height;
        int32_t pitch;
    };
    const std::vector<Case> cases = {
        {"565", Rgb565Format(), 3, 2, 8},
        {"1555", Argb1555Format(), 4, 2, 8},
        {"4444", Argb4444Format(), 5, 2, 12},
        {"X8R8G8B8", Xrgb8888Format(), 3, 2, 12},
        {"A8R8G8B8", Argb8888Format(), 3, 2, 12},
        {"R8G8B8", RgbFormat(24, 0xFF0000, 0xFF00, 0xFF, 0), 3, 2, 12},
        {"8-bit palette", Palettized(kDdpfPaletteIndexed8), 5, 2, 8},
        {"4-bit palette", Palettized(kDdpfPaletteIndexed4), 9, 2, 8},
        {"1-bit palette", Palettized(kDdpfPaletteIndexed1), 33, 2, 8},
        {"Z16", ZBufferFormat(16, 0), 3, 2, 8},
        {"Z24S8", ZBufferFormat(24, 8), 3, 2, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint32_t caps = (c.format.flags & kDdpfZBuffer) ? kDdsCapsZBuffer | kDdsCapsSystemMemory
                                                              : kDdsCapsOffscreenPlain | kDdsCapsSystemMemory;
        Ref<Surface> s;
        ASSERT_EQ(Create(caps, c.width, c.height, &c.format, s), kDdOk);
        SurfaceDesc desc;
        ASSERT_EQ(s->Lock(nullptr, &desc, kDdLockWait), kDdOk);
        EXPECT_TRUE(desc.flags & kDdsdPitch);
        EXPECT_EQ(desc.pitch, c.pitch);
        // The last byte of the last row is inside the surface's memory.
        desc.surface[desc.pitch * (c.height - 1) + c.pitch - 1] = 0xAB;
        EXPECT_EQ(s->Unlock(nullptr), kDdOk);
    }
}

TEST_F(SurfaceTest, CompressedSurfacesLockWholeBlocksAndReportTheirLinearSize) {
    const PixelFormat dxt3 = DxtFormat(kFourCcDxt3);
    Ref<Surface> s;
    ASSERT_EQ(Create(kSystemTexture, 9, 5, &dxt3, s), kDdOk);
    SurfaceDesc desc;
    ASSERT_EQ(s->Lock(nullptr, &desc, 0), kDdOk);
    EXPECT_TRUE(desc.flags & kDdsdLinearSize);
    EXPECT_EQ(desc.linearSize, 3u * 2u * 16u); // 3 x 2 blocks of 16 bytes
    uint8_t* const base = desc.surface;
    ASSERT_EQ(s->Unlock(nullptr), kDdOk);

    const Rect secondBlockRow{4, 4, 9, 5};
    ASSERT_EQ(s->Lock(&secondBlockRow, &desc, 0), kDdOk);
    EXPECT_EQ(desc.surface - base, 3 * 16 + 16);
    ASSERT_EQ(s->Unlock(nullptr), kDdOk);

    const Rect insideABlock{2, 0, 4, 4};
    EXPECT_EQ(s->Lock(&insideABlock, &desc, 0), kDdErrInvalidRect);
    // Compressed formats live in system memory only: the device offers none.
    EXPECT_EQ(Create(kVideoTexture, 8, 8, &dxt3, s), kDdErrInvalidPixelFormat);
}

TEST_F(SurfaceTest, LockChecksItsRectangleAndRefusesASecondLock) {
    const PixelFormat f = Argb8888Format();
    Ref<Surface> s;
    ASSERT_EQ(Create(kSystemTexture, 8, 4, &f, s), kDdOk);
    SurfaceDesc desc;
    for (const Rect bad : {Rect{0, 0, 9, 4}, Rect{-1, 0, 2, 2}, Rect{3, 1, 3, 2}, Rect{0, 3, 8, 2}})
        EXPECT_EQ(s->Lock(&bad, &desc, 0), kDdErrInvalidRect);

    const Rect r{2, 1, 4, 3};
    ASSERT_EQ(s->Lock(&r, &desc, kDdLockWriteOnly), kDdOk);
    EXPECT_EQ(desc.pitch, 32);
    uint8_t* const inRect = desc.surface;
    EXPECT_EQ(s->Lock(nullptr, &desc, 0), kDdErrSurfaceBusy);
    ASSERT_EQ(s->Unlock(nullptr), kDdOk);
    EXPECT_EQ(s->Unlock(nullptr), kDdErrNotLocked);
    ASSERT_EQ(s->Lock(nullptr, &desc, 0), kDdOk);
    EXPECT_EQ(inRect - desc.surface, 1 * 32 + 2 * 4);
    ASSERT_EQ(s->Unlock(nullptr), kDdOk);
}

TEST_F(SurfaceTest, AMipChainWalksDownToNotFound) {
    const PixelFormat f = Rgb565Format();
    SurfaceDesc desc;
    desc.flags = kDdsdCaps | kDdsdWidth | kDdsdHeight | kDdsdPixelFormat | kDdsdMipMapCount;
    desc.width = 16;
    desc.height = 4;
    desc.pixelFormat = f;
    desc.mipMapCount = 4;
    desc.caps.caps = kVideoTexture | kDdsCapsMipMap | kDdsCapsComplex;
    Ref<Surface> top, level;
    ASSERT_EQ(dd->CreateSurface(desc, top.Out()), kDdOk);
    top->AddRef();
    *level.Out() = top.get();

    const uint32_t widths[] = {16, 8, 4, 2}, heights[] = {4, 2, 1, 1};
    for (uint32_t i = 0; i < 4; ++i) {
        SurfaceDesc got;
        ASSERT_EQ(level->GetSurfaceDesc(&got), kDdOk);
        EXPECT_EQ(got.width, widths[i]);
        EXPECT_EQ(got.height, heights[i]);
        EXPECT_EQ(got.mipMapCount, 4 - i);
        EXPECT_EQ(bool(got.caps.caps2 & kDdsCaps2MipMapSubLevel), i > 0);
        Ref<Surface> next;
        const HResult r = level->GetAttachedSurface({kDdsCapsTexture | kDdsCapsMipMap}, next.Out());
        if (i < 3) {
            ASSERT_EQ(r, kDdOk);
            std::swap(level, next);
        } else {
            EXPECT_EQ(r, kDdErrNotFound);
        }
    }
}

TEST_F(SurfaceTest, ReferenceCountsAreReturnedAndReachZero) {
    const PixelFormat f = Rgb565Format();
    Ref<Surface> s;
    ASSERT_EQ(Create(kSystemTexture, 4, 4, &f, s), kDdOk);
    EXPECT_EQ(s->AddRef(), 2u);
    EXPECT_EQ(s->AddRef(), 3u);
    EXPECT_EQ(s->Release(), 2u);
    EXPECT_EQ(s->Release(), 1u);
    EXPECT_EQ(s.Take()->Release(), 0u);
}

TEST_F(SurfaceTest, CreationRefusesMalformedDescriptions) {
    const PixelFormat rgb = Rgb565Format(), z16 = ZBufferFormat(16, 0), rgb24 = RgbFormat(24, 0xFF0000, 0xFF00, 0xFF, 0);
    struct Case {
        const char* name;
        uint32_t caps;
        uint32_t width;
        const PixelFormat* format;
        HResult expected;
    };
    const std::vector<Case> cases = {
        {"both memories", kDdsCapsTexture | kDdsCapsSystemMemory | kDdsCapsVideoMemory, 8, &rgb, kDdErrInvalidCaps},
        {"zero width", kSystemTexture, 0, &rgb, kDdErrInvalidParams},
        {"texture above the device's largest", kVideoTexture, 4096, &rgb, kDdErrInvalidParams},
        {"Z format without Z caps", kSystemTexture, 8, &z16, kDdErrInvalidPixelFormat},
        {"Z caps without a Z format", kDdsCapsZBuffer, 8, &rgb, kDdErrInvalidPixelFormat},
        {"video texture in a format not offered", kVideoTexture, 8, &rgb24, kDdErrInvalidPixelFormat},
        {"mip map without complex", kVideoTexture | kDdsCapsMipMap, 8, &rgb, kDdErrInvalidCaps},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<Surface> s;
        EXPECT_EQ(Create(c.caps, c.width, 8, c.format, s), c.expected);
        EXPECT_FALSE(s);
    }
    SurfaceDesc noCaps;
    noCaps.flags = kDdsdWidth | kDdsdHeight;
    noCaps.width = noCaps.height = 8;
    Ref<Surface> s;
    EXPECT_EQ(dd->CreateSurface(noCaps, s.Out()), kDdErrInvalidParams);
}

TEST_F(SurfaceTest, VideoMemoryIsAFixedBudgetThatSurfacesDrawOn) {
    const PixelFormat f = Argb8888Format();
    uint32_t total = 0, before = 0, after = 0;
    ASSERT_EQ(dd->GetAvailableVidMem({kDdsCapsTexture}, &total, &before), kDdOk);
    EXPECT_EQ(total, 32u << 20);
    EXPECT_EQ(before, total);
    {
        Ref<Surface> s, managed, system;
        ASSERT_EQ(Create(kVideoTexture, 256, 256, &f, s), kDdOk);
        ASSERT_EQ(Create(kDdsCapsTexture, 256, 256, &f, managed, kDdsCaps2TextureManage), kDdOk);
        ASSERT_EQ(Create(kSystemTexture, 256, 256, &f, system), kDdOk);
        ASSERT_EQ(dd->GetAvailableVidMem({kDdsCapsLocalVidMem}, nullptr, &after), kDdOk);
        EXPECT_EQ(before - after, 2u * 256 * 256 * 4);
        // Where each landed shows in its caps.
        SurfaceDesc desc;
        ASSERT_EQ(managed->GetSurfaceDesc(&desc), kDdOk);
        EXPECT_EQ(desc.caps.caps & (kDdsCapsLocalVidMem | kDdsCapsVideoMemory | kDdsCapsSystemMemory),
                  kDdsCapsLocalVidMem);
        ASSERT_EQ(s->GetSurfaceDesc(&desc), kDdOk);
        EXPECT_TRUE(desc.caps.caps & kDdsCapsLocalVidMem);
        ASSERT_EQ(system->GetSurfaceDesc(&desc), kDdOk);
        EXPECT_FALSE(desc.caps.caps & kDdsCapsLocalVidMem);
    }
    ASSERT_EQ(dd->GetAvailableVidMem({kDdsCapsTexture}, nullptr, &after), kDdOk);
    EXPECT_EQ(after, before);
    ASSERT_EQ(dd->GetAvailableVidMem({kDdsCapsNonLocalVidMem}, &total, &after), kDdOk);
    EXPECT_EQ(total, 0u);
}

class TightBudgetTest : public D3dTest {
protected:
    BackendFacts Facts() override {
        BackendFacts facts = NullBackend::DefaultFacts();
        facts.videoMemoryBytes = 64 * 64 * 4;
        return facts;
    }
};

TEST_F(TightBudgetTest, AVideoSurfaceBeyondTheBudgetFailsAndManagedOnesStillCome) {
    const PixelFormat f = Argb8888Format();
    Ref<Surface> first, second, managed;
    ASSERT_EQ(Create(kVideoTexture, 64, 64, &f, first), kDdOk);
    EXPECT_EQ(Create(kVideoTexture, 1, 1, &f, second), kDdErrOutOfVideoMemory);
    EXPECT_EQ(Create(kDdsCapsTexture, 64, 64, &f, managed, kDdsCaps2TextureManage), kDdOk);
    uint32_t free = 1;
    ASSERT_EQ(dd->GetAvailableVidMem({kDdsCapsTexture}, nullptr, &free), kDdOk);
    EXPECT_EQ(free, 0u);
}

class FlipChainTest : public D3dTest {
protected:
    HResult CreatePrimary(uint32_t backBuffers, Ref<Surface>& out) {
        SurfaceDesc desc;
        desc.flags = kDdsdCaps | kDdsdBackBufferCount;
        desc.caps.caps = 0x6218; // primary, flip, complex, 3D device, video memory
        desc.backBufferCount = backBuffers;
        return dd->CreateSurface(desc, out.Out());
    }
    void GoFullScreen() {
        int window = 0;
        ASSERT_EQ(dd->SetCooperativeLevel(&window, 0x813), kDdOk);
        ASSERT_EQ(dd->SetDisplayMode(640, 480, 16, 0, 0), kDdOk);
    }
    static void Paint(Surface* s, uint8_t value) {
        SurfaceDesc desc;
        ASSERT_EQ(s->Lock(nullptr, &desc, 0), kDdOk);
        desc.surface[0] = value;
        ASSERT_EQ(s->Unlock(nullptr), kDdOk);
    }
    static uint8_t FirstByte(Surface* s) {
        SurfaceDesc desc;
        EXPECT_EQ(s->Lock(nullptr, &desc, kDdLockReadOnly), kDdOk);
        const uint8_t v = desc.surface[0];
        s->Unlock(nullptr);
        return v;
    }
};

TEST_F(FlipChainTest, AFlipChainNeedsExclusiveFullScreen) {
    Ref<Surface> primary;
    EXPECT_EQ(CreatePrimary(1, primary), kDdErrNoExclusiveMode);
    EXPECT_EQ(dd->SetDisplayMode(640, 480, 16, 0, 0), kDdErrNoExclusiveMode);
    GoFullScreen();
    EXPECT_EQ(dd->SetDisplayMode(641, 480, 16, 0, 0), kDdErrInvalidMode);
    ASSERT_EQ(CreatePrimary(1, primary), kDdOk);
    Ref<Surface> second;
    EXPECT_EQ(CreatePrimary(1, second), kDdErrPrimarySurfaceAlreadyExists);
    SurfaceDesc desc;
    ASSERT_EQ(primary->GetSurfaceDesc(&desc), kDdOk);
    EXPECT_EQ(desc.width, 640u);
    EXPECT_EQ(desc.pixelFormat.rgbBitCount, 16u);
    EXPECT_EQ(desc.backBufferCount, 1u);
}

TEST_F(FlipChainTest, TripleBufferingTurnsTheImagesRound) {
    GoFullScreen();
    Ref<Surface> primary, back, third, wrapped;
    ASSERT_EQ(CreatePrimary(2, primary), kDdOk);
    ASSERT_EQ(primary->GetAttachedSurface({kDdsCapsBackBuffer}, back.Out()), kDdOk);
    ASSERT_EQ(back->GetAttachedSurface({kDdsCapsFlip}, third.Out()), kDdOk);
    ASSERT_EQ(third->GetAttachedSurface({kDdsCapsFlip}, wrapped.Out()), kDdOk);
    EXPECT_EQ(wrapped.get(), primary.get());
    Paint(primary.get(), 1);
    Paint(back.get(), 2);
    Paint(third.get(), 3);

    ASSERT_EQ(primary->Flip(nullptr, kDdFlipWait), kDdOk);
    EXPECT_EQ(FirstByte(primary.get()), 2);
    EXPECT_EQ(FirstByte(back.get()), 3);
    EXPECT_EQ(FirstByte(third.get()), 1);
    EXPECT_EQ(backend->Presents(), 1u);

    SurfaceDesc desc;
    ASSERT_EQ(back->Lock(nullptr, &desc, 0), kDdOk);
    EXPECT_EQ(primary->Flip(nullptr, 0), kDdErrSurfaceBusy);
    ASSERT_EQ(back->Unlock(nullptr), kDdOk);
    EXPECT_EQ(back->Flip(nullptr, 0), kDdErrNotFlippable);
}

TEST_F(FlipChainTest, BuffersHeldPastTheirPrimaryAreGoneButSafe) {
    GoFullScreen();
    Ref<Surface> primary, back;
    ASSERT_EQ(CreatePrimary(1, primary), kDdOk);
    ASSERT_EQ(primary->GetAttachedSurface({kDdsCapsBackBuffer}, back.Out()), kDdOk);
    SurfaceDesc desc;
    ASSERT_EQ(back->Lock(nullptr, &desc, 0), kDdOk);
    primary.Reset();
    desc.surface[0] = 7; // an open lock keeps its memory
    EXPECT_EQ(back->Unlock(nullptr), kDdOk);
    EXPECT_EQ(back->IsLost(), kDdErrInvalidObject);
    EXPECT_EQ(back->Lock(nullptr, &desc, 0), kDdErrInvalidObject);
    uint32_t free = 0;
    ASSERT_EQ(dd->GetAvailableVidMem({kDdsCapsVideoMemory}, nullptr, &free), kDdOk);
    EXPECT_EQ(free, 32u << 20);
    EXPECT_EQ(CreatePrimary(1, primary), kDdOk);
}

TEST_F(SurfaceTest, AZBufferAttachesOnceToARenderTargetOfItsSize) {
    const PixelFormat z = ZBufferFormat(24, 8);
    Ref<Surface> target, plain, zb, small;
    ASSERT_EQ(Create(kDdsCapsOffscreenPlain | kDdsCaps3dDevice, 32, 32, nullptr, target), kDdOk);
    ASSERT_EQ(Create(kDdsCapsOffscreenPlain, 32, 32, nullptr, plain), kDdOk);
    ASSERT_EQ(Create(kDdsCapsZBuffer, 32, 32, &z, zb), kDdOk);
    ASSERT_EQ(Create(kDdsCapsZBuffer, 16, 16, &z, small), kDdOk);
    EXPECT_EQ(plain->AddAttachedSurface(zb.get()), kDdErrCannotAttachSurface);
    EXPECT_EQ(target->AddAttachedSurface(small.get()), kDdErrCannotAttachSurface);
    ASSERT_EQ(target->AddAttachedSurface(zb.get()), kDdOk);
    EXPECT_EQ(target->AddAttachedSurface(zb.get()), kDdErrSurfaceAlreadyAttached);
    Ref<Surface> found;
    ASSERT_EQ(target->GetAttachedSurface({kDdsCapsZBuffer}, found.Out()), kDdOk);
    EXPECT_EQ(found.get(), zb.get());
    EXPECT_EQ(target->DeleteAttachedSurface(0, small.get()), kDdErrSurfaceNotAttached);
    ASSERT_EQ(target->DeleteAttachedSurface(0, zb.get()), kDdOk);
    EXPECT_EQ(target->GetAttachedSurface({kDdsCapsZBuffer}, found.Out()), kDdErrNotFound);
}

TEST_F(SurfaceTest, AForcedLossMakesVideoSurfacesReportLostUntilRestored) {
    const PixelFormat f = Rgb565Format();
    Ref<Surface> video, system, managed;
    ASSERT_EQ(Create(kVideoTexture, 4, 4, &f, video), kDdOk);
    ASSERT_EQ(Create(kSystemTexture, 4, 4, &f, system), kDdOk);
    ASSERT_EQ(Create(kDdsCapsTexture, 4, 4, &f, managed, kDdsCaps2TextureManage), kDdOk);
    SurfaceDesc desc;
    ASSERT_EQ(video->Lock(nullptr, &desc, 0), kDdOk);
    std::memset(desc.surface, 0x5A, 4 * desc.pitch);
    ASSERT_EQ(video->Unlock(nullptr), kDdOk);

    dd->ForceSurfaceLoss();
    EXPECT_EQ(video->IsLost(), kDdErrSurfaceLost);
    EXPECT_EQ(video->Lock(nullptr, &desc, 0), kDdErrSurfaceLost);
    EXPECT_EQ(video->Blt(nullptr, system.get(), nullptr, kDdBltWait, nullptr), kDdErrSurfaceLost);
    EXPECT_EQ(system->Blt(nullptr, video.get(), nullptr, kDdBltWait, nullptr), kDdErrSurfaceLost);
    EXPECT_EQ(video->GetBltStatus(kDdgbsIsBltDone), kDdErrSurfaceLost);
    EXPECT_EQ(system->IsLost(), kDdOk);
    EXPECT_EQ(managed->IsLost(), kDdOk);

    const uint64_t version = video->ContentVersion();
    ASSERT_EQ(video->Restore(), kDdOk);
    EXPECT_EQ(video->IsLost(), kDdOk);
    EXPECT_NE(video->ContentVersion(), version);
    ASSERT_EQ(video->Lock(nullptr, &desc, kDdLockReadOnly), kDdOk);
    EXPECT_EQ(desc.surface[0], 0) << "a restored surface has lost its pixels";
    ASSERT_EQ(video->Unlock(nullptr), kDdOk);

    dd->ForceSurfaceLoss();
    ASSERT_EQ(dd->RestoreAllSurfaces(), kDdOk);
    EXPECT_EQ(video->IsLost(), kDdOk);
}

TEST_F(SurfaceTest, PalettesColourKeysClippersAndGammaAreKept) {
    std::vector<PaletteEntry> entries(16);
    for (uint8_t i = 0; i < 16; ++i) entries[i] = {i, uint8_t(i * 2), uint8_t(i * 3), 0};
    Ref<Palette> palette, wide;
    EXPECT_EQ(dd->CreatePalette(kDdpCaps4Bit | kDdpCaps8Bit, entries.data(), palette.Out()), kDdErrInvalidParams);
    ASSERT_EQ(dd->CreatePalette(kDdpCaps4Bit, entries.data(), palette.Out()), kDdOk);
    PaletteEntry got[2];
    ASSERT_EQ(palette->GetEntries(14, 2, got), kDdOk);
    EXPECT_EQ(got[1].blue, 45);
    EXPECT_EQ(palette->GetEntries(15, 2, got), kDdErrInvalidParams);

    const PixelFormat p4 = Palettized(kDdpfPaletteIndexed4), rgb = Rgb565Format();
    Ref<Surface> indexed, plain;
    ASSERT_EQ(Create(kSystemTexture, 8, 8, &p4, indexed), kDdOk);
    ASSERT_EQ(Create(kSystemTexture, 8, 8, &rgb, plain), kDdOk);
    EXPECT_EQ(plain->SetPalette(palette.get()), kDdErrNotPalettized);
    std::vector<PaletteEntry> many(256);
    ASSERT_EQ(dd->CreatePalette(kDdpCaps8Bit | kDdpCapsAllow256, many.data(), wide.Out()), kDdOk);
    EXPECT_EQ(indexed->SetPalette(wide.get()), kDdErrInvalidPixelFormat);
    ASSERT_EQ(indexed->SetPalette(palette.get()), kDdOk);
    EXPECT_EQ(palette->AddRef(), 3u) << "the surface holds the palette";
    palette->Release();

    ColorKey key{0x1234, 0x1234};
    EXPECT_EQ(plain->GetColorKey(kDdckeySrcBlt, &key), kDdErrNoColorKey);
    ASSERT_EQ(plain->SetColorKey(kDdckeySrcBlt, &key), kDdOk);
    SurfaceDesc desc;
    ASSERT_EQ(plain->GetSurfaceDesc(&desc), kDdOk);
    EXPECT_TRUE(desc.flags & kDdsdCkSrcBlt);
    EXPECT_EQ(desc.ckSrcBlt.low, 0x1234u);

    Ref<Clipper> clipper;
    int window = 0;
    ASSERT_EQ(dd->CreateClipper(0, clipper.Out()), kDdOk);
    ASSERT_EQ(clipper->SetHWnd(0, &window), kDdOk);
    ASSERT_EQ(plain->SetClipper(clipper.get()), kDdOk);

    Ref<GammaControl> gamma;
    EXPECT_EQ(plain->QueryGammaControl(gamma.Out()), kDdErrNoInterface);
    SurfaceDesc primaryDesc;
    primaryDesc.flags = kDdsdCaps;
    primaryDesc.caps.caps = kDdsCapsPrimarySurface;
    Ref<Surface> primary;
    ASSERT_EQ(dd->CreateSurface(primaryDesc, primary.Out()), kDdOk);
    ASSERT_EQ(primary->QueryGammaControl(gamma.Out()), kDdOk);
    GammaRamp ramp;
    ramp.red[255] = 0x8000;
    ASSERT_EQ(gamma->SetGammaRamp(kDdsgrCalibrate, ramp), kDdOk);
    GammaRamp back;
    ASSERT_EQ(gamma->GetGammaRamp(0, &back), kDdOk);
    EXPECT_EQ(back.red[255], 0x8000);
}

TEST_F(SurfaceTest, SurfacesAndBuffersAreMadeAndLockedFromManyThreads) {
    ASSERT_EQ(dd->QueryDirect3D(d3d.Out()), kDdOk);
    constexpr int kThreads = 4, kRounds = 50;
    std::vector<std::unique_ptr<Thread>> threads;
    std::vector<int> failures(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.push_back(std::make_unique<Thread>());
        threads.back()->Start([this, t, &failures] {
            const PixelFormat f = Rgb565Format();
            for (int round = 0; round < kRounds; ++round) {
                Ref<Surface> s;
                Ref<VertexBuffer> vb;
                SurfaceDesc desc;
                void* data = nullptr;
                if (Create(kVideoTexture, 16, 16, &f, s) != kDdOk || s->Lock(nullptr, &desc, 0) != kDdOk) {
                    ++failures[t];
                    continue;
                }
                desc.surface[0] = uint8_t(t);
                if (s->Unlock(nullptr) != kDdOk ||
                    d3d->CreateVertexBuffer({kVbCapsSystemMemory, kFvfXyz, 8}, vb.Out(), 0) != kDdOk ||
                    vb->Lock(kDdLockWait, &data, nullptr) != kDdOk || vb->Unlock() != kDdOk)
                    ++failures[t];
            }
        });
    }
    for (auto& thread : threads) thread->Join();
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], 0);
    uint32_t free = 0;
    ASSERT_EQ(dd->GetAvailableVidMem({kDdsCapsTexture}, nullptr, &free), kDdOk);
    EXPECT_EQ(free, 32u << 20);
}

} // namespace
