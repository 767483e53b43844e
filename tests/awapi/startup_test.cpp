#include <gtest/gtest.h>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/aw3d/user_settings.h"
#include "image/gamma.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/pixel_format.h"
#include "platform/d3d/surface.h"
#include "tests/awapi/engine_fixture.h"

using namespace plat;

TEST_F(EngineTest, StartsWindowedOnTheNullBackend) {
    ASSERT_NE(AwDevice.Direct3DDevice, nullptr);
    EXPECT_TRUE(AwDevice.DeviceReady);
    EXPECT_EQ(AwGetScreenWidth(), 640);
    EXPECT_EQ(AwGetScreenHeight(), 480);
    EXPECT_EQ(AwGetScreenDepth(), 32); // the desktop's depth
    EXPECT_EQ(AwDeviceCaps.VertexBufferCaps, 0u); // the T&L device was chosen
    ASSERT_NE(NullTexture, nullptr);
    ASSERT_NE(NullTexture->Surface, nullptr);
    EXPECT_EQ(NullTexture->Surface->Width(), 8u);
    EXPECT_EQ(AwDevice.LayerFlags, kLayerDirectDraw | kLayerTimerPeriod | kLayerDirect3D);
    Stop();
    EXPECT_EQ(AwDevice.Direct3DDevice, nullptr);
    EXPECT_EQ(AwDevice.DirectDraw, nullptr);
    EXPECT_EQ(AwDevice.LayerFlags, 0u);
}

TEST_F(EngineTest, AnotherWindowedModeKeepsTheCapabilities) {
    const uint32_t flags = AwDeviceCaps.Flags;
    ASSERT_NE(flags & kCapsRenderWindowed, 0u);
    ASSERT_EQ(AwSetDisplayMode(800, 600, ScreenGeometry.Depth, kDisplayWindowed), 1);
    EXPECT_EQ(AwDeviceCaps.Flags, flags);
    ASSERT_EQ(AwSetDisplayMode(640, 480, ScreenGeometry.Depth, kDisplayWindowed), 1);
    EXPECT_EQ(AwDeviceCaps.Flags, flags);
}

TEST_F(EngineTest, TheGammaRampCanBeSetAfterStartUpWhereTheDisplayHasOne) {
    GammaRamp ramp;
    for (bool offered : {true, false}) {
        BackendFacts facts = NullBackend::DefaultFacts();
        facts.gammaRamp = offered;
        ASSERT_TRUE(Start(facts));
        EXPECT_EQ(GammaSetRamp(ramp), offered);
        // Each mode set takes the new primary's control.
        ASSERT_EQ(AwSetDisplayMode(800, 600, ScreenGeometry.Depth, kDisplayWindowed), 1);
        EXPECT_EQ(GammaSetRamp(ramp), offered);
        Stop();
        EXPECT_FALSE(GammaSetRamp(ramp)) << "released with the surfaces";
    }
}

TEST_F(EngineTest, StartupRefusesAMissingWindow) {
    Stop();
    AwStartupRecord record;
    record.Instance = &fakeWindow;
    EXPECT_FALSE(AwStartup(record));
}

TEST_F(EngineTest, ChoosesTheDeepestZFormatWithinTheLimit) {
    AwDevice.ZFormatList = {ZBufferFormat(16, 0), ZBufferFormat(24, 8)};
    AwDeviceCaps.Flags |= kCapsStencilZ;
    UserSettings.ZBufferDepthLimit = 32;
    ASSERT_NE(AwChooseZBufferFormat(), nullptr);
    EXPECT_EQ(AwChooseZBufferFormat()->stencilBitDepth, 8u); // 24 bits of Z, 8 of stencil
    // Nothing with stencil fits 16: the second pass takes the 16-bit format.
    UserSettings.ZBufferDepthLimit = 16;
    ASSERT_NE(AwChooseZBufferFormat(), nullptr);
    EXPECT_EQ(AwChooseZBufferFormat()->zBufferBitDepth, 16u);
    EXPECT_EQ(AwChooseZBufferFormat()->stencilBitDepth, 0u);
    UserSettings.ZBufferDepthLimit = 8;
    EXPECT_EQ(AwChooseZBufferFormat(), nullptr);
}

TEST_F(EngineTest, OnlyTrueColourTexturesNeedTheSetting) {
    AwTextureFormat argb;
    argb.format = Argb8888Format();
    AwDevice.TextureFormatList = {argb};
    UserSettings.TrueColourTextures = 0;
    EXPECT_FALSE(AwChooseTextureFormats());
    UserSettings.TrueColourTextures = 1;
    EXPECT_TRUE(AwChooseTextureFormats());
}

TEST_F(EngineTest, RefusedFullScreenDepthFallsBackTo24Then16) {
    // A display offering 640 x 480 at 16 and 24 bits, not 32.
    BackendFacts facts = NullBackend::DefaultFacts();
    facts.modes = {{640, 480, 16, 0}, {640, 480, 24, 0}};
    ASSERT_TRUE(Start(facts, false));
    UserSettings.TripleBuffering = 1;
    UserSettings.DisplayDepthLimit = 2;
    EXPECT_EQ(AwSetDisplayMode(640, 480, 32, 0), 2);
    EXPECT_EQ(ScreenGeometry.Depth, 24u);
    EXPECT_TRUE(ScreenGeometry.DisplayFlags & kDisplayTripleBuffered);

    facts.modes = {{640, 480, 16, 0}};
    ASSERT_TRUE(Start(facts, false));
    EXPECT_EQ(AwSetDisplayMode(640, 480, 32, 0), 2);
    EXPECT_EQ(ScreenGeometry.Depth, 16u);
    // A 16-bit request has no depth to fall back to: the previous mode comes back.
    EXPECT_EQ(AwSetDisplayMode(800, 600, 16, 0), 0);
    EXPECT_EQ(AwGetScreenWidth(), 640);
}
