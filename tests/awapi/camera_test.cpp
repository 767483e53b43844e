#include <gtest/gtest.h>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/camera.h"
#include "platform/d3d/device3d.h"
#include "tests/awapi/engine_fixture.h"

using namespace plat;

TEST_F(EngineTest, ViewportsClampAndFollowTheScreen) {
    AwCamera fractions;
    fractions.SetViewportLeft(0.5f);
    fractions.SetViewportTop(0.0f);
    fractions.SetViewportWidth(0.5f);
    fractions.SetViewportHeight(1.0f);
    EXPECT_EQ(fractions.viewport.x, 320u);

    AwCamera pixels;
    pixels.leftPixels = 10;
    pixels.topPixels = 20;
    pixels.widthPixels = 100;
    pixels.heightPixels = 50;
    pixels.pixelAuthority = 0xF;
    pixels.RefitViewport();

    AwCamera empty;
    empty.SetViewportWidth(0.0f);
    EXPECT_EQ(empty.viewport.width, 1u);
    empty.SetViewportLeft(1.0f);
    EXPECT_EQ(empty.viewport.x, 639u);

    ASSERT_EQ(AwSetDisplayMode(1024, 768, ScreenGeometry.Depth, kDisplayWindowed), 1);
    EXPECT_EQ(fractions.viewport.x, 512u);
    EXPECT_EQ(fractions.viewport.x + fractions.viewport.width, 1024u);
    EXPECT_EQ(fractions.viewport.height, 768u);
    EXPECT_EQ(pixels.viewport.x, 10u);
    EXPECT_EQ(pixels.viewport.width, 100u);
    EXPECT_FLOAT_EQ(pixels.widthFraction, 100.0f / 1024.0f);
}

TEST_F(EngineTest, ReversedDepthRangeSwapsTheCompareFunction) {
    struct Case {
        uint32_t base, reversed;
    };
    const Case cases[] = {{kCmpLessEqual, kCmpGreaterEqual}, {kCmpLess, kCmpGreater}, {kCmpEqual, kCmpEqual},
                          {kCmpGreaterEqual, kCmpLessEqual}};
    for (const Case& c : cases) {
        AwCamera camera;
        camera.SetDepthRange(1.0f, 0.0f);
        camera.SetZFunction(c.base);
        EXPECT_EQ(camera.activeZFunction, c.reversed) << c.base;
        camera.SetDepthRange(0.0f, 1.0f);
        camera.SetZFunction(c.base);
        EXPECT_EQ(camera.activeZFunction, c.base);
    }
}

TEST_F(EngineTest, NewCameraProjectsWithUnitScalesAndDefaultDistances) {
    AwCamera camera;
    float nearZ = 0, farZ = 0;
    camera.GetNear(nearZ);
    camera.GetFar(farZ);
    EXPECT_FLOAT_EQ(nearZ, 1.0f);
    EXPECT_FLOAT_EQ(farZ, 100.0f);
    const float one = 1.0f;
    camera.SetViewportSize(one, one); // unchanged: still 1 and 1
    camera.Update();
    EXPECT_FLOAT_EQ(camera.projection.m[0][0], 1.0f);
    EXPECT_FLOAT_EQ(camera.projection.m[1][1], 1.0f);
    const float two = 2.0f;
    camera.SetViewportSize(two, two);
    camera.Update();
    EXPECT_FLOAT_EQ(camera.projection.m[0][0], 1.0f);
    EXPECT_FLOAT_EQ(camera.projection.m[1][1], -1.0f);
    camera.UpdateDepthRange();
    camera.GetNear(nearZ);
    camera.GetFar(farZ);
    EXPECT_FLOAT_EQ(nearZ, 0.0f);
    EXPECT_FLOAT_EQ(farZ, 10.0f);
}

TEST_F(EngineTest, CameraFacesItsAngles) {
    AwCamera camera;
    Vector3 forward;
    camera.GetDirection(forward);
    EXPECT_FLOAT_EQ(forward.z, 1.0f);
    camera.SetAngleY(1024.0f); // a quarter turn about y
    camera.GetDirection(forward);
    EXPECT_NEAR(forward.z, 0.0f, 1e-3f);
    EXPECT_NEAR(std::abs(forward.x), 1.0f, 1e-3f);
}

TEST(CameraList, CamerasLeaveTheListWhenTheyGo) {
    {
        AwCamera a;
        AwCamera b;
        ASSERT_NE(AwCameraList, nullptr);
        EXPECT_EQ(AwCameraList->Count(), 2);
        a.Unlink();
        EXPECT_EQ(AwCameraList->Count(), 1);
    }
    EXPECT_EQ(AwCameraList, nullptr);
}
