#include <cstdlib>
#include <string>
#include <vector>

#include "tests/platform/d3d_fixture.h"

using namespace plat;

namespace {

using EnumerationTest = D3dTest;

TEST_F(EnumerationTest, TheDevicesAreListedByTheNamesCallersLookFor) {
    ASSERT_EQ(dd->QueryDirect3D(d3d.Out()), kDdOk);
    std::vector<std::string> names;
    std::vector<DeviceDesc7> descs;
    ASSERT_EQ(d3d->EnumDevices([&](const char*, const char* name, const DeviceDesc7& desc) {
        names.push_back(name);
        descs.push_back(desc);
        return true;
    }),
              kDdOk);
    EXPECT_EQ(names, (std::vector<std::string>{"Reference Rasterizer", "Direct3D HAL", "Direct3D T&L HAL"}));
    EXPECT_FALSE(descs[1].devCaps & kDevCapsHwTransformAndLight);
    EXPECT_TRUE(descs[2].devCaps & kDevCapsHwTransformAndLight);
    for (const DeviceDesc7& d : descs) {
        EXPECT_TRUE(d.devCaps & kDevCapsTextureVideoMemory);
        EXPECT_FALSE(d.devCaps & kDevCapsSeparateTextureMemories);
        EXPECT_EQ(d.maxTextureWidth, 2048u);
        EXPECT_EQ(d.deviceRenderBitDepth, kDdbd16 | kDdbd32);
        EXPECT_EQ(d.maxActiveLights, 8u);
    }
    EXPECT_NE(descs[0].deviceGuid, descs[1].deviceGuid);

    // Stopping early is honoured.
    int seen = 0;
    ASSERT_EQ(d3d->EnumDevices([&](const char*, const char*, const DeviceDesc7&) { return ++seen < 1; }), kDdOk);
    EXPECT_EQ(seen, 1);
}

TEST_F(EnumerationTest, ZBufferFormatsOffer16BitsAnd24With8StencilBits) {
    ASSERT_EQ(dd->QueryDirect3D(d3d.Out()), kDdOk);
    std::vector<PixelFormat> formats;
    ASSERT_EQ(d3d->EnumZBufferFormats(Devices()[2].guid, [&](const PixelFormat& f) {
        formats.push_back(f);
        return true;
    }),
              kDdOk);
    ASSERT_EQ(formats.size(), 2u);
    EXPECT_EQ(formats[0].flags, kDdpfZBuffer);
    EXPECT_EQ(formats[0].zBufferBitDepth, 16u);
    EXPECT_EQ(formats[0].zBitMask, 0xFFFFu);
    EXPECT_EQ(formats[1].flags, kDdpfZBuffer | kDdpfStencilBuffer);
    EXPECT_EQ(formats[1].zBitMask, 0xFFFFFFu);
    EXPECT_EQ(formats[1].stencilBitDepth, 8u);
    EXPECT_EQ(formats[1].stencilBitMask, 0xFF000000u);
    EXPECT_EQ(d3d->EnumZBufferFormats(Guid{}, [](const PixelFormat&) { return true; }), kDdErrInvalidParams);
}

TEST_F(EnumerationTest, TextureFormatsAreTheFiveRgbFormats) {
    MakeDevice();
    std::vector<PixelFormat> formats;
    ASSERT_EQ(device->EnumTextureFormats([&](const PixelFormat& f) {
        formats.push_back(f);
        return true;
    }),
              kDdOk);
    struct Masks {
        uint32_t bits, a, r, g, b;
    };
    const Masks expected[] = {{16, 0, 0xF800, 0x7E0, 0x1F},
                              {16, 0x8000, 0x7C00, 0x3E0, 0x1F},
                              {16, 0xF000, 0xF00, 0xF0, 0xF},
                              {32, 0, 0xFF0000, 0xFF00, 0xFF},
                              {32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF}};
    ASSERT_EQ(formats.size(), std::size(expected));
    for (size_t i = 0; i < formats.size(); ++i) {
        SCOPED_TRACE(i);
        const PixelFormat& f = formats[i];
        EXPECT_EQ(f.flags, kDdpfRgb | (expected[i].a ? kDdpfAlphaPixels : 0));
        EXPECT_EQ(f.rgbBitCount, expected[i].bits);
        EXPECT_EQ(f.alphaBitMask, expected[i].a);
        EXPECT_EQ(f.rBitMask, expected[i].r);
        EXPECT_EQ(f.gBitMask, expected[i].g);
        EXPECT_EQ(f.bBitMask, expected[i].b);
    }
}

TEST_F(EnumerationTest, TheDriverDisplayModesAndIdentifierComeFromTheBackend) {
    std::vector<const Guid*> guids;
    ASSERT_EQ(DirectDrawEnumerateEx([&](const Guid* guid, const char*, const char*) {
        guids.push_back(guid);
        return true;
    }, kDdenumAttachedSecondaryDevices | kDdenumDetachedSecondaryDevices | kDdenumNonDisplayDevices),
              kDdOk);
    EXPECT_EQ(guids, std::vector<const Guid*>{nullptr}) << "only the primary display driver";

    std::vector<SurfaceDesc> modes;
    ASSERT_EQ(dd->EnumDisplayModes(kDdedmRefreshRates, [&](const SurfaceDesc& d) {
        modes.push_back(d);
        return true;
    }),
              kDdOk);
    ASSERT_EQ(modes.size(), 6u);
    EXPECT_EQ(modes[0].width, 640u);
    EXPECT_EQ(modes[0].pixelFormat.rgbBitCount, 16u);
    EXPECT_EQ(modes[0].pitch, 1280);
    EXPECT_EQ(modes[0].refreshRate, 60u);

    SurfaceDesc current;
    ASSERT_EQ(dd->GetDisplayMode(&current), kDdOk);
    EXPECT_EQ(current.width, 1024u);
    EXPECT_EQ(current.pixelFormat.rgbBitCount, 32u);

    DeviceIdentifier id;
    ASSERT_EQ(dd->GetDeviceIdentifier(&id, 0), kDdOk);
    EXPECT_EQ(id.vendorId, 0u);
    EXPECT_STREQ(id.driver, "null");

    DdCaps hardware;
    ASSERT_EQ(dd->GetCaps(&hardware, nullptr), kDdOk);
    EXPECT_TRUE(hardware.caps & kDdCaps3d);
    EXPECT_TRUE(hardware.caps2 & kDdCaps2PrimaryGamma);
    EXPECT_EQ(hardware.vidMemTotal, 32u << 20);
}

TEST_F(EnumerationTest, CooperativeLevelsMustBeNormalOrExclusiveFullScreen) {
    int window = 0;
    EXPECT_EQ(dd->SetCooperativeLevel(nullptr, kDdsclNormal | kDdsclFpuSetup), kDdOk);
    EXPECT_EQ(dd->SetCooperativeLevel(nullptr, kDdsclExclusive | kDdsclFullscreen), kDdErrInvalidParams);
    EXPECT_EQ(dd->SetCooperativeLevel(&window, kDdsclExclusive), kDdErrInvalidParams);
    EXPECT_EQ(dd->SetCooperativeLevel(&window, kDdsclNormal | kDdsclExclusive), kDdErrInvalidParams);
    EXPECT_EQ(dd->SetCooperativeLevel(&window, 0), kDdErrInvalidParams);
}

class BackendFactory : public testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("TAVRIN_VIDEO");
        saved_ = old ? old : "";
        hadValue_ = old != nullptr;
    }
    void TearDown() override {
        if (hadValue_)
            setenv("TAVRIN_VIDEO", saved_.c_str(), 1);
        else
            unsetenv("TAVRIN_VIDEO");
        InstallVideoBackend(nullptr);
    }

private:
    std::string saved_;
    bool hadValue_ = false;
};

TEST_F(BackendFactory, TheEnvironmentChoosesARegisteredBackendAndNullStandsIn) {
    auto special = std::make_shared<NullBackend>();
    RegisterVideoBackend("special", [special] { return special; });
    RegisterVideoBackend("absent", [] { return std::shared_ptr<DeviceBackend>(); });

    setenv("TAVRIN_VIDEO", "special", 1);
    EXPECT_EQ(SelectVideoBackend(), special);
    EXPECT_EQ(CurrentVideoBackend(), special);

    for (const char* name : {"absent", "unknown", "null"}) {
        SCOPED_TRACE(name);
        setenv("TAVRIN_VIDEO", name, 1);
        const std::shared_ptr<DeviceBackend> chosen = SelectVideoBackend();
        ASSERT_TRUE(chosen);
        EXPECT_NE(chosen, special);
        EXPECT_EQ(chosen->Facts().driverName, "null");
    }
}

} // namespace
