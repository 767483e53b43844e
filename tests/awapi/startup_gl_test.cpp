// Engine start-up on the OpenGL backend in a real program window: enumerate,
// pick a device and a display mode, create the 3D device, shut down cleanly.
// Skipped where no display can be opened (run under xvfb-run).

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/user_settings.h"
#include "Awapi/cursor3d.h"
#include "platform/d3d/video_backend.h"
#include "platform/pointer.h"
#include "platform/sdl/gl_backend.h"
#include "platform/sdl/window.h"

using namespace plat;

TEST(GlStartup, OpensAWindowPicksADeviceAndModeAndShutsDownCleanly) {
    std::string failure;
    std::shared_ptr<DeviceBackend> backend = CreateGlBackend(&failure);
    if (!backend) GTEST_SKIP() << "no OpenGL display (" << failure << "): run under xvfb-run";
    WindowHandle window = CreateProgramWindow("start-up test", 640, 480);
    ASSERT_NE(window, nullptr);
    InstallVideoBackend(backend);
    UserSettings = AwUserSettings();
    ScreenGeometry = AwScreenGeometry();
    ScreenGeometry.DisplayFlags = kDisplayWindowed;

    int instance = 0;
    AwStartupRecord record;
    record.Instance = &instance;
    record.Window = window;
    ASSERT_TRUE(AwStartup(record));
    EXPECT_FALSE(AwDevice.DriverList.empty());

    ASSERT_GT(AwSetDisplayMode(640, 480, ScreenGeometry.Depth, kDisplayWindowed), 0);
    ASSERT_TRUE(AwCreateDirect3D());
    EXPECT_NE(AwDevice.Direct3DDevice, nullptr);
    EXPECT_TRUE(AwDevice.DeviceReady);
    const auto names = [] {
        std::vector<std::string> n;
        for (const AwDeviceInfo& d : AwDevice.DeviceList) n.push_back(d.name);
        return n;
    }();
    EXPECT_NE(std::find(names.begin(), names.end(), "Direct3D HAL"), names.end());
    EXPECT_FALSE(AwDevice.DisplayModeList.empty());
    AwCentreCursor();
    EXPECT_EQ(ReadPointer(window), (PointerPosition{320, 240})) << "the system pointer is centred in the window";

    AwShutdown();
    EXPECT_EQ(AwDevice.Direct3DDevice, nullptr);
    EXPECT_EQ(AwDevice.DirectDraw, nullptr);
    InstallVideoBackend(nullptr);
    DestroyProgramWindow(window);
}
