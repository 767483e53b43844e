// Choosing the OpenGL backend by name, and the facts it reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/d3d/video_backend.h"
#include "platform/sdl/gl_backend.h"
#include "platform/sdl/register_video.h"
#include "platform/sdl/sdl_video.h"

using namespace plat;

TEST(GlBackendSelection, TavrinVideoPicksTheOpenGLBackendOrTheNullOne) {
    if (!StartSdlVideo()) GTEST_SKIP() << "no display can be opened: run the render tests under xvfb-run";
    RegisterSdlVideoBackend();
    struct Case {
        const char* video;
        bool gl;
    };
    for (const Case c : {Case{"gl", true}, Case{"", true}, Case{"null", false}}) {
        SCOPED_TRACE(c.video);
        setenv("TAVRIN_VIDEO", c.video, 1);
        const std::shared_ptr<DeviceBackend> backend = SelectVideoBackend();
        EXPECT_EQ(backend->Facts().driverName, c.gl ? "gl" : "null");
    }
    unsetenv("TAVRIN_VIDEO");
    InstallVideoBackend(nullptr);
}

TEST(GlBackendFacts, TheDisplaysSizesAtBothDepthsAndTheDriversLimits) {
    if (!StartSdlVideo()) GTEST_SKIP() << "no display can be opened: run the render tests under xvfb-run";
    std::string failure;
    const std::shared_ptr<DeviceBackend> backend = CreateGlBackend(&failure);
    ASSERT_TRUE(backend) << failure;
    const BackendFacts& f = backend->Facts();
    EXPECT_EQ(f.vendorId, 0u);
    EXPECT_EQ(f.videoMemoryBytes, BackendFacts{}.videoMemoryBytes);
    EXPECT_EQ(f.desktop.bitDepth, 32u);
    ASSERT_FALSE(f.modes.empty());
    for (const DisplayMode& m : f.modes) {
        for (const uint32_t depth : {16u, 32u}) {
            const DisplayMode twin{m.width, m.height, depth, m.refreshRate};
            EXPECT_NE(std::find(f.modes.begin(), f.modes.end(), twin), f.modes.end()) << m.width << "x" << m.height;
        }
    }
    EXPECT_LE(f.limits.maxTextureSize, 2048u);
    EXPECT_GE(f.limits.textureStages, 2u);
    EXPECT_LE(f.limits.textureStages, 8u);
    EXPECT_EQ(f.limits.maxUserClipPlanes, 6u);
    EXPECT_TRUE(f.limits.stencil);
}
