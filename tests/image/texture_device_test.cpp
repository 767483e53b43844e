// What the device layer hands the loader: the device's texture limits, and
// the display's gamma ramp through the primary surface.
#include <gtest/gtest.h>

#include "image/gamma.h"
#include "image/headless_texture_device.h"
#include "image/texture_device.h"
#include "image/texture_error.h"
#include "image/texture_load.h"
#include "image/texture_loader_state.h"
#include "platform/d3d/directdraw.h"
#include "platform/d3d/pixel_format.h"
#include "platform/d3d/surface.h"

namespace {

TEST(TextureDevice, LimitsComeFromTheDeviceAndZeroMeansNone) {
    plat::BackendFacts facts = plat::NullBackend::DefaultFacts();
    facts.limits.maxTextureSize = 0;
    {
        HeadlessTextureDevice device(plat::Argb8888Format(), facts);
        ASSERT_TRUE(device.Ready());
        EXPECT_NE(TextureLoader.deviceFlags & TextureLoaderState::kDeviceReady, 0);
        EXPECT_EQ(TextureLoader.maxWidth, 0xFFFFFFFFu);
        EXPECT_EQ(TextureLoader.maxHeight, 0xFFFFFFFFu);
    }
    EXPECT_EQ(TextureLoader.deviceFlags & TextureLoaderState::kDeviceReady, 0) << "the device went";
    std::string image = "P6 1 1 255\nabc";
    EXPECT_EQ(TextureLoad("px", image.data(), static_cast<uint32_t>(image.size())), nullptr);
    EXPECT_EQ(TextureLoadError, kTextureNoFormat);
}

TEST(TextureDevice, AFormatTheLoaderCannotWriteIsNotAdded) {
    HeadlessTextureDevice device(plat::Argb8888Format());
    plat::PixelFormat z = plat::ZBufferFormat(16, 0);
    EXPECT_EQ(TextureLoaderAddFormat(z, 0, false, 0, false), 2);
    EXPECT_TRUE(TextureLoader.candidates.empty());
    EXPECT_EQ(TextureLoaderSetDefaultFormat(z), 2);
}

TEST(Gamma, TheRampGoesThroughThePrimarysGammaControl) {
    HeadlessTextureDevice device(plat::Argb8888Format());
    plat::GammaRamp ramp;
    EXPECT_FALSE(GammaSetRamp(ramp)) << "no gamma control yet";
    plat::SurfaceDesc desc;
    desc.flags = plat::kDdsdCaps;
    desc.caps.caps = plat::kDdsCapsPrimarySurface;
    plat::Surface* primary = nullptr;
    ASSERT_EQ(device.DirectDraw()->CreateSurface(desc, &primary), plat::kDdOk);
    GammaControlAcquire(primary);
    for (uint32_t i = 0; i < 256; ++i) ramp.red[i] = ramp.green[i] = ramp.blue[i] = static_cast<uint16_t>(i * 257);
    EXPECT_TRUE(GammaSetRamp(ramp));
    GammaControlRelease();
    EXPECT_FALSE(GammaSetRamp(ramp));
    primary->Release();
}

} // namespace
