#include <gtest/gtest.h>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/surfaces.h"
#include "platform/d3d/pixel_format.h"
#include "platform/d3d/surface.h"
#include "tests/awapi/engine_fixture.h"

using namespace plat;

TEST_F(EngineTest, SurfaceThatCannotFitInVideoMemoryLandsInSystemMemoryOnlyWhenAllowed) {
    const PixelFormat format = Xrgb8888Format();
    const uint32_t options = kSurfVideoMemory | kSurfOffscreenPlain | kSurfPixelFormat;
    // 4096 x 4096 x 4 bytes is more than the 32 MB display has.
    EXPECT_EQ(AwCreateSurface(AwDevice.DirectDraw, 4096, 4096, options, &format, 0), nullptr);
    Surface* surface = AwCreateSurface(AwDevice.DirectDraw, 4096, 4096, options | kSurfAnyMemory, &format, 0);
    ASSERT_NE(surface, nullptr);
    EXPECT_TRUE(surface->Caps().caps & kDdsCapsSystemMemory);
    surface->Release();
}

TEST(MaskToShift, LossAndShiftOfMasks) {
    EXPECT_EQ(AwMaskToShift(0xF800).loss, 3u);
    EXPECT_EQ(AwMaskToShift(0xF800).shift, 11u);
    EXPECT_EQ(AwMaskToShift(0).loss, 8u);
    EXPECT_EQ(AwMaskToShift(0).shift, 0u);
}
