#include "tests/awapi/engine_fixture.h"

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/user_settings.h"
#include "platform/d3d/video_backend.h"

void EngineTest::SetUp() { ASSERT_TRUE(Start(plat::NullBackend::DefaultFacts())); }

void EngineTest::TearDown() { Stop(); }

bool EngineTest::Start(const plat::BackendFacts& facts, bool windowed) {
    Stop();
    UserSettings = AwUserSettings();
    ScreenGeometry = AwScreenGeometry();
    if (windowed) ScreenGeometry.DisplayFlags = kDisplayWindowed;
    backend = std::make_shared<plat::NullBackend>(facts);
    plat::InstallVideoBackend(backend);
    AwStartupRecord record;
    record.Instance = &fakeWindow;
    record.Window = &fakeWindow;
    if (!AwStartup(record)) return false;
    const uint32_t depth = windowed ? ScreenGeometry.Depth : 16;
    if (AwSetDisplayMode(640, 480, depth, windowed ? kDisplayWindowed : 0) <= 0) return false;
    return AwCreateDirect3D();
}

void EngineTest::Stop() {
    AwShutdown();
    AwDeviceCaps.Reset();
}
